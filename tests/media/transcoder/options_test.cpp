// The option vocabulary: one row per kind of option.
#include <cmath>

#include "tests/media/transcoder/TranscoderTestKit.h"

using namespace media;

namespace {

struct Row {
  const char* name;
  const char* value;
  std::function<bool(TFFmpeg&)> check;  // the state after the option
  const char* error;                    // nullptr: no exception
};

bool Near(double a, double b) { return std::fabs(a - b) < 1e-3; }

}  // namespace

TEST(OptionVocabulary, HasTheNamesInComparisonOrder) {
  const auto& names = TCustomFFmpeg::OptionNames();
  EXPECT_EQ(names.size(), 114u);
  EXPECT_STREQ(names.front(), "L");
  EXPECT_STREQ(names.back(), "fpre");
}

TEST(OptionVocabulary, EachKindParsesAndRejects) {
  ttk::LogCapture log;
  const std::vector<Row> rows = {
      {"vn", "0", [](TFFmpeg& f) { return !f.Fvideo_disable; }, nullptr},
      {"vn", "", [](TFFmpeg& f) { return f.Fvideo_disable; }, nullptr},
      {"copyts", "0", [](TFFmpeg& f) { return f.Fcopy_ts; }, nullptr},
      {"vframes", "$10", [](TFFmpeg& f) { return f.Fmax_frames[0] == 16; }, nullptr},
      {"vol", "0x200", [](TFFmpeg& f) { return f.Faudio_volume == 512; }, nullptr},
      {"v", "abc", nullptr, "'abc' is not a valid integer value"},
      {"ar", "0", [](TFFmpeg& f) { return f.Faudio_sample_rate == 44100; }, nullptr},
      {"ac", "6", [](TFFmpeg& f) { return f.Faudio_channels == 6; }, nullptr},
      {"fs", "5000000000", [](TFFmpeg& f) { return f.Flimit_filesize == 5000000000LL; }, nullptr},
      {"aq", "0.5", [](TFFmpeg& f) { return Near(f.Faudio_qscale, 0.5); }, nullptr},
      {"qscale", "0", nullptr, "qscale must be > 0.0 and <= 255"},
      {"qscale", "256", nullptr, "qscale must be > 0.0 and <= 255"},
      {"qscale", "3", [](TFFmpeg& f) { return Near(f.Fvideo_qscale, 3); }, nullptr},
      {"vlang", "eng", [](TFFmpeg& f) { return f.Fvideo_language == "eng"; }, nullptr},
      {"vstats_file", "/tmp/v.log", [](TFFmpeg& f) { return f.Fvstats_filename == "/tmp/v.log"; }, nullptr},
      {"vf", "", [](TFFmpeg& f) { return f.Fvfilters.empty(); }, nullptr},
      {"f", "pgmyuv", [](TFFmpeg& f) { return f.Flast_asked_format == "image2" && f.Fpgmyuv_compatibility_hack == 1; },
       nullptr},
      {"r", "30000/1001", [](TFFmpeg& f) { return f.Fframe_rate.num == 30000 && f.Fframe_rate.den == 1001; }, nullptr},
      {"r", "fast", nullptr, "Incorrect frame rate"},
      {"s", "vga", [](TFFmpeg& f) { return f.Fframe_width == 640 && f.Fframe_height == 480; }, nullptr},
      {"s", "12xq", nullptr, "Incorrect frame size"},
      {"s", "176*144", [](TFFmpeg& f) { return f.Fframe_width == 176 && f.Fframe_height == 144; }, nullptr},
      {"aspect", "16:9", [](TFFmpeg& f) { return Near(f.Fframe_aspect_ratio, 16.0 / 9); }, nullptr},
      {"aspect", "1.5", [](TFFmpeg& f) { return Near(f.Fframe_aspect_ratio, 1.5); }, nullptr},
      {"aspect", "4:0", nullptr, "Incorrect aspect ratio specification."},
      {"aspect", "abc", nullptr, "Incorrect aspect ratio specification."},
      {"pix_fmt", "yuv422p", [](TFFmpeg& f) { return f.Fframe_pix_fmt == AV_PIX_FMT_YUV422P; }, nullptr},
      {"pix_fmt", "nosuch", [](TFFmpeg& f) { return f.Fframe_pix_fmt == -1; },
       "Unknown pixel format requested: nosuch"},
      {"sample_fmt", "nosuch", [](TFFmpeg& f) { return f.Faudio_sample_fmt == -1; }, nullptr},
      {"croptop", "0", [](TFFmpeg& f) { return f.Fframe_topBand == 0; }, nullptr},
      {"croptop", "240", nullptr,
       "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale "
       "second."},
      {"cropleft", "20", [](TFFmpeg& f) { return f.Fframe_leftBand == 20 && f.Fframe_width == 300; }, nullptr},
      {"cropright", "320", nullptr,
       "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and scale "
       "second."},
      {"intra_matrix", "1,2,3,4,5,6,7,8,9,10", nullptr, "Syntax error in matrix \"1,2,3,4,5,6,7,8,9,10\" at coeff 9"},
      {"vtag", "XVID",
       [](TFFmpeg& f) { return (f.Fvideo_codec_tag & 0xFF) == 'X' && (f.Fvideo_codec_tag >> 24) == 'D'; }, nullptr},
      {"vtag", "XVI", nullptr, "video tag parameter must be 4 chars"},
      {"atag", "", [](TFFmpeg& f) { return f.Faudio_codec_tag == 0; }, nullptr},
      {"map", "0:1",
       [](TFFmpeg& f) {
         auto& m = f.Fstream_maps.back();
         return m.file_index == 0 && m.stream_index == 1 && m.sync_file_index == 0 && m.sync_stream_index == 1;
       },
       nullptr},
      {"map", "0:1:1:0",
       [](TFFmpeg& f) {
         auto& m = f.Fstream_maps.back();
         return m.sync_file_index == 1 && m.sync_stream_index == 0;
       },
       nullptr},
      {"map", "0x1.010",
       [](TFFmpeg& f) { return f.Fstream_maps.back().file_index == 1 && f.Fstream_maps.back().stream_index == 8; },
       nullptr},
      {"metadata", "title", nullptr, "Missing ="},
      {"metadata", "title=a=b",
       [](TFFmpeg& f) { return f.Fmetadata.back() == std::make_pair(std::string("title"), std::string("a=b")); },
       nullptr},
      {"itsscale", "1:0.5", [](TFFmpeg& f) { return f.Fnext_input_ts_scale[1] == 0.5; }, nullptr},
      {"itsscale", "20:2", nullptr, "stream index over MAX_STREAMS(20)"},
      {"itsscale", "-1:0.5", nullptr, "Invalid stream index -1"},
      {"streamid", "2:33", [](TFFmpeg& f) { return f.Fstreamid_map.size() == 3 && f.Fstreamid_map[2] == 33; }, nullptr},
      {"streamid", "2:", nullptr, "Invalid value \"2:\" for option \"streamid\", required syntax is \"index:value\""},
      {"pass", "3", nullptr, "pass number can be only 1 or 2"},
      {"t", "1.5", [](TFFmpeg& f) { return f.Frecording_time == 1500000 && f.TotalOutputDuration() == 1500000; },
       nullptr},
      {"ss", "00:01:02.5", [](TFFmpeg& f) { return f.Fstart_time == 62500000; }, nullptr},
      {"itsoffset", "x", nullptr, "Invalid duration specification for itsoffset: x"},
      {"timestamp", "1970-01-02 00:00:00Z", [](TFFmpeg& f) { return f.Frecording_timestamp == 86400; }, nullptr},
      {"threads", "2", nullptr, "TODO: option - threads"},
      {"padtop", "2", nullptr, "Please use vfilters=pad"},
      {"newaudio", "", nullptr, "At least one output file must be specified"},
      {"vbsf", "h264_mp4toannexb", [](TFFmpeg& f) { return f.Fvideo_bitstream_filters.size() == 1; }, nullptr},
      {"absf", "nosuchfilter", nullptr, "Unknown bitstream filter nosuchfilter"},
      {"vcodec", "copy", [](TFFmpeg& f) { return f.Fvideo_stream_copy == 1 && f.Fvideo_codec_name.empty(); }, nullptr},
      {"acodec", "mp2", [](TFFmpeg& f) { return f.Faudio_codec_name == "mp2"; }, nullptr},
      {"g", "12", [](TFFmpeg& f) { return f.FOptions.avcodec_opts[0]->gop_size == 12; }, nullptr},
      {"foo", "bar", [](TFFmpeg&) { return true; }, nullptr},
      {"loglevel", "debug", [](TFFmpeg&) { return FFLoggerInstance().LogLevel() == TLogLevel::llDebug; }, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.name) + "=" + r.value);
    auto f = ttk::NewTask();
    f->Fframe_width = 320;
    f->Fframe_height = 240;
    FFLoggerInstance().SetLogLevel(TLogLevel::llVerbose);
    if (r.error) {
      try {
        f->dispatch_option(r.name, r.value);
        ADD_FAILURE() << "no exception";
      } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), r.error);
      }
    } else {
      EXPECT_NO_THROW(f->dispatch_option(r.name, r.value));
    }
    if (r.check) {
      EXPECT_TRUE(r.check(*f));
    }
  }
}

