// The skin store and everything a skin is made of: the description text's
// value kinds, the skin records of controls and form objects, the window-wide
// records, the interface texts, the compressed stored skins and the skin list.
//
// Every skinned object holds a TbsSkinData and the name of its record. It
// looks the record up by exact name (GetIndex / GetControlIndex), checks the
// record's class with dynamic_cast and copies the fields it draws from.
// Pictures stay owned by the store and are borrowed by index.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "skin/data/bsSkinTypes.h"

namespace skin {

class TbsSkinData;

// ---------------------------------------------------------------------------
// Skin-change messages (wParam = the sending store, lParam = 1000).
constexpr unsigned WM_BEFORE_CHANGE_SKIN_DATA = 1225;
constexpr unsigned WM_CHANGE_SKIN_DATA = 1226;
constexpr unsigned WM_AFTER_CHANGE_SKIN_DATA = 1227;
constexpr unsigned WM_CLOSE_SKIN_MENU = 1228;
constexpr unsigned WM_CHANGE_RESOURCE_STR_DATA = 1274;
constexpr unsigned WM_PARENT_BG_CHANGED = 1284;
constexpr unsigned WM_CHANGE_SKINNABLE_FORM = 1294;
constexpr unsigned WM_CHANGE_LAYERED_BORDERS = 1427;
constexpr intptr_t SKIN_MESSAGE_LPARAM = 1000;

// Paint-to-DC requests (wParam = the target device context): a framed
// control paints its look without text (answer kPaintFrameAnswer, also
// given by controls with no frame to paint), and the "2" forms act only
// with lParam PAINT_TO_DC2_KEY and answer it.
constexpr unsigned CM_PAINT_FRAME_TO_DC = 45513;
constexpr intptr_t kPaintFrameAnswer = 12851;
constexpr unsigned WM_PAINT_CLIENT_TO_DC2 = 48202;
constexpr unsigned WM_PAINT_FRAME_TO_DC2 = 48203;
constexpr intptr_t PAINT_TO_DC2_KEY = 16802;

// The application's forms as the store's broadcast sees them. The window
// layer installs one process-wide (SetSkinFormRegistry); tests install a fake.
class TbsSkinFormRegistry {
 public:
  using Form = const void*;
  virtual ~TbsSkinFormRegistry() = default;
  // Every form on the screen, in screen-list order. A form whose window
  // handle does not exist yet gets one before it is returned.
  virtual std::vector<Form> ScreenForms() = 0;
  virtual std::string FormClassName(Form AForm) = 0;
  // Synchronous: the form has handled the message when this returns.
  virtual void SendMessage(Form AForm, unsigned Msg, TbsSkinData* WParam, intptr_t LParam) = 0;
  // The form a component belongs to when it is a form itself; nullptr
  // otherwise. The store asks this about its owner.
  virtual Form FormOf(cl::TComponent* AComponent) {
    (void)AComponent;
    return nullptr;
  }
};
void SetSkinFormRegistry(TbsSkinFormRegistry* ARegistry);
TbsSkinFormRegistry* SkinFormRegistry();

// ---------------------------------------------------------------------------
// Value kinds of the description (readers and writers).

// Reads a point or rect value: fields cut at ",", only the digits of each
// field count (so "-5" reads as 5); an empty field raises EConvertError.
TPoint ParsePoint(const std::string& S);
TRect ParseRect(const std::string& S);
// Integer values: decimal with an optional sign, or hexadecimal after "0x",
// "0X" or "$" (wrapping to 32 bits); any other text gives Default.
int ParseSkinInteger(const std::string& S, int Default);

TRect ReadRect(TIniFile& F, const std::string& Section, const std::string& Ident);
TPoint ReadPoint(TIniFile& F, const std::string& Section, const std::string& Ident);
bool ReadBoolFlag(TIniFile& F, const std::string& Section, const std::string& Ident);
TFontStyles ReadFontStyles(TIniFile& F, const std::string& Section, const std::string& Ident);
// Appends the items of the section to AList: "Prefix"+"count" gives n, the
// keys "0".."n-1" (no prefix) the items. WriteStrings writes the same keys.
void ReadStrings(TIniFile& F, const std::string& Section, const std::string& Prefix, std::vector<std::string>& AList);
// The entries "0".."count-1" of an index section that are present, in
// number order (an absent entry would create no record anyway).
std::vector<std::pair<long long, std::string>> ReadIndexEntries(TIniFile& F, const std::string& Section);
TAlignment ReadAlignment(TIniFile& F, const std::string& Section, const std::string& Ident);
TbsStretchType ReadStretchType(TIniFile& F, const std::string& Section, const std::string& Ident);
TbsInActiveEffect ReadInActiveEffect(TIniFile& F, const std::string& Section, const std::string& Ident);
TbsMorphKind ReadMorphKind(TIniFile& F, const std::string& Section, const std::string& Ident);
int ReadSkinInteger(TIniFile& F, const std::string& Section, const std::string& Ident, int Default);
TColor ReadSkinColor(TIniFile& F, const std::string& Section, const std::string& Ident, TColor Default);
TbsStdCommand ReadStdCommand(TIniFile& F, const std::string& Section, const std::string& Ident);

void WriteRect(TIniFile& F, const std::string& Section, const std::string& Ident, const TRect& R);
void WritePoint(TIniFile& F, const std::string& Section, const std::string& Ident, const TPoint& P);
void WriteBoolFlag(TIniFile& F, const std::string& Section, const std::string& Ident, bool B);
void WriteFontStyles(TIniFile& F, const std::string& Section, const std::string& Ident, TFontStyles FS);
void WriteStrings(TIniFile& F, const std::string& Section, const std::string& Prefix,
                  const std::vector<std::string>& AList);
void WriteAlignment(TIniFile& F, const std::string& Section, const std::string& Ident, TAlignment A);
void WriteStretchType(TIniFile& F, const std::string& Section, const std::string& Ident, TbsStretchType T);
void WriteInActiveEffect(TIniFile& F, const std::string& Section, const std::string& Ident, TbsInActiveEffect E);
void WriteMorphKind(TIniFile& F, const std::string& Section, const std::string& Ident, TbsMorphKind K);
void WriteSkinInteger(TIniFile& F, const std::string& Section, const std::string& Ident, int V);
void WriteSkinColor(TIniFile& F, const std::string& Section, const std::string& Ident, TColor C);
void WriteStdCommand(TIniFile& F, const std::string& Section, const std::string& Ident, TbsStdCommand C);

// Text forms of the words, shared by the writers and the dump.
std::string RectToStr(const TRect& R);
std::string PointToStr(const TPoint& P);
std::string FontStylesToStr(TFontStyles FS);
const char* AlignmentToStr(TAlignment A);
const char* StretchTypeToStr(TbsStretchType T);
const char* InActiveEffectToStr(TbsInActiveEffect E);
const char* MorphKindToStr(TbsMorphKind K);
const char* StdCommandToStr(TbsStdCommand C);

// The five sections every skin description must have (each with a key).
bool IsValidSkinIni(TIniFile& F);

// One pass over the keys of a section, in the order a record reads them.
// A reader fills the fields, a writer writes them and a dumper prints them,
// so the order and the kinds of every key are stated once per class.
class TbsSkinKeys {
 public:
  virtual ~TbsSkinKeys() = default;
  virtual bool Loading() const = 0;
  virtual void Int(const char* Key, int& V, int Default) = 0;
  virtual void Color(const char* Key, TColor& V, TColor Default) = 0;
  virtual void Text(const char* Key, std::string& V, const char* Default) = 0;
  virtual void Flag(const char* Key, bool& V) = 0;
  virtual void Point(const char* Key, TPoint& V) = 0;
  virtual void Rect(const char* Key, TRect& V) = 0;
  virtual void FontStyle(const char* Key, TFontStyles& V) = 0;
  virtual void Alignment(const char* Key, TAlignment& V) = 0;
  virtual void StretchType(const char* Key, TbsStretchType& V) = 0;
  virtual void MorphKind(const char* Key, TbsMorphKind& V) = 0;
  virtual void InActiveEffect(const char* Key, TbsInActiveEffect& V) = 0;
  virtual void Command(const char* Key, TbsStdCommand& V) = 0;
};

class TbsSkinKeyReader : public TbsSkinKeys {
 public:
  TbsSkinKeyReader(TIniFile& F, std::string Section) : F_(F), S_(std::move(Section)) {}
  bool Loading() const override { return true; }
  void Int(const char* Key, int& V, int Default) override;
  void Color(const char* Key, TColor& V, TColor Default) override;
  void Text(const char* Key, std::string& V, const char* Default) override;
  void Flag(const char* Key, bool& V) override;
  void Point(const char* Key, TPoint& V) override;
  void Rect(const char* Key, TRect& V) override;
  void FontStyle(const char* Key, TFontStyles& V) override;
  void Alignment(const char* Key, TAlignment& V) override;
  void StretchType(const char* Key, TbsStretchType& V) override;
  void MorphKind(const char* Key, TbsMorphKind& V) override;
  void InActiveEffect(const char* Key, TbsInActiveEffect& V) override;
  void Command(const char* Key, TbsStdCommand& V) override;

