// The main window worked through the harness's pointer and keys: the add
// button's menu, the output panel, the first added row's look, the keys of
// an open chooser list and the rename editor.
#include <gtest/gtest.h>

#include "app/AboutBox.h"
#include "app/MainForm.h"
#include "platform/testkit/harness.h"
#include "platform/win/window.h"
#include "skin/menus/bsSkinMenus.h"
#include "tests/app/common/ProgramFixture.h"

namespace {

class WindowInput : public programtest::ProgramTest {
 protected:
  void SetUp() override {
    SetUpProgram("input_");
    Start();
    form1->StopPreview = [] {};
  }
  ctl::TListItem* Row(int r) { return form1->lvFiles->Items()->Item(r); }
  std::string Cell(int row, int col) { return col == 0 ? Row(row)->Caption() : Row(row)->SubItems()->Get(col - 1); }
  int SelectedRow() {
    ctl::TListItem* it = form1->lvFiles->Selected();
    return it ? it->Index() : -1;
  }
  void AddThree() {
    chooser.files = {Input("av.avi", "a.avi"), Input("av.mp4", "b.mp4"), Input("av.mkv", "c.mkv")};
    form1->Button8Click();
    ASSERT_EQ(form1->lvFiles->Items()->Count(), 3) << log;
  }
  // A click in the middle of a control, as the user aims at it.
  void ClickMiddle(cl::TControl* c) {
    h.input.MoveTo(c, c->Width() / 2, c->Height() / 2);
    h.input.Click();
  }
  skin::TbsSkinMenu* Menus() { return form1->bsSkinForm1->SkinMenu(); }
  // The centre of a menu entry in its window, or (-1, -1).
  static cl::TPoint Entry(skin::TbsSkinPopupWindow* w, const std::string& caption) {
    for (skin::TbsSkinMenuItem* i : w->ItemList)
      if (i->MenuItem->Caption == caption)
        return {(i->ObjectRect.Left + i->ObjectRect.Right) / 2, (i->ObjectRect.Top + i->ObjectRect.Bottom) / 2};
    return {-1, -1};
  }
  // A pixel of a row, left of its text.
  uint32_t RowPixel(int r) {
    const cl::TRect b = Row(r)->DisplayRect(ctl::drBounds);
    return h.Pixel(form1->lvFiles, 3, (b.Top + b.Bottom) / 2);
  }
};

}  // namespace

// A press anywhere on "添加" opens its menu, never the one-file dialog by
// itself; an entry of the menu adds.
TEST_F(WindowInput, APressAnywhereOnTheAddButtonOpensItsMenu) {
  skin::TbsSkinMenuSpeedButton* add = form1->bsSkinMenuSpeedButton1;
  chooser.files = {Input("av.avi", "a.avi")};
  const int w = add->Width(), ht = add->Height();
  const cl::TPoint points[] = {{4, 4}, {w / 4, ht / 2}, {w / 2, ht / 2}, {w - 8, ht / 2}, {4, ht - 4}};
  for (const cl::TPoint& p : points) {
    SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
    h.input.MoveTo(add, p.X, p.Y);
    h.input.Click();
    ASSERT_EQ(Menus()->PopupList().size(), 1u);
    skin::TbsSkinPopupWindow* menu = Menus()->PopupList()[0];
    EXPECT_GE(Entry(menu, "添加一个文件").X, 0);
    EXPECT_GE(Entry(menu, "添加多个文件").X, 0);
    EXPECT_GE(Entry(menu, "添加整个目录").X, 0);
    EXPECT_EQ(form1->lvFiles->Items()->Count(), 0) << "the press alone added a file";
    h.input.Key(win::VK_ESCAPE);
    EXPECT_TRUE(Menus()->PopupList().empty());
  }
  h.input.MoveTo(add, w / 2, ht / 2);
  h.input.Click();
  ASSERT_EQ(Menus()->PopupList().size(), 1u);
  skin::TbsSkinPopupWindow* menu = Menus()->PopupList()[0];
  const cl::TPoint one = Entry(menu, "添加一个文件");
  h.input.MoveTo(menu->Handle(), one.X, one.Y);
  h.input.Click();
  h.Pump();
  EXPECT_EQ(form1->lvFiles->Items()->Count(), 1) << log;
  EXPECT_FALSE(add->Down());
}

