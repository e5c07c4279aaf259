// The skinned tree and list views: the class library's views dressed by a
// view record (font, font colour, background), with no border and no
// scroll bars of their own. One or two external TbsSkinScrollBars stand in
// for the native bars: the views read their own scroll records after every
// change (size, paint, keys, clicks, wheel, selection) and hand them to the
// bars with SetRange, and scroll themselves when a bar's OnChange fires.
//
// The list view also takes over the report header: it subclasses the
// "SysHeader32" window when the core creates it, paints every section from
// a button record (HeaderSkinDataName) or in the default look, shows the
// section under a press as pressed and makes the header 25 pixels wider
// than the list asks, so that the filler past the last section reaches the
// right edge whatever the scroll offset.
#pragma once

#include <functional>
#include <string>

#include "platform/ctl/listview.h"
#include "platform/ctl/treeview.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/controls/bsSkinScrollBar.h"

namespace skin {

// CM_PAINT_FRAME_TO_DC (skin data): the views have no frame and only answer
// kPaintFrameAnswer.
// Sent to a list view to paint its skinned header into the DC in wParam.
constexpr unsigned CM_PAINT_HEADER_TO_DC = 45514;

// ============================================================================ tree view

class TbsSkinCustomTreeView : public ctl::TCustomTreeView, public TbsSkinChangeable {
 public:
  explicit TbsSkinCustomTreeView(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& Value);
  gfx::TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(gfx::TColor Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool V) { FUseSkinFont = V; }
  TbsSkinScrollBar* VScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(TbsSkinScrollBar* Value);
  TbsSkinScrollBar* HScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(TbsSkinScrollBar* Value);
  int SkinIndex() const { return FIndex; }

  void ChangeSkinData() override;
  // Reads the native scroll state and passes it on to the external bars.
  void UpDateScrollBars();

  void Loaded() override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void CreateParams(cl::TCreateParams& Params) override;
  void Change(ctl::TTreeNode* Node) override;
  std::string ClassName() const override { return "TbsSkinCustomTreeView"; }

 private:
  void VScrollBarChange(rtl::TObject* Sender);
  void HScrollBarChange(rtl::TObject* Sender);

  bool FInCheckScrollBars = false;
  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "treeview";
  int FIndex = -1;
  gfx::TFont FDefaultFont;
  bool FUseSkinFont = true;
  gfx::TColor FDefaultColor = gfx::clWindow;
  TbsSkinScrollBar* FVScrollBar = nullptr;
  TbsSkinScrollBar* FHScrollBar = nullptr;
};

class TbsSkinTreeView : public TbsSkinCustomTreeView {
 public:
  using TbsSkinCustomTreeView::TbsSkinCustomTreeView;

 protected:
  std::string ClassName() const override { return "TbsSkinTreeView"; }
};

// ============================================================================ list view

// Draws a header section's content itself: the section's bitmap canvas, its
// column, whether it is pressed and the section's rectangle in the bitmap.
using TbsDrawHeaderSectionEvent =
    std::function<void(gfx::TCanvas* Cnvs, ctl::TListColumn* Column, bool Pressed, const TRect& R)>;

class TbsSkinCustomListView : public ctl::TCustomListView, public TbsSkinChangeable {
 public:
  explicit TbsSkinCustomListView(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  const std::string& HeaderSkinDataName() const { return FHeaderSkinDataName; }
  void SetHeaderSkinDataName(const std::string& V) { FHeaderSkinDataName = V; }
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& Value);
  gfx::TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(gfx::TColor Value);
  bool UseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool V) { FUseSkinFont = V; }
  TbsSkinScrollBar* VScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(TbsSkinScrollBar* Value);
  TbsSkinScrollBar* HScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(TbsSkinScrollBar* Value);
  // Sections follow the header's order array rather than the column order.
  bool FullDrag = false;
  TbsDrawHeaderSectionEvent OnDrawHeaderSection;
  int SkinIndex() const { return FIndex; }

  void ChangeSkinData() override;
  void UpDateScrollBars();

  // The subclassed header (none before the core made one), the section
  // under the last press and whether a section (not a divider) is pressed.
  win::HWND SkinnedHeader() const { return FHeaderHandle; }
  int ActiveSection() const { return FActiveSection; }
  bool HeaderDown() const { return FHeaderDown; }
  bool DividerDown() const { return FDevDown; }
  // Rectangle of the section shown at position i, in header coordinates.
  TRect GetHeaderSectionRect(int i);
  void PaintHeader(gfx::HDC DC);
  void DrawHeaderSection(gfx::TCanvas* Cnvs, ctl::TListColumn* Column, const TRect& R, bool Pressed);

  void Loaded() override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void CreateParams(cl::TCreateParams& Params) override;
  void Change(ctl::TListItem* Item, int Change) override;
  std::string ClassName() const override { return "TbsSkinCustomListView"; }

 private:
  void GetHeaderSkinData();
  void ApplySelectionColors();
  bool HeaderSkinned() const;
  void UnhookHeader();
  win::LRESULT SkinHeaderWindowProc(win::HWND H, win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);
  void VScrollBarChange(rtl::TObject* Sender);
  void HScrollBarChange(rtl::TObject* Sender);
  int FirstItemHeight();
  int FirstItemWidth();
  void ApplyBar(TbsSkinScrollBar* Bar, int BarKind, bool Show, int Page, bool& Changed);
  void FinishUpdate(bool Changed);

  bool FDevDown = false;
  std::string FHeaderSkinDataName = "resizetoolbutton";
  bool FInCheckScrollBars = false;
  bool FromSB = false;
  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "listview";
  int FIndex = -1;
  gfx::TFont FDefaultFont;
  bool FUseSkinFont = true;
  gfx::TColor FDefaultColor = gfx::clWindow;
  TbsSkinScrollBar* FVScrollBar = nullptr;
  TbsSkinScrollBar* FHScrollBar = nullptr;
  int FOldVScrollBarPos = 0, FOldHScrollBarPos = 0;
  win::HWND FHeaderHandle;
  win::WNDPROC FHeaderInstance;
  win::WNDPROC FDefHeaderProc;
  int FActiveSection = -1;
  bool FHeaderDown = false;
  int FHIndex = -1;
  // Copied from the header record.
  TPoint HLTPt, HRTPt, HLBPt, HRBPt;
  TRect HSkinRect, HClRect;
  gfx::TBitmap* HPicture = nullptr;
  gfx::TColor HFontColor = 0, HDownFontColor = 0;
  TRect HActiveSkinRect, HDownSkinRect;
  bool HStretchEffect = false, HLeftStretch = false, HTopStretch = false, HRightStretch = false, HBottomStretch = false;
  TbsStretchType HStretchType = bsstFull;
};

class TbsSkinListView : public TbsSkinCustomListView {
 public:
  using TbsSkinCustomListView::TbsSkinCustomListView;

 protected:
  std::string ClassName() const override { return "TbsSkinListView"; }
};

}  // namespace skin
