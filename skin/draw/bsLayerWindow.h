// The layered popup window (a borderless, click-through window that never
// takes the focus, showing a per-pixel-alpha image) and the manager that
// shows one such image at a time and fades it in over 25 ms ticks: the glow
// frames of skinned buttons and the form frame's layered pieces.
#pragma once

#include <memory>

#include "platform/cl/controls.h"
#include "platform/cl/timer.h"
#include "platform/gfx/graphics.h"
#include "skin/draw/bsSkinBitmap.h"

namespace skin {

class TbsLayerWindow : public cl::TCustomControl {
 public:
  explicit TbsLayerWindow(cl::TComponent* AOwner);
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  // A popup tool window through which the mouse passes, its screen under it
  // saved while it shows.
  void CreateParams(cl::TCreateParams& Params) override;
  std::string ClassName() const override { return "TbsLayerWindow"; }
};

// The picture and its transparency mask handed to Show: types of their own,
// so that a call cannot pass the two bitmaps the wrong way round.
struct TbsLayerImage {
  gfx::TBitmap* Bitmap;
  explicit TbsLayerImage(gfx::TBitmap* B) : Bitmap(B) {}
};
struct TbsLayerMask {
  gfx::TBitmap* Bitmap;
  explicit TbsLayerMask(gfx::TBitmap* B) : Bitmap(B) {}
};

class TbsLayerManager : public cl::TComponent {
 public:
  explicit TbsLayerManager(cl::TComponent* AOwner);

  // Shows AImage with the alpha of AImageMask (white opaque) at screen X, Y,
  // starting transparent and fading in to AAlphaBlendValue by a tenth of it
  // (at least 1) per tick. A window already shown is hidden first. Nothing
  // happens where layered windows are not available.
  void Show(int X, int Y, TbsLayerImage AImage, TbsLayerMask AImageMask, int AAlphaBlendValue);
  // Stops the fade and removes the window.
  void Hide();
  void StartTimer();
  void StopTimer();

  TbsLayerWindow* LayerWindow = nullptr;
  std::unique_ptr<TbsBitmap> Bmp;
  cl::TTimer* Timer = nullptr;
  int EndAlphaBlendValue = 0;
  int BeginAlphaBlendValue = 0;
  int StepAlphaBlendValue = 0;
  bool IsVisible = false;
  // Above the topmost windows (else in the normal band); the skinned button
  // sets it from its form's stay-on-top style before each Show.
  bool TopMostMode = true;

 protected:
  void Destroy() override;
  std::string ClassName() const override { return "TbsLayerManager"; }

 private:
  void TimerTick(rtl::TObject* Sender);
};

}  // namespace skin
