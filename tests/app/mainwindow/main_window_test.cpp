// The main window headless on the real skinned controls: start-up from an
// empty program folder, the command groups, the options dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/ProgramDialogs.h"
#include "app/OptionsDialog.h"
#include "platform/cl/application.h"
#include "platform/rtl/dispatcher.h"
#include "platform/rtl/strings.h"
#include "platform/testkit/harness.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& p) {
  std::ifstream f(p);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("vc_main_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "prog");
    TProgramServices& s = TForm1::Services();
    s = TProgramServices{};
    s.ProgramFolder = (root / "prog").string() + "/";
    s.ConfigFolder = (root / "conf").string() + "/";
    s.DefaultOutputFolder = (root / "out").string();
    s.LogSink = [this](const std::string& l) { log += l + "\n"; };
  }
  void TearDown() override {
    TForm1::Services() = TProgramServices{};
    fs::remove_all(root);
  }
  void Start() {
    cl::Application->CreateForm(form1);
    cl::Application->CreateForm(form2);
    cl::Application->CreateForm(form5);
    cl::Application->CreateForm(form6);
    form1->Show();
    h.Pump();
  }
  std::string Ini() { return Slurp((root / "prog" / "option.ini").string()); }

  plat::test::Harness h;
  fs::path root;
  std::string log;
  TForm1* form1 = nullptr;
  TForm2* form2 = nullptr;
  TForm5* form5 = nullptr;
  TForm6* form6 = nullptr;
};

}  // namespace

TEST_F(MainWindow, FirstStartShowsTheDefaultsOfTheFirstCategory) {
  Start();
  EXPECT_EQ(form1->ClientWidth(), 806);
  EXPECT_EQ(form1->ClientHeight(), 541);
  // option.ini appeared with the output folder, the skin and the options.
  const std::string ini = Ini();
  EXPECT_NE(ini.find("OutPath=" + (root / "out").string()), std::string::npos) << ini;
  EXPECT_NE(ini.find("SetSkin=0"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Thread_Count=0"), std::string::npos) << ini;
  EXPECT_TRUE(fs::is_directory(root / "out"));
  EXPECT_EQ(form1->Video_OutPut_Folder_Edit->Text(), (root / "out").string());
  EXPECT_EQ(form1->bsSkinData1->SkinIndex(), 0);

  // The first category with its thirteen formats, the first one chosen, and
  // the six combos at that preset's defaults.
  EXPECT_EQ(form1->bsSkinOfficeComboBox2->ItemIndex(), 0);
  EXPECT_EQ(form1->bsSkinOfficeComboBox2->Items()->Items(0)->Caption(), "MOD视频");
  EXPECT_EQ(form1->bsSkinOfficeComboBox1->Items()->Count(), 13);
  EXPECT_EQ(form1->bsSkinOfficeComboBox1->ItemIndex(), 0);
  EXPECT_EQ(form1->bsSkinComboBox1->Text(), "704*480");
  EXPECT_EQ(form1->bsSkinComboBox2->Text(), "816 kbps");
  EXPECT_EQ(form1->bsSkinComboBox9->Text(), "25.00");
  EXPECT_EQ(form1->bsSkinComboBox3->Text(), "128 kbps");
  EXPECT_EQ(form1->bsSkinComboBox10->Text(), "44100");
  EXPECT_EQ(form1->bsSkinComboBox4->Text(), "保持原视频模式");

  // Only adding and the preset controls are offered; the list shows its picture.
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Add));
  EXPECT_TRUE(form1->GroupEnabled(TCommandGroup::Preset));
  for (auto g : {TCommandGroup::Remove, TCommandGroup::Clear, TCommandGroup::Start, TCommandGroup::Stop,
                 TCommandGroup::Pause, TCommandGroup::Resume})
    EXPECT_FALSE(form1->GroupEnabled(g)) << int(g);
  EXPECT_TRUE(form1->bsSkinMenuSpeedButton1->Enabled());
  EXPECT_FALSE(form1->bsSkinButton2->Enabled());
  EXPECT_FALSE(form1->MenuItem("N7")->Enabled);
  EXPECT_TRUE(form1->MenuItem("Item111")->Enabled);
  EXPECT_TRUE(form1->bsSkinPanel5->Visible());
  EXPECT_EQ(form1->lvFiles->Columns()->Count(), 25);

  EXPECT_EQ(form1->cboScreens->Items()->Get(0), "Panel6");
  EXPECT_EQ(form1->cboScreens->ItemIndex(), 0);
  EXPECT_EQ(form1->bsSkinSlider1_down_UP, "UP");
  EXPECT_EQ(form1->OpenDialogFilter.rfind("所有文件格式 (*.*)|*.*|支持的视频/音频文件格式|*.AVI;", 0), 0u);
  // The hidden settings dialog's creation leaves its mark on the main job.
  EXPECT_EQ(form1->Logic->All_Trant_Number, 100);
  EXPECT_EQ(log, "");
}

