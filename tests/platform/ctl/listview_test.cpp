// The list view core and its header: the OnSelectItem order, hidden columns,
// the scroll records of report and list view, the header's announcement,
// subclassing, hit test and divider drag, owner data, label editing and a
// hosted child control.
#include "fixtures.h"
#include "platform/ctl/edit.h"
#include "platform/ctl/listview.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/gfx/raster.h"

#include <gtest/gtest.h>

using namespace win;
using ctl::TListView;
using plat::test::Harness;

namespace {

// Fixed text: rows are 17 high, the header 20, so a 200-high list shows 10 rows.
constexpr int kRow = 17, kHeader = 20;

struct ListForm {
  Harness& h;
  cl::TForm* form = cx::MakeForm(400, 300);
  TListView* lv;
  std::vector<std::string> events;
  explicit ListForm(Harness& harness, int rows = 30, std::vector<int> widths = {100, 80, 0, 60},
                    TListView* list = nullptr)
      : h(harness), lv(list ? list : new TListView(form)) {
    lv->SetBounds(0, 0, 300, 200);
    lv->SetViewStyle(ctl::vsReport);
    lv->SetRowSelect(true);
    lv->SetGridLines(true);
    lv->ReadOnly = true;
    for (size_t i = 0; i < widths.size(); i++) {
      ctl::TListColumn* c = lv->Columns()->Add();
      c->SetCaption("col " + std::to_string(i));
      c->SetWidth(widths[i]);
      if (widths[i] == 0) c->SetMaxWidth(1);
    }
    for (int i = 0; i < rows; i++) {
      ctl::TListItem* it = lv->Items()->Add();
      it->SetCaption("item " + std::to_string(i));
      it->SubItems()->Add("sub " + std::to_string(i));
    }
    lv->SetParent(form);
    lv->OnSelectItem = [this](rtl::TObject*, ctl::TListItem* item, bool on) {
      events.push_back(std::to_string(item->Index()) + (on ? " on" : " off"));
    };
    form->Show();
    lv->SetFocus();
    h.Pump();
  }
  ~ListForm() {
    form->Free();
    EXPECT_EQ(h.Leaks(), "");
  }
  LRESULT Send(UINT m, WPARAM w = 0, LPARAM l = 0) { return SendMessage(lv->Handle(), m, w, l); }
  HWND Header() { return lv->HeaderHandle(); }
  void ClickRow(int row) {
    h.Advance(1000);
    h.input.MoveTo(lv, 150, kHeader + row * kRow + 8);
    h.input.Click();
  }
  std::pair<int, int> Range(int bar) {
    int lo = -1, hi = -1;
    ctl::GetScrollRange(lv->Handle(), bar, &lo, &hi);
    return {lo, hi};
  }
  void DragHeader(int fromX, int toX) {
    h.Advance(1000);
    h.input.MoveTo(Header(), fromX, 5);
    h.input.Press();
    h.input.MoveTo(Header(), toX, 5);
    h.input.Release();
  }
};

TEST(ListView, SelectItemFiresTheOldRowOffBeforeTheNewRowOn) {
  Harness h;
  ListForm f(h);
  struct Step {
    std::function<void()> act;
    std::vector<std::string> events;
  } steps[] = {
      {[&] { f.ClickRow(2); }, {"2 on"}},
      {[&] { f.ClickRow(5); }, {"2 off", "5 on"}},
      {[&] { f.ClickRow(5); }, {}},
      {[&] { h.input.Key(VK_DOWN); }, {"5 off", "6 on"}},
      {[&] { f.lv->Items()->Item(1)->SetSelected(true); }, {"6 off", "1 on"}},
      {[&] {
         h.Advance(1000);
         h.input.MoveTo(f.lv, 280, kHeader + 8);  // right of the columns: no row
         h.input.Click();
       },
       {"1 off"}},
  };
  for (size_t i = 0; i < std::size(steps); i++) {
    f.events.clear();
    steps[i].act();
    EXPECT_EQ(f.events, steps[i].events) << "step " << i;
  }
  int clicks = 0;
  f.lv->OnClick = [&](rtl::TObject*) { clicks++; };
  f.ClickRow(3);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(f.lv->Selected()->Index(), 3);
  EXPECT_EQ(f.lv->ItemFocused()->Index(), 3);
}

// A selection handler that pumps messages (opening a file, say) lets the
// press's own release go by: the list must not take the mouse afterwards,
// or the next click elsewhere would land in it.
TEST(ListView, ASelectionThatPumpsPastTheReleaseLeavesNoCapture) {
  Harness h;
  ListForm f(h);
  f.lv->OnSelectItem = [&](rtl::TObject*, ctl::TListItem*, bool on) {
    if (on) h.input.Release();
  };
  h.Advance(1000);
  h.input.MoveTo(f.lv, 150, kHeader + 2 * kRow + 8);
  h.input.Press();
  EXPECT_EQ(f.lv->Selected()->Index(), 2);
  EXPECT_EQ(GetCapture(), HWND());
}

TEST(ListView, AFocusedViewWithASelectedRowIsFreedWhileItsFormLives) {
  Harness h;
  ListForm f(h);
  f.ClickRow(2);
  ASSERT_TRUE(f.lv->Focused());
  f.lv->Free();  // its window's last messages must not read freed rows
  f.lv = nullptr;
  h.Pump();
}

TEST(ListView, ReportScrollContract) {
  Harness h;
  ListForm f(h);
  HWND w = f.lv->Handle();
  EXPECT_EQ(f.Send(ctl::LVM_GETCOUNTPERPAGE), 10);
  EXPECT_EQ(f.Send(ctl::LVM_GETITEMCOUNT), 30);
  EXPECT_EQ(f.Range(SB_VERT), std::make_pair(0, 29));
  ctl::SCROLLINFO si;
  si.fMask = ctl::SIF_ALL;
  ctl::GetScrollInfo(w, SB_VERT, &si);
  EXPECT_EQ(si.nPage, 10u);
  struct Step {
    std::function<void()> act;
    int top;
  } steps[] = {
      {[&] { f.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7)); }, 7},
      {[&] { f.lv->Scroll(0, 3 * kRow); }, 10},  // pixels, in whole rows
      {[&] { f.Send(WM_VSCROLL, SB_LINEUP); }, 9},
      {[&] { f.Send(WM_VSCROLL, SB_BOTTOM); }, 20},
      {[&] { f.Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 25)); }, 20},
  };
  for (auto& s : steps) {
    s.act();
    EXPECT_EQ(f.Send(ctl::LVM_GETTOPINDEX), s.top);
    EXPECT_EQ(ctl::GetScrollPos(w, SB_VERT), s.top);
  }
  EXPECT_EQ(f.lv->TopItem()->Index(), 20);
  EXPECT_EQ(f.lv->Items()->Item(22)->Top(), kHeader + 2 * kRow);
  // Horizontal, in pixels; the header moves with the columns.
  EXPECT_EQ(f.Range(SB_HORZ), std::make_pair(0, 0));
  f.lv->Columns()->Items(3)->SetWidth(200);  // 380 wide in 300
  EXPECT_EQ(f.Range(SB_HORZ), std::make_pair(0, 380));
  f.Send(WM_HSCROLL, SB_LINERIGHT);
  EXPECT_EQ(ctl::GetScrollPos(w, SB_HORZ), 16);
  EXPECT_EQ(WindowBounds(f.Header()).Left, -16);
  f.Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 200));
  EXPECT_EQ(ctl::GetScrollPos(w, SB_HORZ), 80);
  f.Send(WM_HSCROLL, SB_LINELEFT);
  EXPECT_EQ(f.lv->ScrollX(), 64);
  // Fewer rows than a page: no vertical range.
  while (f.lv->Items()->Count() > 10) f.lv->Items()->Delete(0);
  EXPECT_EQ(f.Range(SB_VERT), std::make_pair(0, 0));
  EXPECT_EQ(f.Send(ctl::LVM_GETTOPINDEX), 0);
}

