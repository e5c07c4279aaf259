#include "skin/dialogs/bsSkinMessage.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "platform/cl/application.h"
#include "platform/gfx/icons.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/win/window.h"

namespace skin {

namespace {

struct ButtonRow {
  const char* Name;
  const char* Caption;
  const char* Key;
  int Result;
};
constexpr ButtonRow kButtons[kMsgDlgBtnCount] = {
    {"Yes", "&Yes", "MSG_BTN_YES", 6},
    {"No", "&No", "MSG_BTN_NO", 7},
    {"OK", "OK", "MSG_BTN_OK", 1},
    {"Cancel", "Cancel", "MSG_BTN_CANCEL", 2},
    {"Abort", "&Abort", "MSG_BTN_ABORT", 3},
    {"Retry", "&Retry", "MSG_BTN_RETRY", 4},
    {"Ignore", "&Ignore", "MSG_BTN_IGNORE", 5},
    {"All", "&All", "MSG_BTN_ALL", 8},
    {"NoToAll", "N&oToAll", "MSG_BTN_NOTOALL", 9},
    {"YesToAll", "&YesToAll", "MSG_BTN_YESTOALL", 10},
    {"Help", "&Help", "MSG_BTN_HELP", 0},
    {"Close", "Close", "MSG_BTN_CLOSE", 11},
};

struct TypeRow {
  const char* Caption;
  const char* Key;
  int IconId;
  const char* Picture;  // the program's own picture of the icon
};
constexpr TypeRow kTypes[5] = {
    {"Warning", "MSG_CAP_WARNING", 32515, "MSG_WARNING"},
    {"Error", "MSG_CAP_ERROR", 32513, "MSG_ERROR"},
    {"Information", "MSG_CAP_INFORMATION", 32516, "MSG_INFORMATION"},
    {"Confirm", "MSG_CAP_CONFIRM", 32514, "MSG_QUESTION"},
    {"", "", 0, ""},
};

constexpr int kButtonWidth = 70, kButtonGap = 10, kButtonHeight = 25;

bool HasTexts(TbsSkinData* SD) { return SD && SD->ResourceStrData(); }

void DefaultArial(gfx::TFont& F) {
  F.SetName("Arial");
  F.SetHeight(14);
  F.SetStyle({});
}

enum class IconSource { System, ImageList };

struct BuildArgs {
  const std::string* Msg;
  std::string Caption;
  TMsgDlgType DlgType = mtCustom;
  IconSource Icon = IconSource::System;
  cl::TCustomImageList* Images = nullptr;
  int ImageIndex = -1;
  TMsgDlgButtons Buttons;
  bool AllowShowAgain = true;
};

// The icon of a dialog type: the program's own picture when it is compiled
// in, else the window system's icon of that id.
void LoadTypeIcon(cl::TImage* Img, TMsgDlgType T) {
  const TypeRow& R = kTypes[T];
  auto Bytes = rtl::Resource(R.Picture);
  if (!Bytes.empty()) {
    rtl::TMemoryStream MS;
    MS.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    MS.SetPosition(0);
    gfx::TBitmap B;
    B.LoadFromStream(MS);
    if (B.PixelFormat() != gfx::pf32bit) {
      Img->Picture()->Bitmap()->Assign(&B);
      return;
    }
    // As an icon, so its alpha edge blends over the form.
    std::vector<uint32_t> Argb(size_t(B.Width()) * size_t(B.Height()));
    for (int Y = 0; Y < B.Height(); ++Y)
      std::memcpy(&Argb[size_t(Y) * size_t(B.Width())], B.ScanLine(Y), size_t(B.Width()) * 4);
    if (gfx::HICON H = gfx::CreateIconFromArgb(B.Width(), B.Height(), Argb.data())) {
      Img->Picture()->Icon()->SetHandle(H);
      return;
    }
  }
  gfx::HICON H = gfx::LoadIconW(nullptr, R.IconId);
  if (H) Img->Picture()->Icon()->SetHandle(H);
}

TbsMessageForm* Build(const BuildArgs& A, const TbsMessageStyle& S) {
  // 1. The form and its frame.
  auto* F = new TbsMessageForm(cl::Application, S.X, S.Y);
  F->BSF->SetSkinData(S.SkinData);
  F->BSF->SetMenusSkinData(S.CtrlSkinData);
  // The client sizes below are measured inside the frame the skin gives.
  F->HandleNeeded();
  gfx::TFont Arial;
  DefaultArial(Arial);
  const gfx::TFont& LabelFont = S.DefaultFont ? *S.DefaultFont : Arial;
  const gfx::TFont& ButtonFont = S.DefaultButtonFont ? *S.DefaultButtonFont : Arial;

  // 2. Button metrics: the button record's height when the controls' skin has one.
  int BH = kButtonHeight;
  if (SkinUsable(S.CtrlSkinData)) {
    int I = S.CtrlSkinData->GetControlIndex(S.ButtonSkinDataName);
    if (I != -1)
      if (auto* R = dynamic_cast<TbsDataSkinButtonControl*>(S.CtrlSkinData->CtrlList[size_t(I)].get()))
        BH = R->SkinRect.Bottom - R->SkinRect.Top;
  }
  // 3. The row of buttons.
  int N = A.Buttons.Count();
  int W = N > 0 ? N * kButtonWidth + (N - 1) * kButtonGap : 0;
  // 4. Caption.
  F->SetCaption(A.Caption);
  // 5. The message.
  auto* L = new TbsSkinStdLabel(F);
  F->Message = L;
  L->Font()->Assign(LabelFont);
  L->SetDefaultFont(LabelFont);
  L->SetUseSkinFont(S.UseSkinFont);
  L->SetSkinDataName(S.MessageLabelSkinDataName);
  L->SetSkinData(S.CtrlSkinData);
  L->SetName("Message");
  L->SetParent(F);
  L->SetAutoSize(true);
  L->SetCaption(*A.Msg);
  L->SetBounds(50, 15, L->Width(), L->Height());
  int R = L->Left() + L->Width();
  // 6. The icon.
  int IconTop = L->Top() + L->Height() / 2 - 16;
  if (A.Icon == IconSource::System) {
    if (kTypes[A.DlgType].IconId != 0) {
      auto* Img = new cl::TImage(F);
      Img->SetName("Image");
      Img->SetParent(F);
      LoadTypeIcon(Img, A.DlgType);
      Img->SetBounds(5, std::max(10, IconTop), 32, 32);
      F->Image = Img;
    }
  } else if (A.Images && A.ImageIndex >= 0 && A.ImageIndex <= A.Images->Count() - 1) {
    auto* Img = new cl::TImage(F);
    Img->SetName("Image");
    Img->SetParent(F);
    Img->Transparent = true;
    A.Images->GetIcon(A.ImageIndex, Img->Picture()->Icon());
    Img->SetBounds(5, IconTop, A.Images->Width(), A.Images->Height());
    F->Image = Img;
  }
  // 7. Client size.
  int CH = BH + L->Height() + 50;
  int CW = W < R ? R + 40 : W + 40;
  F->SetClientSize(CW, CH);
  // 8. The show-again box.
  if (A.AllowShowAgain && S.ShowAgainFlag) {
    CH += 40;
    F->SetClientSize(CW, CH);
    auto* C = new TbsSkinCheckRadioBox(F);
    F->DisplayCheckBox = C;
    C->SetName("checkbox");
    C->SetDefaultHeight(30);
    C->SetChecked(!S.ShowAgainFlagValue);
    C->SetParent(F);
    C->SetDefaultFont(LabelFont);
    C->SetUseSkinFont(S.UseSkinFont);
    C->SetSkinData(S.CtrlSkinData);
    int Top = CH - BH - 50;
    std::string Text;
    if (HasTexts(S.CtrlSkinData)) Text = S.CtrlSkinData->ResourceStrData()->GetResStr("MSG_CAP_SHOWFLAG");
    if (Text.empty()) Text = ShowAgainText();
    C->SetCaption(Text);
    // Measured in the font the box draws with.
    gfx::TCanvas* Cv = F->Canvas();
    Cv->Font()->Assign(LabelFont);
    if (S.UseSkinFont && SkinUsable(S.CtrlSkinData)) {
      int I = S.CtrlSkinData->GetControlIndex(C->SkinDataName());
      if (I != -1)
        if (auto* Rec = dynamic_cast<TbsDataSkinCheckRadioControl*>(S.CtrlSkinData->CtrlList[size_t(I)].get())) {
          Cv->Font()->SetName(Rec->FontName);
          Cv->Font()->SetHeight(Rec->FontHeight);
        }
    }
    int T = Cv->TextWidth(Text);
    if (CW < T + 60) {
      CW = T + 60;
      F->SetClientSize(CW, CH);
    }
    C->SetBounds(5, Top, T + 55, C->DefaultHeight());
  }
  // 9. Width limits of the frame.
  int MaxW = F->BSF->GetMaxWidth(), MinW = F->BSF->GetMinWidth();
  if (MaxW > 0 && MaxW < F->Width())
    F->SetWidth(MaxW);
  else if (F->Width() < MinW)
    F->SetWidth(MinW);
  // 10. Default and cancel buttons.
  TMsgDlgBtn Def = A.Buttons.Contains(mbOK) ? mbOK : A.Buttons.Contains(mbYes) ? mbYes : mbRetry;
  TMsgDlgBtn Can = A.Buttons.Contains(mbCancel) ? mbCancel : A.Buttons.Contains(mbNo) ? mbNo : mbOK;
  // 11. The buttons, left to right.
  int X = (F->ClientWidth() - W) / 2;
  CH = F->ClientHeight();
  for (int I = 0; I < kMsgDlgBtnCount; ++I) {
    auto B = TMsgDlgBtn(I);
    if (!A.Buttons.Contains(B)) continue;
    auto* Btn = new TbsSkinButton(F);
    Btn->SetParent(F);
    Btn->SetName(kButtons[I].Name);
    Btn->SetCanFocused(true);
    Btn->SetCaption(GetMessageButtonCaption(B, S.CtrlSkinData));
    Btn->SetModalResult(kButtons[I].Result);
    if (B == Def) {
      Btn->SetDefault(true);
      F->DefaultButton = Btn;
    }
    if (B == Can) {
      Btn->SetCancel(true);
      F->CancelButton = Btn;
    }
    Btn->SetDefaultHeight(BH);
    Btn->SetBounds(X, CH - BH - 10, kButtonWidth, BH);
    Btn->SetDefaultFont(ButtonFont);
    Btn->SetUseSkinFont(S.UseSkinFont);
    if (B == mbHelp) Btn->OnClick = [F](rtl::TObject* Sender) { F->HelpButtonClick(Sender); };
    Btn->SetSkinDataName(S.ButtonSkinDataName);
    Btn->SetSkinData(S.CtrlSkinData);
    X += kButtonWidth + kButtonGap;
  }
  return F;
}

}  // namespace

int TMsgDlgButtons::Count() const { return std::popcount(unsigned(Bits & 0x0FFF)); }

const char* MessageButtonName(TMsgDlgBtn B) { return kButtons[B].Name; }
const char* MessageButtonCaption(TMsgDlgBtn B) { return kButtons[B].Caption; }
const char* MessageButtonResKey(TMsgDlgBtn B) { return kButtons[B].Key; }
int MessageButtonResult(TMsgDlgBtn B) { return kButtons[B].Result; }
const char* MessageDialogCaption(TMsgDlgType T) { return kTypes[T].Caption; }
int MessageDialogIconId(TMsgDlgType T) { return kTypes[T].IconId; }
const char* ShowAgainText() { return "Do not display this message again"; }

std::string GetMessageButtonCaption(TMsgDlgBtn B, TbsSkinData* CtrlSkinData) {
  if (HasTexts(CtrlSkinData)) return CtrlSkinData->ResourceStrData()->GetResStr(kButtons[B].Key);
  return kButtons[B].Caption;
}

std::string GetMessageDialogCaption(TMsgDlgType T, TbsSkinData* CtrlSkinData) {
  if (HasTexts(CtrlSkinData)) return CtrlSkinData->ResourceStrData()->GetResStr(kTypes[T].Key);
  return kTypes[T].Caption;
}

// ---------------------------------------------------------------------------

TbsMessageForm::TbsMessageForm(cl::TComponent* AOwner, int X, int Y) : cl::TForm(AOwner) {
  SetBorderStyle(cl::bsDialog);
  KeyPreview = true;
  if (X < -10000)
    SetPosition(cl::poScreenCenter);
  else
    SetBounds(X, Y, Width(), Height());
  BSF = new TbsSkinForm(this);
  BSF->SetBorderIcons(0);
}

void TbsMessageForm::HelpButtonClick(rtl::TObject*) { cl::Application->HelpContext(HelpContext); }

TbsSkinButton* TbsMessageForm::Button(const std::string& AName) {
  for (int I = 0; I < ComponentCount(); ++I)
    if (auto* B = dynamic_cast<TbsSkinButton*>(Components(I)); B && B->Name() == AName) return B;
  return nullptr;
}

void TbsMessageForm::Dispatch(cl::TMessage& Msg) {
  cl::TForm::Dispatch(Msg);
  // A box without any button would have no way to close (it has no caption
  // buttons either): Escape closes it as cancelled.
  if (Msg.Msg == win::CM_DIALOGKEY && Msg.WParam == win::VK_ESCAPE && Msg.Result == 0 && !DefaultButton &&
      !CancelButton && !Button("Help")) {
    bool Any = false;
    for (int I = 0; I < ComponentCount() && !Any; ++I) Any = dynamic_cast<TbsSkinButton*>(Components(I)) != nullptr;
    if (!Any) {
      SetModalResult(cl::mrCancel);
      Msg.Result = 1;
    }
  }
}

// ---------------------------------------------------------------------------

TbsMessageForm* CreateMessageForm(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                  const TbsMessageStyle& S) {
  BuildArgs A;
  A.Msg = &Msg;
  A.DlgType = DlgType;
  A.Caption = DlgType == mtCustom ? cl::Application->Title() : GetMessageDialogCaption(DlgType, S.CtrlSkinData);
  A.Buttons = Buttons;
  return Build(A, S);
}

TbsMessageForm* CreateCaptionedMessageForm(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                                           TMsgDlgButtons Buttons, const TbsMessageStyle& S) {
  BuildArgs A;
  A.Msg = &Msg;
  A.DlgType = DlgType;
  A.Caption = ACaption;
  A.Buttons = Buttons;
  return Build(A, S);
}

TbsMessageForm* CreateCustomMessageForm(const std::string& Msg, const std::string& ACaption,
                                        cl::TCustomImageList* AImages, int AImageIndex, TMsgDlgButtons Buttons,
                                        const TbsMessageStyle& S) {
  BuildArgs A;
  A.Msg = &Msg;
  A.Caption = ACaption;
  A.Icon = IconSource::ImageList;
  A.Images = AImages;
  A.ImageIndex = AImageIndex;
  A.Buttons = Buttons;
  return Build(A, S);
}

TbsMessageForm* CreateWideMessageForm(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                      const TbsMessageStyle& S) {
  BuildArgs A;
  A.Msg = &Msg;
  A.DlgType = DlgType;
  A.Caption = DlgType == mtCustom ? cl::Application->Title() : GetMessageDialogCaption(DlgType, S.CtrlSkinData);
  A.Buttons = Buttons;
  A.AllowShowAgain = false;
  return Build(A, S);
}

// ---------------------------------------------------------------------------

TbsSkinMessage::TbsSkinMessage(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  DefaultArial(FDefaultFont);
  DefaultArial(FDefaultButtonFont);
}

void TbsSkinMessage::SetSkinData(TbsSkinData* Value) {
  FSD = Value;
  if (Value) Value->FreeNotification(this);
}

void TbsSkinMessage::SetCtrlSkinData(TbsSkinData* Value) {
  FCtrlSD = Value;
  if (Value) Value->FreeNotification(this);
}

void TbsSkinMessage::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FCtrlSD) FCtrlSD = nullptr;
}

