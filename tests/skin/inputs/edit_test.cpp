// The edits: the read-only filter, the context menu's items and their
// enabling, Enter reaching the form's default button, typed, pasted and
// input-method text, the skinned edit's rectangles and the numeric filter.
#include <gtest/gtest.h>

#include "inputs_fixture.h"
#include "platform/cl/menus.h"
#include "platform/cl/stdctrls.h"
#include "platform/rtl/strings.h"
#include "platform/win/clipboard.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/menus/bsSkinMenus.h"
#include "tests/skin/menus/MenuHost.h"

using namespace skin;

namespace inputstest {
namespace {

class EditTest : public InputsTest {
 public:
  template <class T = TbsCustomEdit>
  T* MakeEdit(const std::string& text) {
    auto* e = Make<T>(20, 20, 160, 20);
    e->SetText(text);
    e->SetFocus();
    h.Pump();
    return e;
  }
};

TEST_F(EditTest, ReadOnlyBlocksEveryChangeButCopyWorks) {
  struct Case {
    const char* name;
    std::function<void(EditTest&, TbsCustomEdit*)> act;
  };
  const Case cases[] = {
      {"typing", [](EditTest& t, TbsCustomEdit*) { t.h.input.Type("x"); }},
      {"typed Chinese", [](EditTest& t, TbsCustomEdit*) { t.h.input.ImeCommit("中文"); }},
      {"Backspace", [](EditTest& t, TbsCustomEdit*) { t.h.input.Key(win::VK_BACK); }},
      {"Delete key", [](EditTest& t, TbsCustomEdit*) { t.h.input.Key(win::VK_DELETE); }},
      {"cut", [](EditTest&, TbsCustomEdit* e) { e->CutToClipboard(); }},
      {"paste", [](EditTest&, TbsCustomEdit* e) { e->PasteFromClipboard(); }},
      {"clear", [](EditTest&, TbsCustomEdit* e) { e->ClearSelection(); }},
      {"undo", [](EditTest&, TbsCustomEdit* e) { e->Undo(); }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TbsCustomEdit* e = MakeEdit("C:/output");
    e->SetText("D:/films");  // leaves something to undo
    e->SetReadOnly(true);
    e->SetSelStart(0);
    e->SetSelLength(2);
    win::SetClipboardText("pasted");
    k.act(*this, e);
    h.Pump();
    EXPECT_EQ(e->Text(), "D:/films");
    e->CopyToClipboard();
    EXPECT_EQ(win::GetClipboardText(), "D:");
    e->Free();
  }
}

TEST_F(EditTest, ReadOnlyFolderFieldClicks) {
  auto* e = Make<TbsSkinEdit>(20, 20, 200, 20);
  e->SetText("/home/user/Videos");
  e->SetReadOnly(true);
  int clicks = 0;
  e->OnClick = [&](rtl::TObject*) { ++clicks; };
  h.input.MoveTo(e, 40, 8);
  h.input.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(e->Text(), "/home/user/Videos");
}

TEST_F(EditTest, TypingPasteAndInputMethodText) {
  TbsCustomEdit* e = MakeEdit("");
  h.input.Type("ab");
  h.input.ImeCommit("视频");
  win::SetClipboardText("转换");
  e->PasteFromClipboard();
  EXPECT_EQ(e->Text(), "ab视频转换");
}

TEST_F(EditTest, EnterReachesTheDefaultButtonAndAddsNoText) {
  auto* ok = Make<cl::TButton>(200, 20, 60, 24);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](rtl::TObject*) { ++clicks; };
  TbsCustomEdit* e = MakeEdit("name");
  std::vector<char32_t> pressed;
  e->OnKeyPress = [&](rtl::TObject*, char32_t& k) { pressed.push_back(k); };
  h.input.Key(win::VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(e->Text(), "name");
  EXPECT_EQ(pressed, std::vector<char32_t>({13}));
}

TEST_F(EditTest, ContextMenuItemsAndTheirEnabling) {
  struct Case {
    const char* text;
    int selStart, selLength;
    bool readOnly;
    std::string clipboard;
    TbsCustomEdit::TMenuState expected;  // Undo, Cut, Copy, Paste, Delete, Select All
  } cases[] = {
      {"", 0, 0, false, "", {false, false, false, false, false, false}},
      {"abc", 0, 0, false, "x", {false, false, false, true, false, true}},
      {"abc", 0, 2, false, "", {false, true, true, false, true, true}},
      {"abc", 0, 3, false, "x", {false, true, true, true, true, false}},
      {"abc", 1, 1, true, "x", {false, false, true, false, false, true}},
      {"abc", 0, 3, true, "", {false, false, true, false, false, false}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.text) + " " + std::to_string(k.selLength) + (k.readOnly ? " ro" : ""));
    TbsCustomEdit* e = MakeEdit(k.text);
    e->ClearUndo();
    e->SetReadOnly(k.readOnly);
    e->SetSelStart(k.selStart);
    e->SetSelLength(k.selLength);
    win::SetClipboardText(k.clipboard);
    const auto s = e->MenuState();
    EXPECT_EQ(s.Undo, k.expected.Undo);
    EXPECT_EQ(s.Cut, k.expected.Cut);
    EXPECT_EQ(s.Copy, k.expected.Copy);
    EXPECT_EQ(s.Paste, k.expected.Paste);
    EXPECT_EQ(s.Delete, k.expected.Delete);
    EXPECT_EQ(s.SelectAll, k.expected.SelectAll);
    e->Free();
  }
}

TEST_F(EditTest, ContextMenuFromTheKeyboardOpensAtTheCentreWithSkinTexts) {
  auto* host = new menutest::MenuHost(form);
  host->skin = TestSkin();
  TbsCustomEdit* e = MakeEdit("abc");
  e->SetReadOnly(true);
  e->SelectAll();
  win::SendMessage(e->Handle(), win::WM_CONTEXTMENU, win::WPARAM(e->Handle().v), win::LPARAM(0xFFFFFFFF));
  h.Pump();
  TbsSkinPopupMenu* m = e->SysPopupMenu();
  ASSERT_NE(m, nullptr);
  const TPoint o = e->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(m->PopupPoint(), TPoint(o.X + e->Width() / 2, o.Y + e->Height() / 2));
  ASSERT_EQ(m->Items()->Count(), 8);
  TbsResourceStrData* strs = TestSkin()->ResourceStrData();
  const char* keys[] = {"EDIT_UNDO",  nullptr,       "EDIT_CUT", "EDIT_COPY",
                        "EDIT_PASTE", "EDIT_DELETE", nullptr,    "EDIT_SELECTALL"};
  const char* builtIn[] = {"Undo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Select All"};
  const bool enabled[] = {false, true, false, true, false, false, true, false};
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    cl::TMenuItem* it = m->Items()->Items(i);
    EXPECT_EQ(it->Caption, keys[i] && strs ? strs->GetResStr(keys[i]) : std::string(builtIn[i]));
    if (keys[i]) EXPECT_EQ(it->Enabled, enabled[i]);
  }
  // Choosing frees the menu.
  win::SendMessage(e->Handle(), WM_FREE_EDIT_POPUP_MENU, 0, 0);
  EXPECT_EQ(e->SysPopupMenu(), nullptr);
}

TEST_F(EditTest, SkinnedEditRectanglesAndHeights) {
  auto* e = Make<TbsSkinEdit>(20, 20, 160, 20);
  h.Pump();
  e->CalcRects();
  EXPECT_EQ(e->Height(), 20);
  EXPECT_EQ(e->EditRect(), TRect(2, 2, 158, 18));
  EXPECT_EQ(e->NCInsets(), TRect(2, 2, 2, 2));
  EXPECT_EQ(e->ClientWidth(), 156);
  e->SetButtonMode(true);
  h.Pump();
  e->CalcRects();
  EXPECT_EQ(e->ButtonRect(), TRect(140, 0, 160, 20));
  EXPECT_EQ(e->EditRect().Right, 160 - 22);
  EXPECT_EQ(e->NCInsets(), TRect(2, 2, 22, 2));
  // Classic frame: clBtnShadow outside, clBtnFace inside.
  h.Pump();
  auto rgb = [](gfx::TColor c) {
    gfx::COLORREF r = gfx::ColorToRef(c);
    return (uint32_t(gfx::GetRValue(r)) << 16) | (uint32_t(gfx::GetGValue(r)) << 8) | gfx::GetBValue(r);
  };
  const TPoint o = e->ClientOrigin();
  const TPoint fo = form->ClientOrigin();
  EXPECT_EQ(h.Pixel(form, o.X - fo.X - 2 + 50, o.Y - fo.Y - 2), rgb(gfx::clBtnShadow));
  EXPECT_EQ(h.Pixel(form, o.X - fo.X - 1 + 50, o.Y - fo.Y - 1), rgb(gfx::clBtnFace));
  // A dialog sizes its edit before a skin arrives; the skin's record wins.
  auto* d = Make<TbsSkinEdit>(20, 60, 160, 20);
  d->SetDefaultHeight(21);
  EXPECT_EQ(d->Height(), 21);
  // A record without a picture rectangle leaves the classic look and size.
  d->SetSkinData(TestSkin());
  EXPECT_EQ(d->SkinIndex(), -1);
  EXPECT_EQ(d->Height(), 21);
}

// The text keeps two pixels off the left edge whatever font the edit gets
// (the native edit resets its margins with every font).
TEST_F(EditTest, TheTextStartsTwoPixelsInAfterEveryFontChange) {
  auto* plain = MakeEdit("text");
  auto* skinned = MakeEdit<TbsSkinEdit>("text");
  for (TbsCustomEdit* e : {plain, static_cast<TbsCustomEdit*>(skinned)}) {
    auto margins = [&] { return uintptr_t(e->Perform(win::EM_GETMARGINS, 0, 0)); };
    EXPECT_EQ(win::LOWORD(margins()), 2);
    EXPECT_EQ(win::HIWORD(margins()), 0);
    e->Font()->SetSize(14);
    h.Pump();
    EXPECT_EQ(win::LOWORD(margins()), 2);
  }
}

// A disabled edit writes its text in the skin's disabled colour, and in the
// system's grey without a record.
TEST_F(EditTest, DisabledTextTakesTheSkinsDisabledColour) {
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->LoadFromFile(std::string(INPUTS_SKINS_DIR) + "/blue/skin.ini");
  ASSERT_FALSE(store->Empty);
  auto* rec = dynamic_cast<TbsDataSkinEditControl*>(store->CtrlList[size_t(store->GetControlIndex("edit"))].get());
  ASSERT_NE(rec, nullptr);
  rec->DisabledFontColor = gfx::clRed;
  auto* skinned = Make<TbsSkinEdit>(20, 20, 160, 20);
  skinned->SetSkinData(store.get());
  auto* plain = Make<TbsSkinEdit>(20, 60, 160, 20);
  for (TbsSkinEdit* e : {skinned, plain}) {
    e->SetText("WWWW");
    e->SetEnabled(false);
  }
  h.Pump();
  auto count = [&](TbsSkinEdit* e, uint32_t colour) {
    int n = 0;
    for (int x = 0; x < e->ClientWidth(); ++x)
      for (int y = 0; y < e->ClientHeight(); ++y)
        if (h.Pixel(e, x, y) == colour) ++n;
    return n;
  };
  EXPECT_GT(count(skinned, 0xFF0000u), 0);
  EXPECT_EQ(count(plain, 0xFF0000u), 0);
  gfx::COLORREF g = gfx::ColorToRef(gfx::clGrayText);
  EXPECT_GT(count(plain, (uint32_t(gfx::GetRValue(g)) << 16) | (uint32_t(gfx::GetGValue(g)) << 8) | gfx::GetBValue(g)),
            0);
}

TEST_F(EditTest, ImageButtonsKeepTheTextClearAndClickOnlyWhenReleasedOverThem) {
  auto* images = new cl::TCustomImageList(form);
  images->SetSize(12, 12);
  for (gfx::TColor c : {gfx::clRed, gfx::clBlue}) {
    gfx::TBitmap b;
    b.SetSize(12, 12);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(TRect(0, 0, 12, 12));
    images->Add(&b, nullptr);
  }
  auto* e = Make<TbsSkinEdit>(20, 20, 160, 20);
  e->SetImages(images);
  e->SetLeftImageIndex(0);
  e->SetRightImageIndex(1);
  h.Pump();
  EXPECT_EQ(e->LeftButton.R, TRect(0, 0, 12, 16));
  EXPECT_EQ(e->RightButton.R, TRect(144, 0, 156, 16));
  TRect fmt;
  win::SendMessage(e->Handle(), win::EM_GETRECT, 0, win::LPARAM(&fmt));
  EXPECT_EQ(fmt.Left, 14);
  EXPECT_EQ(fmt.Right, 142);
  int lefts = 0, rights = 0;
  e->OnLeftButtonClick = [&](rtl::TObject*) { ++lefts; };
  e->OnRightButtonClick = [&](rtl::TObject*) { ++rights; };
  h.input.MoveTo(e, 5, 8);
  h.input.Click();
  EXPECT_EQ(lefts, 1);
  h.input.MoveTo(e, 150, 8);
  h.input.Press();
  h.input.MoveTo(e, 60, 8);
  h.input.Release();
  EXPECT_EQ(rights, 0);  // let go over the text
  h.input.MoveTo(e, 150, 8);
  h.input.Click();
  EXPECT_EQ(rights, 1);
  EXPECT_EQ(lefts, 1);
}

uint32_t Rgb(gfx::TColor c) {
  gfx::COLORREF r = gfx::ColorToRef(c);
  return (uint32_t(gfx::GetRValue(r)) << 16) | (uint32_t(gfx::GetGValue(r)) << 8) | gfx::GetBValue(r);
}

// The push button lights under the pointer and goes dark as soon as the
// pointer leaves it, also straight into the text.
TEST_F(EditTest, PushButtonHotStateFollowsThePointer) {
  struct Case {
    const char* path;
    std::vector<TPoint> moves;  // client points
    bool press;
    gfx::TColor fill;
  } cases[] = {
      {"onto the button", {{148, 8}}, false, bsHotFillColor},
      {"on into the text", {{148, 8}, {60, 8}}, false, gfx::clBtnFace},
      {"pressed on it", {{148, 8}}, true, bsDownFillColor},
      {"on out of the edit", {{148, 8}, {148, 60}}, false, gfx::clBtnFace},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.path);
    auto* e = Make<TbsSkinEdit>(20, 20, 160, 20);
    e->SetButtonMode(true);
    h.input.MoveTo(form, 300, 250);
    for (TPoint p : k.moves) h.input.MoveTo(e, p.X, p.Y);
    if (k.press) h.input.Press();
    h.Pump();
    // The button is the window's (140, 0, 160, 20).
    EXPECT_EQ(h.Pixel(form, 20 + 150, 20 + 10), Rgb(k.fill));
    if (k.press) h.input.Release();
    e->Free();
    h.Pump();
  }
}