 private:
  TIniFile& F_;
  std::string S_;
};

class TbsSkinKeyWriter : public TbsSkinKeys {
 public:
  TbsSkinKeyWriter(TIniFile& F, std::string Section) : F_(F), S_(std::move(Section)) {}
  bool Loading() const override { return false; }
  void Int(const char* Key, int& V, int Default) override;
  void Color(const char* Key, TColor& V, TColor Default) override;
  void Text(const char* Key, std::string& V, const char* Default) override;
  void Flag(const char* Key, bool& V) override;
  void Point(const char* Key, TPoint& V) override;
  void Rect(const char* Key, TRect& V) override;
  void FontStyle(const char* Key, TFontStyles& V) override;
  void Alignment(const char* Key, TAlignment& V) override;
  void StretchType(const char* Key, TbsStretchType& V) override;
  void MorphKind(const char* Key, TbsMorphKind& V) override;
  void InActiveEffect(const char* Key, TbsInActiveEffect& V) override;
  void Command(const char* Key, TbsStdCommand& V) override;

 private:
  TIniFile& F_;
  std::string S_;
};

// Collects "key=value" lines in writing order (for dumps and tests).
class TbsSkinKeyLister : public TbsSkinKeys {
 public:
  std::vector<std::pair<std::string, std::string>> Items;
  bool Loading() const override { return false; }
  void Int(const char* Key, int& V, int Default) override;
  void Color(const char* Key, TColor& V, TColor Default) override;
  void Text(const char* Key, std::string& V, const char* Default) override;
  void Flag(const char* Key, bool& V) override;
  void Point(const char* Key, TPoint& V) override;
  void Rect(const char* Key, TRect& V) override;
  void FontStyle(const char* Key, TFontStyles& V) override;
  void Alignment(const char* Key, TAlignment& V) override;
  void StretchType(const char* Key, TbsStretchType& V) override;
  void MorphKind(const char* Key, TbsMorphKind& V) override;
  void InActiveEffect(const char* Key, TbsInActiveEffect& V) override;
  void Command(const char* Key, TbsStdCommand& V) override;
};

// ---------------------------------------------------------------------------
// Skin records: one per section named in SKINCONTROLS / SKINOBJECTS.

class TbsDataSkinRecord {
 public:
  explicit TbsDataSkinRecord(std::string AIDName) : IDName(std::move(AIDName)) {}
  virtual ~TbsDataSkinRecord() = default;
  TbsDataSkinRecord(const TbsDataSkinRecord&) = delete;
  TbsDataSkinRecord& operator=(const TbsDataSkinRecord&) = delete;

