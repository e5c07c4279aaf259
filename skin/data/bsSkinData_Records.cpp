// Value kinds of the skin description and the skin record classes.
#include <cstring>
#include <limits>
#include <map>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"
#include "skin/data/bsSkinData.h"
#include "skin/draw/bsGeometry.h"

namespace skin {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Splits at every "," and converts the digits of each field. Fields beyond
// the needed count are ignored.
std::vector<int> ParseFields(const std::string& S, size_t Count) {
  std::vector<int> out;
  size_t pos = 0;
  for (size_t i = 0; i < Count; ++i) {
    std::string digits;
    if (pos != std::string::npos) {
      size_t comma = S.find(',', pos);
      std::string field = S.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
      for (char c : field)
        if (IsDigit(c)) digits += c;
      pos = comma == std::string::npos ? std::string::npos : comma + 1;
    }
    if (digits.empty()) throw rtl::EConvertError("'' is not a valid integer value");
    // Leading zeros do not count against the 32-bit range.
    size_t nz = digits.find_first_not_of('0');
    std::string sig = nz == std::string::npos ? "0" : digits.substr(nz);
    if (sig.size() > 10 || (sig.size() == 10 && sig > "2147483647"))
      throw rtl::EConvertError("'" + digits + "' is not a valid integer value");
    out.push_back(int(std::stol(sig)));
  }
  return out;
}

}  // namespace

TPoint ParsePoint(const std::string& S) {
  auto f = ParseFields(S, 2);
  return TPoint{f[0], f[1]};
}

TRect ParseRect(const std::string& S) {
  auto f = ParseFields(S, 4);
  return TRect{f[0], f[1], f[2], f[3]};
}

int ParseSkinInteger(const std::string& S, int Default) {
  // Values reach here trimmed by the description reader; trim again for
  // direct callers. Hexadecimal wraps to 32 bits, so FF00000F is the system
  // colour value.
  return rtl::StrToIntDef(rtl::Trim(S), Default);
}

// --- readers -----------------------------------------------------------------

TRect ReadRect(TIniFile& F, const std::string& Section, const std::string& Ident) {
  return ParseRect(F.ReadString(Section, Ident, "0,0,0,0"));
}

TPoint ReadPoint(TIniFile& F, const std::string& Section, const std::string& Ident) {
  return ParsePoint(F.ReadString(Section, Ident, "0,0"));
}

int ReadSkinInteger(TIniFile& F, const std::string& Section, const std::string& Ident, int Default) {
  return ParseSkinInteger(F.ReadString(Section, Ident, ""), Default);
}

TColor ReadSkinColor(TIniFile& F, const std::string& Section, const std::string& Ident, TColor Default) {
  return TColor(ReadSkinInteger(F, Section, Ident, int(Default)));
}

bool ReadBoolFlag(TIniFile& F, const std::string& Section, const std::string& Ident) {
  return ReadSkinInteger(F, Section, Ident, 0) == 1;
}

TFontStyles ReadFontStyles(TIniFile& F, const std::string& Section, const std::string& Ident) {
  std::string s = F.ReadString(Section, Ident, "");
  unsigned bits = 0;
  if (s.find("fsbold") != std::string::npos) bits |= FontStyleBold;
  if (s.find("fsitalic") != std::string::npos) bits |= FontStyleItalic;
  if (s.find("fsunderline") != std::string::npos) bits |= FontStyleUnderline;
  if (s.find("fsstrikeout") != std::string::npos) bits |= FontStyleStrikeOut;
  return FontStylesFromBits(bits);
}

namespace {

// The numeric keys "0".."Count-1" that the section really holds. Reading
// only those keeps an absurd count from costing time, and gives the same
// result as asking for every number in turn.
std::map<long long, std::string> NumberedKeys(TIniFile& F, const std::string& Section, long long Count) {
  std::map<long long, std::string> out;
  if (Count <= 0) return out;
  for (const std::string& key : SectionKeys(F, Section)) {
    const std::string& num = key;
    if (num.empty() || num.size() > 10) continue;
    bool ok = true;
    for (char c : num) ok = ok && IsDigit(c);
    if (!ok || (num.size() > 1 && num[0] == '0')) continue;
    long long n = std::stoll(num);
    if (n < Count && !out.count(n)) out[n] = F.ReadString(Section, key, "");
  }
  return out;
}

}  // namespace

void ReadStrings(TIniFile& F, const std::string& Section, const std::string& Prefix, std::vector<std::string>& AList) {
  long long count = ReadSkinInteger(F, Section, Prefix + "count", 0);
  if (count <= 0) return;
  // The items have the fixed keys "0", "1", ..., whatever the prefix, so a
  // section holds one list.
  auto keys = NumberedKeys(F, Section, count);
  // Items whose key is missing read as empty text, so a hand-edited list may
  // run somewhat past its keys. A count far beyond the keys present claims a
  // list the description never held (one high key does not make it so), and
  // building it would cost memory without bound: refused as damage.
  constexpr long long kMaxMissingItems = 4096;
  if (count > (long long)keys.size() + kMaxMissingItems)
    throw rtl::EReadError("Section [" + Section + "]: " + Prefix + "count " + std::to_string(count) +
                          " exceeds the items it holds");
  for (long long i = 0; i < count; ++i) {
    auto it = keys.find(i);
    AList.push_back(it == keys.end() ? std::string() : it->second);
  }
}

std::vector<std::pair<long long, std::string>> ReadIndexEntries(TIniFile& F, const std::string& Section) {
  long long count = ReadSkinInteger(F, Section, "count", 0);
  auto keys = NumberedKeys(F, Section, count);
  return std::vector<std::pair<long long, std::string>>(keys.begin(), keys.end());
}

TAlignment ReadAlignment(TIniFile& F, const std::string& Section, const std::string& Ident) {
  std::string s = F.ReadString(Section, Ident, "tacenter");
  if (s == "tacenter") return taCenter;
  if (s == "taleftjustify") return taLeftJustify;
  return taRightJustify;
}

TbsStretchType ReadStretchType(TIniFile& F, const std::string& Section, const std::string& Ident) {
  std::string s = F.ReadString(Section, Ident, "stfull");
  if (s == "stfull") return bsstFull;
  if (s == "stvert") return bsstVert;
  return bsstHorz;
}

TbsInActiveEffect ReadInActiveEffect(TIniFile& F, const std::string& Section, const std::string& Ident) {
  static const char* const words[] = {"iebrightness", "iedarkness",  "iegrayscale",
                                      "ienoise",      "iesplitblur", "ieinvert"};
  std::string s = F.ReadString(Section, Ident, "iebrightness");
  for (int i = 0; i < 6; ++i)
    if (s == words[i]) return TbsInActiveEffect(i);
  return ieGrayScale;
}

TbsMorphKind ReadMorphKind(TIniFile& F, const std::string& Section, const std::string& Ident) {
  static const char* const words[] = {"mkdefault",   "mkgradient",   "mkleftgradient", "mkrightgradient",
                                      "mkleftslide", "mkrightslide", "mkpush"};
  std::string s = F.ReadString(Section, Ident, "mkdefault");
  for (int i = 0; i < 7; ++i)
    if (s == words[i]) return TbsMorphKind(i);
  return mkDefault;
}

TbsStdCommand ReadStdCommand(TIniFile& F, const std::string& Section, const std::string& Ident) {
  std::string s = F.ReadString(Section, Ident, "cmdefault");
  if (s == "cmclose") return cmClose;
  if (s == "cmmaximize") return cmMaximize;
  if (s == "cmminimize") return cmMinimize;
  if (s == "cmsysmenu") return cmSysMenu;
  if (s == "cmdefault") return cmDefault;
  if (s == "cmrollup") return cmRollUp;
  return cmMinimizeToTray;
}

// --- writers -----------------------------------------------------------------

std::string RectToStr(const TRect& R) {
  return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
         std::to_string(R.Bottom);
}

std::string PointToStr(const TPoint& P) { return std::to_string(P.X) + "," + std::to_string(P.Y); }

