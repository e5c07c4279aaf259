// The live spots of a skinned form's caption area: buttons bound to window
// commands, plain buttons that may open a menu, animated strips, areas the
// application paints and the caption text. They own no window; the form
// skinning component (bsSkinForm.h) places them, hit-tests them, forwards
// the mouse to them and gives them its window DC to paint on.
#pragma once

#include <string>

#include "platform/cl/collection.h"
#include "platform/cl/controls.h"
#include "platform/cl/menus.h"
#include "platform/gfx/canvas.h"
#include "skin/data/bsSkinData.h"

namespace skin {

class TbsSkinForm;
class TbsLayerManager;

class TbsActiveSkinObject : public rtl::TObject {
 public:
  TbsActiveSkinObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);
  ~TbsActiveSkinObject() override = default;
  TbsActiveSkinObject(const TbsActiveSkinObject&) = delete;
  TbsActiveSkinObject& operator=(const TbsActiveSkinObject&) = delete;

  // X, Y relative to ObjectRect's top-left.
  virtual bool PointInObject(int X, int Y);
  // The glow window around the object while the pointer is over it.
  virtual void ShowLayer();
  virtual void HideLayer();
  virtual bool CanMorphing();
  virtual void Draw(gfx::TCanvas* Cnvs, bool UpDate);
  virtual void DblClick() {}
  virtual void MouseDown(int X, int Y, cl::TMouseButton Button);
  virtual void MouseUp(int X, int Y, cl::TMouseButton Button);
  virtual void MouseMove(int X, int Y);
  virtual void MouseEnter();
  virtual void MouseLeave();

  bool EnableMorphing() const;
  void DoMorphing();
  void ReDraw();
  double MorphKf() const { return FMorphKf; }
  void SetMorphKf(double V);

  TbsSkinForm* Parent;
  double FMorphKf = 0;
  bool FMouseIn = false;
  TBitmap* Picture = nullptr;
  TBitmap* ActivePicture = nullptr;
  TBitmap* ActiveMaskPicture = nullptr;
  TbsSkinData* SD = nullptr;
  std::string IDName, Hint;
  TRect SkinRect, ActiveSkinRect, InActiveSkinRect, ObjectRect;
  bool Active = false;
  bool Morphing = false;
  TbsMorphKind MorphKind = mkDefault;
  bool Enabled = true;
  bool Visible = true;
  bool SkinRectInAPicture = false;
  int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int GlowLayerOffsetX = 0, GlowLayerOffsetY = 0, GlowLayerAlphaBlendValue = 255;

 protected:
  bool Skinned() const;
  // ObjectRect on the screen.
  TRect ScreenObjectRect() const;
  // An object with a menu shows its glow through the form's menu layer, so
  // the glow stays while the menu is open.
  virtual cl::TMenuItem* LayerMenu() const { return nullptr; }
  TbsLayerManager* GlowManager() const;
  // Stretches Src of Pic onto ObjectRect; nothing without a picture.
  void CopyLook(gfx::TCanvas* Cnvs, TBitmap* Pic, const TRect& Src);
  // The transition between two looks at the current factor.
  void DrawMorph(gfx::TCanvas* Cnvs, TBitmap* PicA, const TRect& A, TBitmap* PicB, const TRect& B);
};

class TbsUserObject : public TbsActiveSkinObject {
 public:
  using TbsActiveSkinObject::TbsActiveSkinObject;
  void Draw(gfx::TCanvas* Cnvs, bool UpDate) override;
};

class TbsSkinButtonObject : public TbsActiveSkinObject {
 public:
  TbsSkinButtonObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);
  bool CanMorphing() override;
  void Draw(gfx::TCanvas* Cnvs, bool UpDate) override;
  void MouseDown(int X, int Y, cl::TMouseButton Button) override;
  void MouseUp(int X, int Y, cl::TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void SetDown(bool Value);
  void TrackMenu();

  bool FDown = false;
  bool FPopupUp = false;
  TRect DisableSkinRect, DownRect;
  cl::TMenuItem* MenuItem = nullptr;

 protected:
  cl::TMenuItem* LayerMenu() const override { return MenuItem; }
};

// Runs a window command of the form component (close, maximize ...).
void RunStdCommand(TbsSkinForm* Form, TbsStdCommand Command);

class TbsSkinStdButtonObject : public TbsSkinButtonObject {
 public:
  TbsSkinStdButtonObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);
  bool PointInObject(int X, int Y) override;
  bool CanMorphing() override;
  void Draw(gfx::TCanvas* Cnvs, bool UpDate) override;
  void DblClick() override;
  void MouseDown(int X, int Y, cl::TMouseButton Button) override;
  void MouseUp(int X, int Y, cl::TMouseButton Button) override;
  void MouseEnter() override;
  void ShowLayer() override;
  void DefaultDraw(gfx::TCanvas* Cnvs);
  bool InRestoreState() const;

  bool FSkinSupport = false;
  TbsStdCommand Command = cmClose;
  TRect RestoreRect, RestoreActiveRect, RestoreInActiveRect, RestoreDownRect;
  std::string RestoreHint, FTempHint;
};

