// Painting into device contexts that belong to someone else (the paint-to-DC
// requests and a foreign erase), the list box's cover for hidden caption
// buttons, and the skinned edit's size rules inside a centring tool bar and
// after a font change.
#include <gtest/gtest.h>

#include "inputs_fixture.h"
#include "platform/gfx/dc.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/inputs/bsSkinListBox.h"

using namespace skin;

namespace inputstest {
namespace {

constexpr gfx::TColor kMagenta = gfx::clFuchsia;
uint32_t Rgb(gfx::TColor c) {
  gfx::COLORREF r = gfx::ColorToRef(c);
  return (uint32_t(gfx::GetRValue(r)) << 16) | (uint32_t(gfx::GetGValue(r)) << 8) | gfx::GetBValue(r);
}

// A target bitmap filled with magenta, so that untouched pixels show.
struct Target {
  gfx::TBitmap B;
  Target(int w, int h) {
    B.SetSize(w, h);
    B.Canvas()->Brush()->SetColor(kMagenta);
    B.Canvas()->FillRect(TRect(0, 0, w, h));
  }
  win::WPARAM dc() { return win::WPARAM(B.Canvas()->Handle().v); }
  gfx::TColor at(int x, int y) { return B.Canvas()->Pixels(x, y); }
};

// Colours of the list box picture (BGR TColor values).
constexpr gfx::TColor kCaption = 0x00A000;   // caption strip
constexpr gfx::TColor kButtons = 0x0000C0;   // the caption buttons
constexpr gfx::TColor kDisabled = 0xC00000;  // the "no buttons" picture
constexpr gfx::TColor kBody = 0xE0E0E0;      // the client part

// A "listbox" record on a 100x40 picture: frame 60x40 with a 12-pixel caption
// whose fixed right part (x 40..60) holds the three buttons; the disabled
// buttons picture at (60, 0, 80, 10).
TbsSkinData* MakeListSkin(bool WithDisabledPicture) {
  const TCodeSkin code = NewCodeSkin(100, 40, kBody);
  TbsSkinData* sd = code.Data;
  code.Fill(TRect(0, 0, 60, 12), kCaption);
  code.Fill(TRect(40, 2, 58, 10), kButtons);
  code.Fill(TRect(60, 0, 80, 10), kDisabled);
  auto rec = std::make_unique<TbsDataSkinListBox>("listbox");
  rec->PictureIndex = 0;
  rec->SkinRect = TRect(0, 0, 60, 40);
  rec->ClRect = TRect(2, 12, 58, 38);
  rec->LTPoint = TPoint(3, 3);
  rec->RTPoint = TPoint(40, 3);
  rec->LBPoint = TPoint(3, 37);
  rec->RBPoint = TPoint(40, 37);
  rec->CaptionRect = TRect(3, 1, 38, 11);
  rec->CheckButtonRect = TRect(40, 2, 46, 10);
  rec->DownButtonRect = TRect(46, 2, 52, 10);
  rec->UpButtonRect = TRect(52, 2, 58, 10);
  rec->ButtonsArea = TRect(38, 0, 58, 10);
  if (WithDisabledPicture) rec->DisabledButtonsRect = TRect(60, 0, 80, 10);
  sd->CtrlList.push_back(std::move(rec));
  sd->Empty = false;
  return sd;
}

using PaintToDCTest = InputsTest;

TEST_F(PaintToDCTest, HiddenCaptionButtonsAreCoveredFromTheSkin) {
  struct Case {
    bool show, disabledPicture;
    gfx::TColor atButtons;
  } cases[] = {
      {true, true, kButtons},    // shown: the record's buttons
      {false, true, kDisabled},  // hidden: the disabled-buttons picture on ButtonsArea
      {false, false, kCaption},  // hidden, no such picture: the caption strip stretched over
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.show) + "/" + std::to_string(k.disabledPicture));
    TbsOwned<TbsSkinData> sd(MakeListSkin(k.disabledPicture));
    auto* l = Make<TbsSkinListBox>(10, 10, 120, 80);
    l->SetCaptionMode(true);
    l->SetShowCaptionButtons(k.show);
    l->SetSkinData(sd.get());
    h.Pump();
    ASSERT_NE(l->SkinIndex(), -1);
    // dx = 60: the up button's place is x 112..118, the body is untouched.
    EXPECT_EQ(h.Pixel(l, 115, 5), Rgb(k.atButtons));
    EXPECT_EQ(h.Pixel(l, 20, 5), Rgb(kCaption));
    l->Free();
    h.Pump();
  }
}

