// The selection cascade over headless controls with the skinned controls'
// event behaviour: what choosing a category, a format, a preset value or a
// row does to the combos, the selected row and the JobSettings, and in which
// order the change events run.
#include <gtest/gtest.h>

#include "app/JobParams.h"
#include "app/HiddenSettingsDialog.h"
#include "test_helpers.h"

using catalogue::ComboRole;

namespace {

using Events = std::vector<std::string>;

const ComboRole kAllRoles[] = {ComboRole::FrameSize,    ComboRole::VideoBitrate, ComboRole::FrameRate,
                               ComboRole::AudioBitrate, ComboRole::SampleRate,   ComboRole::Zoom};

std::vector<std::string> Texts(THeadlessJobForm& form) {
  std::vector<std::string> out;
  for (ComboRole r : kAllRoles) out.push_back(form.Combo(r).Text());
  return out;
}

struct Fixture : ::testing::Test {
  TempFolder dir;
  THeadlessJobForm form;
  bool overwrite = false;

  void SetUp() override {
    form.Logic->OutputFolderText = [this] { return dir.str(); };
    form.Logic->OverwriteOutput = [this] { return overwrite; };
    form.Start();
    form.Events.clear();
  }

  // Everything the row must show after its preset was chosen (or replayed).
  void ExpectRowFollowsChoice(int row, int key) {
    SCOPED_TRACE("key " + std::to_string(key));
    TMainJobLogic& logic = *form.Logic;
    ASSERT_EQ(logic.CurrentPresetKey(), key);
    const catalogue::JobRow* entry = catalogue::JobRowFor(key);
    ASSERT_NE(entry, nullptr);
    const TMemoryFileList::Row& r = form.Files.At(row);
    EXPECT_EQ(r.cells[colCategoryCode], logic.CurrentCategoryCode());
    EXPECT_EQ(r.cells[colPresetOptionCode], logic.CurrentPresetOptionCode());
    EXPECT_EQ(ExtractFileExt(r.cells[colOutputFile]), entry->ext);
    EXPECT_EQ(r.cells[colVideoCodec], entry->videoCodec);
    EXPECT_EQ(r.cells[colAudioCodec], entry->audioCodec);
    EXPECT_EQ(r.cells[colAudioChannels], entry->audioChannels);
    EXPECT_EQ(r.cells[colVideoTag], entry->videoTag);
    EXPECT_EQ(r.cells[colFileExt], entry->fileExt);
    EXPECT_EQ(r.cells[colNoVideo], entry->noVideo ? "True" : "False");
    EXPECT_EQ(r.cells[colTargetType], entry->target);
    EXPECT_EQ(r.cells[colNormType], entry->norm);
    // The option columns and the JobSettings hold what the combos show.
    for (ComboRole role : kAllRoles) {
      TJobSettings shown = logic.Job;
      ApplyComboText(role, form.Combo(role).Text(), shown);
      EXPECT_EQ(r.cells[OptionColumn(role)], OptionColumnText(role, shown));
      EXPECT_EQ(OptionColumnText(role, logic.Job), OptionColumnText(role, shown));
    }
    EXPECT_EQ(logic.Job.Video_VideoCodec, entry->videoCodec);
    EXPECT_EQ(logic.Job.Video_TargetType, entry->target);
    EXPECT_EQ(logic.Job.Video_DisableVideo, entry->noVideo);
    EXPECT_EQ(logic.All_Trant_Number, key);
  }
};

}  // namespace

