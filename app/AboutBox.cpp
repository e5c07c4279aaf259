#include "app/FormLayout.h"
#include "app/AboutBox.h"

#include "app/MainForm.h"
#include "platform/cl/application.h"
#include "platform/gfx/raster.h"

using namespace skin;

namespace {

constexpr int kClientWidth = 372;
constexpr int kClientHeight = 176;

}  // namespace

bool TAlphaPicture::Load(const char* resourceName) {
  try {
    pic_.LoadFromResourceName(resourceName);
  } catch (const std::exception&) {
    return false;
  }
  if (pic_.Empty() || pic_.PixelFormat() != gfx::pf32bit) return false;
  // The blend takes premultiplied colours.
  for (int y = 0; y < pic_.Height(); ++y) {
    uint8_t* p = pic_.ScanLine(y);
    for (int x = 0; x < pic_.Width(); ++x, p += 4)
      for (int c = 0; c < 3; ++c) p[c] = uint8_t(p[c] * p[3] / 255);
  }
  Invalidate();
  return true;
}

void TAlphaPicture::Paint() {
  if (pic_.Empty()) return;
  gfx::BLENDFUNCTION bf;
  bf.AlphaFormat = gfx::AC_SRC_ALPHA;
  gfx::AlphaBlend(Canvas()->Handle(), (Width() - pic_.Width()) / 2, (Height() - pic_.Height()) / 2, pic_.Width(),
                  pic_.Height(), pic_.Canvas()->Handle(), 0, 0, pic_.Width(), pic_.Height(), bf);
}

TForm2::TForm2(cl::TComponent* owner) : cl::TForm(owner) {
  if (auto* main = dynamic_cast<TForm1*>(cl::Application->MainForm())) {
    skin_ = main->bsSkinData1;
    main->About = this;
  }
  Build();
}

TForm2::TForm2(cl::TComponent* owner, TbsSkinData* skin) : cl::TForm(owner), skin_(skin) { Build(); }

void TForm2::Build() {
  SetName("Form2");
  SetCaption("关于软件");
  SetBorderStyle(cl::bsSingle);
  SetBorderIcons(0);
  SetPosition(cl::poMainFormCenter);
  SetClientSize(kClientWidth, kClientHeight);
  SetColor(gfx::clBtnFace);
  bsSkinForm1 = new TbsSkinForm(this);
  bsSkinForm1->SetBorderIcons(biSystemMenu);
  bsSkinForm1->ClientWidth = kClientWidth;
  bsSkinForm1->ClientHeight = kClientHeight;
  if (skin_) {
    bsSkinForm1->SetSkinData(skin_);
    bsSkinForm1->SetMenusSkinData(skin_);
  }
  HandleNeeded();
  SetClientSize(kClientWidth, kClientHeight);

  // The program picture on the left; title, version and web site beside it.
  Image1 = Place<TAlphaPicture>(this, this, 20, 20, 56, 56);
  Image1->Load("MAINICON");
  // The title in the label's own larger bold font, in the skin's colour; its
  // size is fixed, since measuring would take the skin's smaller font.
  bsSkinStdLabel1 = Place<TbsSkinStdLabel>(this, this, 92, 20, 260, 26);
  bsSkinStdLabel1->SetAutoSize(false);
  bsSkinStdLabel1->Font()->SetHeight(-17);
  bsSkinStdLabel1->Font()->SetStyle(gfx::TFontStyles{gfx::fsBold});
  bsSkinStdLabel1->SetUseSkinFont(false);
  bsSkinStdLabel1->SetCaption("VarnelMOD格式转换器");
  bsSkinStdLabel1->SetSkinData(skin_);
  bsSkinStdLabel1->SetBounds(92, 20, 260, 26);
  bsSkinStdLabel2 = Place<TbsSkinStdLabel>(this, this, 92, 52, 260, 18);
  bsSkinStdLabel2->SetCaption("Ver:15.7.0.0");
  bsSkinStdLabel2->SetSkinData(skin_);
  bsSkinStdLabel3 = Place<TbsSkinStdLabel>(this, this, 92, 88, 72, 18);
  bsSkinStdLabel3->SetCaption("官方网站：");
  bsSkinStdLabel3->SetSkinData(skin_);
  bsSkinLinkLabel1 = Place<TbsSkinLinkLabel>(this, this, 164, 88, 188, 18);
  bsSkinLinkLabel1->SetCaption(kMakerWebSite);
  bsSkinLinkLabel1->SetURL(kMakerWebSite);
  bsSkinLinkLabel1->SetSkinData(skin_);

  bsSkinButton1 = Place<TbsSkinButton>(this, this, kClientWidth - 20 - 84, kClientHeight - 20 - 26, 84, 26);
  bsSkinButton1->SetCaption("确定");
  bsSkinButton1->SetDefault(true);
  bsSkinButton1->SetCancel(true);
  bsSkinButton1->SetSkinData(skin_);
  bsSkinButton1->OnClick = [this](rtl::TObject*) { bsSkinButton1Click(); };
}

void TForm2::bsSkinButton1Click() { Close(); }
