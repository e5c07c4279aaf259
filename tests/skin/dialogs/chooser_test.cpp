// The skin chooser over the built-in skins on the null backend: what it
// lists and selects at the start, OK, Cancel and double click in a real
// modal loop, the live preview in its own store, and stored-skin mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cl/application.h"
#include "platform/testkit/harness.h"
#include "platform/win/window.h"
#include "skin/dialogs/bsSkinChooser.h"
#include "skin/data/bsStoredSkins.h"

using namespace skin;
using plat::test::Input;

namespace {

#define SKIN_OWNED(T, name, ...)                         \
  auto name##_owned = ::skin::MakeOwned<T>(__VA_ARGS__); \
  T* name = name##_owned.get()

class SkinChooser : public ::testing::Test {
 public:
  void SetUp() override {
    Skins = MakeOwned<TbsCompressedSkinList>(nullptr);
    ASSERT_EQ(LoadBuiltinSkins(*Skins), kBuiltinSkinCount);
    // As the program holds them: names only.
    for (int I = 0; I < Skins->Skins().Count(); ++I) Skins->Skins().Items(I)->Description.clear();
    Dlg = MakeOwned<TbsSelectSkinDialog>(nullptr);
    Dlg->SetSkinList(Skins.get());
  }
  void TearDown() override {
    Dlg.reset();
    Skins.reset();
    h.Pump();
    EXPECT_EQ(h.Leaks(), "");
    EXPECT_TRUE(h.exceptions.empty());
  }
  void KeysLater(std::vector<uint16_t> Keys) {
    std::vector<win::RawInput> Ev;
    for (uint16_t K : Keys) {
      Ev.push_back(Input::KeyEvent(true, K));
      Ev.push_back(Input::KeyEvent(false, K));
    }
    h.input.Later(Ev);
  }

