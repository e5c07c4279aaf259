// TCanvas with its TPen, TBrush and TFont, over any DC: a memory bitmap, a
// window paint DC, a window DC with non-client area, or a foreign DC with a
// viewport offset. The canvas selects its objects into the DC on demand and
// gives the DC's original objects back when it lets go of the handle.
#pragma once

#include "platform/gfx/color.h"
#include "platform/gfx/font.h"
#include "platform/gfx/types.h"
#include "platform/rtl/events.h"
#include "platform/rtl/types.h"

#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

namespace gfx {

class TGraphic;
class TBitmap;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;

// A set of font styles: Style({fsBold, fsItalic}), s.Contains(fsBold).
class TFontStyles {
 public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> l) {
    for (TFontStyle s : l) bits_ |= uint8_t(1u << s);
  }
  constexpr bool Contains(TFontStyle s) const { return bits_ & (1u << s); }
  constexpr TFontStyles operator+(TFontStyles o) const { return FromBits(bits_ | o.bits_); }
  constexpr TFontStyles operator-(TFontStyles o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TFontStyles operator*(TFontStyles o) const { return FromBits(bits_ & o.bits_); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint8_t Bits() const { return bits_; }
  static constexpr TFontStyles FromBits(uint8_t b) {
    TFontStyles s;
    s.bits_ = b & 0x0F;
    return s;
  }
  friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

 private:
  uint8_t bits_ = 0;
};

class TGraphicsObject : public rtl::TObject {
 public:
  rtl::TNotifyEvent OnChange;

 protected:
  void Changed() { OnChange(this); }
};

class TPen : public TGraphicsObject {
 public:
  TPen() = default;
  ~TPen() override;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  int Width() const { return width_; }
  void SetWidth(int w);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle s);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode m);
  HPEN Handle();  // owned by the pen
  void Assign(const TPen& src);

 private:
  void Reset();
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  HPEN handle_;
};

class TBrush : public TGraphicsObject {
 public:
  TBrush() = default;
  ~TBrush() override;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;
  TColor Color() const { return color_; }
  // Setting a colour makes a clear brush solid again, as the class library does.
  void SetColor(TColor c);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle s);
  HBRUSH Handle();  // owned by the brush
  void Assign(const TBrush& src);

 private:
  void Reset();
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  HBRUSH handle_;
};

class TFont : public TGraphicsObject {
 public:
  TFont() = default;
  ~TFont() override;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  const std::string& Name() const { return name_; }
  void SetName(const std::string& n);
  // Positive: cell height; negative: em height (pixels at 96 DPI).
  int Height() const { return height_; }
  void SetHeight(int h);
  int Size() const;  // points
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles s);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  // Stored only; it has no effect on drawing here.
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset c);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch p);
  int PixelsPerInch() const { return 96; }
  HFONT Handle();  // owned by the font
  // Takes over the LOGFONT of a foreign font handle (the handle stays the caller's).
  void SetHandle(HFONT f);
  LOGFONT LogFont() const;
  void Assign(const TFont& src);

 private:
  void Reset();
  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontStyles style_;
  TColor color_ = clWindowText;
  TFontCharset charset_ = 1;
  TFontPitch pitch_ = fpDefault;
  HFONT handle_;
};

class TCanvas : public rtl::TObject {
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The DC drawn on, with the canvas's pen, brush and font selected (as the
  // class library does). A canvas that owns no DC asks CreateHandle (a
  // bitmap's canvas makes its memory DC there); without one it gives 0.
  HDC Handle();
  // Borrows a foreign DC (0 lets go of it; the DC gets its objects back).
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return bool(handle_); }

  TPen* Pen() { return &pen_; }
  TBrush* Brush() { return &brush_; }
  TFont* Font() { return &font_; }
  // Replace the objects' settings (the objects themselves stay).
  void SetPen(const TPen& p) { pen_.Assign(p); }
  void SetBrush(const TBrush& b) { brush_.Assign(b); }
  void SetFont(const TFont& f) { font_.Assign(f); }
  uint32_t CopyMode() const { return copyMode_; }
  void SetCopyMode(uint32_t rop) { copyMode_ = rop; }
  TRect ClipRect();
  TPoint PenPos();
  void SetPenPos(TPoint p);
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor c);

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& pts);
  void Polygon(const std::vector<TPoint>& pts);
  void Rectangle(int l, int t, int r, int b);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int l, int t, int r, int b, int w, int h);
  void Ellipse(int l, int t, int r, int b);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);
  void Draw(int x, int y, TGraphic* g);
  void StretchDraw(const TRect& r, TGraphic* g);
  // Copies (stretching when the sizes differ) with CopyMode.
  void CopyRect(const TRect& dst, TCanvas* src, const TRect& srcRect);
  // Copies with `key` pixels of the source left out (the brush is not used).
  void BrushCopy(const TRect& dst, TBitmap* src, const TRect& srcRect, TColor key);
  void TextOut(int x, int y, const std::string& text);
  // Text clipped to `r` (ETO_CLIPPED, opaque with a solid brush).
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // Worker-thread drawing on a memory bitmap: the canvas lock, and the
  // bitmap's own lock while held.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return lockCount_; }
  // Lets go of the selected objects (they are re-selected on the next draw).
  void Refresh();

  rtl::TNotifyEvent OnChange;
  rtl::TNotifyEvent OnChanging;

 protected:
  virtual void CreateHandle() {}
  HDC DC();  // the handle, created when needed, objects not (re)selected
  void Changing() { OnChanging(this); }
  void Changed() { OnChange(this); }
  enum : unsigned { kPen = 1, kBrush = 2, kFont = 4, kAll = 7 };
  void Require(unsigned what);
  void DeselectHandles();
  HDC handle_;

 private:
  TPen pen_;
  TBrush brush_;
  TFont font_;
  uint32_t copyMode_ = 0x00CC0020;  // SRCCOPY
  unsigned valid_ = 0;              // selected and up to date
  unsigned selected_ = 0;           // the DC's own objects were replaced
  HPEN oldPen_;
  HBRUSH oldBrush_;
  HFONT oldFont_;
  std::recursive_mutex lock_;
  int lockCount_ = 0;
};

// The class library's 3-D frame: `width` rings from the outside in, the
// top and left in `topColor`, the bottom and right in `bottomColor`; `r`
// comes back shrunk by `width` on every side.
void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width);

}  // namespace gfx
