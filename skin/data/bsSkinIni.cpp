#include "skin/data/bsSkinIni.h"

#include "platform/rtl/strings.h"
#include "platform/rtl/strlist.h"

namespace skin {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string OneLine(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c == '\r' || c == '\n') c = ' ';
  return r;
}

}  // namespace

TbsSkinIniFile::TbsSkinIniFile() : rtl::TCustomIniFile(std::string()) { SetLines({}); }
TbsSkinIniFile::TbsSkinIniFile(const std::vector<std::string>& Lines) : TbsSkinIniFile() { SetLines(Lines); }
TbsSkinIniFile::~TbsSkinIniFile() = default;

void TbsSkinIniFile::SetLines(const std::vector<std::string>& Lines) {
  sections_.clear();
  erasedCount_ = 0;
  sections_.push_back(std::make_unique<Section>());
  for (const std::string& raw : Lines) {
    std::string t = Trim(raw);
    if (!t.empty() && t.front() == '[') {
      auto s = std::make_unique<Section>();
      s->header = raw;
      size_t close = t.find(']');
      s->name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      s->lowerName = rtl::LowerCase(s->name);
      sections_.push_back(std::move(s));
      continue;
    }
    Line l;
    l.raw = raw;
    size_t eq = t.find('=');
    if (!t.empty() && t[0] != ';' && eq != std::string::npos) {
      l.key = Trim(t.substr(0, eq));
      l.value = Trim(t.substr(eq + 1));
      l.isKey = true;
    }
    sections_.back()->lines.push_back(std::move(l));
  }
  Reindex();
}

void TbsSkinIniFile::ReindexSection(Section& s) {
  s.index.clear();
  s.keyCount = 0;
  for (size_t i = 0; i < s.lines.size(); ++i) {
    const Line& l = s.lines[i];
    if (!l.isKey || l.deleted) continue;
    ++s.keyCount;
    s.index.emplace(rtl::LowerCase(l.key), i);
  }
}

void TbsSkinIniFile::Reindex() {
  byName_.clear();
  for (auto& s : sections_) {
    if (s->erased) continue;
    ReindexSection(*s);
    if (!s->header.empty()) byName_[s->lowerName].push_back(s.get());
  }
}

TbsSkinIniFile::Section* TbsSkinIniFile::Find(const std::string& name) {
  auto it = byName_.find(rtl::LowerCase(Trim(name)));
  return it == byName_.end() ? nullptr : it->second.front();
}

std::vector<std::string> TbsSkinIniFile::Lines() const {
  std::vector<std::string> out;
  for (const auto& s : sections_) {
    if (s->erased) continue;
    if (s->header.empty()) {
      for (const Line& l : s->lines)
        if (!l.deleted) out.push_back(l.raw);
      continue;
    }
    out.push_back(s->header);
    std::vector<std::string> body;
    for (const Line& l : s->lines)
      if (!l.deleted) body.push_back(l.raw);
    while (!body.empty() && Trim(body.back()).empty()) body.pop_back();
    out.insert(out.end(), body.begin(), body.end());
    out.emplace_back();
  }
  return out;
}

std::string TbsSkinIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
  Section* s = Find(section);
  if (!s) return def;
  auto it = s->index.find(rtl::LowerCase(Trim(ident)));
  return it == s->index.end() ? def : s->lines[it->second].value;
}

void TbsSkinIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  std::string key = OneLine(Trim(ident));
  std::string lk = rtl::LowerCase(key);
  Line l;
  l.key = key;
  l.value = Trim(OneLine(value));
  l.raw = key + "=" + OneLine(value);
  l.isKey = true;
  Section* s = Find(section);
  if (!s) {
    auto ns = std::make_unique<Section>();
    ns->name = OneLine(Trim(section));
    ns->lowerName = rtl::LowerCase(ns->name);
    ns->header = "[" + ns->name + "]";
    s = ns.get();
    sections_.push_back(std::move(ns));
    byName_[s->lowerName].push_back(s);
  }
  auto it = s->index.find(lk);
  if (it != s->index.end()) {
    s->lines[it->second] = std::move(l);
    return;
  }
  // After the section's last non-blank line.
  size_t at = s->lines.size();
  while (at > 0 && Trim(s->lines[at - 1].raw).empty() && !s->lines[at - 1].isKey) --at;
  if (at == s->lines.size()) {
    s->lines.push_back(std::move(l));
  } else {
    s->lines.insert(s->lines.begin() + std::ptrdiff_t(at), std::move(l));
    for (auto& [k, idx] : s->index)
      if (idx >= at) ++idx;
  }
  s->index.emplace(lk, at);
  ++s->keyCount;
}

void TbsSkinIniFile::ReadSection(const std::string& section, rtl::TStrings& strings) {
  strings.Clear();
  Section* s = Find(section);
  if (!s) return;
  for (size_t i = 0; i < s->lines.size(); ++i) {
    const Line& l = s->lines[i];
    if (!l.isKey || l.deleted) continue;
    auto it = s->index.find(rtl::LowerCase(l.key));
    if (it != s->index.end() && it->second == i) strings.Add(l.key);
  }
}

void TbsSkinIniFile::ReadSections(rtl::TStrings& strings) {
  strings.Clear();
  for (const auto& s : sections_)
    if (!s->erased && !s->header.empty() && Find(s->name) == s.get()) strings.Add(s->name);
}

void TbsSkinIniFile::EraseSection(const std::string& section) {
  auto it = byName_.find(rtl::LowerCase(Trim(section)));
  if (it == byName_.end()) return;
  for (Section* s : it->second) {
    s->erased = true;
    s->lines = {};
    s->index = {};
    ++erasedCount_;
  }
  byName_.erase(it);
  // A skin written back erases and rewrites every record's section; the
  // husks go once they outnumber the live sections, so the cost stays linear.
  if (erasedCount_ * 2 > sections_.size()) {
    std::erase_if(sections_, [](const std::unique_ptr<Section>& s) { return s->erased; });
    erasedCount_ = 0;
  }
}

void TbsSkinIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  Section* s = Find(section);
  if (!s) return;
  auto it = s->index.find(rtl::LowerCase(Trim(ident)));
  if (it == s->index.end()) return;
  s->lines[it->second].deleted = true;
  ReindexSection(*s);
}

}  // namespace skin
