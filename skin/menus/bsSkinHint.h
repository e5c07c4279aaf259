// Skinned tool tips: the hint window the application's hint pipeline shows
// (drawn from the skin's HINTWINDOW record, or in the plain look), plain or
// with a bold title and an image, and the hint component that installs it,
// breaks hint texts into lines at its separator and shows hints of its own
// at once or after the hint pause.
#pragma once

#include <string>

#include "platform/cl/application.h"
#include "platform/cl/imglist.h"
#include "platform/cl/timer.h"
#include "skin/data/bsSkinData.h"

namespace skin {

class TbsSkinHint;

// What a control offers the hint component besides its Hint text: a bold
// title line and an image. The skinned control bases implement it.
class IbsSkinHintSource {
 public:
  virtual ~IbsSkinHintSource() = default;
  virtual std::string HintTitle() const = 0;
  virtual int HintImageIndex() const = 0;
  virtual cl::TCustomImageList* HintImageList() const = 0;
};

class TbsSkinHintWindow : public cl::THintWindow {
 public:
  explicit TbsSkinHintWindow(cl::TComponent* AOwner);

  cl::TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
  // Only the top-left of Rect counts: the window sizes itself.
  void ActivateHintData(cl::TRect Rect, const std::string& AHint, void* AData) override;
  void ActivateHintEx(cl::TRect Rect, const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                      cl::TCustomImageList* AImageList);
  // Centred under ARect (above it when ATop).
  void ActivateHintFromRect(cl::TRect ARect, const std::string& AHint, bool ATop);
  void HideHintWindow();
  void Dispatch(cl::TMessage& Msg) override;

  TRect NewClRect;
  TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
  TbsSkinHint* FspHint = nullptr;
  TbsSkinData* FSD = nullptr;
  bool FOldAlphaBlend = false;
  int FOldAlphaBlendValue = 0;
  bool AExtendedStyle = false;
  std::string Title;
  int ImageIndex = -1;
  cl::TCustomImageList* ImageList = nullptr;

 protected:
  void CreateParams(cl::TCreateParams& Params) override;
  void Paint() override;
  std::string ClassName() const override { return "TbsSkinHintWindow"; }

 private:
  enum class Kind { Plain, Extended, FromRect };
  // The common activation: skin, font, text, size, bounds, alpha, region, show.
  void Activate(Kind K, TPoint At, TRect FromRect, bool ATop, const std::string& AHint);
  void SetupFont(gfx::TCanvas* C);
  void MeasureText(const std::string& S, int& W, int& H);
  void PlainSize(int& W, int& H);
  void ExtendedSize(int& W, int& H);
  void CornerAdjust(int& W, int& H);
  gfx::TBitmap* Picture() const;
};

// The class the application makes its hint window of while a hint component lives.
cl::THintWindow* MakeSkinHintWindow(cl::TComponent* AOwner);

class TbsSkinHint : public cl::TComponent {
 public:
  explicit TbsSkinHint(cl::TComponent* AOwner);

  const std::string& LineSeparator() const { return FLineSeparator; }
  // A separator that holds a line break could never be replaced to an end:
  // such a value is refused (the old one stays).
  void SetLineSeparator(const std::string& V);
  TbsSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TbsSkinData* V);
  bool Active() const { return FActive; }
  void SetActive(bool V);
  bool AlphaBlend = false;
  int AlphaBlendValue = 0;
  bool AlphaBlendAnimation = false;
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& F) { FDefaultFont.Assign(F); }
  bool UseSkinFont = true;
  cl::TShowHintEvent OnShowHint;

  void ActivateHint(TPoint P, const std::string& AHint);
  void ActivateHintEx(TPoint P, const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                      cl::TCustomImageList* AImageList);
  void ActivateHint2(const std::string& AHint);
  void ActivateHintEx2(const std::string& AHintTitle, const std::string& AHint, int AImageIndex,
                       cl::TCustomImageList* AImageList);
  void ActivateHint3(TRect AFromRect, const std::string& AHint, bool ATop);
  void HideHint();
  bool IsVisible() const;
  int GetCursorHeightMargin() const;
  // The text with every separator turned into a line break.
  std::string SplitLines(const std::string& S) const;

  TbsSkinHintWindow* HW = nullptr;
  cl::TTimer* HintTimer = nullptr;
  std::string HintText;
  TRect FromRect;
  bool Top = false;
  std::string FHintTitle;
  int FHintImageIndex = 0;
  cl::TCustomImageList* FHintImageList = nullptr;

  // The application's OnShowHint, served by the active component.
  void DoShowHint(std::string& HintStr, bool& CanShow, cl::THintInfo& HintInfo);

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinHint"; }

 private:
  enum class Delayed { Plain, Extended, FromRect };
  void StartDelayed(Delayed K);
  void ShowTick(rtl::TObject* Sender);
  void HideTick(rtl::TObject* Sender);
  void InstallHandler();
  Delayed FDelayed = Delayed::Plain;
  std::string FLineSeparator = "@";
  TbsSkinData* FSkinData = nullptr;
  bool FActive = true;
  gfx::TFont FDefaultFont;
};

// The active hint component of the main form (nullptr when none): whose
// settings every hint window uses.
TbsSkinHint* ActiveSkinHint();

}  // namespace skin
