// Every TEST runs in a process of its own (ctest runs them one by one), so
// each starts with nothing loaded.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "media/FFmpegLoader.h"
#include "media/FFmpegLogger.h"
#include "media/EngineUtils.h"
#include "tests/media/common/MediaFixtures.h"

using namespace media;
namespace fs = std::filesystem;

namespace {

std::string MakeLibFolder() {
  std::string dir = mediatest::TempDir() + "/LibAV";
  fs::create_directories(dir);
  return dir;
}

void Put(const std::string& src, const std::string& dst) {
  fs::copy_file(src, dst, fs::copy_options::overwrite_existing);
}

bool StartsWith(const std::string& s, const std::string& p) { return s.rfind(p, 0) == 0; }

}  // namespace

TEST(Loader, LoadsTheSetsFromTheSystem) {
  TFFmpegLoader& l = FFLoader();
  l.SetLibraryPath(mediatest::TempDir() + "/NoSuchFolder");  // falls back to the system path
  ASSERT_TRUE(l.Load(ConverterLibraries)) << l.LastErrMsg();
  EXPECT_TRUE(l.Loaded(ConverterLibraries));
  EXPECT_FALSE(l.Loaded(TLibrary::lbSDL));
  EXPECT_FALSE(l.Loaded(PlayerLibraries));
  ASSERT_TRUE(l.Load(PlayerLibraries)) << l.LastErrMsg();
  EXPECT_TRUE(l.Loaded(PlayerLibraries));
  EXPECT_NE(ffapi::avcodec_find_encoder_by_name("mpeg4"), nullptr);
  EXPECT_NE(ffapi::SDL_GetTicks, nullptr);
  EXPECT_EQ(l.FileNameOf(TLibrary::avCodec), "libavcodec.so.59");
  EXPECT_EQ(l.FileNameOf(TLibrary::lbSDL), "libSDL-1.2.so.0");
  l.Unload(TLibrary::avCodec);
  EXPECT_FALSE(l.Loaded(TLibrary::avCodec));
  EXPECT_EQ(ffapi::avcodec_find_encoder_by_name, nullptr);
  EXPECT_TRUE(l.Load(TLibrary::avCodec));
}

TEST(Loader, EmptySetIsAnAssertionFailure) {
  EXPECT_THROW(FFLoader().Load(TLibraries{}), EAssertionFailed);
  EXPECT_THROW(FFLoader().Unload(TLibraries{}), EAssertionFailed);
}

TEST(Loader, CorruptLibraryInFolderFailsAndUnloadsWhatItLoaded) {
  std::string dir = MakeLibFolder();
  { std::ofstream(dir + "/libswscale.so.6") << std::string(4096, 'x'); }
  TFFmpegLoader& l = FFLoader();
  l.SetLibraryPath(dir);
  EXPECT_FALSE(l.Load(ConverterLibraries));
  EXPECT_TRUE(StartsWith(l.LastErrMsg(), "Load library " + dir + "/libswscale.so.6 error: ")) << l.LastErrMsg();
  EXPECT_NE(l.LastErrMsg().find("invalid ELF header"), std::string::npos) << l.LastErrMsg();
  for (TLibrary lib : {TLibrary::avUtil, TLibrary::swResample, TLibrary::swScale, TLibrary::avCodec})
    EXPECT_FALSE(l.Loaded(lib));
  EXPECT_EQ(ffapi::av_malloc, nullptr);
}

TEST(Loader, MissingFunctionFailsTheLibrary) {
  std::string dir = MakeLibFolder();
  Put(STUB_AVFILTER, dir + "/libavfilter.so.8");
  TFFmpegLoader& l = FFLoader();
  l.SetLibraryPath(dir);
  EXPECT_FALSE(l.Load(ConverterLibraries));
  EXPECT_TRUE(StartsWith(l.LastErrMsg(), "Load function avfilter_get_by_name@libavfilter.so.8 error: "))
      << l.LastErrMsg();
  EXPECT_NE(l.LastErrMsg().find("undefined symbol"), std::string::npos);
  EXPECT_FALSE(l.Loaded(TLibrary::avFilter));
  EXPECT_EQ(ffapi::avfilter_version, nullptr);  // nothing half-bound stays callable
  EXPECT_FALSE(l.Loaded(TLibrary::avCodec));
}

TEST(Loader, LibraryOfAnotherGenerationIsRefused) {
  std::string dir = MakeLibFolder();
  Put(STUB_AVUTIL_OLD, dir + "/libavutil.so.57");
  TFFmpegLoader& l = FFLoader();
  l.SetLibraryPath(dir);
  EXPECT_FALSE(l.Load(TLibrary::avUtil));
  EXPECT_TRUE(StartsWith(l.LastErrMsg(), "Load library libavutil.so.57 error: version 56.70.100")) << l.LastErrMsg();
  EXPECT_FALSE(l.Loaded(TLibrary::avUtil));
}

TEST(Loader, FailedSetKeepsLibrariesLoadedEarlier) {
  TFFmpegLoader& l = FFLoader();
  ASSERT_TRUE(l.Load(ProbeLibraries)) << l.LastErrMsg();
  l.SetFileNameForTest(TLibrary::lbSDL, "libSDL-no-such-1.2.so.0");
  EXPECT_FALSE(l.Load(PlayerLibraries));
  EXPECT_TRUE(StartsWith(l.LastErrMsg(), "Load library libSDL-no-such-1.2.so.0 error: ")) << l.LastErrMsg();
  EXPECT_TRUE(l.Loaded(ProbeLibraries));       // in use by the probe: kept
  EXPECT_FALSE(l.Loaded(TLibrary::avFilter));  // brought in by the failed call: gone
  EXPECT_FALSE(l.Loaded(PlayerLibraries));
}

TEST(Loader, InstallLoggerDecidesWhetherLibraryLinesAreRouted) {
  TFFLogger logger;
  logger.SetTriggerEventInMainThread(false);
  std::vector<std::string> lines;
  logger.SetOnLog([&](void*, uint32_t, TLogLevel, const std::string& m) { lines.push_back(m); });
  TFFmpegLoader& l = FFLoader();
  l.SetInstallLogger(false);
  ASSERT_TRUE(l.Load(TLibrary::avUtil));
  ffapi::av_log_set_level(AV_LOG_QUIET);  // keep the library's own printing off stderr
  ffapi::av_log(nullptr, AV_LOG_PANIC, "not routed\n");
  EXPECT_TRUE(lines.empty());
  l.SetInstallLogger(true);
  ASSERT_TRUE(l.Load(TLibrary::avUtil));  // loading again runs the post-load step
  ffapi::av_log(nullptr, AV_LOG_ERROR, "routed\n");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "routed");
}

TEST(Loader, BindingTexts) {
  std::string err;
  void* h = LoadLibraryInFolder("", STUB_AVFILTER, err);
  ASSERT_NE(h, nullptr) << err;
  void* p = nullptr;
  BindFunction("stub.so", h, "avfilter_version", &p);
  EXPECT_NE(p, nullptr);
  try {
    BindVariable("stub.so", h, "no_such_table", &p);
    ADD_FAILURE();
  } catch (const std::exception& e) {
    EXPECT_TRUE(StartsWith(e.what(), "Load variable no_such_table@stub.so error: ")) << e.what();
  }
  BindFunction("stub.so", h, "no_such_function", &p, true);  // allowed to be missing
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(LoadLibraryInFolder(mediatest::TempDir(), "libnosuch.so.1", err), nullptr);
  EXPECT_NE(err.find("libnosuch.so.1"), std::string::npos);
}
