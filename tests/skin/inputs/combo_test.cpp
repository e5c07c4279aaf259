// The skinned combo box: its event order (the preset cascade depends on
// it), the drop-down mechanics (placement, press-drag-release, auto-scroll,
// cancel), keys, wheel and type-ahead, its painting, and the filter combo.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/FormatCatalogue.h"
#include "app/MemoryControls.h"
#include "inputs_fixture.h"
#include "platform/cl/stdctrls.h"
#include "platform/gfx/rect.h"
#include "platform/win/layered.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/inputs/bsSkinEdits.h"

using namespace skin;

namespace inputstest {
namespace {

using Log = std::vector<std::string>;

// A combo box that logs every event, Change included.
class TLogCombo : public TbsSkinComboBox {
 public:
  explicit TLogCombo(cl::TComponent* AOwner) : TbsSkinComboBox(AOwner) {}
  void Attach(Log* L) {
    log = L;
    OnChange = [L](rtl::TObject*) { L->push_back("OnChange"); };
    OnClick = [L](rtl::TObject*) { L->push_back("OnClick"); };
    OnCloseUp = [L](rtl::TObject*) { L->push_back("OnCloseUp"); };
    OnDropDown = [L](rtl::TObject*) { L->push_back("OnDropDown"); };
    OnMouseDown = [L](rtl::TObject*, cl::TMouseButton, cl::TShiftState, int, int) { L->push_back("OnMouseDown"); };
    OnMouseUp = [L](rtl::TObject*, cl::TMouseButton, cl::TShiftState, int, int) { L->push_back("OnMouseUp"); };
    OnKeyDown = [L](rtl::TObject*, uint16_t&, cl::TShiftState) { L->push_back("OnKeyDown"); };
    OnKeyPress = [L](rtl::TObject*, char32_t&) { L->push_back("OnKeyPress"); };
  }
  Log* log = nullptr;

