// The skinned control bases: resize modes, mapped rectangles, the skin-change
// protocol, window regions, the default look and the background messages.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/region.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinButtons.h"

using namespace ctltest;

namespace {

// A frame control that counts background notices.
class Frame : public TbsSkinCustomControl {
 public:
  explicit Frame(cl::TComponent* o) : TbsSkinCustomControl(o) { ControlStyle |= cl::csAcceptsControls; }
  int bgChanged = 0;

 protected:
  void CheckParentBackground() override { bgChanged++; }
};

class GraphicFrame : public TbsGraphicSkinCustomControl {
 public:
  using TbsGraphicSkinCustomControl::TbsGraphicSkinCustomControl;
  int bgChanged = 0;
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == WM_PARENT_BG_CHANGED) bgChanged++;
    TbsGraphicSkinCustomControl::Dispatch(m);
  }
};

// A parent that centres its children in the band (0, 2) - (w, 30).
class Centring : public cl::TCustomControl, public TbsCentringParent {
 public:
  explicit Centring(cl::TComponent* o) : cl::TCustomControl(o) { ControlStyle |= cl::csAcceptsControls; }
  bool on = true;
  bool AdjustsControls() override { return on; }
  TRect GetSkinClientRect() override { return {0, 2, Width(), 30}; }
};

using SkinBases = ControlsTest;

TEST_F(SkinBases, ResizeModesForceTheSizeTheRecordAllows) {
  struct Case {
    const char* record;
    int mode;
    int w, h;
    TRect client;
    bool skinned;
  } cases[] = {
      {"button", 1, 50, 40, {4, 4, 46, 36}, true},       // nine-part: free both ways
      {"hbar", 2, 50, 20, {4, 4, 46, 16}, true},         // horizontal bar: height of the skin
      {"vbar", 3, 30, 40, {4, 4, 26, 36}, true},         // vertical bar: width of the skin
      {"roundbutton", 0, 30, 20, {4, 4, 26, 16}, true},  // fixed: the skin's size
      {"noskinrect", -1, 50, 40, {}, true},              // no skin rectangle: nothing forced
      {"nopicture", -1, 50, 40, {}, false},              // no picture: the default look
      {"nosuchrecord", -1, 50, 40, {}, false},
  };
  for (auto& c : cases) {
    for (bool graphic : {false, true}) {
      SCOPED_TRACE(std::string(c.record) + (graphic ? " graphic" : " windowed"));
      cl::TControl* ctl;
      int mode, index;
      TRect client;
      if (graphic) {
        auto* g = Make<GraphicFrame>(10, 10, 70, 70, c.record);
        g->SetBounds(10, 10, 50, 40);
        mode = g->ResizeMode(), index = g->SkinIndex(), client = g->RealClientRect();
        ctl = g;
      } else {
        auto* f = Make<Frame>(10, 10, 70, 70, c.record);
        f->SetBounds(10, 10, 50, 40);
        mode = f->ResizeMode(), index = f->SkinIndex(), client = f->RealClientRect();
        ctl = f;
      }
      EXPECT_EQ(index != -1, c.skinned);
      if (c.skinned) {
        EXPECT_EQ(mode, c.mode);
      }
      EXPECT_EQ(ctl->Width(), c.w);
      EXPECT_EQ(ctl->Height(), c.h);
      if (c.skinned && c.mode >= 0) {
        EXPECT_EQ(client, c.client);
      }
      ctl->Free();
    }
  }
}

TEST_F(SkinBases, RealRectsFollowTheCornerTheyLieIn) {
  TbsFrameGeometry g;
  g.SkinRect = {0, 0, 30, 20};
  g.LTPt = {4, 4};
  g.RTPt = {26, 4};
  g.LBPt = {4, 16};
  g.RBPt = {26, 16};
  struct Case {
    int mode;
    TRect in, out;
  } cases[] = {
      // nine-part at 50 x 40 (20 wider, 20 higher)
      {1, {0, 0, 2, 2}, {0, 0, 2, 2}},
      {1, {27, 0, 29, 2}, {47, 0, 49, 2}},
      {1, {1, 17, 3, 19}, {1, 37, 3, 39}},
      {1, {27, 17, 29, 19}, {47, 37, 49, 39}},
      {1, {2, 2, 28, 18}, {2, 2, 48, 38}},
      {1, {2, 1, 28, 3}, {2, 1, 48, 3}},
      {1, {2, 17, 28, 19}, {2, 37, 48, 39}},
      {1, {1, 2, 3, 18}, {1, 2, 3, 38}},
      {1, {27, 2, 29, 18}, {47, 2, 49, 38}},
      {1, {10, 8, 12, 10}, {10, 8, 12, 10}},
      // horizontal bar
      {2, {2, 2, 28, 4}, {2, 2, 48, 4}},
      {2, {27, 2, 29, 4}, {47, 2, 49, 4}},
      {2, {10, 2, 12, 4}, {10, 2, 12, 4}},
      // vertical bar
      {3, {2, 2, 4, 18}, {2, 2, 4, 38}},
      {3, {2, 17, 4, 19}, {2, 37, 4, 39}},
      {3, {2, 8, 4, 10}, {2, 8, 4, 10}},
      {0, {27, 17, 29, 19}, {27, 17, 29, 19}},
  };
  for (auto& c : cases) {
    g.ResizeMode = c.mode;
    EXPECT_EQ(g.CalcRealRect(c.in, 50, 40), c.out) << c.mode << " " << c.in.Left << "," << c.in.Top;
  }
}

