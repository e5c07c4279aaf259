// The form skinning component on the null backend and the manual clock:
// frame geometry, hit tests and the window region for two skins and several
// sizes, the client area, the painted frame, caption buttons (hover, press,
// release outside, click), the skin-change protocol and its walk, the
// library messages, window states and the system menu.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <string>
#include <vector>

#include "FrameTestSkin.h"
#include "platform/cl/application.h"
#include "platform/cl/extctrls.h"
#include "platform/cl/forms.h"
#include "platform/cl/imglist.h"
#include "platform/cl/stdctrls.h"
#include "platform/gfx/region.h"
#include "platform/testkit/harness.h"
#include "platform/win/cursor.h"
#include "platform/win/layered.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/draw/bsLayerWindow.h"
#include "skin/form/bsFormLayerBorder.h"
#include "skin/form/bsSkinForm.h"
#include "skin/menus/bsTrayIcon.h"
#include "skin/menus/bsSkinHint.h"
#include "skin/form/bsSkinMDI.h"
#include "skin/form/bsSkinMainMenuBar.h"
#include "skin/controls/bsSkinMenuSpeedButton.h"
#include "skin/data/bsStoredSkins.h"

using namespace skin;

namespace {

// Gives the skin a layered border, its pictures with or without a mask.
void AddLayerFrame(TbsSkinData* s, bool withMask);

class FormFrame : public ::testing::Test {
 public:
  void SetUp() override {
    form = new cl::TForm(nullptr);
    form->SetBorderStyle(cl::bsSizeable);
    form->SetBounds(100, 100, 220, 130);
    form->SetCaption("Frame");
    sf = new TbsSkinForm(form);
    skin = MakeFrameTestSkin(0);
    skin2 = MakeFrameTestSkin(1);
  }
  void TearDown() override {
    // Also after a failed assertion: no later test inherits a compositor.
    win::SetCompositorPresent(false);
    if (form && !form->Destroyed()) form->Free();
    skin.reset();
    skin2.reset();
    h.Pump();
    EXPECT_EQ(h.Leaks(), "");
    EXPECT_TRUE(h.exceptions.empty());
  }
  void Show(TbsSkinData* s) {
    sf->SetSkinData(s);
    form->Show();
    win::SetActiveWindow(form->Handle());
    h.Pump();
  }
  // Shown where a compositor runs, with the skin's layered border.
  void ShowWithLayeredBorder() {
    win::SetCompositorPresent(true);
    AddLayerFrame(skin.get(), true);
    Show(skin.get());
  }
  win::RECT WinRect() {
    win::RECT r{};
    win::GetWindowRect(form->Handle(), &r);
    return r;
  }
  // A pixel at window coordinates (the frame included).
  uint32_t Px(int x, int y) {
    h.Pump();
    win::POINT o{0, 0};
    win::ClientToScreen(form->Handle(), &o);
    win::RECT r = WinRect();
    return h.Pixel(form->Handle(), x - (o.X - r.Left), y - (o.Y - r.Top));
  }
  void MoveTo(int x, int y) {
    win::RECT r = WinRect();
    h.input.MoveTo(r.Left + x, r.Top + y);
  }
  int Hit(int x, int y) {
    win::RECT r = WinRect();
    return int(win::SendMessage(form->Handle(), win::WM_NCHITTEST, 0, win::MAKELPARAM(r.Left + x, r.Top + y)));
  }
  TRect Rect(const std::string& id) { return sf->ObjectList[size_t(sf->GetIndex(id))]->ObjectRect; }

