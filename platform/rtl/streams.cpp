#include "platform/rtl/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/rtl/exceptions.h"

namespace rtl {

std::int64_t TStream::Size() {
  std::int64_t pos = Seek(0, soCurrent);
  std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  std::int64_t total = count;
  std::vector<std::uint8_t> buf(static_cast<size_t>(std::min<std::int64_t>(count > 0 ? count : 1, 1 << 20)));
  while (count > 0) {
    std::int64_t n = std::min<std::int64_t>(count, static_cast<std::int64_t>(buf.size()));
    source.ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    count -= n;
  }
  return total;
}

std::string TStream::ReadAll() {
  std::string out;
  char buf[65536];
  while (true) {
    std::int64_t n = Read(buf, sizeof buf);
    // A read error is not the end: half a file taken for the whole would be
    // written back as the whole.
    if (n < 0) throw EReadError("Stream read error. " + SysErrorMessage(errno));
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

namespace {
std::int64_t NewPosition(std::int64_t pos, std::int64_t size, std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? pos : size;
  std::int64_t p = base + offset;
  return p < 0 ? 0 : p;
}
}  // namespace

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
  std::int64_t size = static_cast<std::int64_t>(data_.size());
  if (count <= 0 || pos_ >= size) return 0;
  std::int64_t n = std::min(count, size - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  pos_ = NewPosition(pos_, static_cast<std::int64_t>(data_.size()), offset, origin);
  return pos_;
}

void TCustomMemoryStream::SaveToStream(TStream& dest) {
  dest.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  std::int64_t end = pos_ + count;
  if (end > static_cast<std::int64_t>(data_.size())) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ = end;
  return count;
}

void TMemoryStream::SetSize(std::int64_t newSize) {
  data_.resize(static_cast<size_t>(std::max<std::int64_t>(newSize, 0)));
  if (pos_ > newSize) pos_ = static_cast<std::int64_t>(data_.size());
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  std::int64_t n = source.Size();
  SetSize(n);
  pos_ = 0;
  source.ReadBuffer(data_.data(), n);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

TFileStream::TFileStream(const std::string& fileName, Word mode) : fileName_(fileName) {
  if ((mode & 0xFF00) == fmCreate) {
    fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) throw EFCreateError("Cannot create file \"" + fileName + "\". " + SysErrorMessage(errno));
    return;
  }
  int access = (mode & 3) == fmOpenWrite ? O_WRONLY : (mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
  fd_ = ::open(fileName.c_str(), access | O_CLOEXEC);
  int err = errno;
  if (fd_ >= 0) {
    struct stat st;
    if (fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd_);
      fd_ = -1;
      err = EISDIR;
    }
  }
  if (fd_ < 0) throw EFOpenError("Cannot open file \"" + fileName + "\". " + SysErrorMessage(err));
}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < count) {
    ssize_t n = ::read(fd_, p + done, static_cast<size_t>(std::min<std::int64_t>(count - done, 1 << 30)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return done > 0 ? done : -1;  // what was read counts; the error shows on the next call
    if (n == 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
  std::int64_t done = 0;
  auto* p = static_cast<const char*>(buffer);
  while (done < count) {
    ssize_t n = ::write(fd_, p + done, static_cast<size_t>(std::min<std::int64_t>(count - done, 1 << 30)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t r = ::lseek(fd_, offset, whence);
  return r < 0 ? -1 : r;
}

void TFileStream::SetSize(std::int64_t newSize) {
  if (::ftruncate(fd_, newSize) != 0)
    throw EStreamError("Cannot set the size of \"" + fileName_ + "\". " + SysErrorMessage(errno));
  if (Position() > newSize) Seek(0, soEnd);
}

std::int64_t TStringStream::Read(void* buffer, std::int64_t count) {
  std::int64_t size = static_cast<std::int64_t>(data_.size());
  if (count <= 0 || pos_ >= size) return 0;
  std::int64_t n = std::min(count, size - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

std::int64_t TStringStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0) return 0;
  std::int64_t end = pos_ + count;
  if (end > static_cast<std::int64_t>(data_.size())) data_.resize(static_cast<size_t>(end));
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ = end;
  return count;
}

std::int64_t TStringStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  pos_ = NewPosition(pos_, static_cast<std::int64_t>(data_.size()), offset, origin);
  return pos_;
}

void TStringStream::SetSize(std::int64_t newSize) {
  data_.resize(static_cast<size_t>(std::max<std::int64_t>(newSize, 0)));
  if (pos_ > newSize) pos_ = static_cast<std::int64_t>(data_.size());
}

std::string TStringStream::ReadString(std::int64_t count) {
  std::int64_t n = std::min<std::int64_t>(count, static_cast<std::int64_t>(data_.size()) - pos_);
  if (n <= 0) return {};
  std::string out = data_.substr(static_cast<size_t>(pos_), static_cast<size_t>(n));
  pos_ += n;
  return out;
}

std::string ReadFileBytes(const std::string& fileName) {
  // Opening a pipe or device could block for ever; only plain files are read.
  struct stat st;
  if (::stat(fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    throw EFOpenError("Cannot open file \"" + fileName + "\". Not a regular file");
  TFileStream f(fileName, fmOpenRead | fmShareDenyNone);
  try {
    return f.ReadAll();
  } catch (const EReadError& e) {
    throw EReadError("Cannot read file \"" + fileName + "\". " + e.Message());
  }
}

namespace {
void WriteAllOrThrow(int fd, const std::string& fileName, const std::string& bytes, const char* tmp) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int err = n < 0 ? errno : ENOSPC;
      ::close(fd);
      if (tmp) ::unlink(tmp);
      throw EWriteError("Cannot write file \"" + fileName + "\". " + SysErrorMessage(err));
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    int err = errno;
    if (tmp) ::unlink(tmp);
    throw EWriteError("Cannot write file \"" + fileName + "\". " + SysErrorMessage(err));
  }
}
}  // namespace

void WriteFileBytes(const std::string& fileName, const std::string& bytes) {
  static std::atomic<unsigned> counter{0};
  std::string tmp = fileName + ".~" + std::to_string(::getpid()) + "." + std::to_string(counter++);
  mode_t mode = 0666;
  struct stat st;
  bool existed = ::stat(fileName.c_str(), &st) == 0;
  if (existed) mode = st.st_mode & 07777;
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existed ? 0600 : 0666);
  if (fd < 0) {
    int err = errno;
    // A folder that takes no new files may still hold a writable file.
    if (existed) {
      fd = ::open(fileName.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
      if (fd >= 0) {
        WriteAllOrThrow(fd, fileName, bytes, nullptr);
        return;
      }
    }
    throw EFCreateError("Cannot create file \"" + fileName + "\". " + SysErrorMessage(err));
  }
  if (existed) ::fchmod(fd, mode);
  WriteAllOrThrow(fd, fileName, bytes, tmp.c_str());
  if (::rename(tmp.c_str(), fileName.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.c_str());
    throw EWriteError("Cannot write file \"" + fileName + "\". " + SysErrorMessage(err));
  }
}

}  // namespace rtl
