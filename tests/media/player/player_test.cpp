// Scripted playbacks on the in-memory video output and SDL's dummy audio
// driver. Notifications reach the test thread through the main-thread queue,
// which the waits keep serving.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "media/FFmpegLogger.h"
#include "media/Player.h"
#include "platform/rtl/exceptions.h"
#include "tests/media/common/MediaFixtures.h"
#include "tests/media/common/OddInputs.h"
#include "tests/media/probe/PlaybackFixtures.h"

using namespace media;
using mediatest::PlaybackFixture;
using mediatest::WaitPumping;

namespace {

class Player : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(mediatest::LoadPlayerLibraries()); }
  void SetUp() override {
    p.SetOnState([this](TCustomPlayer*, TPlayState s) { states.push_back(s); });
    p.SetOnPosition([this](TCustomPlayer*, int64_t pts) { positions.push_back(pts); });
  }
  void TearDown() override { p.Stop(true); }
  bool WaitState(TPlayState s, int ms = 8000) {
    return WaitPumping([&] { return std::find(states.begin(), states.end(), s) != states.end(); }, ms);
  }
  static bool IsBlack(uint32_t bgra) { return (bgra & 0xFFFFFF) == 0; }

  TMemoryVideoOutput out{200, 124};
  TZEVizeza p;
  std::vector<TPlayState> states;
  std::vector<int64_t> positions;
};

// 24-bit bottom-up BMP of a bitmap; returns the B, G, R of pixel (x, y) read
// back from the file.
uint32_t BmpRoundTripPixel(const TBitmap& b, const std::string& path, int x, int y) {
  {
    std::ofstream f(path, std::ios::binary);
    uint32_t stride = uint32_t(b.Stride()), image = stride * uint32_t(b.Height());
    uint8_t hdr[54] = {'B', 'M'};
    auto put32 = [&](int off, uint32_t v) { std::memcpy(hdr + off, &v, 4); };
    put32(2, 54 + image);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(b.Width()));
    put32(22, uint32_t(b.Height()));
    hdr[26] = 1;
    hdr[28] = 24;
    put32(34, image);
    f.write(reinterpret_cast<char*>(hdr), 54);
    for (int row = b.Height() - 1; row >= 0; row--) f.write(reinterpret_cast<const char*>(b.ScanLine(row)), stride);
  }
  std::ifstream f(path, std::ios::binary);
  std::vector<char> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  uint32_t w, h;
  std::memcpy(&w, &data[18], 4);
  std::memcpy(&h, &data[22], 4);
  size_t stride = (w * 3 + 3) & ~3u;
  const uint8_t* px = reinterpret_cast<const uint8_t*>(&data[54 + (h - 1 - y) * stride + x * 3]);
  return uint32_t(px[0]) | uint32_t(px[1]) << 8 | uint32_t(px[2]) << 16;
}

}  // namespace

