// The window the conversion shows its pictures in while "转换时进行实时视频预览"
// is checked: one small stay-on-top tool window per converting task, framed
// by the main window's skin, captioned with the time of the picture it shows
// and dragged by any point of that picture. The engine creates, paints and
// frees it on the UI thread through the factory installed here.
#pragma once
#include <functional>
#include <string>

#include "platform/cl/forms.h"
#include "platform/gfx/graphics.h"
#include "skin/data/bsSkinData.h"
#include "skin/form/bsSkinForm.h"

namespace media {
class TBitmap24;
}

class TLivePreviewForm : public cl::TForm {
 public:
  // `skin` may be null: the window then keeps the plain frame.
  TLivePreviewForm(cl::TComponent* owner, skin::TbsSkinData* skin);
  // Sizes the client area to the picture, centres the window on the screen
  // and shows it.
  void ShowFor(int width, int height);
  // Keeps a copy of the picture and draws it at the client origin.
  void SetPicture(const media::TBitmap24& picture);
  gfx::TBitmap& Picture() { return picture_; }

  // The user closed the window.
  std::function<void()> OnClosed;
  skin::TbsSkinForm* bsSkinForm1 = nullptr;

 protected:
  void Paint() override;
  void Destroy() override;

 private:
  gfx::TBitmap picture_;
  int dragHook_ = -1;
};

// Makes the conversion's preview show TLivePreviewForm windows in the main
// window's skin (found when each window is made, so the factory outlives any
// one main window). Replaces any factory installed before.
void InstallLivePreviewWindow();