  plat::test::Harness h;
  cl::TForm* form = nullptr;
  TbsSkinForm* sf = nullptr;
  TbsOwned<TbsSkinData> skin, skin2;
};

// ---------------------------------------------------------------------------
// Geometry.

TEST_F(FormFrame, ReferencePointsFollowTheRightAndBottomEdges) {
  Show(skin.get());
  struct Case {
    int w, h;
  } cases[] = {{120, 80}, {220, 130}, {121, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    sf->FFormWidth = c.w;
    sf->FFormHeight = c.h;
    sf->CalcSkinRects();
    int dx = c.w - 120, dy = c.h - 80;
    EXPECT_EQ(sf->NewLTPoint, (TPoint{8, 24}));
    EXPECT_EQ(sf->NewRTPoint, (TPoint{66 + dx, 24}));
    EXPECT_EQ(sf->NewLBPoint, (TPoint{8, 72 + dy}));
    EXPECT_EQ(sf->NewRBPoint, (TPoint{112 + dx, 72 + dy}));
    EXPECT_EQ(sf->NewClRect, (TRect{4, 24, 116 + dx, 76 + dy}));
    EXPECT_EQ(sf->NewCaptionRect, (TRect{4, 2, 68 + dx, 22}));
    EXPECT_EQ(sf->NewButtonsRect, (TRect{70 + dx, 5, 114 + dx, 19}));  // Left 70 > 120 div 2
    EXPECT_EQ(sf->NewMaskRectArea, (TRect{4, 4, 116 + dx, 76 + dy}));
    EXPECT_EQ(sf->NewHitTestLBPoint, (TPoint{10, 70 + dy}));
  }
  // A buttons rectangle at or left of the middle stays where it is.
  skin->ButtonsRect = {60, 5, 100, 19};
  sf->FFormWidth = 220;
  sf->CalcSkinRects();
  EXPECT_EQ(sf->NewButtonsRect, (TRect{60, 5, 100, 19}));
}

TEST_F(FormFrame, MapSkinRectByZone) {
  Show(skin.get());
  sf->FFormWidth = 220;   // dx 100
  sf->FFormHeight = 130;  // dy 50
  sf->CalcSkinRects();
  struct Case {
    TRect in, out;
  } cases[] = {
      {{1, 1, 5, 5}, {1, 1, 5, 5}},                // left top
      {{113, 1, 118, 5}, {213, 1, 218, 5}},        // right top
      {{1, 74, 5, 78}, {1, 124, 5, 128}},          // left bottom
      {{113, 74, 118, 78}, {213, 124, 218, 128}},  // right bottom
      {{2, 2, 115, 75}, {2, 2, 215, 125}},         // left top to right bottom: stretched both ways
      {{2, 2, 115, 20}, {2, 2, 215, 20}},          // left top to right top: wider
      {{2, 74, 115, 78}, {2, 124, 215, 128}},      // left bottom to right bottom
      {{2, 2, 6, 75}, {2, 2, 6, 125}},             // left top to left bottom: taller
      {{114, 2, 118, 75}, {214, 2, 218, 125}},     // right top to right bottom
      {{40, 40, 60, 50}, {40, 40, 60, 50}},        // inside the middle: unchanged
  };
  for (const Case& c : cases) EXPECT_EQ(sf->MapSkinRect(c.in), c.out) << c.in.Left << "," << c.in.Top;
}

TEST_F(FormFrame, ButtonsAreLaidOutFromTheRightInCommandOrder) {
  Show(skin.get());
  // Buttons rectangle (170, 5, 214, 19) at 220 wide; 14 px buttons, 2 px apart.
  EXPECT_EQ(Rect("closebutton"), (TRect{200, 5, 214, 19}));
  EXPECT_EQ(Rect("maxbutton"), (TRect{184, 5, 198, 19}));
  EXPECT_EQ(Rect("minbutton"), (TRect{168, 5, 182, 19}));
  // The left-aligned skin places them left to right in the same order.
  sf->SetSkinData(skin2.get());
  EXPECT_EQ(Rect("closebutton"), (TRect{6, 8, 20, 22}));
  EXPECT_EQ(Rect("maxbutton"), (TRect{22, 8, 36, 22}));
  EXPECT_EQ(Rect("minbutton"), (TRect{38, 8, 52, 22}));
  // Without biMaximize a laid-out maximize button disappears.
  sf->SetBorderIcons(biSystemMenu | biMinimize);
  EXPECT_FALSE(sf->ObjectList[size_t(sf->GetIndex("maxbutton"))]->Visible);
  sf->ArrangeObjects();
  EXPECT_EQ(Rect("minbutton"), (TRect{22, 8, 36, 22}));
}

TEST_F(FormFrame, HitTestTableWithTheSkin) {
  Show(skin.get());  // 220 x 130: client (4, 24, 216, 126)
  struct Case {
    int x, y, code;
  } cases[] = {
      {50, 10, win::HTCAPTION},  {100, 60, win::HTCLIENT}, {5, 5, win::HTCAPTION},      {2, 10, win::HTTOPLEFT},
      {218, 3, win::HTTOPRIGHT}, {218, 11, win::HTRIGHT},  {2, 125, win::HTBOTTOMLEFT}, {216, 126, win::HTBOTTOMRIGHT},
      {1, 60, win::HTLEFT},      {218, 60, win::HTRIGHT},  {100, 128, win::HTBOTTOM},   {100, 1, win::HTTOP},
      {205, 10, HTOBJECT},
  };
  for (const Case& c : cases) EXPECT_EQ(Hit(c.x, c.y), c.code) << c.x << "," << c.y;
  // A fixed-size form never reports a sizing code.
  form->SetBorderStyle(cl::bsSingle);
  h.Pump();
  EXPECT_EQ(Hit(1, 60), HTOBJECT);
  EXPECT_EQ(Hit(50, 10), win::HTCAPTION);
  EXPECT_EQ(Hit(100, 60), win::HTCLIENT);
}

// A mask whose strips are thinner than the border (a slightly rounded skin)
// still leaves a border-wide grip along the form's edges.
TEST_F(FormFrame, ThinMaskStripsKeepABorderWideGrip) {
  skin->MaskRectArea = {1, 1, 119, 79};
  Show(skin.get());  // 220 x 130: client (4, 24, 216, 126)
  struct Case {
    int x, y, code;
  } cases[] = {
      {217, 60, win::HTRIGHT},        {2, 60, win::HTLEFT},     {100, 127, win::HTBOTTOM},
      {217, 127, win::HTBOTTOMRIGHT}, {100, 60, win::HTCLIENT}, {50, 10, win::HTCAPTION},
  };
  for (const Case& c : cases) EXPECT_EQ(Hit(c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST_F(FormFrame, DefaultHitTestAndClientWithoutASkin) {
  Show(nullptr);
  win::RECT r = WinRect();
  int W = r.Right - r.Left, H = r.Bottom - r.Top;
  EXPECT_EQ(Hit(2, 60), win::HTLEFT);
  EXPECT_EQ(Hit(W - 2, 60), win::HTRIGHT);
  EXPECT_NE(Hit(W - 3, 60), win::HTRIGHT);
  EXPECT_EQ(Hit(W - 4, 60), win::HTCLIENT);
  EXPECT_EQ(Hit(60, H - 2), win::HTBOTTOM);
  EXPECT_EQ(Hit(1, 1), win::HTTOPLEFT);
  EXPECT_EQ(Hit(40, 12), win::HTCAPTION);
  // Client: 3 px on the left, right and bottom, 3 + 19 on top.
  win::POINT o{0, 0};
  win::ClientToScreen(form->Handle(), &o);
  EXPECT_EQ(o.X - r.Left, 3);
  EXPECT_EQ(o.Y - r.Top, 22);
  EXPECT_EQ(form->ClientWidth(), W - 6);
  EXPECT_EQ(form->ClientHeight(), H - 25);
  EXPECT_EQ(sf->GetMinWidth(), 120);
  sf->MinWidth = 200;
  EXPECT_EQ(sf->GetMinWidth(), 200);
}

TEST_F(FormFrame, ClientAreaStartsAtTheSkinsClientRect) {
  Show(skin.get());
  win::POINT o{0, 0};
  win::ClientToScreen(form->Handle(), &o);
  win::RECT r = WinRect();
  EXPECT_EQ(o.X - r.Left, 4);
  EXPECT_EQ(o.Y - r.Top, 24);
  EXPECT_EQ(form->ClientWidth(), 220 - 8);
  EXPECT_EQ(form->ClientHeight(), 130 - 24 - 4);
  // A frameless form keeps no non-client area and no region.
  form->SetBorderStyle(cl::bsNone);
  h.Pump();
  sf->UpdateFormRegion();
  EXPECT_EQ(form->ClientWidth(), 220);
  EXPECT_FALSE(sf->FormRegion());
}

TEST_F(FormFrame, RegionFollowsTheMaskAtEverySize) {
  Show(skin.get());
  for (int w : {220, 160}) {
    form->SetBounds(100, 100, w, 100);
    h.Pump();
    SCOPED_TRACE(w);
    gfx::HRGN r = sf->FormRegion();
    ASSERT_TRUE(r);
    int H = 100;
    EXPECT_FALSE(gfx::PtInRegion(r, 0, 0));  // cut corners
    EXPECT_FALSE(gfx::PtInRegion(r, w - 1, 0));
    EXPECT_FALSE(gfx::PtInRegion(r, 0, H - 1));
    EXPECT_FALSE(gfx::PtInRegion(r, w - 2, H - 2));
    EXPECT_TRUE(gfx::PtInRegion(r, 4, 0));
    EXPECT_TRUE(gfx::PtInRegion(r, w - 1, 4));
    EXPECT_TRUE(gfx::PtInRegion(r, w / 2, H / 2));
    EXPECT_FALSE(gfx::PtInRegion(r, w, 10));
  }
  // The skin without a mask and no skin at all: the whole rectangle.
  skin->FMask.reset();
  sf->UpdateFormRegion();
  EXPECT_TRUE(gfx::PtInRegion(sf->FormRegion(), 0, 0));
  sf->SetSkinData(nullptr);
  EXPECT_TRUE(gfx::PtInRegion(sf->FormRegion(), 0, 0));
}

TEST_F(FormFrame, PointInMaskReadsTheStripsOfTheCurrentSize) {
  Show(skin.get());  // 220 x 130, mask area (4, 4, 216, 126)
  EXPECT_TRUE(sf->PointInMask({100, 50}));
  EXPECT_FALSE(sf->PointInMask({0, 0}));
  EXPECT_FALSE(sf->PointInMask({219, 129}));
  EXPECT_TRUE(sf->PointInMask({4, 0}));
  EXPECT_TRUE(sf->PointInMask({219, 60}));
  EXPECT_FALSE(sf->PointInMask({220, 60}));
  // The row at the inner rectangle's top belongs to the side strips.
  EXPECT_TRUE(sf->PointInMask({0, 4}));
  EXPECT_TRUE(sf->PointInMask({219, 4}));
}

// ---------------------------------------------------------------------------
// Painting and caption buttons.

TEST_F(FormFrame, PaintsTheFrameStripsTheButtonsAndTheClientBackground) {
  Show(skin.get());
  const auto& C = FrameTestColors(0);
  EXPECT_EQ(Px(100, 3), Rgb(C.Caption));
  EXPECT_EQ(Px(2, 60), Rgb(C.Left));
  EXPECT_EQ(Px(218, 60), Rgb(C.Right));
  EXPECT_EQ(Px(100, 128), Rgb(C.Bottom));
  EXPECT_EQ(Px(100, 60), Rgb(C.Client));  // the client background from the picture's client part
  EXPECT_EQ(Px(201, 6), Rgb(C.ButtonNormal));
  // Inactive: the inactive picture's caption band.
  win::SendMessage(form->Handle(), win::WM_NCACTIVATE, 0, 0);
  sf->PreviewMode = false;
  form->Perform(win::WM_ACTIVATE, win::WA_INACTIVE, 0);
  EXPECT_EQ(Px(100, 3), Rgb(C.InactiveCaption));
}

TEST_F(FormFrame, FreeingTheSkinLeavesThePlainFrameAndNoObjectOfIt) {
  Show(skin.get());
  const auto& C = FrameTestColors(0);
  ASSERT_EQ(Px(100, 3), Rgb(C.Caption));
  skin.reset();
  EXPECT_EQ(sf->SkinData(), nullptr);
  // Repaint, hover and resize the frame: nothing reads the freed store.
  form->SetBounds(100, 100, 240, 140);
  win::SendMessage(form->Handle(), win::WM_NCPAINT, 0, 0);
  EXPECT_EQ(Hit(100, 60), win::HTCLIENT);
  MoveTo(225, 6);
  h.Advance(100);
  EXPECT_NE(Px(100, 3), Rgb(C.Caption));
}

TEST_F(FormFrame, InactiveClientEffectWashesOrBlursTheClientUntilActivation) {
  // A dark square in the middle of the light client: the wash lays the
  // client colour over it at 170 of 255, the blur spreads it 3 pixels out.
  auto* dark = new cl::TPanel(form);
  dark->BevelOuter = cl::bvNone;
  dark->SetColor(gfx::clBlack);
  dark->SetBounds(60, 20, 40, 30);
  dark->SetParent(form);
  Show(skin.get());
  const uint32_t client = Rgb(FrameTestColors(0).Client);
  const TRect cl = sf->NewClRect;  // client (0, 0) in window coordinates
  auto at = [&](int x, int y) { return Px(cl.Left + x, cl.Top + y); };
  auto washed = [&](uint32_t c) {
    uint32_t r = 0;
    for (int sh : {0, 8, 16}) r |= uint32_t(((c >> sh & 0xFF) * 170 + 127) / 255) << sh;
    return r;
  };
  auto near = [](uint32_t a, uint32_t b) {
    for (int sh : {0, 8, 16})
      if (std::abs(int(a >> sh & 0xFF) - int(b >> sh & 0xFF)) > 1) return false;
    return true;
  };
  ASSERT_EQ(at(80, 35), 0u);
  struct {
    TbsClientInActiveEffect effect;
    uint32_t middle;       // over the square
    bool spreadsThreeOut;  // the square reaches 3 pixels left of it (never 4)
  } cases[] = {
      {bsieSemiTransparent, washed(client), false},
      {bsieBlur, 0u, true},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(int(c.effect));
    sf->ClientInActiveEffect = true;
    sf->ClientInActiveEffectType = c.effect;
    win::SendMessage(form->Handle(), win::WM_NCACTIVATE, 0, 0);
    h.Pump();
    ASSERT_NE(sf->InActivePanel(), nullptr);
    EXPECT_TRUE(near(at(80, 35), c.middle)) << std::hex << at(80, 35);
    EXPECT_EQ(at(57, 35) != client, c.spreadsThreeOut);
    EXPECT_EQ(at(56, 35), client);
    win::SendMessage(form->Handle(), win::WM_NCACTIVATE, 1, 0);
    h.Pump();
    EXPECT_EQ(sf->InActivePanel(), nullptr);
    EXPECT_EQ(at(80, 35), 0u);
    EXPECT_EQ(at(57, 35), client);
  }
}

TEST_F(FormFrame, AnOutOfRangeBackgroundPictureIsNoPicture) {
  skin->BGPictureIndex = 7;
  Show(skin.get());
  form->Repaint();
  EXPECT_EQ(Px(100, 60), Rgb(FrameTestColors(0).Client));
}

TEST_F(FormFrame, CloseButtonHoverPressReleaseOutsideAndClick) {
  Show(skin.get());
  const auto& C = FrameTestColors(0);
  bool closed = false;
  form->OnClose = [&](rtl::TObject*, cl::TCloseAction& a) {
    closed = true;
    a = cl::caHide;
  };
  MoveTo(205, 10);
  h.Advance(120);
  EXPECT_EQ(Px(201, 6), Rgb(C.ButtonHot));
  // Press, leave the button, release over the client: no command.
  h.input.Press();
  EXPECT_EQ(Px(201, 6), Rgb(C.ButtonDown));
  MoveTo(100, 60);
  h.Advance(120);
  h.input.Release();
  h.Pump();
  EXPECT_FALSE(closed);
  EXPECT_EQ(Px(201, 6), Rgb(C.ButtonNormal));
  // While another button holds the press, its neighbour does not light up.
  MoveTo(205, 10);
  h.Advance(120);
  h.input.Press();
  MoveTo(189, 10);
  h.Advance(120);
  EXPECT_EQ(Px(185, 6), Rgb(C.ButtonNormal));
  MoveTo(205, 10);
  h.Advance(120);
  h.input.Release();
  h.Pump();
  EXPECT_TRUE(closed);
}

TEST_F(FormFrame, HoverMorphTakesFiveTicksAndAnimatedStripsStepByTheirInterval) {
  // The close button blends to its hot look in 0.2 steps of 25 ms.
  auto* rec = dynamic_cast<TbsDataSkinStdButton*>(skin->ObjectList[1].get());
  ASSERT_TRUE(rec);
  rec->Morphing = true;
  auto anim = std::make_unique<TbsDataSkinAnimate>("anim");
  anim->SkinRect = {0, 0, 14, 14};
  anim->ActiveSkinRect = {0, 28, 14, 42};
  anim->ActivePictureIndex = 0;
  anim->CountFrames = 3;
  anim->TimerInterval = 100;
  anim->Cycle = true;
  anim->Command = cmDefault;
  skin->ObjectList.push_back(std::move(anim));
  Show(skin.get());
  auto* close = sf->ObjectList[size_t(sf->GetIndex("closebutton"))].get();
  auto* strip = dynamic_cast<TbsSkinAnimateObject*>(sf->ObjectList[size_t(sf->GetIndex("anim"))].get());
  ASSERT_TRUE(strip);
  MoveTo(205, 10);
  h.Advance(60);  // the mouse timer notices the pointer
  ASSERT_TRUE(close->Active);
  std::vector<double> kf;
  for (int i = 0; i < 6; ++i) {
    kf.push_back(close->MorphKf());
    h.Advance(25);
  }
  EXPECT_NEAR(kf.back(), 1.0, 1e-9);
  int ticks = 0;
  while (ticks < 6 && kf[size_t(ticks)] < 1.0 - 1e-9) ++ticks;
  EXPECT_LE(ticks, 5);
  EXPECT_GE(ticks, 4);
  // Leaving fades back to 0; the factor never leaves 0..1.
  MoveTo(100, 60);
  h.Advance(300);
  EXPECT_NEAR(close->MorphKf(), 0.0, 1e-9);
  // An animated strip with a 100 ms interval steps every fourth 25 ms tick.
  strip->Start();
  std::vector<int> frames;
  for (int i = 0; i < 12; ++i) {
    h.Advance(25);
    frames.push_back(strip->FFrame);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 1}));
}

TEST_F(FormFrame, HoverTransitionsDrawTheKindTheSkinNames) {
  // The close button at 0.6 of its way to the hot look, one row without
  // its mark: N normal, H hot, B a blend of both.
  auto* rec = dynamic_cast<TbsDataSkinStdButton*>(skin->ObjectList[1].get());
  ASSERT_TRUE(rec);
  rec->Morphing = true;
  struct {
    TbsMorphKind kind;
    const char* row;
  } cases[] = {
      {mkDefault, "BBBBBBBBBBBBBB"},
      {mkLeftSlide, "HHHHHHHHNNNNNN"},   // 8 columns slide in from the left
      {mkRightSlide, "NNNNNNHHHHHHHH"},  // ... from the right
      {mkPush, "HHHHHHHHHNNNNN"},        // 9 columns push the normal look right
  };
  const auto& C = FrameTestColors(0);
  Show(skin.get());
  for (auto& c : cases) {
    SCOPED_TRACE(int(c.kind));
    rec->MorphKind = c.kind;
    sf->ApplySkinData();
    auto* close = sf->ObjectList[size_t(sf->GetIndex("closebutton"))].get();
    ASSERT_TRUE(close->EnableMorphing());
    close->Active = true;
    close->SetMorphKf(0.6);
    sf->DrawSkinObject(close);
    std::string row;
    for (int x = 0; x < 14; ++x) {
      uint32_t p = Px(close->ObjectRect.Left + x, close->ObjectRect.Top + 1);
      row += p == Rgb(C.ButtonNormal) ? 'N' : p == Rgb(C.ButtonHot) ? 'H' : 'B';
    }
    EXPECT_EQ(row, c.row);
    close->Active = false;
    close->SetMorphKf(0);
  }
}

TEST_F(FormFrame, MinimizingTheMainFormIconifiesAndKeepsTheOwnState) {
  Show(skin.get());
  cl::TForm* main = nullptr;
  cl::Application->CreateForm(main);
  // A secondary form minimizes to a caption strip at the bottom left.
  sf->SetWindowState(cl::wsMinimized);
  EXPECT_EQ(sf->WindowState(), cl::wsMinimized);
  TRect wa = cl::Screen->WorkAreaRect();
  EXPECT_EQ(form->Left(), wa.Left);
  EXPECT_EQ(form->Top() + form->Height(), wa.Bottom);
  EXPECT_EQ(form->Height(), sf->GetMinHeight());
  EXPECT_EQ(Hit(50, 10), win::HTCAPTION);
  sf->SetWindowState(cl::wsNormal);
  EXPECT_EQ(form->BoundsRect(), (TRect{100, 100, 320, 230}));
  // The main form goes to the task bar through the application.
  auto* msf = new TbsSkinForm(main);
  msf->SetSkinData(skin.get());
  main->Show();
  h.Pump();
  msf->SetWindowState(cl::wsMinimized);
  h.Pump();
  EXPECT_EQ(msf->WindowState(), cl::wsNormal);
  EXPECT_TRUE(win::IsIconic(main->Handle()));
  main->Free();
}

TEST_F(FormFrame, MinimizeDefaultIconifiesThatFormAlone) {
  cl::TForm* main = nullptr;
  cl::Application->CreateForm(main);
  main->Show();
  Show(skin.get());
  sf->MinimizeDefault = true;
  sf->SetWindowState(cl::wsMinimized);
  h.Pump();
  EXPECT_TRUE(win::IsIconic(form->Handle()));
  EXPECT_FALSE(win::IsIconic(main->Handle()));
  EXPECT_EQ(sf->WindowState(), cl::wsNormal);
  main->Free();
}

TEST_F(FormFrame, CaptionButtonHintsAreAskedForOnEnteringAndDroppedOnLeaving) {
  auto* hint = new TbsSkinHint(form);
  sf->SetSkinHint(hint);
  sf->ShowObjectHint = true;
  Show(skin.get());
  MoveTo(205, 10);
  h.Advance(60);
  // The hint component waits its pause for "Close" ...
  EXPECT_NE(hint->HintTimer, nullptr);
  EXPECT_EQ(hint->HintText, "Close");
  // ... and drops it when the pointer leaves the button.
  MoveTo(100, 60);
  h.Advance(120);
  EXPECT_EQ(hint->HintTimer, nullptr);
  EXPECT_FALSE(hint->IsVisible());
}

TEST_F(FormFrame, MaximizeButtonUsesTheWorkAreaAndRestores) {
  Show(skin.get());
  MoveTo(189, 10);
  h.Advance(120);
  h.input.Click();
  h.Pump();
  EXPECT_EQ(sf->WindowState(), cl::wsMaximized);
  // The default screen's work area is the whole screen (a task bar that
  // hides itself): a 1-pixel margin stays free.
  TRect wa = cl::Screen->WorkAreaRect();
  EXPECT_EQ(form->BoundsRect(), (TRect{wa.Left + 1, wa.Top + 1, wa.Right - 1, wa.Bottom - 1}));
  EXPECT_NE(Hit(2, 60), win::HTLEFT);  // no sizing while maximized
  sf->SetWindowState(cl::wsNormal);
  EXPECT_EQ(form->BoundsRect(), (TRect{100, 100, 320, 230}));
  // With a task bar that stays, the work area is taken whole.
  win::SetScreens({{TRect{0, 0, 1024, 768}, TRect{0, 0, 1024, 738}}});
  sf->SetWindowState(cl::wsMaximized);
  EXPECT_EQ(form->BoundsRect(), (TRect{0, 0, 1024, 738}));
  sf->SetWindowState(cl::wsNormal);
  win::SetScreens({});
}

TEST_F(FormFrame, MagneticEdgesHoldTheFormUntilThePointerTearsItLoose) {
  using plat::test::Input;
  sf->Magnetic = true;
  Show(skin.get());
  // Caption at screen (160, 110); a drag to a proposed left of 3 sticks at 0,
  // a further 2 pixels keep it there.
  MoveTo(60, 10);
  h.input.Later({Input::MoveEvent(63, 110), Input::MoveEvent(61, 110), Input::ButtonEvent(false, 61, 110)});
  h.input.Press();
  h.Pump();
  EXPECT_EQ(form->Left(), 0);
  // Moving on by more than the magnetic size from where it stuck tears it loose.
  MoveTo(60, 10);  // screen (60, 110)
  h.input.Later({Input::MoveEvent(62, 110), Input::MoveEvent(75, 110), Input::ButtonEvent(false, 75, 110)});
  h.input.Press();
  h.Pump();
  EXPECT_GT(form->Left(), 5);
  // The bottom-right corner of the work area.
  TRect wa = cl::Screen->WorkAreaRect();
  win::RECT r = WinRect();
  MoveTo(60, 10);
  int x = r.Left + 60 + (wa.Right - r.Right) - 2, y = r.Top + 10 + (wa.Bottom - r.Bottom) + 3;
  h.input.Later({Input::MoveEvent(x, y), Input::ButtonEvent(false, x, y)});
  h.input.Press();
  h.Pump();
  EXPECT_EQ(form->Left() + form->Width(), wa.Right);
  EXPECT_EQ(form->Top() + form->Height(), wa.Bottom);
}

TEST_F(FormFrame, FirstShowCentresOnTheWorkArea) {
  sf->PositionInMonitor = bspDesktopCenter;
  Show(skin.get());
  TRect wa = cl::Screen->WorkAreaRect();
  EXPECT_EQ(form->Left(), wa.Left + wa.Width() / 2 - 110);
  EXPECT_EQ(form->Top(), wa.Top + wa.Height() / 2 - 65);
  // Only the first show places it.
  form->SetBounds(10, 10, 220, 130);
  form->Hide();
  form->Show();
  h.Pump();
  EXPECT_EQ(form->Left(), 10);
}

TEST_F(FormFrame, MinimizedSecondaryFormsStackAlongTheBottom) {
  Show(skin.get());
  auto* other = new cl::TForm(nullptr);
  other->SetBounds(300, 300, 200, 120);
  auto* osf = new TbsSkinForm(other);
  osf->SetSkinData(skin.get());
  other->Show();
  h.Pump();
  sf->SetWindowState(cl::wsMinimized);
  osf->SetWindowState(cl::wsMinimized);
  TRect wa = cl::Screen->WorkAreaRect();
  EXPECT_EQ(form->Left(), wa.Left);
  EXPECT_EQ(other->Left(), wa.Left + sf->GetMinWidth());
  EXPECT_EQ(other->Top(), form->Top());
  other->Free();
}

TEST_F(FormFrame, RollUpKeepsTheCaptionAndUnrollsToTheOldHeight) {
  Show(skin.get());
  sf->SetRollUpState(true);
  EXPECT_EQ(form->Height(), sf->GetMinHeight());
  EXPECT_EQ(sf->GetMinHeight(), 80 - 52);
  EXPECT_EQ(Hit(50, 10), win::HTCAPTION);
  EXPECT_EQ(Hit(1, 10), HTOBJECT);
  sf->SetRollUpState(false);
  EXPECT_EQ(form->Height(), 130);
  // Refused without the roll-up icon.
  sf->SetBorderIcons(biSystemMenu);
  sf->SetRollUpState(true);
  EXPECT_FALSE(sf->RollUpState());
}

TEST_F(FormFrame, CaptionDoubleClickRestoresAMaximizedFormThatWasRolledUpBefore) {
  Show(skin.get());
  struct Case {
    bool rollUpFirst, maximize, rollUpWhileMaximized;
    cl::TWindowState state;  // after the double click
    bool rolledUp;
  } cases[] = {
      {false, false, false, cl::wsMaximized, false},
      {false, true, false, cl::wsNormal, false},
      {true, true, false, cl::wsNormal, true},      // rolled up before maximizing: restored to the strip
      {false, true, true, cl::wsMaximized, false},  // unrolls, stays maximized
  };
  for (const Case& c : cases) {
    if (c.rollUpFirst) sf->SetRollUpState(true);
    if (c.maximize) sf->SetWindowState(cl::wsMaximized);
    if (c.rollUpWhileMaximized) sf->SetRollUpState(true);
    h.Pump();
    MoveTo(50, 10);
    // The first press on the caption runs the move loop, which reads its release.
    win::POINT p = h.input.Cursor();
    h.input.Later({plat::test::Input::ButtonEvent(false, p.X, p.Y)});
    h.input.Press();
    h.input.Press();
    h.input.Release();
    EXPECT_EQ(sf->WindowState(), c.state) << c.rollUpFirst << c.maximize << c.rollUpWhileMaximized;
    EXPECT_EQ(sf->RollUpState(), c.rolledUp) << c.rollUpFirst << c.maximize << c.rollUpWhileMaximized;
    if (sf->RollUpState()) sf->SetRollUpState(false);
    if (sf->WindowState() != cl::wsNormal) sf->SetWindowState(cl::wsNormal);
    h.Advance(600);
  }
}

TEST_F(FormFrame, RightClickOnTheCaptionOpensTheSystemMenu) {
  sf->SetBorderIcons(biSystemMenu | biMinimize);
  Show(skin.get());
  MoveTo(60, 10);
  h.input.Click(win::MouseButton::Right);
  h.Pump();
  ASSERT_TRUE(sf->SkinMenu()->Visible());
  EXPECT_TRUE(sf->InMenu());
  EXPECT_TRUE(sf->AppHooked());
  cl::TMenuItem* items = sf->SystemMenuItems();
  ASSERT_EQ(items->Count(), 3);
  EXPECT_EQ(items->Items(0)->Caption, "Mi&nimize");
  EXPECT_EQ(items->Items(1)->Caption, "-");
  EXPECT_EQ(items->Items(2)->Caption, "&Close");
  EXPECT_TRUE(form->Active());
  // Escape leaves the menu and unhooks the application.
  h.input.Key(win::VK_ESCAPE);
  h.Pump();
  EXPECT_FALSE(sf->SkinMenu()->Visible());
  EXPECT_FALSE(sf->InMenu());
  EXPECT_FALSE(sf->AppHooked());
}

TEST_F(FormFrame, AnApplicationSystemMenuGetsTheCommandsAroundItsOwnItems) {
  auto* own = new cl::TPopupMenu(form);
  auto* about = new cl::TMenuItem(own);
  about->Caption = "About";
  own->Items()->Add(about);
  sf->SystemMenu = own;
  sf->SetBorderIcons(biSystemMenu | biMinimize | biMaximize | biRollUp);
  Show(skin.get());
  auto captions = [&] {
    std::vector<std::string> c;
    cl::TMenuItem* items = sf->SystemMenuItems();
    for (int i = 0; i < items->Count(); ++i) c.push_back(items->Items(i)->Caption);
    return c;
  };
  EXPECT_EQ(captions(), (std::vector<std::string>{"Mi&nimize", "Ma&ximize", "Ro&llUp", "About", "&Close"}));
  // Asked again after maximizing: the old commands are replaced, not doubled.
  sf->SetWindowState(cl::wsMaximized);
  EXPECT_EQ(captions(), (std::vector<std::string>{"Mi&nimize", "&Restore", "Ro&llUp", "About", "&Close"}));
  sf->SetWindowState(cl::wsNormal);
}

// The window commands read as the skin's interface texts say; a text the
// skin leaves out keeps its default.
TEST_F(FormFrame, SystemMenuCaptionsAndButtonHintsComeFromTheSkinTexts) {
  auto* strs = new TbsResourceStrData(form);
  strs->SetResStrings({"MI_MINCAPTION=最小化(&N)", "MI_CLOSECAPTION=关闭(&C)", "MI_MAXCAPTION="});
  skin->SetResourceStrData(strs);
  sf->SetBorderIcons(biSystemMenu | biMinimize | biMaximize);
  Show(skin.get());
  std::vector<std::string> c;
  cl::TMenuItem* items = sf->SystemMenuItems();
  for (int i = 0; i < items->Count(); ++i) c.push_back(items->Items(i)->Caption);
  EXPECT_EQ(c, (std::vector<std::string>{"最小化(&N)", "Ma&ximize", "-", "关闭(&C)"}));
  // The caption buttons' hints likewise.
  strs->SetResStrings({"CLOSEBUTTON_HINT=关闭", "RESTORE_HINT=还原"});
  sf->UpdateObjectHints();
  auto* close = dynamic_cast<TbsSkinStdButtonObject*>(sf->ObjectList[size_t(sf->GetIndex("closebutton"))].get());
  ASSERT_TRUE(close);
  EXPECT_EQ(close->Hint, "关闭");
  EXPECT_EQ(close->RestoreHint, "还原");
  EXPECT_EQ(sf->ObjectList[size_t(sf->GetIndex("minbutton"))]->Hint, "Minimize");
  skin->SetResourceStrData(nullptr);
}

// "Minimize to tray" hides the form and shows the linked tray icon; with
// AlwaysMinimizeToTray the minimize command does the same. Without an icon
// the form stays (it could not be brought back).
TEST_F(FormFrame, MinimizeToTrayGoesThroughTheLinkedTrayIcon) {
  sf->SetBorderIcons(biSystemMenu | biMinimize | biMinimizeToTray);
  Show(skin.get());
  auto trayItem = [&] {
    cl::TMenuItem* items = sf->SystemMenuItems();
    for (int i = 0; i < items->Count(); ++i)
      if (items->Items(i)->Name() == "BSF_MINTOTRAY") return items->Items(i);
    return static_cast<cl::TMenuItem*>(nullptr);
  };
  ASSERT_TRUE(trayItem());
  trayItem()->Click();
  h.Pump();
  EXPECT_TRUE(form->Visible());
  auto* tray = new TbsTrayIcon(form);
  sf->SetTrayIcon(tray);
  trayItem()->Click();
  h.Pump();
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(tray->IconVisible());
  form->SetVisible(true);
  tray->SetIconVisible(false);
  h.Pump();
  sf->AlwaysMinimizeToTray = true;
  sf->SetWindowState(cl::wsMinimized);
  h.Pump();
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(tray->IconVisible());
  // The icon going away unlinks it.
  tray->Free();
  EXPECT_EQ(sf->TrayIcon(), nullptr);
}

// ---------------------------------------------------------------------------
// The skin-change protocol.

struct Recorder : TbsSkinControl {
  std::vector<std::string>* log;
  std::string name;
  Recorder(cl::TComponent* o, std::vector<std::string>* l, std::string n) : TbsSkinControl(o), log(l), name(n) {}
  void BeforeChangeSkinData() override {
    log->push_back("before " + name);
    TbsSkinControl::BeforeChangeSkinData();
  }
  void ChangeSkinData() override {
    log->push_back("change " + name);
    TbsSkinControl::ChangeSkinData();
  }
};

TEST_F(FormFrame, SkinChangeWalksParentsBeforeChildrenAndSkipsOtherSkins) {
  Show(skin.get());
  std::vector<std::string> log;
  auto* a = new Recorder(form, &log, "a");
  a->SetParent(form);
  auto* a1 = new Recorder(form, &log, "a1");
  a1->SetParent(a);
  auto* b = new Recorder(form, &log, "b");
  b->SetParent(form);
  auto* other = new Recorder(form, &log, "other");
  other->SetParent(form);
  a->SetSkinData(skin.get());
  a1->SetSkinData(skin.get());
  b->SetSkinData(skin.get());
  other->SetSkinData(skin2.get());
  log.clear();
  std::vector<std::string> events;
  sf->OnBeforeChangeSkinData = [&](rtl::TObject*) { events.push_back("before"); };
  sf->OnChangeSkinData = [&](rtl::TObject*) { events.push_back("change"); };
  sf->OnAfterChangeSkinData = [&](rtl::TObject*) { events.push_back("after"); };
  auto send = [&](unsigned m, TbsSkinData* s) {
    win::SendMessage(form->Handle(), m, win::WPARAM(reinterpret_cast<uintptr_t>(s)), SKIN_MESSAGE_LPARAM);
  };
  send(WM_BEFORE_CHANGE_SKIN_DATA, skin.get());
  EXPECT_TRUE(sf->FStopPainting);
  EXPECT_TRUE(sf->ObjectList.empty());
  send(WM_CHANGE_SKIN_DATA, skin.get());
  send(WM_AFTER_CHANGE_SKIN_DATA, skin.get());
  EXPECT_EQ(log, (std::vector<std::string>{"before a", "before a1", "before b", "change a", "change a1", "change b"}));
  EXPECT_EQ(events, (std::vector<std::string>{"before", "change", "after"}));
  EXPECT_FALSE(sf->FStopPainting);
  EXPECT_FALSE(sf->ObjectList.empty());
  // Another skin: only its controls; the frame stays; the after event still fires.
  log.clear();
  events.clear();
  send(WM_BEFORE_CHANGE_SKIN_DATA, skin2.get());
  send(WM_CHANGE_SKIN_DATA, skin2.get());
  send(WM_AFTER_CHANGE_SKIN_DATA, skin2.get());
  EXPECT_EQ(log, (std::vector<std::string>{"change other"}));
  EXPECT_EQ(events, (std::vector<std::string>{"after"}));
  EXPECT_EQ(sf->SkinData(), skin.get());
}

// The caption text's glow (plain or the wide one) in a colour of the skin's
// puts that colour around the text.
TEST_F(FormFrame, CaptionTextGlowLooks) {
  form->SetCaption("WWWWWW");
  Show(skin.get());
  auto* cap = dynamic_cast<TbsSkinCaptionObject*>(sf->ObjectList[size_t(sf->GetIndex("caption"))].get());
  ASSERT_TRUE(cap);
  const TColor green = 0x0000FF00;
  // How much green stands out over red and blue, summed over the caption.
  auto greenPixels = [&] {
    win::SendMessage(form->Handle(), win::WM_NCPAINT, 0, 0);
    int n = 0;
    for (int y = 2; y < 22; ++y)
      for (int x = 4; x < 68; ++x) {
        uint32_t p = Px(x, y);  // 0x00RRGGBB
        int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        n += std::max(0, g - std::max(r, b));
      }
    return n;
  };
  const int plain = greenPixels();
  struct Case {
    const char* name;
    bool glow, vista;
  } cases[] = {{"glow", true, false}, {"wide glow", false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cap->GlowEffect = c.glow;
    cap->VistaGlowEffect = c.vista;
    cap->GlowSize = 3;
    cap->GlowActiveColor = green;
    EXPECT_GT(greenPixels(), plain + 200);
  }
}

// A reflection reaches below the caption object into the band under it; the
// frame picture lies behind the text, growing with it or spanning the whole
// caption.
TEST_F(FormFrame, CaptionTextReflectionAndFramePicture) {
  form->SetCaption("WWWWWW");
  Show(skin.get());
  auto* cap = dynamic_cast<TbsSkinCaptionObject*>(sf->ObjectList[size_t(sf->GetIndex("caption"))].get());
  ASSERT_TRUE(cap);
  const TColor green = 0x0000FF00;
  auto greenIn = [&](int y0, int y1, int x0, int x1) {
    win::SendMessage(form->Handle(), win::WM_NCPAINT, 0, 0);
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        uint32_t p = Px(x, y);
        int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        n += std::max(0, g - std::max(r, b));
      }
    return n;
  };
  // The text-only look is drawn straight onto the band, so the reflection
  // shows also below the caption object; it takes precedence over a glow.
  const int below = cap->ObjectRect.Bottom;
  const int plain = greenIn(below - 4, 24, 4, 68);
  for (bool withGlow : {false, true}) {
    SCOPED_TRACE(withGlow ? "with a glow set" : "alone");
    cap->ReflectionEffect = true;
    cap->ReflectionActiveColor = green;
    cap->VistaGlowEffect = withGlow;
    cap->GlowActiveColor = 0x00FF0000;
    EXPECT_GT(greenIn(below - 4, below, 4, 68), plain + 1000);
    EXPECT_GT(greenIn(below, 24, 4, 68), 500);
  }
  cap->ReflectionEffect = cap->VistaGlowEffect = false;

  // The frame picture: a 20 x 16 green plate whose text area is inset by 4.
  TBitmap plate;
  plate.SetSize(20, 16);
  plate.Canvas()->Brush()->SetColor(green);
  plate.Canvas()->FillRect(TRect{0, 0, 20, 16});
  cap->ActivePicture = &plate;
  cap->FrameRect = cap->ActiveFrameRect = TRect{0, 0, 20, 16};
  cap->FrameTextRect = TRect{4, 4, 16, 12};
  cap->FrameLeftOffset = cap->FrameRightOffset = 2;
  auto greenColumns = [&] {
    win::SendMessage(form->Handle(), win::WM_NCPAINT, 0, 0);
    int first = -1, last = -1;
    for (int x = 0; x < 220; ++x) {
      uint32_t p = Px(x, 12);
      if (p == 0x00FF00) {
        if (first < 0) first = x;
        last = x;
      }
    }
    return std::pair{first, last};
  };
  struct Case {
    const char* name;
    bool full;
    std::string caption;
  } cases[] = {{"grows with a short text", false, "W"},
               {"grows with a long text", false, "WWWW"},
               {"spans the caption", true, "W"}};
  int shortWidth = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cap->FullFrame = c.full;
    form->SetCaption(c.caption);
    auto [first, last] = greenColumns();
    ASSERT_GE(first, 0);
    if (c.full) {
      // From the caption's left edge plus the buttons' offset to its right edge less it.
      EXPECT_EQ(first, cap->ObjectRect.Left + 2);
      EXPECT_EQ(last, cap->ObjectRect.Right - 2 - 1);
    } else {
      EXPECT_GE(first, cap->ObjectRect.Left);
      if (shortWidth == 0)
        shortWidth = last - first;
      else
        EXPECT_GT(last - first, shortWidth);
    }
  }
  cap->ActivePicture = nullptr;
  cap->FrameRect = TRect{};
}

// On activation the caption steps through its frames (one per interval on
// the manual clock) with the text still in the inactive colour; past the
// last frame the frame's own band and the active colour come back.
TEST_F(FormFrame, CaptionActivationFramesKeepTheOldTextColourUntilTheLastFrame) {
  form->SetCaption("WWWW");
  Show(skin.get());
  auto* cap = dynamic_cast<TbsSkinCaptionObject*>(sf->ObjectList[size_t(sf->GetIndex("caption"))].get());
  ASSERT_TRUE(cap);
  const TColor f1 = 0x00000080, f2 = 0x00008000;
  TBitmap strip;
  strip.SetSize(2 * 64, 20);
  strip.Canvas()->Brush()->SetColor(f1);
  strip.Canvas()->FillRect(TRect{0, 0, 64, 20});
  strip.Canvas()->Brush()->SetColor(f2);
  strip.Canvas()->FillRect(TRect{64, 0, 128, 20});
  cap->ActivePicture = &strip;
  cap->AnimateSkinRect = TRect{0, 0, 128, 20};
  cap->FrameCount = 2;
  cap->AnimateInterval = 50;
  auto* other = new cl::TForm(form);
  other->SetBounds(400, 400, 100, 80);
  other->Show();
  win::SetActiveWindow(other->Handle());
  h.Pump();
  const int bx = cap->ObjectRect.Right - 3, by = cap->ObjectRect.Top + 1;  // band, beside the text
  const int tx = cap->ObjectRect.Left + cap->TextRct.Left + 2, ty = 12;    // inside the text
  const auto& C = FrameTestColors(0);
  EXPECT_EQ(Px(bx, by), Rgb(C.InactiveCaption));
  win::SetActiveWindow(form->Handle());
  h.Pump();
  std::vector<uint32_t> bands, texts;
  for (int i = 0; i < 400 && (bands.empty() || bands.back() != Rgb(C.Caption)); ++i) {
    h.Advance(5);
    uint32_t b = Px(bx, by);
    if (bands.empty() || bands.back() != b) {
      bands.push_back(b);
      texts.push_back(Px(tx, ty));
    }
  }
  ASSERT_EQ(bands.size(), 3u);
  EXPECT_EQ(bands[0], Rgb(f1));
  EXPECT_EQ(bands[1], Rgb(f2));
  EXPECT_EQ(bands[2], Rgb(C.Caption));
  for (int i = 0; i < 2; ++i) EXPECT_EQ(texts[size_t(i)], Rgb(cap->FontColor)) << "frame " << i + 1;
  EXPECT_EQ(texts[2], Rgb(cap->ActiveFontColor));
  cap->ActivePicture = nullptr;
  cap->AnimateSkinRect = TRect{};
}

// Quick buttons at the caption's left: laid out from the image list, out of
// the caption's drag area, lit and hinted under the pointer, pressed, and
// clicked on release with the caption object as sender.
TEST_F(FormFrame, QuickButtonsHoverPressClickAndHints) {
  auto& images = *new cl::TImageList(form);
  images.SetSize(12, 12);
  for (TColor c : {TColor(0x000000FF), TColor(0x00FF0000)}) {
    TBitmap b;
    b.SetSize(12, 12);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(TRect{0, 0, 12, 12});
    images.Add(&b, nullptr);
  }
  // A tool-button record gives the lit button its background (the hot look).
  auto rec = std::make_unique<TbsDataSkinButtonControl>("resizetoolbutton");
  rec->PictureIndex = 0;
  rec->SkinRect = TRect{0, 0, 14, 14};
  rec->ActiveSkinRect = TRect{14, 28, 28, 42};
  rec->DownSkinRect = TRect{28, 28, 42, 42};
  rec->ClRect = TRect{1, 1, 13, 13};
  skin->CtrlList.push_back(std::move(rec));
  auto* hint = new TbsSkinHint(form);
  sf->SetSkinHint(hint);
  sf->QuickButtonsShowHint = true;
  rtl::TObject* sender = nullptr;
  int clicks = 0;
  TbsQuickButtonItem* items[3];
  for (int i = 0; i < 3; ++i) {
    items[i] = sf->QuickButtons()->Add();
    items[i]->SetImageIndex(i < 2 ? i : 0);
    items[i]->Hint = i == 0 ? "Open" : i == 1 ? "Save" : "";
  }
  // The second button is hidden: the third takes its place, the text keeps
  // the room of all three.
  items[1]->SetVisible(false);
  items[2]->OnClick = [&](rtl::TObject* s) {
    sender = s;
    ++clicks;
  };
  sf->SetQuickImageList(&images);
  Show(skin.get());
  auto* cap = dynamic_cast<TbsSkinCaptionObject*>(sf->ObjectList[size_t(sf->GetIndex("caption"))].get());
  ASSERT_TRUE(cap);
  win::SendMessage(form->Handle(), win::WM_NCPAINT, 0, 0);
  const TRect cr = cap->ObjectRect;
  EXPECT_EQ(items[0]->ItemRect,
            (TRect{cr.Left, cr.Top + cr.Height() / 2 - 8, cr.Left + 16, cr.Top + cr.Height() / 2 + 8}));
  EXPECT_EQ(items[2]->ItemRect.Left, cr.Left + 20);
  EXPECT_EQ(cap->TextRect().Left, cap->TextRct.Left + 3 * 20);
  const int bx = items[0]->ItemRect.Left, by = items[0]->ItemRect.Top;
  // The image is drawn centred in its rectangle.
  EXPECT_EQ(Px(bx + 8, by + 8), 0xFF0000u);
  // Buttons are pressed, not dragged; the caption beyond them still drags.
  EXPECT_EQ(Hit(bx + 8, by + 8), HTOBJECT);
  EXPECT_EQ(Hit(cr.Left + 3 * 20 + 4, by + 8), win::HTCAPTION);

  const auto& C = FrameTestColors(0);
  MoveTo(bx + 8, by + 8);
  h.Advance(120);
  MoveTo(bx + 9, by + 8);
  EXPECT_TRUE(items[0]->Active);
  EXPECT_EQ(cap->ActiveQuickButton, 0);
  EXPECT_EQ(hint->HintText, "Open");
  EXPECT_EQ(Px(bx + 1, by + 1), Rgb(C.ButtonHot));
  // Onto the third button (no hint of its own), then off all buttons.
  MoveTo(items[2]->ItemRect.Left + 8, by + 8);
  EXPECT_TRUE(items[2]->Active);
  EXPECT_FALSE(items[0]->Active);
  MoveTo(cr.Left + 100, by + 8);
  h.Advance(120);
  EXPECT_EQ(cap->ActiveQuickButton, -1);
  EXPECT_FALSE(items[2]->Active);
  EXPECT_FALSE(hint->IsVisible());
  EXPECT_EQ(hint->HintTimer, nullptr);

  // Press on the first button: down look, hint dropped; release elsewhere
  // on the caption: no click.
  MoveTo(bx + 8, by + 8);
  h.Advance(120);
  MoveTo(bx + 9, by + 8);
  h.input.Press();
  EXPECT_TRUE(items[0]->Down);
  EXPECT_EQ(Px(bx + 1, by + 1), Rgb(C.ButtonDown));
  EXPECT_EQ(hint->HintTimer, nullptr);
  // Release over the third button fires its click with the caption as sender.
  MoveTo(items[2]->ItemRect.Left + 8, by + 8);
  h.input.Release();
  h.Pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(sender, cap);
  EXPECT_FALSE(items[0]->Down);
  EXPECT_FALSE(items[2]->Down);
}

// A built-in skin whose top edge carries a one-colour accent line: the line
// runs the whole width of the form at every size, over the caption buttons'
// corner too.
TEST_F(FormFrame, TopAccentLineReachesTheRightEdgeAfterAResize) {
  auto skins = MakeOwned<TbsCompressedSkinList>(nullptr);
  ASSERT_EQ(LoadBuiltinSkins(*skins), kBuiltinSkinCount);
  auto green = MakeOwned<TbsSkinData>(nullptr);
  green->SetSkinList(skins.get());
  green->SetSkinIndex(1);
  ASSERT_FALSE(green->Empty);
  Show(green.get());
  for (auto [w, h2] : {std::pair{420, 260}, {520, 320}, {300, 200}}) {
    SCOPED_TRACE(w);
    form->SetBounds(100, 100, w, h2);
    h.Pump();
    win::SendMessage(form->Handle(), win::WM_NCPAINT, 0, 0);
    const uint32_t line = Px(w / 2, 1);
    int first = -1;
    for (int x = 2; x < w - 2; ++x)
      if (Px(x, 1) != line) {
        first = x;
        break;
      }
    EXPECT_EQ(first, -1) << "the line ends at x = " << first << " of " << w;
  }
  form->Free();
  form = nullptr;
}

TEST_F(FormFrame, LibraryMessageAnswers) {
  Show(skin.get());
  win::HWND f = form->Handle();
  EXPECT_EQ(win::SendMessage(f, WM_QUERY_SKINNABLE, 0, 0), FORM_SKINNABLE);
  EXPECT_EQ(win::SendMessage(f, CM_PAINT_FRAME_TO_DC, 0, 0), 0);
  EXPECT_EQ(win::SendMessage(f, WM_PAINT_FRAME_TO_DC2, 0, 5), 0);
  gfx::TBitmap b;
  b.SetSize(220, 130);
  EXPECT_EQ(win::SendMessage(f, CM_PAINT_FRAME_TO_DC, win::WPARAM(b.Canvas()->Handle().v), 0), FRAME_PAINTED);
  EXPECT_EQ(Rgb(b.Canvas()->Pixels(100, 3)), Rgb(FrameTestColors(0).Caption));
  sf->SetSkinnableForm(false);
  EXPECT_EQ(win::SendMessage(f, WM_QUERY_SKINNABLE, 0, 0), FORM_NOT_SKINNABLE);
}

TEST_F(FormFrame, MinimumSizeAndTrackLimits) {
  form->SetBounds(100, 100, 60, 20);
  Show(skin.get());
  EXPECT_EQ(form->Width(), 120);
  EXPECT_EQ(form->Height(), 28);
  win::MINMAXINFO mi{};
  win::SendMessage(form->Handle(), win::WM_GETMINMAXINFO, 0, reinterpret_cast<win::LPARAM>(&mi));
  EXPECT_EQ(mi.ptMinTrackSize.X, 120);
  EXPECT_EQ(mi.ptMinTrackSize.Y, 28);
  EXPECT_EQ(mi.ptMaxTrackSize.X, cl::Screen->WorkAreaRect().Width());
  skin->FormMinWidth = 150;
  EXPECT_EQ(sf->GetMinWidth(), 150);
  sf->MinWidth = 200;
  EXPECT_EQ(sf->GetMinWidth(), 200);
}

TEST_F(FormFrame, CaptionDragMovesAndEdgeDragResizesThroughTheLayersLoop) {
  Show(skin.get());
  using plat::test::Input;
  // The move/size loop reads the rest of the drag itself.
  MoveTo(60, 10);
  h.input.Later({Input::MoveEvent(140, 120), Input::MoveEvent(190, 130), Input::ButtonEvent(false, 190, 130)});
  h.input.Press();
  h.Pump();
  EXPECT_EQ(form->Left(), 130);
  EXPECT_EQ(form->Top(), 120);
  EXPECT_FALSE(sf->FSizeMove);
  MoveTo(216, 126);  // screen (346, 246), inside the cut corner
  h.input.Later({Input::MoveEvent(370, 260), Input::MoveEvent(386, 266), Input::ButtonEvent(false, 386, 266)});
  h.input.Press();
  h.Pump();
  EXPECT_EQ(form->Width(), 260);
  EXPECT_EQ(form->Height(), 150);
  // The frame and the region follow the new size.
  EXPECT_EQ(sf->NewClRect, (TRect{4, 24, 256, 146}));
  EXPECT_FALSE(gfx::PtInRegion(sf->FormRegion(), 259, 149));
  EXPECT_TRUE(gfx::PtInRegion(sf->FormRegion(), 255, 145));
  EXPECT_EQ(Px(258, 60), Rgb(FrameTestColors(0).Right));
}

// ---------------------------------------------------------------------------
// Alpha and fade-in.

class FormAlpha : public FormFrame {
 public:
  bool Layered() { return win::GetWindowLong(form->Handle(), win::GWL_EXSTYLE) & win::WS_EX_LAYERED; }
  int Alpha() {
    uint8_t a = 0;
    gfx::COLORREF k = 0;
    win::DWORD f = 0;
    win::GetLayeredWindowAttributes(form->Handle(), &k, &a, &f);
    return a;
  }
  // The alphas the fade sets, tick by tick, until it ends.
  std::vector<int> Run() {
    std::vector<int> seen;
    for (int i = 0; i < 400 && (sf->Fading() || seen.empty()); ++i) {
      h.Advance(1);
      int a = sf->FadeAlpha();
      if (a > 0 && (seen.empty() || seen.back() != a)) seen.push_back(a);
    }
    return seen;
  }
};

TEST_F(FormAlpha, WithoutACompositorFormsShowAtOnceAndOpaque) {
  sf->SetAlphaBlend(true);
  sf->AlphaBlendAnimation = true;
  Show(skin.get());
  h.Advance(50);
  EXPECT_FALSE(Layered());
  EXPECT_FALSE(sf->Fading());
  EXPECT_FALSE(sf->IsLayerBorderUsable());
}

TEST_F(FormAlpha, FadeStepsAreTimerStateAndEndAtTheTarget) {
  win::SetCompositorPresent(true);
  struct Case {
    bool blend;
    int value, step, last;
    bool layeredAfter;
  } cases[] = {{false, 200, 17, 255, false}, {true, 150, 10, 150, true}, {true, 10, 1, 10, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    form->Hide();
    h.Pump();
    sf->SetAlphaBlendValue(uint8_t(c.value));
    sf->SetAlphaBlend(c.blend);
    sf->AlphaBlendAnimation = true;
    Show(skin.get());
    EXPECT_TRUE(Layered());
    EXPECT_EQ(Alpha(), 0);
    std::vector<int> seen = Run();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), c.step);
    EXPECT_EQ(seen.back(), c.last);
    EXPECT_FALSE(sf->Fading());
    EXPECT_EQ(Layered(), c.layeredAfter);
    if (c.layeredAfter) EXPECT_EQ(Alpha(), c.last);
  }
  // Without animation the first tick jumps to the value.
  form->Hide();
  h.Pump();
  sf->AlphaBlendAnimation = false;
  sf->SetAlphaBlendValue(200);
  Show(skin.get());
  h.Advance(5);
  EXPECT_EQ(Alpha(), 200);
  EXPECT_FALSE(sf->Fading());
}

// Where a compositor runs the layered border fades in with the form and
// ends at its own alpha.
TEST_F(FormAlpha, TheLayeredBorderFadesInWithTheForm) {
  win::SetCompositorPresent(true);
  AddLayerFrame(skin.get(), true);
  sf->AlphaBlendAnimation = true;
  Show(skin.get());
  TbsFormLayerBorder* b = sf->BorderLayer();
  ASSERT_TRUE(b->Visible());
  EXPECT_EQ(b->FCurrentAlphaBlendValue, 0);
  std::vector<int> border;
  for (int i = 0; i < 400 && (sf->Fading() || border.empty()); ++i) {
    h.Advance(1);
    if (border.empty() || border.back() != b->FCurrentAlphaBlendValue) border.push_back(b->FCurrentAlphaBlendValue);
  }
  EXPECT_GT(border.size(), 3u);
  EXPECT_TRUE(std::is_sorted(border.begin(), border.end()));
  EXPECT_EQ(border.back(), 200);  // the frame's own value at full form alpha
}

// Without a form fade the form shows at once, opaque, and its layered
// border fades in alone: a fifteenth of its value (at least 1) per step,
// a step only after more than 5 ms, ending at the value; a hide cuts the
// fade short and leaves the value whole for the next show.
TEST_F(FormAlpha, TheLayeredBorderFadesInAloneWhenTheFormDoesNot) {
  win::SetCompositorPresent(true);
  AddLayerFrame(skin.get(), true);
  struct Case {
    int value, step;
  } cases[] = {{200, 13}, {10, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    form->Hide();
    h.Pump();
    skin->LayerFrame.AlphaBlendValue = c.value;
    Show(skin.get());
    TbsFormLayerBorder* b = sf->BorderLayer();
    h.Advance(1);
    EXPECT_FALSE(Layered());
    ASSERT_TRUE(b->Visible());
    ASSERT_TRUE(b->Fading());
    std::vector<int> alphas{b->FCurrentAlphaBlendValue};
    std::vector<uint32_t> when{win::GetTickCount()};
    for (int i = 0; i < 2000 && b->Fading(); ++i) {
      h.Advance(1);
      if (alphas.empty() || alphas.back() != b->FCurrentAlphaBlendValue) {
        alphas.push_back(b->FCurrentAlphaBlendValue);
        when.push_back(win::GetTickCount());
      }
    }
    EXPECT_FALSE(b->Fading());
    ASSERT_GE(alphas.size(), 3u);
    EXPECT_EQ(alphas[0], 0);
    EXPECT_EQ(alphas[1], c.step);
    EXPECT_EQ(alphas.back(), c.value);
    EXPECT_TRUE(std::is_sorted(alphas.begin(), alphas.end()));
    for (size_t i = 2; i < when.size(); ++i) EXPECT_GT(when[i] - when[i - 1], 5u) << "step " << i;
  }
  // Hidden halfway: the fade stops, the value is whole again.
  form->Hide();
  h.Pump();
  skin->LayerFrame.AlphaBlendValue = 200;
  Show(skin.get());
  h.Advance(20);
  TbsFormLayerBorder* b = sf->BorderLayer();
  ASSERT_TRUE(b->Fading());
  form->Hide();
  h.Pump();
  EXPECT_FALSE(b->Fading());
  EXPECT_FALSE(b->Visible());
  EXPECT_EQ(b->FCurrentAlphaBlendValue, 200);
}

TEST_F(FormAlpha, AFormFreedDuringItsFadeIsNeverTouchedAgain) {
  win::SetCompositorPresent(true);
  sf->AlphaBlendAnimation = true;
  Show(skin.get());
  h.Advance(20);
  ASSERT_TRUE(sf->Fading());
  form->Free();
  form = nullptr;
  h.Advance(200);
  EXPECT_TRUE(h.exceptions.empty());
}

TEST_F(FormAlpha, LookupFindsTheFirstSkinComponent) {
  EXPECT_EQ(GetSkinFormComponent(form), sf);
  EXPECT_EQ(GetSkinFormComponent(nullptr), nullptr);
  // A shadow has no X11 counterpart: the setting is kept, nothing is drawn.
  win::SetCompositorPresent(true);
  sf->EnableShadow(true, false);
  EXPECT_TRUE(sf->HaveShadow());
}

// ---------------------------------------------------------------------------
// Glow windows of the caption buttons.

class CaptionGlow : public FormAlpha {
 public:
  static constexpr TColor kGlow = TColor(0x30C060);
  // Active pictures 2 (the glow, 20 x 20) and 3 (its mask: the left quarter
  // black, transparent) given to the record id.
  void AddGlow(const std::string& id) {
    auto image = std::make_unique<TBitmap>();
    image->SetSize(20, 20);
    image->Canvas()->Brush()->SetColor(kGlow);
    image->Canvas()->FillRect(TRect{0, 0, 20, 20});
    auto mask = std::make_unique<TBitmap>();
    mask->SetSize(20, 20);
    mask->Canvas()->Brush()->SetColor(gfx::clWhite);
    mask->Canvas()->FillRect(TRect{0, 0, 20, 20});
    mask->Canvas()->Brush()->SetColor(gfx::clBlack);
    mask->Canvas()->FillRect(TRect{0, 0, 5, 20});
    skin->FActivePictures.resize(2);
    skin->FActivePictures.push_back(std::move(image));
    skin->FActivePictures.push_back(std::move(mask));
    for (auto& o : skin->ObjectList)
      if (o->IDName == id) {
        o->GlowLayerPictureIndex = 2;
        o->GlowLayerMaskPictureIndex = 3;
        o->GlowLayerOffsetX = 3;
        o->GlowLayerOffsetY = 4;
        o->GlowLayerAlphaBlendValue = 200;
      }
  }
  void Hover(const std::string& id) {
    TRect r = Rect(id);
    MoveTo((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    h.Advance(60);  // the mouse timer notices the pointer
  }
  uint32_t GlowPixel(TbsLayerManager* m, int x, int y) {
    gfx::HBITMAP backing = win::BackingImage(m->LayerWindow->Handle());
    return reinterpret_cast<uint32_t*>(gfx::BitmapScanLine(backing, y))[x];
  }
};

TEST_F(CaptionGlow, TheHoveredButtonShowsItsGlowAroundItUntilThePointerOrTheActivationGoes) {
  win::SetCompositorPresent(true);
  AddGlow("closebutton");
  Show(skin.get());
  TbsLayerManager* m = sf->LayerManager();
  Hover("closebutton");
  ASSERT_TRUE(m->IsVisible);
  EXPECT_FALSE(sf->MenuLayerManager()->IsVisible);
  // Placed by the offsets left of and above the button on the screen.
  TRect r = Rect("closebutton");
  win::RECT w = WinRect();
  EXPECT_EQ(m->LayerWindow->BoundsRect(),
            (TRect{w.Left + r.Left - 3, w.Top + r.Top - 4, w.Left + r.Left + 17, w.Top + r.Top + 16}));
  // The glow picture with its mask's alpha, faded in to the record's value.
  h.Advance(400);
  EXPECT_EQ(GlowPixel(m, 10, 10), 0xFF000000u | Rgb(kGlow));
  EXPECT_EQ(GlowPixel(m, 2, 10), Rgb(kGlow));
  EXPECT_EQ(m->BeginAlphaBlendValue, 200);
  // Into the client: gone.
  MoveTo(100, 60);
  h.Advance(60);
  EXPECT_FALSE(m->IsVisible);
  // Back, then the form deactivates: gone too.
  Hover("closebutton");
  ASSERT_TRUE(m->IsVisible);
  win::SendMessage(form->Handle(), win::WM_NCACTIVATE, 0, 0);
  h.Pump();
  EXPECT_FALSE(m->IsVisible);
}

TEST_F(CaptionGlow, NoGlowWithoutItsPicturesTheSkinsConsentOrLayeredWindows) {
  AddGlow("closebutton");
  struct {
    const char* what;
    int mask;
    bool skinAllows, compositor, shows;
  } cases[] = {
      {"all there", 3, true, true, true},
      {"no mask", -1, true, true, false},
      {"a mask index past the pictures", 9, true, true, false},
      {"the skin turns glow frames off", 3, false, true, false},
      {"no compositor", 3, true, false, false},
  };
  Show(skin.get());
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (auto& o : skin->ObjectList)
      if (o->IDName == "closebutton") o->GlowLayerMaskPictureIndex = c.mask;
    skin->SetShowCaptionButtonGlowFrames(c.skinAllows);
    win::SetCompositorPresent(c.compositor);
    sf->ApplySkinData();
    MoveTo(100, 60);
    h.Advance(60);
    Hover("closebutton");
    ASSERT_TRUE(sf->ObjectList[size_t(sf->GetIndex("closebutton"))]->Active);
    EXPECT_EQ(sf->LayerManager()->IsVisible, c.shows);
    EXPECT_EQ(bool(sf->LayerManager()->LayerWindow), c.shows);
  }
}

TEST_F(CaptionGlow, AButtonWithAMenuKeepsItsGlowWhileTheMenuIsOpen) {
  win::SetCompositorPresent(true);
  auto rec = std::make_unique<TbsDataSkinButton>("menubutton");
  rec->SkinRect = {30, 5, 44, 19};
  // In place of the caption text, which would take the press as a drag.
  skin->ObjectList.erase(skin->ObjectList.begin());
  skin->ObjectList.push_back(std::move(rec));
  AddGlow("menubutton");
  auto* menu = new cl::TPopupMenu(form);
  auto* item = new cl::TMenuItem(menu);
  item->Caption = "Item";
  menu->Items()->Add(item);
  Show(skin.get());
  sf->LinkMenu("menubutton", menu, false);
  TbsLayerManager* glow = sf->LayerManager();
  TbsLayerManager* menuGlow = sf->MenuLayerManager();
  Hover("menubutton");
  ASSERT_TRUE(menuGlow->IsVisible);
  EXPECT_FALSE(glow->IsVisible);
  h.input.Press();
  h.input.Release();
  h.Pump();
  ASSERT_TRUE(sf->SkinMenu()->Visible());
  EXPECT_TRUE(menuGlow->IsVisible);
  // The pointer goes into the menu: the button stays lit.
  MoveTo(100, 60);
  h.Advance(120);
  EXPECT_TRUE(menuGlow->IsVisible);
  h.input.Key(win::VK_ESCAPE);
  h.Pump();
  EXPECT_FALSE(sf->SkinMenu()->Visible());
  EXPECT_FALSE(menuGlow->IsVisible);
  EXPECT_FALSE(glow->IsVisible);
}

// ---------------------------------------------------------------------------
// The layered border.

// A 40 x 30 layer picture (a soft frame) around a form rectangle at
// (10, 8, 30, 22), handles 6 / 5 / 6 / 5 wide, and its mask.
void AddLayerFrame(TbsSkinData* s, bool withMask) {
  auto pic = std::make_unique<gfx::TBitmap>();
  pic->SetSize(40, 30);
  pic->Canvas()->Brush()->SetColor(0x404040);
  pic->Canvas()->FillRect(TRect{0, 0, 40, 30});
  auto mask = std::make_unique<gfx::TBitmap>();
  mask->SetSize(40, 30);
  mask->Canvas()->Brush()->SetColor(0x808080);  // half transparent
  mask->Canvas()->FillRect(TRect{0, 0, 40, 30});
  s->FActivePictures.push_back(std::move(pic));
  int p = int(s->FActivePictures.size()) - 1;
  if (withMask) s->FActivePictures.push_back(std::move(mask));
  TbsDataSkinLayerFrame& f = s->LayerFrame;
  f.PictureIndex = p;
  f.MaskPictureIndex = withMask ? p + 1 : -1;
  f.LTPoint = {10, 8};
  f.RTPoint = {30, 8};
  f.LBPoint = {10, 22};
  f.RBPoint = {30, 22};
  f.ClRect = {10, 8, 30, 22};
  f.BorderRect = {4, 3, 36, 27};
  f.AlphaBlendValue = 200;
  f.InActiveAlphaBlendValue = 128;
  f.HitTestEnable = true;
}

TEST_F(FormFrame, LayerBorderImagesBoundsAndAlpha) {
  AddLayerFrame(skin.get(), true);
  Show(skin.get());
  TbsFormLayerBorder* b = sf->BorderLayer();
  ASSERT_TRUE(b->Data());
  EXPECT_FALSE(b->Visible());  // no compositor here: never shown
  EXPECT_EQ(b->LeftSize, 6);
  EXPECT_EQ(b->TopSize, 5);
  EXPECT_EQ(b->RightSize, 6);
  EXPECT_EQ(b->BottomSize, 5);
  // The border is the form grown by the picture's margins.
  EXPECT_EQ(b->BoundsFor(TRect{100, 100, 320, 230}), (TRect{90, 92, 330, 238}));
  b->CreateBorderImages(240, 146);
  EXPECT_EQ(b->TopImage->Width(), 240);
  EXPECT_EQ(b->TopImage->Height(), 8);
  EXPECT_EQ(b->BottomImage->Height(), 8);
  EXPECT_EQ(b->LeftImage->Width(), 10);
  EXPECT_EQ(b->LeftImage->Height(), 146 - 16);
  EXPECT_EQ(b->RightImage->Width(), 10);
  // Alpha from the mask: (128 * 3) / 3.
  EXPECT_EQ(int(b->LeftImage->ScanLine(5)[3] >> 24), 128);
  // No room between top and bottom: no side images.
  b->CreateBorderImages(240, 16);
  EXPECT_TRUE(b->LeftImage->Empty());
  EXPECT_TRUE(b->RightImage->Empty());
  // The form's alpha scales both alphas: 200 x 128 / 255 = 100.39.
  b->CheckFormAlpha(128, false);
  EXPECT_EQ(b->FCurrentAlphaBlendValue, 100);
  EXPECT_EQ(b->FCurrentInActiveAlphaBlendValue, 64);
  EXPECT_EQ(ScaleAlpha(255, 255), 255);
  EXPECT_EQ(ScaleAlpha(200, 0), 0);
}

TEST_F(FormFrame, LayerBorderWithoutAMaskIsOpaqueInsteadOfACrash) {
  AddLayerFrame(skin.get(), false);
  Show(skin.get());
  TbsFormLayerBorder* b = sf->BorderLayer();
  ASSERT_TRUE(b->Data());
  b->CreateBorderImages(100, 60);
  EXPECT_EQ(int(b->TopImage->ScanLine(2)[2] >> 24), 255);
  // A mask index beyond the list is the same as none.
  skin->LayerFrame.MaskPictureIndex = 99;
  b->InitFrame(skin.get());
  b->CreateBorderImages(100, 60);
  EXPECT_EQ(int(b->TopImage->ScanLine(2)[2] >> 24), 255);
}

TEST_F(FormFrame, LayerBorderFollowsTheFormWhereACompositorRuns) {
  ShowWithLayeredBorder();
  TbsFormLayerBorder* b = sf->BorderLayer();
  ASSERT_TRUE(b->Visible());
  ASSERT_TRUE(b->TopBorder && b->BottomBorder && b->LeftBorder && b->RightBorder);
  win::RECT r{};
  win::GetWindowRect(b->TopBorder->Handle(), &r);
  EXPECT_EQ(r.Left, 90);
  EXPECT_EQ(r.Top, 92);
  EXPECT_EQ(r.Right - r.Left, 240);
  // The form moves and grows: the windows follow.
  form->SetBounds(150, 120, 260, 140);
  h.Pump();
  win::GetWindowRect(b->RightBorder->Handle(), &r);
  EXPECT_EQ(r.Left, 140 + 280 - 10);
  EXPECT_EQ(r.Top, 112 + 8);
  // The right handle sizes the form: one step per pointer move.
  h.input.MoveTo(410 + 3, 200);
  h.input.Press();
  h.input.MoveTo(410 + 23, 200);
  h.input.MoveTo(410 + 33, 205);
  h.input.Release();
  h.Pump();
  EXPECT_EQ(form->Width(), 290);
  EXPECT_EQ(form->Left(), 150);
  win::GetWindowRect(b->RightBorder->Handle(), &r);
  EXPECT_EQ(r.Left, 150 + 290);
  form->Hide();
  h.Pump();
  EXPECT_FALSE(b->Visible());
}

TEST(LayerBorder, HitModesPerSideWindow) {
  TRect f{100, 100, 300, 250};  // L 100, T 100, FW 200, FH 150
  struct Case {
    TbsFormLayerBorderType side;
    int x, y;
    TbsFormLayerBorderHit hit;
  } cases[] = {
      {bsflLeft, 95, 150, bsflhLeft},           {bsflLeft, 93, 150, bsflhNone},
      {bsflRight, 305, 150, bsflhRight},        {bsflRight, 307, 150, bsflhNone},
      {bsflTop, 96, 97, bsflhTopLeft},          {bsflTop, 150, 97, bsflhTop},
      {bsflTop, 302, 97, bsflhTopRight},        {bsflTop, 96, 110, bsflhLeft},
      {bsflBottom, 96, 252, bsflhBottomLeft},   {bsflBottom, 150, 252, bsflhBottom},
      {bsflBottom, 303, 252, bsflhBottomRight}, {bsflBottom, 303, 200, bsflhRight},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LayerBorderHitMode(c.side, TPoint{c.x, c.y}, f, 6, 5, 6, 5), c.hit) << c.x << "," << c.y;
}

TEST(LayerBorder, ResizeStepsKeepTheLeftEdgeAtTheMinimum) {
  TRect f{100, 100, 220, 200};  // 120 x 100 = the minimum
  rtl::TSize mn{120, 80}, mx{800, 600};
  TRect n;
  // Left edge dragged right at the minimum width: refused, the edge stays.
  EXPECT_FALSE(LayerBorderResizeStep(bsflhLeft, f, 10, 0, mn, mx, n));
  EXPECT_EQ(n, f);
  // Left edge dragged left: grows, moves.
  EXPECT_TRUE(LayerBorderResizeStep(bsflhLeft, f, -10, 0, mn, mx, n));
  EXPECT_EQ(n, (TRect{90, 100, 220, 200}));
  // Right edge below the minimum clamps to it.
  EXPECT_FALSE(LayerBorderResizeStep(bsflhRight, f, -30, 0, mn, mx, n));
  EXPECT_EQ(n.Width(), 120);
  // Bottom-right grows both ways; top above the maximum is refused.
  EXPECT_TRUE(LayerBorderResizeStep(bsflhBottomRight, f, 5, 7, mn, mx, n));
  EXPECT_EQ(n, (TRect{100, 100, 225, 207}));
  EXPECT_FALSE(LayerBorderResizeStep(bsflhTop, f, 0, -600, mn, mx, n));
  EXPECT_EQ(n.Top, 100);
}

// Over the border's handles the pointer takes the resize shapes; off them,
// and on a form that cannot be resized, the plain arrow. The form is at
// (100, 100) 220 x 130, its border 10 / 8 / 10 / 8 beyond it, the handles
// 6 / 5 / 6 / 5 wide.
TEST_F(FormFrame, LayerBorderHandlesShowResizeCursors) {
  ShowWithLayeredBorder();
  ASSERT_TRUE(sf->BorderLayer()->Visible());
  struct Case {
    int x, y, idc;
  } cases[] = {
      {97, 150, win::IDC_SIZEWE},   {323, 150, win::IDC_SIZEWE},  {150, 97, win::IDC_SIZENS},
      {150, 233, win::IDC_SIZENS},  {96, 97, win::IDC_SIZENWSE},  {322, 233, win::IDC_SIZENWSE},
      {322, 97, win::IDC_SIZENESW}, {96, 233, win::IDC_SIZENESW}, {328, 150, win::IDC_ARROW},
      {150, 93, win::IDC_ARROW},    {97, 150, win::IDC_SIZEWE},
  };
  for (const Case& c : cases) {
    h.input.MoveTo(c.x, c.y);
    EXPECT_EQ(win::GetCursor(), win::LoadCursor(nullptr, c.idc)) << c.x << "," << c.y;
  }
  // A form of fixed size is not resized by its border: the arrow.
  sf->AlwaysResize = false;
  form->SetBorderStyle(cl::bsSingle);
  h.Pump();
  h.input.MoveTo(323, 150);
  h.input.MoveTo(323, 151);
  EXPECT_EQ(win::GetCursor(), win::LoadCursor(nullptr, win::IDC_ARROW));
}

// A press on a handle of an inactive form brings it forward and makes it
// the active one; a press on the border beyond the handles does not.
TEST_F(FormFrame, LayerBorderHandlePressBringsAnInactiveFormForward) {
  ShowWithLayeredBorder();
  auto* other = new cl::TForm(nullptr);
  other->SetBounds(600, 400, 150, 100);
  other->Show();
  win::SetActiveWindow(other->Handle());
  h.Pump();
  ASSERT_EQ(win::GetActiveWindow(), other->Handle());
  ASSERT_TRUE(sf->BorderLayer()->Visible());
  h.input.MoveTo(150, 93);  // the top window, above its handle
  h.input.Click();
  h.Pump();
  EXPECT_EQ(win::GetActiveWindow(), other->Handle());
  h.input.MoveTo(150, 97);  // the top handle
  h.input.Click();
  h.Pump();
  EXPECT_EQ(win::GetActiveWindow(), form->Handle());
  EXPECT_EQ(form->BoundsRect(), (TRect{100, 100, 320, 230}));  // a press alone sizes nothing
  EXPECT_TRUE(sf->BorderLayer()->Visible());
  EXPECT_TRUE(sf->BorderLayer()->FActive);
  other->Free();
}

// Switching the skin's layered borders off and on at run time takes the
// border away from a shown form and gives it back, in its place; a hidden
// form gets none.
TEST_F(FormFrame, LayerBorderFollowsTheSkinsSwitchAtRunTime) {
  ShowWithLayeredBorder();
  auto* hidden = new cl::TForm(nullptr);
  auto* hsf = new TbsSkinForm(hidden);
  hsf->SetSkinData(skin.get());
  TbsFormLayerBorder* b = sf->BorderLayer();
  ASSERT_TRUE(b->Visible());
  skin->SetShowLayeredBorders(false);
  h.Pump();
  EXPECT_FALSE(b->Visible());
  EXPECT_EQ(b->TopBorder, nullptr);
  skin->SetShowLayeredBorders(true);
  h.Pump();
  ASSERT_TRUE(b->Visible());
  ASSERT_NE(b->TopBorder, nullptr);
  win::RECT r{};
  win::GetWindowRect(b->TopBorder->Handle(), &r);
  EXPECT_EQ(r.Left, 90);
  EXPECT_EQ(r.Top, 92);
  EXPECT_FALSE(hsf->BorderLayer()->Visible());
  hidden->Free();
}

// ---------------------------------------------------------------------------
// Multiple-document forms.

class MDIForms : public FormFrame {
 public:
  void SetUp() override {
    FormFrame::SetUp();
    form->SetBounds(50, 50, 620, 460);
    top = new cl::TPanel(form);
    top->SetAlign(cl::alTop);
    top->SetHeight(30);
    top->SetParent(form);
    client = new cl::TPanel(form);
    client->SetAlign(cl::alClient);
    client->SetParent(form);
    Show(skin.get());
    mdi = new TbsSkinMDI(sf, client);
    winMenu = new cl::TMenuItem(form);
    mdi->WindowMenu = winMenu;
  }
  cl::TForm* Child(const std::string& name) {
    auto* c = new cl::TForm(form);
    c->SetName(name);
    c->SetCaption(name);
    c->SetBorderStyle(cl::bsSizeable);
    c->SetBounds(0, 0, 200, 150);
    auto* s = new TbsSkinForm(c);
    s->SetSkinData(skin.get());
    mdi->AddChild(c);
    c->Show();
    h.Pump();
    return c;
  }
  cl::TPanel *top = nullptr, *client = nullptr;
  TbsSkinMDI* mdi = nullptr;
  cl::TMenuItem* winMenu = nullptr;
};

TEST_F(MDIForms, TileFiveChildrenInTwoColumns) {
  std::vector<cl::TForm*> c;
  for (int i = 0; i < 5; ++i) c.push_back(Child("Doc" + std::to_string(i)));
  TRect a = mdi->GetMDIClientArea();
  EXPECT_EQ(a.Top, 30);  // below the top panel
  mdi->Tile();
  // The children sit in the client window: the area's size from its origin,
  // nothing shifted by the bar above and nothing below its bottom edge.
  int w = a.Width(), ht = a.Height(), cw = w / 2, h3 = ht / 3, h2 = ht / 2;
  struct {
    int child;
    TRect place;
  } cases[] = {
      // The right column holds the last three, a third of the height each.
      {4, {w - cw, ht - h3, w, ht}},
      {3, {w - cw, ht - 2 * h3, w, ht - h3}},
      {2, {w - cw, ht - 3 * h3, w, ht - 2 * h3}},
      // The left column the first two, half the height each.
      {1, {w - 2 * cw, ht - h2, w - cw, ht}},
      {0, {w - 2 * cw, ht - 2 * h2, w - cw, ht - h2}},
  };
  for (auto& k : cases) {
    EXPECT_EQ(c[size_t(k.child)]->BoundsRect(), k.place) << "child " << k.child;
    EXPECT_LE(c[size_t(k.child)]->BoundsRect().Bottom, client->ClientHeight()) << "child " << k.child;
  }
}

TEST_F(MDIForms, CascadeStepsByTheCaptionAndSurvivesASkinWithoutOne) {
  auto* a = Child("A");
  auto* b = Child("B");
  mdi->Cascade();
  EXPECT_EQ(b->Left(), 0);
  EXPECT_EQ(a->Left(), sf->NewClRect.Top);
  EXPECT_EQ(a->Top(), sf->NewClRect.Top);
  // A skin whose client starts at the top: a step of one pixel, no division by zero.
  sf->NewClRect.Top = 0;
  skin->ClRect.Top = 0;
  mdi->Cascade();
  EXPECT_EQ(a->Left(), 1);
}

// More children than the steps the area allows: the cascade starts again at
// the client's top-left before one would cross its bottom, measured in the
// client window, below the bar above it and right of a bar at its left.
TEST_F(MDIForms, CascadeWrapsInsideTheClientBelowAndBesideTheBars) {
  auto* side = new cl::TPanel(form);
  side->SetAlign(cl::alLeft);
  side->SetWidth(40);
  side->SetParent(form);
  h.Pump();
  TRect a = mdi->GetMDIClientArea();
  ASSERT_EQ(a.Top, 30);
  ASSERT_EQ(a.Left, 40);
  const int step = sf->NewClRect.Top;
  ASSERT_GT(step, 0);
  const int n = (a.Width() - int(std::lround(a.Width() * 0.8))) / step;
  std::vector<cl::TForm*> c;
  for (int i = 0; i < n + 3; ++i) c.push_back(Child("D" + std::to_string(i)));
  mdi->Cascade();
  const int w = a.Width() - step * n, ht = a.Height() - step * n;
  // From the last child up: one step further each, until the next would
  // cross the bottom; that one starts again at the top-left.
  for (int k = 0; k <= n; ++k)
    EXPECT_EQ(c[size_t(n + 2 - k)]->BoundsRect(), (TRect{k * step, k * step, k * step + w, k * step + ht})) << k;
  EXPECT_EQ(c[1]->BoundsRect(), (TRect{0, 0, w, ht}));
  EXPECT_EQ(c[0]->BoundsRect(), (TRect{step, step, step + w, step + ht}));
  for (auto* f : c) {
    EXPECT_LE(f->BoundsRect().Bottom, client->ClientHeight()) << f->Name();
    EXPECT_LE(f->BoundsRect().Right, client->ClientWidth()) << f->Name();
  }
}

// A maximized child drops its frame: its client is all of it, it has no
// region, no caption or border grips and paints no frame; restoring brings
// the frame back. Both ways hold also when the size does not change.
TEST_F(MDIForms, AMaximizedChildHasNoFrameOfItsOwn) {
  auto* doc = Child("Doc");
  TbsSkinForm* dsf = GetSkinFormComponent(doc);
  auto hit = [&](int x, int y) {
    win::RECT r{};
    win::GetWindowRect(doc->Handle(), &r);
    return int(win::SendMessage(doc->Handle(), win::WM_NCHITTEST, 0, win::MAKELPARAM(r.Left + x, r.Top + y)));
  };
  auto framed = [&] {
    EXPECT_EQ(doc->ClientWidth(), doc->Width() - skin->ClRect.Left - (skin->FPicture->Width() - skin->ClRect.Right));
    EXPECT_EQ(doc->ClientHeight(), doc->Height() - skin->ClRect.Top - (skin->FPicture->Height() - skin->ClRect.Bottom));
    EXPECT_EQ(hit(40, 10), win::HTCAPTION);
    EXPECT_TRUE(dsf->FrameShown());
  };
  framed();
  EXPECT_TRUE(dsf->FormRegion());
  for (bool sameSize : {false, true}) {
    SCOPED_TRACE(sameSize ? "already the client's size" : "grows to the client");
    if (sameSize) doc->SetBounds(0, 0, client->ClientWidth(), client->ClientHeight());
    dsf->SetWindowState(cl::wsMaximized);
    h.Pump();
    EXPECT_EQ(doc->BoundsRect(), (TRect{0, 0, client->ClientWidth(), client->ClientHeight()}));
    EXPECT_EQ(doc->ClientWidth(), doc->Width());
    EXPECT_EQ(doc->ClientHeight(), doc->Height());
    EXPECT_FALSE(dsf->FormRegion());
    EXPECT_FALSE(dsf->FrameShown());
    for (auto [x, y] : {std::pair{40, 10}, {2, 2}, {doc->Width() - 2, doc->Height() - 2}, {doc->Width() / 2, 1}})
      EXPECT_EQ(hit(x, y), win::HTCLIENT) << x << "," << y;
    // The top-left corner shows the client's background, not the frame's.
    EXPECT_NE(h.Pixel(doc->Handle(), 1, 1), Rgb(FrameTestColors(0).Corner));
    EXPECT_NE(h.Pixel(doc->Handle(), 40, 3), Rgb(FrameTestColors(0).Caption));
    dsf->SetWindowState(cl::wsNormal);
    h.Pump();
    framed();
    EXPECT_TRUE(dsf->FormRegion());
  }
}

// A child lives inside the main form's client: no layered border floats
// around it, where the main form has one.
TEST_F(MDIForms, ChildrenHaveNoLayeredBorder) {
  win::SetCompositorPresent(true);
  AddLayerFrame(skin.get(), true);
  sf->SetSkinData(skin.get());
  h.Pump();
  EXPECT_TRUE(sf->BorderLayer()->Visible());
  auto* doc = Child("Doc");
  EXPECT_FALSE(GetSkinFormComponent(doc)->IsLayerBorderUsable());
  EXPECT_FALSE(GetSkinFormComponent(doc)->BorderLayer()->Visible());
}

TEST_F(MDIForms, MaximizeFillsTheClientAndTheWindowMenuFindsExactNames) {
  auto* doc = Child("Doc");
  auto* doc1 = Child("Doc1");
  mdi->MaximizeAll();
  EXPECT_EQ(doc->BoundsRect(), (TRect{0, 0, client->ClientWidth(), client->ClientHeight()}));
  EXPECT_EQ(mdi->FindMaximizedMDIChild(), doc1);  // the active one first
  mdi->RestoreAll();
  EXPECT_EQ(mdi->FindMaximizedMDIChild(), nullptr);
  ASSERT_EQ(winMenu->Count(), 2);
  EXPECT_EQ(winMenu->Items(0)->Name(), "Doc_BSFCHILDITEM");
  EXPECT_TRUE(winMenu->Items(1)->Checked());
  GetSkinFormComponent(doc)->SetWindowState(cl::wsMinimized);
  winMenu->Items(0)->Click();
  EXPECT_EQ(mdi->ActiveChild(), doc);
  EXPECT_EQ(GetSkinFormComponent(doc)->WindowState(), cl::wsNormal);
  EXPECT_TRUE(winMenu->Items(0)->Checked());
  EXPECT_FALSE(winMenu->Items(1)->Checked());
  // Closing a child (freed) takes its item away.
  doc1->Free();
  h.Pump();
  EXPECT_EQ(winMenu->Count(), 1);
  EXPECT_EQ(mdi->Children().size(), 1u);
}

// The client has no look of its own: without a skin it shows the work-space
// colour, with one the form's background; a maximized child follows the
// client's size.
TEST_F(MDIForms, ClientPaintsTheFormsBackgroundAndRefitsMaximizedChildren) {
  auto* bare = new cl::TWinControl(form);
  bare->SetBounds(0, 300, 100, 60);
  bare->SetParent(form);
  auto* mdi2 = new TbsSkinMDI(sf, bare);
  h.Pump();
  EXPECT_NE(h.Pixel(bare, 50, 30), Rgb(gfx::clAppWorkSpace));
  sf->SetSkinData(nullptr);
  bare->Invalidate();
  h.Pump();
  EXPECT_EQ(h.Pixel(bare, 50, 30), Rgb(gfx::clAppWorkSpace));
  mdi2->Free();

  auto* doc = Child("Doc");
  mdi->MaximizeAll();
  form->SetBounds(50, 50, 700, 500);
  h.Pump();
  EXPECT_EQ(doc->BoundsRect(), (TRect{0, 0, client->ClientWidth(), client->ClientHeight()}));
}

// A maximized child's caption buttons move onto the main form's menu bar:
// system menu at the left, minimize, restore and close at the right, in the
// skin's looks; restore and close act on the child, a release outside does
// nothing, and the buttons go once no child is maximized.
TEST_F(MDIForms, MaximizedChildsButtonsOnTheMenuBar) {
  auto* barRec = dynamic_cast<TbsDataSkinMainMenuBar*>(skin->CtrlList[0].get());
  ASSERT_TRUE(barRec);
  barRec->CloseButton = "closebutton";
  barRec->MaxButton = "maxbutton";
  barRec->MinButton = "minbutton";
  auto* menu = new TbsSkinMainMenu(form);
  auto* file = new cl::TMenuItem(menu);
  file->Caption = "&File";
  menu->Items()->Add(file);
  auto* bar = new TbsSkinMainMenuBar(form);
  bar->SetParent(top);
  bar->SetAlign(cl::alClient);
  bar->SetSkinForm(sf);
  bar->SetSkinData(skin.get());
  bar->SetMainMenu(menu);
  auto* doc = Child("Doc");
  auto* other = Child("Other");
  doc->OnClose = [](rtl::TObject*, cl::TCloseAction& a) { a = cl::caFree; };
  TbsSkinForm* dsf = GetSkinFormComponent(doc);
  mdi->SetActiveChild(doc);
  EXPECT_FALSE(bar->MDIChildMax());
  dsf->SetWindowState(cl::wsMaximized);
  h.Pump();
  ASSERT_TRUE(bar->MDIChildMax());
  ASSERT_EQ(bar->ButtonsCount, 4);
  const auto& C = FrameTestColors(0);
  auto& sys = *bar->MDIButton(0);
  auto& close = *bar->MDIButton(1);
  auto& max = *bar->MDIButton(2);
  auto& min = *bar->MDIButton(3);
  bar->Repaint();
  h.Pump();
  // Laid out: the skin's 14 x 14 looks from the right edge of the items
  // area with 2 pixels between; the system menu button (no record: a square
  // of the items' height) at the left, the items after it.
  const int right = bar->Width() - 2;
  EXPECT_EQ(close.ObjectRect.Right, right);
  EXPECT_EQ(close.ObjectRect.Width(), 14);
  EXPECT_EQ(max.ObjectRect.Right, close.ObjectRect.Left - 2);
  EXPECT_EQ(min.ObjectRect.Right, max.ObjectRect.Left - 2);
  EXPECT_EQ(sys.ObjectRect.Left, 2);
  EXPECT_EQ(bar->Items()[0]->ObjectRect.Left, sys.ObjectRect.Right + 2);
  const int cx = close.ObjectRect.Left + 2, cy = close.ObjectRect.Top + 2;
  EXPECT_EQ(h.Pixel(bar, cx, cy), Rgb(C.ButtonNormal));
  h.input.MoveTo(bar, cx, cy);
  EXPECT_EQ(h.Pixel(bar, cx, cy), Rgb(C.ButtonHot));
  h.input.Press();
  EXPECT_EQ(h.Pixel(bar, cx, cy), Rgb(C.ButtonDown));
  // Released outside: the child stays.
  h.input.MoveTo(bar, 40, cy);
  h.input.Release();
  h.Pump();
  EXPECT_EQ(mdi->Children().size(), 2u);
  EXPECT_EQ(dsf->WindowState(), cl::wsMaximized);
  // Restore brings the child back and the buttons go.
  h.input.MoveTo(bar, max.ObjectRect.Left + 3, cy);
  h.input.Click();
  h.Pump();
  EXPECT_EQ(dsf->WindowState(), cl::wsNormal);
  EXPECT_FALSE(bar->MDIChildMax());
  EXPECT_EQ(bar->ButtonsCount, 0);
  // A child without a minimize icon shows no minimize button; its close
  // button closes it, and with it the buttons go.
  dsf->SetBorderIcons(biSystemMenu | biMaximize);
  dsf->SetWindowState(cl::wsMaximized);
  h.Pump();
  ASSERT_TRUE(bar->MDIChildMax());
  EXPECT_FALSE(bar->MDIButton(3)->Visible);
  EXPECT_TRUE(bar->MDIButton(0)->Visible);
  bar->Repaint();
  h.Pump();
  auto& close2 = *bar->MDIButton(1);
  h.input.MoveTo(bar, close2.ObjectRect.Left + 3, close2.ObjectRect.Top + 3);
  h.input.Click();
  h.Pump();
  EXPECT_EQ(mdi->Children().size(), 1u);
  EXPECT_FALSE(bar->MDIChildMax());
  EXPECT_EQ(mdi->Children()[0], other);
  // A child's system menu closes it with Ctrl+F4, the main form's with Alt+F4.
  cl::TMenuItem* items = GetSkinFormComponent(other)->SystemMenuItems();
  EXPECT_EQ(items->Items(items->Count() - 1)->ShortCut, cl::ShortCut(win::VK_F4, cl::ssCtrl));
  items = sf->SystemMenuItems();
  EXPECT_EQ(items->Items(items->Count() - 1)->ShortCut, cl::ShortCut(win::VK_F4, cl::ssAlt));
}

TEST_F(MDIForms, TabsBarLayoutActivationDragAndClose) {
  auto* bar = new TbsSkinMDITabsBar(form);
  bar->SetParent(top);
  bar->SetBounds(0, 0, 330, 21);
  bar->MDI = mdi;
  mdi->TabsBar = bar;
  std::vector<cl::TForm*> c;
  for (const char* n : {"One", "Two", "Three"}) c.push_back(Child(n));
  bar->CalcTabs();
  ASSERT_EQ(bar->Tabs.size(), 3u);
  EXPECT_EQ(bar->Tabs[0].ObjectRect, (TRect{15, 0, 115, 21}));
  EXPECT_EQ(bar->Tabs[2].ObjectRect, (TRect{215, 0, 315, 21}));
  EXPECT_TRUE(bar->Tabs[2].Active);
  // A press on the first tab activates its child.
  h.input.MoveTo(bar, 40, 10);
  h.input.Click();
  EXPECT_EQ(mdi->ActiveChild(), c[0]);
  EXPECT_TRUE(bar->Tabs[0].Active);
  // Dragging it past the middle of the second swaps them.
  h.input.MoveTo(bar, 40, 10);
  h.input.Press();
  h.input.MoveTo(bar, 110, 10);
  h.input.MoveTo(bar, 120, 10);
  h.input.Release();
  h.Pump();
  EXPECT_EQ(bar->Tabs[0].Child, c[1]);
  EXPECT_EQ(bar->Tabs[1].Child, c[0]);
  // Tabs narrower than the minimum are hidden.
  bar->MinTabWidth = 120;
  bar->CalcTabs();
  EXPECT_EQ(bar->InVisibleCount, 1);
  EXPECT_FALSE(bar->Tabs[2].Visible);
  // A close button closes its child; a freed child loses its tab.
  bar->MinTabWidth = 0;
  bar->ShowCloseButtons = true;
  bar->CalcTabs();
  TRect b = bar->Tabs[0].ButtonRect;
  h.input.MoveTo(bar, b.Left + 3, b.Top + 3);
  h.input.Click();
  h.Pump();
  EXPECT_FALSE(c[1]->Visible());
  c[2]->Free();
  h.Pump();
  EXPECT_EQ(bar->Tabs.size(), 2u);
}

// The tabs in the looks of the skin's "tab" record (plain, hovered, active,
// the background cells beyond them), the list button at the left listing
// every child and, while tabs are hidden, one at the right listing those.
TEST_F(MDIForms, TabsBarSkinnedLooksAndListButtons) {
  const TColor plain = 0x00303090, act = 0x00309030, hot = 0x00903030, bg = 0x00808080;
  auto pic = std::make_unique<TBitmap>();
  pic->SetSize(60, 36);
  for (auto [r, c] : {std::pair{TRect{0, 0, 30, 18}, plain},
                      {TRect{30, 0, 60, 18}, act},
                      {TRect{0, 18, 30, 36}, hot},
                      {TRect{30, 18, 40, 36}, bg}}) {
    pic->Canvas()->Brush()->SetColor(c);
    pic->Canvas()->FillRect(r);
  }
  skin->FActivePictures.push_back(std::move(pic));
  auto rec = std::make_unique<TbsDataSkinTabControl>("tab");
  rec->PictureIndex = int(skin->FActivePictures.size()) - 1;
  rec->TabRect = TRect{0, 0, 30, 18};
  rec->ActiveTabRect = TRect{30, 0, 60, 18};
  rec->MouseInTabRect = TRect{0, 18, 30, 36};
  rec->TabsBGRect = TRect{30, 18, 40, 36};
  rec->TabLeftOffset = rec->TabRightOffset = 3;
  rec->FontColor = rec->FocusFontColor = rec->MouseInFontColor = gfx::clWhite;
  skin->CtrlList.push_back(std::move(rec));
  auto* bar = new TbsSkinMDITabsBar(form);
  bar->SetParent(top);
  bar->SetBounds(0, 0, 330, 21);
  bar->MDI = mdi;
  mdi->TabsBar = bar;
  bar->SetSkinData(skin.get());
  EXPECT_EQ(bar->Height(), 18);
  EXPECT_EQ(bar->ListButton(), nullptr);
  std::vector<cl::TForm*> c;
  for (const char* n : {"One", "Two", "Three"}) c.push_back(Child(n));
  ASSERT_NE(bar->ListButton(), nullptr);
  EXPECT_EQ(bar->ListButton()->Width(), 15);
  EXPECT_EQ(bar->ListButton()->Left(), 0);
  bar->Repaint();
  h.Pump();
  EXPECT_EQ(h.Pixel(bar, 18, 2), Rgb(plain));
  EXPECT_EQ(h.Pixel(bar, 218, 2), Rgb(act));
  EXPECT_EQ(h.Pixel(bar, 322, 2), Rgb(bg));
  h.input.MoveTo(bar, 118, 9);
  EXPECT_EQ(h.Pixel(bar, 118, 2), Rgb(hot));

  // The list: every child, the active one checked; an item activates its child.
  bar->FillListMenu(false);
  cl::TMenuItem* items = bar->ListMenu()->Items();
  ASSERT_EQ(items->Count(), 3);
  EXPECT_EQ(items->Items(0)->Name(), "One_BSFCHILDITEMBAR");
  EXPECT_EQ(items->Items(1)->Caption, "Two");
  EXPECT_TRUE(items->Items(2)->Checked());
  EXPECT_FALSE(items->Items(0)->Checked());
  GetSkinFormComponent(c[0])->SetWindowState(cl::wsMinimized);
  items->Items(0)->Click();
  EXPECT_EQ(mdi->ActiveChild(), c[0]);
  EXPECT_EQ(GetSkinFormComponent(c[0])->WindowState(), cl::wsNormal);
  EXPECT_TRUE(bar->Tabs[0].Active);

  // Hidden tabs get their own list at the right end, gone once all fit.
  EXPECT_EQ(bar->HideListButton(), nullptr);
  bar->MinTabWidth = 120;
  bar->Repaint();
  h.Pump();
  ASSERT_NE(bar->HideListButton(), nullptr);
  EXPECT_EQ(bar->HideListButton()->Left() + bar->HideListButton()->Width(), bar->ClientWidth());
  bar->FillListMenu(true);
  ASSERT_EQ(bar->HideListMenu()->Items()->Count(), 1);
  EXPECT_EQ(bar->HideListMenu()->Items()->Items(0)->Name(), "Three_BSFCHILDITEMBARHIDE");
  bar->HideListMenu()->Items()->Items(0)->Click();
  EXPECT_EQ(mdi->ActiveChild(), c[2]);
  bar->MinTabWidth = 0;
  bar->Repaint();
  h.Pump();
  EXPECT_EQ(bar->HideListButton(), nullptr);
  // A right click on a tab opens that child's system menu.
  h.input.MoveTo(bar, 118, 9);
  h.input.Click(win::MouseButton::Right);
  h.Pump();
  EXPECT_TRUE(GetSkinFormComponent(c[1])->SkinMenu()->Visible());
  GetSkinFormComponent(c[1])->SkinMenu()->Hide();
  h.Pump();
  // The last tab gone takes the list button with it.
  for (auto* f : c) f->Free();
  h.Pump();
  EXPECT_EQ(bar->ListButton(), nullptr);
}

// A tab record whose tab looks stand on a 4-pixel base strip, and the
// skin's "resizebutton" record in three colours, for the button kind.
struct TabLooks {
  static constexpr TColor plain = 0x00303090, act = 0x00309030, bg = 0x00808080, base = 0x00105050;
  static constexpr TColor btn = 0x00A0A000, btnHot = 0x0000A0A0, btnDown = 0x00A000A0;
};

void AddTabAndButtonRecords(TbsSkinData* s) {
  auto fill = [](TBitmap* b, TRect r, TColor c) {
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(r);
  };
  auto pic = std::make_unique<TBitmap>();
  pic->SetSize(60, 40);
  fill(pic.get(), {0, 0, 30, 18}, TabLooks::plain);
  fill(pic.get(), {30, 0, 60, 18}, TabLooks::act);
  fill(pic.get(), {0, 18, 60, 36}, TabLooks::bg);
  fill(pic.get(), {0, 36, 60, 40}, TabLooks::base);
  s->FActivePictures.push_back(std::move(pic));
  auto rec = std::make_unique<TbsDataSkinTabControl>("tab");
  rec->PictureIndex = int(s->FActivePictures.size()) - 1;
  rec->TabRect = {0, 0, 30, 18};
  rec->ActiveTabRect = {30, 0, 60, 18};
  rec->TabsBGRect = {30, 18, 40, 36};
  rec->SkinRect = {0, 36, 40, 40};
  rec->LTPoint = {2, 0};
  rec->RTPoint = {38, 0};
  rec->ClRect = {2, 4, 38, 4};
  rec->TabLeftOffset = rec->TabRightOffset = 3;
  s->CtrlList.push_back(std::move(rec));
  auto bpic = std::make_unique<TBitmap>();
  bpic->SetSize(60, 10);
  fill(bpic.get(), {0, 0, 20, 10}, TabLooks::btn);
  fill(bpic.get(), {20, 0, 40, 10}, TabLooks::btnHot);
  fill(bpic.get(), {40, 0, 60, 10}, TabLooks::btnDown);
  s->FActivePictures.push_back(std::move(bpic));
  auto b = std::make_unique<TbsDataSkinButtonControl>("resizebutton");
  b->PictureIndex = int(s->FActivePictures.size()) - 1;
  b->SkinRect = {0, 0, 20, 10};
  b->ActiveSkinRect = {20, 0, 40, 10};
  b->DownSkinRect = {40, 0, 60, 10};
  b->LTPoint = {2, 2};
  b->RTPoint = {18, 2};
  b->LBPoint = {2, 8};
  b->RBPoint = {18, 8};
  b->ClRect = {2, 2, 18, 8};
  s->CtrlList.push_back(std::move(b));
}

// The kind of tab and the skin-size switch decide the bar's height, whether
// a base strip lies under the tabs (and the list button beside them stops
// above it), and which pictures the tabs are drawn from.
TEST_F(MDIForms, TabsBarKindAndSkinSize) {
  AddTabAndButtonRecords(skin.get());
  top->SetHeight(50);  // room for the tallest bar
  auto* bar = new TbsSkinMDITabsBar(form);
  bar->SetParent(top);
  bar->SetBounds(0, 0, 330, 21);
  bar->MDI = mdi;
  mdi->TabsBar = bar;
  bar->SetSkinData(skin.get());
  std::vector<cl::TForm*> c;
  for (const char* n : {"One", "Two", "Three"}) c.push_back(Child(n));
  struct Case {
    TbsSkinMDITabKind kind;
    bool skinSize;
    int height, listButtonHeight;
    TColor tab, activeTab;  // a plain and the active tab near their top
    int lowY;               // and the plain tab's column lower down
    TColor low;
  } cases[] = {
      {bstkTab, true, 22, 18, TabLooks::plain, TabLooks::act, 20, TabLooks::base},
      {bstkButton, true, 18, 18, TabLooks::btn, TabLooks::btnDown, 16, TabLooks::btn},
      // Stretched to the default height: the tab's picture reaches down to
      // the base strip instead of leaving the background below it.
      {bstkTab, false, 40, 36, TabLooks::plain, TabLooks::act, 34, TabLooks::plain},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << k.kind << ", skin size " << k.skinSize);
    bar->UseSkinSize = k.skinSize;
    bar->SetDefaultHeight(40);
    bar->SetTabKind(k.kind);
    bar->ChangeSkinData();
    h.Pump();
    EXPECT_EQ(bar->Height(), k.height);
    ASSERT_NE(bar->ListButton(), nullptr);
    EXPECT_EQ(bar->ListButton()->Height(), k.listButtonHeight);
    h.input.MoveTo(bar, 5, bar->Height() - 1);  // off the tabs
    bar->Repaint();
    h.Pump();
    // Beside the captions, which stand in the tabs' middle.
    EXPECT_EQ(h.Pixel(bar, 20, 5), Rgb(k.tab));
    EXPECT_EQ(h.Pixel(bar, 220, 5), Rgb(k.activeTab));
    EXPECT_EQ(h.Pixel(bar, 20, k.lowY), Rgb(k.low));
  }
  // The hot look of the button kind under the pointer.
  bar->UseSkinSize = true;
  bar->SetTabKind(bstkButton);
  bar->ChangeSkinData();
  h.input.MoveTo(bar, 20, 5);
  h.Pump();
  EXPECT_EQ(h.Pixel(bar, 20, 5), Rgb(TabLooks::btnHot));
  for (auto* f : c) f->Free();
  h.Pump();
}

// The tab events in the order a user's pointer makes them, the caption
// font handed out before drawing, and while a tab is dragged, the inverted
// marker at the edge of the tab it would land on.
TEST_F(MDIForms, TabsBarEventsAndDropMarker) {
  auto* bar = new TbsSkinMDITabsBar(form);
  bar->SetParent(top);
  bar->SetBounds(0, 0, 330, 21);
  bar->MDI = mdi;
  mdi->TabsBar = bar;
  std::vector<cl::TForm*> c;
  for (const char* n : {"One", "Two", "Three"}) c.push_back(Child(n));
  std::vector<std::string> log;
  auto name = [](TbsMDITab* t) { return t->Child->Name(); };
  bar->OnTabMouseEnter = [&](TbsMDITab* t) { log.push_back("enter " + name(t)); };
  bar->OnTabMouseLeave = [&](TbsMDITab* t) { log.push_back("leave " + name(t)); };
  bar->OnTabMouseDown = [&](cl::TMouseButton, cl::TShiftState, TbsMDITab* t) { log.push_back("down " + name(t)); };
  bar->OnTabMouseUp = [&](cl::TMouseButton, cl::TShiftState, TbsMDITab* t) { log.push_back("up " + name(t)); };
  bar->OnTabGetDrawParamsEvent = [&](TbsMDITab* t, gfx::TCanvas* cv) {
    if (t->Child == c[0]) cv->Font()->SetColor(gfx::clRed);
  };
  h.input.MoveTo(bar, 40, 10);
  h.input.MoveTo(bar, 140, 10);
  h.input.Click();
  h.input.MoveTo(bar, 140, 40);  // below the bar
  h.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"enter One", "leave One", "enter Two", "down Two", "up Two", "leave Two"}));
  // The first tab's caption is red, the others' are not.
  bar->Repaint();
  h.Pump();
  auto reds = [&](int x0, int x1) {
    int n = 0;
    for (int x = x0; x < x1; ++x)
      for (int y = 2; y < 19; ++y) n += h.Pixel(bar, x, y) == 0xFF0000;
    return n;
  };
  EXPECT_GT(reds(15, 115), 0);
  EXPECT_EQ(reds(115, 215), 0);

  // Dragging the first tab past the middle of the second: the marker stands
  // at the second's right edge, inverting what lies there.
  const uint32_t before = h.Pixel(bar, 216, 4);
  h.input.MoveTo(bar, 40, 10);
  h.input.Press();
  h.input.MoveTo(bar, 90, 10);
  h.input.MoveTo(bar, 140, 10);
  h.Pump();
  ASSERT_TRUE(bar->Dragging());
  EXPECT_EQ(bar->DropTarget(), 1);
  EXPECT_EQ(h.Pixel(bar, 216, 4), before ^ 0xFFFFFF);
  EXPECT_EQ(h.Pixel(bar, 216, 18), before ^ 0xFFFFFF);
  // Back to the left of where it started: no target, no marker.
  h.input.MoveTo(bar, 20, 10);
  h.Pump();
  EXPECT_EQ(bar->DropTarget(), -1);
  EXPECT_EQ(h.Pixel(bar, 216, 4), before);
  h.input.MoveTo(bar, 140, 10);
  h.input.Release();
  h.Pump();
  EXPECT_FALSE(bar->Dragging());
  EXPECT_EQ(bar->Tabs[1].Child, c[0]);
  EXPECT_EQ(h.Pixel(bar, 216, 4), before);
  // A freed child that is under the pointer says goodbye first.
  log.clear();
  h.input.MoveTo(bar, 240, 10);
  c[2]->Free();
  h.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"leave One", "enter Three", "leave Three"}));
}

