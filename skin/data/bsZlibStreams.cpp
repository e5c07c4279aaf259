#include "skin/data/bsZlibStreams.h"

#include <algorithm>
#include <cstring>

namespace skin {

namespace {
const char* const kInvalidOperation = "Invalid stream operation";

int MapLevel(TCompressionLevel L) {
  switch (L) {
    case clNone:
      return 0;
    case clFastest:
      return 1;
    case clDefault:
      return Z_DEFAULT_COMPRESSION;
    default:
      return 9;
  }
}
}  // namespace

int CheckCompressionResult(int Code) {
  if (Code < 0) throw ECompressionError("error");
  return Code;
}

int CheckDecompressionResult(int Code) {
  if (Code < 0) throw EDecompressionError("compression error");
  return Code;
}

TCustomZlibStream::TCustomZlibStream(rtl::TStream& Strm) : FStrm(&Strm), FStrmPos(Strm.Position()) {}

void TCustomZlibStream::Progress() { OnProgress(this); }

// --- compression -----------------------------------------------------------

TCompressionStream::TCompressionStream(TCompressionLevel CompressionLevel, rtl::TStream& Dest)
    : TCustomZlibStream(Dest) {
  FZRec.next_out = FBuffer;
  FZRec.avail_out = sizeof(FBuffer);
  CheckCompressionResult(deflateInit2(&FZRec, MapLevel(CompressionLevel), Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
}

TCompressionStream::~TCompressionStream() {
  try {
    Finish();
  } catch (...) {
    // A failure to write the tail is reported by Finish to callers that ask.
  }
  if (!FFinished) deflateEnd(&FZRec);
}

void TCompressionStream::Finish() {
  if (FFinished) return;
  FFinished = true;
  struct EndGuard {
    z_stream* z;
    ~EndGuard() { deflateEnd(z); }
  } guard{&FZRec};
  FZRec.next_in = nullptr;
  FZRec.avail_in = 0;
  if (FStrm->Position() != FStrmPos) FStrm->SetPosition(FStrmPos);
  while (CheckCompressionResult(deflate(&FZRec, Z_FINISH)) != Z_STREAM_END && FZRec.avail_out == 0) {
    FStrm->WriteBuffer(FBuffer, sizeof(FBuffer));
    FZRec.next_out = FBuffer;
    FZRec.avail_out = sizeof(FBuffer);
  }
  if (FZRec.avail_out < sizeof(FBuffer)) FStrm->WriteBuffer(FBuffer, int64_t(sizeof(FBuffer) - FZRec.avail_out));
  FStrmPos = FStrm->Position();
}

int64_t TCompressionStream::Read(void*, int64_t) { throw ECompressionError(kInvalidOperation); }

int64_t TCompressionStream::Write(const void* Buffer, int64_t Count) {
  if (FFinished) throw ECompressionError(kInvalidOperation);
  if (Count <= 0) return 0;
  if (FStrm->Position() != FStrmPos) FStrm->SetPosition(FStrmPos);
  auto* p = static_cast<const unsigned char*>(Buffer);
  int64_t left = Count;
  while (left > 0) {
    uInt chunk = uInt(std::min<int64_t>(left, 1 << 30));
    FZRec.next_in = const_cast<unsigned char*>(p);
    FZRec.avail_in = chunk;
    while (FZRec.avail_in > 0) {
      CheckCompressionResult(deflate(&FZRec, Z_NO_FLUSH));
      if (FZRec.avail_out == 0) {
        FStrm->WriteBuffer(FBuffer, sizeof(FBuffer));
        FZRec.next_out = FBuffer;
        FZRec.avail_out = sizeof(FBuffer);
        FStrmPos = FStrm->Position();
        Progress();
      }
    }
    p += chunk;
    left -= chunk;
  }
  return Count;
}

int64_t TCompressionStream::Seek(int64_t Offset, rtl::TSeekOrigin Origin) {
  if (Offset == 0 && Origin == rtl::soCurrent) return int64_t(FZRec.total_in);
  throw ECompressionError(kInvalidOperation);
}

float TCompressionStream::CompressionRate() const {
  if (FZRec.total_in == 0) return 0.0f;
  return (1.0f - float(FZRec.total_out) / float(FZRec.total_in)) * 100.0f;
}

// --- decompression ---------------------------------------------------------

TDecompressionStream::TDecompressionStream(rtl::TStream& Source, int64_t MaxBytes)
    : TCustomZlibStream(Source), FMaxBytes(MaxBytes) {
  FZRec.next_in = FBuffer;
  FZRec.avail_in = 0;
  CheckDecompressionResult(inflateInit(&FZRec));
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&FZRec); }

int64_t TDecompressionStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FEnded) return 0;
  if (FStrm->Position() != FStrmPos) FStrm->SetPosition(FStrmPos);
  auto* out = static_cast<unsigned char*>(Buffer);
  int64_t produced = 0;
  while (produced < Count) {
    if (FZRec.avail_in == 0) {
      int64_t got = FStrm->Read(FBuffer, sizeof(FBuffer));
      if (got <= 0)
        throw EDecompressionError("compression error: the compressed data ends before the end of its stream");
      FZRec.next_in = FBuffer;
      FZRec.avail_in = uInt(got);
      FStrmPos = FStrm->Position();
      Progress();
    }
    int64_t want = std::min<int64_t>(Count - produced, 1 << 30);
    // One byte past the bound is room enough to see it passed.
    if (FMaxBytes > 0) want = std::min<int64_t>(want, FMaxBytes + 1 - int64_t(FZRec.total_out));
    uInt room = uInt(want);
    FZRec.next_out = out + produced;
    FZRec.avail_out = room;
    int rc = CheckDecompressionResult(inflate(&FZRec, Z_NO_FLUSH));
    produced += room - FZRec.avail_out;
    if (FMaxBytes > 0 && int64_t(FZRec.total_out) > FMaxBytes)
      throw EDecompressionError("compression error: the inflated data is larger than " + std::to_string(FMaxBytes) +
                                " bytes");
    if (rc == Z_STREAM_END) {
      // Whatever follows the stream inside the source is not ours to read.
      FEnded = true;
      break;
    }
    if (rc == Z_NEED_DICT) throw EDecompressionError("compression error: the stream needs a preset dictionary");
  }
  return produced;
}

