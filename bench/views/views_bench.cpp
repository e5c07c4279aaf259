// views_bench [rounds]
// The main window's file list as the program sets it up (report view, grid
// lines, whole-row selection, six columns of which one is hidden, a skinned
// header, two external skinned scroll bars) with 1,000 rows, 760 x 480, on
// the window system's off-screen backend with the real text engine. Each
// round pages from the top to the bottom with Page Down (the view scrolls,
// the bar follows, the list repaints) and back up through the vertical bar
// (the view follows); a third pass repaints the whole list at every page.
// Prints the median and the slowest time per repaint, in the views test skin and
// in the default look.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/testkit/harness.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinViews.h"

using namespace skin;

namespace {

struct Figures {
  std::vector<double> ms;
  void Add(double v) { ms.push_back(v); }
  void Print(const char* what) {
    if (ms.empty()) {
      std::printf("  %-34s nothing measured\n", what);
      return;
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms) sum += v;
    std::printf("  %-34s %5zu repaints  median %6.2f ms  mean %6.2f ms  slowest %6.2f ms\n", what, ms.size(),
                ms[ms.size() / 2], sum / double(ms.size()), ms.back());
  }
};

template <class F>
double Time(F fn) {
  auto t0 = std::chrono::steady_clock::now();
  fn();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

void Run(plat::test::Harness& h, TbsSkinData* store, int rounds) {
  auto* form = new cl::TForm(nullptr);
  form->SetBorderStyle(cl::bsNone);
  form->SetBounds(0, 0, 800, 520);
  form->Show();
  auto* lv = new TbsSkinListView(form);
  lv->SetViewStyle(ctl::vsReport);
  lv->SetGridLines(true);
  lv->SetRowSelect(true);
  lv->ReadOnly = true;
  lv->SetHideSelection(false);
  lv->SetBounds(0, 0, 760, 480);
  lv->SetParent(form);
  const char* caps[] = {"文件名", "时长", "Path", "格式", "Size", "Status"};
  int widths[] = {220, 90, 0, 110, 110, 180};
  for (int i = 0; i < 6; ++i) {
    auto* c = lv->Columns()->Add();
    c->SetCaption(caps[i]);
    c->SetWidth(widths[i]);
    if (widths[i] == 0) c->SetMaxWidth(1);
  }
  lv->Items()->BeginUpdate();
  for (int i = 0; i < 1000; ++i) {
    auto* it = lv->Items()->Add();
    it->SetCaption("clip" + std::to_string(i + 1) + ".mp4");
    it->SubItems()->Add("00:0" + std::to_string(i % 10) + ":" + std::to_string(10 + i % 50));
    it->SubItems()->Add("/home/user/videos");
    it->SubItems()->Add(i % 2 ? "MP4" : "AVI");
    it->SubItems()->Add(std::to_string(1200 + 37 * i) + " KB");
    it->SubItems()->Add(i % 4 ? "Waiting" : "Done");
  }
  lv->Items()->EndUpdate();
  if (store) lv->SetSkinData(store);
  auto* vbar = new TbsSkinScrollBar(form);
  vbar->SetKind(sbVertical);
  vbar->SetBounds(760, 0, 19, 480);
  vbar->SetParent(form);
  auto* hbar = new TbsSkinScrollBar(form);
  hbar->SetBounds(0, 480, 760, 19);
  hbar->SetParent(form);
  lv->SetVScrollBar(vbar);
  lv->SetHScrollBar(hbar);
  lv->SetSelected(lv->Items()->Item(0));
  lv->SetFocus();
  h.Pump();
  std::printf("%s: %d rows per page, bar 0..%d\n", store ? "views test skin" : "default look", vbar->PageSize(),
              vbar->Max());
  Figures keys, bar, full;
  for (int r = 0; r < rounds; ++r) {
    // Down the list with Page Down from the first row: the view scrolls,
    // the bar follows.
    lv->SetSelected(lv->Items()->Item(0));
    lv->SetItemFocused(lv->Items()->Item(0));
    vbar->SetPosition(0);
    h.Pump();
    int top = 0;
    for (int k = 0; k < 1000 && lv->ItemFocused() && lv->ItemFocused()->Index() < 999; ++k) {
      keys.Add(Time([&] { h.input.Key(win::VK_NEXT); }));
      top = lv->TopItem() ? lv->TopItem()->Index() : -1;
    }
    if (vbar->Position() != top)
      std::printf("  (the bar did not follow the keys: bar %d, top %d)\n", vbar->Position(), top);
    // Back up through the bar: the view follows.
    while (vbar->Position() > 0)
      bar.Add(Time([&] {
        vbar->SetPosition(vbar->Position() - vbar->LargeChange());
        h.Pump();
      }));
    for (int p = 0; p <= vbar->Max(); p += vbar->PageSize()) {
      vbar->SetPosition(p);
      h.Pump();
      full.Add(Time([&] { lv->Repaint(); }));
    }
    vbar->SetPosition(0);
    h.Pump();
  }
  if (vbar->Position() != 0 || (lv->TopItem() && lv->TopItem()->Index() != 0))
    std::printf("  (the bar and the view disagree: bar %d)\n", vbar->Position());
  keys.Print("Page Down key (scroll, bar, repaint)");
  bar.Print("bar page up (scroll, repaint)");
  full.Print("whole list repaint");
  form->Free();
  h.Pump();
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  plat::test::Harness h(false);
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->LoadFromFile(std::string(VIEWSKIN_DIR) + "/skin.ini");
  Run(h, store.get(), rounds);
  Run(h, nullptr, rounds);
  store.reset();
  return 0;
}