// ---------------------------------------------------------------------------
// The main menu bar.

class MenuBar : public FormFrame {
 public:
  void SetUp() override {
    FormFrame::SetUp();
    form->SetBounds(100, 100, 320, 200);
    menu = new TbsSkinMainMenu(form);
    for (const char* top : {"&File", "&Edit", "&Help"}) {
      auto* t = new cl::TMenuItem(menu);
      t->Caption = top;
      menu->Items()->Add(t);
      for (int i = 0; i < 2; ++i) {
        auto* sub = new cl::TMenuItem(menu);
        sub->Caption = std::string(top + 1) + " " + std::to_string(i);
        sub->OnClick = [this, sub](rtl::TObject*) { clicked.push_back(sub->Caption); };
        t->Add(sub);
      }
    }
    bar = new TbsSkinMainMenuBar(form);
    bar->SetParent(form);
    bar->SetSkinForm(sf);
    bar->SetMainMenu(menu);
    Show(skin.get());
  }
  // The caption of the first entry of the open cascade's last window.
  std::string OpenFirst() {
    TbsSkinPopupWindow* w = sf->SkinMenu()->LastWindow();
    if (!w || w->ItemList.empty()) return "";
    return w->ItemList[0]->MenuItem->Caption;
  }
  int Lit() {
    for (size_t i = 0; i < bar->ObjectList.size(); ++i)
      if (bar->ObjectList[i]->Active || bar->ObjectList[i]->FDown) return int(i);
    return -1;
  }
  TbsSkinMainMenu* menu = nullptr;
  TbsSkinMainMenuBar* bar = nullptr;
  std::vector<std::string> clicked;
};