std::string FontStylesToStr(TFontStyles FS) {
  unsigned bits = FontStylesToBits(FS);
  std::string s;
  auto add = [&](unsigned bit, const char* w) {
    if (!(bits & bit)) return;
    if (!s.empty()) s += ",";
    s += w;
  };
  add(FontStyleBold, "fsbold");
  add(FontStyleItalic, "fsitalic");
  add(FontStyleUnderline, "fsunderline");
  add(FontStyleStrikeOut, "fsstrikeout");
  return s;
}

const char* AlignmentToStr(TAlignment A) {
  if (A == taLeftJustify) return "taleftjustify";
  if (A == taRightJustify) return "tarightjustify";
  return "tacenter";
}

const char* StretchTypeToStr(TbsStretchType T) {
  switch (T) {
    case bsstHorz:
      return "sthorz";
    case bsstVert:
      return "stvert";
    default:
      return "stfull";
  }
}

const char* InActiveEffectToStr(TbsInActiveEffect E) {
  static const char* const words[] = {"iebrightness", "iedarkness",  "iegrayscale",
                                      "ienoise",      "iesplitblur", "ieinvert"};
  return (E >= 0 && E < 6) ? words[E] : "iebrightness";
}

const char* MorphKindToStr(TbsMorphKind K) {
  static const char* const words[] = {"mkdefault",   "mkgradient",   "mkleftgradient", "mkrightgradient",
                                      "mkleftslide", "mkrightslide", "mkpush"};
  return (K >= 0 && K < 7) ? words[K] : "mkdefault";
}

const char* StdCommandToStr(TbsStdCommand C) {
  switch (C) {
    case cmClose:
      return "cmclose";
    case cmMaximize:
      return "cmmaximize";
    case cmMinimize:
      return "cmminimize";
    case cmSysMenu:
      return "cmsysmenu";
    case cmDefault:
      return "cmdefault";
    case cmRollUp:
      return "cmrollup";
    default:
      return "cmminimizetotray";
  }
}

void WriteRect(TIniFile& F, const std::string& Section, const std::string& Ident, const TRect& R) {
  F.WriteString(Section, Ident, RectToStr(R));
}
void WritePoint(TIniFile& F, const std::string& Section, const std::string& Ident, const TPoint& P) {
  F.WriteString(Section, Ident, PointToStr(P));
}
void WriteBoolFlag(TIniFile& F, const std::string& Section, const std::string& Ident, bool B) {
  F.WriteString(Section, Ident, B ? "1" : "0");
}
void WriteFontStyles(TIniFile& F, const std::string& Section, const std::string& Ident, TFontStyles FS) {
  F.WriteString(Section, Ident, FontStylesToStr(FS));
}
void WriteStrings(TIniFile& F, const std::string& Section, const std::string& Prefix,
                  const std::vector<std::string>& AList) {
  F.WriteString(Section, Prefix + "count", std::to_string(AList.size()));
  for (size_t i = 0; i < AList.size(); ++i) F.WriteString(Section, std::to_string(i), AList[i]);
}
void WriteAlignment(TIniFile& F, const std::string& Section, const std::string& Ident, TAlignment A) {
  F.WriteString(Section, Ident, AlignmentToStr(A));
}
void WriteStretchType(TIniFile& F, const std::string& Section, const std::string& Ident, TbsStretchType T) {
  F.WriteString(Section, Ident, StretchTypeToStr(T));
}
void WriteInActiveEffect(TIniFile& F, const std::string& Section, const std::string& Ident, TbsInActiveEffect E) {
  F.WriteString(Section, Ident, InActiveEffectToStr(E));
}
void WriteMorphKind(TIniFile& F, const std::string& Section, const std::string& Ident, TbsMorphKind K) {
  F.WriteString(Section, Ident, MorphKindToStr(K));
}
void WriteSkinInteger(TIniFile& F, const std::string& Section, const std::string& Ident, int V) {
  F.WriteString(Section, Ident, std::to_string(V));
}
void WriteSkinColor(TIniFile& F, const std::string& Section, const std::string& Ident, TColor C) {
  // Decimal; system colours (FF000000 + index) come out negative.
  F.WriteString(Section, Ident, std::to_string(int32_t(C)));
}
void WriteStdCommand(TIniFile& F, const std::string& Section, const std::string& Ident, TbsStdCommand C) {
  F.WriteString(Section, Ident, StdCommandToStr(C));
}

bool IsValidSkinIni(TIniFile& F) {
  for (const char* s : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
    if (!F.SectionExists(s)) return false;
  return true;
}

// --- key visitors --------------------------------------------------------------

void TbsSkinKeyReader::Int(const char* Key, int& V, int Default) { V = ReadSkinInteger(F_, S_, Key, Default); }
void TbsSkinKeyReader::Color(const char* Key, TColor& V, TColor Default) { V = ReadSkinColor(F_, S_, Key, Default); }
void TbsSkinKeyReader::Text(const char* Key, std::string& V, const char* Default) {
  V = F_.ReadString(S_, Key, Default);
}
void TbsSkinKeyReader::Flag(const char* Key, bool& V) { V = ReadBoolFlag(F_, S_, Key); }
void TbsSkinKeyReader::Point(const char* Key, TPoint& V) { V = ReadPoint(F_, S_, Key); }
void TbsSkinKeyReader::Rect(const char* Key, TRect& V) { V = ReadRect(F_, S_, Key); }
void TbsSkinKeyReader::FontStyle(const char* Key, TFontStyles& V) { V = ReadFontStyles(F_, S_, Key); }
void TbsSkinKeyReader::Alignment(const char* Key, TAlignment& V) { V = ReadAlignment(F_, S_, Key); }
void TbsSkinKeyReader::StretchType(const char* Key, TbsStretchType& V) { V = ReadStretchType(F_, S_, Key); }
void TbsSkinKeyReader::MorphKind(const char* Key, TbsMorphKind& V) { V = ReadMorphKind(F_, S_, Key); }
void TbsSkinKeyReader::InActiveEffect(const char* Key, TbsInActiveEffect& V) { V = ReadInActiveEffect(F_, S_, Key); }
void TbsSkinKeyReader::Command(const char* Key, TbsStdCommand& V) { V = ReadStdCommand(F_, S_, Key); }

void TbsSkinKeyWriter::Int(const char* Key, int& V, int) { WriteSkinInteger(F_, S_, Key, V); }
void TbsSkinKeyWriter::Color(const char* Key, TColor& V, TColor) { WriteSkinColor(F_, S_, Key, V); }
void TbsSkinKeyWriter::Text(const char* Key, std::string& V, const char*) { F_.WriteString(S_, Key, V); }
void TbsSkinKeyWriter::Flag(const char* Key, bool& V) { WriteBoolFlag(F_, S_, Key, V); }
void TbsSkinKeyWriter::Point(const char* Key, TPoint& V) { WritePoint(F_, S_, Key, V); }
void TbsSkinKeyWriter::Rect(const char* Key, TRect& V) { WriteRect(F_, S_, Key, V); }
void TbsSkinKeyWriter::FontStyle(const char* Key, TFontStyles& V) { WriteFontStyles(F_, S_, Key, V); }
void TbsSkinKeyWriter::Alignment(const char* Key, TAlignment& V) { WriteAlignment(F_, S_, Key, V); }
void TbsSkinKeyWriter::StretchType(const char* Key, TbsStretchType& V) { WriteStretchType(F_, S_, Key, V); }
void TbsSkinKeyWriter::MorphKind(const char* Key, TbsMorphKind& V) { WriteMorphKind(F_, S_, Key, V); }
void TbsSkinKeyWriter::InActiveEffect(const char* Key, TbsInActiveEffect& V) { WriteInActiveEffect(F_, S_, Key, V); }
void TbsSkinKeyWriter::Command(const char* Key, TbsStdCommand& V) { WriteStdCommand(F_, S_, Key, V); }

void TbsSkinKeyLister::Int(const char* Key, int& V, int) { Items.emplace_back(Key, std::to_string(V)); }
void TbsSkinKeyLister::Color(const char* Key, TColor& V, TColor) {
  Items.emplace_back(Key, std::to_string(int32_t(V)));
}
void TbsSkinKeyLister::Text(const char* Key, std::string& V, const char*) { Items.emplace_back(Key, V); }
void TbsSkinKeyLister::Flag(const char* Key, bool& V) { Items.emplace_back(Key, V ? "1" : "0"); }
void TbsSkinKeyLister::Point(const char* Key, TPoint& V) { Items.emplace_back(Key, PointToStr(V)); }
void TbsSkinKeyLister::Rect(const char* Key, TRect& V) { Items.emplace_back(Key, RectToStr(V)); }
void TbsSkinKeyLister::FontStyle(const char* Key, TFontStyles& V) { Items.emplace_back(Key, FontStylesToStr(V)); }
void TbsSkinKeyLister::Alignment(const char* Key, TAlignment& V) { Items.emplace_back(Key, AlignmentToStr(V)); }
void TbsSkinKeyLister::StretchType(const char* Key, TbsStretchType& V) { Items.emplace_back(Key, StretchTypeToStr(V)); }
void TbsSkinKeyLister::MorphKind(const char* Key, TbsMorphKind& V) { Items.emplace_back(Key, MorphKindToStr(V)); }
void TbsSkinKeyLister::InActiveEffect(const char* Key, TbsInActiveEffect& V) {
  Items.emplace_back(Key, InActiveEffectToStr(V));
}
void TbsSkinKeyLister::Command(const char* Key, TbsStdCommand& V) { Items.emplace_back(Key, StdCommandToStr(V)); }

// --- record protocol -----------------------------------------------------------

void TbsDataSkinRecord::LoadFromFile(TIniFile& IniFile) {
  TbsSkinKeyReader r(IniFile, IDName);
  DescribeKeys(r);
  AfterLoad();
}

void TbsDataSkinRecord::SaveToFile(TIniFile& IniFile) {
  IniFile.EraseSection(IDName);
  BeforeSave();
  TbsSkinKeyWriter w(IniFile, IDName);
  DescribeKeys(w);
}

std::vector<std::pair<std::string, std::string>> TbsDataSkinRecord::ListKeys() {
  TbsSkinKeyLister l;
  DescribeKeys(l);
  return std::move(l.Items);
}

// --- control records -------------------------------------------------------------

TbsDataSkinControl::TbsDataSkinControl(const std::string& AIDName) : TbsDataSkinRecord(AIDName) {}

void TbsDataSkinControl::DescribeKeys(TbsSkinKeys& K) {
  K.Int("pictureindex", PictureIndex, -1);
  K.Int("maskpictureindex", MaskPictureIndex, -1);
  K.Rect("skinrect", SkinRect);
}

TbsDataSkinCustomControl::TbsDataSkinCustomControl(const std::string& AIDName) : TbsDataSkinControl(AIDName) {}

void TbsDataSkinCustomControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  K.Point("lefttoppoint", LTPoint);
  K.Point("righttoppoint", RTPoint);
  K.Point("leftbottompoint", LBPoint);
  K.Point("rightbottompoint", RBPoint);
  K.Rect("clientrect", ClRect);
  K.Flag("leftstretch", LeftStretch);
  K.Flag("topstretch", TopStretch);
  K.Flag("rightstretch", RightStretch);
  K.Flag("bottomstretch", BottomStretch);
  K.Flag("stretcheffect", StretchEffect);
  K.StretchType("stretchtype", StretchType);
}

