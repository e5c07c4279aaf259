// The live spots of a skinned form's caption area: buttons bound to window
// commands, plain buttons that may open a menu, animated strips, areas the
// application paints and the caption text. They own no window; the form
// skinning component (bsSkinForm.h) places them, hit-tests them, forwards
// the mouse to them and gives them its window DC to paint on.
#pragma once

#include <string>

#include "platform/cl/controls.h"
#include "platform/cl/menus.h"
#include "platform/gfx/canvas.h"
#include "skin/bsSkinData.h"

namespace skin {

class TbsSkinForm;

class TbsActiveSkinObject {
 public:
  TbsActiveSkinObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);
  virtual ~TbsActiveSkinObject() = default;
  TbsActiveSkinObject(const TbsActiveSkinObject&) = delete;
  TbsActiveSkinObject& operator=(const TbsActiveSkinObject&) = delete;

  // X, Y relative to ObjectRect's top-left.
  virtual bool PointInObject(int X, int Y);
  virtual void ShowLayer() {}
  virtual void HideLayer() {}
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
};

// The caption text: the form's caption in the record's font, colours and
// alignment inside its text rectangle, over the caption band of the frame.
class TbsSkinCaptionObject : public TbsActiveSkinObject {
 public:
  TbsSkinCaptionObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);
  bool PointInObject(int, int) override { return true; }
  bool CanMorphing() override { return false; }
  void Draw(gfx::TCanvas* Cnvs, bool UpDate) override;
  bool EnableAnimation() const;

  std::string FontName;
  int FontHeight = 0;
  TFontStyles FontStyle{};
  TColor FontColor = 0, ActiveFontColor = 0, ShadowColor = 0, ActiveShadowColor = 0;
  bool Shadow = false;
  // Looks of the text: a glow behind it (plain or the wider "vista" one,
  // each on the inactive form only when asked) or a reflection below it.
  bool GlowEffect = false, GlowInActiveEffect = false, VistaGlowEffect = false, VistaGlowInActiveEffect = false;
  int GlowSize = 0, GlowOffset = 0;
  TColor GlowColor = 0, GlowActiveColor = 0;
  bool ReflectionEffect = false;
  TColor ReflectionColor = 0, ReflectionActiveColor = 0;
  int ReflectionOffset = 0;
  TAlignment Alignment = taLeftJustify;
  TRect TextRct;
  bool StretchEffect = false;
  TRect AnimateSkinRect;
  int FrameCount = 0, AnimateInterval = 0, CurrentFrame = 0, FIncTime = 0;
  bool InActiveAnimation = false;
};

}  // namespace skin
