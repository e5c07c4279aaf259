// TGraphic and its kinds: TBitmap (a DIB with a canvas, BMP files through
// the layer's own codec), TIcon and TPicture.
#pragma once

#include "platform/gfx/canvas.h"
#include "platform/gfx/types.h"
#include "platform/rtl/dib.h"
#include "platform/rtl/events.h"
#include "platform/rtl/streams.h"

#include <memory>
#include <string>
#include <vector>

namespace gfx {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

class TGraphic : public rtl::TObject {
 public:
  ~TGraphic() override = default;
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int w) = 0;
  virtual void SetHeight(int h) = 0;
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool t);
  // Reads one image from the current position; the position ends after it.
  virtual void LoadFromStream(rtl::TStream& s) = 0;
  virtual void SaveToStream(rtl::TStream& s) = 0;
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  // Draws the graphic into `r` of the canvas (stretched).
  virtual void Draw(TCanvas* c, const TRect& r) = 0;
  // Raises EConvertError when the kinds do not match.
  virtual void Assign(const TGraphic* src) = 0;
  rtl::TNotifyEvent OnChange;

 protected:
  void Changed() { OnChange(this); }
  bool transparent_ = false;
};

class TBitmapCanvas;

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  bool Empty() const override { return !handle_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int w) override { SetSize(w, height_); }
  void SetHeight(int h) override { SetSize(width_, h); }
  // Keeps the pixels that still fit; new pixels are zero (black).
  void SetSize(int w, int h);
  TPixelFormat PixelFormat() const { return format_; }
  // Converts the pixels (palette formats get the default palette).
  void SetPixelFormat(TPixelFormat pf);
  TBitmapHandleType HandleType() const { return bmDIB; }
  void SetHandleType(TBitmapHandleType) {}
  bool Monochrome() const { return format_ == pf1bit; }
  void SetMonochrome(bool m) { SetPixelFormat(m ? pf1bit : pfDevice); }

  // The bitmap handle (0 when empty); owned by the bitmap.
  HBITMAP Handle();
  // Takes over `h` (or empties the bitmap with 0).
  void SetHandle(HBITMAP h);
  // Draws straight into a runtime-core Dib (no copy); the Dib must stay
  // alive and keep its size while the bitmap uses it.
  void WrapDib(rtl::Dib& dib);
  // Gives up ownership of the handle; the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  TCanvas* Canvas();
  // Top-down row y, whatever the storage order; nullptr out of range.
  uint8_t* ScanLine(int y);
  // The palette as RGBQUAD values 0x00RRGGBB (empty above 8 bpp).
  std::vector<uint32_t> Palette() const;
  void SetPalette(const std::vector<uint32_t>& pal);

  // tmAuto: the bottom-left pixel (white for a monochrome bitmap), with the
  // class library's 0x02000000 flag; tmFixed: the colour set.
  TColor TransparentColor();
  void SetTransparentColor(TColor c);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode m);

  // BMP only: each image is read by its own file-header length (bfSize),
  // keeps its pixel format (16-bit images become 24-bit), and is written
  // back in that format; an image loaded and not changed (by drawing on
  // any DC, ScanLine, SetSize, SetPixelFormat...) is written back byte for byte. Malformed data raises EInvalidGraphic;
  // a short stream EReadError.
  void LoadFromStream(rtl::TStream& s) override;
  void SaveToStream(rtl::TStream& s) override;
  void LoadFromResourceName(const std::string& name);
  void LoadFromBytes(const uint8_t* data, size_t size);
  void Draw(TCanvas* c, const TRect& r) override;
  void Assign(const TGraphic* src) override;
  void Dormant() {}
  void FreeImage() {}

 private:
  friend class TBitmapCanvas;
  void Modified();  // the pixels may change: forget the original file bytes
  void Adopt(HBITMAP h);
  void FreeCanvasDC();
  HBITMAP handle_;
  int width_ = 0, height_ = 0;
  TPixelFormat format_ = pfDevice;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  std::unique_ptr<TBitmapCanvas> canvas_;
  std::vector<uint8_t> original_;  // the file bytes while the pixels are unchanged
  uint64_t originalChanges_ = 0;   // the bitmap's drawing count when they were read
};

// An icon: 32-bit colour with alpha (HICON).
class TIcon : public TGraphic {
 public:
  TIcon() = default;
  ~TIcon() override;
  bool Empty() const override { return !handle_; }
  int Width() const override;
  int Height() const override;
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  HICON Handle() const { return handle_; }
  // Takes over the icon handle.
  void SetHandle(HICON h);
  HICON ReleaseHandle();
  // ICO/PNG data through Qt's image readers.
  void LoadFromStream(rtl::TStream& s) override;
  void SaveToStream(rtl::TStream& s) override;
  void Draw(TCanvas* c, const TRect& r) override;
  void Assign(const TGraphic* src) override;

 private:
  HICON handle_;
};

// Holds one graphic; loads files by extension (BMP through our codec; ICO,
// PNG, JPEG and GIF through Qt; EMF and WMF raise EInvalidGraphic).
class TPicture : public rtl::TObject {
 public:
  TPicture();
  ~TPicture() override;
  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(const TGraphic* g);  // copies
  TBitmap* Bitmap();                   // replaces a non-bitmap graphic with an empty bitmap
  TIcon* Icon();
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  void Assign(const TPicture* src);
  rtl::TNotifyEvent OnChange;

 private:
  std::unique_ptr<TGraphic> graphic_;
};

// Icon calls of the facade.
inline namespace win32api {
enum : int { DI_MASK = 1, DI_IMAGE = 2, DI_NORMAL = 3, DI_COMPAT = 4, DI_DEFAULTSIZE = 8 };
enum : UINT { IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2 };
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int w, int h, UINT step, HBRUSH flicker, UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL DestroyIcon(HICON icon);
struct ICONINFO {
  BOOL fIcon = 1;
  DWORD xHotspot = 0, yHotspot = 0;
  HBITMAP hbmMask;   // 1 bpp, white where the icon is transparent
  HBITMAP hbmColor;  // 32 bpp with the icon's alpha
};
// The caller owns (and deletes) both bitmaps.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
HICON CopyIcon(HICON icon);
}  // namespace win32api
// An icon from 32-bit ARGB pixels (0xAARRGGBB, not premultiplied, top-down).
HICON CreateIconFromArgb(int w, int h, const uint32_t* argb);
bool GetIconSize(HICON icon, int& w, int& h);

}  // namespace gfx