TEST_F(Fixture, StartUpFillsTheModPresetAndFiresEveryCombo) {
  THeadlessJobForm fresh;
  fresh.Start();
  EXPECT_EQ(fresh.Events, (Events{"format.click", "format.change", "combo1.change", "combo2.change", "combo9.change",
                                  "combo3.change", "combo10.change", "combo4.change"}));
  EXPECT_EQ(Texts(fresh),
            (std::vector<std::string>{"704*480", "816 kbps", "25.00", "128 kbps", "44100", "保持原视频模式"}));
  EXPECT_EQ(fresh.Logic->All_Trant_Number, 2300);
  ASSERT_EQ(fresh.Format.ItemCount(), 13);
  EXPECT_EQ(fresh.Format.ItemIndex(), 0);
  for (int i = 0; i < fresh.Format.ItemCount(); ++i) EXPECT_EQ(fresh.Format.At(i).imageIndex, i % 2);
  EXPECT_EQ(fresh.Format.At(0).title, "MOD视频转换为标准AVI视频(*.avi)");
  EXPECT_EQ(fresh.Files.Count(), 0);
}

TEST_F(Fixture, OnlyCombosWhoseTextChangesFireTheirEvent) {
  form.Format.SetItemIndex(0);  // the same format again
  EXPECT_EQ(form.Events, (Events{"format.click", "format.change"}));

  form.Events.clear();
  form.Category.SetItemIndex(2);  // 常用视频: key 100 differs from 2300 only in the frame size
  EXPECT_EQ(form.Events,
            (Events{"category.click", "category.change", "format.click", "format.change", "combo1.change"}));
  EXPECT_EQ(form.FrameSize.Text(), "保持原分辨率");
  EXPECT_EQ(form.Format.ItemCount(), 15);
  EXPECT_EQ(form.Logic->All_Trant_Number, 100);

  form.Events.clear();
  form.Category.SetItemIndex(11);  // 智能手机, the longest list
  EXPECT_EQ(form.Format.ItemCount(), 16);
  EXPECT_EQ(form.Logic->CurrentPresetKey(), 2500);
}

TEST_F(Fixture, AudioOnlyPresetsDisableTheVideoCombos) {
  ChoosePreset(form, 212);
  for (ComboRole r : kAllRoles) {
    bool video = r != ComboRole::AudioBitrate && r != ComboRole::SampleRate;
    EXPECT_EQ(form.Combo(r).Enabled(), !video);
    if (video) {
      EXPECT_EQ(form.Combo(r).ItemCount(), 1);
    }
  }
  EXPECT_EQ(Texts(form), (std::vector<std::string>{"该格式无视频", "无视频", "无视频", "7.4 kbps", "8000", "无视频"}));
  ChoosePreset(form, 100);
  for (ComboRole r : kAllRoles) EXPECT_TRUE(form.Combo(r).Enabled());
  EXPECT_EQ(form.FrameSize.ItemCount(), 28);

  // The selected row of an audio-only preset: no video values, the AMR audio ones.
  AddRow(form, "/v/voice.wav", "voice.avi");
  form.Files.Select(0);
  ChoosePreset(form, 212);
  const auto& cells = form.Files.At(0).cells;
  EXPECT_EQ(cells[colFrameSize], "");
  EXPECT_EQ(cells[colVideoBitrate], "-1000");
  EXPECT_EQ(cells[colFrameRate], "");
  EXPECT_EQ(cells[colAspect], "");
  EXPECT_EQ(cells[colAudioBitrate], "7400");
  EXPECT_EQ(cells[colSampleRate], "8000");
  EXPECT_EQ(cells[colNoVideo], "True");
  EXPECT_EQ(cells[colOutputFile], "voice.amr");
}

TEST_F(Fixture, ChoosingAnyPresetRewritesTheSelectedRow) {
  AddRow(form, "/v/clip.mkv", "clip.avi");
  form.Files.Select(0);
  for (int i = 0; i < catalogue::kPresetCount; ++i) {
    int key = catalogue::kJobRows[i].key;
    ChoosePreset(form, key);
    ExpectRowFollowsChoice(0, key);
    if (HasFailure()) break;
  }
  EXPECT_EQ(form.Files.At(0).cells[colInputFile], "/v/clip.mkv");
}

