// BMP codec: every header kind and depth, RLE, both row orders, images back
// to back in one stream, and malformed files.
#include "gfx_test_util.h"

#include "platform/gfx/bmp.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

#include <cstring>

using namespace gfxtest;

namespace {

struct Bytes {
  std::vector<uint8_t> v;
  Bytes& u8(uint8_t x) {
    v.push_back(x);
    return *this;
  }
  Bytes& u16(uint16_t x) {
    u8(uint8_t(x));
    return u8(uint8_t(x >> 8));
  }
  Bytes& u32(uint32_t x) {
    u16(uint16_t(x));
    return u16(uint16_t(x >> 16));
  }
  Bytes& raw(std::initializer_list<uint8_t> l) {
    v.insert(v.end(), l);
    return *this;
  }
};

// A BMP file with an INFO-family header of `hdrSize` bytes.
std::vector<uint8_t> MakeBmp(int w, int h, int bpp, uint32_t compression, const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& pixels, uint32_t hdrSize = 40,
                             std::vector<uint32_t> masks = {}) {
  Bytes b;
  size_t extra = (hdrSize == 40 && compression == 3) ? 12 : 0;
  size_t palBytes = palette.size() * (hdrSize == 12 ? 3 : 4);
  uint32_t off = uint32_t(14 + hdrSize + extra + palBytes);
  uint32_t total = off + uint32_t(pixels.size());
  b.raw({'B', 'M'}).u32(total).u16(0).u16(0).u32(off);
  if (hdrSize == 12) {
    b.u32(12).u16(uint16_t(w)).u16(uint16_t(h)).u16(1).u16(uint16_t(bpp));
  } else {
    b.u32(hdrSize).u32(uint32_t(w)).u32(uint32_t(h)).u16(1).u16(uint16_t(bpp)).u32(compression);
    b.u32(uint32_t(pixels.size())).u32(0).u32(0).u32(uint32_t(palette.size())).u32(0);
    size_t written = 40;
    for (uint32_t m : masks) {
      if (hdrSize == 40) break;
      b.u32(m);
      written += 4;
    }
    while (written < hdrSize) {
      b.u8(0);
      ++written;
    }
    if (hdrSize == 40 && compression == 3)
      for (uint32_t m : masks) b.u32(m);
  }
  for (uint32_t q : palette) {
    b.u8(uint8_t(q)).u8(uint8_t(q >> 8)).u8(uint8_t(q >> 16));
    if (hdrSize != 12) b.u8(0);
  }
  b.v.insert(b.v.end(), pixels.begin(), pixels.end());
  return b.v;
}

COLORREF PixelOf(gfx::TBitmap& bm, int x, int y) { return GetPixel(bm.Canvas()->Handle(), x, y); }

TEST(Bmp, ReadsEveryHeaderKindDepthAndRowOrder) {
  const std::vector<uint32_t> pal2 = {0x000000, 0xFF0000};  // black, red
  const COLORREF red = RGB(255, 0, 0), black = 0;
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    int bpp;
    COLORREF topLeft, topRight, bottomLeft;
  } cases[] = {
      // 2x2, bottom-up: the first stored row is the bottom one.
      {"1 bpp INFO", MakeBmp(2, 2, 1, 0, pal2, {0x40, 0, 0, 0, 0x80, 0, 0, 0}), 1, red, black, black},
      {"1 bpp CORE", MakeBmp(2, 2, 1, 0, pal2, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, 12), 1, red, black, black},
      {"4 bpp", MakeBmp(2, 2, 4, 0, pal2, {0x10, 0, 0, 0, 0x01, 0, 0, 0}), 4, black, red, red},
      {"8 bpp V5", MakeBmp(2, 2, 8, 0, pal2, {1, 0, 0, 0, 0, 1, 0, 0}, 124), 8, black, red, red},
      {"24 bpp", MakeBmp(2, 2, 24, 0, {}, {0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0}), 24, black, red, red},
      {"24 bpp top-down", MakeBmp(2, -2, 24, 0, {}, {0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0}), 24, red,
       black, black},
      {"32 bpp V4", MakeBmp(2, 1, 32, 0, {}, {0, 0, 255, 9, 0, 0, 0, 9}, 108), 32, red, black, red},
      {"16 bpp 5-5-5", MakeBmp(2, 1, 16, 0, {}, {0x00, 0x7C, 0, 0}), 24, red, black, red},
      {"16 bpp 5-6-5 bit fields", MakeBmp(2, 1, 16, 3, {}, {0x00, 0xF8, 0, 0}, 40, {0xF800, 0x07E0, 0x001F}), 24, red,
       black, red},
      {"32 bpp bit fields", MakeBmp(1, 1, 32, 3, {}, {0xFF, 0, 0, 0}, 40, {0xFF, 0xFF00, 0xFF0000}), 32, red, red, red},
      // RLE8: row 0 (bottom) = runs [1][0], end of line, row 1 (top) = [0][1], end of bitmap.
      {"RLE8", MakeBmp(2, 2, 8, 1, pal2, {1, 1, 1, 0, 0, 0, 1, 0, 1, 1, 0, 1}), 8, black, red, red},
      {"RLE8 absolute run", MakeBmp(3, 1, 8, 1, pal2, {0, 3, 1, 0, 1, 0, 0, 1}), 8, red, red, red},
      // RLE4: a run of 2 alternating pixels (red, black) per row.
      {"RLE4", MakeBmp(2, 2, 4, 2, pal2, {2, 0x10, 0, 0, 2, 0x01, 0, 1}), 4, black, red, red},
  };
  for (auto& c : cases) {
    rtl::TMemoryStream s;
    s.WriteBuffer(c.file.data(), int64_t(c.file.size()));
    s.SetPosition(0);
    gfx::TBitmap bm;
    ASSERT_NO_THROW(bm.LoadFromStream(s)) << c.name;
    EXPECT_EQ(s.Position(), int64_t(c.file.size())) << c.name;
    gfx::BitmapInfo bi;
    gfx::GetBitmapInfo(bm.Handle(), bi);
    EXPECT_EQ(bi.bpp, c.bpp) << c.name;
    EXPECT_EQ(PixelOf(bm, 0, 0), c.topLeft) << c.name;
    EXPECT_EQ(PixelOf(bm, bm.Width() - 1, 0), c.topRight) << c.name;
    EXPECT_EQ(PixelOf(bm, 0, bm.Height() - 1), c.bottomLeft) << c.name;
  }
}

