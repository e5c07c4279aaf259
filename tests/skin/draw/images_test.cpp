// Nine-part images and bars, checked against a source picture whose every
// pixel names its own coordinates (red = x, green = y), so the expected
// source of each destination pixel is computable.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/gfx/graphics.h"
#include "skin/draw/bsSkinImages.h"

using namespace skin;

namespace {

// A 24-bit picture with pixel (x, y) = RGB(x, y, 7).
void EncodedPicture(gfx::TBitmap& p, int w, int h) {
  p.SetPixelFormat(gfx::pf24bit);
  p.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* px = p.ScanLine(y) + x * 3;
      px[0] = 7;
      px[1] = uint8_t(y);
      px[2] = uint8_t(x);
    }
}

struct SrcXY {
  int x, y;  // -1, -1: not drawn (still the fresh bitmap's white)
};

SrcXY At(gfx::TBitmap& b, int x, int y) {
  gfx::TColor c = b.Canvas()->Pixels(x, y);
  if (c == gfx::clWhite) return {-1, -1};
  EXPECT_EQ((c >> 16) & 0xFF, 7) << "not a source pixel at " << x << "," << y;
  return {c & 0xFF, (c >> 8) & 0xFF};
}

// Compares every pixel with the expected source coordinates (relative to the
// skin rectangle's top-left `org`); the first few differences are reported.
void ExpectMap(gfx::TBitmap& b, TPoint org, const std::function<SrcXY(int, int)>& expected, const std::string& what) {
  int failures = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      SrcXY e = expected(x, y), got = At(b, x, y);
      if (e.x >= 0) e = {e.x + org.X, e.y + org.Y};
      if ((e.x != got.x || e.y != got.y) && failures++ < 5)
        ADD_FAILURE() << what << ": (" << x << "," << y << ") from (" << got.x << "," << got.y << "), expected (" << e.x
                      << "," << e.y << ")";
    }
}

// A skin rect of 30 x 20 at (3, 2) of the picture, corners 5 wide and high.
const TbsNinePart kSrc{{5, 5}, {25, 5}, {5, 15}, {25, 15}, {5, 5, 25, 15}};
// The same split moved to W x H.
TbsNinePart Moved(int W, int H) {
  int dx = W - 30, dy = H - 20;
  return TbsNinePart{{5, 5}, {25 + dx, 5}, {5, 15 + dy}, {25 + dx, 15 + dy}, {5, 5, 25 + dx, 15 + dy}};
}
// The source coordinate of a tiled axis: corners fixed, the middle repeated.
int Tiled(int v, int corner, int middle, int newEnd) {
  if (v < corner) return v;
  if (v >= newEnd) return v - (newEnd - corner - middle);
  return corner + (v - corner) % middle;
}

TEST(SkinImages, SameSizeReproducesTheSkinRectWhateverTheFlags) {
  gfx::TBitmap pic;
  EncodedPicture(pic, 40, 30);
  TbsPictureRect src{&pic, {3, 2, 33, 22}};
  for (int flags = 0; flags < 64; ++flags) {
    TbsNinePartStretch f;
    f.LeftStretch = flags & 1;
    f.TopStretch = flags & 2;
    f.RightStretch = flags & 4;
    f.BottomStretch = flags & 8;
    f.StretchEffect = flags & 16;
    f.StretchType = flags & 32 ? bsstHorz : bsstFull;
    gfx::TBitmap b;
    CreateSkinImage(kSrc, kSrc, &b, src, 30, 20, true, f);
    ExpectMap(
        b, {3, 2},
        [](int x, int y) {
          return SrcXY{x, y};
        },
        "flags " + std::to_string(flags));
  }
}

TEST(SkinImages, TiledSidesAndCentre) {
  gfx::TBitmap pic;
  EncodedPicture(pic, 40, 30);
  TbsPictureRect src{&pic, {3, 2, 33, 22}};
  // 30 x 20 at 50 x 30, all tiled: sides of 20 and 10 repeated twice, the
  // centre as 2 x 2 blocks, corner piece 3 from columns 25..30 to 45..50.
  gfx::TBitmap b;
  CreateSkinImage(kSrc, Moved(50, 30), &b, src, 50, 30, true, {});
  EXPECT_EQ(b.Width(), 50);
  ExpectMap(
      b, {3, 2},
      [](int x, int y) {
        return SrcXY{Tiled(x, 5, 20, 45), Tiled(y, 5, 10, 25)};
      },
      "50x30");
  // Spans that do not divide: the last tile is cut (10, 10 and 5 columns).
  CreateSkinImage(kSrc, Moved(75, 27), &b, src, 75, 27, true, {});
  ExpectMap(
      b, {3, 2},
      [](int x, int y) {
        return SrcXY{Tiled(x, 5, 20, 70), Tiled(y, 5, 10, 22)};
      },
      "75x27");
  // Smaller than the skin rect: no side room, the corners cover the place.
  CreateSkinImage(kSrc, Moved(12, 9), &b, src, 12, 9, true, {});
  EXPECT_EQ(At(b, 0, 0).x, 3);
  EXPECT_EQ(At(b, 11, 8).x, 3 + 29);
  EXPECT_EQ(At(b, 11, 8).y, 2 + 19);
  // Without the centre, the centre stays as it was.
  gfx::TBitmap hollow;
  CreateSkinImage(kSrc, Moved(50, 30), &hollow, src, 50, 30, false, {});
  EXPECT_EQ(At(hollow, 20, 12).x, -1);
  EXPECT_EQ(At(hollow, 2, 12).x, 3 + 2);
}