  std::string IDName;

  // Reads the section IDName; every key the class knows is assigned (its
  // missing value when absent).
  virtual void LoadFromFile(TIniFile& IniFile);
  // Erases the section IDName and writes every key the class knows.
  virtual void SaveToFile(TIniFile& IniFile);
  // Every key and value in writing order, without touching a file.
  std::vector<std::pair<std::string, std::string>> ListKeys();

  virtual const char* ClassName() const = 0;
  // The index keyword of the most derived class that has one ("" for none).
  virtual const char* TypeKeyword() const = 0;

  // The whole key list of the class chain, in reading (or writing) order.
  virtual void DescribeKeys(TbsSkinKeys& K) = 0;

 protected:
  virtual void AfterLoad() {}
  virtual void BeforeSave() {}
};

#define BS_RECORD_CLASS(Name, Keyword)                     \
  const char* ClassName() const override { return #Name; } \
  const char* TypeKeyword() const override { return Keyword; }

// Root of the control records.
class TbsDataSkinControl : public TbsDataSkinRecord {
 public:
  explicit TbsDataSkinControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinControl, "")
  int PictureIndex = -1;
  int MaskPictureIndex = -1;
  TRect SkinRect;
  void DescribeKeys(TbsSkinKeys& K) override;
};

// Control drawn from a nine-part frame image.
class TbsDataSkinCustomControl : public TbsDataSkinControl {
 public:
  explicit TbsDataSkinCustomControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinCustomControl, "")
  TPoint LTPoint, RTPoint, LBPoint, RBPoint;
  TRect ClRect;
  bool StretchEffect = false;
  TbsStretchType StretchType = bsstFull;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinButtonControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinButtonControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinButtonControl, "button")
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
  TRect ActiveSkinRect, DownSkinRect, DisabledSkinRect, FocusedSkinRect;
  bool Morphing = false;
  TbsMorphKind MorphKind = mkDefault;
  TRect AnimateSkinRect;
  int FrameCount = 0;
  int AnimateInterval = 0;
  bool ShowFocus = false;
  TRect MenuMarkerFlatRect, MenuMarkerRect, MenuMarkerActiveRect, MenuMarkerDownRect;
  TColor MenuMarkerTransparentColor = 0;
  int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int GlowLayerOffsetLeft = 0, GlowLayerOffsetRight = 0, GlowLayerOffsetTop = 0, GlowLayerOffsetBottom = 0;
  int GlowLayerShowOffsetX = 0, GlowLayerShowOffsetY = 0;
  int GlowLayerAlphaBlendValue = 255;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinMenuButtonControl : public TbsDataSkinButtonControl {
 public:
  using TbsDataSkinButtonControl::TbsDataSkinButtonControl;
  BS_RECORD_CLASS(TbsDataSkinMenuButtonControl, "menubutton")
  TRect TrackButtonRect;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinCheckRadioControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinCheckRadioControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinCheckRadioControl, "checkradio")
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, UnEnabledFontColor = 0;
  TRect ActiveSkinRect, CheckImageArea, TextArea, CheckImageRect, UnCheckImageRect, ActiveCheckImageRect,
      ActiveUnCheckImageRect, UnEnabledCheckImageRect, UnEnabledUnCheckImageRect, GrayedCheckImageRect,
      ActiveGrayedCheckImageRect;
  bool Morphing = false;
  TbsMorphKind MorphKind = mkDefault;
  TColor FrameFontColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinPanelControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinPanelControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinPanelControl, "panel")
  TRect CaptionRect;
  TAlignment Alignment = taCenter;
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0;
  int BGPictureIndex = -1;
  TRect CheckImageRect, UnCheckImageRect, MarkFrameRect, FrameRect;
  int FrameLeftOffset = 0, FrameRightOffset = 0;
  TRect FrameTextRect, GripperRect;
  bool GripperTransparent = false;
  TColor GripperTransparentColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinExPanelControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinExPanelControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinExPanelControl, "expanel")
  TRect RollHSkinRect, RollVSkinRect;
  int RollLeftOffset = 0, RollRightOffset = 0, RollTopOffset = 0, RollBottomOffset = 0;
  TRect RollVCaptionRect, RollHCaptionRect, CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect,
      HRollButtonRect, HRollButtonActiveRect, HRollButtonDownRect, HRestoreButtonRect, HRestoreButtonActiveRect,
      HRestoreButtonDownRect, VRollButtonRect, VRollButtonActiveRect, VRollButtonDownRect, VRestoreButtonRect,
      VRestoreButtonActiveRect, VRestoreButtonDownRect, CaptionRect;
  std::string FontName;
  int FontHeight = 0;
  TFontStyles FontStyle{};
  TColor FontColor = 0;
  bool ButtonsTransparent = false;
  TColor ButtonsTransparentColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinLabelControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinLabelControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinLabelControl, "label")
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinStdLabelControl : public TbsDataSkinControl {
 public:
  explicit TbsDataSkinStdLabelControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinStdLabelControl, "stdlabel")
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0;
  TColor ActiveFontColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinBevel : public TbsDataSkinControl {
 public:
  using TbsDataSkinControl::TbsDataSkinControl;
  BS_RECORD_CLASS(TbsDataSkinBevel, "bevel")
  TColor LightColor = 0, DarkColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinSplitterControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinSplitterControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinSplitterControl, "splitter")
  TRect GripperRect;
  bool GripperTransparent = false;
  TColor GripperTransparentColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinScrollBarControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinScrollBarControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinScrollBarControl, "scrollbar")
  TRect TrackArea, UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect,
      DownDownButtonRect, ThumbRect, ActiveThumbRect, DownThumbRect;
  int ThumbOffset1 = 0, ThumbOffset2 = 0;
  TRect GlyphRect, ActiveGlyphRect, DownGlyphRect;
  bool GlyphTransparent = false;
  TColor GlyphTransparentColor = 0;
  bool ThumbTransparent = false;
  TColor ThumbTransparentColor = 0;
  bool ThumbStretchEffect = false;
  int ThumbMinSize = 0, ThumbMinPageSize = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinTrackBarControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinTrackBarControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinTrackBarControl, "trackbar")
  TRect ActiveSkinRect, TrackArea, ButtonRect, ActiveButtonRect;
  bool Vertical = false;
  bool ButtonTransparent = false;
  TColor ButtonTransparentColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinSlider : public TbsDataSkinControl {
 public:
  using TbsDataSkinControl::TbsDataSkinControl;
  BS_RECORD_CLASS(TbsDataSkinSlider, "slider")
  TRect HRulerRect, HThumbRect, VRulerRect, VThumbRect;
  int EdgeSize = 0;
  TColor BGColor = 0, PointsColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinGaugeControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinGaugeControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinGaugeControl, "gauge")
  TRect ProgressArea, ProgressRect;
  bool Vertical = false;
  int BeginOffset = 0, EndOffset = 0;
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0;
  bool ProgressTransparent = false;
  TColor ProgressTransparentColor = 0;
  bool ProgressStretch = false;
  TRect AnimationSkinRect;
  int AnimationCountFrames = 0, AnimationTimerInterval = 0;
  TRect ProgressAnimationSkinRect;
  int ProgressAnimationCountFrames = 0, ProgressAnimationTimerInterval = 0;
  int AnimationBeginOffset = 0, AnimationEndOffset = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinTabControl : public TbsDataSkinControl {
 public:
  explicit TbsDataSkinTabControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinTabControl, "tab")
  TRect TabRect, ActiveTabRect, FocusTabRect, MouseInTabRect, ClRect, TabsBGRect;
  TPoint LTPoint, RTPoint, LBPoint, RBPoint;
  int TabLeftOffset = 0, TabRightOffset = 0;
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
  std::string UpDown;
  int BGPictureIndex = -1;
  bool TabStretchEffect = false, ShowFocus = false;
  int FocusOffsetX = 0, FocusOffsetY = 0;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false, StretchEffect = false;
  TbsStretchType StretchType = bsstFull;
  TRect CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect;
  bool ButtonTransparent = false;
  TColor ButtonTransparentColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

