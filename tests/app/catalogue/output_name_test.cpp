// Output names composed for a preset and made unique in the output folder
// and among the rows of the list.
#include <gtest/gtest.h>

#include "app/JobParams.h"
#include "test_helpers.h"

namespace {

struct NameCase {
  const char* what;
  std::vector<std::string> files;    // existing files in the output folder
  std::vector<std::string> folders;  // existing sub-folders
  std::vector<std::string> rows;     // output names already given to rows
  const char* input;
  int key;
  bool overwrite;
  const char* expected;  // file part of the output name
};

}  // namespace

TEST(OutputName, UniqueInFolderAndList) {
  const NameCase cases[] = {
      {"free name", {}, {}, {}, "/v/clip.mkv", 100, false, "clip.avi"},
      {"existing file", {"clip.avi"}, {}, {}, "/v/clip.mkv", 100, false, "clip_1.avi"},
      {"first free number", {"clip.avi", "clip_1.avi"}, {}, {}, "/v/clip.mkv", 100, false, "clip_2.avi"},
      {"freed number reused", {"clip.avi", "clip_2.avi"}, {}, {}, "/v/clip.mkv", 100, false, "clip_1.avi"},
      {"overwrite keeps the name", {"clip.avi"}, {}, {}, "/v/clip.mkv", 100, true, "clip.avi"},
      {"a folder is no file", {}, {"clip.avi"}, {}, "/v/clip.mkv", 100, false, "clip.avi"},
      {"only the last dot", {}, {}, {}, "/v/a.b.c.mkv", 100, false, "a.b.c.avi"},
      {"only the last dot, numbered", {"a.b.c.avi"}, {}, {}, "/v/a.b.c.mkv", 100, false, "a.b.c_1.avi"},
      {"no extension", {}, {}, {}, "/v.d/clip", 101, false, "clip.mp4"},
      {"ra keeps its extension", {"clip.ra"}, {}, {}, "/v/clip.wav", 206, false, "clip_1.ra"},
      {"name of another row", {}, {}, {"clip.avi"}, "/v/clip.mkv", 100, false, "clip_1.avi"},
      {"rows count with overwrite", {"clip.avi"}, {}, {"clip.avi"}, "/v/clip.mkv", 100, true, "clip_1.avi"},
      {"rows and files together", {"clip_1.avi"}, {}, {"clip.avi"}, "/v/clip.mkv", 100, false, "clip_2.avi"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    for (const auto& f : c.files) dir.Touch(f);
    for (const auto& f : c.folders) dir.Mkdir(f);
    THeadlessJobForm form;
    form.Logic->OutputFolderText = [&] { return dir.str(); };
    form.Logic->OverwriteOutput = [&] { return c.overwrite; };
    form.Start();
    ChoosePreset(form, c.key);
    for (const auto& r : c.rows) AddRow(form, "/v/other.mkv", r);
    form.Logic->Job.Video_AddFileName = c.input;
    form.Logic->ApplyPresetForAdd();
    EXPECT_EQ(form.Logic->Job.Video_OutPutFileName, dir.str() + "/" + c.expected);
  }
}

TEST(OutputName, PresetWithoutEntryGivesTheBareFolder) {
  TJobSettings job;
  job.Video_AddFileName = "/v/clip.mkv";
  EXPECT_FALSE(ApplyPresetJobRow(700, "/out", job));
  std::string name = UniqueOutputName(job.Video_OutPutFileName, "/out", [](const std::string&) { return false; });
  EXPECT_EQ(name, "/out/");
}

TEST(OutputName, StoredExtensionIsTheEntrysNotTheName) {
  TJobSettings job;
  job.Video_AddFileName = "/v/song.flac";
  ASSERT_TRUE(ApplyPresetJobRow(206, "/out", job));
  EXPECT_EQ(job.Video_OutPutFileName, "/out/song.ra");
  EXPECT_EQ(job.Video_FileExt, ".rm");
  // Disc presets keep an empty stored extension while the name gets ".mpg".
  ASSERT_TRUE(ApplyPresetJobRow(111, "/out", job));
  EXPECT_EQ(job.Video_OutPutFileName, "/out/song.mpg");
}