TEST(SkinImages, StretchedSidesAndCentreModes) {
  gfx::TBitmap pic;
  EncodedPicture(pic, 40, 30);
  TbsPictureRect src{&pic, {3, 2, 33, 22}};
  TbsNinePartStretch all;
  all.LeftStretch = all.TopStretch = all.RightStretch = all.BottomStretch = all.StretchEffect = true;
  // Twice the middle both ways: every middle pixel comes from half its offset.
  gfx::TBitmap b;
  CreateSkinImage(kSrc, Moved(50, 30), &b, src, 50, 30, true, all);
  auto doubled = [](int v, int corner, int newEnd, int shift) {
    return v < corner ? v : v >= newEnd ? v - shift : corner + (v - corner) / 2;
  };
  ExpectMap(
      b, {3, 2},
      [&](int x, int y) {
        return SrcXY{doubled(x, 5, 45, 20), doubled(y, 5, 25, 10)};
      },
      "full");
  // Horizontal: stretched to the height, repeated across (20 over 40 and the
  // rest cut); vertical: the other way round.
  all.StretchType = bsstHorz;
  CreateSkinImage(kSrc, Moved(53, 30), &b, src, 53, 30, true, all);
  EXPECT_EQ(At(b, 5 + 20 + 3, 5 + 8).x, 3 + 5 + 3);
  EXPECT_EQ(At(b, 5 + 40 + 2, 5 + 8).x, 3 + 5 + 2);  // third copy, cut at the centre's edge
  EXPECT_EQ(At(b, 5 + 40 + 2, 5 + 8).y, 2 + 5 + 4);
  EXPECT_EQ(At(b, 48, 12).x, 3 + 25);  // the right side, not a fourth copy
  all.StretchType = bsstVert;
  CreateSkinImage(kSrc, Moved(50, 35), &b, src, 50, 35, true, all);
  EXPECT_EQ(At(b, 5 + 8, 5 + 10 + 3).y, 2 + 5 + 3);
  EXPECT_EQ(At(b, 5 + 8, 5 + 10 + 3).x, 3 + 5 + 4);
}

TEST(SkinImages, DegenerateGeometriesDrawLessNeverMore) {
  gfx::TBitmap pic;
  EncodedPicture(pic, 40, 30);
  TbsPictureRect src{&pic, {3, 2, 33, 22}};
  gfx::TBitmap b;
  // RBPt on LTPt's column: sized, nothing drawn.
  TbsNinePart flat = kSrc;
  flat.RBPt.X = flat.LTPt.X;
  CreateSkinImage(flat, Moved(50, 30), &b, src, 50, 30, true, {});
  EXPECT_EQ(b.Width(), 50);
  EXPECT_EQ(At(b, 0, 0).x, -1);
  // A top side of source length 0 beside a real bottom side: no tiles, no division by zero.
  TbsNinePart noTop = kSrc;
  noTop.RTPt.X = noTop.LTPt.X;
  CreateSkinImage(noTop, Moved(50, 30), &b, src, 50, 30, true, {});
  EXPECT_EQ(At(b, 20, 0).x, -1);
  EXPECT_EQ(At(b, 20, 29).y, 2 + 19);
  // An empty centre and empty pictures.
  TbsNinePart noCentre = kSrc;
  noCentre.ClRect = {5, 5, 5, 15};
  CreateSkinImage(noCentre, Moved(50, 30), &b, src, 50, 30, true, {});
  gfx::TBitmap empty;
  CreateSkinImage(kSrc, Moved(50, 30), &b, TbsPictureRect{&empty, {0, 0, 30, 20}}, 50, 30, true, {});
  CreateSkinImage(kSrc, Moved(50, 30), &b, TbsPictureRect{nullptr, {0, 0, 30, 20}}, 50, 30, true, {});
}