// An edit skin made in code: the "edit" strip grey, the "editbutton"
// record's normal, hot and pressed pictures red, green and blue.
TbsSkinData* MakeEditSkin() {
  const TCodeSkin code = NewCodeSkin(100, 40, gfx::clSilver);
  TbsSkinData* sd = code.Data;
  code.Fill(TRect(0, 20, 20, 40), gfx::clRed);
  code.Fill(TRect(20, 20, 40, 40), gfx::clLime);
  code.Fill(TRect(40, 20, 60, 40), gfx::clBlue);
  auto edit = std::make_unique<TbsDataSkinEditControl>("edit");
  edit->PictureIndex = 0;
  edit->SkinRect = TRect(0, 0, 60, 20);
  edit->ActiveSkinRect = TRect(0, 0, 60, 20);
  edit->ClRect = TRect(3, 3, 40, 17);
  edit->LTPoint = TPoint(3, 3);
  edit->RTPoint = TPoint(40, 3);  // the button lies in the fixed right part
  edit->LBPoint = TPoint(3, 17);
  edit->RBPoint = TPoint(40, 17);
  edit->ButtonRect = TRect(42, 2, 58, 18);
  sd->CtrlList.push_back(std::move(edit));
  auto button = std::make_unique<TbsDataSkinButtonControl>("editbutton");
  button->PictureIndex = 0;
  button->SkinRect = TRect(0, 20, 20, 40);
  button->ActiveSkinRect = TRect(20, 20, 40, 40);
  button->DownSkinRect = TRect(40, 20, 60, 40);
  button->ClRect = TRect(2, 2, 18, 18);
  button->LTPoint = TPoint(2, 2);
  button->RTPoint = TPoint(18, 2);
  button->LBPoint = TPoint(2, 18);
  button->RBPoint = TPoint(18, 18);
  sd->CtrlList.push_back(std::move(button));
  sd->Empty = false;
  return sd;
}

