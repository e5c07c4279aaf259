// Skinned message boxes: TbsSkinMessage keeps the configuration (skins,
// fonts, the show-again option) and every call builds a TbsMessageForm in
// code, frames it with its own TbsSkinForm, shows it modally, reads the
// result back and frees it. Button captions and dialog captions come from
// the controls' skin texts (MSG_BTN_*, MSG_CAP_*) when that skin has them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/cl/forms.h"
#include "platform/cl/imglist.h"
#include "platform/cl/stateholders.h"
#include "skin/controls/bsSkinButtons.h"
#include "skin/controls/bsSkinCheckRadio.h"
#include "skin/data/bsSkinData.h"
#include "skin/form/bsSkinForm.h"
#include "skin/controls/bsSkinLabels.h"

namespace skin {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp,
  mbClose
};
constexpr int kMsgDlgBtnCount = 12;

// A set of buttons: bit n stands for the button of ordinal n.
struct TMsgDlgButtons {
  uint16_t Bits = 0;
  constexpr TMsgDlgButtons() = default;
  constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> L) {
    for (TMsgDlgBtn B : L) Bits = uint16_t(Bits | (1u << unsigned(B)));
  }
  constexpr bool Contains(TMsgDlgBtn B) const { return (Bits >> unsigned(B)) & 1u; }
  int Count() const;
};

// X (and Y) below this centres the form on the screen.
constexpr int kMessageCentred = -10001;

// The fixed tables, indexed by TMsgDlgBtn and TMsgDlgType.
const char* MessageButtonName(TMsgDlgBtn B);
const char* MessageButtonCaption(TMsgDlgBtn B);
const char* MessageButtonResKey(TMsgDlgBtn B);
int MessageButtonResult(TMsgDlgBtn B);
const char* MessageDialogCaption(TMsgDlgType T);
int MessageDialogIconId(TMsgDlgType T);  // 0 = no icon
// The check box text of the show-again option.
const char* ShowAgainText();

// The skin's text for the key when the skin has texts (an absent key gives
// ""), else the built-in caption.
std::string GetMessageButtonCaption(TMsgDlgBtn B, TbsSkinData* CtrlSkinData);
std::string GetMessageDialogCaption(TMsgDlgType T, TbsSkinData* CtrlSkinData);

class TbsMessageForm : public cl::TForm {
 public:
  // X < -10000 centres the form on the screen, otherwise it goes to (X, Y).
  TbsMessageForm(cl::TComponent* AOwner, int X, int Y);

  TbsSkinForm* BSF = nullptr;
  TbsSkinCheckRadioBox* DisplayCheckBox = nullptr;  // null without the show-again box
  TbsSkinStdLabel* Message = nullptr;
  cl::TImage* Image = nullptr;  // null without an icon
  std::string HelpFile;
  int HelpContext = 0;
  // Set by the builders: the buttons the form has, in the order they show.
  TbsSkinButton* DefaultButton = nullptr;
  TbsSkinButton* CancelButton = nullptr;

  void HelpButtonClick(rtl::TObject* Sender);
  // Button by component name ("OK", "Yes" ...), null when absent.
  TbsSkinButton* Button(const std::string& AName);

 protected:
  void Dispatch(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsMessageForm"; }
};

// The settings every builder takes after its own leading arguments.
struct TbsMessageStyle {
  TbsSkinData* SkinData = nullptr;
  TbsSkinData* CtrlSkinData = nullptr;
  std::string ButtonSkinDataName = "button";
  std::string MessageLabelSkinDataName = "stdlabel";
  const gfx::TFont* DefaultFont = nullptr;  // null: "Arial" height 14
  const gfx::TFont* DefaultButtonFont = nullptr;
  bool UseSkinFont = true;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;
  bool ShowAgainFlag = false, ShowAgainFlagValue = false;
  int X = kMessageCentred, Y = kMessageCentred;
};

// The builders: a new, unshown form owned by the application.
TbsMessageForm* CreateMessageForm(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                  const TbsMessageStyle& S);
TbsMessageForm* CreateCaptionedMessageForm(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType,
                                           TMsgDlgButtons Buttons, const TbsMessageStyle& S);
TbsMessageForm* CreateCustomMessageForm(const std::string& Msg, const std::string& ACaption,
                                        cl::TCustomImageList* AImages, int AImageIndex, TMsgDlgButtons Buttons,
                                        const TbsMessageStyle& S);
// Never has the show-again box.
TbsMessageForm* CreateWideMessageForm(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                      const TbsMessageStyle& S);

class TbsSkinMessage : public cl::TComponent {
 public:
  explicit TbsSkinMessage(cl::TComponent* AOwner = nullptr);

  bool ShowAgainFlag = false;
  // In and out: true means the box is (and was left) unchecked.
  bool ShowAgainFlagValue = false;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;
  std::string ButtonSkinDataName = "button";
  std::string MessageLabelSkinDataName = "stdlabel";
  bool UseSkinFont = true;

  TbsSkinData* SkinData() const { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  TbsSkinData* CtrlSkinData() const { return FCtrlSD; }
  void SetCtrlSkinData(TbsSkinData* Value);
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& Value) { FDefaultFont.Assign(Value); }
  gfx::TFont* DefaultButtonFont() { return &FDefaultButtonFont; }
  void SetDefaultButtonFont(const gfx::TFont& Value) { FDefaultButtonFont.Assign(Value); }

  // Lets the application move the form of the Pos entry points.
  rtl::Event<void(int& AX, int& AY, int AWidth, int AHeight)> OnSetShowPos;
  // Called with every built form just before it shows (tests look at it here).
  rtl::Event<void(TbsMessageForm* Form)> OnFormShow;

  int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
  int MessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
  int MessageDlgHelp(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                     const std::string& HelpFileName);
  int MessageDlg2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                  int HelpCtx);
  int MessageDlgHelp2(const std::string& Msg, const std::string& ACaption, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                      int HelpCtx, const std::string& HelpFileName);
  int CustomMessageDlg(const std::string& Msg, const std::string& ACaption, cl::TCustomImageList* AImages,
                       int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx);
  int CustomMessageDlgPos(const std::string& Msg, const std::string& ACaption, cl::TCustomImageList* AImages,
                          int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
  int CustomMessageDlgHelp(const std::string& Msg, const std::string& ACaption, cl::TCustomImageList* AImages,
                           int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx, const std::string& HelpFileName);
  int WideMessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
  int WideMessageDlgPos(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);

  // The current settings as the builders take them.
  TbsMessageStyle Style(int X = kMessageCentred, int Y = kMessageCentred) const;

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinMessage"; }

 private:
  int Show(TbsMessageForm* F, int HelpCtx, const std::string* HelpFileName, bool Pos, bool WritesBack);

  TbsSkinData* FSD = nullptr;
  TbsSkinData* FCtrlSD = nullptr;
  gfx::TFont FDefaultFont, FDefaultButtonFont;
};

}  // namespace skin
