#include "platform/gfx/text.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster_internal.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace gfx {

// ---- UTF-8 ------------------------------------------------------------------------

std::u32string ToU32(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    int n;
    if (c < 0x80) {
      cp = c;
      n = 1;
    } else if ((c >> 5) == 6) {
      cp = c & 0x1F;
      n = 2;
    } else if ((c >> 4) == 14) {
      cp = c & 0x0F;
      n = 3;
    } else if ((c >> 3) == 30) {
      cp = c & 0x07;
      n = 4;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (i + size_t(n) > s.size()) {
      out.push_back(0xFFFD);
      break;
    }
    bool ok = true;
    for (int k = 1; k < n; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + size_t(k)]);
      if ((cc >> 6) != 2) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += size_t(n);
  }
  return out;
}

std::string ToU8(std::u32string_view s) {
  std::string out;
  for (char32_t c : s) {
    if (c < 0x80)
      out += char(c);
    else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// ---- engines ----------------------------------------------------------------------

void EnsureGuiApplication() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (QGuiApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    static int argc = 1;
    static char name[] = "vc";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
  });
}

FontMetrics FixedTextEngine::Metrics(const LOGFONT&) {
  FontMetrics m;
  m.ascent = kAscent;
  m.descent = kHeight - kAscent;
  m.aveCharWidth = kCharWidth;
  m.maxCharWidth = kCharWidth;
  return m;
}

int FixedTextEngine::Width(const LOGFONT&, std::u32string_view text) { return int(text.size()) * kCharWidth; }

void FixedTextEngine::Draw(detail::BitmapObj& target, const QRegion& clip, int x, int y, const LOGFONT&,
                           std::u32string_view text, COLORREF color) {
  detail::Clipper c(clip);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] <= 0x20) continue;
    int gx = x + int(i) * kCharWidth;
    for (int yy = y; yy < y + kHeight; ++yy)
      for (int xx = gx; xx < gx + kCharWidth; ++xx)
        if (c.In(xx, yy)) target.PutPixel(xx, yy, color);
    target.MarkDirty(TRect{gx, y, gx + kCharWidth, y + kHeight});
  }
}

struct QtTextEngine::Impl {
  std::mutex mu;
  std::unordered_map<std::string, std::pair<QFont, FontMetrics>> fonts;
  std::unordered_map<std::string, int> widths;

  static std::string Key(const LOGFONT& lf) {
    return lf.lfFaceName + '\x1f' + std::to_string(lf.lfHeight) + '\x1f' + std::to_string(lf.lfWeight) + '\x1f' +
           char('0' + lf.lfItalic) + char('0' + lf.lfUnderline) + char('0' + lf.lfStrikeOut) + char('0' + lf.lfQuality);
  }
  std::pair<QFont, FontMetrics>& Font(const LOGFONT& lf) {
    std::string k = Key(lf);
    auto it = fonts.find(k);
    if (it != fonts.end()) return it->second;
    QFont f = ToQFont(lf);
    QFontMetrics fm(f);
    FontMetrics m;
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    int em = f.pixelSize() > 0 ? f.pixelSize() : m.ascent + m.descent;
    m.internalLeading = std::max(0, m.ascent + m.descent - em);
    m.externalLeading = std::max(0, fm.leading());
    m.aveCharWidth = fm.averageCharWidth();
    m.maxCharWidth = fm.maxWidth();
    if (fonts.size() > 256) fonts.clear();
    return fonts.emplace(k, std::make_pair(f, m)).first->second;
  }
};

QtTextEngine::QtTextEngine() : impl_(std::make_unique<Impl>()) {}
QtTextEngine::~QtTextEngine() = default;

FontMetrics QtTextEngine::Metrics(const LOGFONT& lf) {
  std::lock_guard<std::mutex> g(impl_->mu);
  return impl_->Font(lf).second;
}

int QtTextEngine::Width(const LOGFONT& lf, std::u32string_view text) {
  if (text.empty()) return 0;
  std::lock_guard<std::mutex> g(impl_->mu);
  std::string key = Impl::Key(lf) + '\x1e' + ToU8(text);
  auto it = impl_->widths.find(key);
  if (it != impl_->widths.end()) return it->second;
  QFontMetrics fm(impl_->Font(lf).first);
  int w = fm.horizontalAdvance(QString::fromUcs4(text.data(), qsizetype(text.size())));
  if (impl_->widths.size() > 20000) impl_->widths.clear();
  impl_->widths.emplace(std::move(key), w);
  return w;
}

