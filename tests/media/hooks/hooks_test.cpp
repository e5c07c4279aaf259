// Frame-hook plug-ins and the preview window logic.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "media/FrameHook.h"
#include "media/Previewer.h"
#include "platform/rtl/dispatcher.h"
#include "tests/media/convert/ConvertKit.h"

using namespace media;

namespace {

std::string HookLib(int kind) { return std::string(VC_HOOK_DIR) + "/libvc_test_hook" + std::to_string(kind) + ".so"; }

int Add(TFrameHookEntry** chain, std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  return add_frame_hook(chain, static_cast<int>(argv.size()), argv.data());
}

// The first picture's luma plane of a file.
std::vector<uint8_t> FirstLuma(const std::string& path, int& w, int& h) {
  std::vector<uint8_t> out;
  AVFormatContext* ic = nullptr;
  if (ffapi::avformat_open_input(&ic, path.c_str(), nullptr, nullptr) < 0) return out;
  ffapi::avformat_find_stream_info(ic, nullptr);
  int vi = ffapi::av_find_best_stream(ic, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const AVCodec* c = ffapi::avcodec_find_decoder(ic->streams[vi]->codecpar->codec_id);
  AVCodecContext* d = ffapi::avcodec_alloc_context3(c);
  ffapi::avcodec_parameters_to_context(d, ic->streams[vi]->codecpar);
  ffapi::avcodec_open2(d, c, nullptr);
  AVPacket* p = ffapi::av_packet_alloc();
  AVFrame* f = ffapi::av_frame_alloc();
  bool got = false;
  while (!got && ffapi::av_read_frame(ic, p) >= 0) {
    if (p->stream_index == vi && ffapi::avcodec_send_packet(d, p) >= 0 && ffapi::avcodec_receive_frame(d, f) >= 0) {
      got = true;
      w = f->width;
      h = f->height;
      for (int y = 0; y < h; ++y)
        out.insert(out.end(), f->data[0] + y * f->linesize[0], f->data[0] + y * f->linesize[0] + w);
    }
    ffapi::av_packet_unref(p);
  }
  ffapi::av_frame_free(&f);
  ffapi::av_packet_free(&p);
  ffapi::avcodec_free_context(&d);
  ffapi::avformat_close_input(&ic);
  return out;
}

class FakeWindow : public IPreviewWindow {
 public:
  struct State {
    std::atomic<int> shows{0}, draws{0}, destroyed{0};
    int w = 0, h = 0;
    std::string caption;
    std::function<void()> close;
    bool onMainThread = true;
  };
  explicit FakeWindow(std::shared_ptr<State> s) : s_(std::move(s)) {}
  ~FakeWindow() override {
    s_->onMainThread = s_->onMainThread && rtl::IsMainThread();
    ++s_->destroyed;
  }
  void Show(int w, int h, std::function<void()> onClose) override {
    s_->onMainThread = s_->onMainThread && rtl::IsMainThread();
    s_->w = w;
    s_->h = h;
    s_->close = std::move(onClose);
    ++s_->shows;
  }
  void SetCaption(const std::string& t) override { s_->caption = t; }
  void Draw(const TBitmap24&) override {
    s_->onMainThread = s_->onMainThread && rtl::IsMainThread();
    ++s_->draws;
  }

 private:
  std::shared_ptr<State> s_;
};

}  // namespace

TEST(FrameHooks, EntryPointsAndResults) {
  ASSERT_TRUE(convkit::LoadLibs());
  TFrameHookEntry* chain = nullptr;
  EXPECT_EQ(-2, add_frame_hook(&chain, 0, nullptr));
  EXPECT_EQ(-1, Add(&chain, {HookLib(9)}));
  EXPECT_EQ(-2, Add(&chain, {HookLib(2)}));         // no Process
  EXPECT_EQ(-2, Add(&chain, {HookLib(3), "arg"}));  // no Configure, but arguments
  EXPECT_EQ(-22, Add(&chain, {HookLib(4)}));        // Configure fails
  EXPECT_EQ(nullptr, chain);
  EXPECT_EQ(0, Add(&chain, {HookLib(3)}));            // Process only, no arguments
  EXPECT_EQ(0, Add(&chain, {HookLib(1), "a", "b"}));  // configured, after the first
  ASSERT_NE(nullptr, chain);
  ASSERT_NE(nullptr, chain->next);
  EXPECT_EQ(nullptr, chain->ctx);
  EXPECT_NE(nullptr, chain->next->ctx);
  // Two inverting hooks in a row give the picture back.
  uint8_t px[4 * 2] = {0, 10, 200, 255, 1, 2, 3, 4};
  HookPicture pic = {{px, nullptr, nullptr, nullptr}, {4, 0, 0, 0}};
  process_frame_hooks(chain, &pic, 0, 4, 2, 0);
  EXPECT_EQ(10, px[1]);
  EXPECT_EQ(255, px[3]);
  release_frame_hooks(&chain);
  EXPECT_EQ(nullptr, chain);
}

TEST(FrameHooks, VhookOptionRunsThePluginOnEveryPicture) {
  ASSERT_TRUE(convkit::LoadLibs());
  TFFConverter c;
  TTerminateInfo got;
  c.OnTerminate = [&](void*, const TTerminateInfo& i) {
    if (i.TaskIndex >= 0) got = i;
  };
  ASSERT_EQ(0, c.AddTask(convkit::Clip("clip.avi"), static_cast<TInputOptions*>(nullptr)));
  TOutputOptions o;
  o.VideoCodec = "rawvideo";
  o.DisableAudio = true;
  o.ExtOptions = "pix_fmt=yuv420p\nvhook=" + HookLib(1);
  const std::string out = convkit::Out("vhook.avi");
  ASSERT_TRUE(c.SetOutputFile(0, out, &o)) << c.LastErrMsg();
  c.Start(0);
  EXPECT_TRUE(got.Finished && !got.Exception) << got.ExceptionMsg;
  int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
  auto in = FirstLuma(convkit::Clip("clip.avi"), w1, h1);
  auto res = FirstLuma(out, w2, h2);
  ASSERT_EQ(in.size(), res.size());
  ASSERT_FALSE(in.empty());
  size_t same = 0;
  for (size_t i = 0; i < in.size(); ++i) same += res[i] == 255 - in[i];
  EXPECT_EQ(in.size(), same);
}

TEST(Previewer, PaintsOnTheMainThreadAndStopsOnceClosed) {
  auto state = std::make_shared<FakeWindow::State>();
  auto old = SetPreviewWindowFactory([state] { return std::make_unique<FakeWindow>(state); });
  TBitmap24 bmp(64, 48);
  {
    TPreviewer p;
    std::atomic<int> phase{0};
    std::vector<bool> answers;
    std::thread worker([&] {
      answers.push_back(p.PaintFrame(&bmp, 1, 1000000));
      answers.push_back(p.PaintFrame(&bmp, 2, 1040000));
      phase = 1;
      while (phase != 2) std::this_thread::yield();
      answers.push_back(p.PaintFrame(&bmp, 3, 1080000));
      phase = 3;
    });
    ASSERT_TRUE(rtl::WaitWhilePumping([&] { return phase == 1; }, 10000));
    EXPECT_EQ(1, state->shows);
    EXPECT_EQ(64, state->w);
    EXPECT_EQ(48, state->h);
    EXPECT_EQ("00:00:01.040", state->caption);
    EXPECT_EQ(2, state->draws);
    state->close();  // the user closes the window
    phase = 2;
    ASSERT_TRUE(rtl::WaitWhilePumping([&] { return phase == 3; }, 10000));
    worker.join();
    EXPECT_EQ((std::vector<bool>{true, true, false}), answers);
    EXPECT_EQ(2, state->draws);
  }
  EXPECT_EQ(1, state->destroyed);
  EXPECT_TRUE(state->onMainThread);
  SetPreviewWindowFactory(old);
}

TEST(Previewer, TwoPreviewsGoInEitherOrder) {
  auto state = std::make_shared<FakeWindow::State>();
  auto old = SetPreviewWindowFactory([state] { return std::make_unique<FakeWindow>(state); });
  TBitmap24 bmp(32, 32);
  for (bool firstFirst : {true, false}) {
    auto a = std::make_unique<TPreviewer>();
    auto b = std::make_unique<TPreviewer>();
    EXPECT_TRUE(a->PaintFrame(&bmp, 1, 0));
    EXPECT_TRUE(b->PaintFrame(&bmp, 1, 0));
    if (firstFirst) {
      a.reset();
      b.reset();
    } else {
      b.reset();
      a.reset();
    }
  }
  EXPECT_EQ(4, state->destroyed);
  SetPreviewWindowFactory(old);
}

TEST(Previewer, ConverterPreviewShowsTheTaskAndPreviewBitmapIsThrottled) {
  ASSERT_TRUE(convkit::LoadLibs());
  auto state = std::make_shared<FakeWindow::State>();
  auto old = SetPreviewWindowFactory([state] { return std::make_unique<FakeWindow>(state); });
  {
    TFFConverter c;
    convkit::EventLog log;
    log.Bind(c, false);
    c.SetPreview(true);
    ASSERT_EQ(0, c.AddTask(convkit::Clip("clip2.avi"), static_cast<TInputOptions*>(nullptr)));
    TOutputOptions o;
    o.VideoCodec = "mpeg4";
    ASSERT_TRUE(c.SetOutputFile(0, convkit::Out("preview.avi"), &o)) << c.LastErrMsg();
    c.Start(1);
    ASSERT_TRUE(log.WaitFinal(60000, 2));
    c.Stop(true);
    EXPECT_EQ(1, state->shows);
    EXPECT_GE(state->draws, 1);
    EXPECT_EQ(160, state->w);
    c.ClearTasks();
  }
  EXPECT_EQ(1, state->destroyed);
  EXPECT_TRUE(state->onMainThread);
  SetPreviewWindowFactory(old);

  // Preview bitmaps: at most one per interval of wall-clock time.
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  std::atomic<int> bitmaps{0};
  c.SetPreviewBitmap(true);
  c.OnPreviewBitmap = [&](void*, const TPreviewInfo& p) {
    EXPECT_EQ(160, p.Bitmap->Width());
    ++bitmaps;
  };
  ASSERT_EQ(0, c.AddTask(convkit::Clip("clip2.avi"), static_cast<TInputOptions*>(nullptr)));
  c.Task(0)->PreviewInterval = 10000000;  // 10 s: only the first picture
  TOutputOptions o;
  o.VideoCodec = "mpeg4";
  ASSERT_TRUE(c.SetOutputFile(0, convkit::Out("previewbmp.avi"), &o)) << c.LastErrMsg();
  c.Start(0);
  EXPECT_EQ(1, bitmaps);
}