TEST_F(MenuBar, KeyboardMenuModeAltDownRightEscapeTwice) {
  h.input.AltTap();
  h.Pump();
  EXPECT_TRUE(sf->InMainMenu());
  EXPECT_EQ(Lit(), 0);
  EXPECT_FALSE(sf->SkinMenu()->Visible());
  h.input.Key(win::VK_DOWN);
  ASSERT_TRUE(sf->SkinMenu()->Visible());
  EXPECT_EQ(OpenFirst(), "File 0");
  EXPECT_TRUE(bar->ObjectList[0]->FDown);
  h.input.Key(win::VK_RIGHT);
  ASSERT_TRUE(sf->SkinMenu()->Visible());
  EXPECT_EQ(OpenFirst(), "Edit 0");
  EXPECT_TRUE(bar->ObjectList[1]->FDown);
  EXPECT_FALSE(bar->ObjectList[0]->FDown);
  h.input.Key(win::VK_LEFT);
  EXPECT_EQ(OpenFirst(), "File 0");
  h.input.Key(win::VK_ESCAPE);
  EXPECT_FALSE(sf->SkinMenu()->Visible());
  EXPECT_TRUE(sf->InMainMenu());
  EXPECT_EQ(Lit(), 0);
  h.input.Key(win::VK_ESCAPE);
  EXPECT_FALSE(sf->InMainMenu());
  EXPECT_EQ(Lit(), -1);
  EXPECT_FALSE(sf->AppHooked());
  // Keys reach the form again.
  EXPECT_TRUE(form->Active());
}