void QtTextEngine::Draw(detail::BitmapObj& target, const QRegion& clip, int x, int y, const LOGFONT& lf,
                        std::u32string_view text, COLORREF color) {
  if (text.empty() || clip.isEmpty()) return;
  std::lock_guard<std::mutex> g(impl_->mu);
  auto& fm = impl_->Font(lf);
  QString s = QString::fromUcs4(text.data(), qsizetype(text.size()));
  QColor qc(GetRValue(color), GetGValue(color), GetBValue(color));
  QFontMetrics metrics(fm.first);
  QRect bounds(x, y, metrics.horizontalAdvance(s) + fm.second.maxCharWidth, fm.second.ascent + fm.second.descent);
  bounds &= clip.boundingRect();
  if (bounds.isEmpty()) return;
  target.MarkDirty(TRect{bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1});
  if (!target.bottomUp && (target.bpp == 32 || target.bpp == 24)) {
    // Drawn straight into the pixels; a 32-bit target is seen as RGB32, so
    // the pixels touched get alpha 255.
    QImage img(target.bits, target.width, target.height, target.stride,
               target.bpp == 32 ? QImage::Format_RGB32 : QImage::Format_BGR888);
    QPainter p(&img);
    p.setClipRegion(clip);
    p.setFont(fm.first);
    p.setPen(qc);
    p.drawText(x, y + fm.second.ascent, s);
    return;
  }
  // Other formats: render the coverage and put the covered pixels.
  QImage cov(bounds.size(), QImage::Format_ARGB32);
  cov.fill(Qt::transparent);
  {
    QPainter p(&cov);
    p.setFont(fm.first);
    p.setPen(QColor(255, 255, 255));
    p.drawText(x - bounds.left(), y - bounds.top() + fm.second.ascent, s);
  }
  detail::Clipper c(clip);
  for (int yy = 0; yy < cov.height(); ++yy) {
    const QRgb* row = reinterpret_cast<const QRgb*>(cov.constScanLine(yy));
    for (int xx = 0; xx < cov.width(); ++xx) {
      int a = qAlpha(row[xx]);
      int px = bounds.left() + xx, py = bounds.top() + yy;
      if (a == 0 || !c.In(px, py)) continue;
      COLORREF d = target.GetPixel(px, py);
      auto mix = [a](int s, int dd) { return (s * a + dd * (255 - a) + 127) / 255; };
      target.PutPixel(px, py,
                      RGB(mix(GetRValue(color), GetRValue(d)), mix(GetGValue(color), GetGValue(d)),
                          mix(GetBValue(color), GetBValue(d))));
    }
  }
}

namespace {
std::atomic<ITextEngine*> g_engine{nullptr};
}

ITextEngine& TextEngine() {
  ITextEngine* e = g_engine.load();
  if (e) return *e;
  static QtTextEngine qt;
  return qt;
}

void SetTextEngine(ITextEngine* engine) { g_engine.store(engine); }

// ---- helpers over a DC ---------------------------------------------------------

