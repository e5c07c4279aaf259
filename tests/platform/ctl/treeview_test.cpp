// The tree view core: lazy expansion and collapse, the row-based scroll
// records and TVM_GETVISIBLECOUNT, selection with a veto and a delayed
// change, keyboard navigation, deletion and label editing.
#include "fixtures.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/ctl/treeview.h"

#include <gtest/gtest.h>

using namespace win;
using ctl::TTreeNode;
using ctl::TTreeView;
using plat::test::Harness;

namespace {

constexpr int kRow = 16;  // fixed text 13 + 3
constexpr int kIndent = 19;

struct TreeForm {
  Harness& h;
  cl::TForm* form = cx::MakeForm(300, 200);
  TTreeView* tv = new TTreeView(form);
  std::vector<std::string> filled, changes;
  explicit TreeForm(Harness& harness, int roots = 3) : h(harness) {
    tv->SetBounds(10, 10, 200, 100);  // six rows of 16
    tv->SetParent(form);
    // Children appear only when a node is first opened.
    tv->OnExpanding = [this](rtl::TObject*, TTreeNode* n, bool& allow) {
      if (n->Text() == "veto") {
        allow = false;
        return;
      }
      if (n->Count() || n->Text() == "empty") return;
      filled.push_back(n->Text());
      for (int i = 0; i < 3; i++) tv->Items()->AddChild(n, n->Text() + "." + std::to_string(i))->SetHasChildren(true);
    };
    tv->OnChange = [this](rtl::TObject*, TTreeNode* n) { changes.push_back(n ? n->Text() : "nil"); };
    for (int i = 0; i < roots; i++) tv->Items()->Add(nullptr, std::to_string(i))->SetHasChildren(true);
    form->Show();
    tv->SetFocus();
    h.Pump();
  }
  ~TreeForm() {
    form->Free();
    EXPECT_EQ(h.Leaks(), "");
  }
  TTreeNode* Node(const std::string& text) {
    for (TTreeNode* n = tv->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->Text() == text) return n;
    return nullptr;
  }
  // Client point of a node's button or label (the node must be visible).
  void ClickButton(TTreeNode* n) {
    TRect r = n->DisplayRect(true);
    h.Advance(1000);
    h.input.MoveTo(tv, r.Left - kIndent / 2, r.Top + kRow / 2);
    h.input.Click();
  }
  void ClickLabel(TTreeNode* n, bool advance = true) {
    TRect r = n->DisplayRect(true);
    if (advance) h.Advance(1000);
    h.input.MoveTo(tv, r.Left + 3, r.Top + kRow / 2);
    h.input.Click();
  }
  std::string Shown() {
    std::string s;
    for (TTreeNode* n = tv->TopItem(); n; n = n->GetNextVisible()) s += n->Text() + " ";
    return s;
  }
};

TEST(TreeView, ChildrenComeWhenANodeFirstOpens) {
  Harness h;
  TreeForm f(h);
  f.tv->Items()->Add(nullptr, "empty")->SetHasChildren(true);
  f.tv->Items()->Add(nullptr, "veto")->SetHasChildren(true);
  EXPECT_EQ(f.tv->Items()->Count(), 5);
  struct Step {
    std::function<void()> act;
    std::string shown;
  } steps[] = {
      {[&] { f.ClickButton(f.Node("1")); }, "0 1 1.0 1.1 1.2 2 empty veto "},
      {[&] { f.ClickButton(f.Node("1")); }, "0 1 2 empty veto "},
      {[&] { f.ClickButton(f.Node("1")); }, "0 1 1.0 1.1 1.2 2 empty veto "},  // filled once
      {[&] {
         f.ClickLabel(f.Node("0"));
         h.input.Key(VK_RIGHT);  // opens
       },
       "0 0.0 0.1 0.2 1 1.0 1.1 1.2 2 empty veto "},
      {[&] { h.input.Key(VK_LEFT); }, "0 1 1.0 1.1 1.2 2 empty veto "},
      {[&] {
         f.ClickLabel(f.Node("2"));
         f.ClickLabel(f.Node("2"), false);  // a double click toggles
       },
       "0 1 1.0 1.1 1.2 2 2.0 2.1 2.2 empty veto "},
      {[&] { f.Node("empty")->Expand(false); }, "0 1 1.0 1.1 1.2 2 2.0 2.1 2.2 empty veto "},
      {[&] { f.Node("veto")->Expand(false); }, "0 1 1.0 1.1 1.2 2 2.0 2.1 2.2 empty veto "},
  };
  for (size_t i = 0; i < std::size(steps); i++) {
    steps[i].act();
    std::string all;
    for (TTreeNode* n = f.tv->Items()->GetFirstNode(); n; n = n->GetNextVisible()) all += n->Text() + " ";
    EXPECT_EQ(all, steps[i].shown) << "step " << i;
  }
  EXPECT_EQ(f.filled, (std::vector<std::string>{"1", "0", "2"}));
  EXPECT_FALSE(f.Node("empty")->HasChildren());  // nothing came: no button
  EXPECT_TRUE(f.Node("veto")->HasChildren());
  EXPECT_EQ(f.tv->Items()->Count(), 14);
  // Collapsing the parent of the selection selects the parent.
  f.ClickLabel(f.Node("2.1"));
  f.Node("2")->Collapse(false);
  EXPECT_EQ(f.tv->Selected(), f.Node("2"));
}

TEST(TreeView, RowScrollRecordsAndVisibleCount) {
  Harness h;
  TreeForm f(h, 10);
  for (TTreeNode* n = f.tv->Items()->GetFirstNode(); n; n = n->GetNextSibling()) n->Expand(false);  // 40 rows
  EXPECT_EQ(SendMessage(f.tv->Handle(), ctl::TVM_GETVISIBLECOUNT), 6);
  HWND w = f.tv->Handle();
  int lo = -1, hi = -1;
  ctl::GetScrollRange(w, SB_VERT, &lo, &hi);
  int rows = 0;
  for (TTreeNode* n = f.tv->Items()->GetFirstNode(); n; n = n->GetNextVisible()) rows++;
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, rows - 1);
  EXPECT_EQ(SendMessage(w, ctl::TVM_GETCOUNT), f.tv->Items()->Count());
  SendMessage(w, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10));
  EXPECT_EQ(f.tv->TopItem(), f.tv->Items()->Item(10));
  EXPECT_EQ(ctl::GetScrollPos(w, SB_VERT), 10);
  SendMessage(w, WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(ctl::GetScrollPos(w, SB_VERT), 11);
  SendMessage(w, WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(ctl::GetScrollPos(w, SB_VERT), rows - 6);
  // The keyboard keeps the selection in view and the record in step.
  f.ClickLabel(f.tv->TopItem());
  h.input.Key(VK_HOME);
  EXPECT_EQ(ctl::GetScrollPos(w, SB_VERT), 0);
  for (int i = 0; i < 8; i++) h.input.Key(VK_DOWN);
  EXPECT_EQ(ctl::GetScrollPos(w, SB_VERT), 3);
  EXPECT_EQ(f.tv->Selected()->DisplayRect(false).Top, 5 * kRow);
  // Everything fits: no range.
  f.tv->FullCollapse();
  f.tv->SetBounds(10, 10, 200, 180);
  ctl::GetScrollRange(w, SB_VERT, &lo, &hi);
  EXPECT_EQ(hi, 0);
}

TEST(TreeView, SelectionVetoDelayAndNavigation) {
  Harness h;
  TreeForm f(h);
  f.tv->OnChanging = [&](rtl::TObject*, TTreeNode* n, bool& allow) { allow = !n || n->Text() != "2"; };
  f.ClickLabel(f.Node("0"));
  h.input.Key(VK_RIGHT);
  h.input.Key(VK_RIGHT);  // open, then to the first child
  EXPECT_EQ(f.tv->Selected()->Text(), "0.0");
  h.input.Key(VK_LEFT);  // to the parent
  EXPECT_EQ(f.tv->Selected()->Text(), "0");
  h.input.Key(VK_END);
  EXPECT_EQ(f.tv->Selected()->Text(), "0");  // "2" is refused
  h.input.Key(VK_DOWN);
  h.input.Key(VK_DOWN);
  EXPECT_EQ(f.tv->Selected()->Text(), "0.1");
  EXPECT_EQ(f.changes, (std::vector<std::string>{"0", "0.0", "0", "0.0", "0.1"}));
  // With ChangeDelay the change comes after the delay, once.
  f.changes.clear();
  f.tv->ChangeDelay = 300;
  h.input.Key(VK_UP);
  h.input.Key(VK_UP);
  EXPECT_TRUE(f.changes.empty());
  h.Advance(300);
  EXPECT_EQ(f.changes, std::vector<std::string>{"0"});
  // A right click selects only with RightClickSelect.
  f.tv->ChangeDelay = 0;
  TRect r = f.Node("1")->DisplayRect(true);
  h.input.MoveTo(f.tv, r.Left + 3, r.Top + 4);
  h.input.Click(MouseButton::Right);
  EXPECT_EQ(f.tv->Selected()->Text(), "0");
  f.tv->RightClickSelect = true;
  h.Advance(1000);
  h.input.Click(MouseButton::Right);
  EXPECT_EQ(f.tv->Selected()->Text(), "1");
}

TEST(TreeView, DeletionAndLabelEditing) {
  Harness h;
  TreeForm f(h);
  std::vector<std::string> deleted;
  f.tv->OnDeletion = [&](rtl::TObject*, TTreeNode* n) { deleted.push_back(n->Text()); };
  f.Node("1")->Expand(false);
  f.ClickLabel(f.Node("1"));
  f.Node("1")->Delete();
  EXPECT_EQ(deleted, (std::vector<std::string>{"1.2", "1.1", "1.0", "1"}));
  EXPECT_EQ(f.tv->Selected()->Text(), "2");  // the next sibling
  EXPECT_EQ(f.tv->Items()->Count(), 2);
  // Editing a label.
  std::string seen;
  f.tv->OnEdited = [&](rtl::TObject*, TTreeNode*, std::string& s) {
    seen = s;
    s = "[" + s + "]";
  };
  ASSERT_TRUE(f.Node("0")->EditText());
  h.input.Type("zero");
  h.input.Key(VK_RETURN);
  EXPECT_EQ(seen, "zero");
  EXPECT_EQ(f.tv->Items()->GetFirstNode()->Text(), "[zero]");
  EXPECT_FALSE(f.tv->IsEditing());
  f.tv->ReadOnly = true;
  EXPECT_FALSE(f.tv->Items()->GetFirstNode()->EditText());
  f.tv->Items()->Clear();
  EXPECT_EQ(f.tv->Items()->Count(), 0);
  EXPECT_EQ(f.tv->Selected(), nullptr);
}

// The expand boxes follow the view's own colours: on a dark tree the sign is
// the light text colour and the frame stands apart from the background.
TEST(TreeView, ExpandBoxesReadOnADarkTree) {
  Harness h;
  TreeForm f(h);
  const gfx::TColor paper = 0x221F1E, ink = 0xE6E6E6;
  f.tv->SetColor(paper);
  f.tv->Font()->SetColor(ink);
  f.Node("1")->Expand(false);
  h.Pump();
  for (const char* name : {"0", "1"}) {
    SCOPED_TRACE(name);
    TTreeNode* n = f.Node(name);
    TRect r = n->DisplayRect(true);
    int bx = r.Left - kIndent / 2, by = r.Top + kRow / 2;
    EXPECT_EQ(h.Pixel(f.tv, bx, by), cx::Rgb(ink));                              // the minus bar
    EXPECT_EQ(h.Pixel(f.tv, bx, by - 2), cx::Rgb(n->Expanded() ? paper : ink));  // the plus stem
    uint32_t frame = h.Pixel(f.tv, bx - 4, by), bg = cx::Rgb(paper);
    for (int shift : {0, 8, 16}) EXPECT_GE(int((frame >> shift) & 0xFF) - int((bg >> shift) & 0xFF), 80);
  }
}

}  // namespace
