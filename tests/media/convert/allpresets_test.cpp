// Every preset the main window offers converts a short clip: the job is
// built exactly as the window builds it (job model -> output options ->
// AddTask / SetOutputFile), the tasks run in parallel, and each output must
// decode to its end with the preset's container and codecs.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "app/FormatCatalogue.h"
#include "app/JobOutput.h"
#include "app/MemoryControls.h"
#include "platform/rtl/dispatcher.h"
#include "tests/media/convert/ConvertKit.h"

using namespace media;

namespace {

struct PresetJob {
  int key = 0;
  std::string title;
  TOutputOptions out;
  std::string ext;
  bool audioOnly = false;
};

bool BuildJob(int key, PresetJob& job) {
  const catalogue::FormatDef* format = catalogue::FormatByKey(key);
  THeadlessJobForm form;
  form.Logic->OutputFolderText = [] { return std::string("/out"); };
  form.Logic->OverwriteOutput = [] { return true; };
  form.Start();
  if (!form.PrepareAdd(key, "/in/clip.avi")) return false;
  TMainJobLogic& logic = *form.Logic;
  job.key = key;
  job.title = format->title;
  // The window's output name carries the extension (some presets leave
  // Video_FileExt empty).
  job.ext = std::filesystem::path(logic.Job.Video_OutPutFileName).extension().string();
  job.audioOnly = catalogue::IsAudioOnly(key);
  InitOutputOptions(job.out);
  BuildJobOutputOptions(logic.Job, job.out);
  return true;
}

// The codec an encoder name stands for, after the engine's renaming of old
// names.
AVCodecID EncoderId(std::string name) {
  static const std::map<std::string, std::string> renamed = {
      {"libfaac", "aac"}, {"libamr_nb", "libopencore_amrnb"}, {"libamr_wb", "libvo_amrwbenc"}};
  auto it = renamed.find(name);
  if (it != renamed.end()) name = it->second;
  const AVCodec* c = ffapi::avcodec_find_encoder_by_name(name.c_str());
  return c ? c->id : AV_CODEC_ID_NONE;
}

// Demuxer names that read what a muxer writes.
bool SameContainer(const std::string& muxer, const std::string& demuxer) {
  if (demuxer.find(muxer) != std::string::npos) return true;
  static const std::map<std::string, std::string> family = {{"ipod", "mov"},
                                                            {"psp", "mov"},
                                                            {"3gp", "mov"},
                                                            {"3g2", "mov"},
                                                            {"mp4", "mov"},
                                                            {"dvd", "mpeg"},
                                                            {"vob", "mpeg"},
                                                            {"svcd", "mpeg"},
                                                            {"vcd", "mpeg"},
                                                            {"mpeg", "mpeg"},
                                                            {"mpeg1video", "mpegvideo"},
                                                            {"mpeg2video", "mpegvideo"},
                                                            {"matroska", "matroska"},
                                                            {"webm", "matroska"},
                                                            {"adts", "aac"},
                                                            {"ipod", "mov"},
                                                            {"f4v", "mov"},
                                                            {"m4v", "m4v"},
                                                            {"rawvideo", "rawvideo"},
                                                            {"amr", "amr"},
                                                            {"ogg", "ogg"},
                                                            {"oga", "ogg"},
                                                            {"asf_stream", "asf"},
                                                            {"mp2", "mp3"},
                                                            {"ac3", "ac3"},
                                                            {"h264", "h264"},
                                                            {"mpegts", "mpegts"}};
  auto it = family.find(muxer);
  return it != family.end() && demuxer.find(it->second) != std::string::npos;
}

}  // namespace