TEST(ListView, ListViewScrollsByColumns) {
  Harness h;
  ListForm f(h, 100, {});
  f.lv->SetViewStyle(ctl::vsList);
  h.Pump();
  // 11 rows per column of 57 pixels ("item NN" + 8): 5 columns of 10 fit.
  EXPECT_EQ(f.Send(ctl::LVM_GETCOUNTPERPAGE), 55);
  EXPECT_EQ(f.Range(SB_HORZ), std::make_pair(0, 9));
  EXPECT_EQ(f.Range(SB_VERT), std::make_pair(0, 0));
  f.Send(WM_HSCROLL, SB_LINERIGHT);
  f.Send(WM_HSCROLL, SB_LINERIGHT);
  EXPECT_EQ(ctl::GetScrollPos(f.lv->Handle(), SB_HORZ), 2);
  EXPECT_EQ(f.Send(ctl::LVM_GETTOPINDEX), 22);
  f.lv->Scroll(-57, 0);
  EXPECT_EQ(f.Send(ctl::LVM_GETTOPINDEX), 11);
  EXPECT_EQ(f.lv->Items()->Item(11)->DisplayRect(ctl::drBounds), (TRect{0, 0, 57, kRow}));
}

// Records what the header announcement says and answers the header's paint itself.
class HookedList : public TListView {
 public:
  using TListView::TListView;
  std::vector<std::string> created;
  HWND header;
  WNDPROC oldProc;
  WNDPROC proc = MakeWndProc([this](HWND hw, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_PAINT) {
      PAINTSTRUCT ps;
      gfx::HDC dc = w ? gfx::HDC(uint32_t(w)) : BeginPaint(hw, &ps);
      RECT r;
      GetClientRect(hw, &r);
      gfx::HBRUSH red = gfx::CreateSolidBrush(gfx::RGB(255, 0, 0));
      gfx::FillRect(dc, &r, red);
      gfx::DeleteObject(red);
      if (!w) EndPaint(hw, &ps);
      return 0;
    }
    if (m == WM_WINDOWPOSCHANGING) {
      reinterpret_cast<WINDOWPOS*>(l)->cx += 25;
      return 0;
    }
    return CallWindowProc(oldProc, hw, m, w, l);
  });
  ~HookedList() override { FreeWndProc(proc); }
  void WndProc(cl::TMessage& m) override {
    if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE) {
      HWND child(uint32_t(m.LParam));
      created.push_back(GetClassName(child));
      if (GetClassName(child) == "SysHeader32") {
        header = child;
        oldProc = WNDPROC(uint32_t(SetWindowLong(child, GWL_WNDPROC, LONG_PTR(proc.v))));
      }
    }
    TListView::WndProc(m);
  }
};