TEST_F(MenuBar, MouseOpensSwitchesAndRunsACommand) {
  h.Pump();
  TRect r0 = bar->ObjectList[0]->ObjectRect, r1 = bar->ObjectList[1]->ObjectRect;
  ASSERT_GT(r0.Width(), 0);
  h.input.MoveTo(bar, r0.Left + 3, r0.Top + 3);
  h.input.Click();
  ASSERT_TRUE(sf->SkinMenu()->Visible());
  EXPECT_EQ(OpenFirst(), "File 0");
  EXPECT_TRUE(sf->InMainMenu());
  // Moving along the bar switches the open submenu without a click.
  h.input.MoveTo(bar, r1.Left + 3, r1.Top + 3);
  h.Pump();
  EXPECT_EQ(OpenFirst(), "Edit 0");
  // Return on an entry runs it and leaves menu mode.
  h.input.Key(win::VK_DOWN);
  h.input.Key(win::VK_RETURN);
  h.Pump();
  ASSERT_EQ(clicked.size(), 1u);
  EXPECT_EQ(clicked[0].substr(0, 4), "Edit");
  EXPECT_FALSE(sf->SkinMenu()->Visible());
  EXPECT_FALSE(sf->InMainMenu());
  EXPECT_FALSE(sf->AppHooked());
}