TEST(Bmp, RoundTripKeepsDepthPaletteAndPixels) {
  for (int bpp : {1, 4, 8, 24, 32}) {
    gfx::TBitmap a;
    a.SetPixelFormat(bpp == 1    ? gfx::pf1bit
                     : bpp == 4  ? gfx::pf4bit
                     : bpp == 8  ? gfx::pf8bit
                     : bpp == 24 ? gfx::pf24bit
                                 : gfx::pf32bit);
    a.SetSize(5, 3);
    HDC dc = a.Canvas()->Handle();
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) SetPixel(dc, x, y, ((x + y) & 1) ? RGB(255, 255, 255) : RGB(0, 0, 0));
    rtl::TMemoryStream s;
    a.SaveToStream(s);
    // bfSize is the whole file and the header says what the file holds.
    std::string bytes(size_t(s.Size()), '\0');
    s.SetPosition(0);
    s.ReadBuffer(bytes.data(), s.Size());
    uint32_t bfSize;
    std::memcpy(&bfSize, bytes.data() + 2, 4);
    EXPECT_EQ(bfSize, bytes.size()) << bpp;
    EXPECT_EQ(uint8_t(bytes[28]), bpp);
    s.SetPosition(0);
    gfx::TBitmap b;
    b.LoadFromStream(s);
    EXPECT_EQ(b.PixelFormat(), a.PixelFormat()) << bpp;
    EXPECT_EQ(b.Palette(), a.Palette()) << bpp;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelOf(b, x, y), PixelOf(a, x, y)) << bpp << " " << x << "," << y;
    // Written again unchanged, it is the same bytes.
    rtl::TMemoryStream s2;
    b.SaveToStream(s2);
    std::string again(size_t(s2.Size()), '\0');
    s2.SetPosition(0);
    s2.ReadBuffer(again.data(), s2.Size());
    EXPECT_EQ(again, bytes) << bpp;
  }
}

TEST(Bmp, ImagesBackToBackAreDelimitedByTheirFileSize) {
  auto one = MakeBmp(1, 1, 24, 0, {}, {1, 2, 3, 0});
  auto two = MakeBmp(2, 1, 8, 0, {0x000000, 0x00FF00}, {1, 0, 0, 0});
  auto v5 = MakeBmp(1, 1, 32, 0, {}, {4, 5, 6, 7}, 124);
  rtl::TMemoryStream s;
  for (auto* f : {&one, &two, &v5}) s.WriteBuffer(f->data(), int64_t(f->size()));
  s.WriteBuffer("TAIL", 4);
  s.SetPosition(0);
  gfx::TBitmap a, b, c;
  a.LoadFromStream(s);
  b.LoadFromStream(s);
  c.LoadFromStream(s);
  EXPECT_EQ(s.Position(), int64_t(one.size() + two.size() + v5.size()));
  EXPECT_EQ(PixelOf(a, 0, 0), RGB(3, 2, 1));
  EXPECT_EQ(PixelOf(b, 0, 0), RGB(0, 255, 0));
  EXPECT_EQ(b.PixelFormat(), gfx::pf8bit);
  EXPECT_EQ(PixelOf(c, 0, 0), RGB(6, 5, 4));
  EXPECT_EQ(gfx::BitmapScanLine(c.Handle(), 0)[3], 7);  // the fourth byte is kept
  // Each one written back is its original file image.
  rtl::TMemoryStream out;
  b.SaveToStream(out);
  EXPECT_EQ(out.Size(), int64_t(two.size()));
}