TEST_F(SkinBases, DefaultLookAndDefaultSizeWithoutARecord) {
  auto* f = Make<Frame>(10, 10, 60, 30, "nosuchrecord");
  EXPECT_EQ(f->SkinIndex(), -1);
  EXPECT_EQ(Px(f, 5, 5), Rgb(gfx::clBtnFace));
  // Without a record the default size applies at once and on every skin change.
  f->SetDefaultWidth(90);
  EXPECT_EQ(f->Width(), 90);
  f->SetDefaultHeight(33);
  f->SetBounds(10, 10, 40, 40);
  f->ChangeSkinData();
  EXPECT_EQ(f->Width(), 90);
  EXPECT_EQ(f->Height(), 33);
  // Writing the name alone changes nothing until the next paint or change.
  f->SetSkinDataName("roundbutton");
  EXPECT_EQ(f->Width(), 90);
  f->ChangeSkinData();
  EXPECT_EQ(f->Width(), 30);
  EXPECT_EQ(Px(f, 15, 10), kRound);
  // A skinned control ignores the default size.
  f->SetDefaultWidth(200);
  EXPECT_EQ(f->Width(), 30);
}

TEST_F(SkinBases, PictureIndexesBeyondTheSkinCountAsNone) {
  // A skin file may name pictures it does not have.
  auto* rec = skin->CtrlList[size_t(skin->GetControlIndex("maskbutton"))].get();
  rec->PictureIndex = 99;
  rec->MaskPictureIndex = 4;
  auto* f = Make<Frame>(10, 10, 60, 30, "maskbutton");
  auto* g = Make<GraphicFrame>(80, 10, 60, 30, "maskbutton");
  auto* b = Make<TbsSkinButton>(150, 10, 60, 30, "maskbutton");
  EXPECT_EQ(f->SkinIndex(), -1);
  EXPECT_EQ(Px(f, 5, 5), Rgb(gfx::clBtnFace));
  EXPECT_EQ(Px(g, 5, 5), Rgb(gfx::clBtnFace));
  EXPECT_EQ(Px(b, 5, 12), Rgb(gfx::clBtnFace));
  gfx::HRGN probe = gfx::CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(win::GetWindowRgn(f->Handle(), probe), gfx::ERROR_REGION);
  // A real picture with a mask beyond the list: drawn, but no region.
  rec->PictureIndex = 0;
  f->ChangeSkinData();
  EXPECT_EQ(Px(f, 3, 15), kNormal);
  EXPECT_EQ(win::GetWindowRgn(f->Handle(), probe), gfx::ERROR_REGION);
  gfx::DeleteObject(probe);
}

TEST_F(SkinBases, FreeingTheStoreClearsItsControls) {
  auto* f = Make<Frame>(10, 10, 60, 30, "button");
  auto* g = Make<GraphicFrame>(80, 10, 60, 30, "button");
  auto* b = Make<TbsSkinButton>(150, 10, 60, 30);
  EXPECT_EQ(Px(f, 3, 15), kNormal);
  skin.reset();
  EXPECT_EQ(f->SkinData(), nullptr);
  EXPECT_EQ(g->SkinData(), nullptr);
  EXPECT_EQ(b->SkinData(), nullptr);
  f->Repaint();
  g->Repaint();
  EXPECT_EQ(Px(f, 3, 15), Rgb(gfx::clBtnFace));
  EXPECT_EQ(Px(g, 3, 15), Rgb(gfx::clBtnFace));
}

