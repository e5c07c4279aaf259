// The skinned message boxes on the null backend: the layout of the built
// form (label, icon, client size, the centred button row), which buttons
// are default and cancel, the results of Enter and Escape in a real modal
// loop, the show-again box's write-back, captions and texts from a skin's
// texts, and the built-in skins' button height.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cl/application.h"
#include "platform/testkit/harness.h"
#include "platform/win/window.h"
#include "skin/dialogs/bsSkinMessage.h"
#include "skin/data/bsStoredSkins.h"

using namespace skin;
using plat::test::Input;

namespace {

// A component for the scope, freed at its end.
#define SKIN_OWNED(T, name, ...)                         \
  auto name##_owned = ::skin::MakeOwned<T>(__VA_ARGS__); \
  T* name = name##_owned.get()

const std::string kNoFiles = "在该目录没有发现可以用的视频或音频文件！";

class MessageDialogs : public ::testing::Test {
 public:
  void TearDown() override {
    h.Pump();
    EXPECT_EQ(h.Leaks(), "");
    EXPECT_TRUE(h.exceptions.empty());
  }
  // Enter or Escape delivered from inside the modal loop.
  void KeyLater(uint16_t vk) { h.input.Later({Input::KeyEvent(true, vk), Input::KeyEvent(false, vk)}); }