namespace {

LOGFONT DcFont(detail::DCObj* d) {
  if (auto* f = detail::GetFont(d->st.font)) return f->lf;
  LOGFONT lf;
  lf.lfFaceName = "MS Sans Serif";
  lf.lfHeight = -11;
  return lf;
}

struct TextCtx {
  detail::DrawTarget t;
  LOGFONT lf;
  FontMetrics m;
  ITextEngine* eng = nullptr;
  bool ok = false;
  explicit TextCtx(HDC dc) : t(detail::Target(dc)) {
    if (!t.dc) return;
    lf = DcFont(t.dc);
    eng = &TextEngine();
    m = eng->Metrics(lf);
    ok = true;
  }
  int Height() const { return m.ascent + m.descent; }
  int Width(std::u32string_view s) const { return eng->Width(lf, s) + int(s.size()) * t.dc->st.textCharExtra; }
  // Draws a run with its cell top-left at logical (x, y); `extra` clip in bitmap coordinates.
  void Run(int x, int y, std::u32string_view s, const QRegion* extra, bool background) {
    if (!t.ok() || s.empty()) return;
    QRegion clip = t.clip;
    if (extra) clip &= *extra;
    if (clip.isEmpty()) return;
    int bx = x + t.dx, by = y + t.dy;
    if (background && t.dc->st.bkMode == OPAQUE) {
      detail::DrawTarget t2 = t;
      t2.clip = clip;
      detail::FillSpanRect(t2, QRect(bx, by, Width(s), Height()), t.dc->st.bkColor, R2_COPYPEN);
    }
    if (t.dc->st.textCharExtra == 0) {
      eng->Draw(*t.bmp, clip, bx, by, lf, s, t.dc->st.textColor);
    } else {
      int cx = bx;
      for (size_t i = 0; i < s.size(); ++i) {
        eng->Draw(*t.bmp, clip, cx, by, lf, s.substr(i, 1), t.dc->st.textColor);
        cx += Width(s.substr(i, 1));
      }
    }
  }
  void Underline(int x, int y, int w, const QRegion* extra) {
    if (!t.ok() || w <= 0) return;
    detail::DrawTarget t2 = t;
    if (extra) t2.clip &= *extra;
    int uy = y + m.ascent + 1;
    if (uy >= y + Height()) uy = y + Height() - 1;
    detail::FillSpanRect(t2, QRect(x + t.dx, uy + t.dy, w, 1), t.dc->st.textColor, R2_COPYPEN);
  }
};

std::u32string_view Prefix(std::u32string_view s, int count) {
  if (count >= 0 && size_t(count) < s.size()) return s.substr(0, size_t(count));
  return s;
}

// UTF-8 `count` is a byte count.
std::string_view PrefixBytes(std::string_view s, int count) {
  if (count >= 0 && size_t(count) < s.size()) return s.substr(0, size_t(count));
  return s;
}

bool IsCjk(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x2FFFF);
}

struct Line {
  std::u32string text;  // prefixes resolved, tabs expanded
  int underline = -1;   // index of the prefixed character in `text`
  int width = 0;
};

}  // namespace

// ---- TextOut & co. ----------------------------------------------------------------

UINT win32api::SetTextAlign(HDC dc, UINT align) {
  auto* d = detail::GetDCObj(dc);
  if (!d) return 0xFFFFFFFF;
  UINT old = d->st.textAlign;
  d->st.textAlign = align;
  return old;
}

UINT win32api::GetTextAlign(HDC dc) {
  auto* d = detail::GetDCObj(dc);
  return d ? d->st.textAlign : 0xFFFFFFFF;
}

int win32api::SetTextCharacterExtra(HDC dc, int extra) {
  auto* d = detail::GetDCObj(dc);
  if (!d) return int(0x80000000);
  int old = d->st.textCharExtra;
  d->st.textCharExtra = extra;
  return old;
}

static void AlignedRun(TextCtx& c, int x, int y, std::u32string_view s, const QRegion* extra, bool bg) {
  UINT a = c.t.dc->st.textAlign;
  bool useCp = a & TA_UPDATECP;
  if (useCp) {
    x = c.t.dc->st.pos.X;
    y = c.t.dc->st.pos.Y;
  }
  int w = c.Width(s);
  int h = a & 0x18;
  if (h == TA_BASELINE)
    y -= c.m.ascent;
  else if (h == TA_BOTTOM)
    y -= c.Height();
  int hor = a & 6;
  int left = x;
  if (hor == TA_CENTER)
    left = x - w / 2;
  else if (hor == TA_RIGHT)
    left = x - w;
  c.Run(left, y, s, extra, bg);
  if (useCp) c.t.dc->st.pos.X = hor == TA_RIGHT ? x - w : (hor == TA_CENTER ? x : x + w);
}

BOOL win32api::TextOut(HDC dc, int x, int y, std::string_view text, int count) {
  TextCtx c(dc);
  if (!c.ok) return 0;
  std::u32string s = ToU32(PrefixBytes(text, count));
  AlignedRun(c, x, y, s, nullptr, true);
  return 1;
}

