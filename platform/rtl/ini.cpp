#include "platform/rtl/ini.h"

#include <sys/stat.h>

#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/strlist.h"

namespace rtl {
namespace detail {
namespace {

enum class LineKind { kOther, kComment, kSection, kKey };

struct LineInfo {
  LineKind kind = LineKind::kOther;
  std::string name;   // section or key name
  std::string value;  // key value, trimmed and unquoted
};

LineInfo Classify(const std::string& line) {
  LineInfo info;
  std::string t = Trim(line);
  if (t.empty()) return info;
  if (t[0] == '[') {
    info.kind = LineKind::kSection;
    size_t close = t.find(']');
    info.name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return info;
  }
  if (t[0] == ';') {
    info.kind = LineKind::kComment;
    return info;
  }
  size_t eq = t.find('=');
  if (eq == std::string::npos) return info;
  info.kind = LineKind::kKey;
  info.name = Trim(t.substr(0, eq));
  info.value = Trim(t.substr(eq + 1));
  const std::string& v = info.value;
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    info.value = v.substr(1, v.size() - 2);
  return info;
}

// Line range [begin, end) of the body of the first section named `section`;
// begin is the header line. Returns false when there is no such section.
bool FindSection(const std::vector<std::string>& lines, const std::string& section, size_t& header, size_t& end) {
  for (size_t i = 0; i < lines.size(); ++i) {
    LineInfo info = Classify(lines[i]);
    if (info.kind == LineKind::kSection && AnsiSameText(info.name, section)) {
      header = i;
      end = i + 1;
      while (end < lines.size() && Classify(lines[end]).kind != LineKind::kSection) ++end;
      return true;
    }
  }
  return false;
}

// Line breaks inside a value would split the line and corrupt the file.
std::string OneLine(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

// A name that appears in two section headers (say, a file rewritten while
// its first header was unreadable) is folded into one section: reads only
// ever see the first, so the keys of the later ones that the first lacks
// move into it, their shadowed keys go, and a rewrite keeps one section per
// name. A file without such a name is left as it is.
void FoldRepeatedSections(std::vector<std::string>& lines) {
  struct Block {
    std::vector<std::string> lines;  // header and body
    std::unordered_set<std::string> keys;
    std::vector<std::string> moved;
  };
  std::unordered_set<std::string> names;
  bool any = false;
  for (const std::string& line : lines) {
    LineInfo info = Classify(line);
    if (info.kind == LineKind::kSection && !names.insert(AnsiUpperCase(info.name)).second) any = true;
  }
  if (!any) return;
  std::vector<std::string> preamble;
  std::vector<Block> blocks;
  std::unordered_map<std::string, size_t> byName;
  Block* target = nullptr;  // the first section of the name now being read
  bool repeated = false;
  for (std::string& line : lines) {
    LineInfo info = Classify(line);
    if (info.kind == LineKind::kSection) {
      auto [it, fresh] = byName.try_emplace(AnsiUpperCase(info.name), blocks.size());
      repeated = !fresh;
      if (fresh) blocks.emplace_back();
      target = &blocks[it->second];
      if (fresh) target->lines.push_back(std::move(line));
      continue;
    }
    if (!target) {
      preamble.push_back(std::move(line));
      continue;
    }
    bool fresh = info.kind != LineKind::kKey || target->keys.insert(AnsiUpperCase(info.name)).second;
    if (!repeated)
      target->lines.push_back(std::move(line));
    else if (fresh && !Trim(line).empty())
      target->moved.push_back(std::move(line));
  }
  lines = std::move(preamble);
  for (Block& b : blocks) {
    size_t end = b.lines.size();
    while (end > 1 && Trim(b.lines[end - 1]).empty()) --end;
    b.lines.insert(b.lines.begin() + static_cast<std::ptrdiff_t>(end), b.moved.begin(), b.moved.end());
    for (std::string& l : b.lines) lines.push_back(std::move(l));
  }
}

}  // namespace

void IniText::Parse(const std::string& bytes) {
  lines_.clear();
  std::string_view text(bytes);
  // A file saved through more than one editor may carry the mark more than once.
  while (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t i = 0;
  while (i < text.size()) {
    size_t e = text.find_first_of("\r\n", i);
    if (e == std::string_view::npos) {
      lines_.emplace_back(text.substr(i));
      break;
    }
    lines_.emplace_back(text.substr(i, e - i));
    i = e + 1;
    if (text[e] == '\r' && i < text.size() && text[i] == '\n') ++i;
  }
  FoldRepeatedSections(lines_);
}

std::string IniText::Serialize() const {
  std::string out;
  for (const std::string& l : lines_) {
    out += l;
    out += "\r\n";
  }
  return out;
}

bool IniText::Read(const std::string& section, const std::string& key, std::string& value) const {
  size_t header, end;
  if (!FindSection(lines_, section, header, end)) return false;
  for (size_t i = header + 1; i < end; ++i) {
    LineInfo info = Classify(lines_[i]);
    if (info.kind == LineKind::kKey && AnsiSameText(info.name, key)) {
      value = info.value;
      return true;
    }
  }
  return false;
}

void IniText::Write(const std::string& section, const std::string& key, const std::string& value) {
  std::string line = OneLine(Trim(key)) + "=" + OneLine(value);
  size_t header, end;
  if (!FindSection(lines_, section, header, end)) {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    std::string title = "[";
    title += OneLine(Trim(section));
    title += ']';
    lines_.push_back(std::move(title));
    lines_.push_back(line);
    return;
  }
  size_t lastContent = header;
  for (size_t i = header + 1; i < end; ++i) {
    LineInfo info = Classify(lines_[i]);
    if (info.kind == LineKind::kKey && AnsiSameText(info.name, key)) {
      lines_[i] = line;
      return;
    }
    if (!Trim(lines_[i]).empty()) lastContent = i;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), line);
}

std::vector<std::string> IniText::Keys(const std::string& section) const {
  std::vector<std::string> out;
  size_t header, end;
  if (!FindSection(lines_, section, header, end)) return out;
  for (size_t i = header + 1; i < end; ++i) {
    LineInfo info = Classify(lines_[i]);
    if (info.kind != LineKind::kKey) continue;
    bool seen = false;
    for (const std::string& k : out)
      if (AnsiSameText(k, info.name)) seen = true;
    if (!seen) out.push_back(info.name);
  }
  return out;
}

std::vector<std::string> IniText::Sections() const {
  std::vector<std::string> out;
  for (const std::string& l : lines_) {
    LineInfo info = Classify(l);
    if (info.kind != LineKind::kSection) continue;
    bool seen = false;
    for (const std::string& s : out)
      if (AnsiSameText(s, info.name)) seen = true;
    if (!seen) out.push_back(info.name);
  }
  return out;
}

bool IniText::EraseSection(const std::string& section) {
  bool any = false;
  size_t header, end;
  while (FindSection(lines_, section, header, end)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    any = true;
  }
  return any;
}

bool IniText::DeleteKey(const std::string& section, const std::string& key) {
  size_t header, end;
  if (!FindSection(lines_, section, header, end)) return false;
  for (size_t i = header + 1; i < end; ++i) {
    LineInfo info = Classify(lines_[i]);
    if (info.kind == LineKind::kKey && AnsiSameText(info.name, key)) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

}  // namespace detail

// ---------------------------------------------------------------------------

void TCustomIniFile::ReadSectionValues(const std::string& section, TStrings& strings) {
  TStringList keys;
  ReadSection(section, keys);
  strings.BeginUpdate();
  strings.Clear();
  for (int i = 0; i < keys.Count(); ++i) strings.Add(keys[i] + "=" + ReadString(section, keys[i], ""));
  strings.EndUpdate();
}

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int def) {
  std::string s = ReadString(section, ident, "");
  int v;
  return !s.empty() && TryStrToInt(s, v) ? v : def;
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double def) {
  std::string s = ReadString(section, ident, "");
  double v;
  return !s.empty() && TryStrToFloat(s, v) ? v : def;
}

void TCustomIniFile::WriteFloat(const std::string& section, const std::string& ident, double value) {
  WriteString(section, ident, FloatToStr(value));
}

bool TCustomIniFile::SectionExists(const std::string& section) {
  TStringList keys;
  ReadSection(section, keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
  TStringList keys;
  ReadSection(section, keys);
  return keys.IndexOf(ident) >= 0;
}

namespace {
// Serialises read-modify-write cycles of ini files within the process.
std::recursive_mutex& IniFileMutex() {
  static std::recursive_mutex m;
  return m;
}

void FillList(TStrings& strings, const std::vector<std::string>& items) {
  strings.BeginUpdate();
  strings.Clear();
  for (const std::string& s : items) strings.Add(s);
  strings.EndUpdate();
}
}  // namespace

detail::IniText TIniFile::Load(bool forWrite) const {
  detail::IniText text;
  try {
    text.Parse(ReadFileBytes(FileName()));
  } catch (const Exception& e) {
    // Missing or unreadable: reads as empty.
    struct stat st;
    if (forWrite && ::stat(FileName().c_str(), &st) == 0)
      throw EIniFileException("Unable to write to " + FileName() + ": " + e.Message());
  }
  return text;
}

void TIniFile::Save(const detail::IniText& text) {
  try {
    WriteFileBytes(FileName(), text.Serialize());
  } catch (const Exception& e) {
    throw EIniFileException("Unable to write to " + FileName() + ": " + e.Message());
  }
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
  std::lock_guard lock(IniFileMutex());
  std::string value;
  return Load().Read(section, ident, value) ? value : def;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  std::lock_guard lock(IniFileMutex());
  detail::IniText text = Load(true);
  text.Write(section, ident, value);
  Save(text);
}

void TIniFile::ReadSection(const std::string& section, TStrings& strings) {
  std::lock_guard lock(IniFileMutex());
  FillList(strings, Load().Keys(section));
}

void TIniFile::ReadSections(TStrings& strings) {
  std::lock_guard lock(IniFileMutex());
  FillList(strings, Load().Sections());
}

void TIniFile::EraseSection(const std::string& section) {
  std::lock_guard lock(IniFileMutex());
  detail::IniText text = Load(true);
  if (text.EraseSection(section)) Save(text);
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  std::lock_guard lock(IniFileMutex());
  detail::IniText text = Load(true);
  if (text.DeleteKey(section, ident)) Save(text);
}

// ---------------------------------------------------------------------------

TMemIniFile::TMemIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) { Rename(FileName(), true); }

void TMemIniFile::Rename(const std::string& fileName, bool reload) {
  SetFileName(fileName);
  if (!reload) return;
  text_ = detail::IniText();
  unreadable_.clear();
  if (fileName.empty()) return;
  try {
    text_.Parse(ReadFileBytes(fileName));
  } catch (const Exception&) {
    // Reads as empty; but an existing file must not be replaced by what
    // little was written since.
    struct stat st;
    if (::stat(fileName.c_str(), &st) == 0) unreadable_ = fileName;
  }
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
  std::string value;
  return text_.Read(section, ident, value) ? value : def;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  text_.Write(section, ident, value);
}

void TMemIniFile::ReadSection(const std::string& section, TStrings& strings) { FillList(strings, text_.Keys(section)); }
void TMemIniFile::ReadSections(TStrings& strings) { FillList(strings, text_.Sections()); }
void TMemIniFile::EraseSection(const std::string& section) { text_.EraseSection(section); }
void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident) { text_.DeleteKey(section, ident); }

void TMemIniFile::UpdateFile() {
  std::lock_guard lock(IniFileMutex());
  if (!unreadable_.empty() && unreadable_ == FileName())
    throw EIniFileException("Unable to write to " + FileName() + ": the file could not be read");
  try {
    WriteFileBytes(FileName(), text_.Serialize());
  } catch (const Exception& e) {
    throw EIniFileException("Unable to write to " + FileName() + ": " + e.Message());
  }
}

void TMemIniFile::Clear() { text_ = detail::IniText(); }

void TMemIniFile::SetStrings(const TStrings& list) { text_.Parse(list.Text()); }

void TMemIniFile::GetStrings(TStrings& list) const { FillList(list, text_.Lines()); }

}  // namespace rtl