TEST(OptionVocabulary, LogsOfTheLoggingKinds) {
  ttk::LogCapture log;
  auto f = ttk::NewTask();
  f->Fframe_width = 320;
  f->Fframe_height = 240;
  f->dispatch_option("version", "");
  f->dispatch_option("timelimit", "5");
  f->dispatch_option("croptop", "10");
  f->dispatch_option("b", "64");
  EXPECT_TRUE(log.Has("Do nothing: option - version"));
  EXPECT_TRUE(log.Has("Warning: -timelimit not implemented on Windows"));
  EXPECT_TRUE(log.Has("CropXXX is deprecated in favor of the crop avfilter"));
  EXPECT_TRUE(log.Has("WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s"));
  EXPECT_EQ(f->FOptions.avcodec_opts[0]->bit_rate, 64);
  const size_t before = log.lines.size();
  f->dispatch_option("b", "64000");
  EXPECT_EQ(log.lines.size(), before);

  std::string matrix;
  for (int i = 1; i <= 64; ++i) matrix += std::to_string(i) + (i < 64 ? "," : "");
  f->dispatch_option("inter_matrix", matrix + ",99");
  ASSERT_EQ(f->Finter_matrix.size(), 64u);
  EXPECT_EQ(f->Finter_matrix[63], 64);
}
