// The platform layer's demo.
//   platform_demo [--fixed-text] <out.png>
//     builds a small form on the null backend and writes its composed image;
//   platform_demo --window [--screenshot <out.png>]
//     shows the demo forms in real windows (Qt backend): a frameless form
//     with its own frame, a popup menu, a modal dialog and Chinese text. With
//     --screenshot it opens the popup and the dialog by itself, saves the
//     whole screen and ends.
#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"
#include "platform/gfx/raster.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/testkit/harness.h"
#include "tools/platform_demo/DemoForms.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <string>

using namespace cl;

namespace {

// A control that draws with the canvas: a grid, an ellipse and a diagonal.
class Sketch : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(gfx::clWhite);
    c->FillRect(r);
    c->Pen()->SetColor(0xE0E0E0);
    for (int x = 0; x < r.Right; x += 10) {
      c->MoveTo(x, 0);
      c->LineTo(x, r.Bottom);
    }
    for (int y = 0; y < r.Bottom; y += 10) {
      c->MoveTo(0, y);
      c->LineTo(r.Right, y);
    }
    c->Pen()->SetColor(gfx::clNavy);
    c->Brush()->SetColor(0x80C0FF);
    c->Ellipse(10, 10, r.Right - 10, r.Bottom - 10);
    c->Pen()->SetColor(gfx::clRed);
    c->MoveTo(0, r.Bottom - 1);
    c->LineTo(r.Right, 0);
    gfx::RECT fr{4, 4, 60, 20};
    c->DrawFocusRect(fr);
  }
};

// A graphic control: a row of system-colour swatches.
class Swatches : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;

 protected:
  void Paint() override {
    const TColor colors[] = {gfx::clBtnFace, gfx::clBtnShadow,     gfx::clHighlight,
                             gfx::clInfoBk,  gfx::clActiveCaption, gfx::cl3DDkShadow};
    int w = Width() / 6;
    for (int i = 0; i < 6; i++) {
      Canvas()->Brush()->SetColor(colors[i]);
      Canvas()->Pen()->SetColor(gfx::clBlack);
      Canvas()->Rectangle(i * w, 0, i * w + w - 2, Height());
    }
  }
};

}  // namespace

namespace {

// Real windows: the forms run on the application's loop until the main form closes.
int RunWindowed(const std::string& screenshot) {
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Platform layer demo");
  demo::MainForm* form = nullptr;
  Application->CreateForm(form);
  form->typing->typed = U"你好, typed text";
  if (!screenshot.empty()) {
    // Scripted: once the form is on screen, open the popup, then the dialog;
    // when the dialog is up, grab the screen and end.
    rtl::Post([form, screenshot] {
      win::ProcessMessages();
      auto* d = new demo::DemoDialog(form);
      d->SetPosition(poDesigned);
      d->SetLeft(form->Left() + 250);
      d->SetTop(form->Top() + 200);
      d->OnShow = [d, screenshot](rtl::TObject*) {
        rtl::Post([d, screenshot] {
          auto* form = static_cast<demo::MainForm*>(Application->MainForm());
          win::POINT p{200, 150};
          win::ClientToScreen(form->Handle(), &p);
          form->popup->Popup(p.X, p.Y);
          // Let the X server map and draw everything first.
          for (int i = 0; i < 20; i++) {
            win::MsgWaitForEvents(25);
            win::ProcessMessages();
          }
          QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
          bool ok = shot.save(QString::fromStdString(screenshot), "PNG");
          std::printf("%s %s\n", ok ? "wrote" : "could not write", screenshot.c_str());
          d->SetModalResult(mrOk);
          Application->Terminate();
        });
      };
      d->ShowModal();
      d->Free();
    });
  }
  Application->Run();
  ResetApplication();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool fixed = false, window = false;
  std::string out, screenshot;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--fixed-text")
      fixed = true;
    else if (a == "--window")
      window = true;
    else if (a == "--screenshot" && i + 1 < argc)
      screenshot = argv[++i];
    else if (a == "--headless" || a == "--grab")
      continue;
    else
      out = a;
  }
  if (window) return RunWindowed(screenshot);
  if (out.empty()) {
    std::fprintf(stderr, "usage: platform_demo [--fixed-text] <out.png>\n");
    return 2;
  }
  plat::test::Harness h(fixed);

  TForm* form = new TForm(nullptr);
  form->SetBounds(40, 40, 360, 260);
  form->SetCaption("Platform layer demo");

  auto* header = new TPanel(form);
  header->SetAlign(alTop);
  header->SetHeight(32);
  header->SetCaption("Synthetic form on the null backend");
  header->SetParent(form);

  auto* sketch = new Sketch(form);
  sketch->SetBounds(10, 42, 150, 110);
  sketch->SetParent(form);

  auto* name = new TLabel(form);
  name->SetCaption("&Name: 视频转换");
  name->SetBounds(175, 45, 160, 16);
  name->SetParent(form);

  auto* note = new TLabel(form);
  note->SetAutoSize(false);
  note->SetWordWrap(true);
  note->SetBounds(175, 68, 170, 60);
  note->SetCaption("Graphic children paint after their parent, in z-order.");
  note->SetParent(form);

  auto* swatches = new Swatches(form);
  swatches->SetBounds(10, 162, 330, 20);
  swatches->SetParent(form);

  auto* ok = new TButton(form);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  ok->SetBounds(180, 195, 75, 25);
  ok->SetParent(form);
  auto* cancel = new TButton(form);
  cancel->SetCaption("Cancel");
  cancel->Cancel = true;
  cancel->SetBounds(265, 195, 75, 25);
  cancel->SetParent(form);
  auto* disabled = new TButton(form);
  disabled->SetCaption("Disabled");
  disabled->SetEnabled(false);
  disabled->SetBounds(10, 195, 75, 25);
  disabled->SetParent(form);

  form->Show();
  ok->SetFocus();
  h.Pump();
  // Hover over Cancel and press it without releasing: the pressed look.
  h.input.MoveTo(cancel, 20, 10);
  h.input.Press();

  bool saved = h.SavePng(form->Handle(), out);
  h.input.Release();
  form->Free();
  h.Pump();
  if (!saved) {
    std::fprintf(stderr, "could not write %s\n", out.c_str());
    return 1;
  }
  std::printf("wrote %s\n", out.c_str());
  return 0;
}
