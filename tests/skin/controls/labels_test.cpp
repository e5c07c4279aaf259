// The skinned labels: which font and colour they draw with, the disabled
// emboss, ellipsis and accelerator flags, auto-size and vertical layout,
// transparency over a parent picture. Text metrics are the harness's fixed
// 7 x 13 cells.
#include <gtest/gtest.h>

#include <set>

#include "controls_fixture.h"
#include "skin/controls/bsSkinLabels.h"

using namespace ctltest;

namespace {

using SkinLabels = ControlsTest;

constexpr gfx::TColor kRecordColor = 9109504;  // the test skin's "stdlabel"

template <class L>
void SetFonts(L* l) {
  l->Font()->SetName("Courier New");
  l->Font()->SetHeight(20);
  l->Font()->SetColor(gfx::clRed);
  l->DefaultFont()->SetName("Verdana");
  l->DefaultFont()->SetHeight(11);
  l->DefaultFont()->SetColor(gfx::clGreen);
}

TEST_F(SkinLabels, FontRuleWithAndWithoutARecord) {
  struct Case {
    bool skinned, useSkinFont, useSkinColor;
    const char* face;
    int height;
    gfx::TColor color;
  } cases[] = {
      {false, true, true, "Verdana", 11, gfx::clGreen},     {false, false, true, "Courier New", 20, gfx::clRed},
      {true, true, true, "Arial", 14, kRecordColor},        {true, true, false, "Arial", 14, gfx::clRed},
      {true, false, true, "Courier New", 20, kRecordColor},  // the program's forms
      {true, false, false, "Courier New", 20, gfx::clRed},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.skinned) + std::to_string(c.useSkinFont) + std::to_string(c.useSkinColor));
    auto* a = Make<TbsSkinStdLabel>(10, 10, 100, 20, "", false);
    auto* b = Make<TbsSkinTextLabel>(10, 50, 100, 20, "", false);
    SetFonts(a);
    SetFonts(b);
    a->SetCaption("Label");
    b->Lines()->Add("Label");
    a->SetUseSkinFont(c.useSkinFont);
    b->SetUseSkinFont(c.useSkinFont);
    a->SetUseSkinColor(c.useSkinColor);
    b->SetUseSkinColor(c.useSkinColor);
    if (c.skinned) {
      a->SetSkinData(skin.get());
      b->SetSkinData(skin.get());
    }
    for (cl::TGraphicControl* l : std::initializer_list<cl::TGraphicControl*>{a, b}) {
      l->Repaint();
      EXPECT_EQ(l->Canvas()->Font()->Name(), c.face);
      EXPECT_EQ(l->Canvas()->Font()->Height(), c.height);
      EXPECT_EQ(l->Canvas()->Font()->Color(), c.color);
      // The text is drawn in that colour.
      EXPECT_EQ(Px(l, 3, 5), Rgb(c.color));
    }
    a->Free();
    b->Free();
  }
}

TEST_F(SkinLabels, DisabledLabelsAreEmbossedInTheSkinOrSystemColours) {
  form->SetColor(gfx::clNavy);
  for (bool skinned : {false, true}) {
    auto* a = Make<TbsSkinStdLabel>(10, 10, 100, 20, "", skinned);
    a->SetAutoSize(false);
    a->SetBounds(10, 10, 100, 20);
    a->SetCaption("X");
    a->SetEnabled(false);
    // The 7 x 13 box of "X": shadow on top, highlight one pixel down-right.
    uint32_t hi = skinned ? 0xFFFFFF : Rgb(gfx::clBtnHighlight);
    uint32_t sh = skinned ? 0x808080 : Rgb(gfx::clBtnShadow);
    EXPECT_EQ(Px(a, 0, 0), sh);
    EXPECT_EQ(Px(a, 6, 12), sh);
    EXPECT_EQ(Px(a, 7, 13), hi);
    EXPECT_EQ(Px(a, 7, 0), Rgb(gfx::clNavy));
    a->Free();
  }
}

TEST_F(SkinLabels, EllipsisAndAcceleratorFlags) {
  auto* a = Make<TbsSkinStdLabel>(10, 10, 70, 20);
  a->SetAutoSize(false);
  a->SetBounds(10, 10, 70, 20);
  // Ten cells fit. Cut off, cell 8 is a space; shortened with "...", the
  // dots (full cells here) end in cell 9.
  a->SetCaption("abcdef   ghijklmnop");
  EXPECT_NE(Px(a, 59, 5), Rgb(kRecordColor));
  a->SetEllipsType(bsetEndEllips);
  EXPECT_EQ(Px(a, 59, 5), Rgb(kRecordColor));
  EXPECT_EQ(Px(a, 3, 5), Rgb(kRecordColor));
  // "&&" is a literal ampersand only while accelerators are shown.
  a->SetEllipsType(bsetNone);
  a->SetAutoSize(true);
  a->SetCaption("a&&b");
  EXPECT_EQ(a->Width(), 21);
  a->SetShowAccelChar(false);
  EXPECT_EQ(a->Width(), 28);
}

