#include "app/LivePreview.h"

#include <cstring>

#include "app/MainForm.h"
#include "media/Previewer.h"
#include "platform/cl/application.h"
#include "platform/win/window.h"

TLivePreviewForm::TLivePreviewForm(cl::TComponent* owner, skin::TbsSkinData* skin) : cl::TForm(owner) {
  SetFormStyle(cl::fsStayOnTop);
  SetBorderStyle(cl::bsToolWindow);
  SetBorderIcons(cl::biSystemMenu);
  SetPosition(cl::poScreenCenter);
  SetColor(gfx::clBlack);
  bsSkinForm1 = new skin::TbsSkinForm(this);
  bsSkinForm1->SetBorderIcons(skin::biSystemMenu);
  if (skin) {
    bsSkinForm1->SetSkinData(skin);
    bsSkinForm1->SetMenusSkinData(skin);
  }
  OnCloseQuery = [this](rtl::TObject*, bool&) {
    if (OnClosed) OnClosed();
  };
  // A press anywhere on the picture moves the window as a press on its
  // caption would; the press never reaches the form, so nothing captures.
  dragHook_ = cl::Application->HookOnMessage([this](win::MSG& m, bool& handled) {
    if (m.message != win::WM_LBUTTONDOWN || !HandleAllocated() || m.hwnd != Handle()) return;
    win::ReleaseCapture();
    win::SendMessage(Handle(), win::WM_NCLBUTTONDOWN, win::WPARAM(win::HTCAPTION), win::MAKELPARAM(m.pt.X, m.pt.Y));
    handled = true;
  });
}

void TLivePreviewForm::Destroy() {
  if (dragHook_ >= 0) cl::Application->UnhookOnMessage(dragHook_);
  dragHook_ = -1;
  cl::TForm::Destroy();
}

void TLivePreviewForm::ShowFor(int width, int height) {
  bsSkinForm1->ClientWidth = width;
  bsSkinForm1->ClientHeight = height;
  HandleNeeded();
  SetClientSize(width, height);
  Show();
}

void TLivePreviewForm::SetPicture(const media::TBitmap24& b) {
  picture_.SetPixelFormat(gfx::pf24bit);
  picture_.SetSize(b.Width(), b.Height());
  for (int y = 0; y < b.Height(); ++y)
    if (uint8_t* row = picture_.ScanLine(y)) std::memcpy(row, b.ScanLine(y), static_cast<size_t>(b.Width()) * 3);
  Invalidate();
}

void TLivePreviewForm::Paint() {
  if (!picture_.Empty()) Canvas()->Draw(0, 0, &picture_);
}

namespace {

// The engine's view of one window: made, painted and freed on the UI thread.
class TLivePreviewWindow : public media::IPreviewWindow {
 public:
  TLivePreviewWindow() {
    skin::TbsSkinData* skin = nullptr;
    if (auto* main = dynamic_cast<TForm1*>(cl::Application->MainForm()); main && !main->Destroyed())
      skin = main->bsSkinData1;
    form_ = cl::Keep<TLivePreviewForm>(new TLivePreviewForm(nullptr, skin));
  }
  ~TLivePreviewWindow() override {
    if (form_.Alive()) form_->Free();
  }
  void Show(int width, int height, std::function<void()> onClose) override {
    if (!form_.Alive()) return;
    form_->OnClosed = std::move(onClose);
    form_->ShowFor(width, height);
  }
  void SetCaption(const std::string& text) override {
    if (form_.Alive()) form_->SetCaption(text);
  }
  void Draw(const media::TBitmap24& bitmap) override {
    if (form_.Alive()) form_->SetPicture(bitmap);
  }

 private:
  cl::Keep<TLivePreviewForm> form_;
};

}  // namespace

void InstallLivePreviewWindow() {
  media::SetPreviewWindowFactory([] { return std::make_unique<TLivePreviewWindow>(); });
}