TbsDataSkinButtonControl::TbsDataSkinButtonControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 12;
}

void TbsDataSkinButtonControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  K.Color("downfontcolor", DownFontColor, 0);
  K.Color("disabledfontcolor", DisabledFontColor, 0);
  K.Rect("activeskinrect", ActiveSkinRect);
  K.Rect("downskinrect", DownSkinRect);
  K.Rect("focusedskinrect", FocusedSkinRect);
  K.Rect("disabledskinrect", DisabledSkinRect);
  K.Flag("morphing", Morphing);
  K.MorphKind("morphkind", MorphKind);
  K.Rect("animateskinrect", AnimateSkinRect);
  K.Int("framecount", FrameCount, 0);
  K.Int("animateinterval", AnimateInterval, 25);
  K.Flag("showfocus", ShowFocus);
  K.Rect("menumarkerflatrect", MenuMarkerFlatRect);
  K.Rect("menumarkerrect", MenuMarkerRect);
  K.Rect("menumarkeractiverect", MenuMarkerActiveRect);
  K.Rect("menumarkerdownrect", MenuMarkerDownRect);
  K.Color("menumarkertransparentcolor", MenuMarkerTransparentColor, 0);
  K.Int("glowlayerpictureindex", GlowLayerPictureIndex, -1);
  K.Int("glowlayermaskpictureindex", GlowLayerMaskPictureIndex, -1);
  if (K.Loading()) {
    K.Int("glowlayeroffsetleft", GlowLayerOffsetLeft, 0);
    K.Int("glowlayeroffsettop", GlowLayerOffsetTop, 0);
    K.Int("glowlayeroffsetright", GlowLayerOffsetRight, 0);
    K.Int("glowlayeroffsetbottom", GlowLayerOffsetBottom, 0);
  } else {
    K.Int("glowlayeroffsetleft", GlowLayerOffsetLeft, 0);
    K.Int("glowlayeroffsetright", GlowLayerOffsetRight, 0);
    K.Int("glowlayeroffsettop", GlowLayerOffsetTop, 0);
    K.Int("glowlayeroffsetbottom", GlowLayerOffsetBottom, 0);
  }
  K.Int("glowlayershowoffsetx", GlowLayerShowOffsetX, 0);
  K.Int("glowlayershowoffsety", GlowLayerShowOffsetY, 0);
  K.Int("glowlayeralphablendvalue", GlowLayerAlphaBlendValue, 255);
}

void TbsDataSkinMenuButtonControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinButtonControl::DescribeKeys(K);
  K.Rect("trackbuttonrect", TrackButtonRect);
}

TbsDataSkinCheckRadioControl::TbsDataSkinCheckRadioControl(const std::string& AIDName)
    : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 12;
}

void TbsDataSkinCheckRadioControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  if (K.Loading()) {
    K.Color("activefontcolor", ActiveFontColor, 0);
    K.Color("unenabledfontcolor", UnEnabledFontColor, 0);
    K.Color("framefontcolor", FrameFontColor, 0);
  } else {
    K.Color("framefontcolor", FrameFontColor, 0);
    K.Color("activefontcolor", ActiveFontColor, 0);
    K.Color("unenabledfontcolor", UnEnabledFontColor, 0);
  }
  K.Rect("activeskinrect", ActiveSkinRect);
  K.Rect("checkimagearea", CheckImageArea);
  K.Rect("textarea", TextArea);
  K.Rect("checkimagerect", CheckImageRect);
  K.Rect("uncheckimagerect", UnCheckImageRect);
  K.Rect("activecheckimagerect", ActiveCheckImageRect);
  K.Rect("activeuncheckimagerect", ActiveUnCheckImageRect);
  K.Rect("unenabledcheckimagerect", UnEnabledCheckImageRect);
  K.Rect("unenableduncheckimagerect", UnEnabledUnCheckImageRect);
  K.Rect("grayedcheckimagerect", GrayedCheckImageRect);
  K.Rect("activegrayedcheckimagerect", ActiveGrayedCheckImageRect);
  K.Flag("morphing", Morphing);
  K.MorphKind("morphkind", MorphKind);
}

TbsDataSkinPanelControl::TbsDataSkinPanelControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 12;
  Alignment = taCenter;
  BGPictureIndex = -1;
  GripperTransparentColor = 0xFF00FF;
}

void TbsDataSkinPanelControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Int("bgpictureindex", BGPictureIndex, -1);
  K.Rect("captionrect", CaptionRect);
  K.Alignment("alignment", Alignment);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Rect("checkimagerect", CheckImageRect);
  K.Rect("uncheckimagerect", UnCheckImageRect);
  K.Rect("markframerect", MarkFrameRect);
  K.Rect("framerect", FrameRect);
  K.Rect("frametextrect", FrameTextRect);
  K.Int("frameleftoffset", FrameLeftOffset, 0);
  K.Int("framerightoffset", FrameRightOffset, 0);
  K.Rect("gripperrect", GripperRect);
  K.Flag("grippertransparent", GripperTransparent);
  K.Color("grippertransparentcolor", GripperTransparentColor, 0);
}