TEST(ListView, HeaderIsAnnouncedAndCanBeSubclassed) {
  Harness h;
  auto* list = new HookedList(nullptr);
  ListForm f(h, 30, {100, 80, 0, 60}, list);
  EXPECT_EQ(list->created, std::vector<std::string>{"SysHeader32"});
  ASSERT_EQ(list->header, f.Header());
  EXPECT_EQ(f.Send(ctl::LVM_GETHEADER), LRESULT(f.Header().v));
  f.lv->SetBounds(0, 0, 310, 200);  // the header is placed again, through the subclass
  h.Pump();
  EXPECT_EQ(WindowBounds(f.Header()).Width(), 310 + 25);
  EXPECT_EQ(h.Pixel(f.Header(), 50, 10), 0xFF0000u);
  // The header's own answers still come through the subclass.
  EXPECT_EQ(SendMessage(f.Header(), ctl::HDM_GETITEMCOUNT), 4);
  RECT r;
  EXPECT_TRUE(SendMessage(f.Header(), ctl::HDM_GETITEMRECT, 1, LPARAM(&r)));
  EXPECT_EQ(r, (RECT{100, 0, 180, kHeader}));
  int order[4] = {};
  EXPECT_TRUE(SendMessage(f.Header(), ctl::HDM_GETORDERARRAY, 4, LPARAM(order)));
  EXPECT_EQ(order[3], 3);
}