TEST_F(MenuBar, AltOrF10ClosesTheOpenDropdownWithMenuMode) {
  h.Pump();
  TRect r0 = bar->ObjectList[0]->ObjectRect;
  for (bool f10 : {false, true}) {
    h.input.MoveTo(bar, r0.Left + 3, r0.Top + 3);
    h.input.Click();
    ASSERT_TRUE(sf->SkinMenu()->Visible()) << f10;
    ASSERT_TRUE(sf->InMainMenu()) << f10;
    if (f10)
      h.input.Key(win::VK_F10);
    else
      h.input.AltTap();
    h.Pump();
    EXPECT_FALSE(sf->SkinMenu()->Visible()) << f10;
    EXPECT_FALSE(sf->InMainMenu()) << f10;
    EXPECT_FALSE(sf->InMenu()) << f10;
    EXPECT_EQ(Lit(), -1) << f10;
    EXPECT_FALSE(sf->AppHooked()) << f10;
    h.Advance(600);  // no double click between the rounds
  }
}

TEST_F(MenuBar, SkinnedBarTakesTheRecordsHeightAndLooks) {
  bar->SetSkinData(skin.get());
  h.Pump();
  EXPECT_EQ(bar->Height(), 22);
  bar->SetHeight(40);  // the record decides the height
  EXPECT_EQ(bar->Height(), 22);
  const auto& C = FrameTestColors(0);
  ASSERT_NE(C.Bar, C.ItemHot);
  ASSERT_NE(C.Bar, gfx::clBlack);
  TRect r0 = bar->ObjectList[0]->ObjectRect;
  EXPECT_EQ(r0.Height(), 18);
  EXPECT_EQ(h.Pixel(bar, bar->Width() - 3, 10), Rgb(C.Bar));
  EXPECT_EQ(h.Pixel(bar, bar->Width() / 2, 10), Rgb(C.Bar));
  EXPECT_TRUE(bar->ObjectList[2]->Visible);
  h.input.MoveTo(bar, r0.Left + 1, r0.Top + 1);
  h.Pump();
  EXPECT_EQ(h.Pixel(bar, r0.Left + 1, r0.Top + 1), Rgb(C.ItemHot));
  h.input.Click();
  h.Pump();
  EXPECT_EQ(h.Pixel(bar, r0.Left + 1, r0.Top + 1), Rgb(C.ItemDown));
  sf->SkinMenu()->Hide();
}