TEST_F(Fixture, WithoutASelectedRowTheHandlersLeaveRowsAlone) {
  AddRow(form, "/v/clip.mkv", "clip.avi");
  TMemoryFileList::Row before = form.Files.At(0);
  ChoosePreset(form, 101);
  form.FrameSize.SetItemIndex(4);
  EXPECT_EQ(form.Files.At(0).cells, before.cells);
  EXPECT_EQ(form.Logic->Job.Video_FrameSize, "") << "with no row the six handlers change nothing";
}

TEST_F(Fixture, PresetValueChosenUpdatesItsPairColumnAndField) {
  AddRow(form, "/v/clip.mkv", "clip.avi");
  form.Files.Select(0);
  std::string code = form.Files.At(0).cells[colPresetOptionCode];
  form.Events.clear();
  form.FrameSize.SetItemIndex(5);
  form.AudioBitrate.SetItemIndex(3);
  EXPECT_EQ(form.Events, (Events{"combo1.change", "combo3.change"}));
  const auto& cells = form.Files.At(0).cells;
  std::string expected = WithOptionPair(WithOptionPair(code, 0, 5), 2, 3);
  EXPECT_EQ(cells[colPresetOptionCode], expected);
  EXPECT_EQ(cells[colFrameSize], form.FrameSize.Item(5));
  EXPECT_EQ(form.Logic->Job.Video_FrameSize, form.FrameSize.Item(5));
  EXPECT_EQ(cells[colAudioBitrate], "40000");
  EXPECT_EQ(form.Logic->Job.Video_AudioBitrate, 40000);

  form.Events.clear();
  form.FrameSize.SetItemIndex(5);  // same text: no event
  EXPECT_TRUE(form.Events.empty());
}

TEST_F(Fixture, SelectingARowReplaysItsSavedChoice) {
  // Row A: MOD preset 2303 with a frame size and zoom of its own; row B: AMR audio.
  ChoosePreset(form, 2303);
  AddRow(form, "/v/a.mod", "a.mpg");
  form.Files.Select(0);
  form.FrameSize.SetItemIndex(5);
  form.Zoom.SetItemIndex(2);
  form.Files.Select(-1);
  ChoosePreset(form, 212);
  AddRow(form, "/v/b.wav", "b.amr");
  form.Files.Select(1);
  ExpectRowFollowsChoice(1, 212);

  form.Events.clear();
  form.Files.Select(0);
  ExpectRowFollowsChoice(0, 2303);
  EXPECT_EQ(form.FrameSize.ItemIndex(), 5);
  EXPECT_EQ(form.Zoom.Text(), "宽屏视频16:9模式");
  EXPECT_EQ(form.Files.At(0).cells[colFrameSize], form.FrameSize.Item(5));
  EXPECT_EQ(form.Files.At(0).cells[colAspect], "16:9");
  EXPECT_EQ(form.Files.At(0).cells[colOutputFile], "a.mpg");
  EXPECT_EQ(form.Logic->T_Movie_PLayer_FileName, "/v/a.mod");
  // The lists are refilled twice: once for the category's first format, once for the row's.
  EXPECT_EQ(std::count(form.Events.begin(), form.Events.end(), "format.change"), 2);
  EXPECT_EQ(form.Events.front(), "select");

  TMemoryFileList::Row before = form.Files.At(0);
  form.Files.Select(0);
  EXPECT_EQ(form.Files.At(0).cells, before.cells) << "selecting a row again changes nothing in it";
  EXPECT_EQ(form.Files.At(1).cells[colOutputFile], "b.amr");
}

TEST_F(Fixture, SelectingARowOpensThePreviewAtTheStart) {
  int seekResets = 0, opened = 0;
  form.Logic->ResetSeekBar = [&] { ++seekResets; };
  form.Logic->Button31Click = [&] { ++opened; };
  AddRow(form, "/v/clip.mkv", "clip.avi");
  form.Files.Select(0);
  EXPECT_EQ(seekResets, 1);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(form.Logic->T_Movie_PLayer_FileName, "/v/clip.mkv");
}