TbsDataSkinExPanelControl::TbsDataSkinExPanelControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 12;
  ButtonsTransparentColor = 0xFF00FF;
}

void TbsDataSkinExPanelControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("rollhskinrect", RollHSkinRect);
  K.Rect("rollvskinrect", RollVSkinRect);
  K.Int("rollleftoffset", RollLeftOffset, 0);
  K.Int("rollrightoffset", RollRightOffset, 0);
  K.Int("rolltopoffset", RollTopOffset, 0);
  K.Int("rollbottomoffset", RollBottomOffset, 0);
  K.Rect("rollvcaptionrect", RollVCaptionRect);
  K.Rect("rollhcaptionrect", RollHCaptionRect);
  K.Rect("closebuttonrect", CloseButtonRect);
  K.Rect("closebuttonactiverect", CloseButtonActiveRect);
  K.Rect("closebuttondownrect", CloseButtonDownRect);
  K.Rect("hrollbuttonrect", HRollButtonRect);
  K.Rect("hrollbuttonactiverect", HRollButtonActiveRect);
  K.Rect("hrollbuttondownrect", HRollButtonDownRect);
  K.Rect("hrestorebuttonrect", HRestoreButtonRect);
  K.Rect("hrestorebuttonactiverect", HRestoreButtonActiveRect);
  K.Rect("hrestorebuttondownrect", HRestoreButtonDownRect);
  K.Rect("vrollbuttonrect", VRollButtonRect);
  K.Rect("vrollbuttonactiverect", VRollButtonActiveRect);
  K.Rect("vrollbuttondownrect", VRollButtonDownRect);
  K.Rect("vrestorebuttonrect", VRestoreButtonRect);
  K.Rect("vrestorebuttonactiverect", VRestoreButtonActiveRect);
  K.Rect("vrestorebuttondownrect", VRestoreButtonDownRect);
  K.Rect("captionrect", CaptionRect);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Flag("buttonstransparent", ButtonsTransparent);
  K.Color("buttonstransparentcolor", ButtonsTransparentColor, 0);
}

TbsDataSkinLabelControl::TbsDataSkinLabelControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 12;
}

void TbsDataSkinLabelControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
}

TbsDataSkinStdLabelControl::TbsDataSkinStdLabelControl(const std::string& AIDName) : TbsDataSkinControl(AIDName) {
  FontName = "Arial";
  FontHeight = 12;
  ActiveFontColor = 0xFF0000;
}

void TbsDataSkinStdLabelControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0xFF0000);
}

void TbsDataSkinBevel::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  K.Color("lightcolor", LightColor, 0);
  K.Color("darkcolor", DarkColor, 0);
}

TbsDataSkinSplitterControl::TbsDataSkinSplitterControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  GripperTransparentColor = 0xFF00FF;
}

void TbsDataSkinSplitterControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("gripperrect", GripperRect);
  K.Flag("grippertransparent", GripperTransparent);
  K.Color("grippertransparentcolor", GripperTransparentColor, 0);
}

TbsDataSkinScrollBarControl::TbsDataSkinScrollBarControl(const std::string& AIDName)
    : TbsDataSkinCustomControl(AIDName) {
  ThumbTransparentColor = 0xFF00FF;
  GlyphTransparentColor = 0xFF00FF;
}

void TbsDataSkinScrollBarControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("trackarea", TrackArea);
  K.Rect("upbuttonrect", UpButtonRect);
  K.Rect("activeupbuttonrect", ActiveUpButtonRect);
  K.Rect("downupbuttonrect", DownUpButtonRect);
  K.Rect("downbuttonrect", DownButtonRect);
  K.Rect("activedownbuttonrect", ActiveDownButtonRect);
  K.Rect("downdownbuttonrect", DownDownButtonRect);
  K.Rect("thumbrect", ThumbRect);
  K.Rect("activethumbrect", ActiveThumbRect);
  K.Rect("downthumbrect", DownThumbRect);
  K.Int("thumboffset1", ThumbOffset1, 0);
  K.Int("thumboffset2", ThumbOffset2, 0);
  K.Flag("thumbtransparent", ThumbTransparent);
  K.Color("thumbtransparentcolor", ThumbTransparentColor, 0);
  K.Flag("thumbstretcheffect", ThumbStretchEffect);
  K.Int("thumbminsize", ThumbMinSize, 0);
  K.Int("thumbminpagesize", ThumbMinPageSize, 0);
  K.Rect("glyphrect", GlyphRect);
  K.Rect("activeglyphrect", ActiveGlyphRect);
  K.Rect("downglyphrect", DownGlyphRect);
  K.Flag("glyphtransparent", GlyphTransparent);
  K.Color("glyphtransparentcolor", GlyphTransparentColor, 0);
}

TbsDataSkinTrackBarControl::TbsDataSkinTrackBarControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  ButtonTransparentColor = 0xFF00FF;
}

void TbsDataSkinTrackBarControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("activeskinrect", ActiveSkinRect);
  K.Rect("trackarea", TrackArea);
  K.Rect("buttonrect", ButtonRect);
  K.Rect("activebuttonrect", ActiveButtonRect);
  K.Flag("vertical", Vertical);
  K.Flag("buttontransparent", ButtonTransparent);
  K.Color("buttontransparentcolor", ButtonTransparentColor, 0);
}

void TbsDataSkinSlider::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  K.Color("bgcolor", BGColor, 0);
  K.Rect("hrulerrect", HRulerRect);
  K.Rect("hthumbrect", HThumbRect);
  K.Rect("vrulerrect", VRulerRect);
  K.Rect("vthumbrect", VThumbRect);
  K.Int("edgesize", EdgeSize, 0);
  K.Color("pointscolor", PointsColor, 0);
}

TbsDataSkinGaugeControl::TbsDataSkinGaugeControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 14;
  ProgressTransparentColor = 0xFF00FF;
}

void TbsDataSkinGaugeControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("progressarea", ProgressArea);
  K.Rect("progressrect", ProgressRect);
  K.Int("beginoffset", BeginOffset, 0);
  K.Int("endoffset", EndOffset, 0);
  K.Flag("vertical", Vertical);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Flag("progresstransparent", ProgressTransparent);
  K.Color("progresstransparentcolor", ProgressTransparentColor, 0);
  K.Flag("progressstretch", ProgressStretch);
  K.Rect("animationskinrect", AnimationSkinRect);
  K.Int("animationcountframes", AnimationCountFrames, 0);
  K.Int("animationtimerinterval", AnimationTimerInterval, 0);
  K.Rect("progressanimationskinrect", ProgressAnimationSkinRect);
  K.Int("progressanimationcountframes", ProgressAnimationCountFrames, 0);
  K.Int("progressanimationtimerinterval", ProgressAnimationTimerInterval, 0);
  K.Int("animationbeginoffset", AnimationBeginOffset, 0);
  K.Int("animationendoffset", AnimationEndOffset, 0);
}

TbsDataSkinTabControl::TbsDataSkinTabControl(const std::string& AIDName) : TbsDataSkinControl(AIDName) {
  FontName = "Arial";
  FontHeight = 14;
  BGPictureIndex = -1;
  ButtonTransparentColor = 0xFF00FF;
}

void TbsDataSkinTabControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  K.Rect("tabrect", TabRect);
  K.Rect("activetabrect", ActiveTabRect);
  K.Rect("focustabrect", FocusTabRect);
  K.Rect("mouseintabrect", MouseInTabRect);
  K.Rect("clientrect", ClRect);
  K.Int("bgpictureindex", BGPictureIndex, -1);
  K.Point("lefttoppoint", LTPoint);
  K.Point("righttoppoint", RTPoint);
  K.Point("leftbottompoint", LBPoint);
  K.Point("rightbottompoint", RBPoint);
  K.Int("tableftoffset", TabLeftOffset, 0);
  K.Int("tabrightoffset", TabRightOffset, 0);
  K.Rect("tabsbgrect", TabsBGRect);
  K.Flag("tabstretcheffect", TabStretchEffect);
  K.Flag("leftstretch", LeftStretch);
  K.Flag("topstretch", TopStretch);
  K.Flag("rightstretch", RightStretch);
  K.Flag("bottomstretch", BottomStretch);
  K.Flag("stretcheffect", StretchEffect);
  K.StretchType("stretchtype", StretchType);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  K.Color("focusfontcolor", FocusFontColor, 0);
  K.Color("mouseinfontcolor", MouseInFontColor, 0);
  K.Text("updown", UpDown, "");
  K.Flag("showfocus", ShowFocus);
  K.Int("focusoffsetx", FocusOffsetX, 0);
  K.Int("focusoffsety", FocusOffsetY, 0);
  K.Rect("closebuttonrect", CloseButtonRect);
  K.Rect("closebuttonactiverect", CloseButtonActiveRect);
  K.Rect("closebuttondownrect", CloseButtonDownRect);
  K.Flag("buttontransparent", ButtonTransparent);
  K.Color("buttontransparentcolor", ButtonTransparentColor, 0);
}

namespace {
void DescribeViewKeys(TbsSkinKeys& K, std::string& FontName, int& FontHeight, TFontStyles& FontStyle, TColor& FontColor,
                      TColor& BGColor) {
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("bgcolor", BGColor, 0);
}
}  // namespace

TbsDataSkinTreeView::TbsDataSkinTreeView(const std::string& AIDName) : TbsDataSkinControl(AIDName) {
  FontName = "Arial";
  FontHeight = 14;
  BGColor = 0xFFFFFF;
}

void TbsDataSkinTreeView::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  DescribeViewKeys(K, FontName, FontHeight, FontStyle, FontColor, BGColor);
}

TbsDataSkinListView::TbsDataSkinListView(const std::string& AIDName) : TbsDataSkinControl(AIDName) {
  FontName = "Arial";
  FontHeight = 14;
  BGColor = 0xFFFFFF;
}

void TbsDataSkinListView::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  DescribeViewKeys(K, FontName, FontHeight, FontStyle, FontColor, BGColor);
}

TbsDataSkinGridControl::TbsDataSkinGridControl(const std::string& AIDName) : TbsDataSkinControl(AIDName) {
  FontName = "Arial";
  FixedFontName = "Arial";
  FontHeight = 14;
  FixedFontHeight = 14;
  BGPictureIndex = -1;
}

void TbsDataSkinGridControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  K.Rect("fixedcellrect", FixedCellRect);
  K.Rect("selectcellrect", SelectCellRect);
  K.Rect("focuscellrect", FocusCellRect);
  K.Int("fixedcellleftoffset", FixedCellLeftOffset, 0);
  K.Int("fixedcellrightoffset", FixedCellRightOffset, 0);
  K.Rect("fixedcelltextrect", FixedCellTextRect);
  K.Int("cellleftoffset", CellLeftOffset, 0);
  K.Int("cellrightoffset", CellRightOffset, 0);
  K.Rect("celltextrect", CellTextRect);
  if (K.Loading()) {
    K.Int("bgpictureindex", BGPictureIndex, -1);
    K.Color("linescolor", LinesColor, 0);
    K.Color("bgcolor", BGColor, 0);
  } else {
    K.Color("linescolor", LinesColor, 0);
    K.Color("bgcolor", BGColor, 0);
    K.Int("bgpictureindex", BGPictureIndex, -1);
  }
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("selectfontcolor", SelectFontColor, 0);
  K.Color("focusfontcolor", FocusFontColor, 0);
  K.Text("fixedfontname", FixedFontName, "Arial");
  K.Int("fixedfontheight", FixedFontHeight, 14);
  K.FontStyle("fixedfontstyle", FixedFontStyle);
  K.Color("fixedfontcolor", FixedFontColor, 0);
  K.Flag("cellstretcheffect", CellStretchEffect);
  K.Flag("fixedcellstretcheffect", FixedCellStretchEffect);
  K.Flag("showfocus", ShowFocus);
}

void TbsDataSkinMainMenuBar::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  K.Rect("itemsrect", ItemsRect);
  K.Text("menubaritem", MenuBarItem, "");
  K.Text("closebutton", CloseButton, "");
  K.Text("minbutton", MinButton, "");
  K.Text("maxbutton", MaxButton, "");
  K.Text("sysmenubutton", SysMenuButton, "");
  K.Int("trackmarkcolor", TrackMarkColor, 0);
  K.Int("trackmarkactivecolor", TrackMarkActiveColor, 0);
  K.Flag("stretcheffect", StretchEffect);
  K.Flag("itemtransparent", ItemTransparent);
}

TbsDataSkinControlBar::TbsDataSkinControlBar(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  BGPictureIndex = -1;
}

void TbsDataSkinControlBar::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("itemrect", ItemRect);
  K.Int("bgpictureindex", BGPictureIndex, -1);
  K.Rect("hgriprect", HGripRect);
  K.Rect("vgriprect", VGripRect);
  K.Int("gripoffset1", GripOffset1, 0);
  K.Int("gripoffset2", GripOffset2, 0);
  if (K.Loading()) {
    K.Flag("itemstretcheffect", ItemStretchEffect);
    K.Int("itemoffset1", ItemOffset1, 3);
    K.Int("itemoffset2", ItemOffset2, 3);
  } else {
    K.Int("itemoffset1", ItemOffset1, 3);
    K.Int("itemoffset2", ItemOffset2, 3);
    K.Flag("itemstretcheffect", ItemStretchEffect);
  }
  K.Flag("itemtransparent", ItemTransparent);
  K.Color("itemtransparentcolor", ItemTransparentColor, 0);
  K.Flag("griptransparent", GripTransparent);
  K.Color("griptransparentcolor", GripTransparentColor, 0);
}

TbsDataSkinEditControl::TbsDataSkinEditControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 12;
}

void TbsDataSkinEditControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("activeskinrect", ActiveSkinRect);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("disabledfontcolor", DisabledFontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  K.Rect("buttonrect", ButtonRect);
  K.Rect("activebuttonrect", ActiveButtonRect);
  K.Rect("downbuttonrect", DownButtonRect);
  K.Rect("unenabledbuttonrect", UnEnabledButtonRect);
}

void TbsDataSkinMemoControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinEditControl::DescribeKeys(K);
  K.Color("bgcolor", BGColor, 0);
  K.Color("activebgcolor", ActiveBGColor, 0);
}

TbsDataSkinSpinEditControl::TbsDataSkinSpinEditControl(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 12;
}

void TbsDataSkinSpinEditControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("activeskinrect", ActiveSkinRect);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  K.Color("disabledfontcolor", DisabledFontColor, 0);
  K.Rect("upbuttonrect", UpButtonRect);
  K.Rect("activeupbuttonrect", ActiveUpButtonRect);
  K.Rect("downupbuttonrect", DownUpButtonRect);
  K.Rect("downbuttonrect", DownButtonRect);
  K.Rect("activedownbuttonrect", ActiveDownButtonRect);
  K.Rect("downdownbuttonrect", DownDownButtonRect);
}

void TbsDataSkinUpDownControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("upbuttonrect", UpButtonRect);
  K.Rect("activeupbuttonrect", ActiveUpButtonRect);
  K.Rect("downupbuttonrect", DownUpButtonRect);
  K.Rect("downbuttonrect", DownButtonRect);
  K.Rect("activedownbuttonrect", ActiveDownButtonRect);
  K.Rect("downdownbuttonrect", DownDownButtonRect);
}

void TbsDataSkinUpDownControl::AfterLoad() {
  LTPoint = RTPoint = LBPoint = RBPoint = TPoint{0, 0};
  ClRect = TRect{0, 0, 0, 0};
}

void TbsDataSkinUpDownControl::BeforeSave() { AfterLoad(); }

TbsDataSkinListBox::TbsDataSkinListBox(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  CaptionFontName = "Arial";
  FontHeight = 14;
  CaptionFontHeight = 14;
}