// The output panel names what it offers; the category list opens under its
// chooser, 119 pixels wide, inside the window.
TEST_F(WindowInput, TheOutputPanelNamesItsChoicesAndTheCategoryListOpensInsideTheWindow) {
  EXPECT_EQ(form1->FormatLabel->Caption(), "输出格式：");
  EXPECT_LT(form1->FormatLabel->Top() + form1->FormatLabel->Height(), form1->bsSkinOfficeComboBox2->Top() + 4);
  EXPECT_EQ(form1->WebSiteLink->Parent(), form1->bsSkinPanel2);
  EXPECT_EQ(form1->WebSiteLink->URL(), kMakerWebSite);
  std::vector<std::string> labels;
  for (int i = 0; i < form1->bsSkinPanel4->ControlCount(); ++i)
    if (auto* l = dynamic_cast<skin::TbsSkinStdLabel*>(form1->bsSkinPanel4->Controls(i)))
      labels.push_back(l->Caption());
  EXPECT_EQ(labels, (std::vector<std::string>{"视频分辨率：", "视频比特率：", "视频帧率：", "音频比特率：",
                                              "音频采样率：", "视频缩放："}));
  // Each label shares its combo's line in every skin, whatever the skin's
  // combo height.
  for (int skinIndex : {0, 2, 5}) {
    form1->bsSkinData1->SetSkinIndex(skinIndex);
    h.Pump();
    for (int i = 0; i + 1 < form1->bsSkinPanel4->ControlCount(); ++i) {
      auto* l = dynamic_cast<skin::TbsSkinStdLabel*>(form1->bsSkinPanel4->Controls(i));
      auto* box = dynamic_cast<skin::TbsSkinComboBox*>(form1->bsSkinPanel4->Controls(i + 1));
      if (!l || !box) continue;
      SCOPED_TRACE(std::to_string(skinIndex) + " " + l->Caption());
      EXPECT_EQ(l->Top() * 2 + l->Height(), box->Top() * 2 + box->Height());
    }
  }

  skin::TbsSkinOfficeComboBox* c = form1->bsSkinOfficeComboBox2;
  ClickMiddle(c);
  ASSERT_TRUE(c->IsPopupVisible());
  skin::TbsPopupOfficeListBox* l = c->ListBox();
  EXPECT_EQ(l->Width(), 119);
  const cl::TPoint client = form1->ClientToScreen({0, 0});
  EXPECT_GE(l->Left(), client.X);
  EXPECT_LE(l->Left() + l->Width(), client.X + form1->ClientWidth());
  h.input.Key(win::VK_ESCAPE);
  EXPECT_FALSE(c->IsPopupVisible());
}

// The row the first add selects is drawn selected, as later adds draw theirs.
TEST_F(WindowInput, TheFirstAddedRowIsDrawnSelected) {
  chooser.files = {Input("av.avi", "a.avi")};
  form1->btnAddClick();
  h.Pump();
  ASSERT_EQ(SelectedRow(), 0) << log;
  const uint32_t first = RowPixel(0);
  chooser.files = {Input("av.mp4", "b.mp4")};
  form1->btnAddClick();
  h.Pump();
  ASSERT_EQ(SelectedRow(), 1);
  EXPECT_EQ(first, RowPixel(1));
  EXPECT_NE(first, RowPixel(0));
}

