// Image-list storage and drawing: equal-sized images kept as 32-bit pixels
// with straight alpha (masked-out pixels have alpha 0). The component that
// owns one (TCustomImageList) lives in the class library.
#pragma once

#include "platform/gfx/color.h"
#include "platform/gfx/types.h"

#include <cstdint>
#include <vector>

namespace gfx {

class TBitmap;
class TCanvas;
class TIcon;

inline namespace win32api {
enum : UINT {
  ILD_NORMAL = 0,
  ILD_TRANSPARENT = 1,
  ILD_MASK = 0x10,
  ILD_IMAGE = 0x20,
  ILD_BLEND25 = 2,
  ILD_BLEND50 = 4,
  ILD_FOCUS = 4,
  ILD_SELECTED = 4
};
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
}  // namespace win32api

class ImageList;
inline namespace win32api {
using HIMAGELIST = ImageList*;
// `bk` CLR_NONE draws transparently, CLR_DEFAULT uses the list's BkColor,
// any other colour fills the cell first. `w`/`h` 0 mean the image size.
BOOL ImageList_DrawEx(HIMAGELIST il, int index, HDC dc, int x, int y, int w, int h, COLORREF bk, COLORREF fg,
                      UINT style);
BOOL ImageList_Draw(HIMAGELIST il, int index, HDC dc, int x, int y, UINT style);
COLORREF ImageList_SetBkColor(HIMAGELIST il, COLORREF bk);
int ImageList_GetImageCount(HIMAGELIST il);
}  // namespace win32api

class ImageList {
 public:
  ImageList(int width = 16, int height = 16) : width_(width), height_(height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size clears the list, as the class library does.
  void SetSize(int w, int h);
  int Count() const { return int(images_.size()); }
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor c) { bkColor_ = c; }

  // Adds one image per Width() pixels of the bitmap; `mask` (monochrome:
  // white = transparent) may be null. Returns the index of the first one,
  // -1 when nothing was added.
  int Add(TBitmap* image, TBitmap* mask);
  // Pixels of colour `key` become transparent (clDefault: the bottom-left pixel).
  int AddMasked(TBitmap* image, TColor key);
  int AddIcon(TIcon* icon);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void Delete(int index);  // -1 deletes all
  void Clear() { images_.clear(); }
  void Move(int from, int to);

  // Enabled: the image over the background (alpha blended); disabled: the
  // classic greyed look, the image's mask embossed (clBtnHighlight at +1,+1,
  // then clBtnShadow). Out-of-range indices draw nothing.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
  void DrawDC(HDC dc, int x, int y, int index, bool enabled = true, UINT style = ILD_NORMAL) const;
  // The image on a bitmap of Width() x Height() filled with BkColor (clBtnFace when none).
  void GetBitmap(int index, TBitmap* out) const;
  void GetIcon(int index, TIcon* out) const;
  // The pixels of one image (0xAARRGGBB, top-down); empty when out of range.
  const std::vector<uint32_t>& Pixels(int index) const;

 private:
  std::vector<std::vector<uint32_t>> SplitBitmap(TBitmap* image, TBitmap* mask, bool useKey, COLORREF key) const;
  int width_, height_;
  TColor bkColor_ = clNone;
  std::vector<std::vector<uint32_t>> images_;
};

}  // namespace gfx
