// Byte streams: memory, file and string streams with the class library's
// contract. ReadBuffer/WriteBuffer raise on a short transfer; Read/Write
// return the count actually moved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/types.h"

namespace rtl {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
inline constexpr int soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2;

class TStream : public TObject {
 public:
  // Bytes read (0 at the end); -1 when the source fails before any byte.
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t pos) { Seek(pos, soBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t newSize);

  // Raise EReadError ("Stream read error") / EWriteError on a short transfer.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes from source (count 0: all of source from its start).
  std::int64_t CopyFrom(TStream& source, std::int64_t count);

  // The rest of the stream from the current position; raises EReadError
  // when a read fails, rather than returning what came before it.
  std::string ReadAll();
};

class TCustomMemoryStream : public TStream {
 public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void* Memory() { return data_.data(); }
  const void* Memory() const { return data_.data(); }
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
  void SaveToStream(TStream& dest);
  void SaveToFile(const std::string& fileName);

 protected:
  std::vector<std::uint8_t> data_;
  std::int64_t pos_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
 public:
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  void SetSize(std::int64_t newSize) override;
  void Clear();
  void LoadFromStream(TStream& source);
  void LoadFromFile(const std::string& fileName);
};

// Open modes; share modes are accepted and ignored.
enum : Word {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

class TFileStream : public TStream {
 public:
  // Raises EFCreateError / EFOpenError with the file name and the system's reason.
  TFileStream(const std::string& fileName, Word mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t newSize) override;
  const std::string& FileName() const { return fileName_; }
  int Handle() const { return fd_; }

 private:
  std::string fileName_;
  int fd_ = -1;
};

class TStringStream : public TStream {
 public:
  explicit TStringStream(std::string data = {}) : data_(std::move(data)) {}
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t newSize) override;
  const std::string& DataString() const { return data_; }
  std::string ReadString(std::int64_t count);
  void WriteString(const std::string& s) { WriteBuffer(s.data(), static_cast<std::int64_t>(s.size())); }

 private:
  std::string data_;
  std::int64_t pos_ = 0;
};

// Whole-file helpers used by the list and ini loaders. ReadFileBytes raises
// EFOpenError, or EReadError when reading fails part-way; WriteFileBytes
// writes to a temporary file beside the target and renames it over the
// target, so a failed write never truncates the old file.
std::string ReadFileBytes(const std::string& fileName);
void WriteFileBytes(const std::string& fileName, const std::string& bytes);

}  // namespace rtl