TEST_F(Fixture, ADamagedRowIsIgnoredQuietly) {
  AddRow(form, "/v/clip.mkv", "clip.avi");
  form.Files.SetCell(0, colCategoryCode, "abc");
  TMemoryFileList::Row before = form.Files.At(0);
  auto texts = Texts(form);
  form.Files.Select(0);
  EXPECT_EQ(form.Events, (Events{"select"}));
  EXPECT_EQ(form.Files.At(0).cells, before.cells);
  EXPECT_EQ(Texts(form), texts);
  form.Files.Select(-1);  // deselection: nothing to do
}

TEST_F(Fixture, ReplayDoesNotRenumberARowThroughTheFirstFormat) {
  // Row A converts to clip.avi; row B to clip.mp4 in a category whose first
  // format is an AVI one. Replaying B passes through ".avi" on the way.
  ChoosePreset(form, 2300);
  AddRow(form, "/v/clip.mod", "clip.avi");
  ChoosePreset(form, 2305);
  AddRow(form, "/w/clip.mod", "clip.mp4");
  form.Files.Select(1);
  EXPECT_EQ(form.Files.At(1).cells[colOutputFile], "clip.mp4");
  form.Files.Select(0);
  EXPECT_EQ(form.Files.At(0).cells[colOutputFile], "clip.avi");
}

TEST_F(Fixture, ChangingTheFormatKeepsNamesUnique) {
  ChoosePreset(form, 2300);
  AddRow(form, "/v/clip.mod", "clip.avi");
  AddRow(form, "/w/clip.mod", "clip.avi");  // two rows that share a name
  ChoosePreset(form, 2305);
  AddRow(form, "/x/clip.mod", "clip.mp4");
  form.Files.Select(1);
  EXPECT_EQ(form.Files.At(1).cells[colOutputFile], "clip_1.avi") << "the replay resolves the shared name";
  form.Files.Select(2);
  EXPECT_EQ(form.Files.At(2).cells[colOutputFile], "clip.mp4");
  ChoosePreset(form, 2300);  // the user picks AVI for row 2
  EXPECT_EQ(form.Files.At(2).cells[colOutputFile], "clip_2.avi");
  ExpectRowFollowsChoice(2, 2300);
}

TEST_F(Fixture, ChangingTheFormatCountsFilesOnDiskUnlessOverwriting) {
  ChoosePreset(form, 2300);
  AddRow(form, "/v/clip.mod", "clip.avi");
  AddRow(form, "/v/film.mod", "film.avi");
  dir.Touch("clip.mp4");
  dir.Touch("film.mp4");
  form.Files.Select(0);
  ChoosePreset(form, 2305);
  EXPECT_EQ(form.Files.At(0).cells[colOutputFile], "clip_1.mp4");
  overwrite = true;
  form.Files.Select(1);
  ChoosePreset(form, 2305);
  EXPECT_EQ(form.Files.At(1).cells[colOutputFile], "film.mp4");
  // A replay never looks at the disk: a converted row keeps its name.
  overwrite = false;
  form.Files.Select(0);
  form.Files.Select(1);
  EXPECT_EQ(form.Files.At(1).cells[colOutputFile], "film.mp4");
}

TEST_F(Fixture, AddingDoesNotRewriteTheSelectedRow) {
  ChoosePreset(form, 2300);
  AddRow(form, "/v/clip.mod", "clip.avi");
  form.Files.Select(0);
  TMemoryFileList::Row before = form.Files.At(0);
  form.Logic->Job.Video_AddFileName = "/v/other.mkv";
  form.Logic->ApplyPresetForAdd();
  EXPECT_EQ(form.Files.At(0).cells, before.cells);
  EXPECT_EQ(form.Logic->Job.Video_OutPutFileName, dir.str() + "/other.avi");

  // The hidden command itself still copies the job into the selected row.
  form.Files.SetCell(0, colVideoCodec, "x");
  form.Logic->Button5Click();
  EXPECT_EQ(form.Files.At(0).cells[colVideoCodec], "mpeg4");
  EXPECT_EQ(form.Files.At(0).cells[colFrameSize], "") << "the entry's own value, not the combo's";
}