// While a chooser's or combo's list is open the arrow keys move in it and
// commit each step; the file list keeps its row until the list closes.
TEST_F(WindowInput, ArrowKeysStayWithAnOpenChooserList) {
  AddThree();
  form1->lvFiles->SetSelected(Row(1));
  h.Pump();
  skin::TbsSkinOfficeComboBox* formats = form1->bsSkinOfficeComboBox1;
  const int start = formats->ItemIndex();
  ClickMiddle(formats);
  ASSERT_TRUE(formats->IsPopupVisible());
  h.input.Key(win::VK_DOWN);
  h.input.Key(win::VK_DOWN);
  EXPECT_TRUE(formats->IsPopupVisible());
  EXPECT_EQ(formats->ItemIndex(), start + 2);
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(win::GetFocus(), formats->Handle());
  h.input.Key(win::VK_UP);
  h.input.Key(win::VK_RETURN);
  EXPECT_FALSE(formats->IsPopupVisible());
  EXPECT_EQ(formats->ItemIndex(), start + 1);
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(Cell(1, colCategoryCode), form1->Logic->CurrentCategoryCode());
  EXPECT_EQ(win::GetFocus(), form1->lvFiles->Handle());

  skin::TbsSkinComboBox* size = form1->bsSkinComboBox2;
  const int before = size->ItemIndex();
  ClickMiddle(size);
  ASSERT_TRUE(size->IsPopupVisible());
  h.input.Key(win::VK_UP);
  EXPECT_TRUE(size->IsPopupVisible());
  EXPECT_EQ(SelectedRow(), 1);
  h.input.Key(win::VK_ESCAPE);
  EXPECT_FALSE(size->IsPopupVisible());
  EXPECT_EQ(size->ItemIndex(), std::max(before - 1, 0));
}

// An add ends after the preview has opened, which waits; a chooser list
// the user opened in that time stays open for the click on its item.
TEST_F(WindowInput, AnAddEndingWhileAChooserListIsOpenLeavesTheListOpen) {
  AddThree();
  skin::TbsSkinOfficeComboBox* categories = form1->bsSkinOfficeComboBox2;
  for (const std::string name : {"one file", "several files"}) {
    SCOPED_TRACE(name);
    ClickMiddle(categories);
    ASSERT_TRUE(categories->IsPopupVisible());
    chooser.files = {Input("av.avi", name + ".avi")};
    if (name == "one file")
      form1->btnAddClick();
    else
      form1->Button8Click();
    h.Pump();
    EXPECT_TRUE(categories->IsPopupVisible()) << "the add took the keyboard from the open list";
    EXPECT_EQ(win::GetFocus(), categories->Handle());
    h.input.Key(win::VK_ESCAPE);
    ASSERT_FALSE(categories->IsPopupVisible());
  }
  EXPECT_EQ(form1->lvFiles->Items()->Count(), 5) << log;
}

// The new row's preview opens while the add still runs; a rename the user
// started on it in that time keeps the keyboard when the add ends.
TEST_F(WindowInput, AnAddEndingWhileTheUserWorksElsewhereLeavesTheKeyboardThere) {
  AddThree();
  auto select = form1->lvFiles->OnSelectItem;
  form1->lvFiles->OnSelectItem = [&](rtl::TObject* s, ctl::TListItem* it, bool on) {
    select(s, it, on);
    if (on && it->Index() == 3) form1->bsSkinButton21Click();
  };
  chooser.files = {Input("av.avi", "d.avi")};
  form1->btnAddClick();
  h.Pump();
  ASSERT_TRUE(form1->edt->Visible()) << log;
  EXPECT_EQ(win::GetFocus(), form1->edt->Handle()) << "the add took the keyboard from the editor";
  form1->edt->SetText("");
  h.input.Type("typed");
  h.input.Key(win::VK_RETURN);
  EXPECT_EQ(ChangeFileExt(Cell(3, colOutputFile), ""), "typed");
}

