// The skinned page control and its tab sheets. The tab core keeps the tabs,
// their sizes, the selection and the strip's scrolling; the skinned control
// places the tabs on any of the four sides, adjusts the display and tab
// rectangles to its frame, and paints everything itself from a tab record
// or in the default look: the frame, the strip, each tab in its state
// (built lying and turned for left and right tabs), images, captions and
// close buttons. It adds a hot tab, close buttons with a close protocol, a
// skinned up-down scroller for a strip too long for the control, centred
// or offset tabs, wheel paging and hiding the tabs and the border.
//
// A sheet paints its background from the page control's skin (or a
// wallpaper of its own) and holds its tab's close-button state.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/cl/imglist.h"
#include "platform/ctl/tabs.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/controls/bsSkinUpDown.h"

namespace skin {

class TbsSkinPageControl;

class TbsSkinCustomTabSheet : public ctl::TTabSheet {
 public:
  explicit TbsSkinCustomTabSheet(cl::TComponent* AOwner);

  gfx::TBitmap* WallPaper() { return &FWallPaper; }
  void SetWallPaper(gfx::TBitmap* Value);
  // Paints the background (wallpaper, skin picture or face) into DC.
  void PaintBG(gfx::HDC DC);

  // The close button of this sheet's tab, in tab coordinates as the tab
  // lies on the screen (written by the painter), hot and pressed.
  TRect ButtonRect;
  bool ButtonMouseIn = false;
  bool ButtonMouseDown = false;

  void Dispatch(cl::TMessage& Msg) override;

 protected:
  std::string ClassName() const override { return "TbsSkinCustomTabSheet"; }

 private:
  TbsSkinPageControl* SkinPageControl() const;
  void NotifyChildrenBGChanged();
  gfx::TBitmap FWallPaper;
};

class TbsSkinTabSheet : public TbsSkinCustomTabSheet {
 public:
  using TbsSkinCustomTabSheet::TbsSkinCustomTabSheet;

 protected:
  std::string ClassName() const override { return "TbsSkinTabSheet"; }
};

using TbsCloseEvent = std::function<void(rtl::TObject* Sender, bool& CanClose)>;
using TbsDrawSkinTabEvent =
    std::function<void(int TabIndex, const TRect& Rct, bool Active, bool MouseIn, gfx::TCanvas* Cnvs)>;

class TbsSkinPageControl : public ctl::TPageControl, public TbsSkinChangeable {
 public:
  explicit TbsSkinPageControl(cl::TComponent* AOwner);

  // ---- properties
  bool MouseWheelSupport = false;
  bool TabExtededDraw() const { return FTabExtendedDraw; }
  void SetTabExtededDraw(bool V);
  int TabsOffset() const { return FTabsOffset; }
  void SetTabsOffset(int V);
  int TabMargin() const { return FTabMargin; }
  void SetTabMargin(int V);
  int TabSpacing() const { return FTabSpacing; }
  void SetTabSpacing(int V);
  TbsButtonLayout TabLayout() const { return FTabLayout; }
  void SetTabLayout(TbsButtonLayout V);
  bool TextInHorizontal() const { return FTextInHorizontal; }
  void SetTextInHorizontal(bool V);
  bool TabsInCenter() const { return FTabsInCenter; }
  void SetTabsInCenter(bool V);
  bool FreeOnClose = false;
  bool ShowCloseButtons() const { return FShowCloseButtons; }
  void SetShowCloseButtons(bool V);
  cl::TCustomImageList* Images() const { return FImages; }
  void SetImages(cl::TCustomImageList* V);
  bool TabsBGTransparent() const { return FTabsBGTransparent; }
  void SetTabsBGTransparent(bool V);
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& V) { FDefaultFont.Assign(V); }
  bool UseSkinFont = true;
  int DefaultItemHeight() const { return FDefaultItemHeight; }
  void SetDefaultItemHeight(int V);
  TbsSkinData* SkinData() const override { return FSD; }
  void SetSkinData(TbsSkinData* V);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  TbsCloseEvent OnClose;
  rtl::TNotifyEvent OnAfterClose;
  TbsDrawSkinTabEvent OnDrawSkinTab;

  // The pages move to the new display rectangle at once.
  void SetTabPosition(ctl::TTabPosition P);

  // ---- operations
  void ChangeSkinData() override;
  void GetSkinData();
  void UpDateTabs();
  void HideTabs();
  void ShowTabs();
  void HideBorderAndTabs();
  void ShowBorderAndTabs();
  void SetItemSize(int W, int H);
  TRect GetTabRect(int Index);
  int GetTabsOffset();
  bool HasVisibleTabs() const;
  int GetCloseSize() const;
  void CloseActivePage();
  // Closes Page through OnClose, TabVisible, FreeOnClose and OnAfterClose.
  void ClosePage(ctl::TTabSheet* Page);
  void UpdateHotTab(int X, int Y);
  void SelectNextSheet();
  void SelectPriorSheet();