 protected:
  void Change() override {
    if (log) log->push_back("Change");
  }
};

class ComboTest : public InputsTest {
 public:
  TLogCombo* MakeCombo(std::vector<std::string> rows, int l = 20, int t = 20) {
    auto* c = Make<TLogCombo>(l, t, 120, 20);
    for (auto& r : rows) c->Items().Add(r);
    c->Attach(&log);
    return c;
  }
  // The centre of row `i` of the open list, in the list's client coordinates.
  void MoveToRow(TbsSkinCustomComboBox* c, int i) {
    TbsListBox* L = c->PopupList()->ListBox;
    TRect r = L->ItemRect(i);
    h.input.MoveTo(L, r.Left + 5, r.Top + r.Height() / 2);
  }
  void ClickControl(TbsSkinCustomComboBox* c) {
    h.input.MoveTo(c, 30, 10);
    h.input.Click();
  }
};

// Every action of the fixed style and the events it fires, in order.
TEST_F(ComboTest, EventOrderTable) {
  struct Case {
    const char* name;
    std::function<void(ComboTest&, TLogCombo*)> prepare;
    std::function<void(ComboTest&, TLogCombo*)> act;
    Log expected;
    std::string text;  // Text afterwards
  };
  const std::vector<std::string> rows = {"480x360", "640x480", "640x480", "720x576"};
  auto none = [](ComboTest&, TLogCombo*) {};
  auto select1 = [](ComboTest&, TLogCombo* c) { c->SetItemIndex(1); };
  const std::vector<Case> cases = {
      {"new row, new text",
       none,
       [](ComboTest&, TLogCombo* c) { c->SetItemIndex(1); },
       {"OnChange", "OnClick", "Change"},
       "640x480"},
      {"same row again",
       select1,
       [](ComboTest&, TLogCombo* c) { c->SetItemIndex(1); },
       {"OnClick", "Change"},
       "640x480"},
      {"other row, equal text",
       select1,
       [](ComboTest&, TLogCombo* c) { c->SetItemIndex(2); },
       {"OnClick", "Change"},
       "640x480"},
      {"no row", select1, [](ComboTest&, TLogCombo* c) { c->SetItemIndex(-1); }, {"OnClick", "Change"}, "640x480"},
      {"Items.Clear", select1, [](ComboTest&, TLogCombo* c) { c->Items().Clear(); }, {}, "640x480"},
      {"Text set directly", select1, [](ComboTest&, TLogCombo* c) { c->SetText("other"); }, {"OnChange"}, "other"},
      {"click, list closed",
       none,
       [](ComboTest& t, TLogCombo* c) { t.ClickControl(c); },
       {"OnMouseDown", "OnDropDown", "OnMouseUp"},
       ""},
      {"pick by click in the open list",
       [](ComboTest& t, TLogCombo* c) { t.ClickControl(c); },
       [](ComboTest& t, TLogCombo* c) {
         t.MoveToRow(c, 3);
         t.h.input.Click();
       },
       {"OnChange", "OnClick", "Change", "OnCloseUp", "OnMouseUp"},
       "720x576"},
      {"pick by press-drag-release",
       none,
       [](ComboTest& t, TLogCombo* c) {
         t.h.input.MoveTo(c, 30, 10);
         t.h.input.Press();
         t.MoveToRow(c, 2);
         t.h.input.Release();
       },
       {"OnMouseDown", "OnDropDown", "OnChange", "OnClick", "Change", "OnCloseUp", "OnMouseUp"},
       "640x480"},
      {"pick of the shown text",
       select1,
       [](ComboTest& t, TLogCombo* c) {
         t.ClickControl(c);
         t.MoveToRow(c, 2);
         t.h.input.Click();
       },
       {"OnMouseDown", "OnDropDown", "OnMouseUp", "OnClick", "Change", "OnCloseUp", "OnMouseUp"},
       "640x480"},
      {"Esc in the open list",
       [](ComboTest& t, TLogCombo* c) { t.ClickControl(c); },
       [](ComboTest& t, TLogCombo*) { t.h.input.Key(win::VK_ESCAPE); },
       {"OnKeyDown", "OnKeyPress"},
       ""},
      {"click outside",
       [](ComboTest& t, TLogCombo* c) { t.ClickControl(c); },
       [](ComboTest& t, TLogCombo*) {
         t.h.input.MoveTo(t.form, 300, 250);
         t.h.input.Click();
       },
       {},
       ""},
      {"Down key, list closed",
       [](ComboTest&, TLogCombo* c) { c->SetItemIndex(0); },
       [](ComboTest& t, TLogCombo*) { t.h.input.Key(win::VK_DOWN); },
       {"OnKeyDown", "OnChange", "OnClick", "Change"},
       "640x480"},
      {"Down key onto an equal text",
       select1,
       [](ComboTest& t, TLogCombo*) { t.h.input.Key(win::VK_DOWN); },
       {"OnKeyDown", "OnClick", "Change"},
       "640x480"},
      {"Up key at the first row",
       [](ComboTest&, TLogCombo* c) { c->SetItemIndex(0); },
       [](ComboTest& t, TLogCombo*) { t.h.input.Key(win::VK_UP); },
       {"OnKeyDown"},
       "480x360"},
      {"wheel, list closed",
       select1,
       [](ComboTest& t, TLogCombo*) { t.h.input.Wheel(-120); },
       {"OnClick", "Change"},
       "640x480"},
      {"wheel, list open",
       [](ComboTest& t, TLogCombo* c) { t.ClickControl(c); },
       [](ComboTest& t, TLogCombo* c) {
         t.h.input.MoveTo(c, 30, 10);
         t.h.input.Wheel(-120);
       },
       {},
       ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TLogCombo* c = MakeCombo(rows);
    c->SetFocus();
    h.Pump();
    k.prepare(*this, c);
    h.Pump();
    log.clear();
    k.act(*this, c);
    h.Pump();
    EXPECT_EQ(log, k.expected);
    EXPECT_EQ(c->Text(), k.text);
    EXPECT_FALSE(c->IsPopupVisible() && std::string(k.name).find("pick") != std::string::npos);
    c->Free();
    h.Pump();
  }
}

TEST_F(ComboTest, CancelRestoresTheRowAndWheelOpenOnlyHighlights) {
  TLogCombo* c = MakeCombo({"a", "b", "c", "d"});
  c->SetItemIndex(1);
  ClickControl(c);
  ASSERT_TRUE(c->IsPopupVisible());
  h.input.MoveTo(c, 30, 10);
  h.input.Wheel(-120);
  EXPECT_EQ(c->PopupList()->ItemIndex(), 2);
  EXPECT_EQ(c->OldItemIndex(), 1);
  h.input.Key(win::VK_ESCAPE);
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(c->ItemIndex(), 1);
  EXPECT_EQ(c->Text(), "b");
  // Arrow steps commit at once, so a later Esc keeps them.
  ClickControl(c);
  h.input.Key(win::VK_DOWN);
  h.input.Key(win::VK_ESCAPE);
  EXPECT_EQ(c->ItemIndex(), 2);
  EXPECT_EQ(c->Text(), "c");
}

TEST_F(ComboTest, PageKeysAndTypeAhead) {
  std::vector<std::string> ten;
  for (int i = 0; i < 10; ++i) ten.push_back("r" + std::to_string(i));
  TLogCombo* c = MakeCombo(ten);
  c->SetFocus();
  c->SetItemIndex(9);
  h.input.Key(win::VK_PRIOR);
  EXPECT_EQ(c->ItemIndex(), 0);  // up by DropDownCount + 1
  h.input.Key(win::VK_NEXT);
  EXPECT_EQ(c->ItemIndex(), 7);  // down by DropDownCount - 1
  c->Free();

  TLogCombo* t = MakeCombo({"1", "10", "11", "2"});
  t->SetFocus();
  h.Pump();
  struct Step {
    std::string key;
    int advance;
    int row;
  };
  // Search texts 1, 11, 111 within 500 ms; then a pause starts again.
  for (const Step& s : {Step{"1", 0, 0}, Step{"1", 100, 2}, Step{"1", 100, 2}, Step{"2", 500, 3}}) {
    h.Advance(s.advance);
    h.input.Type(s.key);
    EXPECT_EQ(t->ItemIndex(), s.row) << s.key << " after " << s.advance;
  }
}

TEST_F(ComboTest, OpensBelowOrAboveNearTheWorkAreaBottom) {
  TLogCombo* c = MakeCombo({"a", "b", "c", "d", "e"}, 20, 20);
  ClickControl(c);
  ASSERT_TRUE(c->IsPopupVisible());
  const TPoint below = c->ClientToScreen(TPoint(0, c->Height()));
  EXPECT_EQ(c->PopupList()->Left(), below.X);
  EXPECT_EQ(c->PopupList()->Top(), below.Y);
  EXPECT_EQ(c->PopupList()->Width(), c->Width());
  c->CloseUp(false);
  // Move the form so the combo's bottom is close to the screen's bottom.
  form->SetBounds(0, 768 - 60, 400, 60);
  h.Pump();
  ClickControl(c);
  ASSERT_TRUE(c->IsPopupVisible());
  const TPoint top = c->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(c->PopupList()->Top() + c->PopupList()->Height(), top.Y);
  c->CloseUp(false);
}

TEST_F(ComboTest, DragBelowTheListAutoScrollsEvery25msAndReleaseOutsideCancels) {
  std::vector<std::string> rows;
  for (int i = 0; i < 20; ++i) rows.push_back("row " + std::to_string(i));
  TLogCombo* c = MakeCombo(rows);
  c->SetItemIndex(0);
  h.input.MoveTo(c, 30, 10);
  h.input.Press();
  ASSERT_TRUE(c->IsPopupVisible());
  ASSERT_NE(c->PopupList()->ScrollBar, nullptr);  // 20 rows, 8 shown
  // Straight from the control to below the list: no auto-scroll yet.
  TbsListBox* L = c->PopupList()->ListBox;
  h.input.MoveTo(L, 10, L->Height() + 30);
  EXPECT_EQ(c->TimerMode, 0);
  MoveToRow(c, 3);
  EXPECT_EQ(c->PopupList()->ItemIndex(), 3);
  h.input.MoveTo(L, 10, L->Height() + 30);
  EXPECT_EQ(c->TimerMode, 2);
  h.Advance(25);
  EXPECT_EQ(c->PopupList()->ItemIndex(), 4);
  h.Advance(24);
  EXPECT_EQ(c->PopupList()->ItemIndex(), 4);
  h.Advance(1000);
  EXPECT_EQ(c->PopupList()->ItemIndex(), 19);  // stops at the last row
  log.clear();
  h.input.Release();  // outside the list: cancelled
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(c->ItemIndex(), 0);
  EXPECT_EQ(log, Log({"OnMouseUp"}));
}

TEST_F(ComboTest, TheListNeverTakesTheFocus) {
  TLogCombo* c = MakeCombo({"a", "b", "c"});
  c->SetFocus();
  ClickControl(c);
  MoveToRow(c, 1);
  h.input.Press();
  EXPECT_TRUE(c->Focused());
  EXPECT_EQ(win::SendMessage(c->PopupList()->Handle(), win::WM_MOUSEACTIVATE, 0, 0), win::MA_NOACTIVATE);
  h.input.Release();
  EXPECT_TRUE(c->Focused());
  EXPECT_EQ(c->Text(), "b");
}

TEST_F(ComboTest, CancelModeSparesTheComboAndItsList) {
  TLogCombo* c = MakeCombo({"a", "b"});
  auto* other = Make<TLogCombo>(200, 20, 80, 20);
  for (cl::TControl* sender : std::vector<cl::TControl*>{c, c->PopupList(), c->PopupList()->ListBox}) {
    c->DropDown();
    c->Perform(win::CM_CANCELMODE, 0, win::LPARAM(sender));
    EXPECT_TRUE(c->IsPopupVisible());
    c->CloseUp(false);
  }
  c->DropDown();
  c->Perform(win::CM_CANCELMODE, 0, win::LPARAM(other));
  EXPECT_FALSE(c->IsPopupVisible());
}

TEST_F(ComboTest, DefaultLookButtonStatesAndNoRowForMinusOne) {
  TLogCombo* c = MakeCombo({"a", "b"});
  auto px = [&](int x, int y) {
    h.Pump();
    return h.Pixel(c, x, y);
  };
  const int bx = c->Width() - 10, by = 10;
  const uint32_t idle = px(bx - 5, 5);
  h.input.MoveTo(c, bx, by);
  const uint32_t hot = px(bx - 5, 5);
  EXPECT_NE(idle, hot);
  EXPECT_EQ(hot, 0xB6BDD2u);  // $00D2BDB6 as RGB
  h.input.MoveTo(form, 300, 250);
  // A row out of range draws no text: the item area stays one colour.
  c->SetItemIndex(-1);
  h.Pump();
  const uint32_t bg = px(6, 10);
  for (int x = 4; x < 60; ++x) EXPECT_EQ(px(x, 10), bg) << x;
}

TEST_F(ComboTest, SkinnedComboPaintsAndSizesFromItsRecord) {
  TLogCombo* c = MakeCombo({"a", "b"});
  c->SetSkinData(TestSkin());
  c->ChangeSkinData();
  h.Pump();
  EXPECT_NE(c->SkinIndex(), -1);
  c->SetItemIndex(1);
  c->DropDown();
  EXPECT_TRUE(c->IsPopupVisible());
  EXPECT_EQ(c->PopupList()->SkinData(), TestSkin());
  EXPECT_EQ(c->PopupList()->SkinDataName(), "listbox");
  c->CloseUp(false);
}

// The app's job model drives six fake combos; six real ones on a form must
// give the same event log for the same script.
class TSkinPresetCombo : public IPresetCombo {
 public:
  explicit TSkinPresetCombo(TbsSkinComboBox* c) : c_(c) {}
  void ItemsClear() override { c_->Items().Clear(); }
  void ItemsAdd(const std::string& text) override { c_->Items().Add(text); }
  int ItemCount() const override { return c_->Items().Count(); }
  std::string Item(int index) const override { return c_->Items().Get(index); }
  void SetItemIndex(int index) override { c_->SetItemIndex(index); }
  int ItemIndex() const override { return c_->ItemIndex(); }
  std::string Text() const override { return c_->Text(); }
  void SetEnabled(bool enabled) override { c_->SetEnabled(enabled); }
  bool Enabled() const override { return c_->Enabled(); }

 private:
  TbsSkinComboBox* c_;
};

struct RealJobForm {
  RealJobForm(cl::TForm* form) {
    for (int r = 0; r < catalogue::kComboCount; ++r) {
      boxes[r] = new TbsSkinComboBox(form);
      boxes[r]->SetBounds(10 + (r % 3) * 130, 10 + (r / 3) * 40, 120, 20);
      boxes[r]->SetParent(form);
      ports[r] = std::make_unique<TSkinPresetCombo>(boxes[r]);
    }
    TMainJobLogic::Ports p;
    p.Category = &Category;
    p.Format = &Format;
    p.Files = &Files;
    for (int r = 0; r < catalogue::kComboCount; ++r) p.Combos.box[r] = ports[r].get();
    Logic = std::make_unique<TMainJobLogic>(p);
    TMainJobLogic* logic = Logic.get();
    Category.OnClick = [this] { Events.push_back("category.click"); };
    Category.OnChange = [this, logic] {
      Events.push_back("category.change");
      logic->bsSkinOfficeComboBox2Change();
    };
    Format.OnClick = [this] { Events.push_back("format.click"); };
    Format.OnChange = [this, logic] {
      Events.push_back("format.change");
      logic->bsSkinOfficeComboBox1Change();
    };
    auto bind = [this](catalogue::ComboRole role, const char* name, void (TMainJobLogic::*handler)()) {
      Box(role)->OnChange = [this, name, handler](rtl::TObject*) {
        Events.push_back(std::string(name) + ".change");
        (Logic.get()->*handler)();
      };
    };
    using catalogue::ComboRole;
    bind(ComboRole::FrameSize, "combo1", &TMainJobLogic::bsSkinComboBox1Change);
    bind(ComboRole::VideoBitrate, "combo2", &TMainJobLogic::bsSkinComboBox2Change);
    bind(ComboRole::AudioBitrate, "combo3", &TMainJobLogic::bsSkinComboBox3Change);
    bind(ComboRole::Zoom, "combo4", &TMainJobLogic::bsSkinComboBox4Change);
    bind(ComboRole::FrameRate, "combo9", &TMainJobLogic::bsSkinComboBox9Change);
    bind(ComboRole::SampleRate, "combo10", &TMainJobLogic::bsSkinComboBox10Change);
    Files.OnSelectItem = [this, logic] {
      Events.push_back("select");
      logic->lvFilesSelectItem();
    };
  }
  TbsSkinComboBox* Box(catalogue::ComboRole r) { return boxes[int(r)]; }
  void Start() {
    Category.ItemsClear();
    for (int i = 0; i < catalogue::kChooserItemCount; ++i)
      Category.ItemsAdd("", catalogue::kCategoryChooser[i].caption, catalogue::kCategoryChooser[i].imageIndex);
    auto click = Category.OnClick, change = Category.OnChange;
    Category.OnClick = nullptr;
    Category.OnChange = nullptr;
    Category.SetItemIndex(0);
    Category.OnClick = click;
    Category.OnChange = change;
    Logic->Button2Click();
  }
  TMemoryOfficeCombo Category, Format;
  TMemoryFileList Files;
  TbsSkinComboBox* boxes[catalogue::kComboCount] = {};
  std::unique_ptr<TSkinPresetCombo> ports[catalogue::kComboCount];
  std::unique_ptr<TMainJobLogic> Logic;
  std::vector<std::string> Events;
};

TEST_F(ComboTest, SixCombosGiveTheJobModelsEventLog) {
  THeadlessJobForm mem;
  RealJobForm real(form);
  h.Pump();
  for (TMainJobLogic* l : {mem.Logic.get(), real.Logic.get()}) {
    l->OutputFolderText = [] { return std::string("/tmp"); };
    l->OverwriteOutput = [] { return false; };
  }
  mem.Start();
  real.Start();
  h.Pump();
  EXPECT_EQ(real.Events, mem.Events);
  int scripted = 0;
  for (int item = 0; item < 4; ++item) {
    for (int fmt = 0; fmt < 2; ++fmt) {
      mem.Events.clear();
      real.Events.clear();
      mem.Category.SetItemIndex(item);
      real.Category.SetItemIndex(item);
      if (fmt >= mem.Format.ItemCount()) continue;
      mem.Format.SetItemIndex(fmt);
      real.Format.SetItemIndex(fmt);
      h.Pump();
      EXPECT_EQ(real.Events, mem.Events) << "category " << item << " format " << fmt;
      // The user picks the second row of each preset list with the mouse.
      for (int r = 0; r < catalogue::kComboCount; ++r) {
        auto role = catalogue::ComboRole(r);
        TMemoryPresetCombo& m = mem.Combo(role);
        TbsSkinComboBox* b = real.Box(role);
        ASSERT_EQ(b->Items().Count(), m.ItemCount());
        if (m.ItemCount() < 2 || !b->Enabled()) continue;
        mem.Events.clear();
        real.Events.clear();
        h.input.MoveTo(b, 30, 10);
        h.input.Click();
        ASSERT_TRUE(b->IsPopupVisible());
        TbsListBox* L = b->PopupList()->ListBox;
        // A row the open list shows, other than the selected one.
        const int top = L->TopIndex();
        const int pick = L->ItemIndex() == top && top + 1 < L->Count() ? top + 1 : top;
        m.SetItemIndex(pick);
        TRect row = L->ItemRect(pick);
        h.input.MoveTo(L, 5, row.Top + row.Height() / 2);
        h.input.Click();
        EXPECT_FALSE(b->IsPopupVisible());
        EXPECT_EQ(real.Events, mem.Events) << "combo " << r;
        for (int k = 0; k < catalogue::kComboCount; ++k)
          EXPECT_EQ(real.Box(catalogue::ComboRole(k))->Text(), mem.Combo(catalogue::ComboRole(k)).Text());
        ++scripted;
      }
    }
  }
  EXPECT_GT(scripted, 6);
}

TEST_F(ComboTest, EditStyleKeepsOneEditAndCompletesTypedText) {
  TLogCombo* c = MakeCombo({"10", "20", "25"});
  c->SetStyle(bscbEditStyle);
  TbsCustomEdit* first = c->Edit();
  ASSERT_NE(first, nullptr);
  c->SetStyle(bscbEditStyle);  // again: still the one edit
  EXPECT_EQ(c->Edit(), first);
  int edits = 0;
  for (int i = 0; i < c->ControlCount(); ++i) edits += dynamic_cast<TbsCustomEdit*>(c->Controls(i)) != nullptr;
  EXPECT_EQ(edits, 1);
  h.Advance(1000);
  first->SetFocus();
  h.input.Type("2");
  // The one-character completion searches after the row the typing
  // highlighted (20), so it lands on 25 with the tail selected.
  EXPECT_EQ(c->Text(), "25");
  EXPECT_EQ(first->SelStart(), 1);
  EXPECT_EQ(first->SelLength(), 1);
  c->SetStyle(bscbFixedStyle);
  EXPECT_EQ(c->Edit(), nullptr);
}

// Focus given to an edit-style combo box goes on to its edit, which takes
// the skin's hot text colour; leaving gives the normal colour back.
TEST_F(ComboTest, EditStyleFocusGoesToTheEdit) {
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->LoadFromFile(std::string(INPUTS_SKINS_DIR) + "/blue/skin.ini");
  ASSERT_FALSE(store->Empty);
  auto* rec = dynamic_cast<TbsDataSkinComboBox*>(store->CtrlList[size_t(store->GetControlIndex("combobox"))].get());
  ASSERT_NE(rec, nullptr);
  auto* other = Make<cl::TButton>(200, 20, 60, 24);
  TLogCombo* c = MakeCombo({"10", "20", "25"});
  c->SetSkinData(store.get());
  c->SetStyle(bscbEditStyle);
  h.Pump();
  c->SetFocus();
  h.Pump();
  ASSERT_TRUE(c->Edit()->Focused());
  EXPECT_EQ(c->Edit()->Font()->Color(), rec->ActiveFontColor);
  h.input.Type("x");
  EXPECT_EQ(c->Edit()->Text(), "x");
  other->SetFocus();
  h.Pump();
  EXPECT_EQ(c->Edit()->Font()->Color(), rec->FontColor);
}

// A parent that counts the wheel turns that reach it.
class WheelCounter : public cl::TCustomControl {
 public:
  explicit WheelCounter(cl::TComponent* o) : cl::TCustomControl(o) { ControlStyle |= cl::csAcceptsControls; }
  int wheels = 0;
  void Dispatch(cl::TMessage& Msg) override {
    if (Msg.Msg == win::WM_MOUSEWHEEL) ++wheels;
    cl::TCustomControl::Dispatch(Msg);
  }
};

// In the edit style the wheel steps the rows through the edit, committing
// only while the list is closed, and never reaches the parent.
TEST_F(ComboTest, EditStyleWheelStepsRowsAndStopsAtTheComboBox) {
  struct Case {
    const char* name;
    bool open, toCombo;
    int index;
    std::string text;
    Log events;
  } cases[] = {
      {"closed", false, false, 2, "25", {"OnChange", "OnClick"}},
      {"open: highlight only", true, false, 2, "20", {}},
      {"sent to the combo box itself", false, true, 1, "20", {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    auto* parent = Make<WheelCounter>(10, 10, 300, 100);
    auto* c = Make<TLogCombo>(10, 10, 120, 20, parent);
    for (const char* r : {"10", "20", "25"}) c->Items().Add(r);
    c->SetStyle(bscbEditStyle);
    c->SetItemIndex(1);
    c->Attach(&log);
    c->Edit()->SetFocus();
    if (k.open) c->DropDown();
    log.clear();
    const win::WPARAM down = win::MAKEWPARAM(0, uint16_t(-120));
    win::SendMessage(k.toCombo ? c->Handle() : c->Edit()->Handle(), win::WM_MOUSEWHEEL, down, 0);
    h.Pump();
    EXPECT_EQ(c->ItemIndex(), k.index);
    EXPECT_EQ(c->Text(), k.text);
    EXPECT_EQ(log, k.events);
    EXPECT_EQ(parent->wheels, 0);
    c->CloseUp(false);
    parent->Free();
    h.Pump();
  }
}

// Completion on key release: for the character sets typed through an input
// method every key but Delete and Backspace completes (Space commits a
// candidate there); for the others only the keys from the digits up.
TEST_F(ComboTest, EditStyleCompletionFollowsTheCharacterSet) {
  struct Case {
    const char* name;
    uint8_t charset;
    uint16_t key;
    std::string text;
    int selStart, selLength;
  } cases[] = {
      {"western, Space", 1, win::VK_SPACE, "中", 1, 0},     {"western, letter", 1, 'A', "中文", 1, 1},
      {"GB2312, Space", 134, win::VK_SPACE, "中文", 1, 1},  {"Big5, Enter", 136, win::VK_RETURN, "中文", 1, 1},
      {"GB2312, Backspace", 134, win::VK_BACK, "中", 1, 0}, {"Shift-JIS, Delete", 128, win::VK_DELETE, "中", 1, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TLogCombo* c = MakeCombo({"中文", "英文"});
    c->DefaultFont()->SetCharset(k.charset);
    c->SetStyle(bscbEditStyle);
    c->Edit()->SetFocus();
    // The committed character alone; the key release comes by itself.
    win::SendMessage(c->Edit()->Handle(), win::WM_CHAR, 0x4E2D, 0);
    h.Advance(1000);
    h.input.KeyUp(k.key);
    EXPECT_EQ(c->Text(), k.text);
    EXPECT_EQ(c->Edit()->Text(), k.text);
    EXPECT_EQ(c->Edit()->SelStart(), k.selStart);
    EXPECT_EQ(c->Edit()->SelLength(), k.selLength);
    c->Free();
    h.Pump();
  }
}

TEST_F(ComboTest, DropDownTranslucencyIsAppliedLazily) {
  win::SetCompositorPresent(true);
  TLogCombo* c = MakeCombo({"a", "b"});
  c->AlphaBlend = true;
  c->AlphaBlendValue = 200;
  c->DropDown();
  auto layered = [&] {
    return (win::GetWindowLong(c->PopupList()->Handle(), win::GWL_EXSTYLE) & win::WS_EX_LAYERED) != 0;
  };
  EXPECT_TRUE(layered());
  EXPECT_EQ(c->PopupList()->OldAlphaBlendValue(), 200);
  c->CloseUp(false);
  c->AlphaBlend = false;
  c->DropDown();
  EXPECT_FALSE(layered());
  c->CloseUp(false);
  // With the animation every show starts from transparent and fades in.
  c->Free();
  c = MakeCombo({"a", "b"});
  c->AlphaBlend = true;
  c->AlphaBlendAnimation = true;
  c->AlphaBlendValue = 200;
  h.Backend().calls.clear();
  c->DropDown();
  EXPECT_TRUE(layered());
  EXPECT_EQ(c->PopupList()->OldAlphaBlendValue(), 0);
  EXPECT_TRUE(c->IsPopupVisible());
  // From transparent in steps of 200 div 15, the first at once, up to 200.
  std::vector<int> alphas, want{0};
  for (const std::string& s : h.Backend().calls)
    if (s.rfind("SetOpacity ", 0) == 0) alphas.push_back(int(std::stod(s.substr(s.rfind(' ') + 1)) * 255 + 0.5));
  for (int a = 13; a < 200; a += 13) want.push_back(a);
  want.push_back(200);
  want.push_back(200);
  EXPECT_EQ(alphas, want);
  c->CloseUp(false);
  win::SetCompositorPresent(false);
}

TEST_F(ComboTest, ToolButtonLookByState) {
  TLogCombo* c = MakeCombo({"a", "b"});
  c->SetToolButtonStyle(true);
  auto px = [&] {
    h.Pump();
    return h.Pixel(c, 4, c->Height() - 3);
  };
  const uint32_t idle = px();
  h.input.MoveTo(c, 20, 10);
  EXPECT_EQ(px(), 0xB6BDD2u);  // hot: $00D2BDB6
  c->DropDown();
  EXPECT_EQ(px(), 0x8592B5u);  // open: $00B59285
  c->CloseUp(false);
  h.input.MoveTo(form, 300, 250);
  EXPECT_EQ(px(), idle);
}

// A combo skin made in code whose button records carry arrow glyphs: the
// normal, hot and pressed glyphs are 6x6 squares with a magenta (keyed-out)
// rim and a red, green or blue middle, in the combo box's picture.
TbsSkinData* MakeGlyphSkin() {
  const TCodeSkin code = NewCodeSkin(100, 40, gfx::clSilver);
  TbsSkinData* sd = code.Data;
  code.Fill(TRect(0, 20, 16, 36), gfx::clGray);  // the button records' face
  const gfx::TColor middles[] = {gfx::clRed, gfx::clLime, gfx::clBlue};
  for (int i = 0; i < 3; ++i) {
    code.Fill(TRect(60 + 10 * i, 0, 66 + 10 * i, 6), gfx::clFuchsia);
    code.Fill(TRect(61 + 10 * i, 1, 65 + 10 * i, 5), middles[i]);
  }
  auto combo = std::make_unique<TbsDataSkinComboBox>("combobox");
  combo->PictureIndex = 0;
  combo->SkinRect = TRect(0, 0, 60, 20);
  combo->ClRect = TRect(3, 3, 40, 17);
  combo->LTPoint = TPoint(3, 3);
  combo->RTPoint = TPoint(40, 3);
  combo->LBPoint = TPoint(3, 17);
  combo->RBPoint = TPoint(40, 17);
  combo->ButtonRect = TRect(42, 2, 58, 18);
  sd->CtrlList.push_back(std::move(combo));
  for (const char* name : {"combobutton", "resizetoolbutton"}) {
    auto b = std::make_unique<TbsDataSkinButtonControl>(name);
    b->PictureIndex = 0;
    b->SkinRect = b->ActiveSkinRect = b->DownSkinRect = TRect(0, 20, 16, 36);
    b->ClRect = TRect(2, 2, 14, 14);
    b->LTPoint = TPoint(2, 2);
    b->RTPoint = TPoint(14, 2);
    b->LBPoint = TPoint(2, 14);
    b->RBPoint = TPoint(14, 14);
    b->MenuMarkerRect = TRect(60, 0, 66, 6);
    b->MenuMarkerActiveRect = TRect(70, 0, 76, 6);
    b->MenuMarkerDownRect = TRect(80, 0, 86, 6);
    b->MenuMarkerTransparentColor = gfx::clFuchsia;
    sd->CtrlList.push_back(std::move(b));
  }
  sd->Empty = false;
  return sd;
}

// The drop arrow of a button drawn from a button record is the record's
// glyph for the state, its rim keyed out.
TEST_F(ComboTest, ButtonGlyphsFromTheButtonRecords) {
  enum Act { kIdle, kHover, kPress, kOpen };
  struct Case {
    const char* name;
    bool tool;
    Act act;
    gfx::TColor middle;
  } cases[] = {
      {"button", false, kIdle, gfx::clRed},
      {"button, pointer on it", false, kHover, gfx::clLime},
      {"button, pressed", false, kPress, gfx::clBlue},
      {"tool button", true, kIdle, gfx::clRed},
      {"tool button, pointer in", true, kHover, gfx::clLime},
      {"tool button, list open", true, kOpen, gfx::clBlue},
  };
  TbsOwned<TbsSkinData> sd(MakeGlyphSkin());
  auto rgb = [](gfx::TColor c) {
    gfx::COLORREF r = gfx::ColorToRef(c);
    return (uint32_t(gfx::GetRValue(r)) << 16) | (uint32_t(gfx::GetGValue(r)) << 8) | gfx::GetBValue(r);
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    h.input.MoveTo(form, 300, 250);
    TLogCombo* c = MakeCombo({"a", "b"});
    c->SetUseSkinSize(false);
    if (k.tool) c->SetToolButtonStyle(true);
    c->SetSkinData(sd.get());
    h.Pump();
    ASSERT_NE(c->SkinIndex(), -1);
    c->CalcRects();
    // The glyph's middle and its top-left rim pixel, where the face shows.
    TRect area = k.tool ? TRect(c->Width() - 15, 0, c->Width(), c->Height()) : c->Button.R;
    if (k.tool && k.act == kOpen) gfx::OffsetRect(area, 2, 2);
    const int gx = area.Left + area.Width() / 2 - 3, gy = area.Top + area.Height() / 2 - 3 + (k.act == kPress);
    if (k.act == kHover || k.act == kPress) h.input.MoveTo(c, (area.Left + area.Right) / 2, 10);
    if (k.act == kPress) h.input.Press();
    if (k.act == kOpen) c->DropDown();
    h.Pump();
    EXPECT_EQ(h.Pixel(c, gx + 2, gy + 2), rgb(k.middle));
    EXPECT_NE(h.Pixel(c, gx, gy), rgb(gfx::clFuchsia));
    if (k.act == kPress) h.input.Release();
    c->CloseUp(false);
    c->Free();
    h.Pump();
  }
}

TEST_F(ComboTest, SkinnedButtonPicturesByState) {
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->LoadFromFile(std::string(INPUTS_SKINS_DIR) + "/blue/skin.ini");
  ASSERT_FALSE(store->Empty);
  TLogCombo* c = MakeCombo({"a", "b"});
  c->SetSkinData(store.get());
  h.Pump();
  ASSERT_NE(c->SkinIndex(), -1);
  EXPECT_EQ(c->Height(), 20);  // the record's height
  // A pixel inside the button, away from its arrow and frame.
  const int x = c->Width() - 60 + 44, y = 4;
  auto px = [&] {
    h.Pump();
    return h.Pixel(c, x, y);
  };
  const uint32_t idle = px();
  h.input.MoveTo(c, x, y);
  const uint32_t hot = px();
  h.input.Press();
  const uint32_t down = px();
  EXPECT_NE(idle, hot);
  EXPECT_NE(hot, down);
  EXPECT_EQ(idle, 0x466EBEu);  // the accent colour of the normal picture
  h.input.Release();
  c->CloseUp(false);
  c->Free();
  h.Pump();
}

TEST_F(ComboTest, PaintSkinToShowsTheGivenTextAndRestoresItsOwn) {
  TLogCombo* c = MakeCombo({"a", "b"});
  c->SetItemIndex(0);
  log.clear();
  gfx::TBitmap target;
  target.SetSize(200, 40);
  target.Canvas()->Brush()->SetColor(gfx::clWhite);
  target.Canvas()->FillRect(TRect(0, 0, 200, 40));
  c->PaintSkinTo(target.Canvas(), 10, 10, "other");
  EXPECT_EQ(c->Text(), "a");
  EXPECT_EQ(log, Log({"OnChange", "OnChange"}));  // set and restored
  // The frame landed at (10, 10) of the target, the white around it untouched.
  EXPECT_NE(target.Canvas()->Pixels(10, 10), gfx::clWhite);
  EXPECT_EQ(target.Canvas()->Pixels(9, 9), gfx::clWhite);
}

// --- file filter combo

TEST_F(ComboTest, FilterParseTable) {
  struct Case {
    std::string filter;
    std::vector<std::pair<std::string, std::string>> rows;
  } cases[] = {
      {"Video|*.mp4;*.avi|All|*.*", {{"Video", "*.mp4;*.avi"}, {"All", "*.*"}}},
      {"no bar", {}},
      {"Pictures|*.png|lone", {{"Pictures", "*.png"}}},
      {"All files (*.*)|*.*", {{"All files (*.*)", "*.*"}}},
  };
  for (const Case& k : cases) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const TbsFilterRow& r : ParseFilter(k.filter)) got.push_back({r.Description, r.Mask});
    EXPECT_EQ(got, k.rows) << k.filter;
  }
}

class TRecordingFileList : public TbsFilterTarget {
 public:
  void SetMask(const std::string& M) override { masks.push_back(M); }
  std::vector<std::string> masks;
};

TEST_F(ComboTest, FilterComboRowsMaskAndLinkedListWithoutRows) {
  auto* f = Make<TbsSkinFilterComboBox>(20, 20, 150, 20);
  f->HandleNeeded();
  f->SetFilter("Video|*.mp4;*.avi|All|*.*");
  ASSERT_EQ(f->Items().Count(), 2);
  EXPECT_EQ(f->ItemIndex(), 0);
  EXPECT_EQ(f->Mask(), "*.mp4;*.avi");
  // A change of letter case only: no rebuild, no events.
  int clicks = 0;
  f->OnClick = [&](rtl::TObject*) { ++clicks; };
  f->SetFilter("VIDEO|*.MP4;*.AVI|ALL|*.*");
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(f->Items().Get(0), "Video");
  // Mask with nothing selected selects the last row, with its events.
  f->SetItemIndex(-1);
  clicks = 0;
  EXPECT_EQ(f->Mask(), "*.*");
  EXPECT_EQ(f->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  // A linked list and no rows: the mask is "*.*" and the change ends.
  TRecordingFileList list;
  f->SetFileList(&list);
  f->SetFilter("nothing");
  EXPECT_EQ(f->Items().Count(), 0);
  EXPECT_EQ(f->Mask(), "*.*");
  ASSERT_FALSE(list.masks.empty());
  EXPECT_EQ(list.masks.back(), "*.*");
  f->SetFileList(nullptr);
}

}  // namespace
}  // namespace inputstest