// Each file image read from memory and from a stream read in order (as a
// skin's payload inflates), followed by other bytes: both take exactly the
// image, agree on its pixels, and write it back byte for byte, whether its
// bytes are kept (headers Encode would write differently) or not.
TEST(Bmp, AnyStreamTakesExactlyTheImageAndWritesItBackAsItWas) {
  const std::vector<uint32_t> pal2 = {0x000000, 0xFF0000};
  std::vector<uint32_t> pal256(256);
  for (uint32_t i = 0; i < 256; ++i) pal256[i] = i * 0x010101u;
  const std::vector<uint8_t> rows24 = {1, 2, 3, 4, 5, 6, 0xA, 0xB, 7, 8, 9, 10, 11, 12, 0xC, 0xD};  // padding kept
  auto withBfSizeZero = [](std::vector<uint8_t> f) {
    std::fill(f.begin() + 2, f.begin() + 6, 0);
    return f;
  };
  auto withByte = [](std::vector<uint8_t> f, size_t at, uint8_t v) {
    f[at] = v;
    return f;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
  } cases[] = {
      {"24 bpp as written", MakeBmp(2, 2, 24, 0, {}, rows24)},
      {"32 bpp as written", MakeBmp(2, 1, 32, 0, {}, {1, 2, 3, 4, 5, 6, 7, 8})},
      {"8 bpp, full palette", MakeBmp(2, 2, 8, 0, pal256, {1, 2, 0xEE, 0xEE, 3, 4, 0xEE, 0xEE})},
      {"8 bpp, short palette", MakeBmp(2, 2, 8, 0, pal2, {1, 0, 0, 0, 0, 1, 0, 0})},
      {"1 bpp CORE", MakeBmp(2, 2, 1, 0, pal2, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, 12)},
      {"V5 header", MakeBmp(2, 1, 32, 0, {}, {1, 2, 3, 4, 5, 6, 7, 8}, 124)},
      {"top-down", MakeBmp(2, -2, 24, 0, {}, rows24)},
      {"bfSize 0", withBfSizeZero(MakeBmp(2, 2, 24, 0, {}, rows24))},
      {"bfSize 0, bit fields",
       withBfSizeZero(MakeBmp(2, 1, 16, 3, {}, {0x00, 0xF8, 0, 0}, 40, {0xF800, 0x07E0, 0x1F}))},
      {"bfSize 0, V3 header", withBfSizeZero(MakeBmp(1, 1, 24, 0, {}, {1, 2, 3, 0}, 56))},
      {"resolution set", withByte(MakeBmp(2, 2, 24, 0, {}, rows24), 38, 0x13)},
      {"palette reserved byte set", withByte(MakeBmp(2, 2, 8, 0, pal256, {1, 2, 0, 0, 3, 4, 0, 0}), 57, 9)},
      {"16 bpp", MakeBmp(2, 1, 16, 0, {}, {0x00, 0x7C, 0, 0})},
      {"RLE8", MakeBmp(2, 2, 8, 1, pal2, {1, 1, 1, 0, 0, 0, 1, 0, 1, 1, 0, 1})},
  };
  for (auto& c : cases) {
    const std::string file(c.file.begin(), c.file.end());
    rtl::TMemoryStream mem;
    mem.WriteBuffer(file.data(), int64_t(file.size()));
    mem.WriteBuffer("TAIL", 4);
    mem.SetPosition(0);
    rtl::TStringStream inOrder(file + "TAIL");
    gfx::TBitmap fromMemory, fromStream;
    ASSERT_NO_THROW(fromMemory.LoadFromStream(mem)) << c.name;
    ASSERT_NO_THROW(fromStream.LoadFromStream(inOrder)) << c.name;
    EXPECT_EQ(inOrder.ReadString(4), "TAIL") << c.name;
    EXPECT_EQ(mem.Position(), int64_t(file.size())) << c.name;
    ASSERT_EQ(fromStream.Width(), fromMemory.Width()) << c.name;
    for (int y = 0; y < fromMemory.Height(); ++y)
      for (int x = 0; x < fromMemory.Width(); ++x)
        EXPECT_EQ(PixelOf(fromStream, x, y), PixelOf(fromMemory, x, y)) << c.name << " " << x << "," << y;
    for (gfx::TBitmap* b : {&fromMemory, &fromStream}) {
      rtl::TStringStream out;
      b->SaveToStream(out);
      EXPECT_EQ(out.DataString(), file) << c.name;
    }
  }
}