BOOL win32api::ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* r, std::string_view text, int count,
                          const int* dx) {
  TextCtx c(dc);
  if (!c.ok) return 0;
  QRegion rectClip;
  bool hasRect = r != nullptr && (options & (ETO_CLIPPED | ETO_OPAQUE));
  if (hasRect)
    rectClip = QRegion(detail::QRectLTRB(int64_t(r->Left) + c.t.dx, int64_t(r->Top) + c.t.dy,
                                         int64_t(r->Right) + c.t.dx, int64_t(r->Bottom) + c.t.dy));
  if ((options & ETO_OPAQUE) && r && c.t.ok()) {
    detail::DrawTarget t2 = c.t;
    detail::FillSpanRect(t2, rectClip.boundingRect(), c.t.dc->st.bkColor, R2_COPYPEN);
  }
  const QRegion* extra = (options & ETO_CLIPPED) && r ? &rectClip : nullptr;
  std::u32string s = ToU32(PrefixBytes(text, count));
  bool bg = !(options & ETO_OPAQUE);
  if (!dx) {
    AlignedRun(c, x, y, s, extra, bg);
  } else {
    int cx = x;
    for (size_t i = 0; i < s.size(); ++i) {
      c.Run(cx, y, std::u32string_view(s).substr(i, 1), extra, bg);
      cx += dx[i];
    }
  }
  return 1;
}

static int TabStop(int pos, int origin, int nTabs, const int* tabs, int defTab) {
  // The first stop beyond `pos` (positions relative to origin).
  int rel = pos - origin;
  if (nTabs <= 0 || !tabs) return origin + (rel / defTab + 1) * defTab;
  if (nTabs == 1) {
    int step = tabs[0] > 0 ? tabs[0] : defTab;
    return origin + (rel / step + 1) * step;
  }
  int n = std::min(nTabs, 10);
  for (int i = 0; i < n; ++i)
    if (tabs[i] > rel) return origin + tabs[i];
  // Beyond the last stop: one average character on.
  return pos + 1;
}

LONG win32api::TabbedTextOut(HDC dc, int x, int y, std::string_view text, int count, int nTabs, const int* tabs,
                             int tabOrigin) {
  TextCtx c(dc);
  if (!c.ok) return 0;
  std::u32string s = ToU32(PrefixBytes(text, count));
  int defTab = 8 * std::max(1, c.m.aveCharWidth);
  int cx = x;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == U'\t') {
      std::u32string_view seg = std::u32string_view(s).substr(start, i - start);
      c.Run(cx, y, seg, nullptr, true);
      cx += c.Width(seg);
      if (i < s.size()) {
        int next = TabStop(cx, tabOrigin, nTabs, tabs, defTab);
        if (c.t.ok() && c.t.dc->st.bkMode == OPAQUE) {
          detail::DrawTarget t2 = c.t;
          detail::FillSpanRect(t2, QRect(cx + c.t.dx, y + c.t.dy, next - cx, c.Height()), c.t.dc->st.bkColor,
                               R2_COPYPEN);
        }
        cx = next;
      }
      start = i + 1;
    }
  }
  int w = cx - x;
  return LONG((uint32_t(c.Height()) << 16) | (uint32_t(w) & 0xFFFF));
}

BOOL win32api::GetTextExtentPoint32W(HDC dc, std::u32string_view text, int count, SIZE* size) {
  TextCtx c(dc);
  if (!c.ok || !size) return 0;
  std::u32string_view s = Prefix(text, count);
  size->cx = c.Width(s);
  size->cy = c.Height();
  return 1;
}

BOOL win32api::GetTextExtentPoint32(HDC dc, std::string_view text, int count, SIZE* size) {
  std::u32string s = ToU32(PrefixBytes(text, count));
  return GetTextExtentPoint32W(dc, s, -1, size);
}

BOOL win32api::GetTextMetrics(HDC dc, TEXTMETRIC* tm) {
  TextCtx c(dc);
  if (!c.ok || !tm) return 0;
  *tm = TEXTMETRIC();
  tm->tmAscent = c.m.ascent;
  tm->tmDescent = c.m.descent;
  tm->tmHeight = c.m.ascent + c.m.descent;
  tm->tmInternalLeading = c.m.internalLeading;
  tm->tmExternalLeading = c.m.externalLeading;
  tm->tmAveCharWidth = c.m.aveCharWidth;
  tm->tmMaxCharWidth = c.m.maxCharWidth;
  tm->tmWeight = c.lf.lfWeight ? c.lf.lfWeight : 400;
  tm->tmItalic = c.lf.lfItalic;
  tm->tmUnderlined = c.lf.lfUnderline;
  tm->tmStruckOut = c.lf.lfStrikeOut;
  tm->tmCharSet = c.lf.lfCharSet;
  tm->tmPitchAndFamily = c.lf.lfPitchAndFamily;
  return 1;
}