TEST_F(MenuBar, ShortCutsReachTheBarsMenuAndItsAccelerators) {
  // F1 on a submenu item runs it although the form has no Menu.
  cl::TMenuItem* help0 = menu->Items()->Items(2)->Items(0);
  help0->ShortCut = cl::ShortCut(win::VK_F1, 0);
  EXPECT_EQ(form->Menu, nullptr);
  h.input.Key(win::VK_F1);
  h.Pump();
  EXPECT_EQ(clicked, (std::vector<std::string>{"Help 0"}));
  // Alt+E opens the second item's submenu.
  h.input.KeyDown(win::VK_MENU);
  h.input.Key('E', "");
  h.input.KeyUp(win::VK_MENU);
  h.Pump();
  ASSERT_TRUE(sf->SkinMenu()->Visible());
  EXPECT_EQ(OpenFirst(), "Edit 0");
  h.input.Key(win::VK_ESCAPE);
  h.input.Key(win::VK_ESCAPE);
}

TEST_F(MenuBar, OverflowPopupStartsAtTheFirstHiddenMenuItem) {
  // An invisible top-level item before the cut: the popup must still show
  // exactly the items that did not fit.
  auto* hidden = new cl::TMenuItem(menu);
  hidden->Caption = "Hidden";
  hidden->Visible = false;
  menu->Items()->Insert(0, hidden);
  bar->UpDateItems();
  form->SetWidth(120);
  h.Pump();
  bar->Repaint();
  ASSERT_TRUE(bar->Scroll);
  int shown = 0;
  for (auto& o : bar->ObjectList) shown += o->Visible;
  ASSERT_LT(shown, 3);
  bar->PopupRemainingItems();
  ASSERT_TRUE(sf->SkinMenu()->Visible());
  EXPECT_EQ(OpenFirst(), bar->Items()[size_t(shown)]->MenuItem->Caption);
  sf->SkinMenu()->Hide();
}

}  // namespace
