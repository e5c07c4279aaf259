#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "media/FFUtils.h"
#include "media/UnicodeProtocol.h"
#include "tests/media/common/MediaFixtures.h"

using namespace media;

TEST(UnicodeNames, Helpers) {
  struct {
    const char* name;
    bool unicodeForm;
  } forms[] = {{"unicode:utf8:", false}, {"unicode:utf8:a", true}, {"unicode:utf8", false}, {"/tmp/a.avi", false}};
  for (auto& f : forms) EXPECT_EQ(IsUnicodeName(f.name), f.unicodeForm) << f.name;
  for (const char* n : {"http://host/视频.avi", "udp://x", "rtp://y", "D:/video/视频.avi", "/tmp/视频 ü.avi"}) {
    EXPECT_FALSE(NeedsUnicodeName(n)) << n;
    EXPECT_EQ(LibraryFileName(n), n);
  }
  const std::string name = "/tmp/视频 ü.avi";
  EXPECT_EQ(EncodeUnicodeName(name), "unicode:utf8:" + name);
  EXPECT_EQ(DecodeUnicodeName(EncodeUnicodeName(name)), name);
  EXPECT_EQ(DisplayFileName(EncodeUnicodeName(name)), name);
  EXPECT_EQ(DisplayFileName(name), name);
}

TEST(UnicodeNames, FileCallbacks) {
  const std::string dir = mediatest::TempDir();
  const std::string keep = dir + "/keep.bin";
  { std::ofstream(keep) << "0123456789"; }
  TUnicodeFile f;
  EXPECT_EQ(unicode_open(&f, EncodeUnicodeName(dir + "/missing.bin"), AVIO_FLAG_READ), -2);
  ASSERT_EQ(unicode_open(&f, EncodeUnicodeName(keep), AVIO_FLAG_READ), 0);
  uint8_t buf[4];
  EXPECT_EQ(unicode_read(&f, buf, 4), 4);
  EXPECT_EQ(unicode_seek(&f, 0, AVSEEK_SIZE), 10);
  EXPECT_EQ(unicode_seek(&f, -2, SEEK_END), 8);
  EXPECT_EQ(unicode_read(&f, buf, 4), 2);
  EXPECT_EQ(unicode_read(&f, buf, 4), 0);
  unicode_close(&f);
  EXPECT_EQ(std::filesystem::file_size(keep), 10u) << "an input is never emptied";

  ASSERT_EQ(unicode_open(&f, EncodeUnicodeName(keep), AVIO_FLAG_WRITE), 0);
  EXPECT_EQ(unicode_write(&f, reinterpret_cast<const uint8_t*>("ab"), 2), 2);
  unicode_close(&f);
  EXPECT_EQ(std::filesystem::file_size(keep), 2u) << "an output is created or emptied";

  const std::string sparse = dir + "/big_sparse.bin";
  ASSERT_EQ(::truncate((std::ofstream(sparse), sparse.c_str()), 5LL << 30), 0);
  ASSERT_EQ(unicode_open(&f, sparse, AVIO_FLAG_READ), 0);
  EXPECT_EQ(unicode_seek(&f, 0, AVSEEK_SIZE), 5LL << 30);
  unicode_close(&f);
  std::filesystem::remove(sparse);
}

TEST(UnicodeNames, LibrariesReadThroughTheCustomIO) {
  ASSERT_TRUE(mediatest::LoadEngineLibraries());
  const std::string file = mediatest::Fixture("视频 ü.avi");
  ASSERT_FALSE(file.empty());
  AVIOContext* pb = nullptr;
  ASSERT_EQ(OpenUnicodeIO(EncodeUnicodeName(file), AVIO_FLAG_READ, &pb), 0);
  AVFormatContext* ic = ffapi::avformat_alloc_context();
  ic->pb = pb;
  ASSERT_EQ(ffapi::avformat_open_input(&ic, EncodeUnicodeName(file).c_str(), nullptr, nullptr), 0);
  ASSERT_GE(ffapi::avformat_find_stream_info(ic, nullptr), 0);
  EXPECT_EQ(ic->nb_streams, 2u);
  ffapi::avformat_close_input(&ic);
  CloseUnicodeIO(&pb);
  EXPECT_EQ(pb, nullptr);
  EXPECT_EQ(OpenUnicodeIO(EncodeUnicodeName(file + ".missing"), AVIO_FLAG_READ, &pb), AVERROR(ENOENT));
}
