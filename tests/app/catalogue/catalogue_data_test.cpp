// Invariants of the built-in catalogue and preset tables: the properties the
// main window relies on, checked over the whole data rather than restated.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/FormatCatalogue.h"
#include "app/JobModel.h"
#include "platform/rtl/format.h"

using namespace catalogue;

namespace {

std::vector<int> ReachableKeys() {
  std::vector<int> keys;
  for (int item = 0; item < kChooserItemCount; ++item) {
    int id = CategoryIdMap(item);
    for (int i = 0; i < FormatCount(id); ++i) keys.push_back(PresetKey(id, i));
  }
  return keys;
}

}  // namespace

TEST(CatalogueData, CategoriesAndFormatsAreNumberedWithoutGaps) {
  int total = 0;
  int longest = 0;
  for (int id = 0; id < kCategoryCount; ++id) {
    const CategoryDef& c = kCategories[id];
    EXPECT_EQ(c.id, id);
    EXPECT_EQ(c.firstFormat, total) << "category " << id;
    EXPECT_GT(c.formatCount, 0);
    for (int i = 0; i < c.formatCount; ++i) {
      const FormatDef* f = Format(id, i);
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->key, PresetKey(id, i));
      EXPECT_EQ(FormatByKey(f->key), f);
    }
    total += c.formatCount;
    longest = std::max(longest, c.formatCount);
  }
  EXPECT_EQ(total, kFormatCount);
  EXPECT_LT(longest, 100) << "the format index must fit the key's last two digits";
  EXPECT_EQ(kFormats[0].key, 100);
  EXPECT_EQ(kFormats[kFormatCount - 1].key, 2812);
  EXPECT_EQ(Format(0, 15), nullptr);
  EXPECT_EQ(Format(28, 0), nullptr);
  EXPECT_EQ(FormatByKey(99), nullptr);
}

TEST(CatalogueData, EveryFormatHasATitleWithAnExtensionAndACaption) {
  const std::regex titleEnd(R"(\(\*\.[0-9a-z]{2,4}\)$)");
  for (const FormatDef& f : kFormats) {
    std::string title = f.title;
    EXPECT_TRUE(std::regex_search(title, titleEnd)) << f.key << " " << title;
    EXPECT_FALSE(std::string(f.caption).empty()) << f.key;
    std::string ext = FormatExtension(title);
    EXPECT_EQ(ext, title.substr(title.rfind("(*") + 2, title.size() - title.rfind("(*") - 3)) << f.key;
  }
}

TEST(CatalogueData, ChooserReachesTwentyCategoriesAnd203Presets) {
  std::set<int> ids;
  for (int item = 0; item < kChooserItemCount; ++item) ids.insert(CategoryIdMap(item));
  EXPECT_EQ(ids.size(), 20u);
  EXPECT_EQ(CategoryIdMap(-1), -1);
  EXPECT_EQ(CategoryIdMap(20), -1);
  EXPECT_EQ(CategoryIdMap(0), 22) << "the chooser starts on MOD video";
  EXPECT_EQ(std::string(kCategoryChooser[0].caption), "MOD视频");

  std::vector<int> keys = ReachableKeys();
  EXPECT_EQ(keys.size(), static_cast<size_t>(kPresetCount));
  std::set<int> reachable(keys.begin(), keys.end());
  EXPECT_EQ(reachable.size(), keys.size());

  // Exactly one job row and one option row per reachable key, none else.
  for (int i = 0; i < kPresetCount; ++i) {
    EXPECT_TRUE(reachable.count(kJobRows[i].key)) << kJobRows[i].key;
    EXPECT_TRUE(reachable.count(kOptionRows[i].key)) << kOptionRows[i].key;
    if (i > 0) {
      EXPECT_LT(kJobRows[i - 1].key, kJobRows[i].key);
      EXPECT_LT(kOptionRows[i - 1].key, kOptionRows[i].key);
    }
  }
  for (const FormatDef& f : kFormats) {
    bool r = reachable.count(f.key) > 0;
    EXPECT_EQ(JobRowFor(f.key) != nullptr, r) << f.key;
    EXPECT_EQ(OptionRowFor(f.key) != nullptr, r) << f.key;
  }
}

TEST(CatalogueData, OutputExtensionOfEveryReachablePresetComesFromItsTitle) {
  for (int key : ReachableKeys()) {
    const JobRow* job = JobRowFor(key);
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(FormatExtension(FormatByKey(key)->title), job->ext) << key;
  }
  // The short and long extensions that the four-character rule has to cut.
  EXPECT_EQ(FormatExtension("RM - REAL视频格式(*.rm)"), ".rm");
  EXPECT_EQ(FormatExtension("RA - RealAudio音频格式(*.ra)"), ".ra");
  EXPECT_EQ(FormatExtension("FLAC-音频格式(*.flac)"), ".flac");
  EXPECT_EQ(FormatExtension("AIFF - 音频交换文件格式(*.aiff)"), ".aiff");
  // The settings dialog's ALAC title ends in a blank, which the rule knows.
  EXPECT_EQ(FormatExtension("ALAC-Apple Lossless无损音频格式(*.alac) "), ".alac");
  EXPECT_EQ(FormatExtension("x(*.mpeg)"), ".mpeg");
  EXPECT_EQ(FormatExtension("iPad MPEG-4视频格式 XviD编码 (*.mp4)"), ".mp4");
  EXPECT_EQ(FormatExtension(""), "");
}

