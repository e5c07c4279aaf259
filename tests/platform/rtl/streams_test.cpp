#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "temp_dir.h"

using namespace rtl;

TEST(Streams, MemoryStreamReadWriteSeek) {
  TMemoryStream m;
  m.WriteBuffer("hello", 5);
  EXPECT_EQ(m.Size(), 5);
  EXPECT_EQ(m.Position(), 5);
  m.SetPosition(1);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 4);  // short read returns the count
  EXPECT_STREQ(buf, "ello");
  m.Seek(-2, soEnd);
  EXPECT_THROW(m.ReadBuffer(buf, 3), EReadError);  // fewer bytes follow
  m.SetSize(2);
  EXPECT_EQ(m.Size(), 2);
  EXPECT_LE(m.Position(), 2);
}

TEST(Streams, CopyFromAllOrPart) {
  TStringStream src("0123456789");
  TMemoryStream dst;
  src.SetPosition(7);
  EXPECT_EQ(dst.CopyFrom(src, 0), 10);  // 0 copies everything from the start
  EXPECT_EQ(std::string(static_cast<const char*>(dst.Memory()), 10), "0123456789");
  src.SetPosition(8);
  EXPECT_THROW(dst.CopyFrom(src, 5), EReadError);
}

TEST(Streams, FileStreamModesAndErrors) {
  TempDir dir;
  {
    TFileStream f(dir / "a.bin", fmCreate);
    f.WriteBuffer("abcdef", 6);
  }
  {
    TFileStream f(dir / "a.bin", fmOpenReadWrite | fmShareDenyNone);
    EXPECT_EQ(f.Size(), 6);
    f.Seek(2, soBeginning);
    f.WriteBuffer("XY", 2);
  }
  EXPECT_EQ(dir.Read("a.bin"), "abXYef");
  {
    TFileStream f(dir / "a.bin", fmOpenRead);
    EXPECT_EQ(f.Write("z", 1), 0);  // read-only handle
    EXPECT_THROW(f.WriteBuffer("z", 1), EWriteError);
  }
  EXPECT_THROW(TFileStream(dir / "missing", fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir.path(), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(dir / "no/such/dir/x", fmCreate), EFCreateError);
  try {
    TFileStream f(dir / "missing", fmOpenRead);
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find("missing"), std::string::npos);
  }
}

TEST(Streams, WriteFileBytesReplacesWholeFile) {
  TempDir dir;
  dir.Write("t.txt", "old contents that are long");
  WriteFileBytes(dir / "t.txt", "new");
  EXPECT_EQ(dir.Read("t.txt"), "new");
  EXPECT_THROW(WriteFileBytes(dir / "nope/t.txt", "x"), EFCreateError);
  // A file that opens but fails to read raises instead of reading as empty
  // (this one answers every read with an I/O error).
  EXPECT_THROW(ReadFileBytes("/proc/self/mem"), EReadError);
  // So do the stream readers the bitmap, list and skin loaders use.
  TFileStream f("/proc/self/mem", fmOpenRead);
  char buf[4];
  EXPECT_EQ(f.Read(buf, sizeof buf), -1);
  EXPECT_THROW(f.ReadAll(), EReadError);
}
