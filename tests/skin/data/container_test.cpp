// The compressed container, the payload, the zlib streams, and damaged input:
// every failure is an exception in bounded time, never a crash or a hang.
#include <gtest/gtest.h>

#include "platform/rtl/files.h"
#include "skin/data/bsSkinData.h"
#include "skin/data/bsZlibStreams.h"
#include "skin_test_util.h"

using namespace skin;
using skintest::DumpOf;
using skintest::FakeForms;
using skintest::TempDir;

namespace {

std::string Inflate(TbsCompressedStoredSkin& s) {
  TMemoryStream m;
  s.DeCompressToStream(m);
  return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

std::string Deflate(const std::string& payload) {
  TMemoryStream src, dst;
  src.WriteBuffer(payload.data(), int64_t(payload.size()));
  ZlibCompressStream(src, dst);
  return std::string(static_cast<const char*>(dst.Memory()), size_t(dst.Size()));
}

std::string Container(TbsCompressedStoredSkin& s) {
  TMemoryStream m;
  s.SaveToCompressStream(m);
  return std::string(static_cast<const char*>(m.Memory()), size_t(m.Size()));
}

std::string Le32(int32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

TEST(SkinContainer, EmptySkinIsEightBytes) {
  SKIN_NEW(TbsCompressedStoredSkin, s);
  EXPECT_TRUE(s.Empty());
  std::string c = Container(s);
  EXPECT_EQ(c, std::string("\x03\0\0\0\0\0\0\0", 8));
  rtl::TStringStream in(c);
  SKIN_NEW(TbsCompressedStoredSkin, back);
  back.LoadFromCompressStream(in);
  EXPECT_TRUE(back.Empty());
}

TEST(SkinContainer, PackUnpackPackKeepsThePayload) {
  TempDir dir;
  SKIN_NEW(TbsCompressedStoredSkin, packed);
  packed.LoadFromIniFile(skintest::CopyTestSkin(dir));
  ASSERT_FALSE(packed.Empty());
  std::string block = packed.CompressedData();
  EXPECT_EQ(uint8_t(block[0]), 0x78);
  EXPECT_EQ(uint8_t(block[1]), 0xDA);

  // Container round trip, read from the start even after other data.
  rtl::TStringStream in(Container(packed));
  in.SetPosition(5);
  SKIN_NEW(TbsCompressedStoredSkin, read);
  read.LoadFromCompressStream(in);
  EXPECT_EQ(Inflate(read), Inflate(packed));

  // Loaded from the container, the store holds what the folder load holds.
  SKIN_NEW(TbsSkinData, fromFolder);
  SKIN_NEW(TbsSkinData, fromPack);
  fromFolder.LoadFromFile(dir.File("skin.ini"));
  fromPack.LoadCompressedStoredSkin(&read);
  ASSERT_FALSE(fromPack.Empty);
  EXPECT_EQ(DumpOf(fromPack), DumpOf(fromFolder));

  // Store -> block -> store is a fixpoint of the parsed skin, and a second
  // build from the same store gives the same payload.
  SKIN_NEW(TbsCompressedStoredSkin, rebuilt);
  SKIN_NEW(TbsCompressedStoredSkin, rebuilt2);
  rebuilt.LoadFromSkinData(fromPack);
  SKIN_NEW(TbsSkinData, again);
  again.LoadCompressedStoredSkin(&rebuilt);
  EXPECT_EQ(DumpOf(again), DumpOf(fromPack));
  rebuilt2.LoadFromSkinData(again);
  EXPECT_EQ(Inflate(rebuilt2), Inflate(rebuilt));

  // Through a file.
  packed.SaveToCompressFile(dir.File("t.skn"));
  SKIN_NEW(TbsSkinData, fromFile);
  fromFile.LoadFromCompressedFile(dir.File("t.skn"));
  EXPECT_EQ(DumpOf(fromFile), DumpOf(fromFolder));
}

TEST(SkinContainer, PayloadVariants) {
  const std::string text = "[VERSION]\r\nskinname=Hand made\r\n";
  struct {
    const char* what;
    std::string payload;
    bool loaded;
  } cases[] = {
      {"v3, no pictures", Le32(3) + "\x01\x01\x01" + Le32(0) + text, true},
      {"flag 2 means empty", Le32(3) + "\x02\x01\x01" + Le32(0) + text, true},
      {"v2 skips two more flags", Le32(2) + "\x01\x01\x01\x01\x01" + Le32(0) + text, true},
      {"negative count", Le32(1) + "\x01\x01\x01" + Le32(-3) + text, true},
      {"v4 is refused", Le32(4) + "\x01\x01\x01" + Le32(0) + text, false},
  };
  for (auto& c : cases) {
    FakeForms forms;
    forms.Add("f");
    SKIN_NEW(TbsCompressedStoredSkin, s);
    s.SetCompressedData(Deflate(c.payload));
    SKIN_NEW(TbsSkinData, store);
    store.LoadCompressedStoredSkin(&s);
    EXPECT_EQ(!store.Empty, c.loaded) << c.what;
    EXPECT_EQ(store.SkinName, c.loaded ? "Hand made" : "") << c.what;
    EXPECT_TRUE(store.FPicture->Empty()) << c.what;
    EXPECT_EQ(forms.log.size(), 3u) << c.what;
    EXPECT_FALSE(store.ChangeSkinDataProcess) << c.what;
  }
}

TEST(SkinContainer, OversizedDescriptionsAreRefused) {
  FakeForms forms;
  forms.Add("f");
  const std::string huge(5 * 1024 * 1024, '\n');
  SKIN_NEW(TbsCompressedStoredSkin, s);
  s.SetCompressedData(Deflate(Le32(3) + "\x01\x01\x01" + Le32(0) + huge));
  SKIN_NEW(TbsSkinData, store);
  EXPECT_THROW(store.LoadCompressedStoredSkin(&s), rtl::EReadError);
  EXPECT_EQ(forms.log.size(), 3u);
  EXPECT_TRUE(store.Empty);
  TempDir dir;
  skintest::WriteFile(dir.File("big.ini"), "[VERSION]\nver=1\n" + huge);
  forms.log.clear();
  EXPECT_THROW(store.LoadFromFile(dir.File("big.ini")), rtl::EReadError);
  EXPECT_TRUE(forms.log.empty());
}

// An 8-bit run-length BMP of one colour: small on disk, large in memory.
std::string Rle8Bmp(int w, int h) {
  std::string rows;
  for (int y = 0; y < h; ++y) {
    for (int left = w; left > 0; left -= 255) rows += std::string{char(std::min(left, 255)), '\x01'};
    rows += std::string("\0\0", 2);
  }
  rows += std::string("\0\x01", 2);
  std::string pal(256 * 4, '\0');
  uint32_t off = 14 + 40 + uint32_t(pal.size());
  std::string info = Le32(40) + Le32(w) + Le32(h) + std::string("\x01\0\x08\0", 4) + Le32(1) +
                     Le32(int32_t(rows.size())) + Le32(0) + Le32(0) + Le32(256) + Le32(0);
  return "BM" + Le32(int32_t(off + rows.size())) + Le32(0) + Le32(int32_t(off)) + info + pal + rows;
}

TEST(SkinContainer, PicturesOfOneSkinHaveAPixelBudget) {
  const std::string big = Rle8Bmp(6000, 6000);  // 36 M pixels each
  SKIN_NEW(TbsCompressedStoredSkin, one);
  one.SetCompressedData(Deflate(Le32(3) + std::string("\0", 1) + big + "\x01\x01" + Le32(0)));
  SKIN_NEW(TbsSkinData, store);
  store.LoadCompressedStoredSkin(&one);
  EXPECT_EQ(store.FPicture->Width(), 6000);
  SKIN_NEW(TbsCompressedStoredSkin, two);
  two.SetCompressedData(Deflate(Le32(3) + "\x01\x01\x01" + Le32(2) + big + big));
  EXPECT_THROW(store.LoadCompressedStoredSkin(&two), rtl::EInvalidGraphic);
  EXPECT_TRUE(store.Empty);

  // Few pixels in very many pictures: a small block would otherwise inflate
  // into millions of bitmaps.
  const std::string dot = "BM" + Le32(58) + Le32(0) + Le32(54) + Le32(40) + Le32(1) + Le32(1) +
                          std::string("\x01\0\x18\0", 4) + Le32(0) + Le32(4) + Le32(0) + Le32(0) + Le32(0) + Le32(0) +
                          std::string("\0\0\xff\0", 4);
  std::string dots;
  for (int i = 0; i < 5000; ++i) dots += dot;
  SKIN_NEW(TbsCompressedStoredSkin, many);
  many.SetCompressedData(Deflate(Le32(3) + "\x01\x01\x01" + Le32(5000) + dots));
  EXPECT_THROW(store.LoadCompressedStoredSkin(&many), rtl::EInvalidGraphic);
  EXPECT_TRUE(store.Empty);
  SKIN_NEW(TbsCompressedStoredSkin, some);
  some.SetCompressedData(
      Deflate(Le32(3) + "\x01\x01\x01" + Le32(40) + dots.substr(0, 40 * dot.size()) + "[VERSION]\r\nver=1\r\n"));
  store.LoadCompressedStoredSkin(&some);
  EXPECT_EQ(store.FActivePictures.size(), 40u);
}

TEST(SkinContainer, ContainerHeaderRules) {
  SKIN_NEW(TbsCompressedStoredSkin, s);
  rtl::TStringStream v4(Le32(4) + Le32(3) + "abc");
  s.LoadFromCompressStream(v4);
  EXPECT_TRUE(s.Empty());
  rtl::TStringStream negative(Le32(-7) + Le32(3) + "abc");
  s.LoadFromCompressStream(negative);
  EXPECT_EQ(s.CompressedData(), "abc");
  rtl::TStringStream lying(Le32(3) + Le32(1 << 30) + "abc");
  EXPECT_THROW(s.LoadFromCompressStream(lying), rtl::EReadError);
  EXPECT_TRUE(s.Empty());
  rtl::TStringStream negSize(Le32(3) + Le32(-1) + "abc");
  EXPECT_THROW(s.LoadFromCompressStream(negSize), rtl::EReadError);
  TempDir dir;
  EXPECT_THROW(s.LoadFromCompressFile(dir.File("absent.skn")), rtl::EFOpenError);
  s.SaveToCompressFile(dir.File("never.skn"));  // empty: no file
  EXPECT_FALSE(rtl::FileExists(dir.File("never.skn")));
}

TEST(SkinZlib, StreamSemantics) {
  std::string data;
  for (int i = 0; i < 20000; ++i) data += char('a' + i % 23);
  std::string z = Deflate(data);
  rtl::TStringStream src(z);
  TDecompressionStream d(src);
  EXPECT_EQ(d.Seek(100, rtl::soBeginning), 100);
  EXPECT_THROW(d.Seek(50, rtl::soBeginning), EDecompressionError);
  EXPECT_THROW(d.Seek(0, rtl::soEnd), EDecompressionError);
  char buf[10];
  d.ReadBuffer(buf, 10);
  EXPECT_EQ(std::string(buf, 10), data.substr(100, 10));
  EXPECT_EQ(d.Seek(0, rtl::soBeginning), 0);
  d.ReadBuffer(buf, 10);
  EXPECT_EQ(std::string(buf, 10), data.substr(0, 10));
  try {
    d.Write(buf, 1);
    FAIL();
  } catch (const EDecompressionError& e) {
    EXPECT_EQ(e.Message(), "Invalid stream operation");
  }

  TMemoryStream out;
  TCompressionStream c(clMax, out);
  EXPECT_THROW(c.Read(buf, 1), ECompressionError);
  c.WriteBuffer(data.data(), int64_t(data.size()));
  EXPECT_EQ(c.Seek(0, rtl::soCurrent), int64_t(data.size()));
  c.Finish();
  EXPECT_GT(c.CompressionRate(), 50.0f);

  // Inflating appends at the destination's position; trailing bytes after
  // the zlib stream are not read.
  rtl::TStringStream withTail(z + "trailing garbage");
  rtl::TStringStream dest("xy");
  dest.Seek(0, rtl::soEnd);
  ZlibDecompressStream(dest, withTail);
  EXPECT_EQ(dest.DataString(), "xy" + data);

  rtl::TStringStream notZlib("this is not zlib at all");
  rtl::TStringStream sink;
  try {
    ZlibDecompressStream(sink, notZlib);
    FAIL();
  } catch (const EDecompressionError& e) {
    EXPECT_EQ(e.Message().rfind("compression error", 0), 0u);
  }
  rtl::TStringStream truncated(z.substr(0, z.size() / 2));
  EXPECT_THROW(ZlibDecompressStream(sink, truncated), EDecompressionError);
  rtl::TStringStream big(z);
  EXPECT_THROW(ZlibDecompressStream(sink, big, 1000), EDecompressionError);

  // Into memory the same: at its position, whole, and under the same bound
  // (exactly the inflated size passes, one byte less does not).
  for (int64_t bound : {int64_t(0), int64_t(data.size()), int64_t(data.size()) - 1, int64_t(1000)}) {
    // Read through the inflating stream itself, as stored skins are, the
    // bound holds the same way.
    rtl::TStringStream again(z + "trailing garbage");
    TDecompressionStream bounded(again, bound);
    rtl::TStringStream src(z + "trailing garbage");
    TMemoryStream mem;
    mem.WriteBuffer("xy", 2);
    if (bound > 0 && bound < int64_t(data.size())) {
      EXPECT_THROW(ZlibDecompressStream(mem, src, bound), EDecompressionError) << bound;
      EXPECT_THROW(bounded.ReadAll(), EDecompressionError) << bound;
      continue;
    }
    ZlibDecompressStream(mem, src, bound);
    EXPECT_EQ(std::string(static_cast<const char*>(mem.Memory()), size_t(mem.Size())), "xy" + data) << bound;
    EXPECT_EQ(mem.Position(), mem.Size());
    EXPECT_EQ(bounded.ReadAll(), data) << bound;
  }
}

// Damaged containers: truncations and bit flips of a real one. Each load ends
// in bounded time with the store usable: either loaded, or empty with the
// change broadcast finished.
TEST(SkinContainer, DamagedContainersNeverCrashOrHang) {
  TempDir dir;
  SKIN_NEW(TbsCompressedStoredSkin, packed);
  packed.LoadFromIniFile(skintest::CopyTestSkin(dir));
  const std::string good = Container(packed);
  std::vector<std::string> inputs;
  for (size_t n = 0; n < good.size(); n += 1 + good.size() / 97) inputs.push_back(good.substr(0, n));
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < 150; ++i) {
    std::string bad = good;
    int flips = 1 + int(next() % 4);
    for (int f = 0; f < flips; ++f) bad[8 + next() % (bad.size() - 8)] ^= char(1 << (next() % 8));
    inputs.push_back(bad);
  }
  // A payload whose picture header lies about its size.
  std::string lying = Le32(3) +
                      "\x00"
                      "BM" +
                      Le32(0x7FFFFFF0) + std::string(60, '\0');
  SKIN_NEW(TbsCompressedStoredSkin, l);
  l.SetCompressedData(Deflate(lying));
  inputs.push_back(Container(l));

  FakeForms forms;
  forms.Add("f");
  SKIN_NEW(TbsSkinData, store);
  for (const std::string& in : inputs) {
    forms.log.clear();
    SKIN_NEW(TbsCompressedStoredSkin, s);
    try {
      rtl::TStringStream src(in);
      s.LoadFromCompressStream(src);
      store.LoadCompressedStoredSkin(&s);
    } catch (const rtl::Exception&) {
    }
    EXPECT_FALSE(store.ChangeSkinDataProcess);
    EXPECT_TRUE(forms.log.empty() || forms.log.size() == 3u);
    if (store.Empty) {
      EXPECT_TRUE(store.CtrlList.empty());
    }
  }
}

TEST(SkinContainer, DamagedDescriptionsNeverCrashOrHang) {
  TempDir dir;
  std::string file = skintest::CopyTestSkin(dir);
  const std::string good = skintest::ReadFile(file);
  uint32_t seed = 777;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  const char* junk[] = {"=",       ",", "[", "]", ":", "-", "99999999999", "\n", "count=2147483647\n", "\xEF\xBB\xBF",
                        "\xFF\xFE"};
  SKIN_NEW(TbsSkinData, store);
  for (int i = 0; i < 120; ++i) {
    std::string bad = good;
    int edits = 1 + int(next() % 5);
    for (int e = 0; e < edits; ++e) {
      size_t at = next() % bad.size();
      if (next() % 2)
        bad.insert(at, junk[next() % (sizeof(junk) / sizeof(junk[0]))]);
      else
        bad.erase(at, 1 + next() % 8);
    }
    if (i % 10 == 0) bad = bad.substr(0, next() % bad.size());
    skintest::WriteFile(file, bad);
    try {
      store.LoadFromFile(file);
    } catch (const rtl::Exception&) {
      EXPECT_TRUE(store.Empty);
    }
    EXPECT_FALSE(store.ChangeSkinDataProcess);
  }
}

}  // namespace