TEST_F(SkinLabels, AutoSizeMeasuresLinesAndKeepsTheRightEdge) {
  auto* a = Make<TbsSkinStdLabel>(10, 10, 100, 40);
  a->SetCaption("");
  EXPECT_EQ(a->Height(), 13);  // an empty caption still measures one line
  auto* t = Make<TbsSkinTextLabel>(200, 10, 65, 65);
  t->Lines()->Add("four");
  t->Lines()->Add("sixsix");
  EXPECT_EQ(t->Width(), 42);
  EXPECT_EQ(t->Height(), 26);
  t->SetAlignment(cl::taRightJustify);
  t->Lines()->Add("eight890");
  EXPECT_EQ(t->Width(), 56);
  EXPECT_EQ(t->Left() + t->Width(), 242);  // the right edge stays
  t->Lines()->Clear();
  t->Lines()->Add("ab");
  EXPECT_EQ(t->Left() + t->Width(), 242);
  EXPECT_EQ(t->Width(), 14);
  // Word wrap measures in the label's width.
  t->SetAutoSize(false);
  t->SetBounds(200, 10, 30, 65);
  t->SetWordWrap(true);
  t->Lines()->Clear();
  t->Lines()->Add("aa bb cc");
  t->SetAutoSize(true);
  EXPECT_EQ(t->Height(), 39);
  // Without auto-size the label keeps its size.
  t->SetAutoSize(false);
  t->Lines()->Add("more text here");
  EXPECT_EQ(t->Height(), 39);
}

TEST_F(SkinLabels, TextLabelLayoutAndTransparencyOverAParentPicture) {
  // A parent that paints a picture: left half blue, right half yellow.
  struct Picture : cl::TCustomControl {
    explicit Picture(cl::TComponent* o) : cl::TCustomControl(o) { ControlStyle |= cl::csAcceptsControls; }
    void Paint() override {
      Canvas()->Brush()->SetColor(gfx::clBlue);
      Canvas()->FillRect({0, 0, Width() / 2, Height()});
      Canvas()->Brush()->SetColor(gfx::clYellow);
      Canvas()->FillRect({Width() / 2, 0, Width(), Height()});
    }
  };
  auto* p = new Picture(form);
  p->SetBounds(0, 0, 300, 200);
  p->SetParent(form);
  auto* t = Make<TbsSkinTextLabel>(100, 20, 100, 60, "", true, p);
  t->SetAutoSize(false);
  t->SetBounds(100, 20, 100, 60);
  t->Lines()->Add("ab");
  // Top: the text at row 0; everything else shows the parent through.
  EXPECT_EQ(Px(t, 0, 0), Rgb(kRecordColor));
  EXPECT_EQ(Px(t, 20, 30), Rgb(gfx::clBlue));
  EXPECT_EQ(Px(t, 70, 30), Rgb(gfx::clYellow));
  t->SetLayout(cl::tlBottom);
  EXPECT_EQ(Px(t, 0, 47), Rgb(kRecordColor));
  EXPECT_EQ(Px(t, 0, 46), Rgb(gfx::clBlue));
  t->SetLayout(cl::tlCenter);
  EXPECT_EQ(Px(t, 0, 23), Rgb(kRecordColor));  // (60 - 13) div 2
  EXPECT_EQ(Px(t, 0, 22), Rgb(gfx::clBlue));
  // The standard label shows its parent through as well.
  auto* a = Make<TbsSkinStdLabel>(60, 120, 60, 20, "", true, p);
  a->SetAutoSize(false);
  a->SetBounds(60, 120, 60, 20);
  a->SetCaption("x");
  EXPECT_EQ(Px(a, 20, 5), Rgb(gfx::clBlue));
  EXPECT_EQ(Px(a, 3, 5), Rgb(kRecordColor));
}

TEST_F(SkinLabels, FreeingTheStoreFallsBackToTheUnskinnedFonts) {
  auto* a = Make<TbsSkinStdLabel>(10, 10, 100, 20);
  a->SetCaption("x");
  a->DefaultFont()->SetColor(gfx::clGreen);
  EXPECT_EQ(Px(a, 3, 5), Rgb(kRecordColor));
  skin.reset();
  EXPECT_EQ(a->SkinData(), nullptr);
  a->Repaint();
  EXPECT_EQ(Px(a, 3, 5), Rgb(gfx::clGreen));
}

}  // namespace
