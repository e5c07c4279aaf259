// The edit core: characters through KeyPress, vetoed clipboard messages, the
// read-only copy rule, undo, keyboard and mouse selection, the formatting
// rectangle, transparent painting into a given DC, and input-method text.
#include "fixtures.h"
#include "platform/ctl/commctrl.h"
#include "platform/ctl/edit.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/strings.h"
#include "platform/win/caret.h"
#include "platform/win/clipboard.h"

#include <gtest/gtest.h>

using namespace win;
using ctl::TEdit;
using plat::test::Harness;
using plat::test::MessageLog;

namespace {

constexpr int kChar = gfx::FixedTextEngine::kCharWidth;

// A form with one focused edit at (10, 10), 200 x 21.
struct EditForm {
  Harness& h;
  cl::TForm* form = cx::MakeForm();
  TEdit* edit;
  int changes = 0;
  explicit EditForm(Harness& harness, TEdit* e = nullptr) : h(harness), edit(e ? e : new TEdit(form)) {
    edit->SetBounds(10, 10, 200, 21);
    edit->SetParent(form);
    edit->OnChange = [this](rtl::TObject*) { changes++; };
    form->Show();
    edit->SetFocus();
    h.Pump();
    SetClipboardText("");
  }
  ~EditForm() {
    form->Free();
    EXPECT_EQ(h.Leaks(), "");
  }
  void Chord(uint16_t mod, uint16_t vk) {
    h.input.KeyDown(mod);
    h.input.Key(vk);
    h.input.KeyUp(mod);
  }
  void Chord2(uint16_t mod1, uint16_t mod2, uint16_t vk) {
    h.input.KeyDown(mod1);
    Chord(mod2, vk);
    h.input.KeyUp(mod1);
  }
  std::pair<int, int> Sel() { return {edit->SelStart(), edit->SelLength()}; }
  // Client x of the boundary before character i (left margin 1).
  int X(int i) { return 1 + i * kChar; }
};

TEST(Edit, TypedCharactersPassKeyPressFirst) {
  struct Case {
    const char* typed;
    std::function<void(char32_t&)> filter;
    const char* text;
  } cases[] = {
      {"abc", nullptr, "abc"},
      {"axbx", [](char32_t& k) { k = k == 'x' ? 0 : k; }, "ab"},
      {"ab", [](char32_t& k) { k = k == 'a' ? U'中' : k; }, "中b"},
      {"ab\r", nullptr, "ab"},  // Enter never makes a line break
      {"ab\b", [](char32_t& k) { k = k == 8 ? 0 : k; }, "ab"},
  };
  for (auto& c : cases) {
    Harness h;
    EditForm f(h);
    std::u32string seen;
    f.edit->OnKeyPress = [&](rtl::TObject*, char32_t& k) {
      seen += k;
      if (c.filter) c.filter(k);
    };
    for (char ch : std::string(c.typed)) {
      if (ch == '\r')
        h.input.Key(VK_RETURN);
      else if (ch == '\b')
        h.input.Key(VK_BACK);
      else
        h.input.Type(std::string(1, ch));
    }
    EXPECT_EQ(f.edit->Text(), c.text) << c.typed;
    EXPECT_EQ(seen.size(), std::string(c.typed).size()) << c.typed;
    EXPECT_EQ(f.changes, int(rtl::ToUtf32(c.text).size())) << c.typed;
  }
}

// An edit whose descendant swallows one message without the inherited handling.
class VetoEdit : public TEdit {
 public:
  VetoEdit(cl::TComponent* o, UINT vetoed) : TEdit(o), vetoed_(vetoed) {}
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == vetoed_) return;
    TEdit::Dispatch(m);
  }

 private:
  UINT vetoed_;
};

TEST(Edit, ClipboardAndUndoMessagesCanBeVetoed) {
  struct Case {
    UINT msg;
    std::function<void(EditForm&)> act;
  } cases[] = {
      {WM_CUT, [](EditForm& f) { f.Chord(VK_CONTROL, 'X'); }},
      {WM_CUT, [](EditForm& f) { f.Chord(VK_SHIFT, VK_DELETE); }},
      {WM_PASTE, [](EditForm& f) { f.Chord(VK_CONTROL, 'V'); }},
      {WM_PASTE, [](EditForm& f) { f.Chord(VK_SHIFT, VK_INSERT); }},
      {WM_CLEAR, [](EditForm& f) { f.edit->ClearSelection(); }},
      {WM_UNDO, [](EditForm& f) { f.Chord(VK_CONTROL, 'Z'); }},
  };
  for (auto& c : cases) {
    for (bool veto : {false, true}) {
      Harness h;
      EditForm f(h, veto ? new VetoEdit(nullptr, c.msg) : nullptr);
      h.input.Type("hello");  // one undoable typing run
      f.edit->SelectAll();
      SetClipboardText("pasted");
      c.act(f);
      bool changed = f.edit->Text() != "hello";
      EXPECT_EQ(changed, !veto) << c.msg << " veto " << veto << " -> " << f.edit->Text();
      if (c.msg == WM_CUT) {
        EXPECT_EQ(GetClipboardText(), veto ? "pasted" : "hello");
      }
    }
  }
}

