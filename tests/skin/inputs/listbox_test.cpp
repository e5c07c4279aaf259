// The skinned list box: scroll bars that exist only while the rows do not
// fit, the layout, the caption buttons' auto-repeat, tab stops, selection
// and scrolling through the inner list.
#include <gtest/gtest.h>

#include "inputs_fixture.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinListBox.h"

using namespace skin;

namespace inputstest {
namespace {

class ListBoxTest : public InputsTest {
 public:
  TbsSkinListBox* MakeList(int rows, int w = 120, int hgt = 120) {
    auto* l = Make<TbsSkinListBox>(10, 10, w, hgt);
    for (int i = 0; i < rows; ++i) l->Items().Add("row " + std::to_string(i));
    h.Pump();
    return l;
  }
};

TEST_F(ListBoxTest, BarComesWithRowsAndGoesOnClear) {
  TbsSkinListBox* l = MakeList(0);
  EXPECT_EQ(l->Width(), 120);
  EXPECT_EQ(l->Height(), 120);
  EXPECT_EQ(l->ListBox->ItemHeight(), 20);
  // 116 pixels of list: five whole rows.
  for (int i = 0; i < 5; ++i) l->Items().Add("row");
  EXPECT_EQ(l->ScrollBar, nullptr);
  EXPECT_EQ(l->ListRect, TRect(2, 2, 118, 118));
  l->Items().Add("sixth");
  ASSERT_NE(l->ScrollBar, nullptr);
  EXPECT_EQ(l->ScrollBar->BoundsRect(), TRect(100, 1, 119, 119));
  EXPECT_EQ(l->ListRect, TRect(2, 2, 100, 118));
  EXPECT_EQ(l->ScrollBar->PageSize(), 5);
  l->Clear();
  EXPECT_EQ(l->ScrollBar, nullptr);
  EXPECT_EQ(l->ListRect, TRect(2, 2, 118, 118));
}

TEST_F(ListBoxTest, RowCountSizesTheListToItsRows) {
  TbsSkinListBox* l = MakeList(5);
  l->SetRowCount(5);
  EXPECT_EQ(l->Height(), l->CalcHeight(5));
  EXPECT_EQ(l->Height(), 5 * 20 + 4);
  EXPECT_EQ(l->ScrollBar, nullptr);
  l->Items().Add("sixth");
  EXPECT_NE(l->ScrollBar, nullptr);
}

TEST_F(ListBoxTest, WheelAndBarScrollTheList) {
  TbsSkinListBox* l = MakeList(12);
  ASSERT_NE(l->ScrollBar, nullptr);
  l->ListBox->SetFocus();
  h.input.MoveTo(l->ListBox, 20, 20);
  h.input.Wheel(-120);
  EXPECT_EQ(l->TopIndex(), 1);
  EXPECT_EQ(l->ScrollBar->Position(), 1);
  l->ScrollBar->SetPosition(4);
  EXPECT_EQ(l->TopIndex(), 4);
}

TEST_F(ListBoxTest, HorizontalExtentBarFollowsTheWidestRow) {
  TbsSkinListBox* l = MakeList(2);
  l->Items().Add(std::string(40, 'W'));
  l->SetHorizontalExtent(true);
  ASSERT_NE(l->HScrollBar, nullptr);
  gfx::TBitmap m;
  m.SetSize(1, 1);
  m.Canvas()->Font()->Assign(*l->ListBox->Font());
  EXPECT_EQ(l->HScrollBar->SmallChange(), m.Canvas()->TextWidth("0"));
  l->HScrollBar->SetPosition(10);
  EXPECT_EQ(l->ListBox->HorizontalExtentValue(), 10);
  l->SetHorizontalExtent(false);
  EXPECT_EQ(l->HScrollBar, nullptr);
  EXPECT_EQ(l->ListBox->HorizontalExtentValue(), 0);
}

TEST_F(ListBoxTest, ARowTooWideEndsInAnEllipsisNotInHalfACharacter) {
  // Every character of the test text engine is a solid 7-pixel box, so a
  // row drawn whole ends on a box boundary and a cut one does not.
  for (int w : {120, 121, 125}) {
    TbsSkinListBox* l = MakeList(0, w);
    l->Items().Add(std::string(40, 'W'));
    h.Pump();
    int first = -1, last = -1;
    for (int x = 0; x < l->ListBox->Width(); ++x)
      if (h.Pixel(l->ListBox, x, 10) == 0x000000) {
        if (first < 0) first = x;
        last = x;
      }
    ASSERT_GE(first, 0) << w;
    EXPECT_EQ((last - first + 1) % 7, 0) << w;
    EXPECT_LT(last, l->ListBox->Width() - 1) << w;
    l->Free();
  }
}

TEST_F(ListBoxTest, CaptionButtonsAutoRepeat) {
  TbsSkinListBox* l = MakeList(10);
  l->SetCaptionMode(true);
  l->SetItemIndex(0);
  h.Pump();
  // Check, down, up from the right edge, 17 wide.
  EXPECT_EQ(l->Buttons[0].R, TRect(101, 2, 118, 18));
  EXPECT_EQ(l->Buttons[1].R, TRect(84, 2, 101, 18));
  EXPECT_EQ(l->Buttons[2].R, TRect(67, 2, 84, 18));
  h.input.MoveTo(l, 90, 8);
  h.input.Press();
  h.Advance(499);
  EXPECT_EQ(l->ItemIndex(), 0);  // nothing before 500 ms
  h.Advance(1);
  h.Advance(100);
  EXPECT_EQ(l->ItemIndex(), 1);
  h.Advance(300);
  EXPECT_EQ(l->ItemIndex(), 4);
  h.Advance(2000);
  EXPECT_EQ(l->ItemIndex(), 9);  // stops at the last row
  h.input.Release();
  EXPECT_EQ(l->ItemIndex(), 9);
  // A release outside the pressed button still runs its action.
  h.input.MoveTo(l, 110, 8);
  h.input.Press();
  h.input.MoveTo(l, 30, 60);
  h.input.Release();
  EXPECT_EQ(l->ItemIndex(), 8);
  // An assigned handler replaces the action.
  int ups = 0;
  l->OnUpButtonClick = [&](rtl::TObject*) { ++ups; };
  h.input.MoveTo(l, 110, 8);
  h.input.Click();
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(l->ItemIndex(), 8);
  h.Advance(1000);
  EXPECT_EQ(l->ItemIndex(), 8);
  // Let go outside, the button's own action runs, not the handler.
  h.input.Press();
  h.input.MoveTo(l, 30, 60);
  h.input.Release();
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(l->ItemIndex(), 7);
}

// The caption glyph: its cell before the text (the second when disabled),
// the text moved past it; a new caption font repaints the classic caption.
TEST_F(ListBoxTest, CaptionGlyphAndCaptionFont) {
  TbsSkinListBox* l = MakeList(3);
  l->SetCaptionMode(true);
  l->SetShowCaptionButtons(false);
  gfx::TBitmap g;
  g.SetSize(16, 8);
  g.Canvas()->Brush()->SetColor(gfx::clRed);
  g.Canvas()->FillRect({0, 0, 8, 8});
  g.Canvas()->Brush()->SetColor(gfx::clBlue);
  g.Canvas()->FillRect({8, 0, 16, 8});
  g.Canvas()->Brush()->SetColor(gfx::clFuchsia);  // the bottom-left pixel keys the glyph out
  g.Canvas()->FillRect({0, 7, 16, 8});
  l->SetGlyph(&g);
  l->SetNumGlyphs(2);
  l->SetCaption("Abc");
  h.Pump();
  // Caption height 20: the glyph's 8 rows centred on row 9 (less one).
  EXPECT_EQ(h.Pixel(l, 6, 8), 0xFF0000u);
  l->SetEnabled(false);
  h.Pump();
  EXPECT_EQ(h.Pixel(l, 6, 8), 0x0000FFu);
  l->SetEnabled(true);
  // Text starts past the glyph and the spacing: nothing of it left of x 13.
  auto ink = [&](int from, int to, uint32_t colour) {
    int n = 0;
    for (int x = from; x < to; ++x)
      for (int y = 3; y < 17; ++y)
        if (h.Pixel(l, x, y) == colour) ++n;
    return n;
  };
  h.Pump();
  EXPECT_EQ(ink(3, 13, 0x000000u), 0);
  EXPECT_GT(ink(13, 40, 0x000000u), 0);
  // A caption font change shows at once.
  l->DefaultCaptionFont()->SetColor(gfx::clLime);
  h.Pump();
  EXPECT_GT(ink(13, 40, 0x00FF00u), 0);
}

// Colours of the row pictures of the list skin below (BGR TColor values).
constexpr gfx::TColor kRow = gfx::clRed, kActiveRow = gfx::clLime, kFocusRow = gfx::clBlue;
constexpr gfx::TColor kUnpainted = gfx::clFuchsia;
uint32_t Rgb(gfx::TColor c) {
  gfx::COLORREF r = gfx::ColorToRef(c);
  return (uint32_t(gfx::GetRValue(r)) << 16) | (uint32_t(gfx::GetGValue(r)) << 8) | gfx::GetBValue(r);
}

// A "listbox" record whose rows are 18 high: normal, selected and focused
// pictures in three plain colours.
TbsSkinData* MakeRowSkin() {
  const TCodeSkin code = NewCodeSkin(120, 60, gfx::clWhite);
  TbsSkinData* sd = code.Data;
  code.Fill(TRect(0, 40, 40, 58), kRow);
  code.Fill(TRect(40, 40, 80, 58), kActiveRow);
  code.Fill(TRect(80, 40, 120, 58), kFocusRow);
  auto rec = std::make_unique<TbsDataSkinListBox>("listbox");
  rec->PictureIndex = 0;
  rec->SkinRect = TRect(0, 0, 40, 40);
  rec->ClRect = TRect(2, 2, 38, 38);
  rec->LTPoint = TPoint(2, 2);
  rec->RTPoint = TPoint(38, 2);
  rec->LBPoint = TPoint(2, 38);
  rec->RBPoint = TPoint(38, 38);
  rec->SItemRect = TRect(0, 40, 40, 58);
  rec->ActiveItemRect = TRect(40, 40, 80, 58);
  rec->FocusItemRect = TRect(80, 40, 120, 58);
  rec->ItemTextRect = TRect(3, 2, 37, 16);
  rec->ItemLeftOffset = rec->ItemRightOffset = 3;
  sd->CtrlList.push_back(std::move(rec));
  sd->Empty = false;
  return sd;
}

// Which picture a row is drawn from, and how much of the row it covers, for
// the look with the skin's row height and the look at any row height.
TEST_F(ListBoxTest, RowPicturesByStateAndRowHeight) {
  const TOwnerDrawState sel = ctl::odSelected, foc = ctl::odFocused;
  struct Case {
    const char* name;
    bool skinHeight;
    TOwnerDrawState state;
    int rowHeight;
    gfx::TColor expected;  // at the middle of the row's bottom line
  } cases[] = {
      {"skin height, focused and selected", true, sel | foc, 18, kFocusRow},
      {"skin height, selected", true, sel, 18, kActiveRow},
      {"skin height, focused only", true, foc, 18, kRow},
      {"any height, focused only", false, foc, 30, kFocusRow},
      {"any height, selected", false, sel, 30, kActiveRow},
      {"any height, idle", false, 0, 30, kRow},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TbsOwned<TbsSkinData> sd(MakeRowSkin());
    auto* l = Make<TbsSkinListBox>(10, 10, 120, 120);
    l->UseSkinItemHeight = k.skinHeight;
    l->SetDefaultItemHeight(k.rowHeight);
    l->SetSkinData(sd.get());
    l->Items().Add("row");
    h.Pump();
    ASSERT_NE(l->SkinIndex(), -1);
    ASSERT_EQ(l->ListBox->ItemHeight(), k.rowHeight);
    gfx::TBitmap B;
    B.SetSize(100, k.rowHeight);
    B.Canvas()->Brush()->SetColor(kUnpainted);
    B.Canvas()->FillRect(TRect(0, 0, 100, k.rowHeight));
    l->ListBox->PaintItem(B.Canvas(), 0, TRect(0, 0, 100, k.rowHeight), k.state);
    EXPECT_EQ(Rgb(B.Canvas()->Pixels(50, k.rowHeight - 1)), Rgb(k.expected));
    l->Free();
    h.Pump();
  }
}

// Owner drawing gets the row size of its look and a font in the skin's
// character set (the default font's without skin texts).
TEST_F(ListBoxTest, OwnerDrawingGetsTheLooksSizeAndCharacterSet) {
  TbsOwned<TbsSkinData> sd(MakeRowSkin());
  auto* strs = new TbsResourceStrData(form);
  strs->SetCharSet(134);
  struct Case {
    const char* name;
    bool skinned, texts;
    int width, height, charset;
  } cases[] = {
      {"classic", false, false, 100, 30, 128},
      {"any height", true, true, 100, 18, 134},  // told the skin's row height
      {"any height, no skin texts", true, false, 100, 18, 128},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    sd->SetResourceStrData(k.texts ? strs : nullptr);
    auto* l = Make<TbsSkinListBox>(10, 10, 120, 120);
    l->UseSkinItemHeight = false;
    l->SetDefaultItemHeight(30);
    l->DefaultFont()->SetCharset(128);
    if (k.skinned) l->SetSkinData(sd.get());
    l->Items().Add("row");
    int w = 0, hgt = 0, cs = -1;
    l->OnDrawItem = [&](gfx::TCanvas* C, int, int W, int H, TRect, TOwnerDrawState) {
      w = W;
      hgt = H;
      cs = C->Font()->Charset();
    };
    gfx::TBitmap B;
    B.SetSize(100, 30);
    l->ListBox->PaintItem(B.Canvas(), 0, TRect(0, 0, 100, 30), ctl::odSelected);
    EXPECT_EQ(w, k.width);
    EXPECT_EQ(hgt, k.height);
    EXPECT_EQ(cs, k.charset);
    l->Free();
    h.Pump();
  }
  sd->SetResourceStrData(nullptr);
}

// The erase fills the whole client area with the list's background; a frame
// request is answered and paints nothing (the container has the frame).
TEST_F(ListBoxTest, EraseFillsTheWholeListAndAFrameRequestPaintsNothing) {
  TbsSkinListBox* l = MakeList(2);
  gfx::TBitmap B;
  B.SetSize(l->ListBox->Width(), l->ListBox->Height());
  B.Canvas()->Brush()->SetColor(kUnpainted);
  B.Canvas()->FillRect(TRect(0, 0, B.Width(), B.Height()));
  EXPECT_EQ(win::SendMessage(l->ListBox->Handle(), win::WM_ERASEBKGND, win::WPARAM(B.Canvas()->Handle().v), 0), 1);
  EXPECT_EQ(Rgb(B.Canvas()->Pixels(5, 5)), Rgb(gfx::clWindow));
  EXPECT_EQ(Rgb(B.Canvas()->Pixels(B.Width() - 1, B.Height() - 1)), Rgb(gfx::clWindow));
  B.Canvas()->FillRect(TRect(0, 0, B.Width(), B.Height()));
  EXPECT_EQ(win::SendMessage(l->ListBox->Handle(), CM_PAINT_FRAME_TO_DC, win::WPARAM(B.Canvas()->Handle().v), 0),
            kPaintFrameAnswer);
  EXPECT_EQ(Rgb(B.Canvas()->Pixels(0, 0)), Rgb(kUnpainted));
}

TEST_F(ListBoxTest, TabStopsFromLines) {
  struct Case {
    std::vector<std::string> lines;
    std::vector<int> stops;
  } cases[] = {
      {{"40", "abc", "90"}, {40, 0, 90}},
      {{"", "12x", "7"}, {0, 0, 7}},
      {{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {{"99999999999999999999"}, {0}},
  };
  for (const Case& k : cases) {
    rtl::TStringList s;
    for (auto& x : k.lines) s.Add(x);
    EXPECT_EQ(TabStopsFrom(s), k.stops);
  }
}

TEST_F(ListBoxTest, ClicksSelectAndFireTheListEvents) {
  TbsSkinListBox* l = MakeList(4);
  std::vector<std::string> log;
  l->OnListBoxClick = [&](rtl::TObject* s) { log.push_back(s == l ? "click" : "click?"); };
  l->OnListBoxDblClick = [&](rtl::TObject*) { log.push_back("dblclick"); };
  h.input.MoveTo(l->ListBox, 10, 30);
  h.input.Click();
  EXPECT_EQ(l->ItemIndex(), 1);
  h.Advance(1000);
  h.input.DoubleClick();
  EXPECT_EQ(log, std::vector<std::string>({"click", "click", "dblclick"}));
  // The selected row paints in the highlight colour, the others do not.
  h.Pump();
  EXPECT_NE(h.Pixel(l->ListBox, 100, 30), h.Pixel(l->ListBox, 100, 50));
}

TEST_F(ListBoxTest, PopupFadeStepsAndLazyLayeredStyle) {
  EXPECT_EQ(TbsPopupListBox::FadeSteps(200).size(), 16u);
  EXPECT_EQ(TbsPopupListBox::FadeSteps(200).front(), 13);
  EXPECT_EQ(TbsPopupListBox::FadeSteps(200).back(), 200);
  EXPECT_EQ(TbsPopupListBox::FadeSteps(255).size(), 15u);
  EXPECT_EQ(TbsPopupListBox::FadeSteps(10).size(), 10u);
  EXPECT_EQ(TbsPopupListBox::FadeSteps(0), std::vector<int>({0}));
}

}  // namespace
}  // namespace inputstest