// Escape keeps the old name; a name that cannot be taken is refused with a
// hint and the editor stays for a fix; leaving the row ends the edit there.
TEST_F(WindowInput, TheRenameEditorCancelsRefusesAndEndsOnItsOwnRow) {
  AddThree();
  form1->lvFiles->SetSelected(Row(0));
  h.Pump();
  const std::string first = Cell(0, colOutputFile), third = Cell(2, colOutputFile);
  form1->bsSkinButton21Click();
  ASSERT_TRUE(form1->edt->Visible());
  form1->edt->SetText("dropped");
  h.input.Key(win::VK_ESCAPE);
  EXPECT_FALSE(form1->edt->Visible());
  EXPECT_EQ(Cell(0, colOutputFile), first);
  EXPECT_EQ(win::GetFocus(), form1->lvFiles->Handle());

  for (const char* bad : {"a/b", ""}) {
    SCOPED_TRACE(bad);
    infos.clear();
    form1->bsSkinButton21Click();
    form1->edt->SetText(bad);
    h.input.Key(win::VK_RETURN);
    EXPECT_EQ(infos.size(), 1u);
    EXPECT_TRUE(form1->edt->Visible());
    EXPECT_EQ(win::GetFocus(), form1->edt->Handle());
    EXPECT_EQ(Cell(0, colOutputFile), first);
  }
  h.input.Type("good");
  h.input.Key(win::VK_RETURN);
  EXPECT_FALSE(form1->edt->Visible());
  EXPECT_EQ(Cell(0, colOutputFile), ChangeFileExt("good", ExtractFileExt(first)));

  // Left with a refused name, the editor goes with the row; no later commit
  // lands on the row selected then.
  form1->bsSkinButton21Click();
  form1->edt->SetText("x/y");
  form1->lvFiles->SetFocus();
  EXPECT_TRUE(form1->edt->Visible());
  form1->lvFiles->SetSelected(Row(2));
  h.Pump();
  EXPECT_FALSE(form1->edt->Visible());
  form1->edtExit();
  EXPECT_EQ(Cell(2, colOutputFile), third);
}

// The editor lies over the whole output cell in the list's colours, also in
// a dark skin, and opens whenever a row is selected, also once the commands
// of a run have been switched off.
TEST_F(WindowInput, TheRenameEditorCoversTheCellInTheListsColours) {
  AddThree();
  form1->bsSkinData1->SetSkinIndex(2);
  h.Pump();
  form1->SetGroup(TCommandGroup::Remove, false);
  form1->lvFiles->SetSelected(Row(1));
  h.Pump();
  form1->lvFilesDblClick();
  ASSERT_TRUE(form1->edt->Visible());
  ctl::TListColumns* cols = form1->lvFiles->Columns();
  EXPECT_EQ(form1->edt->Left(), form1->lvFiles->ColumnLeft(3) - form1->lvFiles->ScrollX());
  EXPECT_EQ(form1->edt->Width(), cols->Items(3)->Width());
  EXPECT_EQ(form1->edt->Top(), Row(1)->Top());
  EXPECT_EQ(form1->edt->Color(), form1->lvFiles->Color());
  EXPECT_EQ(form1->edt->Font()->Color(), form1->lvFiles->Font()->Color());
  EXPECT_NE(form1->edt->Color(), gfx::clWindow);
}

// The tool bar scrolls its buttons when they do not fit; the seek bar lets
// the preview panel show through and draws no scale points.
TEST_F(WindowInput, TheToolBarScrollsItsButtonsAndTheSeekBarIsTransparentWithoutPoints) {
  skin::TbsSkinToolBar* bar = form1->bsSkinToolBar1;
  EXPECT_EQ(bar->SkinDataName(), "resizetoolpanel");
  EXPECT_EQ(bar->ScrollOffset(), 30);
  EXPECT_EQ(bar->ScrollTimerInterval(), 50);
  EXPECT_TRUE(bar->HotScroll());
  EXPECT_FALSE(bar->ScrollButtonsShown());
  bar->SetWidth(300);
  h.Pump();
  EXPECT_TRUE(bar->ScrollButtonsShown());
  EXPECT_TRUE(form1->bsSkinSlider1->Transparent());
  EXPECT_EQ(form1->bsSkinSlider1->Options(), skin::soShowFocus | skin::soSmooth);
}