TEST(HiddenSettingsDialog, CreationLeavesKey100AndVideoOn) {
  THeadlessJobForm mainForm;
  mainForm.Start();
  mainForm.Logic->Job.Video_DisableVideo = true;
  ChoosePreset(mainForm, 200);

  TMemoryOfficeCombo category, format;
  TMemoryPresetCombo combos[catalogue::kComboCount];
  TForm6Logic::Ports ports;
  ports.Category = &category;
  ports.Format = &format;
  for (int i = 0; i < catalogue::kComboCount; ++i) ports.Combos.box[i] = &combos[i];
  TForm6Logic dialog(ports, *mainForm.Logic);
  format.OnClick = [&] { dialog.bsSkinOfficeComboBox1Click(); };
  category.OnChange = [&] { dialog.bsSkinOfficeComboBox2Change(); };
  for (int i = 0; i < TForm6Logic::kCategoryItems; ++i) category.ItemsAdd("", TForm6Logic::CategoryCaption(i), i);
  category.OnChange = nullptr;
  category.SetItemIndex(0);
  category.OnChange = [&] { dialog.bsSkinOfficeComboBox2Change(); };
  mainForm.Logic->Job.Video_DisableVideo = true;

  dialog.FormCreate();
  EXPECT_EQ(mainForm.Logic->All_Trant_Number, 100);
  EXPECT_FALSE(mainForm.Logic->Job.Video_DisableVideo);
  EXPECT_EQ(format.ItemCount(), 15);
  EXPECT_EQ(combos[0].Text(), "保持原分辨率");

  category.SetItemIndex(4);
  EXPECT_EQ(format.ItemCount(), 6);
  EXPECT_EQ(format.ItemTitle(0), "iPhone MPEG-4视频(*.mp4)");
  category.SetItemIndex(6);  // 3GP: never offered by the main window, only the AMR rates of its own
  EXPECT_EQ(format.ItemCount(), 14);
  EXPECT_EQ(mainForm.Logic->All_Trant_Number, 700);
  for (int i = 0; i < catalogue::kComboCount; ++i) {
    EXPECT_EQ(combos[i].ItemCount(), i == int(catalogue::ComboRole::AudioBitrate) ? 6 : 0);
    EXPECT_TRUE(combos[i].Enabled());
  }
  EXPECT_EQ(TForm6Logic::FormatTitle(1, 11), "ALAC-Apple Lossless无损音频格式(*.alac) ");
}

TEST(HiddenSettingsDialog, OkWritesTheJobWithoutResetAndNumbersTheName) {
  TempFolder dir;
  dir.Touch("clip.avi");
  THeadlessJobForm mainForm;
  mainForm.Logic->OutputFolderText = [&] { return dir.str(); };
  mainForm.Start();
  mainForm.Logic->Job.Video_AddFileName = "/v/clip.mkv";
  mainForm.Logic->Job.Video_VideoFilters = "hflip";  // survives: the dialog does not reset

  TMemoryOfficeCombo category, format;
  TMemoryPresetCombo combos[catalogue::kComboCount];
  TForm6Logic::Ports ports{&category, &format, {}};
  for (int i = 0; i < catalogue::kComboCount; ++i) ports.Combos.box[i] = &combos[i];
  TForm6Logic dialog(ports, *mainForm.Logic);
  format.OnClick = [&] { dialog.bsSkinOfficeComboBox1Click(); };
  for (int i = 0; i < TForm6Logic::kCategoryItems; ++i) category.ItemsAdd("", TForm6Logic::CategoryCaption(i), i);
  category.SetItemIndex(0);
  dialog.FormCreate();
  int closed = 0;
  dialog.Close = [&] { ++closed; };

  dialog.bsSkinButton2Click();
  const TJobSettings& job = mainForm.Logic->Job;
  EXPECT_EQ(job.Video_OutPutFileName, dir.str() + "/clip_1.avi");
  EXPECT_EQ(job.Video_VideoCodec, "mpeg4");
  EXPECT_EQ(job.Video_VideoFilters, "hflip");
  EXPECT_EQ(job.Video_VideoBitrate, 816000) << "the dialog's combo, read back";
  EXPECT_EQ(closed, 1);
}

