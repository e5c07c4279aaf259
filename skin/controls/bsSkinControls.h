// The bases of every skinned control: the windowed pair (TbsSkinControl,
// TbsSkinCustomControl) and the window-less pair (TbsGraphicSkinControl,
// TbsGraphicSkinCustomControl).
//
// A skinned control holds a skin store and the name of its record. Every
// paint looks the record up again (so it always follows the store's current
// skin), builds the whole picture in one off-screen bitmap and copies it in
// one draw: the default look when no record applies, the skinned look
// otherwise. Windowed ones never erase their background. The frame bases
// resize by the record's resize mode and clip the window to the record's
// mask; the window owns each region it is given.
//
// Skin change: the form frame calls BeforeChangeSkinData on the windowed
// controls of the store's own form before the store frees its pictures, and
// ChangeSkinData on every control of the store after the new skin is in.
// Between the two, paints show the default look, never freed pictures.
#pragma once

#include <string>

#include "platform/cl/controls.h"
#include "platform/cl/imglist.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/region.h"
#include "skin/data/bsSkinData.h"
#include "skin/draw/bsSkinImages.h"

namespace skin {

// Posted by a skinned button to itself, so that its glow frame shows or goes
// after the mouse message that caused it.
constexpr unsigned WM_SHOW_BUTTON_LAYER = 1424;
constexpr unsigned WM_HIDE_BUTTON_LAYER = 1425;

// Every skinned control that follows a store's skin changes: the two bases
// and the families built on the class library's own controls (labels,
// splitter, bevel). The form frame's skin-change walk reaches them through it.
class TbsSkinChangeable {
 public:
  virtual ~TbsSkinChangeable() = default;
  virtual TbsSkinData* SkinData() const = 0;
  // Looks the record up again, applies its size rules and repaints.
  virtual void ChangeSkinData() = 0;
};

// The form frame's walk over a control tree (windowed children recursively):
// on WM_BEFORE_CHANGE_SKIN_DATA, BeforeChangeSkinData on each windowed
// skinned control of Store; on WM_CHANGE_SKIN_DATA, ChangeSkinData on each
// skinned control of Store, or on every one when Store is nullptr. Other
// messages change nothing.
void SkinChangeWalk(cl::TWinControl* Root, unsigned Msg, TbsSkinData* Store);

// A parent that keeps its children vertically centred in its skin client
// area (the skinned tool bar with AdjustControls on). The skinned bases ask
// it in SetBounds.
class TbsCentringParent {
 public:
  virtual ~TbsCentringParent() = default;
  virtual bool AdjustsControls() = 0;
  virtual TRect GetSkinClientRect() = 0;
};
// ATop of a control of height AHeight inside Parent: centred in the
// parent's skin client area when the parent centres, else ATop unchanged.
int CentredTop(cl::TWinControl* Parent, int ATop, int AHeight);

// The store's active picture Index; nullptr for -1, an index beyond the
// list, or no store.
gfx::TBitmap* SkinPicture(TbsSkinData* SD, int Index);
// The store's record at Index (nullptr when out of range).
TbsDataSkinControl* SkinRecord(TbsSkinData* SD, int Index);
// A store that a lookup may use: set and not empty.
inline bool SkinUsable(TbsSkinData* SD) { return SD && !SD->Empty; }

// Copies of a frame record's geometry and the sizes derived from them, the
// same for the windowed and the window-less frame base.
struct TbsFrameGeometry {
  TPoint LTPt, RTPt, LBPt, RBPt;
  TRect SkinRect, ClRect;
  TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
  TRect NewClRect;
  int ResizeMode = -1;
  bool StretchEffect = false;
  TbsStretchType StretchType = bsstFull;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;

