// The tab core (TCustomTabControl, TTabControl, TPageControl, TTabSheet):
// one row of tabs along the top, sized to their text and image unless a
// fixed width is set; selection by mouse and keyboard with OnChanging (which
// may refuse) and OnChange; a strip scrolled by WM_HSCROLL SB_THUMBPOSITION
// (tabs scrolled out on the left end at 0 or before); the TCM_* surface
// (TCM_ADJUSTRECT, TCM_GETITEMRECT, TCM_SETITEMSIZE, TCM_SETCURSEL, ...).
// No up-down scroller window is ever created.
#pragma once

#include "platform/cl/controls.h"
#include "platform/ctl/commctrl.h"
#include "platform/gfx/imagelist.h"
#include "platform/rtl/strlist.h"

#include <memory>
#include <string>
#include <vector>

namespace ctl {

using cl::TComponent;
using cl::TMessage;
using gfx::TPoint;
using gfx::TRect;

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };
using TTabChangingEvent = rtl::Event<void(rtl::TObject* Sender, bool& AllowChange)>;
using TTabGetImageEvent = rtl::Event<void(rtl::TObject* Sender, int TabIndex, int& ImageIndex)>;

class TCustomTabControl : public cl::TWinControl {
 public:
  explicit TCustomTabControl(TComponent* AOwner);

  // The tab captions (a TabControl's own; a page control's follow its pages).
  rtl::TStrings& Tabs() { return *tabs_; }
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int v);  // TCM_SETCURSEL: no OnChanging/OnChange
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int v);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int v);
  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition p);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v);
  TTabStyle Style = tsTabs;
  bool HotTrack = false, OwnerDraw = false, RaggedRight = false, ScrollOpposite = false;
  gfx::HIMAGELIST Images() const { return images_; }
  void SetImages(gfx::HIMAGELIST il);
  // The first tab shown (scrolled by WM_HSCROLL SB_THUMBPOSITION).
  int FirstVisibleTab() const { return first_; }
  TRect TabRect(int index);  // TCM_GETITEMRECT
  TRect DisplayRect();       // the client area less the tabs (TCM_ADJUSTRECT)
  int IndexOfTabAt(int x, int y);

  TTabChangingEvent OnChanging;
  rtl::TNotifyEvent OnChange;
  TTabGetImageEvent OnGetImageIndex;

  void Dispatch(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;

 protected:
  // The user asks to move to another tab: false refuses.
  virtual bool CanChange();
  // After the user moved to another tab.
  virtual void Change();
  virtual int GetImageIndex(int tabIndex);
  void AdjustClientRect(TRect& rect) override;
  void PaintWindow(gfx::HDC dc) override;
  void CreateWnd() override;
  std::string ClassName() const override { return "TCustomTabControl"; }
  // Tabs changed (added, removed, renamed): sizes and selection are checked.
  void TabsChanged();
  std::unique_ptr<rtl::TStringList> tabs_;

 private:
  int ItemHeight() const;
  int NaturalWidth(int index) const;
  int TabLeft(int index) const;  // before scrolling
  void UserSelect(int index);
  void EnsureTabVisible(int index);

  int tabIndex_ = -1;
  int tabHeight_ = 0, tabWidth_ = 0;
  int setWidth_ = 0, setHeight_ = 0;  // TCM_SETITEMSIZE
  TTabPosition tabPosition_ = tpTop;
  bool multiLine_ = false;
  gfx::HIMAGELIST images_ = nullptr;
  int first_ = 0;
};

class TTabControl : public TCustomTabControl {
 public:
  using TCustomTabControl::TCustomTabControl;

 protected:
  std::string ClassName() const override { return "TTabControl"; }
};

class TPageControl;

class TTabSheet : public cl::TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* p);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  int PageIndex() const;
  void SetPageIndex(int i);
  int TabIndex() const;  // among the visible tabs; -1 when its tab is hidden
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  void Dispatch(TMessage& m) override;

 protected:
  void Destroy() override;
  std::string ClassName() const override { return "TTabSheet"; }

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = 0;
};

class TPageControl : public TCustomTabControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  int PageCount() const { return int(pages_.size()); }
  TTabSheet* Pages(int i) const;
  TTabSheet* ActivePage() const { return activePage_; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int i);
  TTabSheet* FindNextPage(TTabSheet* cur, bool goForward, bool checkTabVisible);
  // Through OnChanging and OnChange, as the user's choice.
  void SelectNextPage(bool goForward, bool checkTabVisible = true);
  void Dispatch(TMessage& m) override;

 protected:
  void Change() override;
  int GetImageIndex(int tabIndex) override;
  void Destroy() override;
  std::string ClassName() const override { return "TPageControl"; }

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void UpdateTabs();
  void ShowPage(TTabSheet* page);
  TTabSheet* PageOfTab(int tabIndex) const;

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

}  // namespace ctl
