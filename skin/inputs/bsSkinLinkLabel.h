// The link label: a label drawn underlined in the skin's "stdlabel" font (or
// its own default font), coloured while the pointer is over it, optionally
// with a glow, that opens its URL with the desktop's opener on a click.
#pragma once

#include <string>

#include "platform/cl/stdctrls.h"
#include "skin/controls/bsSkinControls.h"

namespace skin {

class TbsSkinLinkLabel : public cl::TCustomLabel, public TbsSkinChangeable {
 public:
  explicit TbsSkinLinkLabel(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  bool GlowEffect() const { return FGlowEffect; }
  void SetGlowEffect(bool V) {
    FGlowEffect = V;
    Invalidate();
  }
  int GlowSize() const { return FGlowSize; }
  void SetGlowSize(int V) {
    FGlowSize = V;
    Invalidate();
  }
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& V) { FDefaultFont.Assign(V); }
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool V) { FUseSkinFont = V; }
  gfx::TColor DefaultActiveFontColor() const { return FDefaultActiveFontColor; }
  void SetDefaultActiveFontColor(gfx::TColor V) { FDefaultActiveFontColor = V; }
  const std::string& URL() const { return FURL; }
  void SetURL(const std::string& V) { FURL = V; }
  bool UseUnderLine() const { return FUseUnderLine; }
  void SetUseUnderLine(bool V);
  bool MouseIn() const { return FMouseIn; }
  int SkinIndex() const { return FIndex; }

  // Looks the record up again and repaints.
  void ChangeSkinData() override;
  // OnClick, then the URL (when set) goes to the desktop's opener.
  void Click() override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void DoDrawText(TRect& Rect, unsigned Flags) override;
  std::string ClassName() const override { return "TbsSkinLinkLabel"; }

 private:
  void GetSkinData();

  bool FGlowEffect = false;
  int FGlowSize = 7;
  bool FMouseIn = false;
  int FIndex = -1;
  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "stdlabel";
  gfx::TFont FDefaultFont;
  bool FUseSkinFont = true;
  gfx::TColor FDefaultActiveFontColor = gfx::clBlue;
  std::string FURL;
  bool FUseUnderLine = true;
  std::string FontName;
  gfx::TFontStyles FontStyle;
  int FontHeight = 0;
  gfx::TColor FontColor = 0, ActiveFontColor = 0;
};

}  // namespace skin
