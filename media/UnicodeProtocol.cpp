#include "media/UnicodeProtocol.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "media/FFmpegLoader.h"

namespace media {

const char* const UnicodePrefix = "unicode:utf8:";
const char* const LibraryProtocolList = ":unicode:stream:gopher:http:pipe:rtp:tcp:udp:";

bool NeedsUnicodeName(const std::string& name) {
  size_t colon = name.find(':');
  if (colon != std::string::npos) {
    std::string proto = ":" + name.substr(0, colon) + ":";
    if (std::string(LibraryProtocolList).find(proto) != std::string::npos) return false;
  }
  // The system code page is UTF-8: every name survives the round trip.
  return false;
}

bool IsUnicodeName(const std::string& text) { return text.size() >= 14 && text.compare(0, 13, UnicodePrefix) == 0; }

std::string EncodeUnicodeName(const std::string& name) { return std::string(UnicodePrefix) + name; }

std::string DecodeUnicodeName(const std::string& text) {
  size_t first = text.find(':');
  if (first == std::string::npos) return std::string();
  size_t second = text.find(':', first + 1);
  if (second == std::string::npos) return std::string();
  return text.substr(second + 1);
}

std::string LibraryFileName(const std::string& name) { return NeedsUnicodeName(name) ? EncodeUnicodeName(name) : name; }

std::string DisplayFileName(const std::string& text) { return IsUnicodeName(text) ? DecodeUnicodeName(text) : text; }

int unicode_open(TUnicodeFile* h, const std::string& filename, int flags) {
  const std::string name = IsUnicodeName(filename) ? DecodeUnicodeName(filename) : filename;
  int oflags;
  if ((flags & AVIO_FLAG_READ_WRITE) == AVIO_FLAG_READ_WRITE)
    oflags = O_RDWR | O_CREAT | O_TRUNC;
  else if (flags & AVIO_FLAG_WRITE)
    oflags = O_WRONLY | O_CREAT | O_TRUNC;
  else
    oflags = O_RDONLY;
  int fd = ::open(name.c_str(), oflags | O_CLOEXEC, 0644);
  if (fd < 0) return -2;
  h->fd = fd;
  return 0;
}

int unicode_read(TUnicodeFile* h, uint8_t* buf, int size) {
  ssize_t n;
  do n = ::read(h->fd, buf, static_cast<size_t>(size));
  while (n < 0 && errno == EINTR);
  return n < 0 ? -1 : static_cast<int>(n);
}

int unicode_write(TUnicodeFile* h, const uint8_t* buf, int size) {
  ssize_t n;
  do n = ::write(h->fd, buf, static_cast<size_t>(size));
  while (n < 0 && errno == EINTR);
  return n < 0 ? -1 : static_cast<int>(n);
}

int64_t unicode_seek(TUnicodeFile* h, int64_t pos, int whence) {
  if (whence == AVSEEK_SIZE) {
    struct stat st;
    if (::fstat(h->fd, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
  }
  off_t r = ::lseek(h->fd, static_cast<off_t>(pos), whence & ~AVSEEK_FORCE);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int unicode_close(TUnicodeFile* h) {
  int r = h->fd >= 0 ? ::close(h->fd) : 0;
  h->fd = -1;
  return r;
}

namespace {

int IoRead(void* opaque, uint8_t* buf, int size) {
  int n = unicode_read(static_cast<TUnicodeFile*>(opaque), buf, size);
  if (n == 0) return AVERROR_EOF;
  return n < 0 ? AVERROR(EIO) : n;
}

int IoWrite(void* opaque, uint8_t* buf, int size) {
  int n = unicode_write(static_cast<TUnicodeFile*>(opaque), buf, size);
  return n < 0 ? AVERROR(EIO) : n;
}

int64_t IoSeek(void* opaque, int64_t pos, int whence) {
  int64_t r = unicode_seek(static_cast<TUnicodeFile*>(opaque), pos, whence);
  return r < 0 ? AVERROR(EIO) : r;
}

constexpr int kIoBufferSize = 32768;

}  // namespace

int OpenUnicodeIO(const std::string& name, int avioFlags, AVIOContext** pb) {
  *pb = nullptr;
  auto* file = new TUnicodeFile();
  int r = unicode_open(file, name, avioFlags);
  if (r < 0) {
    delete file;
    return AVERROR(ENOENT);
  }
  auto* buffer = static_cast<unsigned char*>(ffapi::av_malloc(kIoBufferSize));
  const bool writing = (avioFlags & AVIO_FLAG_WRITE) != 0;
  AVIOContext* io = buffer ? ffapi::avio_alloc_context(buffer, kIoBufferSize, writing ? 1 : 0, file, &IoRead,
                                                       writing ? &IoWrite : nullptr, &IoSeek)
                           : nullptr;
  if (!io) {
    ffapi::av_free(buffer);
    unicode_close(file);
    delete file;
    return AVERROR(ENOMEM);
  }
  *pb = io;
  return 0;
}

void CloseUnicodeIO(AVIOContext** pb) {
  if (!pb || !*pb) return;
  AVIOContext* io = *pb;
  if (io->write_flag) ffapi::avio_flush(io);
  auto* file = static_cast<TUnicodeFile*>(io->opaque);
  ffapi::av_freep(&io->buffer);
  ffapi::avio_context_free(pb);
  if (file) {
    unicode_close(file);
    delete file;
  }
}

void RegisterUnicodeProtocol() {}

}  // namespace media