// Font and background of the views. A new record holds a white background,
// but a section without "bgcolor" gives black (0).
class TbsDataSkinTreeView : public TbsDataSkinControl {
 public:
  explicit TbsDataSkinTreeView(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinTreeView, "treeview")
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, BGColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinListView : public TbsDataSkinControl {
 public:
  explicit TbsDataSkinListView(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinListView, "listview")
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, BGColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinGridControl : public TbsDataSkinControl {
 public:
  explicit TbsDataSkinGridControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinGridControl, "grid")
  TRect FixedCellRect, SelectCellRect, FocusCellRect;
  int FixedCellLeftOffset = 0, FixedCellRightOffset = 0;
  TRect FixedCellTextRect;
  int CellLeftOffset = 0, CellRightOffset = 0;
  TRect CellTextRect;
  TColor LinesColor = 0, BGColor = 0;
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, SelectFontColor = 0, FocusFontColor = 0;
  std::string FixedFontName;
  TFontStyles FixedFontStyle{};
  int FixedFontHeight = 0;
  TColor FixedFontColor = 0;
  bool FixedCellStretchEffect = false, CellStretchEffect = false, ShowFocus = false;
  int BGPictureIndex = -1;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinMainMenuBar : public TbsDataSkinControl {
 public:
  using TbsDataSkinControl::TbsDataSkinControl;
  BS_RECORD_CLASS(TbsDataSkinMainMenuBar, "mainmenubar")
  TRect ItemsRect;
  std::string MenuBarItem, CloseButton, MaxButton, MinButton, SysMenuButton;
  int TrackMarkColor = 0, TrackMarkActiveColor = 0;
  bool StretchEffect = false, ItemTransparent = false;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinControlBar : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinControlBar(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinControlBar, "controlbar")
  TRect ItemRect;
  int BGPictureIndex = -1;
  TRect HGripRect, VGripRect;
  int GripOffset1 = 0, GripOffset2 = 0;
  bool ItemStretchEffect = false;
  int ItemOffset1 = 0, ItemOffset2 = 0;
  bool ItemTransparent = false;
  TColor ItemTransparentColor = 0;
  bool GripTransparent = false;
  TColor GripTransparentColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinEditControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinEditControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinEditControl, "edit")
  TRect ActiveSkinRect;
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, DisabledFontColor = 0, ActiveFontColor = 0;
  TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinMemoControl : public TbsDataSkinEditControl {
 public:
  using TbsDataSkinEditControl::TbsDataSkinEditControl;
  BS_RECORD_CLASS(TbsDataSkinMemoControl, "memo")
  TColor BGColor = 0, ActiveBGColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinSpinEditControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinSpinEditControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinSpinEditControl, "spinedit")
  TRect ActiveSkinRect;
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, DisabledFontColor = 0;
  TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
  void DescribeKeys(TbsSkinKeys& K) override;
};

// Carries no frame data: the corner points and ClRect are forced to zero on
// load and on save.
class TbsDataSkinUpDownControl : public TbsDataSkinCustomControl {
 public:
  using TbsDataSkinCustomControl::TbsDataSkinCustomControl;
  BS_RECORD_CLASS(TbsDataSkinUpDownControl, "updown")
  TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
  void DescribeKeys(TbsSkinKeys& K) override;