class TbsSkinAnimateObject : public TbsActiveSkinObject {
 public:
  TbsSkinAnimateObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);
  void Draw(gfx::TCanvas* Cnvs, bool UpDate) override;
  void DblClick() override;
  void MouseDown(int X, int Y, cl::TMouseButton Button) override;
  void MouseUp(int X, int Y, cl::TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void SetFrame(int Value);
  void ChangeFrame();
  void Start();
  void Stop();
  void TrackMenu();
  bool InRestoreState() const;

  int FFrame = 1;
  int FInc = 25;
  int TimerInterval = 25;
  cl::TMenuItem* MenuItem = nullptr;
  bool FPopupUp = false, FDown = false, FMenuTracking = false;
  int CountFrames = 0;
  bool Cycle = false, ButtonStyle = false, Increment = true;
  TbsStdCommand Command = cmClose;
  TRect DownSkinRect, RestoreRect, RestoreActiveRect, RestoreInActiveRect, RestoreDownRect;
  std::string RestoreHint, FTempHint;

 protected:
  cl::TMenuItem* LayerMenu() const override { return MenuItem; }
};

// A small image button of the caption, declared by the application in the
// form component's QuickButtons; its picture comes from QuickImageList.
class TbsQuickButtonItem : public cl::TCollectionItem {
 public:
  explicit TbsQuickButtonItem(cl::TCollection* C) : cl::TCollectionItem(C) {}
  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int Value);
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  // Copies the image, hint, enabled and visible flags (not OnClick).
  void Assign(cl::TPersistent* Source) override;

  std::string Hint;
  rtl::TNotifyEvent OnClick;
  // Window coordinates, set at each paint; empty until then.
  TRect ItemRect;
  bool Active = false;
  bool Down = false;

 protected:
  std::string ClassName() const override { return "TbsQuickButtonItem"; }

 private:
  int FImageIndex = -1;
  bool FEnabled = true;
  bool FVisible = true;
};

class TbsQuickButtonItems : public cl::TCollection {
 public:
  explicit TbsQuickButtonItems(TbsSkinForm* AForm);
  TbsSkinForm* BSF() const { return FBSF; }
  TbsQuickButtonItem* Items(int I) const { return static_cast<TbsQuickButtonItem*>(cl::TCollection::Items(I)); }
  TbsQuickButtonItem* Add() { return static_cast<TbsQuickButtonItem*>(cl::TCollection::Add()); }
  TbsQuickButtonItem* Insert(int Index) { return static_cast<TbsQuickButtonItem*>(cl::TCollection::Insert(Index)); }

 protected:
  // Any change repaints the form's frame.
  void Update(cl::TCollectionItem* Item) override;

 private:
  TbsSkinForm* FBSF;
};

// The caption text: the form's caption in the record's font, colours and
// alignment inside its text rectangle, over the caption band of the frame,
// with an optional frame picture behind it and the quick buttons at its left.
class TbsSkinCaptionObject : public TbsActiveSkinObject {
 public:
  TbsSkinCaptionObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);
  bool PointInObject(int, int) override { return true; }
  bool CanMorphing() override;
  void Draw(gfx::TCanvas* Cnvs, bool UpDate) override;
  void MouseDown(int X, int Y, cl::TMouseButton Button) override;
  void MouseUp(int X, int Y, cl::TMouseButton Button) override;
  void MouseMove(int X, int Y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool EnableAnimation() const;
  // The form has quick buttons to show: items and an image list.
  bool QuickButtonsActive() const;
  // Finds the button under (X, Y) (window coordinates), lights it, repaints
  // the frame and shows or hides its hint when that changed.
  void TestQuickButtons(int X, int Y);
  // Where the text goes, relative to the object's top-left, at its present size.
  TRect TextRect() const;

  int ActiveQuickButton = -1, OldActiveQuickButton = -1;
  std::string FontName;
  int FontHeight = 0;
  TFontStyles FontStyle{};
  TColor FontColor = 0, ActiveFontColor = 0, ShadowColor = 0, ActiveShadowColor = 0;
  bool Shadow = false;
  bool Light = false;
  TColor LightColor = 0, ActiveLightColor = 0;
  // Looks of the text: a reflection below it, or a glow behind it (the wider
  // "vista" one or the plain one, each on the inactive form only when asked).
  bool GlowEffect = false, GlowInActiveEffect = false, VistaGlowEffect = false, VistaGlowInActiveEffect = false;
  int GlowSize = 0, GlowOffset = 0;
  TColor GlowColor = 0, GlowActiveColor = 0;
  bool ReflectionEffect = false;
  TColor ReflectionColor = 0, ReflectionActiveColor = 0;
  int ReflectionOffset = 0;
  TAlignment Alignment = taLeftJustify;
  TRect TextRct;
  // The picture behind the text (from ActivePicture), growing with the text
  // or spanning the whole caption (FullFrame).
  TRect FrameRect, ActiveFrameRect, FrameTextRect;
  int FrameLeftOffset = 0, FrameRightOffset = 0;
  bool FullFrame = false;
  bool StretchEffect = false;
  TRect AnimateSkinRect;
  int FrameCount = 0, AnimateInterval = 0, CurrentFrame = 0, FIncTime = 0;
  bool InActiveAnimation = false;

 private:
  // The caption text (frame picture, light and shadow copies, effects) at
  // offset (DX, DY) of Cnvs, in the active (A) or inactive colours.
  void DrawCaptionText(gfx::TCanvas* Cnvs, int DX, int DY, bool A, gfx::TCanvas* HandlerCanvas);
  // Src of Pic at the object's size, its ends kept at the skin's corner points.
  void BuildBackground(TBitmap* B, TBitmap* Pic, const TRect& Src);
  void SetCaptionFont(gfx::TCanvas* Cnvs, TColor Color);
  void DrawQuickButtons(gfx::TCanvas* Cnvs);
  void ApplyInActiveFilter(TBitmap* B, gfx::TCanvas* Cnvs);
};

}  // namespace skin