TEST_F(MainWindow, StoredSettingsAreShownAtStart) {
  std::ofstream(root / "prog" / "option.ini") << "[OutPath]\nOutPath=" << (root / "mine").string()
                                              << "\n[Skin]\nSetSkin=4\n[Options]\nThread_Count=6\n"
                                                 "After_Done=2\nThread_Priority=1\nOverwrite_File=0\nShow_Preview=1\n";
  bool preview = false;
  Start();
  form5->OnPreviewChanged = [&](bool on) { preview = on; };
  form5->Button1Click();
  EXPECT_TRUE(preview);
  EXPECT_EQ(form1->Video_OutPut_Folder_Edit->Text(), (root / "mine").string());
  EXPECT_TRUE(fs::is_directory(root / "mine"));
  EXPECT_EQ(form1->bsSkinData1->SkinIndex(), 4);
  EXPECT_EQ(form5->bsSkinComboBox2->Text(), "6");
  EXPECT_TRUE(form5->bsSkinCheckRadioBox4->Checked());
  EXPECT_FALSE(form5->bsSkinCheckRadioBox1->Checked());
  EXPECT_TRUE(form5->bsSkinCheckRadioBox10->Checked());
  EXPECT_TRUE(form5->OverwriteChecked());
  EXPECT_TRUE(form5->bsSkinCheckRadioBox8->Checked());
}

// The window is made with the skin its start ends with, so the start loads
// one skin; where no settings file can be written it keeps the form's own.
struct StartSkinCase {
  const char* name;
  const char* ini;  // nullptr: no file
  bool writable;
  int made, ends;
};

class MainWindowStartSkin : public MainWindow, public ::testing::WithParamInterface<StartSkinCase> {};

TEST_P(MainWindowStartSkin, IsTheOneTheStartEndsWith) {
  const StartSkinCase& c = GetParam();
  if (c.ini) std::ofstream(root / "prog" / "option.ini") << c.ini;
  if (!c.writable) {
    // "Folders" below a plain file can take no file, whoever runs the test.
    std::ofstream(root / "plain") << "x";
    TForm1::Services().ProgramFolder = (root / "plain" / "prog").string() + "/";
    TForm1::Services().ConfigFolder = (root / "plain" / "conf").string() + "/";
  }
  auto* made = new TForm1(nullptr);
  EXPECT_EQ(made->bsSkinData1->SkinIndex(), c.made);
  made->Free();
  Start();
  EXPECT_EQ(form1->bsSkinData1->SkinIndex(), c.ends);
}

