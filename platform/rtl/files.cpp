#include "platform/rtl/files.h"

#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>
#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <vector>

#include "platform/rtl/strings.h"
#include "platform/rtl/time.h"

namespace rtl {

namespace {
bool StatFollow(const std::string& name, struct stat& st) { return !name.empty() && ::stat(name.c_str(), &st) == 0; }
}  // namespace

bool FileExists(const std::string& fileName) {
  struct stat st;
  return StatFollow(fileName, st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& dirName) {
  struct stat st;
  return StatFollow(dirName, st) && S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& dirName) { return !dirName.empty() && ::mkdir(dirName.c_str(), 0777) == 0; }

bool ForceDirectories(const std::string& dirName) {
  std::string dir = ExcludeTrailingPathDelimiter(dirName);
  if (dir.empty()) return false;
  if (DirectoryExists(dir)) return true;
  std::string parent = ExtractFileDir(dir);
  if (!parent.empty() && parent != dir && !ForceDirectories(parent)) return false;
  return CreateDir(dir) || DirectoryExists(dir);
}

bool RemoveDir(const std::string& dirName) { return ::rmdir(dirName.c_str()) == 0; }

bool DeleteFile(const std::string& fileName) {
  struct stat st;
  if (::lstat(fileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
  // Like the framework, never replaces an existing target.
  struct stat st;
  if (::lstat(newName.c_str(), &st) == 0) return false;
  return ::rename(oldName.c_str(), newName.c_str()) == 0;
}

std::string ExtractFilePath(std::string_view fileName) {
  size_t p = fileName.rfind('/');
  return p == std::string_view::npos ? std::string() : std::string(fileName.substr(0, p + 1));
}

std::string ExtractFileDir(std::string_view fileName) {
  size_t p = fileName.rfind('/');
  if (p == std::string_view::npos) return {};
  if (p == 0) return "/";
  return std::string(fileName.substr(0, p));
}

std::string ExtractFileName(std::string_view fileName) {
  size_t p = fileName.rfind('/');
  return std::string(p == std::string_view::npos ? fileName : fileName.substr(p + 1));
}

std::string ExtractFileExt(std::string_view fileName) {
  size_t dot = fileName.rfind('.');
  size_t slash = fileName.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
  size_t dot = fileName.rfind('.');
  size_t slash = fileName.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) dot = fileName.size();
  return std::string(fileName.substr(0, dot)) + std::string(extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view s) {
  std::string out(s);
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

std::string ExcludeTrailingPathDelimiter(std::string_view s) {
  std::string out(s);
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

std::string ExpandFileName(std::string_view fileName) {
  std::string full = !fileName.empty() && fileName[0] == '/'
                         ? std::string(fileName)
                         : IncludeTrailingPathDelimiter(GetCurrentDir()) + std::string(fileName);
  std::vector<std::string> parts;
  for (const std::string& part : SplitString(full, '/')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  size_t length = 1;
  for (const std::string& p : parts) length += p.size() + 1;
  std::string out;
  out.reserve(length);
  for (const std::string& p : parts) {
    out.push_back('/');
    out.append(p.data(), p.size());
  }
  if (out.empty()) out.push_back('/');
  if (!fileName.empty() && fileName.back() == '/' && out != "/") out += '/';
  return out;
}

std::int64_t FileSizeOf(const std::string& fileName) {
  struct stat st;
  if (!StatFollow(fileName, st) || !S_ISREG(st.st_mode)) return -1;
  return st.st_size;
}

bool FileAge(const std::string& fileName, TDateTime& age) {
  struct stat st;
  if (!StatFollow(fileName, st)) return false;
  age = UnixToLocalDateTime(st.st_mtime);
  return true;
}

std::string GetCurrentDir() {
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

bool SetCurrentDir(const std::string& dirName) { return ::chdir(dirName.c_str()) == 0; }

std::string ExeName() {
  std::vector<char> buf(4096);
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  return std::string(buf.data(), static_cast<size_t>(n));
}

std::string ProgramFileName() { return ExeName(); }

std::string ExeFolder() { return ExtractFilePath(ExeName()); }

namespace {
std::vector<std::string> CommandLine() {
  std::ifstream f("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  size_t i = 0;
  while (i < all.size()) {
    size_t e = all.find('\0', i);
    if (e == std::string::npos) e = all.size();
    args.push_back(all.substr(i, e - i));
    i = e + 1;
  }
  return args;
}
}  // namespace

int ParamCount() {
  int n = static_cast<int>(CommandLine().size()) - 1;
  return n < 0 ? 0 : n;
}

std::string ParamStr(int index) {
  if (index == 0) return ExeName();
  std::vector<std::string> args = CommandLine();
  return index > 0 && index < static_cast<int>(args.size()) ? args[index] : std::string();
}

// ---------------------------------------------------------------------------

bool MatchesMask(std::string_view fileName, std::string_view mask) {
  std::string m = Trim(mask);
  if (m == "*.*" || m == "*") return true;
  std::string name(fileName);
  return ::fnmatch(m.c_str(), name.c_str(), FNM_CASEFOLD | FNM_NOESCAPE) == 0;
}

namespace {
// The system's file search knows only '*' and '?': brackets in a searched
// name are literal, so "Movie [1080p].mkv" finds itself.
bool MatchesSearchMask(const std::string& name, std::string_view mask) {
  std::string m = Trim(mask);
  if (m == "*.*" || m == "*") return true;
  std::string pattern;
  for (char c : m) {
    if (c == '[' || c == ']' || c == '\\') pattern += '\\';
    pattern += c;
  }
  return ::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}
}  // namespace

namespace detail {
struct FindState {
  std::vector<TSearchRec> entries;
  size_t next = 0;
};
}  // namespace detail

namespace {
int NextEntry(TSearchRec& rec) {
  auto state = rec.FindHandle;
  if (!state || state->next >= state->entries.size()) return ENOENT;
  const TSearchRec& e = state->entries[state->next++];
  rec.Name = e.Name;
  rec.Size = e.Size;
  rec.Attr = e.Attr;
  rec.Time = e.Time;
  return 0;
}
}  // namespace

int FindFirst(const std::string& path, int attr, TSearchRec& rec) {
  FindClose(rec);
  std::string dir = ExtractFilePath(path);
  std::string mask = ExtractFileName(path);
  std::string openDir = dir.empty() ? "." : dir;
  DIR* d = ::opendir(openDir.c_str());
  if (!d) return errno ? errno : ENOENT;
  auto state = std::make_shared<detail::FindState>();
  // Entries whose special attributes were not asked for are left out.
  const int excluded = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  while (dirent* de = ::readdir(d)) {
    std::string name = de->d_name;
    if (!MatchesSearchMask(name, mask)) continue;
    struct stat st;
    std::string full = IncludeTrailingPathDelimiter(openDir) + name;
    if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0) continue;
    TSearchRec e;
    e.Name = name;
    bool isDir = S_ISDIR(st.st_mode);
    e.Attr = isDir ? faDirectory : faArchive;
    if (name[0] == '.' && name != "." && name != "..") e.Attr |= faHidden;
    if (::access(full.c_str(), W_OK) != 0) e.Attr |= faReadOnly;
    if (e.Attr & excluded) continue;
    e.Size = isDir ? 0 : st.st_size;
    e.Time = UnixToLocalDateTime(st.st_mtime);
    state->entries.push_back(std::move(e));
  }
  ::closedir(d);
  // Directory order is arbitrary on Linux; a stable name order keeps lists reproducible.
  std::sort(state->entries.begin(), state->entries.end(), [](const TSearchRec& a, const TSearchRec& b) {
    bool da = a.Name == "." || a.Name == "..", db = b.Name == "." || b.Name == "..";
    if (da != db) return da;
    int c = AnsiCompareFileName(a.Name, b.Name);
    return c != 0 ? c < 0 : a.Name < b.Name;
  });
  rec.FindHandle = state;
  int r = NextEntry(rec);
  if (r != 0) rec.FindHandle.reset();
  return r;
}

int FindNext(TSearchRec& rec) { return NextEntry(rec); }

void FindClose(TSearchRec& rec) { rec.FindHandle.reset(); }

}  // namespace rtl