TbsMessageStyle TbsSkinMessage::Style(int X, int Y) const {
  TbsMessageStyle S;
  S.SkinData = FSD;
  S.CtrlSkinData = FCtrlSD;
  S.ButtonSkinDataName = ButtonSkinDataName;
  S.MessageLabelSkinDataName = MessageLabelSkinDataName;
  S.DefaultFont = &FDefaultFont;
  S.DefaultButtonFont = &FDefaultButtonFont;
  S.UseSkinFont = UseSkinFont;
  S.AlphaBlend = AlphaBlend;
  S.AlphaBlendAnimation = AlphaBlendAnimation;
  S.AlphaBlendValue = AlphaBlendValue;
  S.ShowAgainFlag = ShowAgainFlag;
  S.ShowAgainFlagValue = ShowAgainFlagValue;
  S.X = X;
  S.Y = Y;
  return S;
}

int TbsSkinMessage::Show(TbsMessageForm* F, int HelpCtx, const std::string* HelpFileName, bool Pos, bool WritesBack) {
  struct Finally {
    TbsSkinMessage* Self;
    TbsMessageForm* F;
    bool WritesBack;
    ~Finally() {
      if (WritesBack && F->DisplayCheckBox) Self->ShowAgainFlagValue = !F->DisplayCheckBox->Checked();
      F->Free();
    }
  } Done{this, F, WritesBack};
  F->HelpContext = HelpCtx;
  if (HelpFileName) F->HelpFile = *HelpFileName;
  if (Pos && OnSetShowPos) {
    int AX = F->Left(), AY = F->Top();
    OnSetShowPos(AX, AY, F->Width(), F->Height());
    F->SetBounds(AX, AY, F->Width(), F->Height());
  }
  OnFormShow(F);
  return F->ShowModal();
}