int64_t TDecompressionStream::Write(const void*, int64_t) { throw EDecompressionError(kInvalidOperation); }

int64_t TDecompressionStream::Seek(int64_t Offset, rtl::TSeekOrigin Origin) {
  if (Offset == 0 && Origin == rtl::soBeginning) {
    CheckDecompressionResult(inflateReset(&FZRec));
    FZRec.next_in = FBuffer;
    FZRec.avail_in = 0;
    FEnded = false;
    FStrm->SetPosition(0);
    FStrmPos = 0;
  } else if ((Offset >= 0 && Origin == rtl::soCurrent) ||
             (Origin == rtl::soBeginning && Offset - int64_t(FZRec.total_out) > 0)) {
    if (Origin == rtl::soBeginning) Offset -= int64_t(FZRec.total_out);
    unsigned char buf[8192];
    while (Offset > 0) {
      int64_t want = std::min<int64_t>(Offset, sizeof(buf));
      int64_t got = Read(buf, want);
      if (got <= 0) break;
      Offset -= got;
    }
  } else {
    throw EDecompressionError(kInvalidOperation);
  }
  return int64_t(FZRec.total_out);
}

// --- helpers ----------------------------------------------------------------

void ZlibCompressStream(rtl::TMemoryStream& Source, rtl::TStream& Dest) {
  TCompressionStream z(clMax, Dest);
  int64_t n = Source.Size();
  if (n > 0) z.WriteBuffer(Source.Memory(), n);
  z.Finish();
}

void ZlibDecompressStream(rtl::TStream& Dest, rtl::TStream& Source, int64_t MaxBytes) {
  Source.SetPosition(0);
  // The stream itself refuses to inflate past the bound.
  TDecompressionStream z(Source, MaxBytes);
  // Into memory the block inflates in place: the room is sized from the
  // block's own size (skins inflate to a few times it) and grows in large
  // steps, rather than a copy and a growth per small piece; what failed
  // leaves the stream as it was.
  if (auto* m = dynamic_cast<rtl::TMemoryStream*>(&Dest)) {
    const int64_t start = m->Position();
    int64_t room = std::max<int64_t>(Source.Size() * 6, 64 * 1024);
    if (MaxBytes > 0) room = std::min(room, MaxBytes + 1);
    int64_t total = 0;
    try {
      for (;;) {
        m->SetSize(start + room);
        auto* at = static_cast<unsigned char*>(m->Memory()) + start;
        total += std::max<int64_t>(z.Read(at + total, room - total), 0);
        if (total < room) break;  // the end of the block
        room = MaxBytes > 0 ? std::min(room * 2, MaxBytes + 1) : room * 2;
      }
    } catch (...) {
      m->SetSize(start);
      throw;
    }
    m->SetSize(start + total);
    m->SetPosition(start + total);
    return;
  }
  unsigned char buf[4096];
  for (int64_t got; (got = z.Read(buf, sizeof(buf))) > 0;) Dest.WriteBuffer(buf, got);
}

}  // namespace skin