TEST_F(PaintToDCTest, EmptyListHandsItsBackgroundToAKeyedRequest) {
  struct Case {
    int rows;
    win::LPARAM key;
    bool withDC;
    win::LRESULT answer;
    bool painted;
  } cases[] = {
      {0, PAINT_TO_DC2_KEY, true, PAINT_TO_DC2_KEY, true},
      {0, PAINT_TO_DC2_KEY, false, PAINT_TO_DC2_KEY, false},  // no DC: only the answer
      {0, 1, true, 0, false},                                 // another key: nothing
      {2, PAINT_TO_DC2_KEY, true, 0, false},                  // rows: nothing
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::to_string(k.rows) + "/" + std::to_string(k.key));
    auto* l = Make<TbsSkinListBox>(10, 10, 120, 120);
    for (int i = 0; i < k.rows; ++i) l->Items().Add("row");
    Target t(l->ListBox->Width(), l->ListBox->Height());
    const win::LRESULT r = win::SendMessage(l->ListBox->Handle(), WM_PAINT_CLIENT_TO_DC2, k.withDC ? t.dc() : 0, k.key);
    EXPECT_EQ(r, k.answer);
    const gfx::TColor want = k.painted ? gfx::clWindow : kMagenta;
    EXPECT_EQ(Rgb(t.at(5, 5)), Rgb(want));
    EXPECT_EQ(Rgb(t.at(t.B.Width() - 1, t.B.Height() - 1)), Rgb(want));
    l->Free();
  }
}

TEST_F(PaintToDCTest, EditFramePaintedIntoAGivenDC) {
  auto* e = Make<TbsSkinEdit>(20, 20, 160, 20);
  e->SetText("text");
  h.Pump();
  {  // the whole look without text
    Target t(160, 20);
    EXPECT_EQ(win::SendMessage(e->Handle(), CM_PAINT_FRAME_TO_DC, t.dc(), 0), kPaintFrameAnswer);
    EXPECT_EQ(Rgb(t.at(0, 0)), Rgb(gfx::clBtnShadow));
    EXPECT_EQ(Rgb(t.at(1, 1)), Rgb(gfx::clBtnFace));
    EXPECT_EQ(Rgb(t.at(80, 10)), Rgb(gfx::clWindow));
    EXPECT_EQ(win::SendMessage(e->Handle(), CM_PAINT_FRAME_TO_DC, 0, 0), kPaintFrameAnswer);
  }
  {  // the keyed form leaves the text area to the caller
    Target t(160, 20);
    EXPECT_EQ(win::SendMessage(e->Handle(), WM_PAINT_FRAME_TO_DC2, t.dc(), PAINT_TO_DC2_KEY), PAINT_TO_DC2_KEY);
    EXPECT_EQ(Rgb(t.at(0, 0)), Rgb(gfx::clBtnShadow));
    EXPECT_EQ(Rgb(t.at(80, 10)), Rgb(kMagenta));
    // The exclusion does not outlive the request.
    t.B.Canvas()->Brush()->SetColor(gfx::clBlack);
    t.B.Canvas()->FillRect(TRect(0, 0, 160, 20));
    EXPECT_EQ(Rgb(t.at(80, 10)), Rgb(gfx::clBlack));
  }
  {  // without the key it is not ours
    Target t(160, 20);
    EXPECT_EQ(win::SendMessage(e->Handle(), WM_PAINT_FRAME_TO_DC2, t.dc(), 1), 0);
    EXPECT_EQ(Rgb(t.at(0, 0)), Rgb(kMagenta));
  }
}

// A tool bar that centres its aligned children in the band (0, 10) - (w, 50).
class CentringBar : public cl::TCustomControl, public TbsCentringParent {
 public:
  explicit CentringBar(cl::TComponent* o) : cl::TCustomControl(o) { ControlStyle |= cl::csAcceptsControls; }
  bool AdjustsControls() override { return true; }
  TRect GetSkinClientRect() override { return {0, 10, Width(), 50}; }
};