int TbsSkinMessage::MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  return Show(CreateMessageForm(Msg, DlgType, Buttons, Style()), HelpCtx, nullptr, false, true);
}

int TbsSkinMessage::MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                                  int X, int Y) {
  return Show(CreateMessageForm(Msg, DlgType, Buttons, Style(X, Y)), HelpCtx, nullptr, true, true);
}

int TbsSkinMessage::MessageDlgHelp(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                                   const std::string& HelpFileName) {
  return Show(CreateMessageForm(Msg, DlgType, Buttons, Style()), HelpCtx, &HelpFileName, false, true);
}

int TbsSkinMessage::MessageDlg2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                                TMsgDlgButtons Buttons, int HelpCtx) {
  return Show(CreateCaptionedMessageForm(Msg, ACaption, DlgType, Buttons, Style()), HelpCtx, nullptr, false, true);
}

int TbsSkinMessage::MessageDlgHelp2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                                    TMsgDlgButtons Buttons, int HelpCtx, const std::string& HelpFileName) {
  return Show(CreateCaptionedMessageForm(Msg, ACaption, DlgType, Buttons, Style()), HelpCtx, &HelpFileName, false,
              true);
}

int TbsSkinMessage::CustomMessageDlg(const std::string& Msg, const std::string& ACaption, cl::TCustomImageList* AImages,
                                     int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx) {
  return Show(CreateCustomMessageForm(Msg, ACaption, AImages, AImageIndex, Buttons, Style()), HelpCtx, nullptr, false,
              true);
}