  void CopyFrom(const TbsDataSkinCustomControl& R);
  // -1 no skin rectangle, 0 fixed, 1 nine-part, 2 horizontal bar, 3 vertical bar.
  int CalcResizeMode() const;
  // Forces AWidth / AHeight by the resize mode and moves the New* points
  // to the size; HasRecord matters only for mode 0.
  void CalcSize(int& AWidth, int& AHeight, bool HasRecord);
  // R (skin coordinates) mapped onto a control of Width x Height.
  TRect CalcRealRect(const TRect& R, int Width, int Height) const;
  TbsNinePart Src() const { return {LTPt, RTPt, LBPt, RBPt, ClRect}; }
  TbsNinePart New() const { return {NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect}; }
  TbsNinePartStretch Stretch() const { return StretchOf(*this); }
  // Builds the image of rectangle R of P into B at Width x Height by the
  // resize mode (nine-part only when NinePart). B is resized as needed.
  void CreateSkinRectImage(gfx::TBitmap* B, gfx::TBitmap* P, const TRect& R, int Width, int Height,
                           bool NinePart) const;
};

// ---------------------------------------------------------------------------
// Windowed bases.

class TbsSkinControl : public cl::TCustomControl, public TbsSkinChangeable {
 public:
  explicit TbsSkinControl(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  virtual void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  virtual void SetSkinDataName(const std::string& Value);
  // FIndex := the record's index in the store (-1: default look).
  virtual void GetSkinData();
  // Looks the record up again and repaints.
  void ChangeSkinData() override;
  // Drops the record before the store frees its pictures.
  virtual void BeforeChangeSkinData();
  virtual void AfterChangeSkinData() {}
  // The resolved record's index, -1 when the control shows its default look.
  int SkinIndex() const { return FIndex; }

  std::string HintTitle;
  int HintImageIndex = 0;
  cl::TCustomImageList* HintImageList = nullptr;
  rtl::TNotifyEvent OnMouseEnter, OnMouseLeave;

  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Paint() override;
  // Draw the default and the skinned look into B, which has the control's size.
  virtual void CreateControlDefaultImage(gfx::TBitmap* B) { (void)B; }
  virtual void CreateControlSkinImage(gfx::TBitmap* B) { (void)B; }
  // The background under the control changed; see-through controls repaint.
  virtual void CheckParentBackground() {}
  // Message handlers; descendants extend them and call these as inherited.
  virtual void WMPaint(cl::TMessage& Msg);
  virtual void WMEraseBkgnd(cl::TMessage& Msg);
  virtual void WMMove(cl::TMessage& Msg);
  virtual void WMParentBGChanged(cl::TMessage& Msg);
  virtual void CMMouseEnter(cl::TMessage& Msg);
  virtual void CMMouseLeave(cl::TMessage& Msg);
  // The off-screen paint shared by every windowed skinned control.
  void PaintOffscreen();
  std::string ClassName() const override { return "TbsSkinControl"; }

  bool FromWMPaint = false;
  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName;
  // The region last handed to the window; the window owns it.
  gfx::HRGN FRgn;
  int FIndex = -1;
};

class TbsSkinCustomControl : public TbsSkinControl {
 public:
  explicit TbsSkinCustomControl(cl::TComponent* AOwner);

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;

  bool ForcebackGround() const { return FForceBackground; }
  void SetForcebackGround(bool V) { FForceBackground = V; }
  bool DrawbackGround() const { return FDrawbackground; }
  void SetDrawbackGround(bool V) { FDrawbackground = V; }
  int DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int Value);
  int DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool V) { FUseSkinFont = V; }

  TRect RealClientRect() const { return G.NewClRect; }
  int RealClientWidth() const { return G.NewClRect.Width(); }
  int RealClientHeight() const { return G.NewClRect.Height(); }
  int RealClientLeft() const { return G.NewClRect.Left; }
  int RealClientTop() const { return G.NewClRect.Top; }
  int ResizeMode() const { return G.ResizeMode; }
  const TbsFrameGeometry& Geometry() const { return G; }

  // Forces the size by the resize mode and moves the corner points and the
  // client rectangle to it.
  virtual void CalcSize(int& AWidth, int& AHeight);
  // The window region from the record's mask; removed without one.
  virtual void SetControlRegion();

