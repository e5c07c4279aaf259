// skintool render: a control record or the form drawn at any size, the way
// the skinned controls and the form frame build their images and window
// regions, with the region laid over the picture.
#include <QImage>

#include <iostream>
#include <sstream>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/region.h"
#include "platform/rtl/exceptions.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsMaskRegions.h"
#include "skin/data/bsSkinData.h"
#include "skin/draw/bsSkinImages.h"
#include "tools/skintool/skintool.h"

using namespace skin;

namespace {

struct Drawn {
  gfx::TBitmap image;
  gfx::HRGN region;
  std::string how;
};

void ParseSize(const std::string& s, int& W, int& H) {
  size_t x = s.find('x');
  auto number = [&](const std::string& t) {
    if (t.empty() || t.size() > 5 || t.find_first_not_of("0123456789") != std::string::npos)
      throw rtl::Exception("size \"" + s + "\" is not <width>x<height>");
    return std::stoi(t);
  };
  if (x == std::string::npos) throw rtl::Exception("size \"" + s + "\" is not <width>x<height>");
  W = number(s.substr(0, x));
  H = number(s.substr(x + 1));
  if (W < 1 || H < 1 || W > 8000 || H > 8000) throw rtl::Exception("size \"" + s + "\" must be 1..8000 each way");
}

gfx::TBitmap* Picture(TbsSkinData& store, int index) {
  if (index < 0 || size_t(index) >= store.FActivePictures.size()) return nullptr;
  gfx::TBitmap* p = store.FActivePictures[size_t(index)].get();
  return p && !p->Empty() ? p : nullptr;
}

TPoint Shift(TPoint p, int dx, int dy) { return TPoint{p.X + dx, p.Y + dy}; }

// The form frame at W x H: every right-hand and lower value moves by the
// change of size; the mask's inner area grows the same way.
void DrawForm(TbsSkinData& store, int W, int H, Drawn& d) {
  gfx::TBitmap* pic = store.FPicture.get();
  if (!pic || pic->Empty()) throw rtl::Exception("the skin has no form picture");
  int PW = pic->Width(), PH = pic->Height(), dx = W - PW, dy = H - PH;
  TbsNinePart src{store.LTPoint, store.RTPoint, store.LBPoint, store.RBPoint, store.ClRect};
  TRect cl = store.ClRect;
  TbsNinePart moved{store.LTPoint, Shift(store.RTPoint, dx, 0), Shift(store.LBPoint, 0, dy),
                    Shift(store.RBPoint, dx, dy), TRect{cl.Left, cl.Top, cl.Right + dx, cl.Bottom + dy}};
  TbsNinePartStretch f;
  f.LeftStretch = store.LeftStretch;
  f.TopStretch = store.TopStretch;
  f.RightStretch = store.RightStretch;
  f.BottomStretch = store.BottomStretch;
  f.StretchEffect = store.StretchEffect;
  f.StretchType = store.StretchType;
  CreateSkinImage(src, moved, &d.image, TbsPictureRect{pic, TRect{0, 0, PW, PH}}, W, H, true, f);
  std::ostringstream how;
  how << "form picture " << PW << "x" << PH << ", nine-part";
  if (store.FMask && !store.FMask->Empty()) {
    TRect m = store.MaskRectArea;
    TbsNinePart maskSrc = src, maskNew = moved;
    maskSrc.ClRect = m;
    maskNew.ClRect = TRect{m.Left, m.Top, m.Right + dx, m.Bottom + dy};
    CreateSkinRegion(d.region, maskSrc, maskNew, store.FMask.get(), W, H);
    how << ", region from the form mask";
  }
  d.how = how.str();
}

// Which way a frame record resizes: -1 no skin rect, 0 fixed, 1 both ways,
// 2 width only (a horizontal bar), 3 height only.
int ResizeMode(const TbsDataSkinCustomControl& r) {
  if (IsNullRect(r.SkinRect)) return -1;
  if (r.RBPoint.X != 0 && r.RBPoint.Y != 0) return 1;
  if (r.RTPoint.X != 0 || r.RTPoint.Y != 0) return 2;
  if (r.LBPoint.X != 0 || r.LBPoint.Y != 0) return 3;
  return 0;
}

void DrawControl(TbsSkinData& store, const TbsDataSkinControl& rec, int& W, int& H, Drawn& d) {
  gfx::TBitmap* pic = Picture(store, rec.PictureIndex);
  gfx::TBitmap* mask = Picture(store, rec.MaskPictureIndex);
  if (!pic) throw rtl::Exception("record \"" + rec.IDName + "\" names no picture of the skin");
  auto* frame = dynamic_cast<const TbsDataSkinCustomControl*>(&rec);
  int mode = frame ? ResizeMode(*frame) : 0;
  const TRect& SR = rec.SkinRect;
  int SW = RectWidth(SR), SH = RectHeight(SR);
  static const char* const kModes[] = {"fixed size", "nine-part", "horizontal bar", "vertical bar"};
  if (mode < 0) throw rtl::Exception("record \"" + rec.IDName + "\" has an empty skin rect");
  std::ostringstream how;
  how << rec.ClassName() << ", " << kModes[mode];
  if (mode == 0) {
    W = SW;
    H = SH;
    d.image.SetSize(W, H);
    gfx::BitBlt(d.image.Canvas()->Handle(), 0, 0, W, H, pic->Canvas()->Handle(), SR.Left, SR.Top, gfx::SRCCOPY);
    if (mask) CreateRegionFromMask(d.region, mask);
  } else {
    const TbsDataSkinCustomControl& r = *frame;
    if (mode == 2) H = SH;
    if (mode == 3) W = SW;
    int dW = W - SW, dH = H - SH;
    TbsNinePart src{r.LTPoint, r.RTPoint, r.LBPoint, r.RBPoint, r.ClRect};
    TbsNinePart moved = src;
    moved.ClRect = TRect{r.ClRect.Left, r.ClRect.Top, r.ClRect.Right + dW, r.ClRect.Bottom + dH};
    moved.RTPt = Shift(r.RTPoint, dW, 0);
    moved.LBPt = Shift(r.LBPoint, 0, dH);
    moved.RBPt = Shift(r.RBPoint, dW, dH);
    if (mode == 1) {
      TbsNinePartStretch f;
      f.LeftStretch = r.LeftStretch;
      f.TopStretch = r.TopStretch;
      f.RightStretch = r.RightStretch;
      f.BottomStretch = r.BottomStretch;
      f.StretchEffect = r.StretchEffect;
      f.StretchType = r.StretchType;
      CreateSkinImage(src, moved, &d.image, TbsPictureRect{pic, SR}, W, H, true, f);
      if (mask) CreateSkinRegion(d.region, src, moved, mask, W, H);
    } else if (mode == 2) {
      CreateHSkinImage(r.LTPoint.X, SW - r.RTPoint.X, &d.image, TbsPictureRect{pic, SR}, W, H, r.StretchEffect);
      // The bar is a top row only.
      TbsNinePart bar{r.LTPoint, r.RTPoint, r.LTPoint, r.RTPoint, r.ClRect};
      TPoint right = Shift(r.RTPoint, dW, 0);
      if (mask)
        CreateSkinRegion(d.region, bar, TbsNinePart{r.LTPoint, right, r.LTPoint, right, moved.ClRect}, mask, W, H);
    } else {
      CreateVSkinImage(r.LTPoint.Y, SH - r.LBPoint.Y, &d.image, TbsPictureRect{pic, SR}, W, H, r.StretchEffect);
      TbsNinePart column{r.LTPoint, r.LTPoint, r.LBPoint, r.LBPoint, r.ClRect};
      TPoint bottom = Shift(r.LBPoint, 0, dH);
      if (mask)
        CreateSkinRegion(d.region, column, TbsNinePart{r.LTPoint, r.LTPoint, bottom, bottom, moved.ClRect}, mask, W, H);
    }
    how << (r.StretchEffect ? ", centre stretched" : ", centre tiled");
  }
  how << (mask ? ", region from its mask" : "");
  d.how = how.str();
}

// Outside the region the picture shows faintly over a checkerboard.
QImage Overlay(gfx::TBitmap& image, gfx::HRGN region) {
  QImage out = gfx::BitmapToImage(image.Handle()).convertToFormat(QImage::Format_ARGB32);
  if (!region) return out;
  for (int y = 0; y < out.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if (gfx::PtInRegion(region, x, y)) continue;
      int checker = ((x / 4 + y / 4) % 2) ? 235 : 200;
      QRgb p = row[x];
      auto mix = [&](int c) { return (c + 3 * checker) / 4; };
      row[x] = qRgb(mix(qRed(p)), mix(qGreen(p)), mix(qBlue(p)));
    }
  }
  return out;
}

}  // namespace