TEST_F(PaintToDCTest, EditCentredInAToolBarOnlyWhenAligned) {
  auto* bar = Make<CentringBar>(0, 0, 300, 60);
  auto* e = new TbsSkinEdit(form);
  e->UseSkinFont = false;  // the height follows the font, not the parent
  e->SetParent(bar);
  e->SetBounds(5, 3, 100, 20);
  h.Pump();
  EXPECT_EQ(e->Top(), 3);  // not aligned: left where it was put
  const int fh = e->Height();
  e->SetAlign(cl::alLeft);
  h.Pump();
  EXPECT_EQ(e->Height(), fh);
  EXPECT_EQ(e->Top(), 10 + 40 / 2 - fh / 2);
}

TEST_F(PaintToDCTest, EditFontChangeSetsTheHeightUnlessTheSkinSizesIt) {
  auto textHeight = [](const gfx::TFont& f) {
    gfx::TBitmap m;
    m.SetSize(1, 1);
    m.Canvas()->Font()->Assign(f);
    return m.Canvas()->TextHeight("Wg");
  };
  auto* skinSized = Make<TbsSkinEdit>(20, 20, 160, 30);
  skinSized->Font()->SetHeight(40);
  h.Pump();
  EXPECT_EQ(skinSized->Height(), 30);

  auto* e = Make<TbsSkinEdit>(20, 60, 160, 30);
  e->UseSkinFont = false;
  e->SetText("kept");
  e->Font()->SetHeight(40);
  h.Pump();
  EXPECT_EQ(e->Height(), textHeight(*e->Font()) + 4);
  // The window was made again with the new font: the text is still there
  // and the frame insets still apply.
  EXPECT_EQ(e->Text(), "kept");
  EXPECT_EQ(e->ClientHeight(), e->Height() - 4);
}

TEST_F(PaintToDCTest, ComboErasedIntoAForeignDCDrawsItselfAndItsEditText) {
  auto* c = Make<TbsSkinComboBox>(20, 20, 150, 22);
  c->Items().Add("first");
  c->SetItemIndex(0);
  h.Pump();
  {
    Target t(150, 22);
    EXPECT_EQ(win::SendMessage(c->Handle(), win::WM_ERASEBKGND, t.dc(), 0), 1);
    EXPECT_EQ(Rgb(t.at(0, 0)), Rgb(gfx::clBtnShadow));
    EXPECT_EQ(Rgb(t.at(c->Button.R.Left + 2, c->Button.R.Top + 2)), Rgb(gfx::clBtnFace));
  }
  // Edit style: the inner edit's text lands in the same DC at the edit's place.
  auto darkIn = [](Target& t, TRect r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) {
        const uint32_t p = Rgb(t.at(x, y));
        if (((p >> 16) & 0xFF) < 96 && ((p >> 8) & 0xFF) < 96 && (p & 0xFF) < 96) ++n;
      }
    return n;
  };
  c->SetStyle(bscbEditStyle);
  h.Pump();
  ASSERT_NE(c->Edit(), nullptr);
  const TRect er = c->Edit()->BoundsRect();
  c->Edit()->SetText("");
  h.Pump();
  Target blank(150, 22);
  win::SendMessage(c->Handle(), win::WM_ERASEBKGND, blank.dc(), 0);
  EXPECT_EQ(darkIn(blank, er), 0);
  c->Edit()->SetText("MWMWMW");
  h.Pump();
  Target t(150, 22);
  win::SendMessage(c->Handle(), win::WM_ERASEBKGND, t.dc(), 0);
  EXPECT_GT(darkIn(t, er), 10);
  EXPECT_EQ(darkIn(t, TRect(0, 0, er.Left, 22)), 0);  // clipped to the edit
  // The DC's origin and clip are as they were.
  gfx::POINT o{};
  gfx::GetViewportOrgEx(t.B.Canvas()->Handle(), &o);
  EXPECT_EQ(o.X, 0);
  EXPECT_EQ(o.Y, 0);
  t.B.Canvas()->Brush()->SetColor(kMagenta);
  t.B.Canvas()->FillRect(TRect(0, 0, 150, 22));
  EXPECT_EQ(Rgb(t.at(0, 0)), Rgb(kMagenta));
}

}  // namespace
}  // namespace inputstest
