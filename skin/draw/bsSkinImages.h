// Nine-part skin images: a rectangle of a skin picture drawn at one size,
// rebuilt at any other with its corners copied and its sides and centre
// tiled or stretched, each by its own flag; the four frame strips built
// apart; horizontal and vertical bars with fixed ends.
//
// Source coordinates are relative to the top-left of the skin rectangle,
// destination coordinates to the destination bitmap. Rectangles include
// their left and top edges and exclude the right and bottom ones. The
// builders keep no state; every bitmap passed in is the caller's.
#pragma once

#include "platform/gfx/graphics.h"
#include "platform/rtl/geom.h"
#include "skin/data/bsSkinTypes.h"

namespace skin {

// The split of a nine-part image: where the top side begins (LTPt.X) and
// the left side begins (LTPt.Y), where the top side ends and the right side
// begins (RTPt), where the bottom side begins and the left side ends (LBPt),
// where the bottom and right sides end (RBPt), and the centre. For a mask
// the centre is its inner rectangle (MaskRectArea).
struct TbsNinePart {
  TPoint LTPt, RTPt, LBPt, RBPt;
  TRect ClRect;
};

// Side flags: stretched rather than tiled. StretchEffect: the centre is
// stretched by StretchType rather than tiled both ways.
struct TbsNinePartStretch {
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TbsStretchType StretchType = bsstFull;
};

// The stretch settings as a skin record (a button, popup or hint window)
// carries them.
template <class Record>
TbsNinePartStretch StretchOf(const Record& R) {
  return {R.LeftStretch, R.TopStretch, R.RightStretch, R.BottomStretch, R.StretchEffect, R.StretchType};
}

// Where a builder reads from: a rectangle of a skin picture. A type of its
// own, so that the picture and the destination bitmap cannot trade places.
struct TbsPictureRect {
  gfx::TBitmap* Picture = nullptr;
  TRect Rect;
};

// The four frame strips of a frame or a mask, each a caller-owned bitmap.
struct TbsFrameStrips {
  gfx::TBitmap* Left = nullptr;
  gfx::TBitmap* Top = nullptr;
  gfx::TBitmap* Right = nullptr;
  gfx::TBitmap* Bottom = nullptr;
};

// Sizes B to W x H and draws the nine-part image of Source: sides (tiled
// by their source length, or stretched), the eight corner pieces, then the
// centre when DrawClient. Nothing is drawn when RBPt and LTPt share an X or
// a Y, or the picture is empty; a tiled side or centre of source length 0 is
// left out.
void CreateSkinImage(const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* B, const TbsPictureRect& Source,
                     int W, int H, bool DrawClient, const TbsNinePartStretch& Stretch);
// The builder the popup menus and the hint window call; the same result.
void CreateSkinImage2(const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* B, const TbsPictureRect& Source,
                      int W, int H, bool DrawClient, const TbsNinePartStretch& Stretch);
// Open to the right (list view header sections): no right side and no
// right-hand corners; the top and bottom sides and the centre run to W.
void CreateSkinImage3(const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* B, const TbsPictureRect& Source,
                      int W, int H, bool DrawClient, const TbsNinePartStretch& Stretch);
// Fills B at its present size; the corner points are the corners of ClRect,
// all sides and the centre stretched.
void CreateSkinImageByClRect(gfx::TBitmap* B, const TbsPictureRect& Source, const TRect& ClRect, bool DrawClient);
// The four border strips of a frame at W x H, built into their own bitmaps
// (the caller draws the client area itself).
void CreateSkinBorderImages(const TbsNinePart& Src, const TbsNinePart& New, const TbsFrameStrips& Strips,
                            const TbsPictureRect& Source, int W, int H, const TbsNinePartStretch& Stretch);

// Horizontal bar: B becomes W wide and as high as the source rectangle; the
// LOffset leftmost and ROffset rightmost columns are copied to the ends and
// the middle tiled or stretched between them. H is not used.
void CreateHSkinImage(int LOffset, int ROffset, gfx::TBitmap* B, const TbsPictureRect& Source, int W, int H,
                      bool Stretch);
// Without the right end: the middle runs to the right edge.
void CreateHSkinImage2(int LOffset, int ROffset, gfx::TBitmap* B, const TbsPictureRect& Source, int W, int H,
                       bool Stretch);
// Without ends: the middle fills the whole width.
void CreateHSkinImage3(int LOffset, int ROffset, gfx::TBitmap* B, const TbsPictureRect& Source, int W, int H,
                       bool Stretch);
// Vertical bar: B becomes as wide as the source rectangle and H high, with
// fixed top and bottom ends. W is not used.
void CreateVSkinImage(int TOffset, int BOffset, gfx::TBitmap* B, const TbsPictureRect& Source, int W, int H,
                      bool Stretch);

}  // namespace skin