int TbsSkinMessage::CustomMessageDlgPos(const std::string& Msg, const std::string& ACaption,
                                        cl::TCustomImageList* AImages, int AImageIndex, TMsgDlgButtons Buttons,
                                        int HelpCtx, int X, int Y) {
  return Show(CreateCustomMessageForm(Msg, ACaption, AImages, AImageIndex, Buttons, Style(X, Y)), HelpCtx, nullptr,
              true, true);
}

int TbsSkinMessage::CustomMessageDlgHelp(const std::string& Msg, const std::string& ACaption,
                                         cl::TCustomImageList* AImages, int AImageIndex, TMsgDlgButtons Buttons,
                                         int HelpCtx, const std::string& HelpFileName) {
  return Show(CreateCustomMessageForm(Msg, ACaption, AImages, AImageIndex, Buttons, Style()), HelpCtx, &HelpFileName,
              false, true);
}

int TbsSkinMessage::WideMessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  return Show(CreateWideMessageForm(Msg, DlgType, Buttons, Style()), HelpCtx, nullptr, false, false);
}

int TbsSkinMessage::WideMessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                                      int X, int Y) {
  return Show(CreateWideMessageForm(Msg, DlgType, Buttons, Style(X, Y)), HelpCtx, nullptr, false, false);
}

}  // namespace skin
