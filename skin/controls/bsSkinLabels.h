// The skinned labels: the class library's label with the font and colour of
// a label record, an ellipsis style and an embossed disabled look
// (TbsSkinStdLabel), and a transparent multi-line text label that sizes
// itself to its lines (TbsSkinTextLabel). Both look their record up on every
// draw and follow the form frame's skin changes.
#pragma once

#include <memory>
#include <string>

#include "platform/cl/stdctrls.h"
#include "platform/rtl/strlist.h"
#include "skin/controls/bsSkinControls.h"

namespace skin {

enum TbsEllipsType { bsetNone, bsetEndEllips, bsetPathEllips };

// What both labels copy from a label record and how they pick their font:
// without a record DefaultFont (UseSkinFont) or Font; with one the record's
// face, style and height (UseSkinFont) and the record's colour (UseSkinColor).
struct TbsLabelSkin {
  std::string FontName;
  gfx::TFontStyles FontStyle{};
  int FontHeight = 14;
  TColor FontColor = 0;
  // FIndex := the record's index (-1 without a usable store or record).
  void Lookup(TbsSkinData* SD, const std::string& Name, int& FIndex);
  void ApplyFont(gfx::TCanvas* C, int FIndex, bool UseSkinFont, bool UseSkinColor, const gfx::TFont& DefaultFont,
                 const gfx::TFont& Font) const;
};
// Draws Text in R with Flags once, or, for a disabled label, embossed: one
// pixel down-right in the highlight colour, then in place in the shadow
// colour (the skin's when SD has a record in use, else the system's).
void DrawEmbossedText(gfx::TCanvas* C, const std::string& Text, TRect& R, unsigned Flags, bool Enabled, TbsSkinData* SD,
                      bool Skinned);

class TbsSkinStdLabel : public cl::TCustomLabel, public TbsSkinChangeable {
 public:
  explicit TbsSkinStdLabel(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  TbsEllipsType EllipsType() const { return FEllipsType; }
  void SetEllipsType(TbsEllipsType Value);
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& Value) { FDefaultFont.Assign(Value); }
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool V) { FUseSkinFont = V; }
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool V) { FUseSkinColor = V; }
  int SkinIndex() const { return FIndex; }
  const TbsLabelSkin& LabelSkin() const { return L; }

  void GetSkinData();
  // Looks the record up, sizes the label to its text when AutoSize, repaints.
  void ChangeSkinData() override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  // The label's text step, also used to measure (DT_CALCRECT).
  void DoDrawText(TRect& Rect, unsigned Flags) override;
  std::string ClassName() const override { return "TbsSkinStdLabel"; }

  TbsEllipsType FEllipsType = bsetNone;
  int FIndex = -1;
  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "stdlabel";
  gfx::TFont FDefaultFont;
  bool FUseSkinFont = true, FUseSkinColor = true;
  TbsLabelSkin L;
};

class TbsSkinTextLabel : public cl::TGraphicControl, public TbsSkinChangeable {
 public:
  explicit TbsSkinTextLabel(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  rtl::TStrings* Lines() { return FLines.get(); }
  void SetLines(const rtl::TStrings& Value);
  cl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(cl::TAlignment Value);
  cl::TTextLayout Layout() const { return FLayout; }
  void SetLayout(cl::TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  void SetAutoSize(bool Value) override;
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& Value) { FDefaultFont.Assign(Value); }
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool V) { FUseSkinFont = V; }
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool V) { FUseSkinColor = V; }
  int SkinIndex() const { return FIndex; }

  void GetSkinData();
  void ChangeSkinData() override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Loaded() override;
  void Paint() override;
  void AdjustBounds() override;
  // Every line followed by a line break.
  virtual std::string GetTextToDraw();
  void DrawLabelText(TRect& R, unsigned Flags);
  std::string ClassName() const override { return "TbsSkinTextLabel"; }

  int FIndex = -1;
  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "stdlabel";
  gfx::TFont FDefaultFont;
  bool FUseSkinFont = true, FUseSkinColor = true;
  std::unique_ptr<rtl::TStringList> FLines;
  cl::TAlignment FAlignment = cl::taLeftJustify;
  cl::TTextLayout FLayout = cl::tlTop;
  bool FWordWrap = false;
  TbsLabelSkin L;
};

}  // namespace skin