void TbsDataSkinListBox::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("itemrect", SItemRect);
  K.Rect("activeitemrect", ActiveItemRect);
  K.Rect("focusitemrect", FocusItemRect);
  K.Int("itemleftoffset", ItemLeftOffset, 0);
  K.Int("itemrightoffset", ItemRightOffset, 0);
  K.Rect("itemtextrect", ItemTextRect);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  K.Color("focusfontcolor", FocusFontColor, 0);
  K.Rect("captionrect", CaptionRect);
  K.Text("captionfontname", CaptionFontName, "Arial");
  K.Int("captionfontheight", CaptionFontHeight, 14);
  K.FontStyle("captionfontstyle", CaptionFontStyle);
  K.Color("captionfontcolor", CaptionFontColor, 0);
  K.Rect("upbuttonrect", UpButtonRect);
  K.Rect("activeupbuttonrect", ActiveUpButtonRect);
  K.Rect("downupbuttonrect", DownUpButtonRect);
  K.Rect("downbuttonrect", DownButtonRect);
  K.Rect("activedownbuttonrect", ActiveDownButtonRect);
  K.Rect("downdownbuttonrect", DownDownButtonRect);
  K.Rect("checkbuttonrect", CheckButtonRect);
  K.Rect("activecheckbuttonrect", ActiveCheckButtonRect);
  K.Rect("downcheckbuttonrect", DownCheckButtonRect);
  K.Text("vscrollbarname", VScrollBarName, "vscrollbar");
  K.Text("hscrollbarname", HScrollBarName, "hscrollbar");
  // The key keeps the second "h" that existing skins carry.
  K.Text("bothhscrollbarname", BothScrollBarName, "bothhscrollbar");
  K.Flag("showfocus", ShowFocus);
  K.Rect("disabledbuttonsrect", DisabledButtonsRect);
  K.Rect("buttonsarea", ButtonsArea);
}

void TbsDataSkinCheckListBox::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinListBox::DescribeKeys(K);
  if (K.Loading()) {
    K.Rect("itemcheckrect", ItemCheckRect);
    K.Rect("checkimagerect", CheckImageRect);
    K.Rect("uncheckimagerect", UnCheckImageRect);
  } else {
    K.Rect("itemcheckrect", ItemCheckRect);
    K.Rect("uncheckimagerect", UnCheckImageRect);
    K.Rect("checkimagerect", CheckImageRect);
  }
}

TbsDataSkinComboBox::TbsDataSkinComboBox(const std::string& AIDName) : TbsDataSkinCustomControl(AIDName) {
  FontName = "Arial";
  FontHeight = 14;
}

void TbsDataSkinComboBox::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Rect("activeskinrect", ActiveSkinRect);
  K.Rect("itemrect", SItemRect);
  K.Rect("activeitemrect", ActiveItemRect);
  K.Rect("focusitemrect", FocusItemRect);
  K.Int("itemleftoffset", ItemLeftOffset, 0);
  K.Int("itemrightoffset", ItemRightOffset, 0);
  K.Rect("itemtextrect", ItemTextRect);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("focusfontcolor", FocusFontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  auto buttons = [&] {
    K.Rect("buttonrect", ButtonRect);
    K.Rect("activebuttonrect", ActiveButtonRect);
    K.Rect("downbuttonrect", DownButtonRect);
    K.Rect("unenabledbuttonrect", UnEnabledButtonRect);
  };
  if (K.Loading()) {
    K.Text("listboxname", ListBoxName, "");
    buttons();
  } else {
    buttons();
    K.Text("listboxname", ListBoxName, "");
  }
  K.Flag("itemstretcheffect", ItemStretchEffect);
  K.Flag("focusitemstretcheffect", FocusItemStretchEffect);
  K.Flag("showfocus", ShowFocus);
}

TbsDataSkinScrollBoxControl::TbsDataSkinScrollBoxControl(const std::string& AIDName)
    : TbsDataSkinCustomControl(AIDName) {
  BGPictureIndex = -1;
}

void TbsDataSkinScrollBoxControl::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinCustomControl::DescribeKeys(K);
  K.Int("bgpictureindex", BGPictureIndex, -1);
}

TbsDataSkinRichEdit::TbsDataSkinRichEdit(const std::string& AIDName) : TbsDataSkinControl(AIDName) {
  FontName = "Arial";
  FontHeight = 14;
  BGColor = 0xFFFFFF;
}

void TbsDataSkinRichEdit::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinControl::DescribeKeys(K);
  DescribeViewKeys(K, FontName, FontHeight, FontStyle, FontColor, BGColor);
}

// --- form objects ------------------------------------------------------------------

TbsDataSkinObject::TbsDataSkinObject(const std::string& AIDName) : TbsDataSkinRecord(AIDName) {}

void TbsDataSkinObject::DescribeKeys(TbsSkinKeys& K) {
  K.Text("hint", Hint, "");
  K.Int("activepictureindex", ActivePictureIndex, -1);
  K.Int("activemaskpictureindex", ActiveMaskPictureIndex, -1);
  K.Flag("skinrectinapicture", SkinRectInAPicture);
  K.Rect("skinrect", SkinRect);
  K.Rect("activeskinrect", ActiveSkinRect);
  K.Rect("inactiveskinrect", InActiveSkinRect);
  K.Flag("morphing", Morphing);
  K.MorphKind("morphkind", MorphKind);
  K.Int("glowlayerpictureindex", GlowLayerPictureIndex, -1);
  K.Int("glowlayermaskpictureindex", GlowLayerMaskPictureIndex, -1);
  K.Int("glowlayeroffsetx", GlowLayerOffsetX, 0);
  K.Int("glowlayeroffsety", GlowLayerOffsetY, 0);
  K.Int("glowlayeralphablendvalue", GlowLayerAlphaBlendValue, 255);
}

void TbsDataUserObject::DescribeKeys(TbsSkinKeys& K) { K.Rect("skinrect", SkinRect); }

void TbsDataSkinButton::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinObject::DescribeKeys(K);
  K.Rect("downrect", DownRect);
  // The misspelt key is what existing skins carry.
  K.Rect("disableskinrsect", DisableSkinRect);
}

namespace {

void DescribeRestoreKeys(TbsSkinKeys& K, TRect& RestoreRect, TRect& RestoreActiveRect, TRect& RestoreDownRect,
                         TRect& RestoreInActiveRect, std::string& RestoreHint) {
  K.Rect("restorerect", RestoreRect);
  K.Rect("restoreactiverect", RestoreActiveRect);
  K.Rect("restoredownrect", RestoreDownRect);
  K.Rect("restoreinactiverect", RestoreInActiveRect);
  K.Text("restorehint", RestoreHint, "");
}

void ApplyRestoreHintRule(const std::string& Hint, TbsStdCommand Command, std::string& RestoreHint) {
  if (!RestoreHint.empty()) return;
  if (Hint == "Maximize" && Command == cmMaximize)
    RestoreHint = "Restore";
  else if (Hint == "Minimize" && Command == cmMinimize)
    RestoreHint = "Restore";
  else if ((Hint == "RollUp" || Hint == "Roll Up") && Command == cmRollUp)
    RestoreHint = "Restore";
}

}  // namespace

void TbsDataSkinStdButton::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinButton::DescribeKeys(K);
  K.Command("command", Command);
  DescribeRestoreKeys(K, RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect, RestoreHint);
}

void TbsDataSkinStdButton::AfterLoad() { ApplyRestoreHintRule(Hint, Command, RestoreHint); }

void TbsDataSkinAnimate::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinObject::DescribeKeys(K);
  // An animated object never morphs.
  if (K.Loading()) Morphing = false;
  K.Int("countframes", CountFrames, 1);
  K.Flag("cycle", Cycle);
  K.Flag("buttonstyle", ButtonStyle);
  K.Int("timerinterval", TimerInterval, 50);
  K.Command("command", Command);
  K.Rect("downskinrect", DownSkinRect);
  DescribeRestoreKeys(K, RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect, RestoreHint);
}

void TbsDataSkinAnimate::AfterLoad() { ApplyRestoreHintRule(Hint, Command, RestoreHint); }