TEST_F(Player, ScriptedPlaybackReportsStatesAndPositions) {
  int64_t openDuration = 0;
  int fw = 0, fh = 0;
  p.SetOnFileOpen([&](TCustomPlayer*, int64_t d, int w, int h, int&, int&) {
    openDuration = d;
    fw = w;
    fh = h;
  });
  ASSERT_TRUE(p.Open(PlaybackFixture("clip.avi"), &out, true)) << p.LastErrMsg();
  EXPECT_EQ(fw, 320);
  EXPECT_EQ(fh, 240);
  EXPECT_NEAR(double(openDuration), 2e6, 1e5);
  EXPECT_EQ(p.ScreenWidth, 200);  // the output's client size
  EXPECT_EQ(p.ScreenHeight, 124);
  EXPECT_EQ(p.AVProbe()->StreamCount(), 2);

  // Opened paused: Play, then Pause once two pictures are queued.
  ASSERT_TRUE(WaitState(psPause));
  EXPECT_EQ(states, (std::vector<TPlayState>{psPlay, psPause}));
  EXPECT_TRUE(p.Paused());
  ASSERT_TRUE(WaitPumping([&] { return out.PresentCount() > 0; }, 10000));
  int64_t pts = -2;
  TBitmap* bmp = p.CurrentFrame(pts);
  EXPECT_EQ(bmp->Width(), 320);
  // One of the first pictures: a loaded machine runs late, and the player then
  // skips decoded frames as it does in any late playback.
  EXPECT_LT(pts, 400000);
  EXPECT_GE(pts, 0);
  // Paused means the picture stays.
  WaitPumping([] { return false; }, 300);
  int64_t later = -2;
  p.CurrentFrame(later);
  EXPECT_EQ(later, pts);
  // The 4:3 picture is letterboxed into 200x124: 164 wide at x 18.
  EXPECT_TRUE(IsBlack(out.Pixel(5, 60)));
  EXPECT_FALSE(IsBlack(out.Pixel(100, 60)));

  // An expose while paused redraws the same picture.
  int presents = out.PresentCount();
  out.Expose();
  ASSERT_TRUE(WaitPumping([&] { return out.PresentCount() > presents; }, 10000));

  p.Pause();  // already paused: nothing
  p.Resume();
  ASSERT_TRUE(WaitState(psResume));
  ASSERT_TRUE(WaitPumping([&] { return !positions.empty() && positions.back() > 400000; }, 10000));
  p.Pause();
  ASSERT_TRUE(WaitPumping([&] { return states.back() == psPause; }, 10000));
  p.StepToNextFrame();
  p.StepToNextFrame();  // reported once
  ASSERT_TRUE(WaitState(psStep));
  // One picture later the step has paused the playback again.
  ASSERT_TRUE(WaitPumping([&] { return p.Paused(); }, 10000));
  p.Resume();
  ASSERT_TRUE(WaitState(psEnd, 10000)) << "last position " << (positions.empty() ? -1 : positions.back());
  // The clock runs on past the last picture and the position stops at the duration.
  EXPECT_TRUE(WaitPumping([&] { return positions.back() == openDuration; }, 10000)) << positions.back();
  p.Stop(true);
  EXPECT_EQ(states, (std::vector<TPlayState>{psPlay, psPause, psResume, psPause, psStep, psResume, psEnd, psStop}));

  // Positions move forward, more than 10 ms apart, and end on the duration.
  ASSERT_GT(positions.size(), 5u);
  for (size_t i = 1; i + 1 < positions.size(); i++) EXPECT_GT(std::llabs(positions[i] - positions[i - 1]), 10000);
  EXPECT_EQ(positions.back(), openDuration);

  // Idle again: everything reads "nothing open".
  EXPECT_TRUE(p.Paused());
  EXPECT_EQ(p.VideoStreamIndex(), -1);
  EXPECT_EQ(p.CurrentFrame(pts)->Width(), 0);
  EXPECT_EQ(pts, -1);
}

TEST_F(Player, SeekWhilePausedShowsTheNewPicture) {
  ASSERT_TRUE(p.Open(PlaybackFixture("clip.avi"), &out, true));
  ASSERT_TRUE(WaitState(psPause));
  int presents = out.PresentCount();
  p.Seek(int64_t(1000000), 0, true);
  EXPECT_TRUE(WaitPumping([&] { return !p.Seeking(); }, 10000));
  ASSERT_TRUE(WaitPumping([&] { return out.PresentCount() > presents; }, 8000));
  WaitPumping([] { return false; }, 100);
  int64_t pts = -1;
  p.CurrentFrame(pts);
  // Key frames every 12 pictures: the nearest one to 1 s is at 0.96 s.
  EXPECT_GE(pts, 1000000 - 480000);
  EXPECT_LE(pts, 1000000 + 480000);
  EXPECT_TRUE(p.Paused());

  // Back to the very start, still paused: its first picture, at its own time.
  p.Seek(int64_t(0), 0, true);
  EXPECT_TRUE(WaitPumping([&] { return !p.Seeking(); }, 10000));
  EXPECT_TRUE(WaitPumping([&] { return p.CurrentFrame(pts), pts == 0; }, 8000)) << pts;
  EXPECT_TRUE(WaitPumping([&] { return !positions.empty() && positions.back() == 0; }, 8000)) << positions.back();
  EXPECT_TRUE(p.Paused());

  // A negative aspect ratio fills the whole area, at once while paused.
  presents = out.PresentCount();
  p.SetAspectRatio(-1);
  ASSERT_TRUE(WaitPumping([&] { return out.PresentCount() > presents; }, 10000));
  EXPECT_FALSE(IsBlack(out.Pixel(2, 60)));
  EXPECT_FALSE(IsBlack(out.Pixel(197, 60)));
}