TEST(Edit, ReadOnlyBlocksChangesButCopies) {
  Harness h;
  EditForm f(h);
  f.edit->SetText("fixed text");
  f.edit->SetReadOnly(true);
  f.edit->SelectAll();
  SetClipboardText("other");
  int before = f.changes;
  h.input.Type("x");
  h.input.Key(VK_BACK);
  h.input.Key(VK_DELETE);
  f.Chord(VK_CONTROL, 'X');
  f.Chord(VK_CONTROL, 'V');
  f.Chord(VK_SHIFT, VK_DELETE);
  f.edit->ClearSelection();
  f.Chord(VK_CONTROL, 'Z');
  EXPECT_EQ(f.edit->Text(), "fixed text");
  EXPECT_EQ(f.changes, before);
  EXPECT_EQ(GetClipboardText(), "other");
  f.Chord(VK_CONTROL, 'C');
  EXPECT_EQ(GetClipboardText(), "fixed text");
  SetClipboardText("");
  f.edit->SetSelStart(6);
  f.edit->SetSelLength(4);
  f.Chord(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(GetClipboardText(), "text");
  // The caret still moves and selects.
  h.input.Key(VK_HOME);
  f.Chord(VK_SHIFT, VK_END);
  EXPECT_EQ(f.Sel(), std::make_pair(0, 10));
}

TEST(Edit, OneLevelOfUndoThatRedoes) {
  Harness h;
  EditForm f(h);
  h.input.Type("abc");
  EXPECT_TRUE(f.edit->CanUndo());
  f.Chord(VK_CONTROL, 'Z');  // the typing run is one step
  EXPECT_EQ(f.edit->Text(), "");
  f.Chord(VK_CONTROL, 'Z');  // undoing the undo restores it
  EXPECT_EQ(f.edit->Text(), "abc");
  SetClipboardText("XY");
  h.input.Key(VK_HOME);
  f.Chord(VK_CONTROL, 'V');
  EXPECT_EQ(f.edit->Text(), "XYabc");
  f.edit->Undo();
  EXPECT_EQ(f.edit->Text(), "abc");
  EXPECT_TRUE(f.edit->Modified());
  f.edit->SetText("new");  // setting the text forgets undo and the modified flag
  EXPECT_FALSE(f.edit->CanUndo());
  EXPECT_FALSE(f.edit->Modified());
  h.input.Key(VK_END);
  h.input.Key(VK_BACK);
  f.edit->Undo();
  EXPECT_EQ(f.edit->Text(), "new");
}

TEST(Edit, KeyboardSelection) {
  Harness h;
  EditForm f(h);
  f.edit->SetText("hello world");
  struct Step {
    std::function<void()> keys;
    std::pair<int, int> sel;  // start, length
  } steps[] = {
      {[&] { h.input.Key(VK_END); }, {11, 0}},
      {[&] { h.input.Key(VK_HOME); }, {0, 0}},
      {[&] {
         for (int i = 0; i < 3; i++) f.Chord(VK_SHIFT, VK_RIGHT);
       },
       {0, 3}},
      {[&] { h.input.Key(VK_RIGHT); }, {3, 0}},  // collapses to the selection's end
      {[&] { f.Chord(VK_CONTROL, VK_RIGHT); }, {6, 0}},
      {[&] { f.Chord(VK_SHIFT, VK_END); }, {6, 5}},
      {[&] { f.Chord2(VK_CONTROL, VK_SHIFT, VK_LEFT); }, {6, 0}},
      {[&] { f.Chord2(VK_CONTROL, VK_SHIFT, VK_LEFT); }, {0, 6}},
      {[&] { h.input.Key(VK_LEFT); }, {0, 0}},
      {[&] { f.Chord(VK_CONTROL, 'A'); }, {0, 11}},
  };
  for (size_t i = 0; i < std::size(steps); i++) {
    steps[i].keys();
    EXPECT_EQ(f.Sel(), steps[i].sel) << "step " << i;
  }
  DWORD s = 0, e = 0;
  LRESULT r = SendMessage(f.edit->Handle(), EM_GETSEL, WPARAM(&s), LPARAM(&e));
  EXPECT_EQ(s, 0u);
  EXPECT_EQ(e, 11u);
  EXPECT_EQ(r, MAKELPARAM(0, 11));
  SendMessage(f.edit->Handle(), EM_SETSEL, 2, 5);
  EXPECT_EQ(f.Sel(), std::make_pair(2, 3));
  SendMessage(f.edit->Handle(), EM_SETSEL, 0, -1);
  EXPECT_EQ(f.Sel(), std::make_pair(0, 11));
  SendMessage(f.edit->Handle(), EM_SETSEL, WPARAM(-1), 0);
  EXPECT_EQ(f.edit->SelLength(), 0);
}

TEST(Edit, MouseSelection) {
  Harness h;
  EditForm f(h);
  f.edit->SetText("hello world");
  h.input.MoveTo(f.edit, f.X(2) + 1, 8);
  h.input.Click();
  EXPECT_EQ(f.Sel(), std::make_pair(2, 0));
  h.Advance(1000);  // no double click
  h.input.Press();
  h.input.MoveTo(f.edit, f.X(8) + 2, 8);
  h.input.Release();
  EXPECT_EQ(f.Sel(), std::make_pair(2, 6));
  // Past the end the caret stays at the end.
  h.input.MoveTo(f.edit, f.X(4), 8);
  h.Advance(1000);
  h.input.Click();
  h.Advance(1000);
  h.input.KeyDown(VK_SHIFT);
  h.input.MoveTo(f.edit, 190, 8);
  h.input.Click();
  h.input.KeyUp(VK_SHIFT);
  EXPECT_EQ(f.Sel(), std::make_pair(4, 7));
  h.input.MoveTo(f.edit, f.X(7) + 3, 8);
  h.Advance(1000);
  h.input.DoubleClick();
  EXPECT_EQ(f.Sel(), std::make_pair(6, 5));
  EXPECT_EQ(f.edit->SelText(), "world");
}

TEST(Edit, FormatRectangleConfinesTheText) {
  Harness h;
  EditForm f(h);
  f.edit->SetText("a long line of text that does not fit");
  RECT fr{20, 2, 62, 18};
  SendMessage(f.edit->Handle(), EM_SETRECT, 0, LPARAM(&fr));
  h.Pump();
  RECT got;
  SendMessage(f.edit->Handle(), EM_GETRECT, 0, LPARAM(&got));
  EXPECT_EQ(got, fr);
  uint32_t bg = cx::Rgb(gfx::clWindow), ink = cx::Rgb(gfx::clWindowText);
  EXPECT_EQ(h.Pixel(f.edit, 22, 8), ink);  // the first glyph starts at the rectangle
  for (int x : {2, 18, 63, 100, 190}) EXPECT_EQ(h.Pixel(f.edit, x, 8), bg) << x;
  EXPECT_EQ(f.edit->PosFromChar(0).X, 20);
  // The caret at the end scrolls the text inside the rectangle.
  h.input.Key(VK_END);
  h.Pump();
  EXPECT_LT(f.edit->PosFromChar(0).X, 20);
  EXPECT_LE(f.edit->PosFromChar(37).X, 62);
  for (int x : {2, 18, 63, 190}) EXPECT_EQ(h.Pixel(f.edit, x, 8), bg) << x;
  // Margins: the default rectangle follows EM_SETMARGINS.
  SendMessage(f.edit->Handle(), EM_SETRECT, 0, 0);
  SendMessage(f.edit->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 0));
  SendMessage(f.edit->Handle(), EM_GETRECT, 0, LPARAM(&got));
  EXPECT_EQ(got, (RECT{2, 0, 200, 21}));
}