// ---- DrawText ----------------------------------------------------------------------

namespace {

// Splits into lines: LF CR, CR LF, LF and CR each count as one break.
std::vector<std::u32string> SplitLines(std::u32string_view s) {
  std::vector<std::u32string> lines(1);
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t ch = s[i];
    if (ch == U'\r' || ch == U'\n') {
      if (i + 1 < s.size() && (s[i + 1] == U'\r' || s[i + 1] == U'\n') && s[i + 1] != ch) ++i;
      lines.emplace_back();
    } else {
      lines.back().push_back(ch);
    }
  }
  return lines;
}

// Resolves "&&" and "&x"; returns the index of the underlined character.
int StripPrefix(std::u32string& s, bool hide) {
  std::u32string out;
  int underline = -1;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == U'&') {
      if (i + 1 < s.size()) {
        if (s[i + 1] != U'&' && underline < 0 && !hide) underline = int(out.size());
        out.push_back(s[i + 1]);
        ++i;
      }
      // A lone "&" at the end is dropped.
      continue;
    }
    out.push_back(s[i]);
  }
  s = std::move(out);
  return underline;
}

}  // namespace

static int DrawTextImpl(HDC dc, std::u32string_view text, RECT* r, UINT fmt) {
  TextCtx c(dc);
  if (!c.ok || !r) return 0;
  int lh = c.Height() + ((fmt & DT_EXTERNALLEADING) ? c.m.externalLeading : 0);
  int boxW = r->Right - r->Left;
  int tabW = 8 * std::max(1, c.m.aveCharWidth);
  if (fmt & DT_TABSTOP) tabW = std::max(1, int((fmt >> 8) & 0xFF)) * std::max(1, c.m.aveCharWidth);
  bool single = fmt & DT_SINGLELINE;
  bool prefix = !(fmt & DT_NOPREFIX);

  std::vector<std::u32string> raw;
  if (single) {
    std::u32string s;
    for (char32_t ch : text)
      if (ch != U'\r' && ch != U'\n') s.push_back(ch);
    raw.push_back(std::move(s));
  } else {
    raw = SplitLines(text);
  }

  // Tabs become runs of spaces up to the next stop, measured from the line start.
  auto expandTabs = [&](std::u32string& s, int& underline) {
    if (s.find(U'\t') == std::u32string::npos) return;
    std::u32string out;
    int newUnderline = -1;
    for (size_t i = 0; i < s.size(); ++i) {
      if (int(i) == underline) newUnderline = int(out.size());
      if (s[i] == U'\t' && (fmt & DT_EXPANDTABS)) {
        int pos = c.Width(out);
        int next = (pos / tabW + 1) * tabW;
        int sp = std::max(1, c.Width(U" "));
        do {
          out.push_back(U' ');
        } while (c.Width(out) < next && (c.Width(out) + sp) <= next + sp / 2);
      } else {
        out.push_back(s[i] == U'\t' ? U' ' : s[i]);
      }
    }
    s = std::move(out);
    underline = newUnderline;
  };

  std::vector<Line> lines;
  for (auto& s : raw) {
    Line ln;
    ln.text = s;
    ln.underline = prefix ? StripPrefix(ln.text, fmt & DT_HIDEPREFIX) : -1;
    expandTabs(ln.text, ln.underline);
    if ((fmt & DT_WORDBREAK) && !single && boxW > 0 && c.Width(ln.text) > boxW) {
      // Break at spaces (consumed) and between CJK characters; a word
      // longer than the line overflows it.
      const std::u32string& t = ln.text;
      const size_t n = t.size();
      const size_t npos = std::u32string::npos;
      size_t start = 0;
      while (start < n) {
        size_t fit = start;
        while (fit < n && c.Width(std::u32string_view(t).substr(start, fit + 1 - start)) <= boxW) ++fit;
        size_t end = n, next = n;
        if (fit < n) {
          size_t bestEnd = npos, bestNext = 0;
          for (size_t p = start; p <= fit && p < n; ++p) {
            if (t[p] == U' ') {
              bestEnd = p;
              bestNext = p + 1;
            } else if (p > start && (IsCjk(t[p]) || IsCjk(t[p - 1]))) {
              bestEnd = p;
              bestNext = p;
            }
          }
          if (bestEnd == start && t[start] == U' ') {
            ++start;
            continue;
          }
          if (bestEnd == npos || bestEnd == start) {
            size_t sp = t.find(U' ', fit);
            end = sp == npos ? n : sp;
            next = sp == npos ? n : sp + 1;
          } else {
            end = bestEnd;
            next = bestNext;
          }
        }
        Line part;
        part.text = t.substr(start, end - start);
        if (ln.underline >= int(start) && ln.underline < int(end)) part.underline = ln.underline - int(start);
        lines.push_back(std::move(part));
        start = next;
      }
      if (t.empty()) lines.push_back(Line());
    } else {
      lines.push_back(std::move(ln));
    }
  }
  if (lines.empty()) lines.emplace_back();

  // Ellipses (only when a line does not fit).
  for (Line& ln : lines) {
    if (boxW <= 0) continue;
    if (!(fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))) continue;
    if (c.Width(ln.text) <= boxW) continue;
    const std::u32string dots = U"...";
    if (fmt & DT_PATH_ELLIPSIS) {
      size_t sep = ln.text.find_last_of(U"/\\");
      if (sep != std::u32string::npos && sep > 0) {
        std::u32string tail = ln.text.substr(sep);
        std::u32string head = ln.text.substr(0, sep);
        while (!head.empty() && c.Width(head + dots + tail) > boxW) head.pop_back();
        if (c.Width(head + dots + tail) <= boxW) {
          ln.text = head + dots + tail;
          ln.underline = -1;
          continue;
        }
      }
    }
    std::u32string head = ln.text;
    while (!head.empty() && c.Width(head + dots) > boxW) head.pop_back();
    ln.text = head + dots;
    if (ln.underline >= int(head.size())) ln.underline = -1;
  }

  int maxW = 0;
  for (Line& ln : lines) {
    ln.width = c.Width(ln.text);
    maxW = std::max(maxW, ln.width);
  }
  int totalH = int(lines.size()) * lh;

  if (fmt & DT_CALCRECT) {
    r->Right = r->Left + maxW;
    r->Bottom = r->Top + totalH;
    return totalH;
  }

  int y = r->Top;
  int ret = totalH;
  if (single) {
    if (fmt & DT_VCENTER)
      y = r->Top + (r->Bottom - r->Top - lh) / 2;
    else if (fmt & DT_BOTTOM)
      y = r->Bottom - lh;
    if (fmt & (DT_VCENTER | DT_BOTTOM)) ret = y - r->Top + lh;
  }
  QRegion clipR;
  const QRegion* extra = nullptr;
  if (!(fmt & DT_NOCLIP)) {
    clipR = QRegion(detail::QRectLTRB(int64_t(r->Left) + c.t.dx, int64_t(r->Top) + c.t.dy, int64_t(r->Right) + c.t.dx,
                                      int64_t(r->Bottom) + c.t.dy));
    extra = &clipR;
  }
  for (const Line& ln : lines) {
    int x = r->Left;
    if (fmt & DT_CENTER)
      x = r->Left + (boxW - ln.width) / 2;
    else if (fmt & DT_RIGHT)
      x = r->Right - ln.width;
    c.Run(x, y, ln.text, extra, true);
    if (ln.underline >= 0 && ln.underline < int(ln.text.size())) {
      std::u32string_view v(ln.text);
      int ux = x + c.Width(v.substr(0, size_t(ln.underline)));
      c.Underline(ux, y, c.Width(v.substr(size_t(ln.underline), 1)), extra);
    }
    y += lh;
  }
  return ret;
}

int win32api::DrawTextW(HDC dc, std::u32string_view text, int count, RECT* r, UINT format) {
  return DrawTextImpl(dc, Prefix(text, count), r, format);
}

int win32api::DrawText(HDC dc, std::string_view text, int count, RECT* r, UINT format) {
  std::u32string s = ToU32(PrefixBytes(text, count));
  return DrawTextImpl(dc, s, r, format);
}

int win32api::DrawTextEx(HDC dc, std::string_view text, int count, RECT* r, UINT format, const void*) {
  return DrawText(dc, text, count, r, format);
}

}  // namespace gfx