  plat::test::Harness h;
};

std::vector<std::string> ButtonNames(TbsMessageForm* F) {
  std::vector<std::string> Names;
  for (int I = 0; I < F->ComponentCount(); ++I)
    if (auto* B = dynamic_cast<TbsSkinButton*>(F->Components(I))) Names.push_back(B->Name());
  return Names;
}

TEST_F(MessageDialogs, TheNoticeBoxIsLaidOutAroundItsLabel) {
  struct Case {
    std::string Msg;
    TMsgDlgButtons Buttons;
    std::vector<std::string> Names;
    std::vector<int> Results;
  };
  const Case Cases[] = {
      {kNoFiles, {mbOK}, {"OK"}, {1}},
      {"one\ntwo\nthree\nfour", {mbOK}, {"OK"}, {1}},
      {"x",
       {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry},
       {"Yes", "No", "OK", "Cancel", "Abort", "Retry"},
       {6, 7, 1, 2, 3, 4}},
      {"x",
       {mbIgnore, mbClose, mbHelp, mbAll, mbNoToAll, mbYesToAll},
       {"Ignore", "All", "NoToAll", "YesToAll", "Help", "Close"},
       {5, 8, 9, 10, 0, 11}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Msg);
    TbsMessageForm* F = CreateCaptionedMessageForm(C.Msg, "提示", mtInformation, C.Buttons, TbsMessageStyle{});
    EXPECT_EQ(F->Caption(), "提示");
    EXPECT_EQ(F->Owner(), static_cast<cl::TComponent*>(cl::Application));
    EXPECT_EQ(F->BSF->BorderIcons(), 0u);
    TbsSkinStdLabel* L = F->Message;
    EXPECT_EQ(L->Caption(), C.Msg);
    EXPECT_EQ(L->Left(), 50);
    EXPECT_EQ(L->Top(), 15);
    EXPECT_GT(L->Width(), 0);
    ASSERT_NE(F->Image, nullptr);
    EXPECT_EQ(F->Image->BoundsRect(),
              (TRect{5, std::max(10, 15 + L->Height() / 2 - 16), 37, std::max(10, 15 + L->Height() / 2 - 16) + 32}));
    EXPECT_FALSE(F->Image->Picture()->Graphic() == nullptr || F->Image->Picture()->Graphic()->Empty());
    int N = int(C.Names.size()), W = N * 70 + (N - 1) * 10, R = 50 + L->Width();
    EXPECT_EQ(F->ClientHeight(), 25 + L->Height() + 50);
    EXPECT_EQ(F->ClientWidth(), std::max(R, W) + 40);
    EXPECT_EQ(ButtonNames(F), C.Names);
    int X = (F->ClientWidth() - W) / 2;
    for (size_t I = 0; I < C.Names.size(); ++I) {
      TbsSkinButton* B = F->Button(C.Names[I]);
      EXPECT_EQ(B->BoundsRect(), (TRect{X, F->ClientHeight() - 35, X + 70, F->ClientHeight() - 10})) << C.Names[I];
      EXPECT_EQ(B->ModalResult(), C.Results[I]) << C.Names[I];
      X += 80;
    }
    EXPECT_EQ(F->DisplayCheckBox, nullptr);
    F->Free();
  }
}

TEST_F(MessageDialogs, DefaultAndCancelButtonsFollowTheButtonSet) {
  struct Case {
    TMsgDlgButtons Buttons;
    const char* Default;  // "" = none
    const char* Cancel;
  };
  const Case Cases[] = {
      {{mbOK}, "OK", "OK"},
      {{mbYes, mbNo}, "Yes", "No"},
      {{mbOK, mbCancel}, "OK", "Cancel"},
      {{mbYes, mbNo, mbCancel}, "Yes", "Cancel"},
      {{mbRetry, mbCancel}, "Retry", "Cancel"},
      {{mbAbort, mbRetry, mbIgnore}, "Retry", ""},
      {{mbAbort, mbIgnore}, "", ""},
      {{}, "", ""},
  };
  for (const Case& C : Cases) {
    TbsMessageForm* F = CreateMessageForm("m", mtWarning, C.Buttons, TbsMessageStyle{});
    std::vector<std::string> Defaults, Cancels;
    for (int I = 0; I < F->ComponentCount(); ++I)
      if (auto* B = dynamic_cast<TbsSkinButton*>(F->Components(I))) {
        if (B->Default()) Defaults.push_back(B->Name());
        if (B->Cancel()) Cancels.push_back(B->Name());
      }
    auto One = [](const char* S) { return *S ? std::vector<std::string>{S} : std::vector<std::string>{}; };
    EXPECT_EQ(Defaults, One(C.Default)) << C.Buttons.Bits;
    EXPECT_EQ(Cancels, One(C.Cancel)) << C.Buttons.Bits;
    F->Free();
  }
}

TEST_F(MessageDialogs, EnterAndEscapeEndTheModalLoopWithTheButtonsResult) {
  struct Case {
    TMsgDlgButtons Buttons;
    uint16_t Key;
    int Result;
  };
  const Case Cases[] = {
      {{mbOK}, win::VK_RETURN, 1},
      {{mbOK}, win::VK_ESCAPE, 1},
      {{mbYes, mbNo}, win::VK_RETURN, 6},
      {{mbYes, mbNo}, win::VK_ESCAPE, 7},
      {{mbOK, mbCancel}, win::VK_ESCAPE, 2},
      // A box without buttons has no caption buttons either: Escape closes it.
      {{}, win::VK_ESCAPE, 2},
  };
  SKIN_OWNED(TbsSkinMessage, M);
  int Shown = 0;
  M->OnFormShow = [&](TbsMessageForm* F) {
    Shown++;
    EXPECT_EQ(F->Position(), cl::poScreenCenter);
  };
  for (const Case& C : Cases) {
    KeyLater(C.Key);
    EXPECT_EQ(M->MessageDlg2(kNoFiles, "提示", mtInformation, C.Buttons, 0), C.Result)
        << C.Buttons.Bits << " " << C.Key;
  }
  EXPECT_EQ(Shown, 6);
}

TEST_F(MessageDialogs, HelpLeavesTheBoxOpen) {
  SKIN_OWNED(TbsSkinMessage, M);
  M->OnFormShow = [&](TbsMessageForm* F) {
    F->Button("Help")->OnClick(F->Button("Help"));
    EXPECT_EQ(F->ModalResult(), 0);
    EXPECT_EQ(F->HelpFile, "help.chm");
    EXPECT_EQ(F->HelpContext, 7);
  };
  KeyLater(win::VK_ESCAPE);
  EXPECT_EQ(M->MessageDlgHelp("m", mtConfirmation, {mbOK, mbHelp}, 7, "help.chm"), 1);
}

TEST_F(MessageDialogs, TheShowAgainBoxWritesItsStateBack) {
  SKIN_OWNED(TbsSkinMessage, M);
  M->ShowAgainFlag = true;
  bool Uncheck = false;
  int BoxTop = 0, ClientH = 0;
  M->OnFormShow = [&](TbsMessageForm* F) {
    ASSERT_NE(F->DisplayCheckBox, nullptr);
    EXPECT_EQ(F->DisplayCheckBox->Caption(), ShowAgainText());
    EXPECT_TRUE(F->DisplayCheckBox->Checked());
    EXPECT_EQ(F->DisplayCheckBox->Left(), 5);
    BoxTop = F->DisplayCheckBox->Top();
    ClientH = F->ClientHeight();
    EXPECT_EQ(ClientH, 25 + F->Message->Height() + 50 + 40);
    EXPECT_GE(F->ClientWidth(), F->DisplayCheckBox->Width() + 5);
    if (Uncheck) F->DisplayCheckBox->SetChecked(false);
  };
  KeyLater(win::VK_RETURN);
  M->MessageDlg("m", mtWarning, {mbOK}, 0);
  EXPECT_FALSE(M->ShowAgainFlagValue);
  EXPECT_EQ(BoxTop, ClientH - 25 - 50);
  Uncheck = true;
  KeyLater(win::VK_RETURN);
  M->MessageDlg("m", mtWarning, {mbOK}, 0);
  EXPECT_TRUE(M->ShowAgainFlagValue);
  // The wide variants have no box and leave the value alone.
  M->ShowAgainFlagValue = false;
  M->OnFormShow = [&](TbsMessageForm* F) { EXPECT_EQ(F->DisplayCheckBox, nullptr); };
  KeyLater(win::VK_RETURN);
  M->WideMessageDlg("m", mtError, {mbOK}, 0);
  EXPECT_FALSE(M->ShowAgainFlagValue);
}

TEST_F(MessageDialogs, CaptionsIconsAndPositions) {
  cl::Application->SetTitle("VarnelMOD格式转换器");
  struct Case {
    TMsgDlgType Type;
    const char* Caption;
    bool Icon;
  };
  for (Case C :
       {Case{mtWarning, "Warning", true}, Case{mtError, "Error", true}, Case{mtInformation, "Information", true},
        Case{mtConfirmation, "Confirm", true}, Case{mtCustom, "VarnelMOD格式转换器", false}}) {
    TbsMessageForm* F = CreateMessageForm("m", C.Type, {mbOK}, TbsMessageStyle{});
    EXPECT_EQ(F->Caption(), C.Caption);
    EXPECT_EQ(F->Image != nullptr, C.Icon) << C.Caption;
    EXPECT_EQ(F->Message->Left(), 50);
    F->Free();
  }
  // An image list icon only for an index inside the list.
  SKIN_OWNED(cl::TImageList, Images, nullptr);
  Images->SetSize(24, 24);
  gfx::TBitmap Pic;
  Pic.SetSize(24, 24);
  Images->Add(&Pic, nullptr);
  for (int Index : {-1, 0, 1}) {
    TbsMessageForm* F = CreateCustomMessageForm("m", "", Images, Index, {mbOK}, TbsMessageStyle{});
    EXPECT_EQ(F->Caption(), "");
    EXPECT_EQ(F->Image != nullptr, Index == 0) << Index;
    if (F->Image) EXPECT_EQ(F->Image->Width(), 24);
    F->Free();
  }
  // The Pos entry points: the application may move the form before it shows.
  SKIN_OWNED(TbsSkinMessage, M);
  TRect Seen;
  M->OnSetShowPos = [](int& X, int& Y, int, int) {
    X += 7;
    Y += 9;
  };
  M->OnFormShow = [&](TbsMessageForm* F) { Seen = F->BoundsRect(); };
  KeyLater(win::VK_RETURN);
  M->MessageDlgPos("m", mtWarning, {mbOK}, 0, 0, 0);
  EXPECT_EQ(Seen.Left, 7);
  EXPECT_EQ(Seen.Top, 9);
  KeyLater(win::VK_RETURN);
  M->MessageDlg2("m", "c", mtWarning, {mbOK}, 0);  // no position event
  EXPECT_NE(Seen.Left, 7);
}

TEST_F(MessageDialogs, AWideMessageMakesTheFormAsWideAsTheWorkArea) {
  TbsMessageForm* F = CreateCaptionedMessageForm(std::string(400, 'W'), "c", mtInformation, {mbOK}, {});
  EXPECT_EQ(F->Width(), F->BSF->GetMaxWidth());
  F->Free();
}

TEST_F(MessageDialogs, TextsAndButtonHeightComeFromTheControlsSkin) {
  SKIN_OWNED(TbsCompressedSkinList, Skins, nullptr);
  ASSERT_EQ(LoadBuiltinSkins(*Skins), kBuiltinSkinCount);
  SKIN_OWNED(TbsSkinData, SD, nullptr);
  SD->SetSkinList(Skins);
  ASSERT_FALSE(SD->Empty);
  SKIN_OWNED(TbsResourceStrData, Texts, nullptr);
  std::vector<std::string> Lines = {"MSG_BTN_YES=是", "MSG_CAP_WARNING=警告", "MSG_CAP_SHOWFLAG=不再显示"};
  Texts->SetResStrings(Lines);
  SD->SetResourceStrData(Texts);
  auto* Rec = dynamic_cast<TbsDataSkinButtonControl*>(SD->CtrlList[size_t(SD->GetControlIndex("button"))].get());
  ASSERT_NE(Rec, nullptr);
  int BH = Rec->SkinRect.Height();
  TbsMessageStyle S;
  S.SkinData = SD;
  S.CtrlSkinData = SD;
  S.ShowAgainFlag = true;
  TbsMessageForm* F = CreateMessageForm("m", mtWarning, {mbYes, mbNo}, S);
  EXPECT_EQ(F->Caption(), "警告");
  EXPECT_EQ(F->Button("Yes")->Caption(), "是");
  EXPECT_EQ(F->Button("No")->Caption(), "");  // a key the texts lack
  EXPECT_EQ(F->DisplayCheckBox->Caption(), "不再显示");
  EXPECT_EQ(F->Button("Yes")->Height(), BH);
  EXPECT_EQ(F->Button("Yes")->Top(), F->ClientHeight() - BH - 10);
  EXPECT_EQ(F->ClientHeight(), BH + F->Message->Height() + 50 + 40);
  F->Free();
  SD->SetResourceStrData(nullptr);
}

}  // namespace
