// Builds a small form out of the layer's controls on the null backend, lets
// the window system paint it, and writes the composed image as PNG.
//   platform_demo [--fixed-text] <out.png>
#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"
#include "platform/gfx/raster.h"
#include "platform/testkit/harness.h"

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

int main(int argc, char** argv) {
  bool fixed = false;
  std::string out;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--fixed-text")
      fixed = true;
    else if (a == "--headless" || a == "--grab")
      continue;
    else
      out = a;
  }
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
