// Help as a user reaches it: F1 on the main window opens the help document
// shipped beside the program; without it, F1 shows a "提示" box instead.
#include "tests/e2e/UserSession.h"

using namespace e2e;

TEST_F(UserSession, F1OpensTheShippedHelpDocumentAndAMissingOneIsTold) {
  // The document the build puts beside the program, beside this copy of it.
  const fs::path shipped = fs::path(std::getenv("VC_PROGRAM")).parent_path() / "help.html";
  ASSERT_TRUE(fs::exists(shipped)) << "no help document beside the built program";
  const fs::path help = program.parent_path() / "help.html";
  fs::copy_file(shipped, help);
  StartProgram();

  Xdo({"windowfocus", "--sync", main});
  Keys("F1");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(root / "opened"); })) << "F1 opened nothing";
  EXPECT_EQ(ReadFile(root / "opened"), help.string() + "\n");

  fs::remove(help);
  Xdo({"windowfocus", "--sync", main});
  Keys("F1");
  const std::string box = WaitWindow("提示");
  ASSERT_FALSE(box.empty()) << "no box for the missing help document";
  Step("help-missing");
  Xdo({"windowfocus", "--sync", box});
  Keys("Return");
  EXPECT_TRUE(WaitFor([&] { return Windows("提示").empty(); })) << "the box stayed";
  EXPECT_EQ(ReadFile(root / "opened"), help.string() + "\n") << "a missing document was handed to the opener";
}
