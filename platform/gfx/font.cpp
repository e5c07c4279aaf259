#include "platform/gfx/font.h"

#include "platform/gfx/text.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <tuple>

namespace gfx {

HFONT win32api::CreateFontIndirect(const LOGFONT* lf) {
  if (!lf) return HFONT();
  auto f = std::make_unique<detail::FontObj>();
  f->lf = *lf;
  return HFONT(detail::Register(std::move(f)));
}

HFONT win32api::CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                           DWORD underline, DWORD strikeOut, DWORD charset, DWORD outPrecision, DWORD clipPrecision,
                           DWORD quality, DWORD pitchAndFamily, const char* face) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = uint8_t(italic != 0);
  lf.lfUnderline = uint8_t(underline != 0);
  lf.lfStrikeOut = uint8_t(strikeOut != 0);
  lf.lfCharSet = uint8_t(charset);
  lf.lfOutPrecision = uint8_t(outPrecision);
  lf.lfClipPrecision = uint8_t(clipPrecision);
  lf.lfQuality = uint8_t(quality);
  lf.lfPitchAndFamily = uint8_t(pitchAndFamily);
  lf.lfFaceName = face ? face : "";
  return CreateFontIndirect(&lf);
}

bool GetLogFont(HFONT f, LOGFONT& out) {
  auto* o = detail::GetFont(f);
  if (!o) return false;
  out = o->lf;
  return true;
}

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::mutex g_fontMu;

// The first installed family of a chain; the last one when none is found
// (fontconfig still substitutes something).
std::string FirstInstalled(std::initializer_list<const char*> chain) {
  EnsureGuiApplication();
  static std::map<std::string, bool> known;
  for (const char* name : chain) {
    auto it = known.find(name);
    if (it == known.end()) {
      bool has = QFontDatabase::families().contains(QString::fromUtf8(name), Qt::CaseInsensitive);
      it = known.emplace(name, has).first;
    }
    if (it->second) return name;
  }
  return *(chain.end() - 1);
}

}  // namespace

std::string MapFontFamily(const std::string& face) {
  std::lock_guard<std::mutex> g(g_fontMu);
  std::string f = Lower(face);
  if (f.empty() || f == "arial" || f == "ms sans serif" || f == "microsoft sans serif" || f == "helvetica" ||
      f == "ms shell dlg" || f == "ms shell dlg 2" || f == "system" || f == "default")
    return FirstInstalled({"Liberation Sans", "Nimbus Sans", "Nimbus Sans L", "DejaVu Sans"});
  if (f == "tahoma" || f == "verdana" || f == "segoe ui") return FirstInstalled({"DejaVu Sans"});
  if (f == "courier new" || f == "courier" || f == "fixedsys" || f == "terminal")
    return FirstInstalled({"Liberation Mono", "Nimbus Mono PS", "DejaVu Sans Mono"});
  if (f == "times new roman" || f == "times")
    return FirstInstalled({"Liberation Serif", "Nimbus Roman", "DejaVu Serif"});
  return face;
}

QFont ToQFont(const LOGFONT& lf) {
  EnsureGuiApplication();
  QString family = QString::fromStdString(MapFontFamily(lf.lfFaceName));
  QFont f;
  f.setFamilies({family, QString::fromUtf8(CjkFallbackFamily())});
  int weight = lf.lfWeight <= 0 ? 400 : std::clamp(lf.lfWeight, 100, 900);
  f.setWeight(QFont::Weight(weight));
  f.setItalic(lf.lfItalic != 0);
  f.setUnderline(lf.lfUnderline != 0);
  f.setStrikeOut(lf.lfStrikeOut != 0);
  f.setKerning(false);
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setStyleStrategy(lf.lfQuality == NONANTIALIASED_QUALITY
                         ? QFont::StyleStrategy(QFont::NoAntialias)
                         : QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
  int h = lf.lfHeight == 0 ? 13 : lf.lfHeight;
  if (h < 0) {
    f.setPixelSize(std::max(1, -h));
    return f;
  }
  // A cell height: the largest pixel size whose ascent + descent fits.
  using Key = std::tuple<std::string, int, bool, int>;
  static std::map<Key, int> cache;
  Key key{family.toStdString(), weight, lf.lfItalic != 0, h};
  {
    std::lock_guard<std::mutex> g(g_fontMu);
    auto it = cache.find(key);
    if (it != cache.end()) {
      f.setPixelSize(it->second);
      return f;
    }
  }
  int px = std::min(h, 2048);
  for (; px > 1; --px) {
    f.setPixelSize(px);
    QFontMetrics fm(f);
    if (fm.ascent() + fm.descent() <= h) break;
  }
  f.setPixelSize(std::max(1, px));
  std::lock_guard<std::mutex> g(g_fontMu);
  cache[key] = std::max(1, px);
  return f;
}

}  // namespace gfx
