#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "media/FFUtils.h"
#include "media/EngineUtils.h"
#include "tests/media/common/MediaFixtures.h"

using namespace media;

TEST(EngineUtils, SizeSeekAndSplitTables) {
  struct {
    int64_t size;
    const char* text;
  } sizes[] = {{0, "0 Byte"},           {1024, "1024 Byte"},        {1025, "1.00 KB"},         {1536, "1.50 KB"},
               {1048576, "1024.00 KB"}, {1073741824, "1024.00 MB"}, {3221225472LL, "3.00 GB"}, {-5, "-5 Byte"}};
  for (auto& c : sizes) EXPECT_EQ(SizeToText(c.size), c.text) << c.size;

  EXPECT_EQ(SeekFlagsToAVFlags(SeekFlag(TSeekFlag::sfBackward) | SeekFlag(TSeekFlag::sfAny)), 5);
  EXPECT_EQ(SeekFlagsToAVFlags(0), 0);
  EXPECT_EQ(SeekFlagsToAVFlags(SeekFlag(TSeekFlag::sfFrame)), AVSEEK_FLAG_FRAME);

  struct {
    const char* in;
    bool remove;
    const char* first;
    const char* rest;
  } splits[] = {
      {"a=b=c", true, "a", "b=c"}, {"abc", true, "abc", ""}, {"a=b", false, "a", "a=b"}, {"abc", false, "abc", "abc"}};
  for (auto& c : splits) {
    std::string s = c.in, first;
    SplitFirst(s, "=", c.remove, first);
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(s, c.rest);
  }
}

TEST(EngineUtils, FilesAndTime) {
  std::string dir = mediatest::TempDir();
  { std::ofstream(dir + "/empty.bin"); }
  EXPECT_EQ(FileSizeOf(dir + "/empty.bin"), 0);
  EXPECT_EQ(FileSizeOf(dir + "/missing.bin"), -1);
  EXPECT_EQ(FileSizeOf(dir), -1);
  EXPECT_EQ(ExeFolder().back(), '/');
  EXPECT_EQ(ExeFolder() + "test_media_engine", ProgramFileName());

  setenv("TZ", "Asia/Shanghai", 1);
  EXPECT_NEAR(UnixToLocalDateTime(0), 25569.0 + 1.0 / 3.0, 1e-9);
  EXPECT_EQ(FormatDateTimeText("hhnnss", UnixToLocalDateTime(3723)), "090203");
  EXPECT_EQ(FormatDateTimeText("yyyy-mm-dd hh:nn:ss.zzz", 25569.5), "1970-01-01 12:00:00.000");
}