TEST(Bmp, MalformedFilesRaiseAndLeaveTheBitmapAlone) {
  auto good = MakeBmp(2, 2, 24, 0, {}, std::vector<uint8_t>(16, 0));
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
  } cases[] = {
      {"not BM",
       [&] {
         auto f = good;
         f[0] = 'X';
         return f;
       }()},
      {"bfSize beyond the stream",
       [&] {
         auto f = good;
         f[2] = 0xFF;
         f[3] = 0xFF;
         return f;
       }()},
      {"bfSize too small",
       [&] {
         auto f = good;
         f[2] = 10;
         f[3] = 0;
         f[4] = 0;
         f[5] = 0;
         return f;
       }()},
      {"pixels cut short",
       [&] {
         auto f = good;
         f.resize(f.size() - 4);
         f[2] = uint8_t(f.size());
         return f;
       }()},
      {"absurd size", MakeBmp(100000, 100000, 24, 0, {}, {0, 0, 0, 0})},
      {"unknown header",
       [&] {
         auto f = good;
         f[14] = 77;
         return f;
       }()},
      {"zero width", MakeBmp(0, 2, 24, 0, {}, {0, 0, 0, 0})},
      {"height of -2^31", MakeBmp(2, INT32_MIN, 24, 0, {}, {0, 0, 0, 0})},
      {"bad depth", MakeBmp(1, 1, 7, 0, {}, {0, 0, 0, 0})},
      {"RLE8 on 24 bpp", MakeBmp(1, 1, 24, 1, {}, {0, 1})},
      // Two bytes of runs cannot describe 64 M pixels: refused before the picture exists.
      {"RLE8 larger than its runs", MakeBmp(8192, 8192, 8, 1, {0, 0xFFFFFF}, {255, 1, 0, 1})},
      {"RLE4 larger than its runs", MakeBmp(8192, 8192, 4, 2, {0, 0xFFFFFF}, {255, 1, 0, 1})},
      {"truncated", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
  };
  for (auto& c : cases) {
    gfx::TBitmap bm;
    bm.SetSize(3, 3);
    rtl::TMemoryStream s;
    s.WriteBuffer(c.file.data(), int64_t(c.file.size()));
    s.SetPosition(0);
    EXPECT_THROW(bm.LoadFromStream(s), rtl::Exception) << c.name;
    EXPECT_EQ(bm.Width(), 3) << c.name;
    // The same from a stream that is read in order and never asked its size.
    rtl::TStringStream inOrder(std::string(c.file.begin(), c.file.end()));
    EXPECT_THROW(bm.LoadFromStream(inOrder), rtl::Exception) << c.name;
    EXPECT_EQ(bm.Width(), 3) << c.name;
  }
}

TEST(Bmp, BitFlipsNeverCrash) {
  auto base = MakeBmp(3, 2, 8, 1, {0, 0xFFFFFF, 0x00FF00}, {3, 1, 0, 0, 0, 3, 1, 2, 0, 0, 0, 1});
  for (size_t i = 0; i < base.size(); ++i)
    for (int bit = 0; bit < 8; ++bit) {
      auto f = base;
      f[i] ^= uint8_t(1 << bit);
      try {
        gfx::bmp::Decode(f.data(), f.size());
      } catch (const rtl::Exception&) {
      }
    }
}

TEST(Bmp, RleStepsFarPastTheRowEndAreHarmless) {
  // Some 8.5 million "move right by 255" steps in one row: the position must
  // not run past the int range, and the pixel written afterwards stays out.
  std::vector<uint8_t> rle(size_t(8500000) * 4);
  for (size_t i = 0; i < rle.size(); i += 4) rle[i + 1] = 2, rle[i + 2] = 255;
  rle.insert(rle.end(), {1, 1, 0, 1});  // one pixel of index 1, end of bitmap
  auto f = MakeBmp(2, 1, 8, 1, {0, 0xFFFFFF}, rle);
  gfx::bmp::Image img = gfx::bmp::Decode(f.data(), f.size());
  EXPECT_EQ(img.pixels[0], 0);
  EXPECT_EQ(img.pixels[1], 0);
}

}  // namespace