int skintool::Render(const std::string& skinPath, const std::string& record, const std::string& size,
                     const std::string& out, int zoom) {
  int W = 0, H = 0;
  ParseSize(size, W, H);
  auto storeOwned = MakeOwned<TbsSkinData>();
  TbsSkinData& store = *storeOwned;
  LoadSkin(store, skinPath);
  Drawn d;
  if (record == "form") {
    DrawForm(store, W, H, d);
  } else {
    int i = store.GetControlIndex(record);
    if (i < 0) {
      std::string known;
      for (auto& c : store.CtrlList) known += (known.empty() ? "" : " ") + c->IDName;
      throw rtl::Exception("no control record \"" + record + "\" (the skin has: " + known + "; or \"form\")");
    }
    DrawControl(store, *store.CtrlList[size_t(i)], W, H, d);
  }
  QImage img = Overlay(d.image, d.region);
  if (zoom > 1)
    img = img.scaled(img.width() * zoom, img.height() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (!img.save(QString::fromStdString(out), "PNG")) throw rtl::Exception(out + ": cannot write the PNG");
  std::cout << record << " at " << d.image.Width() << "x" << d.image.Height() << ": " << d.how;
  if (d.region) {
    TRect box;
    gfx::GetRgnBox(d.region, &box);
    std::cout << "; region " << gfx::RegionRects(d.region).size() << " rectangles within " << box.Left << "," << box.Top
              << "," << box.Right << "," << box.Bottom;
    gfx::DeleteObject(d.region);
  }
  std::cout << "\n";
  return 0;
}

QImage skintool::FormImage(TbsSkinData& store, int W, int H) {
  Drawn d;
  DrawForm(store, W, H, d);
  QImage img = Overlay(d.image, d.region);
  if (d.region) gfx::DeleteObject(d.region);
  return img;
}
