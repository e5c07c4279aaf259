// The conversion's live preview window in the program: with the options'
// preview box checked each converting task shows its pictures in a window
// framed by the main window's skin, gone when the task ends; the window is
// dragged by its picture.
#include <gtest/gtest.h>

#include <regex>

#include "app/LivePreview.h"
#include "app/OptionsDialog.h"
#include "media/Previewer.h"
#include "platform/cl/application.h"
#include "platform/rtl/dispatcher.h"
#include "tests/app/common/ProgramFixture.h"

namespace {

std::vector<TLivePreviewForm*> PreviewWindows() {
  std::vector<TLivePreviewForm*> found;
  for (int i = 0; i < cl::Screen->FormCount(); ++i)
    if (auto* f = dynamic_cast<TLivePreviewForm*>(cl::Screen->Forms(i)); f && !f->Destroyed()) found.push_back(f);
  return found;
}

// The program's window, looked at by the test after each picture it draws.
class TLookingWindow : public media::IPreviewWindow {
 public:
  TLookingWindow(std::unique_ptr<media::IPreviewWindow> w, std::function<void()> look)
      : w_(std::move(w)), look_(std::move(look)) {}
  void Show(int width, int height, std::function<void()> onClose) override {
    w_->Show(width, height, std::move(onClose));
  }
  void SetCaption(const std::string& text) override { w_->SetCaption(text); }
  void Draw(const media::TBitmap24& bitmap) override {
    w_->Draw(bitmap);
    look_();
  }

 private:
  std::unique_ptr<media::IPreviewWindow> w_;
  std::function<void()> look_;
};

class LivePreview : public programtest::ProgramTest {
 protected:
  void SetUp() override {
    SetUpProgram("live_");
    InstallLivePreviewWindow();
  }
  void TearDown() override {
    programtest::ProgramTest::TearDown();
    media::SetPreviewWindowFactory(nullptr);
  }
};

TEST_F(LivePreview, TheCheckedBoxShowsTheConvertingPicturesInASkinnedWindowThatGoesWithTheTask) {
  Start();
  chooser.files = {Input("av.avi", "a.avi")};
  form1->btnAddClick();
  ASSERT_EQ(form1->lvFiles->Items()->Count(), 1) << log;
  form5->bsSkinCheckRadioBox8->SetChecked(true);
  ASSERT_TRUE(form1->FFConv->Preview());

  // What the window showed while the task ran, looked at each time a picture
  // was drawn into it: a short task's window may come and go between two
  // passes of the UI loop.
  bool seen = false, skinned = false, onTop = false, picture = false, timeCaption = false;
  int width = 0, height = 0;
  auto look = [&] {
    for (TLivePreviewForm* w : PreviewWindows()) {
      if (!w->Visible()) continue;
      seen = true;
      skinned = w->bsSkinForm1->SkinData() == form1->bsSkinData1;
      onTop = w->FormStyle() == cl::fsStayOnTop && w->BorderStyle() == cl::bsToolWindow;
      width = w->ClientWidth();
      height = w->ClientHeight();
      timeCaption = timeCaption || std::regex_match(w->Caption(), std::regex(R"(\d\d:\d\d:\d\d\.\d\d\d)"));
      gfx::TBitmap& p = w->Picture();
      // The test source's colour bars: far from a black or empty picture.
      if (p.Width() == width && p.Height() == height && height > 40) {
        const uint8_t* row = p.ScanLine(height / 6);
        int lit = 0;
        for (int x = 0; x < width * 3; ++x) lit += row[x] > 100;
        picture = picture || lit > width;
      }
    }
  };
  media::TPreviewWindowFactory program = media::SetPreviewWindowFactory(nullptr);
  media::SetPreviewWindowFactory([&] { return std::make_unique<TLookingWindow>(program(), look); });
  form1->btnStartClick();
  ASSERT_TRUE(rtl::WaitWhilePumping(
      [&] { return form1->GroupEnabled(TCommandGroup::Clear) && !form1->GroupEnabled(TCommandGroup::Stop); }, 180000))
      << log;
  media::SetPreviewWindowFactory(program);
  EXPECT_TRUE(seen) << "no preview window during the run";
  EXPECT_TRUE(skinned);
  EXPECT_TRUE(onTop);
  // The output's size (the default preset's), kept from the first picture.
  EXPECT_GT(width, 0);
  EXPECT_GT(height, 0);
  EXPECT_TRUE(timeCaption);
  EXPECT_TRUE(picture);
  // Gone with the task.
  EXPECT_TRUE(rtl::WaitWhilePumping([&] { return PreviewWindows().empty(); }, 60000));
  EXPECT_TRUE(failures.empty());

  // Unchecked: the next run shows nothing.
  form5->bsSkinCheckRadioBox8->SetChecked(false);
  seen = false;
  form1->btnStartClick();
  ASSERT_TRUE(rtl::WaitWhilePumping(
      [&] {
        seen = seen || !PreviewWindows().empty();
        return form1->GroupEnabled(TCommandGroup::Clear) && !form1->GroupEnabled(TCommandGroup::Stop);
      },
      180000));
  EXPECT_FALSE(seen);
}

TEST_F(LivePreview, ThePictureDragsTheWindowAndClosingTellsTheEngine) {
  Start();
  auto* w = new TLivePreviewForm(nullptr, form1->bsSkinData1);
  bool closed = false;
  w->OnClosed = [&] { closed = true; };
  w->ShowFor(160, 120);
  h.Pump();
  const int left = w->Left(), top = w->Top();
  // The move loop reads the rest of the drag itself.
  using plat::test::Input;
  h.input.MoveTo(w, 80, 60);
  const win::POINT at = h.input.Cursor();
  h.input.Later({Input::MoveEvent(at.X + 20, at.Y + 10), Input::MoveEvent(at.X + 40, at.Y + 30),
                 Input::ButtonEvent(false, at.X + 40, at.Y + 30)});
  h.input.Press();
  h.Pump();
  EXPECT_EQ(w->Left(), left + 40);
  EXPECT_EQ(w->Top(), top + 30);
  EXPECT_FALSE(closed);
  w->Close();
  EXPECT_TRUE(closed);
  w->Free();
}

}  // namespace