  // ---- state, for the owner and the tests
  int SkinIndex() const { return FIndex; }
  bool Skinned() const;
  int ActiveTab() const { return FActiveTab; }
  int ActiveTabIndex() const { return FActiveTabIndex; }
  TbsSkinUpDown* Scroller() const { return FSkinUpDown; }
  // The image list whose size reserves room in every tab.
  const cl::TCustomImageList* TempImages() const { return FTempImages; }
  int GetHiddenTabCount();
  int GetScrolledTabCount();
  bool TabsHidden() const { return FHideTabs; }

  void Loaded() override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;

  // Quarter turns and flips of a bitmap (through the effect bitmap): Left
  // counter-clockwise, Right clockwise.
  static void DrawBitmapRotatedLeft(gfx::TCanvas* C, gfx::TBitmap* B, int X, int Y);
  static void DrawBitmapRotatedRight(gfx::TCanvas* C, gfx::TBitmap* B, int X, int Y);
  static void RotateBitmapLeft(gfx::TBitmap* B);
  static void RotateBitmapRight(gfx::TBitmap* B);
  static void FlipBitmapVert(gfx::TBitmap* B);

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void PaintWindow(gfx::HDC DC) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void Change() override;
  std::string ClassName() const override { return "TbsSkinPageControl"; }

 private:
  friend class TbsSkinCustomTabSheet;
  struct TTabSkin {
    TRect CloseButtonRect, ClosebuttonActiveRect, CloseButtonDownRect;
    bool ButtonTransparent = false;
    gfx::TColor ButtonTransparentColor = 0;
    gfx::TBitmap* Picture = nullptr;
    TRect SkinRect, ClRect, TabRect, ActiveTabRect, FocusTabRect, MouseInTabRect, TabsBGRect;
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    int TabLeftOffset = 0, TabRightOffset = 0;
    std::string FontName;
    gfx::TFontStyles FontStyle{};
    int FontHeight = 14;
    gfx::TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
    std::string UpDown;
    int BGPictureIndex = -1;
    bool TabStretchEffect = false, ShowFocus = false;
    int FocusOffsetX = 0, FocusOffsetY = 0;
    bool StretchEffect = false, LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
    TbsStretchType StretchType = bsstFull;
  };

  // The tab rectangle of the tab core placed on the control's side, before
  // the skinned adjustment; the core's display rectangle likewise.
  TRect NativeTabRect(int Index);
  void NativeAdjustRect(TRect& R);
  void AdjustDisplayRect(TRect& R);
  void AdjustTabRect(TRect& R);
  bool SideTabs() const;
  void AddRoom(int Delta);
  TbsSkinCustomTabSheet* Sheet(int PageIndex) const;
  TRect CloseHitRect(int PageIndex, bool WithOffset);
  void RepaintTabs() { Invalidate(); }
  void UpdateScroller();
  void CreateScroller();
  void FreeScroller();
  void UpdateScrollerPosition();
  void UpDownChange(rtl::TObject* Sender);
  // Painting.
  TRect FrameRect();
  void DrawDefaultFrame(gfx::TCanvas* C);
  void DrawSkinFrame(gfx::TCanvas* C);
  TRect GetSelectedTabFrameRect();
  void DrawTabs(gfx::TCanvas* C);
  void DrawTab(int PageIndex, const TRect& R, gfx::TCanvas* C, bool MouseIn, bool Active);
  void DrawCloseButton(gfx::TCanvas* C, TRect CR, int PageIndex, int W, int H);
  void DrawTabImageAndText(gfx::TCanvas* C, int W, int H, int Shift, bool Enabled, int ImageIndex,
                           const std::string& Text);
  void PaintSkinBackground(gfx::HDC DC);
  // Lays Tile over a W x H area of C by the skin's stretch rules.
  void LayTile(gfx::TCanvas* C, gfx::TBitmap* Tile, int W, int H);

  bool FTabExtendedDraw = false;
  int FTabMargin = -1, FTabSpacing = 1;
  TbsButtonLayout FTabLayout = blGlyphLeft;
  bool FTextInHorizontal = false;
  bool FHideTabs = false, FHideBorder = false;
  ctl::TTabPosition FOldTabPosition = ctl::tpTop;
  bool FOldMultiLine = false;
  int FOldTabHeight = -1;
  int FCloseSize = 14;
  bool FShowCloseButtons = false, FTabsBGTransparent = false;
  int FActiveTab = -1, FActiveTabIndex = -1, FOldActiveTab = -1, FOldActiveTabIndex = -1;
  cl::TCustomImageList* FImages = nullptr;
  cl::TCustomImageList* FTempImages = nullptr;
  bool FTabsInCenter = false;
  int FTabsOffset = 0;
  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "tab";
  int FIndex = -1;
  TbsSkinUpDown* FSkinUpDown = nullptr;
  gfx::TFont FDefaultFont;
  int FDefaultItemHeight = 20;
  TTabSkin S;
};

}  // namespace skin