TEST(ListView, HiddenColumnsHeaderHitTestAndDividerDrag) {
  Harness h;
  // The main window's layout: 25 columns, 5 and 8..24 hidden.
  std::vector<int> widths(25, 0);
  for (int i : {0, 1, 2, 3, 4, 6, 7}) widths[size_t(i)] = 30;
  ListForm f(h, 5, widths);
  std::vector<int> clicked;
  f.lv->OnColumnClick = [&](rtl::TObject*, ctl::TListColumn* c) { clicked.push_back(c->Index()); };
  EXPECT_EQ(SendMessage(f.Header(), ctl::HDM_GETITEMCOUNT), 25);
  RECT r;
  SendMessage(f.Header(), ctl::HDM_GETITEMRECT, 5, LPARAM(&r));
  EXPECT_EQ(r.Width(), 0);
  struct Case {
    int x;
    UINT flags;
    int item;
  } cases[] = {
      {15, ctl::HHT_ONHEADER, 0},   {29, ctl::HHT_ONDIVIDER, 0},  {31, ctl::HHT_ONDIVIDER, 0},
      {150, ctl::HHT_ONDIVIDER, 4},  // shared with the hidden column 5
      {165, ctl::HHT_ONHEADER, 6},  {210, ctl::HHT_ONDIVIDER, 7}, {260, ctl::HHT_NOWHERE, -1},
  };
  for (auto& c : cases) {
    ctl::HDHITTESTINFO info;
    info.pt = {c.x, 5};
    EXPECT_EQ(SendMessage(f.Header(), ctl::HDM_HITTEST, 0, LPARAM(&info)), c.item) << c.x;
    EXPECT_EQ(info.flags, c.flags) << c.x;
  }
  // Dragging the divider at 150 widens column 4; the hidden column stays hidden.
  int changes = 0;
  f.lv->OnChange = [&](rtl::TObject*, ctl::TListItem*, ctl::TItemChange) { changes++; };
  f.DragHeader(150, 190);
  EXPECT_EQ(f.lv->Columns()->Items(4)->Width(), 70);
  EXPECT_EQ(f.lv->Columns()->Items(5)->Width(), 0);
  SendMessage(f.Header(), ctl::HDM_GETITEMRECT, 6, LPARAM(&r));
  EXPECT_EQ(r.Left, 190);
  EXPECT_TRUE(clicked.empty());
  // A click on a section is a column click.
  f.DragHeader(200, 200);
  EXPECT_EQ(clicked, std::vector<int>{6});
  // The columns shrink no further than nothing.
  f.DragHeader(30, -50);
  EXPECT_EQ(f.lv->Columns()->Items(0)->Width(), 0);
}

TEST(ListView, DraggingAHiddenColumnOpensItOnlyToItsMaxWidth) {
  Harness h;
  ListForm f(h, 5, {0, 50});
  ctl::HDHITTESTINFO info;
  info.pt = {1, 5};
  EXPECT_EQ(SendMessage(f.Header(), ctl::HDM_HITTEST, 0, LPARAM(&info)), 0);
  EXPECT_EQ(info.flags, ctl::HHT_ONDIVOPEN);
  f.DragHeader(0, 40);
  EXPECT_EQ(f.lv->Columns()->Items(0)->Width(), 1);
}

