// The playback engine's logic with a hand-driven clock and hand-made state:
// queues, clocks, picture timing, display rectangle, audio drift correction
// and mixing, subtitle colours and blending, visualisation, the event ring
// and the position refresh.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <future>

#include "media/Player.h"
#include "tests/media/probe/PlaybackFixtures.h"

using namespace media;
using namespace media::zurora;

namespace {

int64_t gNow = 0;
int64_t FakeNow() { return gNow; }

class Engine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(mediatest::LoadPlayerLibraries()); }
  void SetUp() override {
    EngineNow = &FakeNow;
    gNow = 100 * 1000000LL;
    is.Owner = &player;
  }
  void TearDown() override {
    player.FVideoState = nullptr;
    EngineNow = &SystemNowMicros;
  }
  TCustomPlayer player;
  TVideoState is;
  AVStream fakeVideo{}, fakeAudio{};
};

AVPacket* MakePacket(int size) {
  AVPacket* p = ffapi::av_packet_alloc();
  if (size) ffapi::av_new_packet(p, size);
  return p;
}

}  // namespace

TEST_F(Engine, PacketQueue) {
  TPacketQueue q;
  PacketQueueInit(q);
  PacketQueuePut(q, MakePacket(100));
  PacketQueuePut(q, MakePacket(0));
  EXPECT_EQ(q.nb_packets, 2);
  EXPECT_EQ(q.size, 244);
  // The flush marker carries no data and is queued as often as it is put.
  PacketQueuePutFlush(q);
  PacketQueuePutFlush(q);
  EXPECT_EQ(q.nb_packets, 4);
  EXPECT_EQ(q.size, 244 + 144);
  TQueuedPacket p;
  TPacketKind kinds[] = {TPacketKind::Data, TPacketKind::Data, TPacketKind::Flush, TPacketKind::Flush};
  for (TPacketKind k : kinds) {
    ASSERT_EQ(PacketQueueGet(q, p, false), 1);
    EXPECT_EQ(p.kind, k);
    FreeQueuedPacket(p);
  }
  EXPECT_EQ(q.size, 0);
  EXPECT_EQ(PacketQueueGet(q, p, false), 0);

  // A blocked getter returns -1 as soon as another thread aborts.
  auto getter = std::async(std::launch::async, [&q] {
    TQueuedPacket x;
    return PacketQueueGet(q, x, true);
  });
  EXPECT_EQ(getter.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  PacketQueueAbort(q);
  ASSERT_EQ(getter.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(getter.get(), -1);
  // After the abort: put still appends, flush empties and keeps the abort.
  PacketQueuePut(q, MakePacket(10));
  EXPECT_EQ(q.nb_packets, 1);
  PacketQueueFlush(q);
  EXPECT_EQ(q.nb_packets, 0);
  EXPECT_EQ(q.abort_request, 1);
  EXPECT_EQ(PacketQueueGet(q, p, false), -1);
}

TEST_F(Engine, Clocks) {
  struct {
    int paused;
    double drift, current_pts;
    int64_t start;
    int sync;
    bool audio, video;
    double video_clock, master;
  } rows[] = {
      // no picture shown yet: the start time
      {0, 0, 0, 1500000, AV_SYNC_AUDIO_MASTER, false, true, 1.5, 1.5},
      // paused: the picture on screen
      {1, -90, 7.0, 0, AV_SYNC_VIDEO_MASTER, true, true, 7.0, 7.0},
      // running: now + drift
      {0, -95, 3.0, 0, AV_SYNC_VIDEO_MASTER, true, true, 5.0, 5.0},
      // audio master with audio: the audio clock
      {0, -95, 3.0, 0, AV_SYNC_AUDIO_MASTER, true, true, 5.0, 2.0},
      // audio master without audio: the video clock
      {0, -95, 3.0, 0, AV_SYNC_AUDIO_MASTER, false, true, 5.0, 5.0},
      // video master without video: the audio clock
      {0, -95, 3.0, 0, AV_SYNC_VIDEO_MASTER, true, false, 5.0, 2.0},
      // external: the wall clock since its origin
      {0, -95, 3.0, 0, AV_SYNC_EXTERNAL_CLOCK, true, true, 5.0, 100.0},
  };
  for (auto& r : rows) {
    is.paused = r.paused;
    is.video_current_pts_drift = r.drift;
    is.video_current_pts = r.current_pts;
    is.StartTime = r.start;
    is.av_sync_type = r.sync;
    is.audio_st = r.audio ? &fakeAudio : nullptr;
    is.audio_stream = r.audio ? 1 : -1;
    is.video_st = r.video ? &fakeVideo : nullptr;
    is.video_stream = r.video ? 0 : -1;
    is.audio_clock = 2.0;
    is.audio_tgt_freq = 0;
    EXPECT_DOUBLE_EQ(GetVideoClock(&is), r.video_clock);
    EXPECT_DOUBLE_EQ(GetMasterClock(&is), r.master);
  }
  // The audio clock excludes what is decoded but not yet handed to the device.
  is.audio_st = &fakeAudio;
  is.audio_stream = 1;
  is.audio_tgt_freq = 44100;
  is.audio_tgt_channels = 2;
  is.audio_buf_size = 4096;
  is.audio_buf_index = 1024;
  EXPECT_DOUBLE_EQ(GetAudioClock(&is), 2.0 - 3072.0 / 176400);
}

TEST_F(Engine, SeekAndPauseRequests) {
  player.FVideoState = &is;
  EXPECT_TRUE(StreamSeekRequest(&is, SeekFlag(TSeekFlag::sfAny), 5000000, 0));
  EXPECT_TRUE(player.FSeeking);
  EXPECT_EQ(is.seek_flags, AVSEEK_FLAG_ANY);
  EXPECT_FALSE(player.FSeekEvent.IsSet());
  // A second request before the first was handled changes nothing at all.
  player.FSeeking = false;
  EXPECT_FALSE(StreamSeekRequest(&is, 0, 9000000, 1));
  EXPECT_FALSE(player.FSeeking);
  EXPECT_EQ(is.seek_pos, 5000000);

  // Resuming adds the pause length to the frame timer.
  player.FSeekEvent.Set();
  for (int enosys : {0, 1}) {
    is.paused = 1;
    is.read_pause_return = enosys ? AVERROR(ENOSYS) : 0;
    is.frame_timer = 50;
    is.video_current_pts = 10;
    is.video_current_pts_drift = -90;  // paused at wall time 100 s
    gNow = 105 * 1000000LL;
    StreamTogglePause(&is);
    EXPECT_EQ(is.paused, 0);
    EXPECT_DOUBLE_EQ(is.frame_timer, 55);
    EXPECT_DOUBLE_EQ(is.video_current_pts, enosys ? 10 : 15);
    EXPECT_DOUBLE_EQ(is.video_current_pts_drift, enosys ? -95 : -90);
  }
}

TEST_F(Engine, PictureTiming) {
  struct {
    double last_pts, last_delay, pts, video, audio, target_delay;
  } rows[] = {
      {1.00, 0.04, 1.04, 5.00, 5.00, 0.04},   // in sync: 40 ms steps
      {1.00, 0.04, 1.04, 4.95, 5.00, 0.00},   // video 50 ms behind: at once
      {1.00, 0.04, 1.04, 5.05, 5.00, 0.08},   // video ahead: doubled
      {1.00, 0.04, 13.00, 5.00, 5.00, 0.04},  // a 12 s jump reuses the last delay
      {1.00, 0.04, 0.96, 5.00, 5.00, 0.04},   // going back reuses it too
      {1.00, 0.04, 1.04, 20.0, 5.00, 0.04},   // 10 s apart or more: no sync
  };
  is.av_sync_type = AV_SYNC_AUDIO_MASTER;
  is.audio_st = &fakeAudio;
  is.audio_stream = 1;
  is.video_st = &fakeVideo;
  is.video_stream = 0;
  is.paused = 1;  // the video clock is then the picture on screen
  for (auto& r : rows) {
    is.frame_last_pts = r.last_pts;
    is.frame_last_delay = r.last_delay;
    is.video_current_pts = r.video;
    is.audio_clock = r.audio;
    is.frame_timer = 100;
    EXPECT_NEAR(ComputeTargetTime(&is, r.pts), 100 + r.target_delay, 1e-9) << r.pts << " " << r.video;
    EXPECT_DOUBLE_EQ(is.frame_last_pts, r.pts);
  }
}

TEST(DisplayRect, AspectAndLetterbox) {
  struct {
    int width, height;
    float aspect_ratio;
    double pic_aspect;
    TDisplayRect r;
  } rows[] = {
      {640, 480, 0, 1920.0 / 800, {0, 107, 640, 266}},  // wide picture, square pixels
      {640, 480, -1, 4.0 / 3, {0, 0, 640, 480}},        // fill the area
      {640, 480, 1.0f, 16.0 / 9, {80, 0, 480, 480}},    // forced aspect
      {200, 124, 0, 320.0 / 240, {18, 0, 164, 124}},    // the preview pane
      {101, 101, 0, 1.5, {0, 17, 101, 66}},             // 151.5 is too wide: full width, 67.33 -> 66
  };
  for (auto& c : rows) {
    TDisplayRect r = CalculateDisplayRect(c.width, c.height, c.aspect_ratio, c.pic_aspect);
    EXPECT_EQ(r.x, c.r.x);
    EXPECT_EQ(r.y, c.r.y);
    EXPECT_EQ(r.w, c.r.w);
    EXPECT_EQ(r.h, c.r.h);
  }
  EXPECT_EQ(RoundEven(2.5), 2);
  EXPECT_EQ(RoundEven(3.5), 4);
}

TEST_F(Engine, AudioDriftCorrection) {
  struct {
    double audio, video;
    int calls;
    int size;
    bool reset;
  } rows[] = {
      {4.95, 5.00, 21, 3684, false},  // 50 ms behind: cut by the 10 % limit
      {5.05, 5.00, 21, 4504, false},  // 50 ms ahead: stretched
      {5.00, 25.0, 21, 3684, false},  // 20 s behind is still corrected
      {15.0, 5.00, 21, 4096, true},   // 10 s ahead: no correction, sums reset
      {4.95, 5.00, 20, 4096, false},  // fewer than 20 measured: unchanged
  };
  is.av_sync_type = AV_SYNC_VIDEO_MASTER;
  is.video_st = &fakeVideo;
  is.video_stream = 0;
  is.audio_st = &fakeAudio;
  is.audio_stream = 1;
  is.audio_tgt_freq = 44100;
  is.audio_tgt_channels = 2;
  is.audio_diff_avg_coef = std::exp(std::log(0.01) / 20);
  is.audio_diff_threshold = 2048.0 / 44100;
  is.paused = 1;
  for (auto& r : rows) {
    is.audio_diff_avg_count = 0;
    is.audio_diff_cum = 0;
    is.audio_clock = r.audio;
    is.video_current_pts = r.video;
    int size = 0;
    std::vector<uint8_t> buf;
    for (int i = 0; i < r.calls; i++) {
      buf.assign(4096, 0);
      for (int k = 0; k < 4; k++) buf[4092 + k] = uint8_t(0x10 + k);  // the last sample frame
      size = SynchronizeAudio(&is, buf, 4096, 0);
    }
    EXPECT_EQ(size, r.size) << r.audio << " " << r.video;
    if (size > 4096) {
      ASSERT_GE(buf.size(), size_t(size));
      EXPECT_EQ(std::memcmp(&buf[size - 4], &buf[4092], 4), 0);
    }
    if (r.reset) {
      EXPECT_EQ(is.audio_diff_avg_count, 0);
    }
  }
  // Audio as master: never corrected.
  is.av_sync_type = AV_SYNC_AUDIO_MASTER;
  std::vector<uint8_t> buf(4096);
  EXPECT_EQ(SynchronizeAudio(&is, buf, 4096, 0), 4096);
}

TEST_F(Engine, MixingSilenceAndRing) {
  struct {
    int16_t dst, src;
    int volume;
    int16_t out;
  } rows[] = {{0, 1000, 0, 0},
              {0, 1000, 64, 500},
              {0, -1000, 128, -1000},
              {30000, 10000, 128, 32767},
              {-30000, -10000, 128, -32768},
              {0, 1001, 64, 500}};
  for (auto& r : rows) {
    int16_t d = r.dst, s = r.src;
    MixAudioS16(reinterpret_cast<uint8_t*>(&d), reinterpret_cast<uint8_t*>(&s), 2, r.volume);
    EXPECT_EQ(d, r.out) << r.src << "@" << r.volume;
  }

  // Nothing queued: the device gets silence, 1024 bytes per empty fill.
  is.audio_tgt_freq = 44100;
  is.audio_tgt_channels = 2;
  std::vector<uint8_t> dev(4096, 0xAA);
  AudioCallback(&is, dev.data(), int(dev.size()));
  EXPECT_EQ(is.audio_buf_size, 1024u);
  EXPECT_EQ(is.audio_buf_index, 1024);
  for (uint8_t b : dev) ASSERT_EQ(b, 0);
  EXPECT_EQ(is.audio_callback_time, gNow);

  // Decoded audio reaches the device at the player's volume; muted it is zeros.
  std::vector<uint8_t> decoded(4096);
  for (size_t i = 0; i < decoded.size(); i += 2) {
    int16_t v = 1000;
    std::memcpy(&decoded[i], &v, 2);
  }
  struct {
    bool mute;
    int volume;
    int16_t out;
  } levels[] = {{false, 128, 1000}, {false, 64, 500}, {true, 128, 0}};
  for (auto& l : levels) {
    player.Mute = l.mute;
    player.AudioVolume = l.volume;
    is.audio_buf = decoded.data();
    is.audio_buf_size = 4096;
    is.audio_buf_index = 0;
    AudioCallback(&is, dev.data(), 4096);
    int16_t first, last;
    std::memcpy(&first, &dev[0], 2);
    std::memcpy(&last, &dev[4094], 2);
    EXPECT_EQ(first, l.out);
    EXPECT_EQ(last, l.out);
  }

  // The visualisation ring wraps.
  is.sample_array_index = SAMPLE_ARRAY_SIZE - 2;
  int16_t s[4] = {1, 2, 3, 4};
  UpdateSampleDisplay(&is, s, 8);
  EXPECT_EQ(is.sample_array_index, 2);
  EXPECT_EQ(is.sample_array[SAMPLE_ARRAY_SIZE - 2], 1);
  EXPECT_EQ(is.sample_array[SAMPLE_ARRAY_SIZE - 1], 2);
  EXPECT_EQ(is.sample_array[0], 3);
  EXPECT_EQ(is.sample_array[1], 4);
}

TEST(Subtitles, PaletteColours) {
  struct {
    uint32_t argb, ayuv;
  } rows[] = {{0xFFFFFFFF, 0xFFEB8080},   // white 235/128/128
              {0xFF000000, 0xFF108080},   // black 16/128/128
              {0xFFFFFF00, 0xFFD21092},   // yellow 210/16/146
              {0xFF0000FF, 0xFF29F06E},   // blue 41/240/110
              {0x80FFFFFF, 0x80EB8080}};  // alpha passes unchanged
  for (auto& r : rows) EXPECT_EQ(RGBAToYUVA(r.argb), r.ayuv) << std::hex << r.argb;
}

TEST(Subtitles, BlendOnASmallPicture) {
  // 6x4 picture: luma 0, chroma 128; a 3x3 blue rectangle at (1,1).
  uint8_t y[6 * 4], u[3 * 2], v[3 * 2];
  std::memset(y, 0, sizeof y);
  std::memset(u, 128, sizeof u);
  std::memset(v, 128, sizeof v);
  uint8_t* planes[3] = {y, u, v};
  int lines[3] = {6, 3, 3};
  uint8_t bitmap[9] = {0};
  uint32_t palette[1] = {RGBAToYUVA(0xFF0000FF)};
  AVSubtitleRect rect{};
  rect.x = 1;
  rect.y = 1;
  rect.w = 3;
  rect.h = 3;
  rect.nb_colors = 1;
  rect.data[0] = bitmap;
  rect.linesize[0] = 3;
  rect.data[1] = reinterpret_cast<uint8_t*>(palette);
  rect.type = SUBTITLE_BITMAP;
  BlendSubRect(planes, lines, &rect, 6, 4);
  EXPECT_EQ(y[1 * 6 + 1], 41);
  EXPECT_EQ(y[3 * 6 + 3], 41);
  EXPECT_EQ(y[0 * 6 + 0], 0);
  EXPECT_EQ(y[1 * 6 + 4], 0);
  // Corner block: one pixel (k 1, A 63); edge pairs (k 2, A 127); inner block full.
  EXPECT_EQ(u[0], (128 * 1 * (255 - 63) + 240 * 63) / 255);
  EXPECT_EQ(u[1], (128 * 2 * (255 - 127) + 480 * 127) / 510);
  EXPECT_EQ(u[3], (128 * 2 * (255 - 127) + 480 * 127) / 510);
  EXPECT_EQ(u[4], 240);
  EXPECT_EQ(v[4], 110);
  EXPECT_EQ(u[2], 128);

  // Wider than the picture: clipped to its width and drawn from column 0.
  std::memset(y, 0, sizeof y);
  uint8_t wide[10] = {0};
  rect.x = 3;
  rect.y = 0;
  rect.w = 10;
  rect.h = 1;
  rect.data[0] = wide;
  rect.linesize[0] = 10;
  BlendSubRect(planes, lines, &rect, 6, 4);
  for (int x = 0; x < 6; x++) EXPECT_EQ(y[x], 41) << x;
  EXPECT_EQ(y[6], 0);
}

TEST_F(Engine, Visualisation) {
  EXPECT_EQ(RdftBitsFor(240), 9);
  EXPECT_EQ(RdftBitsFor(64), 7);
  is.audio_st = &fakeAudio;
  is.audio_stream = 1;
  is.audio_tgt_channels = 2;
  is.audio_tgt_freq = 44100;
  is.width = 50;
  is.height = 100;
  is.paused = 1;
  is.last_i_start = 0;
  is.show_audio = 1;
  auto pixel = [this](int x, int yy) {
    uint32_t p;
    std::memcpy(&p, &is.screen[(size_t(yy) * is.width + x) * 4], 4);
    return p & 0xFFFFFF;
  };
  // Silent stereo: black bands, one white separator between them.
  VideoAudioDisplay(&is);
  EXPECT_EQ(pixel(10, 25), 0u);
  EXPECT_EQ(pixel(10, 50), 0xFFFFFFu);
  EXPECT_EQ(pixel(10, 49), 0u);
  // A positive sample on the left channel draws down from its band's centre.
  for (int i = 0; i < 200; i += 2) is.sample_array[i] = 16384;
  VideoAudioDisplay(&is);
  EXPECT_EQ(pixel(10, 30), 0xFFFFFFu);
  EXPECT_EQ(pixel(10, 20), 0u);
  EXPECT_EQ(is.last_i_start, 0);  // paused: the start stays

  // Spectrum of a mono sine at bin 10: brightest at row height - 1 - 10.
  is.audio_tgt_channels = 1;
  is.show_audio = 2;
  is.height = 64;
  is.screen.clear();
  is.xpos = 0;
  for (int i = 0; i < 128; i++) is.sample_array[i] = int16_t(10000 * std::sin(2 * M_PI * 10 * i / 128));
  VideoAudioDisplay(&is);
  int brightest = 0;
  for (int yy = 0; yy < is.height; yy++)
    if ((pixel(0, yy) >> 16) > (pixel(0, brightest) >> 16)) brightest = yy;
  EXPECT_EQ(brightest, is.height - 1 - 10);
  // Mono shows its channel in both colour parts.
  EXPECT_EQ((pixel(0, brightest) >> 16) & 0xFF, (pixel(0, brightest) >> 8) & 0xFF);
  EXPECT_EQ(is.xpos, 1);
}

TEST(EventRing, CollapseAndLoss) {
  using Items = std::vector<TPlayEventItem>;
  auto pos = [](int64_t v) { return TPlayEventItem{1, v}; };
  auto st = [](TPlayState s) { return TPlayEventItem{2, int64_t(s)}; };
  struct {
    const char* what;
    Items pushed;
    Items pending;
  } rows[] = {
      {"three positions", {pos(1), pos(2), pos(3)}, {pos(3)}},
      {"pos state pos", {pos(1), st(psPause), pos(2)}, {pos(1), st(psPause), pos(2)}},
      {"state after state", {st(psPause), st(psResume)}, {st(psResume)}},
      {"ten alternating",
       {pos(0), st(psPause), pos(2), st(psPause), pos(4), st(psPause), pos(6), st(psPause), pos(8), st(psResume)},
       {st(psPause), pos(2), st(psPause), pos(4), st(psPause), pos(6), st(psPause), pos(8), st(psResume)}},
      // The Stop of one playback survives the Play of the next.
      {"stop then play", {st(psStop), st(psPlay)}, {st(psStop), st(psPlay)}},
      {"end item then state", {{3, 0}, st(psPlay)}, {{3, 0}, st(psPlay)}},
  };
  for (auto& r : rows) {
    TPlayEvent ring;
    for (auto& i : r.pushed) ring.Push(i);
    EXPECT_EQ(ring.Pending(), int(r.pending.size())) << r.what;
    EXPECT_TRUE(ring.Event.IsSet());
    for (auto& want : r.pending) {
      TPlayEventItem got = ring.Pop();
      EXPECT_EQ(got.Kind, want.Kind) << r.what;
      EXPECT_EQ(got.Value, want.Value) << r.what;
    }
    EXPECT_EQ(ring.Pop().Kind, 0);
    EXPECT_FALSE(ring.Event.IsSet());
  }
}

TEST_F(Engine, StatesWithoutHandlerOnlyEndTheEventThread) {
  player.SetPlayState(psPlay);
  player.SetPlayState(psPause);
  EXPECT_EQ(player.PlayEventRing().Pending(), 0);
  player.SetPlayState(psStop);
  EXPECT_EQ(player.PlayEventRing().Pop().Kind, 3);
  EXPECT_EQ(player.PlayState(), psStop);
}

TEST_F(Engine, PositionRefresh) {
  player.SetOnPosition([](TCustomPlayer*, int64_t) {});
  player.SetOnState([](TCustomPlayer*, TPlayState) {});
  player.FVideoState = &is;
  TPlayEvent& ring = player.PlayEventRing();
  is.video_st = &fakeVideo;
  is.video_stream = 0;
  is.paused = 1;
  is.Duration = 2000000;
  auto newest = [&ring]() { return ring.Events[(ring.Tailer + 9) % 10]; };
  struct {
    double clock;
    int64_t posted;
  } steps[] = {{0.0, 0}, {0.005, 0}, {0.020, 20000}, {0.029, 20000}, {2.5, 2000000}};
  for (auto& s : steps) {
    is.video_current_pts = s.clock;
    player.RefreshPlayPosition();
    EXPECT_EQ(newest().Kind, 1);
    EXPECT_EQ(newest().Value, s.posted) << s.clock;
  }
  EXPECT_EQ(player.CurrentPTS(), 2500000);

  // The end is reported once the reader has drained everything.
  is.ReachEOF = 1;
  player.RefreshPlayPosition();
  EXPECT_EQ(newest().Kind, 2);
  EXPECT_EQ(newest().Value, int64_t(psEnd));
  EXPECT_EQ(is.EventEOF, 1);

  // Audio only: near the audio's end the position is the file's duration.
  is.video_st = nullptr;
  is.video_stream = -1;
  is.audio_st = &fakeAudio;
  is.audio_stream = 1;
  is.AudioDuration = 1900000;
  is.audio_clock = 1.95;
  player.RefreshPlayPosition();
  EXPECT_EQ(player.CurrentPTS(), 2000000);

  // PlayTime reached: stop, or seek back to the start with rtLoop.
  AVFormatContext fic{};
  fic.duration = AV_NOPTS_VALUE;
  fic.start_time = AV_NOPTS_VALUE;
  is.ic = &fic;
  is.audio_clock = 0.6;
  is.paused = 0;
  player.PlayTime = 500000;
  player.RepeatType = rtStop;
  player.RefreshPlayPosition();
  EXPECT_EQ(player.FEngineEvents.Count(), 1u);
  EXPECT_EQ(player.FEngineEvents.Wait().type, QuitEvent);
  player.RepeatType = rtLoop;
  player.RefreshPlayPosition();
  EXPECT_EQ(is.seek_req, 1);
  EXPECT_EQ(is.seek_pos, 0);
  EXPECT_EQ(is.seek_rel, 1);
  EXPECT_EQ(is.seek_flags, AVSEEK_FLAG_ANY);
  is.ic = nullptr;
  player.SetOnPosition(nullptr);
  player.SetOnState(nullptr);
}

TEST_F(Engine, RefreshDropsLateAndStalePictures) {
  struct {
    int framedrop, stale, queued;  // stale: leading pictures decoded before the last seek
    double t0, t1;                 // target clocks (s); now is 100 s
    int left;
    double shown;  // video_current_pts after, -1 = nothing shown
  } rows[] = {
      {1, 0, 1, 99.99, 0, 0, 1.0},      // due, shown and consumed
      {1, 0, 1, 100.5, 0, 1, -1},       // not due yet
      {1, 0, 2, 99.90, 99.95, 0, 2.0},  // the next is due too: the first is dropped
      {0, 0, 2, 99.90, 99.95, 1, 1.0},  // no frame dropping: shown one by one
      {1, 1, 1, 0.0, 0, 0, -1},         // queued before the last seek: dropped unshown
      {1, 1, 2, 0.0, 99.99, 0, 2.0},    // the seek's own picture after a stale one is shown
      {0, 1, 2, 100.5, 99.99, 0, 2.0},  // stale and not due: dropped all the same
  };
  player.ScreenWidth = 32;
  player.ScreenHeight = 24;
  is.video_st = &fakeVideo;
  is.video_stream = 0;
  is.av_sync_type = AV_SYNC_VIDEO_MASTER;
  for (auto& r : rows) {
    player.framedrop = r.framedrop;
    is.seek_serial = 1;
    is.pictq_rindex = 0;
    is.pictq_size = r.queued;
    is.video_current_pts = -1;
    is.video_clock = r.queued + 0.04;
    for (int i = 0; i < 2; i++) {
      is.pictq[i].Allocate(16, 16);
      is.pictq[i].pts = 1.0 + i;
      is.pictq[i].target_clock = i ? r.t1 : r.t0;
      is.pictq[i].serial = i < r.stale ? 0 : 1;
    }
    is.pictq[1].pts = 2.0;
    VideoRefresh(&is, true);
    EXPECT_EQ(is.pictq_size, r.left) << r.framedrop << r.stale << r.queued << " " << r.t0;
    EXPECT_DOUBLE_EQ(is.video_current_pts, r.shown >= 0 ? r.shown : -1) << r.t0;
  }
}
