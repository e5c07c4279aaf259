// End-to-end runs of the task component: event order, outputs that decode
// fully, stop, pause, two-pass, stream copy, join, targets, broken inputs.
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "platform/rtl/dispatcher.h"
#include "tests/media/convert/ConvertKit.h"

using namespace media;
using convkit::Clip;
using convkit::DecodeAll;
using convkit::Out;

namespace {

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(convkit::LoadLibs()); }
};

TOutputOptions Opts(const std::string& vcodec, const std::string& acodec, const std::string& size = "") {
  TOutputOptions o;
  InitOutputOptions(o);
  o.VideoCodec = vcodec;
  o.AudioCodec = acodec;
  o.FrameSize = size;
  return o;
}

}  // namespace

TEST_F(ConvertTest, InlineRunConvertsAndRaisesEventsBeforeStartReturns) {
  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c);
  c.SetProgressInterval(100);
  const std::string inputs[] = {Clip("clip.avi"), Clip("clip.mp4"), Clip("clip.wav")};
  const std::string outs[] = {Out("inl0.mp4"), Out("inl1.avi"), Out("inl2.mp3")};
  TOutputOptions o0 = Opts("libx264", "aac"), o1 = Opts("mpeg4", "libmp3lame"), o2 = Opts("", "libmp3lame");
  TOutputOptions* opts[] = {&o0, &o1, &o2};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(i, c.AddTask(inputs[i], static_cast<TInputOptions*>(nullptr))) << c.LastErrMsg();
    ASSERT_TRUE(c.SetOutputFile(i, outs[i], opts[i])) << c.LastErrMsg();
  }
  c.Start(0);
  EXPECT_EQ((std::vector<int>{0, 1, 2, -1}), log.TermIndexes());
  for (auto& t : log.terms) EXPECT_TRUE(t.Finished && !t.Exception) << t.TaskIndex << " " << t.ExceptionMsg;
  EXPECT_TRUE(c.Working());
  EXPECT_TRUE(c.Terminated());

  auto r0 = DecodeAll(outs[0]);
  ASSERT_TRUE(r0.opened);
  ASSERT_NE(nullptr, r0.First(AVMEDIA_TYPE_VIDEO));
  EXPECT_EQ("h264", r0.First(AVMEDIA_TYPE_VIDEO)->codec);
  EXPECT_EQ(160, r0.First(AVMEDIA_TYPE_VIDEO)->width);
  EXPECT_NEAR(25, r0.First(AVMEDIA_TYPE_VIDEO)->frames, 1);
  ASSERT_NE(nullptr, r0.First(AVMEDIA_TYPE_AUDIO));
  EXPECT_EQ("aac", r0.First(AVMEDIA_TYPE_AUDIO)->codec);
  EXPECT_NEAR(44100, r0.First(AVMEDIA_TYPE_AUDIO)->samples, 2048);
  auto r1 = DecodeAll(outs[1]);
  EXPECT_EQ("mpeg4", r1.First(AVMEDIA_TYPE_VIDEO)->codec);
  EXPECT_EQ("mp3", r1.First(AVMEDIA_TYPE_AUDIO)->codec);
  auto r2 = DecodeAll(outs[2]);
  EXPECT_EQ(nullptr, r2.First(AVMEDIA_TYPE_VIDEO));
  EXPECT_EQ("mp3", r2.First(AVMEDIA_TYPE_AUDIO)->codec);
  EXPECT_NEAR(1.0, r2.duration, 0.1);

  EXPECT_THROW(c.AddTask(inputs[0], static_cast<TInputOptions*>(nullptr)), std::exception);
  c.ClearTasks();
  EXPECT_EQ(0, c.AddTask(inputs[0], static_cast<TInputOptions*>(nullptr)));
}
