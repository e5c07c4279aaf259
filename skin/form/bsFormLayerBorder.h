// The layered border of a skinned form: a soft, per-pixel translucent frame
// (a shadow or glow from the skin's layer-frame record) shown by four
// borderless layered windows around the form, one per side, following its
// position, size, activation and alpha. It is used only where layered
// windows are available (a compositor runs); without one it shows nothing.
#pragma once

#include "platform/cl/timer.h"

#include <memory>

#include "skin/draw/bsLayerWindow.h"
#include "skin/draw/bsSkinBitmap.h"
#include "skin/data/bsSkinData.h"

namespace skin {

class TbsSkinForm;
class TbsFormLayerBorder;

enum TbsFormLayerBorderType { bsflLeft, bsflTop, bsflRight, bsflBottom };
enum TbsFormLayerBorderHit {
  bsflhNone,
  bsflhLeft,
  bsflhTop,
  bsflhRight,
  bsflhBottom,
  bsflhTopLeft,
  bsflhTopRight,
  bsflhBottomLeft,
  bsflhBottomRight
};

// The handle under the cursor (screen) for one side window, given the
// form's bounds and the handle widths.
TbsFormLayerBorderHit LayerBorderHitMode(TbsFormLayerBorderType Side, TPoint Cursor, const TRect& Form, int LeftSize,
                                         int TopSize, int RightSize, int BottomSize);

// One step of a border resize drag: the form's new bounds for a pointer
// move of (dx, dy) on a handle, sizes clamped to [Min, Max]; a left or top
// edge moves only when its size was not clamped. Returns false when nothing
// changes.
bool LayerBorderResizeStep(TbsFormLayerBorderHit Hit, const TRect& Form, int dx, int dy, rtl::TSize Min, rtl::TSize Max,
                           TRect& NewBounds);

// The resize cursor over a handle (crDefault off the handles).
int LayerBorderCursor(TbsFormLayerBorderHit Hit);

// An alpha scaled by the form's alpha, to the nearest integer (halves to
// the even one).
int ScaleAlpha(int Alpha, int FormAlpha);

class TbsFormLayerWindow : public TbsLayerWindow {
 public:
  TbsFormLayerWindow(TbsFormLayerBorder* AOwner, TbsFormLayerBorderType AType);
  TbsFormLayerBorderType BorderType;
  TbsFormLayerBorderHit FHitMode = bsflhNone;
  bool FDown = false;
  TPoint MousePos1, MousePos2;
  // The handles size the form (with HitTestEnable): each pointer move is
  // one resize step; nothing pumps messages inside it.
  void Dispatch(cl::TMessage& Msg) override;
  bool CanResizeForm();
  // The handle under the pointer.
  TbsFormLayerBorderHit HitMode();

 protected:
  void CreateParams(cl::TCreateParams& Params) override;
  std::string ClassName() const override { return "TbsFormLayerWindow"; }

 private:
  void SetHandleCursor(int ACursor);
  void BringFormForward();
  TbsFormLayerBorder* FLayerBorder;
};

class TbsFormLayerBorder : public cl::TComponent {
 public:
  explicit TbsFormLayerBorder(TbsSkinForm* AOwner);

  void InitFrame(TbsSkinData* ASkinData);
  TbsDataSkinLayerFrame* Data() const { return FData; }
  TbsSkinForm* SkinForm() const { return BSF; }
  // Builds the four side images for a border of W x H.
  void CreateBorderImages(int W, int H);
  // The border's bounds for a form rectangle: the form grown by the
  // picture's margins around its client rectangle.
  TRect BoundsFor(const TRect& Form) const;
  void Show(int X, int Y, int W, int H);
  void ShowWithForm();
  // Shows with the form and fades its own alpha in from 0, a step of a
  // fifteenth (at least 1) each time more than 5 ms have passed; timer
  // driven, the caller's loop is not held up.
  void ShowWithFormAnimation();
  bool Fading() const { return FFadeTarget >= 0; }
  void Hide();
  void SetBounds(int X, int Y, int W, int H);
  void SetBoundsWithForm();
  void MoveWithForm();
  void SetActive(bool AValue, bool AUpdate);
  void CheckFormAlpha(int AFormAlpha, bool AUpdate);
  void SetAlphaBlend();
  bool Visible() const { return FVisible; }
  int CurrentAlpha() const { return FActive ? FCurrentAlphaBlendValue : FCurrentInActiveAlphaBlendValue; }

  std::unique_ptr<TbsBitmap> FSourceBitmap, FSourceInActiveBitmap;
  std::unique_ptr<TbsBitmap> LeftImage, TopImage, RightImage, BottomImage;
  TbsFormLayerWindow *LeftBorder = nullptr, *TopBorder = nullptr, *RightBorder = nullptr, *BottomBorder = nullptr;
  int FWidth = 0, FHeight = 0;
  int LeftSize = 0, TopSize = 0, RightSize = 0, BottomSize = 0;
  int FCurrentAlphaBlendValue = -1, FCurrentInActiveAlphaBlendValue = 0;
  bool FActive = true;

 protected:
  void Destroy() override;

 private:
  void FreeWindows();
  void PlaceWindows(int X, int Y, bool Show);
  void FadeTick(rtl::TObject*);
  void StopFade();
  cl::TTimer* FFadeTimer = nullptr;
  int FFadeTarget = -1, FFadeStep = 1;
  uint32_t FFadeLast = 0;
  TbsSkinForm* BSF;
  TbsSkinData* FSD = nullptr;
  TbsDataSkinLayerFrame* FData = nullptr;
  bool FVisible = false;
};

}  // namespace skin