void TbsDataSkinMenuItem::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinObject::DescribeKeys(K);
  K.Int("itemleftoffset", ItemLO, 0);
  K.Int("itemrightoffset", ItemRO, 0);
  K.Rect("dividerrect", DividerRect);
  K.Int("dividerleftoffset", DividerLO, 0);
  K.Int("dividerrightoffset", DividerRO, 0);
  K.Rect("textrect", TextRct);
  K.Rect("imagerect", ImageRct);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  K.Color("unenabledfontcolor", UnEnabledFontColor, 0);
  K.Flag("stretcheffect", StretchEffect);
  K.Flag("inactivestretcheffect", InActiveStretchEffect);
  K.Flag("dividerstretcheffect", DividerStretchEffect);
  K.Rect("animateskinrect", AnimateSkinRect);
  K.Int("framecount", FrameCount, 0);
  K.Int("animateinterval", AnimateInterval, 25);
  K.Flag("inactiveanimation", InActiveAnimation);
  K.Flag("useimagecolor", UseImageColor);
  K.Color("imagecolor", ImageColor, 0);
  K.Color("activeimagecolor", ActiveImageColor, 0);
  K.Flag("inactivetransparent", InActiveTransparent);
  // An empty highlighted image falls back to the normal one.
  K.Rect("checkimagerect", CheckImageRect);
  K.Rect("activecheckimagerect", ActiveCheckImageRect);
  if (K.Loading() && IsNullRect(ActiveCheckImageRect)) ActiveCheckImageRect = CheckImageRect;
  K.Rect("radioimagerect", RadioImageRect);
  K.Rect("activeradioimagerect", ActiveRadioImageRect);
  if (K.Loading() && IsNullRect(ActiveRadioImageRect)) ActiveRadioImageRect = RadioImageRect;
  K.Rect("arrowimagerect", ArrowImageRect);
  K.Rect("activearrowimagerect", ActiveArrowImageRect);
  if (K.Loading() && IsNullRect(ActiveArrowImageRect)) ActiveArrowImageRect = ArrowImageRect;
}

void TbsDataSkinMainMenuItem::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinObject::DescribeKeys(K);
  K.Int("itemleftoffset", ItemLO, 0);
  K.Int("itemrightoffset", ItemRO, 0);
  K.Rect("downrect", DownRect);
  K.Rect("textrect", TextRct);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  K.Color("downfontcolor", DownFontColor, 0);
  // Written with the capital C existing skins carry; keys match without
  // regard to letter case anyway.
  K.Color("unenabledfontColor", UnEnabledFontColor, 0);
  K.Flag("stretcheffect", StretchEffect);
  K.Rect("animateskinrect", AnimateSkinRect);
  K.Int("framecount", FrameCount, 0);
  K.Int("animateinterval", AnimateInterval, 25);
  K.Flag("inactiveanimation", InActiveAnimation);
}

void TbsDataSkinCaption::DescribeKeys(TbsSkinKeys& K) {
  TbsDataSkinObject::DescribeKeys(K);
  K.Rect("textrect", TextRct);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Color("activefontcolor", ActiveFontColor, 0);
  K.Alignment("alignment", Alignment);
  K.Flag("light", Light);
  K.Color("lightcolor", LightColor, 0);
  K.Color("activelightcolor", ActiveLightColor, 0);
  K.Flag("shadow", Shadow);
  K.Color("shadowcolor", ShadowColor, 0);
  K.Color("activeshadowcolor", ActiveShadowColor, 0);
  K.Rect("framerect", FrameRect);
  K.Rect("activeframerect", ActiveFrameRect);
  K.Rect("frametextrect", FrameTextRect);
  K.Int("frameleftoffset", FrameLeftOffset, 0);
  K.Int("framerightoffset", FrameRightOffset, 0);
  K.Flag("stretcheffect", StretchEffect);
  K.Rect("animateskinrect", AnimateSkinRect);
  K.Int("framecount", FrameCount, 0);
  K.Int("animateinterval", AnimateInterval, 25);
  K.Flag("inactiveanimation", InActiveAnimation);
  K.Flag("fullframe", FullFrame);
  K.Flag("vistagloweffect", VistaGlowEffect);
  K.Flag("vistaglowinactiveeffect", VistaGlowInActiveEffect);
  K.Flag("gloweffect", GlowEffect);
  K.Flag("glowinactiveeffect", GlowInActiveEffect);
  K.Int("glowsize", GlowSize, 3);
  K.Color("glowcolor", GlowColor, 0);
  K.Color("glowactivecolor", GlowActiveColor, 0);
  K.Int("glowoffset", GlowOffset, 0);
  K.Flag("reflectioneffect", ReflectionEffect);
  // "reflaction" is how existing skins spell the two colour keys.
  K.Color("reflactioncolor", ReflectionColor, 0);
  K.Color("reflactionactivecolor", ReflectionActiveColor, 0);
  K.Int("reflectionoffset", ReflectionOffset, 0);
}

// --- factories ----------------------------------------------------------------------

namespace {

template <class T, class Base>
std::unique_ptr<Base> Make(const std::string& N) {
  return std::unique_ptr<Base>(new T(N));
}

using ControlMaker = std::unique_ptr<TbsDataSkinControl> (*)(const std::string&);
using ObjectMaker = std::unique_ptr<TbsDataSkinObject> (*)(const std::string&);

const std::vector<std::pair<std::string, ControlMaker>>& ControlTable() {
  static const std::vector<std::pair<std::string, ControlMaker>> t = {
      {"panel", &Make<TbsDataSkinPanelControl, TbsDataSkinControl>},
      {"expanel", &Make<TbsDataSkinExPanelControl, TbsDataSkinControl>},
      {"menubutton", &Make<TbsDataSkinMenuButtonControl, TbsDataSkinControl>},
      {"button", &Make<TbsDataSkinButtonControl, TbsDataSkinControl>},
      {"checkradio", &Make<TbsDataSkinCheckRadioControl, TbsDataSkinControl>},
      {"gauge", &Make<TbsDataSkinGaugeControl, TbsDataSkinControl>},
      {"splitter", &Make<TbsDataSkinSplitterControl, TbsDataSkinControl>},
      {"trackbar", &Make<TbsDataSkinTrackBarControl, TbsDataSkinControl>},
      {"label", &Make<TbsDataSkinLabelControl, TbsDataSkinControl>},
      {"stdlabel", &Make<TbsDataSkinStdLabelControl, TbsDataSkinControl>},
      {"updown", &Make<TbsDataSkinUpDownControl, TbsDataSkinControl>},
      {"grid", &Make<TbsDataSkinGridControl, TbsDataSkinControl>},
      {"tab", &Make<TbsDataSkinTabControl, TbsDataSkinControl>},
      {"mainmenubar", &Make<TbsDataSkinMainMenuBar, TbsDataSkinControl>},
      {"controlbar", &Make<TbsDataSkinControlBar, TbsDataSkinControl>},
      {"memo", &Make<TbsDataSkinMemoControl, TbsDataSkinControl>},
      {"edit", &Make<TbsDataSkinEditControl, TbsDataSkinControl>},
      {"checklistbox", &Make<TbsDataSkinCheckListBox, TbsDataSkinControl>},
      {"listbox", &Make<TbsDataSkinListBox, TbsDataSkinControl>},
      {"combobox", &Make<TbsDataSkinComboBox, TbsDataSkinControl>},
      {"scrollbar", &Make<TbsDataSkinScrollBarControl, TbsDataSkinControl>},
      {"spinedit", &Make<TbsDataSkinSpinEditControl, TbsDataSkinControl>},
      {"scrollbox", &Make<TbsDataSkinScrollBoxControl, TbsDataSkinControl>},
      {"treeview", &Make<TbsDataSkinTreeView, TbsDataSkinControl>},
      {"bevel", &Make<TbsDataSkinBevel, TbsDataSkinControl>},
      {"slider", &Make<TbsDataSkinSlider, TbsDataSkinControl>},
      {"listview", &Make<TbsDataSkinListView, TbsDataSkinControl>},
      {"richedit", &Make<TbsDataSkinRichEdit, TbsDataSkinControl>},
  };
  return t;
}

const std::vector<std::pair<std::string, ObjectMaker>>& ObjectTable() {
  static const std::vector<std::pair<std::string, ObjectMaker>> t = {
      {"menuitem", &Make<TbsDataSkinMenuItem, TbsDataSkinObject>},
      {"mainmenubaritem", &Make<TbsDataSkinMainMenuBarItem, TbsDataSkinObject>},
      {"stdbutton", &Make<TbsDataSkinStdButton, TbsDataSkinObject>},
      {"mainmenubarbutton", &Make<TbsDataSkinMainMenuBarButton, TbsDataSkinObject>},
      {"button", &Make<TbsDataSkinButton, TbsDataSkinObject>},
      {"caption", &Make<TbsDataSkinCaption, TbsDataSkinObject>},
      {"animate", &Make<TbsDataSkinAnimate, TbsDataSkinObject>},
      {"userobject", &Make<TbsDataUserObject, TbsDataSkinObject>},
  };
  return t;
}

}  // namespace