  plat::test::Harness h;
  TbsOwned<TbsCompressedSkinList> Skins;
  TbsOwned<TbsSelectSkinDialog> Dlg;
};

TEST_F(SkinChooser, TheDialogListsTheSkinsAndStartsAtTheGivenOne) {
  bool Seen = false;
  Dlg->OnFormShow = [&](TbsSelectSkinDlgForm* F) {
    Seen = true;
    EXPECT_EQ(Dlg->FDlgFrm, F);
    EXPECT_EQ(F->Caption(), "Select skin");
    EXPECT_EQ(F->ClientWidth(), 420);
    EXPECT_EQ(F->ClientHeight(), 240);
    ASSERT_EQ(F->SkinsListBox->Items().Count(), kBuiltinSkinCount);
    for (int I = 0; I < kBuiltinSkinCount; ++I) EXPECT_EQ(F->SkinsListBox->Items()[I], BuiltinSkins()[size_t(I)].Name);
    EXPECT_EQ(F->SkinsListBox->ItemIndex(), 3);
    EXPECT_EQ(F->SkinsListBox->BoundsRect(), (TRect{10, 10, 180, 180}));
    EXPECT_EQ(F->PreviewSkinData->SkinIndex(), 3);
    EXPECT_FALSE(F->PreviewSkinData->Empty);
    EXPECT_EQ(F->PreviewForm->Parent(), F);
    EXPECT_FALSE(F->PreviewForm->Enabled());
    EXPECT_TRUE(F->PreviewForm->Visible());
    EXPECT_EQ(F->PreviewForm->BoundsRect(), (TRect{190, 10, 410, 180}));
    EXPECT_TRUE(F->PreviewBSF->PreviewMode);
    EXPECT_EQ(F->PreviewButton->Caption(), "Button");
    EXPECT_EQ(F->PreviewButton->SkinData(), F->PreviewSkinData);
    EXPECT_EQ(F->OpenButton->BoundsRect(), (TRect{260, 200, 330, 225}));
    EXPECT_EQ(F->CancelButton->BoundsRect(), (TRect{340, 200, 410, 225}));
    EXPECT_TRUE(F->OpenButton->Default());
    EXPECT_TRUE(F->CancelButton->Cancel());
    EXPECT_EQ(F->ActiveControl(), F->SkinsListBox->ListBox);
  };
  KeysLater({win::VK_RETURN});
  EXPECT_TRUE(Dlg->Execute(3));
  EXPECT_TRUE(Seen);
  EXPECT_EQ(Dlg->SelectedSkinIndex(), 3);
  EXPECT_EQ(Dlg->FDlgFrm, nullptr);
}

TEST_F(SkinChooser, OkTakesTheLastPreviewedSkinAndCancelKeepsNone) {
  struct Case {
    std::vector<uint16_t> Keys;
    bool Result;
    int Selected;
  };
  const Case Cases[] = {
      {{win::VK_DOWN, win::VK_DOWN, win::VK_RETURN}, true, 7},
      {{win::VK_UP, win::VK_ESCAPE}, false, -1},
      {{win::VK_END, win::VK_RETURN}, true, 10},
  };
  for (const Case& C : Cases) {
    KeysLater(C.Keys);
    EXPECT_EQ(Dlg->Execute(5), C.Result);
    EXPECT_EQ(Dlg->SelectedSkinIndex(), C.Selected);
  }
  // A double click on a row closes with that row.
  Dlg->OnFormShow = [&](TbsSelectSkinDlgForm* F) {
    // Placed where the test knows it, so the clicks land on the row.
    F->SetPosition(cl::poDesigned);
    F->SetBounds(100, 100, F->Width(), F->Height());
    TRect R = F->SkinsListBox->ItemRect(1);
    TPoint P = F->SkinsListBox->ListBox->ClientToScreen({R.Left + 5, R.Top + 3});
    h.input.Later({Input::MoveEvent(P.X, P.Y), Input::ButtonEvent(true, P.X, P.Y), Input::ButtonEvent(false, P.X, P.Y),
                   Input::ButtonEvent(true, P.X, P.Y), Input::ButtonEvent(false, P.X, P.Y)});
  };
  EXPECT_TRUE(Dlg->Execute(0));
  EXPECT_EQ(Dlg->SelectedSkinIndex(), 1);
  // A start index outside the list selects no row and loads nothing, so OK
  // alone chooses nothing; a row picked afterwards is chosen.
  Dlg->OnFormShow = [&](TbsSelectSkinDlgForm* F) {
    EXPECT_EQ(F->SkinsListBox->ItemIndex(), -1);
    EXPECT_TRUE(F->PreviewSkinData->Empty);
  };
  KeysLater({win::VK_RETURN});
  EXPECT_FALSE(Dlg->Execute(11));
  EXPECT_EQ(Dlg->SelectedSkinIndex(), -1);
  KeysLater({win::VK_HOME, win::VK_RETURN});
  EXPECT_TRUE(Dlg->Execute(11));
  EXPECT_EQ(Dlg->SelectedSkinIndex(), 0);
  // Without a skin list nothing shows.
  Dlg->SetSkinList(nullptr);
  EXPECT_FALSE(Dlg->Execute(0));
}

TEST_F(SkinChooser, ThePreviewRepaintsInTheHighlightedSkinOnly) {
  SKIN_OWNED(TbsSkinData, AppSkin, nullptr);
  AppSkin->SetSkinList(Skins.get());
  int AppIndex = AppSkin->SkinIndex();
  TbsSelectSkinDlgForm* F = TbsSelectSkinDlgForm::CreateEx2(cl::Application, nullptr, 0, Skins.get());
  F->SetClientSize(420, 240);
  F->Show();
  win::SetActiveWindow(F->Handle());
  h.Pump();
  auto Shot = [&] { return h.Grab(F->PreviewForm->Handle()); };
  QImage First = Shot();
  h.input.Key(win::VK_DOWN);
  EXPECT_EQ(F->PreviewSkinData->SkinIndex(), 1);
  QImage Second = Shot();
  EXPECT_NE(First, Second) << "the preview shows the next skin";
  h.input.Key(win::VK_UP);
  EXPECT_EQ(Shot(), First);
  EXPECT_EQ(AppSkin->SkinIndex(), AppIndex) << "the application's skin is never touched";
  TbsSkinData* P = F->PreviewSkinData;
  F->Free();
  P->Free();
}

TEST_F(SkinChooser, ASkinnedFrameKeepsAtLeastTheDialogsSize) {
  SKIN_OWNED(TbsSkinData, AppSkin, nullptr);
  AppSkin->SetSkinIndex(2);
  AppSkin->SetSkinList(Skins.get());
  Dlg->SetSkinData(AppSkin);
  Dlg->SetCtrlSkinData(AppSkin);
  Dlg->OnFormShow = [&](TbsSelectSkinDlgForm* F) {
    EXPECT_EQ(F->BSF->SkinData(), AppSkin);
    EXPECT_EQ(F->OpenButton->SkinData(), AppSkin);
    EXPECT_EQ(F->SkinsListBox->SkinData(), AppSkin);
    EXPECT_EQ(F->ClientWidth(), std::max(420, F->BSF->GetMinWidth()));
    EXPECT_EQ(F->ClientHeight(), std::max(240, F->BSF->GetMinHeight()));
  };
  KeysLater({win::VK_ESCAPE});
  EXPECT_FALSE(Dlg->Execute(2));
  EXPECT_EQ(AppSkin->SkinIndex(), 2);
}

TEST_F(SkinChooser, StoredSkinModeListsTheOwnersStoredSkins) {
  SKIN_OWNED(cl::TComponent, Owner, nullptr);
  auto* A = new TbsCompressedStoredSkin(Owner);
  A->SetName("First");
  auto* B = new TbsCompressedStoredSkin(Owner);
  B->SetName("Second");
  B->Description = "深蓝";
  for (auto* S : {A, B}) {
    rtl::TMemoryStream MS;
    Skins->Skins().Items(S == A ? 0 : 1)->Skin().SaveToCompressStream(MS);
    MS.SetPosition(0);
    S->LoadFromCompressStream(MS);
  }
  auto* D = new TbsSelectSkinDialog(Owner);
  D->OnFormShow = [&](TbsSelectSkinDlgForm* F) {
    ASSERT_EQ(F->SkinsListBox->Items().Count(), 2);
    EXPECT_EQ(F->SkinsListBox->Items()[0], "First");
    EXPECT_EQ(F->SkinsListBox->Items()[1], "深蓝");
  };
  KeysLater({win::VK_RETURN});
  EXPECT_TRUE(D->Execute(B));
  EXPECT_EQ(D->SelectedSkin(), B);
  KeysLater({win::VK_UP, win::VK_RETURN});
  EXPECT_TRUE(D->Execute(B));
  EXPECT_EQ(D->SelectedSkin(), A);
  KeysLater({win::VK_ESCAPE});
  EXPECT_FALSE(D->Execute(B));
  EXPECT_EQ(D->SelectedSkin(), nullptr);
}

}  // namespace