// The form frame's part of the protocol, played by a registry that walks the
// test form for every message the store sends.
struct FrameDriver : TbsSkinFormRegistry {
  cl::TForm* form;
  std::vector<std::string> log;
  std::function<void(unsigned)> during;
  explicit FrameDriver(cl::TForm* f) : form(f) { SetSkinFormRegistry(this); }
  ~FrameDriver() override { SetSkinFormRegistry(nullptr); }
  std::vector<Form> ScreenForms() override { return {form}; }
  std::string FormClassName(Form) override { return "TForm"; }
  void SendMessage(Form, unsigned Msg, TbsSkinData* store, intptr_t) override {
    log.push_back(std::to_string(Msg) + (store->FActivePictures.empty() ? " no pictures" : " pictures"));
    SkinChangeWalk(form, Msg, store);
    if (during) during(Msg);
  }
};

TEST_F(SkinBases, SkinChangeRunsBeforeThePicturesGoAndShowsDefaultUntilTheNewSkin) {
  auto* f = Make<Frame>(10, 10, 60, 30, "button");
  auto* b = Make<TbsSkinButton>(80, 10, 60, 30);
  auto* sb = Make<TbsSkinSpeedButton>(150, 10, 30, 30);
  ASSERT_NE(f->SkinIndex(), -1);
  std::vector<uint32_t> seen;
  FrameDriver drive(form);
  drive.during = [&](unsigned msg) {
    if (msg != WM_BEFORE_CHANGE_SKIN_DATA) return;
    EXPECT_EQ(f->SkinIndex(), -1);
    EXPECT_EQ(b->SkinIndex(), -1);
    f->Repaint();
    b->Repaint();
    sb->Repaint();
    seen = {h.Pixel(f, 3, 15), h.Pixel(b, 3, 15), h.Pixel(sb, 3, 15)};
  };
  // The change to another skin: the data skin has a "button" record of its own.
  skin->LoadFromFile(std::string(TESTSKIN_DIR) + "/skin.ini");
  ASSERT_GE(drive.log.size(), 2u);
  EXPECT_EQ(drive.log[0], "1225 pictures");  // the controls let go first
  EXPECT_EQ(drive.log[1], "1226 pictures");
  EXPECT_EQ(seen, (std::vector<uint32_t>{Rgb(gfx::clBtnFace), Rgb(gfx::clBtnFace), Rgb(gfx::clBtnFace)}));
  EXPECT_NE(f->SkinIndex(), -1);
  EXPECT_NE(b->SkinIndex(), -1);
  // The new skin's button is 24 x 12 and nine-part.
  EXPECT_EQ(b->ResizeMode(), 1);
}

TEST_F(SkinBases, PaintsAndTimersBetweenTheTwoCallsNeverTouchFreedPictures) {
  auto* b = Make<TbsSkinButton>(10, 10, 75, 25);
  auto* sb = Make<TbsSkinSpeedButton>(100, 10, 30, 30);
  auto* f = Make<Frame>(150, 10, 60, 40, "maskbutton");
  h.input.MoveTo(b, 10, 10);
  h.Advance(40);  // the hover blend is running
  ASSERT_GT(b->MorphKf(), 0);
  ASSERT_LT(b->MorphKf(), 1);
  // What a load does: the store turns empty, the frame lets the controls go,
  // then the old pictures and records are freed (poisoned under the sanitizer).
  skin->Empty = true;
  SkinChangeWalk(form, WM_BEFORE_CHANGE_SKIN_DATA, skin.get());
  skin->ClearAll();
  for (cl::TControl* c : std::initializer_list<cl::TControl*>{b, sb, f}) c->Repaint();
  f->SetBounds(150, 10, 70, 50);
  h.Advance(200);
  EXPECT_EQ(Px(b, 3, 12), Rgb(bsHotFillColor));  // the default hot look
  EXPECT_EQ(Px(f, 5, 5), Rgb(gfx::clBtnFace));
  skin->LoadFromFile(std::string(CTLSKIN_DIR) + "/skin.ini");
  SkinChangeWalk(form, WM_CHANGE_SKIN_DATA, skin.get());
  // The hovered button comes back hot at once, without a blend.
  EXPECT_EQ(b->MorphKf(), 1);
  EXPECT_EQ(Px(b, 3, 12), kHot);
  EXPECT_EQ(Px(f, 3, 20), kNormal);
}