// Answers the reflected colour request with the null brush, as a transparent
// skinned edit does.
class TransparentEdit : public TEdit {
 public:
  using TEdit::TEdit;
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == CN_CTLCOLOREDIT) {
      gfx::SetBkMode(gfx::HDC(uint32_t(m.WParam)), gfx::TRANSPARENT);
      gfx::SetTextColor(gfx::HDC(uint32_t(m.WParam)), gfx::RGB(0, 0, 255));
      m.Result = LRESULT(gfx::GetStockObject(gfx::NULL_BRUSH).v);
      return;
    }
    TEdit::Dispatch(m);
  }
};

TEST(Edit, PaintsIntoAGivenDCTransparentlyWithANullBrush) {
  for (bool transparent : {true, false}) {
    Harness h;
    EditForm f(h, transparent ? new TransparentEdit(nullptr) : nullptr);
    f.edit->SetText("ab");
    gfx::TBitmap bmp;
    bmp.SetSize(200, 21);
    bmp.Canvas()->Brush()->SetColor(gfx::clRed);
    bmp.Canvas()->FillRect({0, 0, 200, 21});
    gfx::HDC dc = bmp.Canvas()->Handle();
    f.edit->Perform(WM_PAINT, WPARAM(dc.v), 0);
    auto px = [&](int x, int y) { return uint32_t(gfx::ColorToRGB(bmp.Canvas()->Pixels(x, y))) & 0xFFFFFF; };
    uint32_t red = uint32_t(gfx::clRed), blue = uint32_t(gfx::clBlue);
    if (transparent) {
      EXPECT_EQ(px(f.X(0) + 2, 5), blue);  // the glyph box of "a"
      EXPECT_EQ(px(f.X(3) + 2, 5), red);   // past the text: what was there
      EXPECT_EQ(px(150, 18), red);
    } else {
      EXPECT_EQ(px(150, 18), uint32_t(gfx::ColorToRGB(gfx::clWindow)) & 0xFFFFFF);
      EXPECT_EQ(px(f.X(0) + 2, 5), uint32_t(gfx::ColorToRGB(gfx::clWindowText)) & 0xFFFFFF);
    }
  }
}

