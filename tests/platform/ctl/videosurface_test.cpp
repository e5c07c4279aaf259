// The video surface: pictures presented from a worker coalesce into one
// repaint and never wait for the UI thread; the surface empties when a
// playback ends; exposes repaint the kept picture; the size and clicks reach
// the player; a window's sink.
#include "fixtures.h"
#include "platform/cl/stdctrls.h"
#include "platform/ctl/videosurface.h"
#include "platform/rtl/dispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

using namespace win;
using ctl::TVideoSurface;
using plat::test::Harness;
using plat::test::MessageLog;

namespace {

std::vector<uint8_t> Solid(int w, int h, uint32_t rgb) {
  std::vector<uint8_t> px(size_t(w) * h * 4);
  for (size_t i = 0; i < px.size(); i += 4) {
    px[i] = uint8_t(rgb);
    px[i + 1] = uint8_t(rgb >> 8);
    px[i + 2] = uint8_t(rgb >> 16);
    px[i + 3] = 255;
  }
  return px;
}

struct Listener : rtl::IVideoOutputEvents {
  std::atomic<int> exposed{0}, clicked{0};
  int w = 0, h = 0;
  void VideoOutputExposed() override { exposed++; }
  void VideoOutputResized(int width, int height) override {
    w = width;
    h = height;
  }
  void VideoOutputClicked() override { clicked++; }
};

struct SurfaceForm {
  Harness& h;
  cl::TForm* form = cx::MakeForm(200, 150);
  TVideoSurface* s = new TVideoSurface(form);
  explicit SurfaceForm(Harness& harness) : h(harness) {
    s->SetBounds(10, 10, 64, 48);
    s->SetParent(form);
    form->Show();
    h.Pump();
  }
  ~SurfaceForm() {
    form->Free();
    EXPECT_EQ(h.Leaks(), "");
  }
  void Present(uint32_t rgb, int w = 64, int hgt = 48) {
    auto px = Solid(w, hgt, rgb);
    s->Present(px.data(), w * 4, w, hgt);
  }
};

// Runs `work` on a worker while the UI thread does not pump; the worker must
// finish on its own (a wait on the UI thread would never end).
bool RunWithoutPumping(const std::function<void()>& work) {
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  std::thread t([&] {
    work();
    std::lock_guard<std::mutex> g(m);
    done = true;
    cv.notify_all();
  });
  bool finished;
  {
    std::unique_lock<std::mutex> g(m);
    finished = cv.wait_for(g, std::chrono::seconds(30), [&] { return done; });
  }
  if (finished) {
    t.join();
  } else {
    t.detach();  // the test has failed; do not hang
  }
  return finished;
}

TEST(VideoSurface, WorkerPresentsCoalesceIntoOneRepaintWithoutWaitingForTheUiThread) {
  Harness h;
  SurfaceForm f(h);
  ASSERT_EQ(rtl::PendingCalls(), 0u);
  ASSERT_TRUE(RunWithoutPumping([&] {
    for (uint32_t k = 1; k <= 50; k++) f.Present(k * 0x010203);
  }));
  EXPECT_EQ(rtl::PendingCalls(), 1u);
  MessageLog paints(f.s->Handle(), {WM_PAINT});
  h.Pump();
  EXPECT_EQ(paints.Count(WM_PAINT), 1u);
  EXPECT_EQ(h.Pixel(f.s, 5, 5), 50u * 0x010203);
  // A clear from the worker takes the same road.
  ASSERT_TRUE(RunWithoutPumping([&] {
    f.Present(0xFF0000);
    f.s->Clear();
  }));
  h.Pump();
  EXPECT_EQ(h.Pixel(f.s, 5, 5), 0u);
  EXPECT_FALSE(f.s->HasPicture());
}

TEST(VideoSurface, EmptyAfterThePlaybackStops) {
  Harness h;
  SurfaceForm f(h);
  Listener player;
  f.s->SetEventListener(&player);
  f.Present(0x00FF00);
  h.Pump();
  EXPECT_EQ(h.Pixel(f.s, 30, 20), 0x00FF00u);
  // What the main window does at Stop: the player has let go of the surface,
  // then CM_INVALIDATE is posted and the window updated at once.
  f.s->SetEventListener(nullptr);
  PostMessage(f.s->Handle(), CM_INVALIDATE);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, f.s->Handle(), CM_INVALIDATE, CM_INVALIDATE, PM_REMOVE));
  DispatchMessage(&msg);
  EXPECT_EQ(h.Pixel(f.s, 30, 20), 0u);  // no pump needed: invalidate and update
}

TEST(VideoSurface, ExposeRepaintsTheKeptPictureCentred) {
  Harness h;
  SurfaceForm f(h);
  Listener player;
  f.s->SetEventListener(&player);
  f.Present(0x2040FF, 32, 16);  // a letterboxed picture smaller than the surface
  h.Pump();
  auto check = [&] {
    EXPECT_EQ(h.Pixel(f.s, 32, 24), 0x2040FFu);
    EXPECT_EQ(h.Pixel(f.s, 16, 16), 0x2040FFu);
    EXPECT_EQ(h.Pixel(f.s, 15, 24), 0u);
    EXPECT_EQ(h.Pixel(f.s, 32, 15), 0u);
  };
  check();
  // Paused: nothing presents again, yet an expose shows the picture.
  RedrawWindow(f.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  h.Pump();
  check();
  EXPECT_EQ(player.exposed, 0);
  // Size and clicks reach the player.
  f.s->SetBounds(10, 10, 80, 60);
  h.Pump();
  EXPECT_EQ(player.w, 80);
  EXPECT_EQ(player.h, 60);
  EXPECT_EQ(f.s->Size(), (gfx::TSize{80, 60}));
  int w = 0, hh = 0;
  f.s->GetClientSize(w, hh);
  EXPECT_EQ(w, 80);
  h.input.MoveTo(f.s, 5, 5);
  h.input.Click();
  EXPECT_EQ(player.clicked, 1);
  EXPECT_EQ(GetFocus(), f.s->Handle());
  f.s->SetEventListener(nullptr);
}

TEST(VideoSurface, SinkForAWindowFillsItAndHearsItsInvalidate) {
  Harness h;
  cl::TForm* form = cx::MakeForm(200, 150);
  auto* panel = new cl::TPanel(form);
  panel->SetBounds(20, 20, 100, 60);
  panel->BevelOuter = cl::bvNone;
  panel->SetParent(form);
  form->Show();
  h.Pump();
  TVideoSurface* s = TVideoSurface::SinkForWindow(panel->Handle());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(TVideoSurface::SinkForWindow(panel->Handle()), s);
  EXPECT_EQ(TVideoSurface::SinkForWindow(s->Handle()), s);
  h.Pump();
  EXPECT_EQ(s->Size(), (gfx::TSize{100, 60}));
  auto px = Solid(100, 60, 0xABCDEF);
  s->Present(px.data(), 400, 100, 60);
  h.Pump();
  EXPECT_EQ(h.Pixel(panel, 50, 30), 0xABCDEFu);
  s->Clear();
  SendMessage(panel->Handle(), CM_INVALIDATE);
  EXPECT_EQ(h.Pixel(panel, 50, 30), 0u);
  panel->SetBounds(20, 20, 120, 70);
  h.Pump();
  EXPECT_EQ(s->Size(), (gfx::TSize{120, 70}));
  form->Free();
  EXPECT_EQ(h.Leaks(), "");
}

}  // namespace
