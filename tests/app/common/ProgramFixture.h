// The program's windows built headless over folders of their own: the
// services point into a fresh folder per test, files come through a
// stand-in chooser, and the log and the boxes' texts are collected.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "platform/cl/application.h"
#include "platform/testkit/harness.h"
#include "tests/media/common/MediaFixtures.h"

namespace programtest {

// Answers the open dialogs with `files` and the folder dialog with `folder`
// (empty: cancelled), noting the folder dialog's titles.
class FakeChooser : public IFileChooser {
 public:
  bool OpenFile(const std::string&, std::string& file) override {
    if (files.empty()) return false;
    file = files.front();
    return true;
  }
  bool OpenFiles(const std::string&, std::vector<std::string>& out) override {
    out = files;
    return !files.empty();
  }
  bool SelectFolder(const std::string& title, std::string& f) override {
    titles.push_back(title);
    if (folder.empty()) return false;
    f = folder;
    return true;
  }
  std::vector<std::string> files, titles;
  std::string folder;
};

class ProgramTest : public ::testing::Test {
 protected:
  // The test's folder is <temp>/<prefix><test name>, with "prog" (option.ini)
  // and "in" (input copies); outputs go to "out".
  void SetUpProgram(const std::string& prefix, bool withSound = false) {
    ASSERT_TRUE(mediatest::LoadEngineLibraries(withSound));
    root = std::filesystem::path(mediatest::TempDir()) /
           (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "prog");
    std::filesystem::create_directories(root / "in");
    TProgramServices& s = TForm1::Services();
    s = TProgramServices{};
    s.ProgramFolder = (root / "prog").string() + "/";
    s.ConfigFolder = (root / "conf").string() + "/";
    s.DefaultOutputFolder = (root / "out").string();
    s.Chooser = &chooser;
    s.LogSink = [this](const std::string& l) { log += l + "\n"; };
    s.FailureBox = [this](const std::string& t) { failures.push_back(t); };
    s.InfoBox = [this](const std::string& t) { infos.push_back(t); };
  }
  void TearDown() override {
    if (form1 && !form1->Destroyed()) {
      bool can = true;
      form1->FormCloseQuery(form1, can);
    }
    TForm1::Services() = TProgramServices{};
  }
  // The program's four forms in their order (the settings dialog may be left out).
  void Start(bool withSettingsDialog = true) {
    cl::Application->CreateForm(form1);
    cl::Application->CreateForm(form2);
    cl::Application->CreateForm(form5);
    if (withSettingsDialog) cl::Application->CreateForm(form6);
    form1->Show();
    h.Pump();
  }
  // A copy of a fixture under its own name in the input folder.
  std::string Input(const std::string& fixture, const std::string& name) {
    const std::string src = mediatest::Fixture(fixture);
    EXPECT_FALSE(src.empty()) << fixture;
    const std::filesystem::path dst = root / "in" / name;
    std::filesystem::copy_file(src, dst, std::filesystem::copy_options::overwrite_existing);
    return dst.string();
  }

  plat::test::Harness h;
  FakeChooser chooser;
  std::filesystem::path root;
  std::string log;
  std::vector<std::string> failures, infos;
  TForm1* form1 = nullptr;
  TForm2* form2 = nullptr;
  TForm5* form5 = nullptr;
  TForm6* form6 = nullptr;
};

}  // namespace programtest