// With a frame that follows the control's size, the push button is built
// from the "editbutton" record in the button's state, on screen and in
// PaintSkinTo.
TEST_F(EditTest, ResizedFramePushButtonComesFromTheEditButtonRecord) {
  TbsOwned<TbsSkinData> sd(MakeEditSkin());
  auto* e = Make<TbsSkinEdit>(20, 20, 160, 30);
  e->UseSkinFont = false;
  e->SetButtonMode(true);
  e->SetSkinData(sd.get());
  h.Pump();
  ASSERT_NE(e->SkinIndex(), -1);
  e->CalcRects();
  const TRect b = e->ButtonRect();
  EXPECT_EQ(b.Width(), 16);
  const TPoint mid((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
  gfx::TBitmap shot;
  shot.SetSize(e->Width(), e->Height());
  e->PaintSkinTo(shot.Canvas(), 0, 0, "");
  EXPECT_EQ(Rgb(shot.Canvas()->Pixels(mid.X, mid.Y)), Rgb(gfx::clRed));
  const TPoint client = e->ClientOrigin(), f = form->ClientOrigin();
  const int dx = client.X - f.X - e->Left(), dy = client.Y - f.Y - e->Top();  // the frame's insets
  h.input.MoveTo(e, mid.X - dx, mid.Y - dy);
  EXPECT_EQ(h.Pixel(form, e->Left() + mid.X, e->Top() + mid.Y), Rgb(gfx::clLime));
  h.input.Press();
  EXPECT_EQ(h.Pixel(form, e->Left() + mid.X, e->Top() + mid.Y), Rgb(gfx::clBlue));
  h.input.Release();
}

// PaintSkinTo writes the text where the window would: clear of the image
// buttons on either side.
TEST_F(EditTest, PaintSkinToKeepsTheTextClearOfTheImageButtons) {
  auto* images = new cl::TCustomImageList(form);
  images->SetSize(12, 12);
  gfx::TBitmap img;
  img.SetSize(12, 12);
  images->Add(&img, nullptr);
  struct Case {
    cl::TAlignment align;
    const char* text;
  } cases[] = {{cl::taLeftJustify, "WWWWWWWWWWWWWWWWWWWWWWWWWWWW"},
               {cl::taRightJustify, "WWWWWWWWWWWWWWWWWWWWWWWWWWWW"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(int(k.align));
    auto* e = Make<TbsSkinEdit>(20, 20, 160, 20);
    e->SetEditAlignment(k.align);
    e->SetImages(images);
    e->SetLeftImageIndex(0);
    e->SetRightImageIndex(0);
    h.Pump();
    gfx::TBitmap shot;
    shot.SetSize(160, 20);
    e->PaintSkinTo(shot.Canvas(), 0, 0, k.text);
    int first = 1000, last = -1;
    for (int x = 0; x < 160; ++x)
      for (int y = 2; y < 18; ++y)
        if (Rgb(shot.Canvas()->Pixels(x, y)) == 0) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    ASSERT_GE(last, 0);
    // The text area is (2, 2, 158, 18); each image takes 12 + 2 pixels of it.
    EXPECT_GE(first, 2 + 14);
    EXPECT_LT(last, 158 - 14);
    e->Free();
  }
}

TEST_F(EditTest, NumericFilterTable) {
  struct Case {
    bool Float, editor;
    const char32_t* text;
    char32_t key, separator;
    bool accepted;
  } cases[] = {
      {false, true, U"", U'5', U'.', true},     {false, true, U"12", U'-', U'.', true},
      {false, true, U"1-2", U'-', U'.', false}, {false, true, U"12", U'.', U'.', false},
      {true, true, U"12", U'.', U'.', true},    {true, true, U"1.2", U'.', U'.', false},
      {true, true, U"12", U',', U',', true},    {true, true, U"12", U'.', U',', false},
      {true, true, U"1,2", U',', U',', false},  {false, true, U"1", U'a', U'.', false},
      {false, true, U"1", 13, U'.', false},     {false, true, U"1", 8, U'.', true},
      {true, true, U"1", 0x4E2D, U'.', false},  {false, false, U"1", U'5', U'.', false},
      {false, false, U"1", 8, U'.', false},     {false, false, U"1", 3, U'.', true},
  };
  for (const Case& k : cases)
    EXPECT_EQ(NumEditAccepts(k.Float, k.editor, k.text, k.key, k.separator), k.accepted)
        << (k.Float ? "decimal " : "integer ") << (k.editor ? "" : "locked ") << rtl::FromUtf32(k.text) << " key "
        << uint32_t(k.key);

  auto* n = Make<TbsSkinNumEdit>(20, 20, 80, 20);
  // The key events come after the filter: refused characters and the arrows
  // never reach them.
  std::u32string pressed;
  std::vector<uint16_t> downKeys;
  n->OnKeyPress = [&](rtl::TObject*, char32_t& k) { pressed += k; };
  n->OnKeyDown = [&](rtl::TObject*, uint16_t& k, cl::TShiftState) { downKeys.push_back(k); };
  int enters = 0, leaves = 0;
  n->OnMouseEnter = [&](rtl::TObject*) { ++enters; };
  n->OnMouseLeave = [&](rtl::TObject*) { ++leaves; };
  n->SetFocus();
  h.input.Type("1a2-.-");
  EXPECT_EQ(n->Text(), "12-");
  EXPECT_EQ(pressed, U"12-");
  int ups = 0, downs = 0;
  n->OnUpClick = [&](rtl::TObject*) { ++ups; };
  n->OnDownClick = [&](rtl::TObject*) { ++downs; };
  downKeys.clear();
  h.input.Key(win::VK_UP);
  EXPECT_TRUE(downKeys.empty());
  h.input.MoveTo(n, 5, 5);
  h.input.Wheel(120);  // the wheel runs opposite to the arrows
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(downs, 1);
  h.input.MoveTo(form, 300, 150);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);
}

}  // namespace
}  // namespace inputstest