TEST(Edit, ChineseTextAndInputMethod) {
  Harness h;
  EditForm f(h);
  std::u32string keys;
  f.edit->OnKeyPress = [&](rtl::TObject*, char32_t& k) { keys += k; };
  h.input.ImeCommit("中文");
  EXPECT_EQ(keys, U"中文");  // one WM_CHAR per code point
  EXPECT_EQ(f.edit->Text(), "中文");
  EXPECT_EQ(f.Sel(), std::make_pair(2, 0));
  h.input.Type("x");
  f.Chord(VK_SHIFT, VK_LEFT);
  f.Chord(VK_SHIFT, VK_LEFT);
  EXPECT_EQ(f.edit->SelText(), "文x");
  h.input.Key(VK_END);
  // A preedit shows at the caret without entering the text.
  std::string pre = "zhong";
  SendMessage(f.edit->Handle(), ctl::WM_IME_COMPOSITION, 5, LPARAM(pre.c_str()));
  EXPECT_EQ(f.edit->Text(), "中文x");
  EXPECT_EQ(f.edit->Preedit(), U"zhong");
  POINT caret;
  GetCaretPos(&caret);
  EXPECT_EQ(caret.X, f.X(8));
  SendMessage(f.edit->Handle(), ctl::WM_IME_ENDCOMPOSITION, 0, 0);
  h.input.ImeCommit("中");
  EXPECT_EQ(f.edit->Text(), "中文x中");
  EXPECT_TRUE(f.edit->Preedit().empty());
  GetCaretPos(&caret);
  EXPECT_EQ(caret.X, f.X(4));
}

TEST(Edit, PropertiesShapeTypedText) {
  Harness h;
  EditForm f(h);
  f.edit->SetMaxLength(4);
  f.edit->SetCharCase(ctl::ecUpperCase);
  h.input.Type("abcdef");
  EXPECT_EQ(f.edit->Text(), "ABCD");
  SetClipboardText("zz\nsecond line");
  f.edit->SetMaxLength(0);
  f.Chord(VK_CONTROL, 'V');
  EXPECT_EQ(f.edit->Text(), "ABCDZZ");  // only the first line, upper-cased
  f.edit->SetPasswordChar('*');
  f.edit->SelectAll();
  f.Chord(VK_CONTROL, 'C');
  EXPECT_EQ(GetClipboardText(), "zz\nsecond line");  // no copying out of a password
}

TEST(Edit, ContextMenuFromTheKeyboardComesAtMinusOne) {
  Harness h;
  EditForm f(h);
  MessageLog log(f.edit->Handle(), {WM_CONTEXTMENU});
  f.Chord(VK_SHIFT, VK_F10);
  h.input.Key(VK_APPS);
  ASSERT_EQ(log.entries.size(), 2u);
  for (auto& e : log.entries) EXPECT_EQ(e.lParam, MAKELPARAM(-1, -1));
}

}  // namespace