TEST(AllPresets, EveryReachablePresetConvertsAClip) {
  ASSERT_TRUE(convkit::LoadLibs());
  const std::string input = convkit::Clip("clip2.avi");
  ASSERT_FALSE(input.empty());
  std::vector<PresetJob> jobs;
  for (int i = 0; i < catalogue::kPresetCount; ++i) {
    PresetJob j;
    ASSERT_TRUE(BuildJob(catalogue::kJobRows[i].key, j)) << catalogue::kJobRows[i].key;
    jobs.push_back(std::move(j));
  }
  ASSERT_EQ(203u, jobs.size());

  TFFConverter c;
  convkit::EventLog log;
  log.Bind(c, false);
  std::vector<int> taskOf(jobs.size(), -1);
  std::vector<std::string> outName(jobs.size());
  for (size_t i = 0; i < jobs.size(); ++i) {
    PresetJob& j = jobs[i];
    SCOPED_TRACE(testing::Message() << "preset " << j.key << " " << j.title);
    outName[i] = convkit::Out("preset_" + std::to_string(j.key) + j.ext);
    std::filesystem::remove(outName[i]);
    TInputOptions in;
    InitInputOptions(in);
    int t = c.AddTask(input, &in);
    ASSERT_GE(t, 0) << c.LastErrMsg();
    TOutputOptions o = j.out;
    if (!c.SetOutputFile(t, outName[i], &o)) {
      ADD_FAILURE() << "SetOutputFile: " << c.LastErrMsg();
      c.RemoveTask(t);
      continue;
    }
    taskOf[i] = t;
  }
  c.Start(2);
  ASSERT_TRUE(log.WaitFinal(600000, c.TasksCount() + 1)) << "the run did not end";
  c.Stop(true);
  std::map<int, TTerminateInfo> byTask = log.TermsByTask();
  for (size_t i = 0; i < jobs.size(); ++i) {
    if (taskOf[i] < 0) continue;
    const PresetJob& j = jobs[i];
    SCOPED_TRACE(testing::Message() << "preset " << j.key << " " << j.title << " -> " << outName[i]);
    const TTerminateInfo& info = byTask[taskOf[i]];
    EXPECT_TRUE(info.Finished && !info.Exception) << info.ExceptionMsg;
    convkit::DecodeResult r = convkit::DecodeAll(outName[i]);
    ASSERT_TRUE(r.opened);
    // Container.
    const AVOutputFormat* of = ffapi::av_guess_format(j.out.FileFormat.empty() ? nullptr : j.out.FileFormat.c_str(),
                                                      outName[i].c_str(), nullptr);
    if (j.out.TargetType != TOptionTargetType::ttIgnore) of = ffapi::av_guess_format("mpeg", nullptr, nullptr);
    ASSERT_NE(nullptr, of);
    EXPECT_TRUE(SameContainer(of->name, r.format)) << of->name << " read back as " << r.format;
    // Streams.
    const convkit::StreamResult* v = r.First(AVMEDIA_TYPE_VIDEO);
    const convkit::StreamResult* a = r.First(AVMEDIA_TYPE_AUDIO);
    if (j.audioOnly || j.out.DisableVideo) {
      EXPECT_EQ(nullptr, v);
    } else {
      ASSERT_NE(nullptr, v);
      EXPECT_GT(v->frames, 0);
      EXPECT_EQ(0, v->decode_errors);
      if (!j.out.VideoCodec.empty() && j.out.VideoCodec != "copy") {
        EXPECT_EQ(ffapi::avcodec_get_name(EncoderId(j.out.VideoCodec)), v->codec);
      }
    }
    if (!j.out.DisableAudio && a) {
      EXPECT_GT(a->samples, 0);
      EXPECT_EQ(0, a->decode_errors);
      if (!j.out.AudioCodec.empty() && j.out.AudioCodec != "copy") {
        std::string want = ffapi::avcodec_get_name(EncoderId(j.out.AudioCodec));
        // AAC has no place in an MPEG program stream: the engine writes MP2
        // or AC-3 there.
        if (want == "aac" && r.format == "mpeg")
          EXPECT_TRUE(a->codec == "mp2" || a->codec == "ac3") << a->codec;
        else
          EXPECT_EQ(want, a->codec);
      }
    } else if (!j.out.DisableAudio) {
      ADD_FAILURE() << "no audio stream";
    }
  }
}