TEST(EngineUtils, NumberParsing) {
  struct {
    const char* text;
    bool ok;
    int64_t value;
  } ints[] = {{"42", true, 42}, {" -7 ", true, -7}, {"$1F", true, 31}, {"0x10", true, 16},
              {"", false, 0},   {"12a", false, 0},  {"0x", false, 0}};
  for (auto& c : ints) {
    int64_t v = 0;
    EXPECT_EQ(TryStrToInt64(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_THROW(StrToInt("abc"), EConvertError);
  EXPECT_DOUBLE_EQ(StrToFloat("0.5"), 0.5);
  EXPECT_THROW(StrToFloat("0,5"), EConvertError);
}

TEST(FormatUtils, TimeAndErrorTexts) {
  EXPECT_EQ(FormatTimeText(3723456000LL), "01:02:03.456");
  EXPECT_EQ(FormatTimeText(NoTime), "N/A");
  EXPECT_EQ(FormatTimeText(90000000000LL), "25:00:00.000");
  EXPECT_EQ(FrameDurationOf({25, 1}), 40000);
  EXPECT_EQ(FrameDurationOf({30000, 1001}), 33366);
  EXPECT_EQ(FrameDurationOf({0, 1}), 40000);
  EXPECT_EQ(ErrorText("in.avi", -2), "in.avi: No such file or directory");
  // System errors in the system's words; other bare numbers stay numbers.
  EXPECT_EQ(ErrorText("out.mp4", AVERROR(ENOSPC)), "out.mp4: No space left on device");
  EXPECT_EQ(ErrorText("out.mp4", AVERROR(EROFS)), "out.mp4: Read-only file system");
  EXPECT_EQ(ErrorText("in.avi", -5000), "in.avi: Error number -5000 occurred");
  EXPECT_EQ(ErrorText("x", AVERROR_EOF), "x: End of file");
  EXPECT_EQ(ErrorText("x", AVERROR_INVALIDDATA), "x: Invalid data found when processing input");
  EXPECT_EQ(MediaTypeName(AVMEDIA_TYPE_SUBTITLE), "Subtitle");
  EXPECT_EQ(MediaTypeName(42), "Unknown");
}

TEST(FormatUtils, CodecTexts) {
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  const uint32_t divx = 'D' | ('I' << 8) | ('V' << 16) | (static_cast<uint32_t>('X') << 24);
  EXPECT_EQ(CodecText(AV_CODEC_ID_NONE, divx, false), "DIVX / 0x58564944");
  EXPECT_EQ(CodecText(AV_CODEC_ID_NONE, 0x01, false), "0x0001");
  EXPECT_EQ(CodecText(AV_CODEC_ID_MPEG4, 0, true), "mpeg4(MPEG-4 part 2)");
  EXPECT_EQ(CodecText(AV_CODEC_ID_MPEG2TS, 0, false), "mpeg2ts");
}

TEST(FormatUtils, GenericOptionStore) {
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  TFFOptions o;
  CreateFFOptions(o, SWS_BICUBIC);
  EXPECT_TRUE(set_default_option(o, "g", "12"));
  EXPECT_EQ(o.avcodec_opts[0]->gop_size, 12);
  EXPECT_FALSE(set_default_option(o, "g", "abc"));           // logged as an invalid value
  EXPECT_FALSE(set_default_option(o, "nosuchoption", "1"));  // silent
  EXPECT_FALSE(set_default_option(o, "", "1"));
  EXPECT_TRUE(set_default_option(o, "vqmin", "3"));  // the video context's "qmin"
  EXPECT_EQ(o.avcodec_opts[0]->qmin, 3);
  EXPECT_TRUE(set_default_option(o, "b", "64000"));
  EXPECT_EQ(o.avcodec_opts[0]->bit_rate, 64000);
  EXPECT_EQ(o.avcodec_opts[1]->bit_rate, 64000);
  EXPECT_TRUE(set_default_option(o, "preset", "fast"));  // an encoder's own option
  ASSERT_EQ(o.private_opts.size(), 1u);
  const AVCodec* x264 = ffapi::avcodec_find_encoder_by_name("libx264");
  ASSERT_NE(x264, nullptr);
  AVDictionary* d = private_options_for(o, &x264->priv_class);
  EXPECT_STREQ(ffapi::av_dict_get(d, "preset", nullptr, 0)->value, "fast");
  ffapi::av_dict_free(&d);

  AVCodecContext* enc = ffapi::avcodec_alloc_context3(nullptr);
  set_context_options(o, enc, o.avcodec_opts[0], AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
  EXPECT_EQ(enc->gop_size, 12);
  EXPECT_EQ(enc->bit_rate, 64000);
  ffapi::avcodec_free_context(&enc);
  FreeFFOptions(o);
}

TEST(FormatUtils, FrameToBitmapCopiesOrScales) {
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  struct {
    int w, h;
    bool direct;
  } cases[] = {{320, 240, true}, {321, 240, false}};
  for (auto& c : cases) {
    const int stride = (c.w * 3 + 3) & ~3;
    std::vector<uint8_t> pix(static_cast<size_t>(stride) * c.h);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        uint8_t* p = &pix[static_cast<size_t>(y) * stride + x * 3];
        p[0] = 200;
        p[1] = 100;
        p[2] = 50;  // B, G, R
      }
    const uint8_t* data[4] = {pix.data(), nullptr, nullptr, nullptr};
    const int linesize[4] = {stride, 0, 0, 0};
    TRGBConvertContext ctx;
    ASSERT_TRUE(FrameToBitmap(ctx, data, linesize, AV_PIX_FMT_BGR24, c.w, c.h));
    EXPECT_EQ(ctx.LastWasDirect, c.direct) << c.w;
    ASSERT_EQ(ctx.Bitmap->Width(), c.w);
    const uint8_t* row = ctx.Bitmap->ScanLine(c.h / 2);
    EXPECT_NEAR(row[3 * (c.w / 2)], 200, 2);
    EXPECT_NEAR(row[3 * (c.w / 2) + 1], 100, 2);
    EXPECT_NEAR(row[3 * (c.w / 2) + 2], 50, 2);
  }
}

// The scaler writes BGR24 rows with whole vector stores; at widths with
// w mod 16 in 8..14 an exactly sized buffer is overrun by up to 24 bytes.
// Every width class must leave the guard bytes behind the layout untouched,
// and the picture taken through it must keep its colour to the last pixel.
TEST(FormatUtils, ScalerLayoutHoldsEveryWidth) {
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  std::vector<int> widths = {360, 540, 1080};
  for (int w = 160; w < 192; ++w) widths.push_back(w);
  const int h = 6;
  constexpr size_t kGuard = 256;
  for (int w : widths) {
    AVFrame* src = ffapi::av_frame_alloc();
    src->format = AV_PIX_FMT_YUV420P;
    src->width = w;
    src->height = h;
    ASSERT_EQ(ffapi::av_frame_get_buffer(src, 0), 0);
    for (int y = 0; y < h; ++y) std::memset(src->data[0] + y * src->linesize[0], 180, size_t(w));
    for (int p = 1; p < 3; ++p)
      for (int y = 0; y < (h + 1) / 2; ++y) std::memset(src->data[p] + y * src->linesize[p], 128, size_t(w + 1) / 2);
    const int size = ScalerImageSize(AV_PIX_FMT_BGR24, w, h);
    ASSERT_GT(size, 0);
    std::vector<uint8_t> buf(size_t(size) + kGuard, 0xA5);
    uint8_t* dst[4];
    int dstLs[4];
    ASSERT_TRUE(ScalerImageFill(dst, dstLs, buf.data(), AV_PIX_FMT_BGR24, w, h));
    SwsContext* sws =
        ffapi::sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    ASSERT_NE(sws, nullptr);
    ffapi::sws_scale(sws, src->data, src->linesize, 0, h, dst, dstLs);
    ffapi::sws_freeContext(sws);
    size_t spoiled = 0;
    for (size_t i = size_t(size); i < buf.size(); ++i) spoiled += buf[i] != 0xA5;
    EXPECT_EQ(spoiled, 0u) << "width " << w;

    TRGBConvertContext ctx;
    ASSERT_TRUE(FrameToBitmap(ctx, src->data, src->linesize, AV_PIX_FMT_YUV420P, w, h)) << w;
    const uint8_t* last = ctx.Bitmap->ScanLine(h - 1) + 3 * (w - 1);
    EXPECT_NEAR(last[0], 191, 3) << w;  // limited-range grey 180
    EXPECT_NEAR(last[2], 191, 3) << w;
    ffapi::av_frame_free(&src);
  }
}

TEST(FormatUtils, ReadWholeFile) {
  std::string f = mediatest::TempDir() + "/whole.txt";
  { std::ofstream(f) << "abc"; }
  uint8_t* buf = nullptr;
  int size = 0;
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  ASSERT_EQ(ReadWholeFile(f, &buf, &size), 0);
  EXPECT_EQ(size, 4);
  EXPECT_STREQ(reinterpret_cast<char*>(buf), "abc");
  ffapi::av_free(buf);
  EXPECT_EQ(ReadWholeFile(f + ".missing", &buf, &size), -1);
}