std::unique_ptr<TbsDataSkinControl> CreateControlRecord(const std::string& AType, const std::string& AIDName) {
  for (const auto& [kw, make] : ControlTable())
    if (kw == AType) return make(AIDName);
  return nullptr;
}

std::unique_ptr<TbsDataSkinObject> CreateObjectRecord(const std::string& AType, const std::string& AIDName) {
  for (const auto& [kw, make] : ObjectTable())
    if (kw == AType) return make(AIDName);
  return nullptr;
}

const std::vector<std::string>& ControlTypeKeywords() {
  static const std::vector<std::string> v = [] {
    std::vector<std::string> r;
    for (const auto& e : ControlTable()) r.push_back(e.first);
    return r;
  }();
  return v;
}

const std::vector<std::string>& ObjectTypeKeywords() {
  static const std::vector<std::string> v = [] {
    std::vector<std::string> r;
    for (const auto& e : ObjectTable()) r.push_back(e.first);
    return r;
  }();
  return v;
}

// --- window-wide records ---------------------------------------------------------------

void TbsSkinColors::SetColorsToDefault() {
  FcBtnFace = SysColor(COLOR_BTNFACE);
  FcBtnText = SysColor(COLOR_BTNTEXT);
  FcWindow = SysColor(COLOR_WINDOW);
  FcWindowText = SysColor(COLOR_WINDOWTEXT);
  FcHighLight = SysColor(COLOR_HIGHLIGHT);
  FcHighLightText = SysColor(COLOR_HIGHLIGHTTEXT);
  FcBtnHighLight = SysColor(COLOR_BTNHIGHLIGHT);
  FcBtnShadow = SysColor(COLOR_BTNSHADOW);
}

void TbsSkinColors::DescribeKeys(TbsSkinKeys& K) {
  K.Color("cbtnface", FcBtnFace, SysColor(COLOR_BTNFACE));
  K.Color("cbtntext", FcBtnText, SysColor(COLOR_BTNTEXT));
  K.Color("cwindow", FcWindow, SysColor(COLOR_WINDOW));
  K.Color("cwindowtext", FcWindowText, SysColor(COLOR_WINDOWTEXT));
  K.Color("chighlight", FcHighLight, SysColor(COLOR_HIGHLIGHT));
  K.Color("chighlighttext", FcHighLightText, SysColor(COLOR_HIGHLIGHTTEXT));
  K.Color("cbtnhighlight", FcBtnHighLight, SysColor(COLOR_BTNHIGHLIGHT));
  K.Color("cbtnshadow", FcBtnShadow, SysColor(COLOR_BTNSHADOW));
}

void TbsSkinColors::LoadFromFile(TIniFile& IniFile) {
  TbsSkinKeyReader r(IniFile, "SKINCOLORS");
  DescribeKeys(r);
}

void TbsSkinColors::SaveToFile(TIniFile& IniFile) {
  TbsSkinKeyWriter w(IniFile, "SKINCOLORS");
  DescribeKeys(w);
}

void TbsDataSkinPopupWindow::DescribeKeys(TbsSkinKeys& K) {
  K.Int("windowpictureindex", WindowPictureIndex, -1);
  K.Int("maskpictureindex", MaskPictureIndex, -1);
  K.Point("lefttoppoint", LTPoint);
  K.Point("righttoppoint", RTPoint);
  K.Point("leftbottompoint", LBPoint);
  K.Point("rightbottompoint", RBPoint);
  K.Rect("itemsrect", ItemsRect);
  K.Color("scrollmarkercolor", ScrollMarkerColor, 0);
  K.Color("scrollmarkeractivecolor", ScrollMarkerActiveColor, 0);
  K.Flag("leftstretch", LeftStretch);
  K.Flag("rightstretch", RightStretch);
  K.Flag("topstretch", TopStretch);
  K.Flag("bottomstretch", BottomStretch);
  K.Flag("stretcheffect", StretchEffect);
  K.StretchType("stretchtype", StretchType);
}

void TbsDataSkinPopupWindow::LoadFromFile(TIniFile& IniFile) {
  TbsSkinKeyReader r(IniFile, "POPUPWINDOW");
  DescribeKeys(r);
}

void TbsDataSkinPopupWindow::SaveToFile(TIniFile& IniFile) {
  IniFile.EraseSection("POPUPWINDOW");
  TbsSkinKeyWriter w(IniFile, "POPUPWINDOW");
  DescribeKeys(w);
}

void TbsDataSkinLayerFrame::DescribeKeys(TbsSkinKeys& K) {
  K.Int("pictureindex", PictureIndex, -1);
  K.Int("maskpictureindex", MaskPictureIndex, -1);
  K.Int("inactivepictureindex", InActivePictureIndex, -1);
  K.Int("inactivemaskpictureindex", InActiveMaskPictureIndex, -1);
  K.Point("lefttoppoint", LTPoint);
  K.Point("righttoppoint", RTPoint);
  K.Point("leftbottompoint", LBPoint);
  K.Point("rightbottompoint", RBPoint);
  K.Rect("clientrect", ClRect);
  K.Int("alphablendvalue", AlphaBlendValue, 255);
  K.Int("inactivealphablendvalue", InActiveAlphaBlendValue, 255);
  K.Rect("borderrect", BorderRect);
  K.Flag("hittestenable", HitTestEnable);
}

void TbsDataSkinLayerFrame::LoadFromFile(TIniFile& IniFile) {
  TbsSkinKeyReader r(IniFile, "LAYERFRAME");
  DescribeKeys(r);
}

void TbsDataSkinLayerFrame::SaveToFile(TIniFile& IniFile) {
  IniFile.EraseSection("LAYERFRAME");
  TbsSkinKeyWriter w(IniFile, "LAYERFRAME");
  DescribeKeys(w);
}

void TbsDataSkinHintWindow::DescribeKeys(TbsSkinKeys& K) {
  K.Int("windowpictureindex", WindowPictureIndex, -1);
  K.Int("maskpictureindex", MaskPictureIndex, -1);
  K.Point("lefttoppoint", LTPoint);
  K.Point("righttoppoint", RTPoint);
  K.Point("leftbottompoint", LBPoint);
  K.Point("rightbottompoint", RBPoint);
  K.Rect("clientrect", ClRect);
  K.Text("fontname", FontName, "Arial");
  K.Int("fontheight", FontHeight, 14);
  K.FontStyle("fontstyle", FontStyle);
  K.Color("fontcolor", FontColor, 0);
  K.Flag("leftstretch", LeftStretch);
  K.Flag("rightstretch", RightStretch);
  K.Flag("topstretch", TopStretch);
  K.Flag("bottomstretch", BottomStretch);
  K.Flag("stretcheffect", StretchEffect);
  K.StretchType("stretchtype", StretchType);
}

void TbsDataSkinHintWindow::LoadFromFile(TIniFile& IniFile) {
  TbsSkinKeyReader r(IniFile, "HINTWINDOW");
  DescribeKeys(r);
}

void TbsDataSkinHintWindow::SaveToFile(TIniFile& IniFile) {
  IniFile.EraseSection("HINTWINDOW");
  TbsSkinKeyWriter w(IniFile, "HINTWINDOW");
  DescribeKeys(w);
}

}  // namespace skin