// The dialog's own preset values: the AMR rates of the 3GP presets and the
// ALAC encoder of the audio format 11.
TEST(HiddenSettingsDialog, OwnPresetValuesForAmrAndAlac) {
  TempFolder dir;
  THeadlessJobForm mainForm;
  mainForm.Logic->OutputFolderText = [&] { return dir.str(); };
  mainForm.Start();
  TMemoryOfficeCombo category, format;
  TMemoryPresetCombo combos[catalogue::kComboCount];
  TForm6Logic::Ports ports{&category, &format, {}};
  for (int i = 0; i < catalogue::kComboCount; ++i) ports.Combos.box[i] = &combos[i];
  TForm6Logic dialog(ports, *mainForm.Logic);
  format.OnClick = [&] { dialog.bsSkinOfficeComboBox1Click(); };
  for (int i = 0; i < TForm6Logic::kCategoryItems; ++i) category.ItemsAdd("", TForm6Logic::CategoryCaption(i), i);
  struct Case {
    int category, format;
    const char *audioCodec, *videoCodec, *fileExt, *outName;
    int audioBitrate;
    bool amrRates;
  } cases[] = {
      {6, 0, "libamr_nb", "h263", "", "clip", 12000, true},    {6, 2, "libamr_nb", "", ".3gp", "clip.3gp", 12000, true},
      {6, 4, "libamr_nb", "", "", "clip", -1, true},           {6, 1, "", "", "", "clip", -1, false},
      {1, 11, "alac", "", ".alac", "clip.m4a", 128000, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.category * 100 + 100 + c.format);
    TJobSettings& job = mainForm.Logic->Job;
    job.Reset();
    job.Video_AddFileName = "/v/clip";
    category.SetItemIndex(c.category);
    dialog.Button2Click();
    format.SetItemIndex(c.format);
    dialog.Button5Click();
    EXPECT_EQ(job.Video_AudioCodec, c.audioCodec);
    EXPECT_EQ(job.Video_AudioBitrate, c.audioBitrate);
    if (*c.videoCodec) EXPECT_EQ(job.Video_VideoCodec, c.videoCodec);
    if (*c.fileExt) EXPECT_EQ(job.Video_FileExt, c.fileExt);
    if (*c.fileExt) EXPECT_EQ(job.Video_OutPutFileName, dir.str() + "/" + c.outName);
    const TMemoryPresetCombo& rates = combos[int(catalogue::ComboRole::AudioBitrate)];
    if (c.amrRates) {
      ASSERT_EQ(rates.ItemCount(), 6);
      EXPECT_EQ(rates.Text(), "12 kbps");
    } else if (c.category == 6) {
      EXPECT_EQ(rates.ItemCount(), 0);
    }
  }
}

TEST_F(Fixture, EveryFileInTheFolderCountsEmptyOrNot) {
  // Adding makes no output file, so whatever lies in the folder is not the
  // rows' own: an empty file and an earlier run's output both count.
  ChoosePreset(form, 2300);
  AddRow(form, "/v/first.mod", "first.avi");
  AddRow(form, "/v/film.mod", "film.avi");
  std::ofstream(dir.str() + "/first.avi");
  dir.Touch("film.avi");
  form.Files.Select(0);
  form.Category.SetItemIndex(2);  // 常用视频, whose first format is AVI too
  EXPECT_EQ(form.Files.At(0).cells[colOutputFile], "first_1.avi");
  form.Files.Select(1);
  ChoosePreset(form, 2300);
  form.Category.SetItemIndex(2);
  EXPECT_EQ(form.Files.At(1).cells[colOutputFile], "film_1.avi");
}
