// zlib streams: a write-only deflating stream and a read-only inflating
// stream over another stream, and the two whole-stream helpers the skin
// container uses.
#pragma once

#include <zlib.h>

#include <cstdint>

#include "platform/rtl/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace skin {

class EZlibError : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};
class ECompressionError : public EZlibError {
 public:
  using EZlibError::EZlibError;
};
class EDecompressionError : public EZlibError {
 public:
  using EZlibError::EZlibError;
};

enum TCompressionLevel { clNone, clFastest, clDefault, clMax };

// Raise ECompressionError "error" / EDecompressionError "compression error"
// for a negative zlib result; return the result otherwise.
int CheckCompressionResult(int Code);
int CheckDecompressionResult(int Code);

class TCustomZlibStream : public rtl::TStream {
 public:
  explicit TCustomZlibStream(rtl::TStream& Strm);
  rtl::TNotifyEvent OnProgress;

 protected:
  virtual void Progress();

  rtl::TStream* FStrm;
  int64_t FStrmPos;
  z_stream FZRec{};
  unsigned char FBuffer[8192];
};

// Deflates everything written to it into Dest. The output is complete only
// after Finish (or destruction).
class TCompressionStream : public TCustomZlibStream {
 public:
  TCompressionStream(TCompressionLevel CompressionLevel, rtl::TStream& Dest);
  ~TCompressionStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;  // refused
  int64_t Write(const void* Buffer, int64_t Count) override;
  // Seek(0, soCurrent) gives the bytes taken so far; every other seek is refused.
  int64_t Seek(int64_t Offset, rtl::TSeekOrigin Origin) override;
  // Ends the zlib stream and writes what remains; raises on failure.
  // Destruction finishes too, but swallows failures.
  void Finish();
  float CompressionRate() const;

 private:
  bool FFinished = false;
};

// Inflates Source. A read stops at the end of the zlib stream; bytes after it
// are ignored. Source data that ends before the zlib stream does raises
// EDecompressionError, so a truncated block never reads as a complete one.
// MaxBytes bounds the inflated size (0 = no bound): a read that would pass
// it raises EDecompressionError.
class TDecompressionStream : public TCustomZlibStream {
 public:
  explicit TDecompressionStream(rtl::TStream& Source, int64_t MaxBytes = 0);
  ~TDecompressionStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;  // refused
  // (0, soBeginning) rewinds Source to 0 and restarts; forward seeks skip
  // inflated bytes; every other seek is refused.
  int64_t Seek(int64_t Offset, rtl::TSeekOrigin Origin) override;

 private:
  bool FEnded = false;
  int64_t FMaxBytes = 0;
};

// Compresses the whole of Source (from its start) into Dest at level clMax.
void ZlibCompressStream(rtl::TMemoryStream& Source, rtl::TStream& Dest);
// Inflates Source (from its start) into Dest. MaxBytes bounds the inflated
// size (0 = no bound); beyond it EDecompressionError is raised.
void ZlibDecompressStream(rtl::TStream& Dest, rtl::TStream& Source, int64_t MaxBytes = 0);

}  // namespace skin