TEST(CatalogueData, OptionListsAreDistinctSmallAndReadable) {
  std::map<ComboRole, std::set<std::vector<std::string>>> byRole;
  for (const OptionList& list : kOptionLists) {
    EXPECT_GE(list.count, 1) << list.id;
    EXPECT_LE(list.count, 28) << list.id << ": an index must fit two digits";
    std::vector<std::string> items(list.items, list.items + list.count);
    EXPECT_EQ(std::set<std::string>(items.begin(), items.end()).size(), items.size()) << list.id;
    EXPECT_TRUE(byRole[list.role].insert(items).second) << list.id << " repeats another list";
    // Every text can be read back into a job without a conversion error.
    for (const std::string& text : items) {
      TJobSettings job;
      EXPECT_NO_THROW(ApplyComboText(list.role, text, job)) << list.id << " " << text;
    }
  }
}

TEST(CatalogueData, OptionRowsNameListsOfTheirComboWithDefaultsInside) {
  for (const OptionRow& row : kOptionRows) {
    for (int r = 0; r < kComboCount; ++r) {
      const OptionCell& cell = row.cells[r];
      ASSERT_GE(cell.list, 0);
      ASSERT_LT(cell.list, kOptionListCount);
      const OptionList& list = List(cell.list);
      EXPECT_EQ(static_cast<int>(list.role), r) << row.key << " " << list.id;
      EXPECT_GE(cell.defaultIndex, 0) << row.key;
      EXPECT_LT(cell.defaultIndex, list.count) << row.key << " " << list.id;
    }
  }
}

TEST(CatalogueData, AudioOnlyPresetsAgreeAcrossBothTables) {
  const std::set<ComboRole> videoCombos = {ComboRole::FrameSize, ComboRole::VideoBitrate, ComboRole::FrameRate,
                                           ComboRole::Zoom};
  int audioOnly = 0;
  for (int key : ReachableKeys()) {
    const JobRow* job = JobRowFor(key);
    const OptionRow* opt = OptionRowFor(key);
    bool anyOff = false;
    for (int r = 0; r < kComboCount; ++r) {
      const OptionCell& cell = opt->cells[r];
      if (!cell.disabled) continue;
      anyOff = true;
      EXPECT_TRUE(videoCombos.count(static_cast<ComboRole>(r))) << key;
      const OptionList& list = List(cell.list);
      ASSERT_EQ(list.count, 1) << key;
      EXPECT_EQ(std::string(list.items[0]), r == 0 ? "该格式无视频" : "无视频") << key;
    }
    EXPECT_EQ(anyOff, job->noVideo) << key;
    if (job->noVideo) {
      ++audioOnly;
      for (int r = 0; r < kComboCount; ++r)
        EXPECT_EQ(opt->cells[r].disabled, videoCombos.count(static_cast<ComboRole>(r)) > 0) << key;
      EXPECT_STREQ(job->videoCodec, "") << key;
      EXPECT_EQ(job->videoBitrate, -1) << key;
    }
    EXPECT_EQ(IsAudioOnly(key), job->noVideo);
  }
  EXPECT_EQ(audioOnly, 18);
}

TEST(CatalogueData, JobRowValuesFollowTheirConventions) {
  for (const JobRow& job : kJobRows) {
    std::string target = job.target;
    if (!target.empty()) {
      EXPECT_TRUE(target == "dvd" || target == "svcd" || target == "vcd") << job.key;
      EXPECT_STREQ(job.norm, "PAL") << job.key;
      EXPECT_EQ(job.videoBitrate, -1000) << job.key;
      EXPECT_EQ(job.audioBitrate, -1000) << job.key;
    } else {
      EXPECT_STREQ(job.norm, "") << job.key;
      EXPECT_TRUE(job.videoBitrate == -1 || job.videoBitrate > 0) << job.key;
      EXPECT_TRUE(job.audioBitrate == -1 || job.audioBitrate > 0) << job.key;
    }
    for (const char* number : {job.audioChannels, job.audioSampleRate})
      if (*number) {
        EXPECT_NO_THROW(rtl::StrToInt(number)) << job.key;
      }
    std::string size = job.frameSize;
    if (!size.empty()) {
      EXPECT_TRUE(std::regex_match(size, std::regex(R"(\d+\*\d+)"))) << job.key;
    }
    EXPECT_TRUE(std::string(job.fileExt).empty() || job.fileExt[0] == '.') << job.key;
  }
  // The one preset whose stored extension differs from its file name's.
  EXPECT_STREQ(JobRowFor(206)->ext, ".ra");
  EXPECT_STREQ(JobRowFor(206)->fileExt, ".rm");
}