TEST(ListView, OwnerDataAsksOnlyForWhatItShows) {
  Harness h;
  ListForm f(h, 0);
  int asked = 0;
  f.lv->SetOwnerData(true);
  f.lv->OnData = [&](rtl::TObject*, ctl::TListItem* item) {
    asked++;
    item->SetCaption("row " + std::to_string(item->Index()));
    item->SubItems()->Add("data");
  };
  f.lv->OnDataFind = [&](rtl::TObject*, ctl::TItemFind, const std::string& s, TPoint, void*, int start,
                         ctl::TSearchDirection, bool, int& index) {
    if (s == "row 7") index = 7;
    (void)start;
  };
  f.lv->Items()->SetCount(100000);
  asked = 0;
  h.Pump();
  f.lv->Repaint();
  EXPECT_GT(asked, 0);
  EXPECT_LT(asked, 200);
  EXPECT_EQ(f.lv->Items()->Item(500)->Caption(), "row 500");
  f.ClickRow(3);
  EXPECT_EQ(f.events, std::vector<std::string>{"3 on"});
  EXPECT_EQ(f.lv->Selected()->Caption(), "row 3");
  h.Advance(2000);
  h.input.Type("row 7");
  EXPECT_EQ(f.lv->Selected()->Index(), 7);
  EXPECT_EQ(f.Range(SB_VERT), std::make_pair(0, 99999));
}

TEST(ListView, LabelEditing) {
  Harness h;
  ListForm f(h, 10);
  f.lv->ReadOnly = false;
  std::vector<std::string> edited;
  f.lv->OnEdited = [&](rtl::TObject*, ctl::TListItem*, std::string& s) {
    edited.push_back(s);
    s += "!";
  };
  bool allow = true;
  f.lv->OnEditing = [&](rtl::TObject*, ctl::TListItem*, bool& a) { a = allow; };
  ASSERT_TRUE(f.lv->Items()->Item(1)->EditCaption());
  HWND edit(uint32_t(f.Send(ctl::LVM_GETEDITCONTROL)));
  ASSERT_TRUE(IsWindow(edit));
  EXPECT_EQ(GetFocus(), edit);
  h.input.Type("new");
  h.input.Key(VK_RETURN);
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(edited, std::vector<std::string>{"new"});
  EXPECT_EQ(f.lv->Items()->Item(1)->Caption(), "new!");
  EXPECT_EQ(GetFocus(), f.lv->Handle());
  // Escape abandons.
  f.lv->Items()->Item(2)->EditCaption();
  h.input.Type("zzz");
  h.input.Key(VK_ESCAPE);
  EXPECT_EQ(f.lv->Items()->Item(2)->Caption(), "item 2");
  EXPECT_EQ(edited.size(), 1u);
  // A second slow click on the selected row's label starts editing.
  f.ClickRow(4);
  f.ClickRow(4);
  EXPECT_FALSE(f.lv->IsEditing());
  h.Advance(1000);
  EXPECT_TRUE(f.lv->IsEditing());
  f.lv->Items()->Item(4)->CancelEdit();
  allow = false;
  EXPECT_FALSE(f.lv->Items()->Item(5)->EditCaption());
  f.lv->ReadOnly = true;
  allow = true;
  EXPECT_FALSE(f.lv->Items()->Item(5)->EditCaption());
}

TEST(ListView, HostsAChildControlOverTheRows) {
  Harness h;
  ListForm f(h, 10);
  auto* edt = new ctl::TEdit(f.form);
  edt->SetColor(gfx::clYellow);
  f.lv->SetHideSelection(false);
  f.lv->Items()->Item(2)->SetSelected(true);
  TRect row = f.lv->Items()->Item(2)->DisplayRect(ctl::drBounds);
  int left = f.lv->Columns()->Items(0)->Width() + f.lv->Columns()->Items(1)->Width() + 2;
  edt->SetBounds(left, f.lv->Items()->Item(2)->Top(), 60, row.Height());
  edt->SetParent(f.lv);
  edt->SetFocus();
  h.input.Type("ok");
  f.lv->Repaint();
  h.Pump();
  EXPECT_EQ(edt->Text(), "ok");
  EXPECT_EQ(h.Pixel(f.lv, left + 50, row.Top + 3), cx::Rgb(gfx::clYellow));
  EXPECT_EQ(h.Pixel(f.lv, 95, row.Top + 3), cx::Rgb(gfx::clBtnFace));  // the row, selected but unfocused
}

}  // namespace