// A play pressed at once after an open paused plays the file to its end:
// the picture timer is not thrown far ahead, and the open's hold, if its
// pictures come after the play, reports no Pause over it.
TEST_F(Player, PlayPressedBeforeAnOpenPausedHoldsPlaysToTheEnd) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    states.clear();
    ASSERT_TRUE(p.Open(PlaybackFixture("clip.avi"), &out, true));
    p.Resume();
    ASSERT_TRUE(WaitState(psEnd, 15000)) << "the playback stood still";
    const auto end = std::find(states.begin(), states.end(), psEnd);
    ASSERT_NE(end, states.begin());
    EXPECT_TRUE(end[-1] == psResume || end[-1] == psPlay) << "the last state before the end: " << end[-1];
    p.Stop(true);
  }
}

// At its end a file goes back to its start and waits there, as the preview
// does from its end event: a seek to 0 and a pause show the first picture.
TEST_F(Player, SeekAndPauseAtTheEndShowTheFirstPicture) {
  int presentsAtEnd = -1;
  p.SetOnState([&](TCustomPlayer*, TPlayState s) {
    states.push_back(s);
    if (s != psEnd || presentsAtEnd >= 0) return;
    presentsAtEnd = out.PresentCount();
    p.Seek(int64_t(0), SeekFlag(TSeekFlag::sfAny), false);
    p.Pause();
  });
  ASSERT_TRUE(p.Open(PlaybackFixture("clip.avi"), &out, false));
  ASSERT_TRUE(WaitState(psEnd, 15000));
  // The last pictures may still be shown after the end is reported; then the
  // first one comes, and stays.
  int64_t pts = -1;
  auto atStart = [&] {
    p.CurrentFrame(pts);
    return pts >= 0 && pts < 200000 && !positions.empty() && positions.back() < 200000;
  };
  ASSERT_TRUE(WaitPumping(atStart, 10000)) << pts;
  const int presents = out.PresentCount();
  EXPECT_GT(presents, presentsAtEnd);
  WaitPumping([] { return false; }, 300);
  EXPECT_TRUE(atStart()) << pts;
  EXPECT_TRUE(p.Paused());
  EXPECT_FALSE(p.Seeking());
}

// A cover picture comes at time 0 with every seek and then stands still: the
// position of a song with one follows its sound, after a seek and after a
// frame step, which plays the song on to its end.
TEST_F(Player, CoverPictureLeavesTheClockToTheSound) {
  for (const char* name : {"cover.m4a", "cover.mp3"}) {
    SCOPED_TRACE(name);
    const std::string f = mediatest::OddInput(name);  // 3 s, 2 s
    ASSERT_FALSE(f.empty());
    states.clear();
    positions.clear();
    ASSERT_TRUE(p.Open(f, &out, true)) << p.LastErrMsg();
    ASSERT_TRUE(WaitState(psPause));
    p.Seek(int64_t(1500000), 0, true);
    ASSERT_TRUE(WaitPumping([&] { return !p.Seeking(); }, 10000));
    const size_t seeked = positions.size();
    p.Resume();
    ASSERT_TRUE(WaitPumping([&] { return positions.size() > seeked + 2; }, 8000));
    for (size_t i = seeked; i < positions.size(); ++i) EXPECT_GE(positions[i], 1400000) << i;
    p.Pause();
    states.clear();
    p.StepToNextFrame();  // no next picture: the song plays on
    ASSERT_TRUE(WaitState(psEnd, 10000));
    EXPECT_GE(positions.back(), 1900000);
    p.Stop(true);
  }
}