INSTANTIATE_TEST_SUITE_P(Settings, MainWindowStartSkin,
                         ::testing::Values(StartSkinCase{"NoFile", nullptr, true, 0, 0},
                                           StartSkinCase{"Stored", "[Skin]\nSetSkin=4\n", true, 4, 4},
                                           StartSkinCase{"NoSkinKey", "[OutPath]\nOutPath=\n", true, 0, 0},
                                           StartSkinCase{"NotANumber", "[Skin]\nSetSkin=blue\n", true, 0, 0},
                                           StartSkinCase{"PastTheList", "[Skin]\nSetSkin=12\n", true, 1, 1},
                                           StartSkinCase{"NowhereToWrite", nullptr, false, 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindow, OptionsCancelOrEscapeLeaveEverySettingAsStoredAndOkWrites) {
  Start();
  const std::string before = Ini();
  // "取消": the controls show the stored values again and the file is unchanged.
  rtl::Post([&] {
    form5->bsSkinCheckRadioBox2->SetChecked(true);
    form5->bsSkinComboBox2->SetItemIndex(3);
    form5->bsSkinButton1Click();
  });
  form1->bsSkinButton19Click();
  EXPECT_TRUE(form5->bsSkinCheckRadioBox1->Checked());
  EXPECT_FALSE(form5->bsSkinCheckRadioBox2->Checked());
  EXPECT_EQ(form5->Values().AfterDone, 0);
  EXPECT_EQ(form5->ThreadCount(), 1);
  EXPECT_EQ(Ini(), before);
  // Escape is "取消" too.
  rtl::Post([&] {
    form5->bsSkinCheckRadioBox5->SetChecked(true);
    h.input.Later(
        {plat::test::Input::KeyEvent(true, win::VK_ESCAPE), plat::test::Input::KeyEvent(false, win::VK_ESCAPE)});
  });
  form1->bsSkinButton19Click();
  EXPECT_EQ(form5->Values().AfterDone, 0);
  EXPECT_EQ(Ini(), before);
  // OK: written at once, and kept in the controls.
  rtl::Post([&] {
    form5->bsSkinCheckRadioBox5->SetChecked(true);
    form5->bsSkinComboBox2->SetItemIndex(3);
    form5->bsSkinButton6Click();
  });
  form1->bsSkinButton19Click();
  const std::string after = Ini();
  EXPECT_NE(after.find("After_Done=3"), std::string::npos) << after;
  EXPECT_NE(after.find("Thread_Count=4"), std::string::npos) << after;
  EXPECT_EQ(form5->Values().AfterDone, 3);
}

namespace {

TEST_F(MainWindow, TheOpenDialogCannotBeShrunkUntilItsControlsOverlap) {
  Start();
  InstallProgramDialogs(form1);
  win::MINMAXINFO mi{};
  rtl::Post([&] {
    if (cl::TCustomForm* dlg = cl::Screen->ActiveForm())
      win::SendMessage(dlg->Handle(), win::WM_GETMINMAXINFO, 0, win::LPARAM(&mi));
    h.input.Key(win::VK_ESCAPE);
  });
  std::string file;
  EXPECT_FALSE(TForm1::Services().Chooser->OpenFile(form1->OpenDialogFilter, file));
  EXPECT_GE(mi.ptMinTrackSize.X, 380);
  EXPECT_GE(mi.ptMinTrackSize.Y, 260);
}

TEST_F(MainWindow, TheProgramsSkinnedDialogsAnswerTheKeyboard) {
  Start();
  InstallProgramDialogs(form1);
  TProgramServices& s = TForm1::Services();
  auto keysLater = [&](std::vector<uint16_t> keys) {
    std::vector<win::RawInput> ev;
    for (uint16_t k : keys) {
      ev.push_back(plat::test::Input::KeyEvent(true, k));
      ev.push_back(plat::test::Input::KeyEvent(false, k));
    }
    h.input.Later(ev);
  };
  keysLater({win::VK_RETURN});
  s.InfoBox("在该目录没有发现可以用的视频或音频文件！");  // returns once Enter closed it
  keysLater({win::VK_ESCAPE});
  s.FailureBox("broken.avi");
  int index = 0;
  keysLater({win::VK_DOWN, win::VK_RETURN});
  ASSERT_TRUE(s.ChooseSkin(index));
  EXPECT_EQ(index, 1);
  keysLater({win::VK_ESCAPE});
  EXPECT_FALSE(s.ChooseSkin(index));
  EXPECT_EQ(index, 1) << "Cancel keeps the skin";
  ASSERT_NE(s.Chooser, nullptr);
  // Escape cancels the open dialog: nothing chosen.
  std::string file = "unchanged";
  // The key goes in once the dialog's loop runs, so it holds the keyboard
  // (its name field has the focus).
  rtl::Post([&] { h.input.Key(win::VK_ESCAPE); });
  EXPECT_FALSE(s.Chooser->OpenFile(form1->OpenDialogFilter, file));
  EXPECT_EQ(file, "unchanged");
  // Escape leaves the options dialog as its "取消" does, writing nothing.
  const std::string before = Ini();
  keysLater({win::VK_ESCAPE});
  form1->bsSkinButton19Click();  // returns once Escape closed it
  EXPECT_FALSE(form5->Visible());
  EXPECT_EQ(Ini(), before);
}

// The skinned dialogs, message boxes and menus take their texts from the
// main window's skin store: in every skin they speak the program's Chinese.
TEST_F(MainWindow, SkinnedWindowsShowChineseTexts) {
  Start();
  const struct {
    const char* Key;
    const char* Text;
  } cases[] = {
      {"FLV_LOOKIN", "查找范围："},
      {"MSG_FILENAME", "文件名："},
      {"MSG_FILETYPE", "文件类型："},
      {"MSG_BTN_OPEN", "打开(&O)"},
      {"MSG_BTN_SAVE", "保存(&S)"},
      {"MSG_BTN_CANCEL", "取消"},
      {"MSG_BTN_OK", "确定"},
      {"MSG_BTN_YES", "是(&Y)"},
      {"MSG_BTN_NO", "否(&N)"},
      {"EDIT_CUT", "剪切"},
      {"EDIT_COPY", "复制"},
      {"EDIT_PASTE", "粘贴"},
      {"EDIT_DELETE", "删除"},
      {"EDIT_SELECTALL", "全选"},
      {"MI_RESTORECAPTION", "还原(&R)"},
      {"MI_MINCAPTION", "最小化(&N)"},
      {"MI_MAXCAPTION", "最大化(&X)"},
      {"MI_CLOSECAPTION", "关闭(&C)"},
      {"FLV_NAME", "名称"},
      {"MSG_NEWFOLDER", "新建文件夹"},
      {"MSG_CAP_WARNING", "警告"},
  };
  for (int index : {0, 10}) {
    form1->bsSkinData1->SetSkinIndex(index);
    h.Pump();
    skin::TbsResourceStrData* texts = form1->bsSkinData1->ResourceStrData();
    ASSERT_NE(texts, nullptr);
    for (const auto& c : cases) EXPECT_EQ(texts->GetResStr(c.Key), c.Text) << c.Key << " in skin " << index;
  }
  // Keys no window of the program reads keep the library's text.
  EXPECT_EQ(form1->bsSkinData1->ResourceStrData()->GetResStr("PRNDLG_PRINTER"), "Printer");
}

TEST_F(MainWindow, ALongOutputFolderShowsItsEnd) {
  const std::string deep = (root / "a rather long folder name" / "another level" / "输出").string();
  TForm1::Services().DefaultOutputFolder = deep;
  Start();
  auto* e = form1->Video_OutPut_Folder_Edit;
  ASSERT_EQ(e->Text(), deep);
  const int end = int(rtl::ToUtf32(deep).size());
  EXPECT_LE(e->PosFromChar(end).X, e->ClientWidth()) << "the folder's own name is out of sight";
}

TEST_F(MainWindow, TheEmptyListPictureKeepsItsWhiteOnADarkList) {
  Start();
  // 暗夜黑 and 石墨灰 have dark lists: the grey text turns light, while the
  // sign on the green badge and the page stay white.
  for (int index : {2, 3}) {
    form1->bsSkinData1->SetSkinIndex(index);
    h.Pump();
    gfx::TBitmap* b = form1->EmptyListImage->Picture()->Bitmap();
    int white = 0, light = 0;
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) {
        const gfx::COLORREF c = gfx::ColorToRef(b->Canvas()->Pixels(x, y));
        const int r = gfx::GetRValue(c), g = gfx::GetGValue(c), bl = gfx::GetBValue(c);
        if (r >= 250 && g >= 250 && bl >= 250) ++white;
        const int hi = std::max({r, g, bl});
        if (hi >= 160 && hi - std::min({r, g, bl}) < 24) ++light;
      }
    EXPECT_GT(white, 300) << "skin " << index;  // the page's fill alone is larger
    EXPECT_GT(light, white) << "skin " << index << ": the light-turned text";
  }
}

}  // namespace