TEST(SkinImages, OpenToTheRightAndByClientRect) {
  gfx::TBitmap pic;
  EncodedPicture(pic, 40, 30);
  TbsPictureRect src{&pic, {3, 2, 33, 22}};
  // The widened centre fills everything right of the new centre in each mode.
  for (auto [effect, type] : {std::pair{false, bsstFull}, {true, bsstFull}, {true, bsstHorz}, {true, bsstVert}}) {
    TbsNinePartStretch f;
    f.StretchEffect = effect;
    f.StretchType = type;
    gfx::TBitmap b;
    CreateSkinImage3(kSrc, Moved(50, 30), &b, src, 50, 30, true, f);
    for (int x = 45; x < 50; ++x) EXPECT_NE(At(b, x, 12).x, -1) << x << " type " << type;
    EXPECT_NE(At(b, 49, 2).x, -1);      // the top side runs to W
    EXPECT_LT(At(b, 49, 2).x, 3 + 25);  // no right-hand corner
  }
  // Corner points at the client rectangle's corners, all stretched.
  gfx::TBitmap b;
  b.SetSize(40, 30);
  CreateSkinImageByClRect(&b, src, TRect{5, 5, 25, 15}, true);
  EXPECT_EQ(At(b, 2, 2).x, 3 + 2);
  EXPECT_EQ(At(b, 38, 28).x, 3 + 28);
  EXPECT_EQ(At(b, 38, 28).y, 2 + 18);
  EXPECT_EQ(At(b, 5 + 30, 3).x, 3 + 25);
}

TEST(SkinImages, Bars) {
  gfx::TBitmap pic;
  EncodedPicture(pic, 40, 30);
  TbsPictureRect src{&pic, {3, 2, 23, 8}};  // 20 x 6
  gfx::TBitmap b;
  CreateHSkinImage(4, 6, &b, src, 50, 999, false);
  EXPECT_EQ(b.Height(), 6);
  ExpectMap(
      b, {3, 2},
      [](int x, int y) {
        return SrcXY{Tiled(x, 4, 10, 44), y};
      },
      "tiled bar");
  CreateHSkinImage(4, 6, &b, src, 24, 0, true);
  ExpectMap(
      b, {3, 2},
      [](int x, int y) {
        return SrcXY{x < 4 ? x : x >= 18 ? x - 4 : 4 + (x - 4) * 10 / 14, y};
      },
      "stretched bar");
  CreateHSkinImage2(4, 6, &b, src, 27, 0, false);  // no right end: the middle runs to W
  ExpectMap(
      b, {3, 2},
      [](int x, int y) {
        return SrcXY{x < 4 ? x : 4 + (x - 4) % 10, y};
      },
      "bar 2");
  CreateHSkinImage3(4, 6, &b, src, 27, 0, false);  // no ends at all
  ExpectMap(
      b, {3, 2},
      [](int x, int y) {
        return SrcXY{4 + x % 10, y};
      },
      "bar 3");
  gfx::TBitmap ends;
  CreateHSkinImage(10, 10, &ends, src, 30, 0, false);  // a middle of no width draws nothing
  EXPECT_EQ(At(ends, 15, 0).x, -1);
  EXPECT_EQ(At(ends, 25, 0).x, 3 + 15);
  gfx::TBitmap v;
  TbsPictureRect col{&pic, {1, 1, 5, 21}};  // 4 x 20
  CreateVSkinImage(3, 5, &v, col, 999, 40, false);
  EXPECT_EQ(v.Width(), 4);
  ExpectMap(
      v, {1, 1},
      [](int x, int y) {
        return SrcXY{x, Tiled(y, 3, 12, 35)};
      },
      "vertical bar");
}

TEST(SkinImages, BorderStrips) {
  gfx::TBitmap pic;
  EncodedPicture(pic, 40, 30);
  TbsPictureRect src{&pic, {3, 2, 33, 22}};
  gfx::TBitmap left, top, right, bottom;
  CreateSkinBorderImages(kSrc, Moved(50, 30), TbsFrameStrips{&left, &top, &right, &bottom}, src, 50, 30, {});
  EXPECT_EQ(top.Width(), 50);
  EXPECT_EQ(top.Height(), 5);
  EXPECT_EQ(bottom.Height(), 5);
  EXPECT_EQ(left.Width(), 5);
  EXPECT_EQ(left.Height(), 20);
  EXPECT_EQ(right.Width(), 5);
  // The top strip's middle repeats from x = 0 (not from the corner); the
  // ends are copied over it.
  auto strip = [](int x) { return x < 5 ? x : x >= 45 ? x - 20 : 5 + x % 20; };
  ExpectMap(
      top, {3, 2},
      [&](int x, int y) {
        return SrcXY{strip(x), y};
      },
      "top strip");
  ExpectMap(
      bottom, {3, 2},
      [&](int x, int y) {
        return SrcXY{strip(x), 15 + y};
      },
      "bottom strip");
  ExpectMap(
      left, {3, 2},
      [](int x, int y) {
        return SrcXY{x, 5 + y % 10};
      },
      "left strip");
  ExpectMap(
      right, {3, 2},
      [](int x, int y) {
        return SrcXY{25 + x, 5 + y % 10};
      },
      "right strip");
}

}  // namespace