// A machine without a sound device plays silently and says so in the log:
// sound alone runs its time to its end, a clip with sound shows its picture.
TEST_F(Player, PlaysSilentlyWithoutASoundDevice) {
  setenv("SDL_AUDIODRIVER", "nosuchdevice", 1);
  // Log events still queued when the test ends find the lines alive.
  auto lines = std::make_shared<std::vector<std::string>>();
  FFLoggerInstance().SetOnLog([lines](void*, uint32_t, TLogLevel, const std::string& s) { lines->push_back(s); });
  struct Restore {
    ~Restore() {
      FFLoggerInstance().SetOnLog(nullptr);
      setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
  } restore;
  auto logged = [&] {
    return std::any_of(lines->begin(), lines->end(),
                       [](const std::string& s) { return s.find("playing without sound") != std::string::npos; });
  };
  ASSERT_TRUE(p.Open(PlaybackFixture("tone.mp3"), &out, false)) << p.LastErrMsg();
  EXPECT_EQ(p.AudioStreamIndex(), 0);
  ASSERT_TRUE(WaitState(psEnd, 8000));
  ASSERT_FALSE(positions.empty());
  EXPECT_GE(positions.back(), 900000);  // a 1 s tone
  EXPECT_TRUE(WaitPumping(logged, 5000));
  p.Stop(true);

  ASSERT_TRUE(p.Open(PlaybackFixture("clip.avi"), &out, true)) << p.LastErrMsg();
  EXPECT_GE(p.AudioStreamIndex(), 0);
  ASSERT_TRUE(WaitPumping([&] { return out.PresentCount() > 0; }, 10000));
}

TEST_F(Player, SolidColourPictureAndCapture) {
  ASSERT_TRUE(p.Open(PlaybackFixture("red.mkv"), &out, true));
  ASSERT_TRUE(WaitState(psPause));
  ASSERT_TRUE(WaitPumping([&] { return out.PresentCount() > 0; }, 10000));
  uint32_t c = out.Pixel(100, 62);
  EXPECT_GT((c >> 16) & 0xFF, 240u);  // BGRA: red in the third byte
  EXPECT_LT(c & 0xFF, 16u);
  EXPECT_TRUE(IsBlack(out.Pixel(2, 62)));
  EXPECT_FALSE(IsBlack(out.Pixel(181, 62)));
  for (int x = 182; x < 200; x++) EXPECT_TRUE(IsBlack(out.Pixel(x, 62))) << x;  // the scaler never spills

  TBitmap* bmp = p.CurrentFrame();
  ASSERT_EQ(bmp->Width(), 64);
  ASSERT_EQ(bmp->Height(), 48);
  uint32_t px = BmpRoundTripPixel(*bmp, mediatest::TempDir() + "/red.bmp", 32, 24);
  EXPECT_LT(px & 0xFF, 16u);
  EXPECT_LT((px >> 8) & 0xFF, 16u);
  EXPECT_GT((px >> 16) & 0xFF, 240u);

  // A resize of the output sets the new display size.
  out.Resize(100, 100);
  ASSERT_TRUE(WaitPumping(
      [&] {
        std::vector<uint8_t> img;
        int w = 0, h = 0;
        out.LastImage(img, w, h);
        return w == 100 && h == 100;
      },
      10000));
  EXPECT_EQ(p.ScreenWidth, 100);
}

TEST_F(Player, AudioOnlyShowsTheWave) {
  ASSERT_TRUE(p.Open(PlaybackFixture("tone.mp3"), &out, false)) << p.LastErrMsg();
  EXPECT_EQ(p.VideoStreamIndex(), -1);
  EXPECT_EQ(p.AudioStreamIndex(), 0);
  bool wave = WaitPumping(
      [&] {
        for (int x = 0; x < 200; x += 3)
          for (int y = 0; y < 124; y += 2)
            if (!IsBlack(out.Pixel(x, y))) return true;
        return false;
      },
      10000);
  EXPECT_TRUE(wave);
  int64_t pts;
  EXPECT_EQ(p.CurrentFrame(pts)->Width(), 0);
  EXPECT_EQ(pts, -1);
  ASSERT_TRUE(WaitState(psEnd, 8000));
}

// Every sample format and channel count reaches the device as 16-bit stereo
// or mono through the converter (ASan watches the buffers).
TEST_F(Player, AudioFormatsPlayToTheEnd) {
  for (const char* name : {"u8.wav", "flt.wav", "six.ac3"}) {
    states.clear();
    ASSERT_TRUE(p.Open(PlaybackFixture(name), nullptr, false)) << name << p.LastErrMsg();
    EXPECT_TRUE(WaitState(psEnd, 8000)) << name;
    p.Stop(true);
  }
}

// The hook draws on every picture before it is shown; a failing hook leaves
// the picture as decoded.
TEST_F(Player, HookDrawsOnThePicture) {
  p.Hook = true;
  p.SetOnHook([](TCustomPlayer*, TBitmap* b, int64_t) {
    for (int y = 0; y < b->Height(); y++)
      for (int x = 0; x < b->Width(); x++) {
        uint8_t* px = b->ScanLine(y) + x * 3;
        px[0] = 255;  // blue
        px[1] = px[2] = 0;
      }
  });
  ASSERT_TRUE(p.Open(PlaybackFixture("red.mkv"), &out, true));
  ASSERT_TRUE(WaitState(psPause));
  ASSERT_TRUE(WaitPumping([&] { return out.PresentCount() > 0; }, 10000));
  uint32_t c = out.Pixel(100, 62);
  EXPECT_GT(c & 0xFF, 200u) << std::hex << c;
  EXPECT_LT((c >> 16) & 0xFF, 60u) << std::hex << c;
  p.Stop(true);

  p.SetOnHook([](TCustomPlayer*, TBitmap*, int64_t) { throw std::runtime_error("no drawing today"); });
  ASSERT_TRUE(p.Open(PlaybackFixture("red.mkv"), &out, true));
  ASSERT_TRUE(WaitPumping([&] { return std::count(states.begin(), states.end(), psPause) == 2; }, 8000));
  ASSERT_TRUE(WaitPumping([&] { return ((out.Pixel(100, 62) >> 16) & 0xFF) > 240; }, 10000));
}

// Positions count from the file's start time; a still-picture sequence has no
// duration and posts no positions.
TEST_F(Player, StartTimesAndStills) {
  ASSERT_TRUE(p.Open(PlaybackFixture("offset.ts"), &out, true));
  ASSERT_TRUE(WaitState(psPause));
  int64_t pts = -1;
  p.CurrentFrame(pts);
  // An early picture: the second when the pause holds, a later one when a
  // loaded machine runs late and the player skips.
  EXPECT_LT(pts, 400000);
  EXPECT_GE(pts, 0);
  ASSERT_TRUE(WaitPumping([&] { return !positions.empty(); }, 10000));
  EXPECT_LT(positions.front(), 100000);
  // The end-of-file rewind of the preview lands on the first picture.
  p.Seek(int64_t(0), SeekFlag(TSeekFlag::sfAny), true);
  // The seek lands when its picture is decoded, which a loaded machine delays.
  EXPECT_TRUE(WaitPumping([&] { return p.CurrentFrame(pts), pts == 0; }, 10000)) << "last picture at " << pts;
  p.Stop(true);

  int64_t duration = -1;
  p.SetOnFileOpen([&](TCustomPlayer*, int64_t d, int, int, int&, int&) { duration = d; });
  positions.clear();
  ASSERT_TRUE(p.Open(PlaybackFixture("img%03d.png"), &out, false));
  EXPECT_EQ(duration, 0);
  ASSERT_TRUE(WaitPumping([&] { return out.PresentCount() > 0; }, 10000));
  WaitPumping([] { return false; }, 200);
  EXPECT_TRUE(positions.empty());
}

// Bitmap subtitles are blended into the picture; at most four wait decoded.
TEST_F(Player, BitmapSubtitlesAreBlended) {
  std::string f = PlaybackFixture("dvdsub.mkv");
  ASSERT_FALSE(f.empty());
  ASSERT_TRUE(p.Open(f, &out, false)) << p.LastErrMsg();
  EXPECT_EQ(p.SubtitleStreamIndex(), 1);
  int most = 0;
  // The red 64x48 picture fills x 18..181 of the 200x124 output, 2.56 times
  // its size: the box at (8, 8)-(24, 16) covers about (39, 21)-(79, 41).
  bool blended = WaitPumping(
      [&] {
        if (auto* st = p.VideoState()) {
          std::lock_guard<std::mutex> g(st->subpq_mutex);
          most = std::max(most, st->subpq_size);
        }
        uint32_t c = out.Pixel(58, 30);
        return out.PresentCount() > 0 && ((c >> 16) & 0xFF) < 128 && (c & 0xFF) > 128;
      },
      10000);
  EXPECT_TRUE(blended) << std::hex << out.Pixel(58, 30);
  EXPECT_LE(most, 4);
  EXPECT_GT(((out.Pixel(150, 100) >> 16) & 0xFF), 200u);  // outside the box the picture stays red
}

TEST_F(Player, StreamSwitching) {
  ASSERT_TRUE(p.Open(PlaybackFixture("two_audio.mkv"), &out, true));
  ASSERT_TRUE(WaitState(psPause));
  EXPECT_EQ(p.AudioStreamIndex(), 1);
  p.SetAudioStreamIndex(2);
  EXPECT_EQ(p.AudioStreamIndex(), 2);
  p.SetAudioStreamIndex(0);
  EXPECT_EQ(p.LastErrMsg(), "the stream type is not matched.");
  EXPECT_EQ(p.AudioStreamIndex(), 2);
  p.SetAudioStreamIndex(7);
  EXPECT_EQ(p.LastErrMsg(), "the stream index is not valid.");
  p.SetSubtitleStreamIndex(-1);  // none shown: nothing changes
  EXPECT_EQ(p.SubtitleStreamIndex(), -1);
  p.Stop(true);

  // A wanted stream is the n-th of its kind, for one playback only.
  p.set_wanted_audio_stream(1);
  ASSERT_TRUE(p.Open(PlaybackFixture("two_audio.mkv"), &out, true));
  EXPECT_EQ(p.AudioStreamIndex(), 2);
  p.Stop(true);
  EXPECT_EQ(p.wanted_audio_stream(), -1);
}

TEST_F(Player, FailuresGiveTheirText) {
  std::string missing = mediatest::TempDir() + "/nothing.avi";
  EXPECT_FALSE(p.Open(missing, &out, false));
  EXPECT_EQ(p.LastErrMsg(), missing + ": No such file or directory");
  std::string subs = PlaybackFixture("subs.srt");
  EXPECT_FALSE(p.Open(subs, &out, false));
  EXPECT_EQ(p.LastErrMsg(), subs + ": could not open codecs, no stream to play.");
  EXPECT_FALSE(p.Open(PlaybackFixture("broken.avi"), &out, false));
  EXPECT_FALSE(p.LastErrMsg().empty());
  EXPECT_THROW(p.SetFormat("no_such_format"), rtl::Exception);
  p.SetFormat("avi");
  EXPECT_EQ(p.Format(), "avi");
  try {
    p.SetFormat("");  // no demuxer has an empty name
    ADD_FAILURE();
  } catch (const rtl::Exception& e) {
    EXPECT_STREQ(e.what(), "Unknown input format: ");
  }
  EXPECT_EQ(p.Format(), "avi");
  EXPECT_TRUE(states.empty());
  // Operations on an idle player do nothing.
  p.Pause();
  p.Seek(int64_t(0), 0, true);
  p.StepToNextFrame();
  EXPECT_TRUE(states.empty());
}

TEST_F(Player, ReopenCyclesAndDestroyWhilePlaying) {
  for (int i = 0; i < 100; i++) {
    ASSERT_TRUE(p.Open(PlaybackFixture(i % 2 ? "red.mkv" : "clip.avi"), &out, i % 3 == 0)) << i << p.LastErrMsg();
    if (i % 10 == 0) WaitPumping([] { return false; }, 30);
  }
  p.Stop(true);
  EXPECT_EQ(states.back(), psStop);
  // Destroyed in the middle of a playback, with its handlers attached.
  for (int i = 0; i < 5; i++) {
    auto q = std::make_unique<TZEVizeza>();
    int n = 0;
    q->SetOnPosition([&n](TCustomPlayer*, int64_t) { n++; });
    ASSERT_TRUE(q->Open(PlaybackFixture("clip.avi"), &out, false));
    WaitPumping([] { return false; }, 50 * i);
    q.reset();
  }
}

TEST_F(Player, OpenAndStopFromItsOwnStateHandler) {
  // The event thread waits for the handler, so neither may wait for it.
  for (bool inMainThread : {true, false}) {
    SCOPED_TRACE(inMainThread);
    TZEVizeza q;
    q.TriggerEventInMainThread = inMainThread;
    std::atomic<int> plays{0}, stops{0};
    q.SetOnState([&](TCustomPlayer* s, TPlayState st) {
      if (st == psStop) stops++;
      if (st != psPlay) return;
      if (++plays == 1)
        EXPECT_TRUE(s->Open(PlaybackFixture("red.mkv"), &out, false)) << s->LastErrMsg();
      else
        s->Stop(true);
    });
    ASSERT_TRUE(q.Open(PlaybackFixture("clip.avi"), &out, false));
    EXPECT_TRUE(WaitPumping([&] { return stops > 0; }, 10000));
    EXPECT_EQ(2, plays);
    q.Stop(true);
  }
}

TEST_F(Player, HostAndItsOwnHandlerOpenAndStopAtOnce) {
  // The handler runs on the event thread while the host opens and stops on
  // its own; every call comes back and the player ends stopped.
  TZEVizeza q;
  q.TriggerEventInMainThread = false;
  std::atomic<int> plays{0};
  q.SetOnState([&](TCustomPlayer* s, TPlayState st) {
    if (st != psPlay) return;
    if (++plays % 2)
      s->Open(PlaybackFixture("red.mkv"), &out, true);
    else
      s->Stop(true);
  });
  for (int i = 0; i < 10; i++) {
    ASSERT_TRUE(q.Open(PlaybackFixture("clip.avi"), &out, i % 2 == 0)) << q.LastErrMsg();
    WaitPumping([] { return false; }, 20 * (i % 3));
    if (i % 2) q.Stop(true);
  }
  EXPECT_TRUE(WaitPumping(
      [&] {
        q.Stop(true);
        return q.PlayState() == psStop && q.VideoStreamIndex() == -1;
      },
      10000));
  EXPECT_GE(plays, 10);
}