 protected:
  void AfterLoad() override;
  void BeforeSave() override;
};

class TbsDataSkinListBox : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinListBox(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinListBox, "listbox")
  TRect SItemRect, ActiveItemRect, FocusItemRect;
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  TRect ItemTextRect;
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0;
  TRect CaptionRect;
  std::string CaptionFontName;
  TFontStyles CaptionFontStyle{};
  int CaptionFontHeight = 0;
  TColor CaptionFontColor = 0;
  TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect, DownDownButtonRect,
      CheckButtonRect, ActiveCheckButtonRect, DownCheckButtonRect;
  std::string HScrollBarName, VScrollBarName, BothScrollBarName;
  bool ShowFocus = false;
  TRect DisabledButtonsRect, ButtonsArea;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinCheckListBox : public TbsDataSkinListBox {
 public:
  using TbsDataSkinListBox::TbsDataSkinListBox;
  BS_RECORD_CLASS(TbsDataSkinCheckListBox, "checklistbox")
  TRect UnCheckImageRect, CheckImageRect, ItemCheckRect;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinComboBox : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinComboBox(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinComboBox, "combobox")
  TRect SItemRect, ActiveItemRect, FocusItemRect;
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  TRect ItemTextRect;
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, FocusFontColor = 0, ActiveFontColor = 0;
  TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
  bool ItemStretchEffect = false, FocusItemStretchEffect = false;
  TRect ActiveSkinRect;
  std::string ListBoxName;
  bool ShowFocus = false;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinScrollBoxControl : public TbsDataSkinCustomControl {
 public:
  explicit TbsDataSkinScrollBoxControl(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinScrollBoxControl, "scrollbox")
  int BGPictureIndex = -1;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinRichEdit : public TbsDataSkinControl {
 public:
  explicit TbsDataSkinRichEdit(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinRichEdit, "richedit")
  std::string FontName;
  TFontStyles FontStyle{};
  int FontHeight = 0;
  TColor FontColor = 0, BGColor = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

// --- Form objects -----------------------------------------------------------

class TbsDataSkinObject : public TbsDataSkinRecord {
 public:
  explicit TbsDataSkinObject(const std::string& AIDName);
  BS_RECORD_CLASS(TbsDataSkinObject, "")
  std::string Hint;
  bool SkinRectInAPicture = false;
  TRect SkinRect, ActiveSkinRect;
  int ActivePictureIndex = -1, ActiveMaskPictureIndex = -1;
  TRect InActiveSkinRect;
  bool Morphing = false;
  TbsMorphKind MorphKind = mkDefault;
  int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int GlowLayerOffsetX = 0, GlowLayerOffsetY = 0;
  int GlowLayerAlphaBlendValue = 255;
  void DescribeKeys(TbsSkinKeys& K) override;
};

// A named rectangle of the form image: reads and writes "skinrect" only.
class TbsDataUserObject : public TbsDataSkinObject {
 public:
  using TbsDataSkinObject::TbsDataSkinObject;
  BS_RECORD_CLASS(TbsDataUserObject, "userobject")
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinButton : public TbsDataSkinObject {
 public:
  using TbsDataSkinObject::TbsDataSkinObject;
  BS_RECORD_CLASS(TbsDataSkinButton, "button")
  TRect DownRect, DisableSkinRect;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinStdButton : public TbsDataSkinButton {
 public:
  using TbsDataSkinButton::TbsDataSkinButton;
  BS_RECORD_CLASS(TbsDataSkinStdButton, "stdbutton")
  TbsStdCommand Command = cmClose;
  std::string RestoreHint;
  TRect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
  void DescribeKeys(TbsSkinKeys& K) override;

 protected:
  void AfterLoad() override;
};

class TbsDataSkinMainMenuBarButton : public TbsDataSkinStdButton {
 public:
  using TbsDataSkinStdButton::TbsDataSkinStdButton;
  BS_RECORD_CLASS(TbsDataSkinMainMenuBarButton, "mainmenubarbutton")
};

class TbsDataSkinAnimate : public TbsDataSkinObject {
 public:
  using TbsDataSkinObject::TbsDataSkinObject;
  BS_RECORD_CLASS(TbsDataSkinAnimate, "animate")
  int CountFrames = 0;
  bool Cycle = false, ButtonStyle = false;
  int TimerInterval = 0;
  TbsStdCommand Command = cmClose;
  TRect DownSkinRect;
  std::string RestoreHint;
  TRect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
  void DescribeKeys(TbsSkinKeys& K) override;

 protected:
  void AfterLoad() override;
};

class TbsDataSkinMenuItem : public TbsDataSkinObject {
 public:
  using TbsDataSkinObject::TbsDataSkinObject;
  BS_RECORD_CLASS(TbsDataSkinMenuItem, "menuitem")
  TRect DividerRect;
  int DividerLO = 0, DividerRO = 0, ItemLO = 0, ItemRO = 0;
  std::string FontName;
  int FontHeight = 0;
  TFontStyles FontStyle{};
  TColor UnEnabledFontColor = 0, FontColor = 0, ActiveFontColor = 0;
  TRect TextRct, ImageRct;
  bool UseImageColor = false;
  TColor ImageColor = 0, ActiveImageColor = 0;
  bool StretchEffect = false, DividerStretchEffect = false, InActiveStretchEffect = false;
  TRect AnimateSkinRect;
  int FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false, InActiveTransparent = false;
  TRect CheckImageRect, ActiveCheckImageRect, RadioImageRect, ActiveRadioImageRect, ArrowImageRect,
      ActiveArrowImageRect;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinMainMenuItem : public TbsDataSkinObject {
 public:
  using TbsDataSkinObject::TbsDataSkinObject;
  BS_RECORD_CLASS(TbsDataSkinMainMenuItem, "")
  TRect DownRect;
  std::string FontName;
  int FontHeight = 0;
  TFontStyles FontStyle{};
  TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, UnEnabledFontColor = 0;
  TRect TextRct;
  int ItemLO = 0, ItemRO = 0;
  bool StretchEffect = false;
  TRect AnimateSkinRect;
  int FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false;
  void DescribeKeys(TbsSkinKeys& K) override;
};

class TbsDataSkinMainMenuBarItem : public TbsDataSkinMainMenuItem {
 public:
  using TbsDataSkinMainMenuItem::TbsDataSkinMainMenuItem;
  BS_RECORD_CLASS(TbsDataSkinMainMenuBarItem, "mainmenubaritem")
};

class TbsDataSkinCaption : public TbsDataSkinObject {
 public:
  using TbsDataSkinObject::TbsDataSkinObject;
  BS_RECORD_CLASS(TbsDataSkinCaption, "caption")
  std::string FontName;
  int FontHeight = 0;
  TFontStyles FontStyle{};
  TColor FontColor = 0, ActiveFontColor = 0, ShadowColor = 0, ActiveShadowColor = 0;
  bool Shadow = false;
  TAlignment Alignment = taLeftJustify;
  TRect TextRct, FrameRect, ActiveFrameRect;
  int FrameLeftOffset = 0, FrameRightOffset = 0;
  TRect FrameTextRect;
  bool Light = false;
  TColor LightColor = 0, ActiveLightColor = 0;
  bool StretchEffect = false;
  TRect AnimateSkinRect;
  int FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false, FullFrame = false, GlowEffect = false, VistaGlowEffect = false,
       VistaGlowInActiveEffect = false, GlowInActiveEffect = false;
  int GlowSize = 0;
  TColor GlowColor = 0, GlowActiveColor = 0;
  int GlowOffset = 0;
  bool ReflectionEffect = false;
  TColor ReflectionColor = 0, ReflectionActiveColor = 0;
  int ReflectionOffset = 0;
  void DescribeKeys(TbsSkinKeys& K) override;
};

#undef BS_RECORD_CLASS

// Creates the record an index entry's type keyword selects; nullptr for a
// keyword that is not in the table.
std::unique_ptr<TbsDataSkinControl> CreateControlRecord(const std::string& AType, const std::string& AIDName);
std::unique_ptr<TbsDataSkinObject> CreateObjectRecord(const std::string& AType, const std::string& AIDName);
// The type keywords of both index sections, in table order.
const std::vector<std::string>& ControlTypeKeywords();
const std::vector<std::string>& ObjectTypeKeywords();

// ---------------------------------------------------------------------------
// Window-wide records.

class TbsSkinColors {
 public:
  TColor cBtnFace() const { return FcBtnFace; }
  TColor cBtnText() const { return FcBtnText; }
  TColor cWindow() const { return FcWindow; }
  TColor cWindowText() const { return FcWindowText; }
  TColor cHighLight() const { return FcHighLight; }
  TColor cHighLightText() const { return FcHighLightText; }
  TColor cBtnHighLight() const { return FcBtnHighLight; }
  TColor cBtnShadow() const { return FcBtnShadow; }
  void SetcBtnFace(TColor C) { FcBtnFace = C; }
  void SetcBtnText(TColor C) { FcBtnText = C; }
  void SetcWindow(TColor C) { FcWindow = C; }
  void SetcWindowText(TColor C) { FcWindowText = C; }
  void SetcHighLight(TColor C) { FcHighLight = C; }
  void SetcHighLightText(TColor C) { FcHighLightText = C; }
  void SetcBtnHighLight(TColor C) { FcBtnHighLight = C; }
  void SetcBtnShadow(TColor C) { FcBtnShadow = C; }

  void SetColorsToDefault();
  void LoadFromFile(TIniFile& IniFile);
  // Writes the eight keys without erasing the section first.
  void SaveToFile(TIniFile& IniFile);
  void DescribeKeys(TbsSkinKeys& K);

  TColor FcBtnFace = 0, FcBtnText = 0, FcWindow = 0, FcWindowText = 0, FcHighLight = 0, FcHighLightText = 0,
         FcBtnHighLight = 0, FcBtnShadow = 0;
};

class TbsDataSkinPopupWindow {
 public:
  int WindowPictureIndex = -1, MaskPictureIndex = -1;
  TPoint LTPoint, RTPoint, LBPoint, RBPoint;
  TRect ItemsRect;
  TColor ScrollMarkerColor = 0, ScrollMarkerActiveColor = 0;
  bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TbsStretchType StretchType = bsstFull;
  void LoadFromFile(TIniFile& IniFile);
  void SaveToFile(TIniFile& IniFile);
  void DescribeKeys(TbsSkinKeys& K);
};

class TbsDataSkinLayerFrame {
 public:
  int PictureIndex = -1, MaskPictureIndex = -1, InActivePictureIndex = -1, InActiveMaskPictureIndex = -1;
  TPoint LTPoint, RTPoint, LBPoint, RBPoint;
  TRect ClRect;
  int AlphaBlendValue = 255, InActiveAlphaBlendValue = 255;
  TRect BorderRect;
  bool HitTestEnable = false;
  void LoadFromFile(TIniFile& IniFile);
  void SaveToFile(TIniFile& IniFile);
  void DescribeKeys(TbsSkinKeys& K);
};

class TbsDataSkinHintWindow {
 public:
  int WindowPictureIndex = -1, MaskPictureIndex = -1;
  TPoint LTPoint, RTPoint, LBPoint, RBPoint;
  TRect ClRect;
  std::string FontName = "Arial";
  TFontStyles FontStyle{};
  int FontHeight = 12;  // a load without "fontheight" gives 14
  TColor FontColor = 0;
  bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TbsStretchType StretchType = bsstFull;
  void LoadFromFile(TIniFile& IniFile);
  void SaveToFile(TIniFile& IniFile);
  void DescribeKeys(TbsSkinKeys& K);
};

// ---------------------------------------------------------------------------
// Interface texts.

class TbsResourceStrData : public cl::TComponent {
 public:
  explicit TbsResourceStrData(cl::TComponent* AOwner = nullptr);
  // The text after the first "=" of the first line whose name equals
  // ResName without regard to letter case; "" when none.
  std::string GetResStr(const std::string& ResName) const;
  const std::vector<std::string>& ResStrings() const { return FResStrs; }
  void SetResStrings(const std::vector<std::string>& AValue) { FResStrs = AValue; }
  uint8_t CharSet() const { return FCharSet; }
  void SetCharSet(uint8_t AValue) { FCharSet = AValue; }

 private:
  std::vector<std::string> FResStrs;
  uint8_t FCharSet = 1;  // DEFAULT_CHARSET

 protected:
  ~TbsResourceStrData() override = default;
};
// The 131 default lines, in order.
const std::vector<std::string>& DefaultResStrings();

// ---------------------------------------------------------------------------
// Compressed stored skins.

// A skin payload taken apart (the block after inflation).
struct TbsSkinPayload {
  int32_t Version = 3;
  std::unique_ptr<TBitmap> Picture, InActivePicture, Mask;  // null = empty
  std::vector<std::unique_ptr<TBitmap>> ActivePictures;
  std::string DescriptionBytes;  // the remaining bytes, undecoded
};
// Reads a payload from the stream's current position. A version above 3
// stops after the version (Version tells). Raises on damaged data.
void ReadSkinPayload(TStream& S, TbsSkinPayload& P);

// Decodes description text honouring a UTF-8 or UTF-16 BOM; without one the
// bytes are taken as UTF-8.
std::string DecodeSkinText(const std::string& Bytes);
// Encodes text for a payload or description file: UTF-8, which stands in for
// the ANSI code page here, written without a BOM.
std::string EncodeSkinText(const std::string& Utf8);
// Lines of a description text (CR LF, LF or CR separated).
std::vector<std::string> SplitSkinLines(const std::string& Text);

class TbsCompressedStoredSkin : public cl::TComponent {
 public:
  explicit TbsCompressedStoredSkin(cl::TComponent* AOwner = nullptr);

  void LoadFromIniFile(const std::string& AFileName);
  void LoadFromSkinData(TbsSkinData& ASkinData);
  void LoadFromCompressFile(const std::string& AFileName);
  void SaveToCompressFile(const std::string& AFileName);
  void LoadFromCompressStream(TStream& Stream);
  void SaveToCompressStream(TStream& Stream);
  // Inflates the whole block into S at its current position.
  void DeCompressToStream(TMemoryStream& S);
  // Reads the payload as the block inflates (ReadSkinPayload): the pictures'
  // rows go straight into their bitmaps, and no inflated copy of the whole
  // block exists.
  void ReadPayload(TbsSkinPayload& P);

  bool Empty() const;
  // The raw block ("CompressedData").
  std::string CompressedData() const;
  void SetCompressedData(const std::string& Bytes);

  std::string Description, FileName, CompressedFileName;

 protected:
  ~TbsCompressedStoredSkin() override;

 private:
  std::unique_ptr<TMemoryStream> FCompressedStream;
};

class TbsCompressedSkinList;

// One stored skin of a skin list; named "bsSkin<index at creation>".
class TbsSkinListItem : public cl::TCollectionItem {
 public:
  explicit TbsSkinListItem(cl::TCollection* ACollection);
  TbsCompressedStoredSkin& Skin() { return *FSkin; }
  std::string GetDisplayName() const override { return Name; }
  // Takes over the names, the texts and the compressed block.
  void Assign(cl::TPersistent* Source) override;
  std::string Description, FileName, CompressedFileName, Name;
  // The "Skin" data: a full container.
  void WriteSkinData(TStream& S) { FSkin->SaveToCompressStream(S); }
  void ReadSkinData(TStream& S) { FSkin->LoadFromCompressStream(S); }

 protected:
  std::string ClassName() const override { return "TbsSkinListItem"; }

 private:
  TbsOwned<TbsCompressedStoredSkin> FSkin;
};

class TbsCompressedSkinList;

class TbsSkinListItems : public cl::TCollection {
 public:
  explicit TbsSkinListItems(TbsCompressedSkinList* ASkinList);
  TbsSkinListItem* Items(int Index) const { return static_cast<TbsSkinListItem*>(cl::TCollection::Items(Index)); }
  TbsSkinListItem* Add() { return static_cast<TbsSkinListItem*>(cl::TCollection::Add()); }
  TbsCompressedSkinList* SkinList() const { return FSkinList; }

 protected:
  std::string ClassName() const override { return "TbsSkinListItems"; }

 private:
  TbsCompressedSkinList* FSkinList;
};

class TbsCompressedSkinList : public cl::TComponent {
 public:
  explicit TbsCompressedSkinList(cl::TComponent* AOwner = nullptr);
  TbsSkinListItems& Skins() { return *FSkins; }
  // Replaces the items by copies of the given collection's items.
  void SetSkins(TbsSkinListItems& AValue) { FSkins->Assign(&AValue); }

 protected:
  ~TbsCompressedSkinList() override = default;

 private:
  TbsOwned<TbsSkinListItems> FSkins;
};

// ---------------------------------------------------------------------------
// The skin store.

class TbsSkinData : public cl::TComponent {
 public:
  explicit TbsSkinData(cl::TComponent* AOwner = nullptr);

  // Record lookup: first exact (case-sensitive) match, -1 when none.
  int GetIndex(const std::string& AIDName) const;
  int GetControlIndex(const std::string& AIDName) const;

  void LoadFromFile(const std::string& FileName);
  void LoadCompressedStoredSkin(TbsCompressedStoredSkin* AStoredSkin);
  void LoadFromCompressedFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  void StoreToDisk(const std::string& AFileName);
  void SaveToCompressedFile(const std::string& FileName);
  void ClearSkin();
  void ClearAll();
  void ClearObjects();
  void AddBitMap(const std::string& FileName);
  void DeleteBitMap(int Index);
  void SendSkinDataMessage(unsigned M);

  // Section readers and writers of the store's own sections.
  void LoadFormInfo(TIniFile& F);
  void LoadObjects(TIniFile& F);
  void LoadCtrls(TIniFile& F);
  void LoadActivePictures(TIniFile& F);
  void SaveSkinSections(TIniFile& F);
  void SaveFormInfo(TIniFile& F);
  void SaveObjects(TIniFile& F);
  void SaveCtrls(TIniFile& F);
  void SaveActivePictures(TIniFile& F);
  void DescribeFormInfo(TbsSkinKeys& K);
  static void SplitSkinEntry(const std::string& AEntry, std::string& AName, std::string& AType);

  // Properties.
  bool SkinnableForm() const { return FSkinnableForm; }
  void SetSkinnableForm(bool AValue);
  bool AnimationForAllWindows() const { return FAnimationForAllWindows; }
  void SetAnimationForAllWindows(bool AValue) { FAnimationForAllWindows = AValue; }
  bool EnableSkinEffects() const { return FEnableSkinEffects; }
  void SetEnableSkinEffects(bool AValue) { FEnableSkinEffects = AValue; }
  bool ShowButtonGlowFrames() const { return FShowButtonGlowFrames; }
  void SetShowButtonGlowFrames(bool AValue) { FShowButtonGlowFrames = AValue; }
  bool ShowCaptionButtonGlowFrames() const { return FShowCaptionButtonGlowFrames; }
  void SetShowCaptionButtonGlowFrames(bool AValue) { FShowCaptionButtonGlowFrames = AValue; }
  bool ShowLayeredBorders() const { return FShowLayeredBorders; }
  void SetShowLayeredBorders(bool AValue);
  TbsCompressedStoredSkin* CompressedStoredSkin() const { return FCompressedStoredSkin; }
  void SetCompressedStoredSkin(TbsCompressedStoredSkin* AValue);
  TbsResourceStrData* ResourceStrData() const { return FResourceStrData; }
  void SetResourceStrData(TbsResourceStrData* AValue);
  TbsCompressedSkinList* SkinList() const { return FCompressedSkinList; }
  void SetSkinList(TbsCompressedSkinList* AValue);
  int SkinIndex() const { return FCompressedSkinIndex; }
  void SetSkinIndex(int AValue);
  TbsSkinColors& SkinColors() { return FSkinColors; }

  // The form served first by the broadcast while layered borders are off.
  // Unset, the form registry is asked whether the owner is a form.
  TbsSkinFormRegistry::Form OwnerForm = nullptr;

  // Form information ("FORMINFO").
  TRect ButtonsRect, CaptionRect;
  int ButtonsOffset = 0;
  bool CapButtonsInLeft = false;
  bool AutoRenderingInActiveImage = false;
  TbsInActiveEffect InActiveEffect = ieBrightness;
  TbsDataSkinPopupWindow PopupWindow;
  TbsDataSkinLayerFrame LayerFrame;
  TbsDataSkinHintWindow HintWindow;
  bool Empty = true;
  std::unique_ptr<TBitmap> FPicture, FInActivePicture, FMask;
  std::vector<std::unique_ptr<TBitmap>> FActivePictures;
  std::string FPictureName, FInActivePictureName, FMaskName;
  std::vector<std::string> FActivePicturesNames;
  std::vector<std::unique_ptr<TbsDataSkinObject>> ObjectList;
  std::vector<std::unique_ptr<TbsDataSkinControl>> CtrlList;
  TPoint LTPoint, RTPoint, LBPoint, RBPoint;
  int BGPictureIndex = -1;
  int MDIBGPictureIndex = -1;
  bool MainMenuPopupUp = false;
  TRect MaskRectArea;
  TPoint HitTestLTPoint, HitTestRTPoint, HitTestLBPoint, HitTestRBPoint;
  TRect ClRect;
  int BorderW = 0;
  int FormMinWidth = 0;
  bool MDITabsTransparent = false, MainMenuBarTransparent = false;
  bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false;
  bool StretchEffect = false;
  TbsStretchType StretchType = bsstFull;
  bool MDIBGStretchEffect = false;
  TbsStretchType MDIBGStretchType = bsstFull;
  std::string SkinName, SkinAuthor, AuthorURL, AuthorEmail, SkinComments;
  bool ChangeSkinDataProcess = false;

  // Writes a readable listing of every field and record (developer tool).
  void Dump(std::ostream& Out);

 protected:
  ~TbsSkinData() override = default;
  void Destroy() override;
  // A referenced stored skin, text component or skin list going away drops
  // the reference to it.
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;

 private:
  void BeginLoad();
  void FinishLoad(bool ALoaded);
  void LoadDescription(TIniFile& F);
  void ReadVersionAndNames(TIniFile& F);

  TbsCompressedSkinList* FCompressedSkinList = nullptr;
  int FCompressedSkinIndex = 0;
  bool FSkinnableForm = true;
  bool FEnableSkinEffects = true;
  TbsCompressedStoredSkin* FCompressedStoredSkin = nullptr;
  TbsResourceStrData* FResourceStrData = nullptr;
  TbsSkinColors FSkinColors;
  bool FShowButtonGlowFrames = true;
  bool FShowCaptionButtonGlowFrames = true;
  bool FShowLayeredBorders = true;
  bool FAnimationForAllWindows = false;
};

}  // namespace skin
