// Files, folders and path names. '/' is the only delimiter; ':' and '\' are
// ordinary file-name characters.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/types.h"

namespace rtl {

inline constexpr char PathDelim = '/';

bool FileExists(const std::string& fileName);  // regular files only, symlinks followed
bool DirectoryExists(const std::string& dirName);
bool ForceDirectories(const std::string& dirName);  // creates every missing level
bool CreateDir(const std::string& dirName);
bool RemoveDir(const std::string& dirName);
bool DeleteFile(const std::string& fileName);
bool RenameFile(const std::string& oldName, const std::string& newName);

std::string ExtractFilePath(std::string_view fileName);  // with the trailing '/'
std::string ExtractFileDir(std::string_view fileName);   // without it
std::string ExtractFileName(std::string_view fileName);
std::string ExtractFileExt(std::string_view fileName);  // ".ext" or empty
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
std::string IncludeTrailingPathDelimiter(std::string_view s);
std::string ExcludeTrailingPathDelimiter(std::string_view s);
// Absolute, with "." and ".." resolved textually against the current folder.
std::string ExpandFileName(std::string_view fileName);

// Size in bytes, or -1 when the file does not exist.
std::int64_t FileSizeOf(const std::string& fileName);
// Modification time as local TDateTime; false when the file does not exist.
bool FileAge(const std::string& fileName, TDateTime& age);

std::string GetCurrentDir();
// Process-wide; the engine works with absolute paths only.
bool SetCurrentDir(const std::string& dirName);

// The running program, from /proc/self/exe.
std::string ExeName();
std::string ProgramFileName();
std::string ExeFolder();  // with the trailing '/'
// Command-line arguments; ParamStr(0) is the program file.
int ParamCount();
std::string ParamStr(int index);

// File attributes, synthesised from the POSIX file mode.
enum : int {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faSymLink = 0x40,
  faNormal = 0x80,
  faAnyFile = 0x1FF,
};

namespace detail {
struct FindState;
}

struct TSearchRec {
  std::string Name;
  std::int64_t Size = 0;
  int Attr = 0;
  TDateTime Time = 0;  // modification time, local
  std::shared_ptr<detail::FindState> FindHandle;
};

// Case-insensitive glob; "*.*" matches every name, including names without a
// dot. The mask is trimmed.
bool MatchesMask(std::string_view fileName, std::string_view mask);

// path = folder + '/' + mask. attr names the special entries to include
// besides normal files: faDirectory for folders (then "." and ".." too),
// faHidden for dot-names. Returns 0 on success, otherwise an errno value.
int FindFirst(const std::string& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

}  // namespace rtl