 protected:
  void Paint() override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  // Called when DefaultFont changes; lists and combos copy it into Font.
  virtual void DefaultFontChanged() {}
  void CreateControlRegion();
  void CreateSkinRectImage(gfx::TBitmap* B, gfx::TBitmap* P, const TRect& R);
  TRect CalcRealRect(const TRect& R) { return G.CalcRealRect(R, Width(), Height()); }
  int CalcResizeMode() const { return G.CalcResizeMode(); }
  // WM_PARENT_BG_CHANGED to every child: sent to windowed ones (handles are
  // created as needed), performed on graphic ones.
  void NotifyChildrenBGChanged();
  std::string ClassName() const override { return "TbsSkinCustomControl"; }

  bool FForceBackground = false;
  bool FDrawbackground = true;
  int FDefaultWidth = 0, FDefaultHeight = 0;
  gfx::TFont FDefaultFont;
  bool FUseSkinFont = true;
  TbsFrameGeometry G;
  // Borrowed from the store, never freed here.
  gfx::TBitmap* Picture = nullptr;
  gfx::TBitmap* MaskPicture = nullptr;

 private:
  void PaintForceBackground();
};

// ---------------------------------------------------------------------------
// Window-less bases: no region, no background mode, opaque by default.

class TbsGraphicSkinControl : public cl::TGraphicControl, public TbsSkinChangeable {
 public:
  explicit TbsGraphicSkinControl(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  virtual void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& Value) { FSkinDataName = Value; }
  virtual void GetSkinData();
  void ChangeSkinData() override;
  virtual void BeforeChangeSkinData();
  int SkinIndex() const { return FIndex; }

  std::string HintTitle;
  int HintImageIndex = 0;
  cl::TCustomImageList* HintImageList = nullptr;
  rtl::TNotifyEvent OnMouseEnter, OnMouseLeave;

  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Paint() override;
  virtual void CreateControlDefaultImage(gfx::TBitmap* B) { (void)B; }
  virtual void CreateControlSkinImage(gfx::TBitmap* B) { (void)B; }
  virtual void CMMouseEnter(cl::TMessage& Msg);
  virtual void CMMouseLeave(cl::TMessage& Msg);
  std::string ClassName() const override { return "TbsGraphicSkinControl"; }

  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName;
  int FIndex = -1;
};

class TbsGraphicSkinCustomControl : public TbsGraphicSkinControl {
 public:
  explicit TbsGraphicSkinCustomControl(cl::TComponent* AOwner);

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;

  int DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int Value);
  int DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool V) { FUseSkinFont = V; }

  TRect RealClientRect() const { return G.NewClRect; }
  int RealClientWidth() const { return G.NewClRect.Width(); }
  int RealClientHeight() const { return G.NewClRect.Height(); }
  int RealClientLeft() const { return G.NewClRect.Left; }
  int RealClientTop() const { return G.NewClRect.Top; }
  int ResizeMode() const { return G.ResizeMode; }
  const TbsFrameGeometry& Geometry() const { return G; }

  virtual void CalcSize(int& AWidth, int& AHeight);

 protected:
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  virtual void DefaultFontChanged() {}
  void CreateSkinRectImage(gfx::TBitmap* B, gfx::TBitmap* P, const TRect& R);
  int CalcResizeMode() const { return G.CalcResizeMode(); }
  std::string ClassName() const override { return "TbsGraphicSkinCustomControl"; }

  int FDefaultWidth = 0, FDefaultHeight = 0;
  gfx::TFont FDefaultFont;
  bool FUseSkinFont = true;
  TbsFrameGeometry G;
  gfx::TBitmap* Picture = nullptr;
};

// The default look's fixed colours: the hot and pressed fills and their frame.
constexpr gfx::TColor bsHotFrameColor = 0x800000;
constexpr gfx::TColor bsHotFillColor = 0xD2BDB6;
constexpr gfx::TColor bsDownFillColor = 0xB59385;

}  // namespace skin