TEST_F(SkinBases, TheWindowOwnsItsRegionAndNoneLeaksOverAThousandResizes) {
  auto* f = Make<Frame>(10, 10, 60, 40, "maskbutton");
  win::HWND hw = f->Handle();
  gfx::HRGN probe = gfx::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(win::GetWindowRgn(hw, probe), gfx::ERROR_REGION);
  EXPECT_FALSE(gfx::PtInRegion(probe, 0, 0));   // the corner is cut
  EXPECT_TRUE(gfx::PtInRegion(probe, 30, 20));  // the inside
  EXPECT_TRUE(gfx::PtInRegion(probe, 59, 20));
  size_t base = gfx::GdiObjectCount();
  for (int i = 0; i < 1000; ++i) f->SetBounds(10, 10, 40 + i % 50, 30 + i % 37);
  h.Pump();
  EXPECT_EQ(gfx::GdiObjectCount(), base);
  // A record without a mask takes the region away.
  f->SetSkinDataName("button");
  f->ChangeSkinData();
  EXPECT_EQ(win::GetWindowRgn(hw, probe), gfx::ERROR_REGION);
  EXPECT_EQ(gfx::GdiObjectCount(), base - 1);
  // A fixed-size record uses the whole mask.
  f->SetSkinDataName("roundbutton");
  f->ChangeSkinData();
  ASSERT_NE(win::GetWindowRgn(hw, probe), gfx::ERROR_REGION);
  EXPECT_FALSE(gfx::PtInRegion(probe, 28, 18));
  EXPECT_TRUE(gfx::PtInRegion(probe, 27, 18));
  gfx::DeleteObject(probe);
}

TEST_F(SkinBases, StretchedSkinTellsEveryChildItsBackgroundChanged) {
  auto* parent = Make<Frame>(10, 10, 150, 100, "button");  // StretchEffect on
  auto* win = Make<Frame>(5, 5, 40, 30, "", false, parent);
  auto* gr = Make<GraphicFrame>(60, 5, 40, 30, "", false, parent);
  win->bgChanged = gr->bgChanged = 0;
  parent->SetBounds(10, 10, 160, 110);
  EXPECT_EQ(win->bgChanged, 1);
  EXPECT_EQ(gr->bgChanged, 1);
  // A record that tiles does not.
  parent->SetSkinDataName("animbutton");
  skin->CtrlList[size_t(skin->GetControlIndex("animbutton"))]->PictureIndex = 0;
  static_cast<TbsDataSkinCustomControl*>(skin->CtrlList[size_t(skin->GetControlIndex("animbutton"))].get())
      ->StretchEffect = false;
  parent->SetBounds(10, 10, 170, 120);
  EXPECT_EQ(win->bgChanged, 1);
}

TEST_F(SkinBases, ControlsOnACentringParentStayCentred) {
  auto* bar = new Centring(form);
  bar->SetBounds(0, 100, 300, 40);
  bar->SetParent(form);
  auto* f = Make<Frame>(5, 0, 40, 20, "", false, bar);
  auto* g = Make<GraphicFrame>(50, 30, 40, 20, "", false, bar);
  f->SetBounds(5, 0, 40, 20);
  g->SetBounds(50, 30, 40, 20);
  EXPECT_EQ(f->Top(), 6);  // 2 + 28 div 2 - 20 div 2
  EXPECT_EQ(g->Top(), 6);
  bar->on = false;
  f->SetBounds(5, 0, 40, 20);
  EXPECT_EQ(f->Top(), 0);
}

TEST_F(SkinBases, ForceBackgroundPaintsTheFrameStripsAndTheClient) {
  auto* f = new Frame(form);
  f->SetForcebackGround(true);
  f->SetBounds(10, 10, 80, 50);
  f->SetParent(form);
  f->SetSkinDataName("button");
  f->SetSkinData(skin.get());
  EXPECT_EQ(Px(f, 1, 1), 0x6E7076);   // the darker frame of the normal image
  EXPECT_EQ(Px(f, 40, 25), kNormal);  // the stretched client
  EXPECT_EQ(Px(f, 78, 48), 0x6E7076);
}

TEST_F(SkinBases, TheBackgroundIsNeverErased) {
  auto* f = Make<Frame>(10, 10, 60, 30, "button");
  gfx::TBitmap bm;
  bm.SetSize(60, 30);
  bm.Canvas()->Brush()->SetColor(gfx::clRed);
  bm.Canvas()->FillRect({0, 0, 60, 30});
  EXPECT_EQ(f->Perform(win::WM_ERASEBKGND, win::WPARAM(bm.Canvas()->Handle().v)), 1);
  EXPECT_EQ(bm.Canvas()->Pixels(5, 5), gfx::clRed);
}

}  // namespace
