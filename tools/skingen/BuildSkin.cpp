#include "tools/skingen/BuildSkin.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <functional>

#include "skin/draw/bsGeometry.h"
#include "skin/data/bsSkinData.h"
#include "tools/skingen/BuiltinPictures.h"
#include "tools/skingen/Paint.h"

using namespace skin;

namespace skingen {

namespace {

// Rows of the accent stripe along the top of light, flat skins' forms.
constexpr int kAccentStripe = 2;
constexpr int kSheen = 40;  // opacity of the caption's sheen at its top

// The font of every skinned text: a face that has the Chinese characters, so
// that captions are drawn from one font and not mixed with a fallback.
const char* const kFont = "WenQuanYi Micro Hei";
constexpr int kFontHeight = 13;
constexpr int kFormW = 240, kFormH = 160;
constexpr int kScroll = 17;      // scroll bar thickness
const QColor kKey(255, 0, 255);  // colour key of glyph images
// The least contrast of a control's outline against the face it sits on,
// enough for the edge of a box or thumb to read.
constexpr double kOutlineContrast = 1.5;
// The least contrast of a picture button's glyph against the button's face,
// the limit the accessibility guidelines set for graphics that carry meaning.
constexpr double kGlyphContrast = 3.0;
// A combo's drop-down arrow: 7 x 4 pixels, readable at a glance.
constexpr int kComboArrow = 9;

enum St { Normal, Hot, Down, Disabled, Focused };

// Shelf packing of the looks into one picture.
class Atlas {
 public:
  explicit Atlas(const QColor& fill) : img_(kWidth, 4000, QImage::Format_ARGB32) { img_.fill(fill); }
  QRect Alloc(int w, int h) {
    if (x_ + w > kWidth) {
      x_ = 0;
      y_ += row_;
      row_ = 0;
    }
    QRect r(x_, y_, w, h);
    x_ += w;
    row_ = std::max(row_, h);
    return r;
  }
  // Starts a new row (keeps related looks together).
  void NewRow() {
    if (x_ > kWidth / 2) Alloc(kWidth + 1, 0);
  }
  QImage& Image() { return img_; }
  QImage Final() const { return img_.copy(0, 0, kWidth, y_ + row_); }

 private:
  static constexpr int kWidth = 512;
  QImage img_;
  int x_ = 0, y_ = 0, row_ = 0;
};

class Builder {
 public:
  Builder(const Style& s, TbsSkinData& store, std::vector<ContrastResult>& contrast)
      : s_(Normalised(s)), store_(store), contrast_(contrast), atlas_(s.bg), p_(&atlas_.Image()) {
    p_.setRenderHint(QPainter::TextAntialiasing, true);
  }

  // Backgrounds behind white text are darkened until the text stands out
  // even where a sheen or a light gradient end lies behind it.
  static QColor DarkenFor(QColor bg, const QColor& fg, double lighten) {
    for (int i = 0; i < 60 && Contrast(fg, Lighter(bg, lighten)) < 4.8; ++i) bg = Darker(bg, 0.03);
    return bg;
  }
  static Style Normalised(Style s) {
    if (s.colouredCaption) {
      s.captionTop = DarkenFor(s.captionTop, s.captionText, kSheen / 255.0);
      s.captionBottom = DarkenFor(s.captionBottom, s.captionText, 0);
    }
    s.selection = DarkenFor(s.selection, s.selectionText, s.glossy ? 0.15 : 0);
    return s;
  }

  void Build();

 private:
  // --- colours and faces ---------------------------------------------------------
  // A state's face colour, moved away from the text colour where needed so
  // that the text keeps its contrast over the whole face.
  QColor StateBase(St st) const {
    QColor base = RawBase(st);
    if (st == Disabled) return base;
    auto worst = [&](const QColor& b) { return s_.dark ? Lighter(b, 0.10) : Darker(b, 0.08); };
    for (int i = 0; i < 40 && Contrast(s_.text, worst(base)) < 4.8; ++i)
      base = s_.dark ? Darker(base, 0.04) : Lighter(base, 0.04);
    return base;
  }
  QColor RawBase(St st) const {
    switch (st) {
      case Hot:
        return Mix(s_.face, s_.accent, s_.dark ? 0.22 : 0.12);
      case Down:
        return Mix(s_.face, s_.accent, s_.dark ? 0.36 : 0.24);
      case Disabled:
        return Mix(s_.face, s_.bg, 0.6);
      default:
        return s_.face;
    }
  }
  Face ButtonFace(St st) const {
    Face f;
    QColor base = StateBase(st);
    f.border = st == Normal     ? s_.frame
               : st == Disabled ? Mix(s_.frame, s_.bg, 0.55)
               : st == Down     ? Darker(s_.accent, 0.15)
                                : s_.accent;
    if (st == Focused) f.ring = QColor(s_.accent.red(), s_.accent.green(), s_.accent.blue(), 110);
    if (s_.glossy && st != Disabled && st != Down) {
      f.top = Lighter(base, s_.dark ? 0.10 : 0.55);
      f.bottom = Darker(base, s_.dark ? 0.20 : 0.08);
      f.gloss = !s_.dark;
    } else if (s_.glossy && st == Down) {
      f.top = Darker(base, 0.10);
      f.bottom = Lighter(base, s_.dark ? 0.05 : 0.25);
      f.sunken = true;
    } else {
      f.top = f.bottom = base;
      f.sunken = st == Down;
    }
    return f;
  }
  QColor TextOf(St st) const { return st == Disabled ? Mix(s_.text, StateBase(Disabled), 0.55) : s_.text; }
  QColor WindowTextDisabled() const { return Mix(s_.windowText, s_.window, 0.55); }
  QColor ToolbarBg() const { return s_.bg; }
  // The tool and status bars' gradient.
  QColor BarTop() const { return s_.glossy ? Lighter(s_.bg, s_.dark ? 0.05 : 0.45) : ToolbarBg(); }
  QColor BarBottom() const { return s_.glossy ? Darker(s_.bg, s_.dark ? 0.1 : 0.03) : ToolbarBg(); }
  QColor MenuBg() const { return s_.dark ? Lighter(s_.window, 0.06) : QColor(s_.window); }

  // --- contrast ------------------------------------------------------------------------
  void Check(const std::string& what, const QImage& img, const QRect& area, const QColor& fg, double need = 4.5) {
    contrast_.push_back({s_.title + ": " + what, MinContrast(img, area, fg), need});
  }
  void CheckAtlas(const std::string& what, const QRect& area, const QColor& fg, double need = 4.5) {
    Check(what, atlas_.Image(), area, fg, need);
  }
  void CheckColours(const std::string& what, const QColor& fg, const QColor& bg, double need = 4.5) {
    contrast_.push_back({s_.title + ": " + what, Contrast(fg, bg), need});
  }
  // A small picture the control draws with its bottom-left pixel's colour
  // transparent: its outline is measured as it shows on the face it sits
  // on, at the middle of each edge, so an outline that the key wipes out
  // (or one too faint to see) fails the build like a faint text.
  void CheckOutline(const std::string& what, const QRect& pic, const QColor& face) {
    const QImage& img = atlas_.Image();
    const QRgb key = img.pixel(pic.left(), pic.bottom());
    auto shown = [&](int x, int y) { return img.pixel(x, y) == key ? face : QColor(img.pixel(x, y)); };
    const int mx = pic.left() + pic.width() / 2, my = pic.top() + pic.height() / 2;
    double worst = 21;
    for (QPoint q : {QPoint(mx, pic.top()), QPoint(mx, pic.bottom()), QPoint(pic.left(), my), QPoint(pic.right(), my)})
      worst = std::min(worst, Contrast(shown(q.x(), q.y()), face));
    contrast_.push_back({s_.title + ": " + what + " outline", worst, kOutlineContrast});
  }
  // The preview pane's glyphs sit in the middle of "button" faces: each is
  // measured against every colour the stretched middle of each state's face
  // can put behind it.
  void CheckPreviewGlyphs(const TbsDataSkinButtonControl& r) {
    const QImage& img = atlas_.Image();
    const char* names[] = {"normal", "hot", "down", "disabled", "focused"};
    const TRect cells[] = {r.SkinRect, r.ActiveSkinRect, r.DownSkinRect, r.DisabledSkinRect, r.FocusedSkinRect};
    for (int st : {Normal, Hot, Down, Focused}) {
      const TRect& c = cells[st];
      std::vector<QRgb> faces;
      for (int y = c.Top + r.LTPoint.Y; y < c.Top + r.LBPoint.Y; ++y)
        for (int x = c.Left + r.LTPoint.X; x < c.Left + r.RTPoint.X; ++x) faces.push_back(img.pixel(x, y));
      std::sort(faces.begin(), faces.end());
      faces.erase(std::unique(faces.begin(), faces.end()), faces.end());
      for (const std::string& g : PreviewGlyphNames()) {
        const QImage glyph = PreviewGlyph(g);
        double worst = 21;
        for (QRgb f : faces) worst = std::min(worst, GlyphContrast(glyph, QColor(f)));
        contrast_.push_back({s_.title + ": PV_" + g + " glyph on " + names[st] + " button", worst, kGlyphContrast});
      }
    }
  }
  // The corner pixels of a square picture in the face colour: the control
  // keys out the bottom-left pixel's colour, which must not be the outline's.
  void KeyCorners(const QRect& r) {
    for (QPoint q : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
      atlas_.Image().setPixel(q, s_.bg.rgb());
  }

  // --- helpers --------------------------------------------------------------------------
  static void NinePart(TbsDataSkinCustomControl& r, int w, int h, int c) {
    r.LTPoint = {c, c};
    r.RTPoint = {w - c, c};
    r.LBPoint = {c, h - c};
    r.RBPoint = {w - c, h - c};
    r.ClRect = Rel(c, c, w - c, h - c);
    r.LeftStretch = r.TopStretch = r.RightStretch = r.BottomStretch = true;
    r.StretchEffect = true;
    r.StretchType = bsstFull;
  }
  int Corner() const { return std::max(3, s_.radius + 2); }
  template <class T>
  T& AddCtrl(const std::string& name) {
    auto rec = std::make_unique<T>(name);
    T& ref = *rec;
    rec->PictureIndex = 0;
    store_.CtrlList.push_back(std::move(rec));
    return ref;
  }
  template <class T>
  T& AddObj(const std::string& name) {
    auto rec = std::make_unique<T>(name);
    T& ref = *rec;
    rec->ActivePictureIndex = 0;
    store_.ObjectList.push_back(std::move(rec));
    return ref;
  }
  template <class R>
  void Font(R& r, const QColor& c) {
    r.FontName = kFont;
    r.FontHeight = kFontHeight;
    r.FontColor = ToTColor(c);
  }
  QRect Inner(const QRect& cell, const TRect& cl) const {
    return QRect(cell.x() + cl.Left, cell.y() + cl.Top, cl.Right - cl.Left, cl.Bottom - cl.Top);
  }
  // The glyph images of a part that is drawn with a colour key.
  QRect KeyedGlyph(int w, int h, Glyph g, const QColor& c, int size) {
    QRect r = atlas_.Alloc(w, h);
    p_.fillRect(r, kKey);
    DrawGlyph(p_, r, g, c, size);
    return r;
  }

  // --- the families ---------------------------------------------------------------------
  enum class Kind { Push, Tool, Header, Small };
  void PaintButton(const QRect& r, St st, Kind kind);
  TbsDataSkinButtonControl& ButtonRecord(const std::string& name, int w, int h, Kind kind, bool menu = false,
                                         bool track = false);
  void CheckRadio(const std::string& name, bool radio);
  void Panels();
  void Labels();
  void ScrollBars();
  void Slider();
  void Gauges();
  void TrackBars();
  void Tabs();
  void Edits();
  void SpinEdits();
  void UpDowns();
  void Lists();
  void Combos();
  void Views();
  void Splitters();
  void Misc();
  void MenuBar();
  void FormAndCaption();
  void PopupAndHint();
  void Colours();

  void PaintCaptionBand(QPainter& p, const QRect& cell, int yInCaption);

  const Style s_;
  TbsSkinData& store_;
  std::vector<ContrastResult>& contrast_;
  Atlas atlas_;
  QPainter p_;
  std::vector<QImage> extra_;  // the popup and hint pictures (active pictures 1 and 2)
  QImage form_, mask_;
};

// --- buttons --------------------------------------------------------------------------

void Builder::PaintButton(const QRect& r, St st, Kind kind) {
  switch (kind) {
    case Kind::Tool: {
      // Idle, the button is the part of the tool bar it covers: the main
      // window's buttons stand 3 pixels inside a 50-pixel bar, and both
      // pictures are stretched evenly, so the gradients meet.
      QLinearGradient g(r.topLeft(), r.bottomLeft() + QPoint(0, 1));
      g.setColorAt(0, Mix(BarTop(), BarBottom(), 3.0 / 50));
      g.setColorAt(1, Mix(BarTop(), BarBottom(), 47.0 / 50));
      p_.fillRect(r, g);
      if (st == Normal || st == Disabled) return;
      DrawFace(p_, r, ButtonFace(st), s_.radius);
      return;
    }
    case Kind::Header: {
      Face f = ButtonFace(st == Focused ? Normal : st);
      if (st == Normal) {
        f.top = s_.glossy ? Lighter(s_.face, s_.dark ? 0.08 : 0.6) : s_.face;
        f.bottom = s_.glossy ? Darker(s_.face, s_.dark ? 0.15 : 0.06) : s_.face;
      }
      DrawFace(p_, r, f, 0);
      // Sections meet at a one-pixel line; the outer border is the list's.
      p_.fillRect(QRect(r.left(), r.top(), r.width(), 1), f.top);
      p_.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), f.top);
      p_.fillRect(QRect(r.right(), r.top() + 3, 1, r.height() - 6), s_.frame);
      p_.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), st == Normal ? s_.frame : f.border);
      return;
    }
    default:
      p_.fillRect(r, s_.bg);
      DrawFace(p_, r, ButtonFace(st), kind == Kind::Small ? std::min(s_.radius, 2) : s_.radius);
      return;
  }
}

TbsDataSkinButtonControl& Builder::ButtonRecord(const std::string& name, int w, int h, Kind kind, bool menu,
                                                bool track) {
  atlas_.NewRow();
  QRect cell[5];
  for (int i = 0; i < 5; ++i) {
    cell[i] = atlas_.Alloc(w, h);
    PaintButton(cell[i], St(i), kind);
    if (track) {
      // The drop-down part of a split button, set off by a line.
      int x = cell[i].right() - 13;
      p_.fillRect(QRect(x, cell[i].top() + 4, 1, h - 8), i == Normal ? Mix(s_.frame, ToolbarBg(), 0.4) : s_.frame);
    }
  }
  TbsDataSkinButtonControl* rec;
  if (menu) {
    auto& m = AddCtrl<TbsDataSkinMenuButtonControl>(name);
    if (track) m.TrackButtonRect = Rel(w - 13, 0, w, h);
    rec = &m;
  } else {
    rec = &AddCtrl<TbsDataSkinButtonControl>(name);
  }
  TbsDataSkinButtonControl& r = *rec;
  r.SkinRect = R(cell[Normal]);
  r.ActiveSkinRect = R(cell[Hot]);
  r.DownSkinRect = R(cell[Down]);
  r.DisabledSkinRect = R(cell[Disabled]);
  r.FocusedSkinRect = R(cell[Focused]);
  NinePart(r, w, h, kind == Kind::Header ? 2 : Corner());
  if (kind == Kind::Push) {
    // The text may run closer to the sides than the rounded corners reach:
    // the sides are straight between them, and a narrow button (the
    // preview pane's, 30 px) must still hold two characters on one line.
    const int side = std::min(Corner(), 4);
    r.ClRect = Rel(side, Corner(), w - side, h - Corner());
  }
  Font(r, TextOf(Normal));
  r.ActiveFontColor = ToTColor(TextOf(Hot));
  r.DownFontColor = ToTColor(TextOf(Down));
  r.DisabledFontColor = ToTColor(TextOf(Disabled));
  r.Morphing = kind == Kind::Push;
  r.MorphKind = mkGradient;
  r.AnimateInterval = 25;
  if (menu) {
    QColor glyph = TextOf(Normal);
    r.MenuMarkerRect = R(KeyedGlyph(9, 9, Glyph::ArrowDown, glyph, 7));
    r.MenuMarkerFlatRect = r.MenuMarkerRect;
    r.MenuMarkerActiveRect = R(KeyedGlyph(9, 9, Glyph::ArrowDown, TextOf(Hot), 7));
    r.MenuMarkerDownRect = R(KeyedGlyph(9, 9, Glyph::ArrowDown, TextOf(Down), 7));
    r.MenuMarkerTransparentColor = ToTColor(kKey);
  }
  const char* names[] = {"normal", "hot", "down", "disabled", "focused"};
  for (int i = 0; i < 5; ++i) {
    if (i == Disabled) continue;
    CheckAtlas(name + " " + names[i] + " text", Inner(cell[i], r.ClRect), TextOf(St(i)));
  }
  return r;
}

// --- check and radio boxes -------------------------------------------------------------

void Builder::CheckRadio(const std::string& name, bool radio) {
  atlas_.NewRow();
  const int w = 96, h = 20, box = 14;
  QRect normal = atlas_.Alloc(w, h), active = atlas_.Alloc(w, h);
  p_.fillRect(normal, s_.bg);
  p_.fillRect(active, s_.bg);
  auto mark = [&](St st, int state /*0 off, 1 on, 2 grayed*/) {
    QRect r = atlas_.Alloc(box, box);
    p_.fillRect(r, s_.bg);
    Face f;
    f.border = st == Disabled ? Mix(s_.frame, s_.bg, 0.5) : st == Hot ? s_.accent : s_.frame;
    QColor fill = st == Disabled ? Mix(s_.window, s_.bg, 0.6) : st == Hot ? Mix(s_.window, s_.accent, 0.08) : s_.window;
    bool filled = state != 0 && st != Disabled && !radio;
    if (filled) {
      fill = st == Hot ? Lighter(s_.accent, 0.12) : s_.accent;
      f.border = Darker(s_.accent, 0.1);
    }
    f.top = s_.glossy ? Mix(fill, s_.dark ? Qt::black : Qt::white, filled ? 0.15 : 0.0) : fill;
    f.bottom = s_.glossy ? Darker(fill, 0.06) : fill;
    f.sunken = !filled;
    if (radio) {
      p_.save();
      p_.setRenderHint(QPainter::Antialiasing, true);
      QLinearGradient g(r.topLeft(), r.bottomLeft());
      g.setColorAt(0, f.top);
      g.setColorAt(1, f.bottom);
      p_.setBrush(g);
      p_.setPen(QPen(f.border, 1));
      p_.drawEllipse(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
      p_.restore();
      if (state == 1) DrawGlyph(p_, r, Glyph::Radio, st == Disabled ? Mix(s_.accent, s_.bg, 0.6) : s_.accent, 12);
      if (state == 2) DrawGlyph(p_, r, Glyph::Radio, Mix(s_.frame, s_.window, 0.3), 12);
    } else {
      DrawFace(p_, r, f, std::min(s_.radius, 3));
      QColor tick = st == Disabled ? Mix(s_.text, s_.bg, 0.55) : filled ? QColor(Qt::white) : s_.accent;
      if (state == 1) DrawGlyph(p_, r, Glyph::Check, tick, 9);
      if (state == 2) p_.fillRect(QRect(r.left() + 3, r.top() + 6, box - 6, 2), filled ? QColor(Qt::white) : tick);
    }
    // The painter's strokes must land before the corners are set by pixel.
    p_.end();
    KeyCorners(r);
    p_.begin(&atlas_.Image());
    p_.setRenderHint(QPainter::TextAntialiasing, true);
    if (st != Disabled) CheckOutline(name + (st == Hot ? " hot" : "") + " box " + std::to_string(state), r, s_.bg);
    return r;
  };
  auto& r = AddCtrl<TbsDataSkinCheckRadioControl>(name);
  r.SkinRect = R(normal);
  r.ActiveSkinRect = R(active);
  NinePart(r, w, h, 2);
  r.CheckImageArea = Rel(2, (h - box) / 2, 2 + box, (h - box) / 2 + box);
  r.TextArea = Rel(2 + box + 4, 0, w, h);
  r.CheckImageRect = R(mark(Normal, 1));
  r.UnCheckImageRect = R(mark(Normal, 0));
  r.ActiveCheckImageRect = R(mark(Hot, 1));
  r.ActiveUnCheckImageRect = R(mark(Hot, 0));
  r.UnEnabledCheckImageRect = R(mark(Disabled, 1));
  r.UnEnabledUnCheckImageRect = R(mark(Disabled, 0));
  r.GrayedCheckImageRect = R(mark(Normal, 2));
  r.ActiveGrayedCheckImageRect = R(mark(Hot, 2));
  Font(r, s_.text);
  r.ActiveFontColor = ToTColor(s_.text);
  r.FrameFontColor = ToTColor(s_.text);
  r.UnEnabledFontColor = ToTColor(Mix(s_.text, s_.bg, 0.55));
  CheckAtlas(name + " text", Inner(normal, r.TextArea), s_.text);
  CheckAtlas(name + " active text", Inner(active, r.TextArea), s_.text);
}

// --- panels ------------------------------------------------------------------------------

void Builder::Panels() {
  auto panel = [&](const std::string& name, int w, int h, const std::function<void(const QRect&)>& paint, int c,
                   const TRect& caption, bool bold) -> TbsDataSkinPanelControl& {
    atlas_.NewRow();
    QRect cell = atlas_.Alloc(w, h);
    paint(cell);
    auto& r = AddCtrl<TbsDataSkinPanelControl>(name);
    r.SkinRect = R(cell);
    NinePart(r, w, h, c);
    r.CaptionRect = caption;
    r.Alignment = taLeftJustify;
    Font(r, s_.text);
    if (bold) r.FontStyle = TFontStyles{gfx::fsBold};
    if (caption.Right > caption.Left) CheckAtlas(name + " caption", Inner(cell, caption), s_.text);
    return r;
  };
  auto framed = [&](const QColor& fill, const QColor& border) {
    return [=, this](const QRect& r) {
      p_.fillRect(r, fill);
      p_.setPen(QPen(border, 1));
      p_.setBrush(Qt::NoBrush);
      p_.setRenderHint(QPainter::Antialiasing, false);
      p_.drawRect(r.adjusted(0, 0, -1, -1));
    };
  };
  panel("panel", 48, 48, framed(s_.bg, Mix(s_.frame, s_.bg, 0.35)), 3, Rel(6, 2, 42, 20), false);
  panel("resizetoolpanel", 48, 48, framed(s_.window, s_.frame), 3, Rel(0, 0, 0, 0), false);
  // Group box: a titled frame; the title sits on a band of its own so that
  // no line runs through the text.
  {
    int w = 64, h = 64, band = 22;
    auto& gb = panel(
        "groupbox", w, h,
        [&](const QRect& r) {
          p_.fillRect(r, s_.bg);
          Face f;
          f.top = s_.glossy ? Lighter(s_.bg, s_.dark ? 0.06 : 0.5) : Mix(s_.bg, s_.face, 0.6);
          f.bottom = s_.glossy ? Mix(s_.bg, s_.face, 0.3) : f.top;
          f.border = Mix(s_.frame, s_.bg, 0.3);
          QRect head(r.left(), r.top(), r.width(), band + std::max(1, s_.radius));
          DrawFace(p_, r, Face{s_.bg, s_.bg, f.border}, s_.radius);
          p_.save();
          p_.setClipRect(QRect(r.left(), r.top(), r.width(), band));
          DrawFace(p_, head, f, s_.radius);
          p_.restore();
          p_.fillRect(QRect(r.left() + 1, r.top() + band - 1, r.width() - 2, 1), f.border);
        },
        std::max(4, s_.radius + 2), Rel(8, 2, w - 8, band - 1), true);
    gb.ClRect = Rel(4, band + 2, w - 4, h - 4);
    // The top corners hold the whole title band and its line: stretched
    // down the sides, they would leave the band's fill and a piece of the
    // line on each side of the box.
    gb.LTPoint.Y = gb.RTPoint.Y = band + 1;
  }
  auto bar = [&](bool bottomLine) {
    return [=, this](const QRect& r) {
      QLinearGradient g(r.topLeft(), r.bottomLeft());
      g.setColorAt(0, BarTop());
      g.setColorAt(1, BarBottom());
      p_.fillRect(r, g);
      QColor line = Mix(s_.frame, s_.bg, 0.35);
      if (bottomLine)
        p_.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), line);
      else
        p_.fillRect(QRect(r.left(), r.top(), r.width(), 1), line);
    };
  };
  // Tool bars keep their own background under the flat tool buttons.
  auto& tool = panel("toolpanel", 48, 34, bar(true), 2, Rel(0, 0, 0, 0), false);
  tool.LTPoint = {2, 2};
  panel("bigtoolpanel", 48, 60, bar(true), 2, Rel(0, 0, 0, 0), false);
  auto& status = panel("statusbar", 48, 24, bar(false), 2, Rel(4, 2, 44, 22), false);
  QRect grip = atlas_.Alloc(12, 12);
  p_.fillRect(grip, kKey);
  DrawGlyph(p_, grip, Glyph::Grip, Mix(s_.frame, s_.text, 0.3), 10);
  status.GripperRect = R(grip);
  status.GripperTransparent = true;
  status.GripperTransparentColor = ToTColor(kKey);
}

void Builder::Labels() {
  auto label = [&](const std::string& name, int w, int h, const QColor& fill, const QColor& fg, bool header) {
    atlas_.NewRow();
    QRect cell = atlas_.Alloc(w, h);
    p_.fillRect(cell, fill);
    if (header) {
      p_.fillRect(QRect(cell.left(), cell.bottom(), w, 1), Mix(s_.accent, fill, 0.5));
    } else {
      p_.setRenderHint(QPainter::Antialiasing, false);
      p_.setPen(QPen(Mix(s_.frame, s_.bg, 0.3), 1));
      p_.setBrush(Qt::NoBrush);
      p_.drawRect(cell.adjusted(0, 0, -1, -1));
    }
    auto& r = AddCtrl<TbsDataSkinLabelControl>(name);
    r.SkinRect = R(cell);
    NinePart(r, w, h, 2);
    Font(r, fg);
    if (header) r.FontStyle = TFontStyles{gfx::fsBold};
    CheckAtlas(name + " text", Inner(cell, r.ClRect), fg);
  };
  label("label", 48, 22, s_.bg, s_.text, false);
  label("statuspanel", 48, 22, s_.bg, s_.text, false);
  label("menuheader", 48, 22, Mix(MenuBg(), s_.accent, s_.dark ? 0.18 : 0.08), s_.text, true);

  auto& std = AddCtrl<TbsDataSkinStdLabelControl>("stdlabel");
  std.PictureIndex = -1;
  Font(std, s_.text);
  std.ActiveFontColor = ToTColor(s_.dark ? Lighter(s_.accent, 0.25) : Darker(s_.accent, 0.1));
  CheckColours("stdlabel text on the background", s_.text, s_.bg);
  CheckColours("stdlabel link text on the background", FromTColor(std.ActiveFontColor), s_.bg);

  auto& bevel = AddCtrl<TbsDataSkinBevel>("bevel");
  bevel.PictureIndex = -1;
  bevel.LightColor = ToTColor(s_.dark ? Lighter(s_.bg, 0.12) : QColor(Qt::white));
  bevel.DarkColor = ToTColor(Mix(s_.frame, s_.bg, 0.2));
}

// --- scroll bars ---------------------------------------------------------------------------

void Builder::ScrollBars() {
  const int t = kScroll, len = 40;
  QColor track = s_.dark ? Lighter(s_.window, 0.04) : Mix(s_.bg, s_.frame, 0.12);
  auto arrowButton = [&](const QRect& r, St st, Glyph g) {
    p_.fillRect(r, track);
    if (st != Normal) {
      Face f = ButtonFace(st == Hot ? Hot : Down);
      DrawFace(p_, r.adjusted(1, 1, -1, -1), f, std::min(s_.radius, 2));
    }
    DrawGlyph(p_, r, g, st == Disabled ? Mix(s_.text, track, 0.6) : Mix(s_.text, track, st == Normal ? 0.2 : 0.0), 9);
  };
  auto thumb = [&](const QRect& r, St st, bool vertical) {
    p_.fillRect(r, track);
    QColor base = st == Normal ? Mix(s_.frame, track, s_.dark ? 0.1 : 0.35)
                  : st == Hot  ? Mix(s_.frame, s_.accent, 0.45)
                               : s_.accent;
    QRect in = vertical ? r.adjusted(3, 1, -3, -1) : r.adjusted(1, 3, -1, -3);
    Face f{base, base, Darker(base, 0.12)};
    if (s_.glossy) {
      // The thumb's light falls across its width, so its middle can be tiled.
      f.top = f.bottom = base;
    }
    DrawFace(p_, in, f, std::min(s_.radius, 3));
  };
  auto bar = [&](const std::string& name, bool vertical, bool corner) {
    atlas_.NewRow();
    int W = vertical ? t : t + len + t + (corner ? t : 0), H = vertical ? t + len + t : t;
    QRect cell = atlas_.Alloc(W, H);
    p_.fillRect(cell, track);
    QRect first = vertical ? QRect(cell.left(), cell.top(), t, t) : QRect(cell.left(), cell.top(), t, t);
    QRect last =
        vertical ? QRect(cell.left(), cell.bottom() - t + 1, t, t) : QRect(cell.left() + t + len, cell.top(), t, t);
    arrowButton(first, Normal, vertical ? Glyph::ArrowUp : Glyph::ArrowLeft);
    arrowButton(last, Normal, vertical ? Glyph::ArrowDown : Glyph::ArrowRight);
    if (corner) p_.fillRect(QRect(cell.right() - t + 1, cell.top(), t, t), s_.bg);
    auto& r = AddCtrl<TbsDataSkinScrollBarControl>(name);
    r.SkinRect = R(cell);
    if (vertical) {
      r.LTPoint = {0, t};
      r.LBPoint = {0, H - t};
      r.ClRect = Rel(0, t, t, H - t);
      r.TrackArea = Rel(0, t, t, H - t);
      r.DownButtonRect = Rel(0, 0, t, t);
      r.UpButtonRect = Rel(0, H - t, t, H);
    } else {
      int right = W - t - (corner ? t : 0);
      r.LTPoint = {t, 0};
      r.RTPoint = {right, 0};
      r.ClRect = Rel(t, 0, right, t);
      r.TrackArea = Rel(t, 0, right, t);
      r.DownButtonRect = Rel(0, 0, t, t);
      r.UpButtonRect = Rel(right, 0, right + t, t);
    }
    Glyph lo = vertical ? Glyph::ArrowUp : Glyph::ArrowLeft, hi = vertical ? Glyph::ArrowDown : Glyph::ArrowRight;
    QRect c;
    c = atlas_.Alloc(t, t), arrowButton(c, Hot, lo), r.ActiveDownButtonRect = R(c);
    c = atlas_.Alloc(t, t), arrowButton(c, Down, lo), r.DownDownButtonRect = R(c);
    c = atlas_.Alloc(t, t), arrowButton(c, Hot, hi), r.ActiveUpButtonRect = R(c);
    c = atlas_.Alloc(t, t), arrowButton(c, Down, hi), r.DownUpButtonRect = R(c);
    int tl = 24;
    QRect th[3];
    for (int i = 0; i < 3; ++i) {
      th[i] = vertical ? atlas_.Alloc(t, tl) : atlas_.Alloc(tl, t);
      thumb(th[i], St(i), vertical);
    }
    r.ThumbRect = R(th[0]);
    r.ActiveThumbRect = R(th[1]);
    r.DownThumbRect = R(th[2]);
    r.ThumbOffset1 = r.ThumbOffset2 = 5;
    r.ThumbMinSize = 16;
    r.ThumbTransparentColor = ToTColor(kKey);
    r.GlyphTransparentColor = ToTColor(kKey);
  };
  bar("vscrollbar", true, false);
  bar("hscrollbar", false, false);
  bar("bothhscrollbar", false, true);
}

void Builder::Slider() {
  atlas_.NewRow();
  auto groove = [&](const QRect& r) {
    p_.fillRect(r, s_.bg);
    Face f{Mix(s_.frame, s_.bg, 0.5), Mix(s_.frame, s_.bg, 0.3), Mix(s_.frame, s_.text, 0.1)};
    f.sunken = true;
    DrawFace(p_, r, f, std::min(2, r.height() / 2));
  };
  auto knob = [&](const QRect& r, bool down) {
    p_.fillRect(r, s_.bg);
    Face f = ButtonFace(down ? Down : Normal);
    f.border = down ? Darker(s_.accent, 0.1) : s_.accent;
    DrawFace(p_, r.adjusted(0, 0, 0, 0), f, std::min(s_.radius, 3));
    p_.fillRect(QRect(r.left() + r.width() / 2, r.top() + 4, 1, r.height() - 8), s_.accent);
    p_.end();
    KeyCorners(r);
    p_.begin(&atlas_.Image());
    p_.setRenderHint(QPainter::TextAntialiasing, true);
    CheckOutline(std::string("slider thumb") + (down ? " down" : ""), r, s_.bg);
  };
  QRect hr = atlas_.Alloc(60, 6), vr = atlas_.Alloc(6, 60);
  groove(hr);
  groove(vr);
  QRect ht = atlas_.Alloc(22, 18), vt = atlas_.Alloc(36, 11);
  knob(QRect(ht.left(), ht.top(), 11, 18), false);
  knob(QRect(ht.left() + 11, ht.top(), 11, 18), true);
  knob(QRect(vt.left(), vt.top(), 18, 11), false);
  knob(QRect(vt.left() + 18, vt.top(), 18, 11), true);
  auto& r = AddCtrl<TbsDataSkinSlider>("slider");
  r.SkinRect = R(hr);
  r.HRulerRect = R(hr);
  r.VRulerRect = R(vr);
  r.HThumbRect = R(ht);
  r.VThumbRect = R(vt);
  r.EdgeSize = 3;
  r.BGColor = ToTColor(s_.bg);
  r.PointsColor = ToTColor(Mix(s_.text, s_.bg, 0.4));
}

void Builder::Gauges() {
  auto gauge = [&](const std::string& name, bool vertical) {
    atlas_.NewRow();
    int w = vertical ? 20 : 64, h = vertical ? 64 : 18;
    QRect cell = atlas_.Alloc(w, h);
    p_.fillRect(cell, s_.bg);
    Face f{s_.window, s_.window, s_.frame};
    f.sunken = true;
    DrawFace(p_, cell, f, std::min(s_.radius, 3));
    QRect prog = vertical ? atlas_.Alloc(16, 24) : atlas_.Alloc(24, 14);
    QLinearGradient g(prog.topLeft(), vertical ? prog.topRight() : prog.bottomLeft());
    g.setColorAt(0, s_.glossy ? Lighter(s_.accent, 0.3) : s_.accent);
    g.setColorAt(1, s_.glossy ? Darker(s_.accent, 0.1) : s_.accent);
    p_.fillRect(prog, g);
    auto& r = AddCtrl<TbsDataSkinGaugeControl>(name);
    r.SkinRect = R(cell);
    NinePart(r, w, h, 3);
    r.ProgressArea = vertical ? Rel(2, 2, w - 2, h - 2) : Rel(2, 2, w - 2, h - 2);
    r.ProgressRect = R(prog);
    r.Vertical = vertical;
    r.BeginOffset = r.EndOffset = 1;
    r.ProgressStretch = true;
    Font(r, s_.windowText);
    r.ProgressTransparentColor = ToTColor(kKey);
  };
  gauge("gauge", false);
  gauge("vgauge", true);
  gauge("statusgauge", false);
}

void Builder::TrackBars() {
  auto track = [&](const std::string& name, bool vertical) {
    atlas_.NewRow();
    int w = vertical ? 24 : 80, h = vertical ? 80 : 24;
    QRect cell = atlas_.Alloc(w, h), active = atlas_.Alloc(w, h);
    for (QRect c : {cell, active}) {
      p_.fillRect(c, s_.bg);
      QRect groove = vertical ? QRect(c.left() + w / 2 - 2, c.top() + 4, 4, h - 8)
                              : QRect(c.left() + 4, c.top() + h / 2 - 2, w - 8, 4);
      Face f{Mix(s_.frame, s_.bg, 0.5), Mix(s_.frame, s_.bg, 0.3), s_.frame};
      DrawFace(p_, groove, f, 0);
    }
    QRect b = atlas_.Alloc(vertical ? 20 : 11, vertical ? 11 : 20), ab = atlas_.Alloc(b.width(), b.height());
    p_.fillRect(b, s_.bg);
    p_.fillRect(ab, s_.bg);
    DrawFace(p_, b, ButtonFace(Normal), std::min(s_.radius, 3));
    DrawFace(p_, ab, ButtonFace(Hot), std::min(s_.radius, 3));
    auto& r = AddCtrl<TbsDataSkinTrackBarControl>(name);
    r.SkinRect = R(cell);
    r.ActiveSkinRect = R(active);
    NinePart(r, w, h, 6);
    r.TrackArea = vertical ? Rel(2, 6, w - 2, h - 6) : Rel(6, 2, w - 6, h - 2);
    r.ButtonRect = R(b);
    r.ActiveButtonRect = R(ab);
    r.Vertical = vertical;
    r.ButtonTransparentColor = ToTColor(kKey);
  };
  track("trackbar", true);
  track("htrackbar", false);
}

// --- tabs ----------------------------------------------------------------------------------

void Builder::Tabs() {
  atlas_.NewRow();
  const int tw = 64, th = 26, pw = 64, ph = 64;
  auto tab = [&](St st, bool selected) {
    QRect r = atlas_.Alloc(tw, th);
    p_.fillRect(r, s_.bg);
    Face f = ButtonFace(st);
    if (selected) {
      f.top = f.bottom = s_.window;
      if (s_.glossy) f.top = s_.dark ? Lighter(s_.window, 0.05) : QColor(Qt::white);
      f.border = s_.frame;
      f.ring = QColor();
      f.gloss = false;
    } else {
      f.border = Mix(s_.frame, s_.bg, 0.3);
      if (st == Normal) f.top = f.bottom = Mix(s_.face, s_.bg, 0.5);
      if (st == Normal && s_.glossy) f.top = Lighter(f.bottom, s_.dark ? 0.05 : 0.4);
    }
    int rad = std::min(s_.radius, 4);
    QRect body = r.adjusted(0, selected ? 0 : 2, 0, rad + 2);
    p_.save();
    p_.setClipRect(r);
    DrawFace(p_, body, f, rad);
    p_.restore();
    if (selected) {
      // The selected tab opens into the page; an accent line marks it.
      p_.fillRect(QRect(r.left() + 1, r.bottom(), tw - 2, 1), s_.window);
      p_.fillRect(QRect(r.left() + 1 + rad / 2, r.top() + (rad ? 1 : 0), tw - 2 - rad, 2), s_.accent);
    } else {
      p_.fillRect(QRect(r.left(), r.bottom(), tw, 1), s_.frame);
    }
    return r;
  };
  QRect normal = tab(Normal, false), hot = tab(Hot, false), active = tab(Normal, true), focus = tab(Focused, true);
  QRect page = atlas_.Alloc(pw, ph);
  p_.fillRect(page, s_.window);
  p_.setRenderHint(QPainter::Antialiasing, false);
  p_.setPen(QPen(s_.frame, 1));
  p_.setBrush(Qt::NoBrush);
  p_.drawRect(page.adjusted(0, 0, -1, -1));
  QRect bg = atlas_.Alloc(8, th);
  p_.fillRect(bg, s_.bg);
  p_.fillRect(QRect(bg.left(), bg.bottom(), 8, 1), s_.frame);
  auto& r = AddCtrl<TbsDataSkinTabControl>("tab");
  r.SkinRect = R(page);
  r.TabRect = R(normal);
  r.MouseInTabRect = R(hot);
  r.ActiveTabRect = R(active);
  r.FocusTabRect = R(focus);
  r.TabsBGRect = R(bg);
  r.ClRect = Rel(1, 1, pw - 1, ph - 1);
  r.LTPoint = {3, 3};
  r.RTPoint = {pw - 3, 3};
  r.LBPoint = {3, ph - 3};
  r.RBPoint = {pw - 3, ph - 3};
  r.LeftStretch = r.TopStretch = r.RightStretch = r.BottomStretch = true;
  r.StretchEffect = true;
  r.TabLeftOffset = r.TabRightOffset = std::max(4, s_.radius + 2);
  r.TabStretchEffect = true;
  r.FontName = kFont;
  r.FontHeight = kFontHeight;
  r.FontColor = ToTColor(s_.text);
  r.ActiveFontColor = ToTColor(s_.windowText);
  r.FocusFontColor = ToTColor(s_.windowText);
  r.MouseInFontColor = ToTColor(s_.text);
  r.UpDown = "hupdown";
  r.ButtonTransparentColor = ToTColor(kKey);
  TRect text = Rel(r.TabLeftOffset, 4, tw - r.TabRightOffset, th - 2);
  CheckAtlas("tab text", Inner(normal, text), s_.text);
  CheckAtlas("hot tab text", Inner(hot, text), s_.text);
  CheckAtlas("selected tab text", Inner(active, text), s_.windowText);
  CheckAtlas("focused tab text", Inner(focus, text), s_.windowText);
}

// --- edits ----------------------------------------------------------------------------------

void Builder::Edits() {
  auto field = [&](const QRect& r, St st) {
    p_.fillRect(r, s_.bg);
    Face f;
    f.top = f.bottom = st == Disabled ? Mix(s_.window, s_.bg, 0.6) : s_.window;
    f.border = st == Hot ? s_.accent : st == Disabled ? Mix(s_.frame, s_.bg, 0.5) : s_.frame;
    if (st == Hot) f.ring = QColor(s_.accent.red(), s_.accent.green(), s_.accent.blue(), 60);
    f.sunken = true;
    DrawFace(p_, r, f, std::min(s_.radius, 3));
  };
  auto smallButton = [&](const QRect& r, St st, Glyph g, const QColor& under) {
    p_.fillRect(r, under);
    if (st != Normal && st != Disabled) DrawFace(p_, r, ButtonFace(st), std::min(s_.radius, 2));
    DrawGlyph(p_, r, g, st == Disabled ? Mix(s_.text, under, 0.6) : s_.text, 8);
  };
  auto edit = [&](const std::string& name, bool button, bool memo) {
    atlas_.NewRow();
    int w = 80, h = memo ? 48 : 22;
    QRect normal = atlas_.Alloc(w, h), active = atlas_.Alloc(w, h);
    field(normal, Normal);
    field(active, Hot);
    TbsDataSkinEditControl* rec =
        memo ? &AddCtrl<TbsDataSkinMemoControl>(name) : &AddCtrl<TbsDataSkinEditControl>(name);
    TbsDataSkinEditControl& r = *rec;
    r.SkinRect = R(normal);
    r.ActiveSkinRect = R(active);
    NinePart(r, w, h, 3);
    Font(r, s_.windowText);
    r.ActiveFontColor = ToTColor(s_.windowText);
    r.DisabledFontColor = ToTColor(WindowTextDisabled());
    if (button) {
      TRect place = Rel(w - 20, 2, w - 2, h - 2);
      r.ButtonRect = place;
      // The button lies in the right side of the frame, so that it keeps to
      // the right edge at any width and the text stops before it.
      r.RTPoint = {w - 21, 3};
      r.RBPoint = {w - 21, h - 3};
      r.ClRect = Rel(3, 3, w - 21, h - 3);
      QRect in(normal.left() + place.Left, normal.top() + place.Top, 18, h - 4);
      smallButton(in, Normal, Glyph::Dots, s_.window);
      QRect in2(active.left() + place.Left, active.top() + place.Top, 18, h - 4);
      smallButton(in2, Normal, Glyph::Dots, s_.window);
      QRect c;
      c = atlas_.Alloc(18, h - 4), smallButton(c, Hot, Glyph::Dots, s_.window), r.ActiveButtonRect = R(c);
      c = atlas_.Alloc(18, h - 4), smallButton(c, Down, Glyph::Dots, s_.window), r.DownButtonRect = R(c);
      c = atlas_.Alloc(18, h - 4), smallButton(c, Disabled, Glyph::Dots, Mix(s_.window, s_.bg, 0.6)),
      r.UnEnabledButtonRect = R(c);
    }
    if (memo) {
      auto& m = static_cast<TbsDataSkinMemoControl&>(r);
      m.BGColor = ToTColor(s_.window);
      m.ActiveBGColor = ToTColor(s_.window);
    }
    CheckAtlas(name + " text", Inner(normal, r.ClRect), s_.windowText);
    CheckAtlas(name + " active text", Inner(active, r.ClRect), s_.windowText);
  };
  edit("edit", false, false);
  edit("statusedit", false, false);
  edit("tooledit", false, false);
  edit("buttonedit", true, false);
  edit("statusbuttonedit", true, false);
  edit("toolbuttonedit", true, false);
  edit("memo", false, true);
  CheckColours("memo text on its background", s_.windowText, s_.window);
}

void Builder::SpinEdits() {
  auto spin = [&](const std::string& name) {
    atlas_.NewRow();
    int w = 64, h = 22, bw = 16;
    QRect normal = atlas_.Alloc(w, h), active = atlas_.Alloc(w, h);
    for (int i = 0; i < 2; ++i) {
      QRect c = i ? active : normal;
      p_.fillRect(c, s_.bg);
      Face f{s_.window, s_.window, i ? s_.accent : s_.frame};
      f.sunken = true;
      DrawFace(p_, c, f, std::min(s_.radius, 3));
      QRect up(c.right() - bw - 1, c.top() + 2, bw, h / 2 - 2), dn(c.right() - bw - 1, c.top() + h / 2, bw, h / 2 - 2);
      DrawGlyph(p_, up, Glyph::ArrowUp, s_.text, 6);
      DrawGlyph(p_, dn, Glyph::ArrowDown, s_.text, 6);
    }
    auto& r = AddCtrl<TbsDataSkinSpinEditControl>(name);
    r.SkinRect = R(normal);
    r.ActiveSkinRect = R(active);
    NinePart(r, w, h, 3);
    r.ClRect = Rel(3, 3, w - bw - 3, h - 3);
    r.RTPoint = {w - bw - 3, 3};
    r.RBPoint = {w - bw - 3, h - 3};
    Font(r, s_.windowText);
    r.ActiveFontColor = ToTColor(s_.windowText);
    r.DisabledFontColor = ToTColor(WindowTextDisabled());
    r.UpButtonRect = Rel(w - bw - 1, 2, w - 1, h / 2);
    r.DownButtonRect = Rel(w - bw - 1, h / 2, w - 1, h - 2);
    auto half = [&](St st, Glyph g) {
      QRect c = atlas_.Alloc(bw, h / 2 - 2);
      p_.fillRect(c, s_.window);
      DrawFace(p_, c, ButtonFace(st), std::min(s_.radius, 2));
      DrawGlyph(p_, c, g, s_.text, 6);
      return R(c);
    };
    r.ActiveUpButtonRect = half(Hot, Glyph::ArrowUp);
    r.DownUpButtonRect = half(Down, Glyph::ArrowUp);
    r.ActiveDownButtonRect = half(Hot, Glyph::ArrowDown);
    r.DownDownButtonRect = half(Down, Glyph::ArrowDown);
    CheckAtlas(name + " text", Inner(normal, r.ClRect), s_.windowText);
  };
  spin("spinedit");
  spin("statusspinedit");
  spin("toolspinedit");
}

void Builder::UpDowns() {
  auto pair = [&](const std::string& name, bool horizontal) {
    atlas_.NewRow();
    int bw = horizontal ? 16 : 17, bh = horizontal ? 17 : 11;
    int w = horizontal ? 2 * bw : bw, h = horizontal ? bh : 2 * bh;
    QRect cell = atlas_.Alloc(w, h);
    Glyph lo = horizontal ? Glyph::ArrowLeft : Glyph::ArrowDown, hi = horizontal ? Glyph::ArrowRight : Glyph::ArrowUp;
    auto button = [&](const QRect& c, St st, Glyph g) {
      p_.fillRect(c, s_.bg);
      DrawFace(p_, c, ButtonFace(st), std::min(s_.radius, 2));
      DrawGlyph(p_, c, g, s_.text, 6);
    };
    // Up is the right one of a horizontal pair and the top one of a vertical pair.
    QRect downPlace = horizontal ? QRect(0, 0, bw, bh) : QRect(0, bh, bw, bh);
    QRect upPlace = horizontal ? QRect(bw, 0, bw, bh) : QRect(0, 0, bw, bh);
    button(downPlace.translated(cell.topLeft()), Normal, lo);
    button(upPlace.translated(cell.topLeft()), Normal, hi);
    auto& r = AddCtrl<TbsDataSkinUpDownControl>(name);
    r.SkinRect = R(cell);
    r.UpButtonRect = R(upPlace);
    r.DownButtonRect = R(downPlace);
    QRect c;
    c = atlas_.Alloc(bw, bh), button(c, Hot, hi), r.ActiveUpButtonRect = R(c);
    c = atlas_.Alloc(bw, bh), button(c, Down, hi), r.DownUpButtonRect = R(c);
    c = atlas_.Alloc(bw, bh), button(c, Hot, lo), r.ActiveDownButtonRect = R(c);
    c = atlas_.Alloc(bw, bh), button(c, Down, lo), r.DownDownButtonRect = R(c);
  };
  pair("hupdown", true);
  pair("vupdown", false);
}

// --- lists and combo boxes -------------------------------------------------------------------

void Builder::Lists() {
  auto list = [&](const std::string& name, bool caption, bool checks) {
    atlas_.NewRow();
    int w = 80, h = caption ? 80 : 60, capH = caption ? 20 : 0;
    QRect cell = atlas_.Alloc(w, h);
    p_.fillRect(cell, s_.bg);
    Face f{s_.window, s_.window, s_.frame};
    f.sunken = true;
    DrawFace(p_, cell, f, std::min(s_.radius, 3));
    if (caption) {
      QRect band(cell.left() + 1, cell.top() + 1, w - 2, capH - 1);
      QColor head = Mix(s_.window, s_.accent, s_.dark ? 0.18 : 0.08);
      p_.fillRect(band, head);
      p_.fillRect(QRect(cell.left() + 1, cell.top() + capH, w - 2, 1), Mix(s_.frame, s_.window, 0.4));
    }
    const int ih = 20, iw = 40;
    QRect item = atlas_.Alloc(iw, ih), act = atlas_.Alloc(iw, ih), foc = atlas_.Alloc(iw, ih);
    p_.fillRect(item, s_.window);
    auto sel = [&](const QRect& r, bool focus) {
      p_.fillRect(r, s_.window);
      Face sf{s_.selection, s_.selection, Darker(s_.selection, 0.12)};
      sf.inner = false;
      if (s_.glossy) sf.top = Lighter(s_.selection, 0.12);
      DrawFace(p_, r, sf, std::min(s_.radius, 3));
      if (focus) {
        // The focused row: a light ring inside the selection.
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setPen(QPen(Lighter(s_.selection, 0.5), 1));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(r.adjusted(1, 1, -2, -2));
      }
    };
    sel(act, false);
    sel(foc, true);
    TbsDataSkinListBox* rec = checks ? &AddCtrl<TbsDataSkinCheckListBox>(name) : &AddCtrl<TbsDataSkinListBox>(name);
    TbsDataSkinListBox& r = *rec;
    r.SkinRect = R(cell);
    NinePart(r, w, h, 3);
    if (caption) {
      r.ClRect = Rel(2, capH + 1, w - 2, h - 2);
      r.LTPoint = {3, capH + 1};
      r.RTPoint = {w - 3, capH + 1};
      r.CaptionRect = Rel(2, 1, w - 2, capH);
      r.CaptionFontName = kFont;
      r.CaptionFontHeight = kFontHeight;
      r.CaptionFontStyle = TFontStyles{gfx::fsBold};
      r.CaptionFontColor = ToTColor(s_.windowText);
      CheckAtlas(name + " caption", Inner(cell, r.CaptionRect), s_.windowText);
    }
    r.SItemRect = R(item);
    r.ActiveItemRect = R(act);
    r.FocusItemRect = R(foc);
    r.ItemLeftOffset = r.ItemRightOffset = 4;
    r.ItemTextRect = Rel(4, 0, iw - 4, ih);
    Font(r, s_.windowText);
    r.ActiveFontColor = ToTColor(s_.selectionText);
    r.FocusFontColor = ToTColor(s_.selectionText);
    r.ShowFocus = true;
    // A new record holds no scroll bar names; a list without them would find no bars.
    r.VScrollBarName = "vscrollbar";
    r.HScrollBarName = "hscrollbar";
    r.BothScrollBarName = "bothhscrollbar";
    CheckAtlas(name + " item text", Inner(item, r.ItemTextRect), s_.windowText);
    CheckAtlas(name + " selected item text", Inner(act, r.ItemTextRect).adjusted(0, 2, 0, -2), s_.selectionText);
    if (checks) {
      auto& cl = static_cast<TbsDataSkinCheckListBox&>(r);
      auto box = [&](bool on) {
        QRect b = atlas_.Alloc(14, 14);
        p_.fillRect(b, s_.window);
        Face bf{on ? s_.accent : s_.window, on ? s_.accent : s_.window, on ? Darker(s_.accent, 0.1) : s_.frame};
        DrawFace(p_, b, bf, std::min(s_.radius, 3));
        if (on) DrawGlyph(p_, b, Glyph::Check, Qt::white, 9);
        return R(b);
      };
      cl.CheckImageRect = box(true);
      cl.UnCheckImageRect = box(false);
      cl.ItemCheckRect = Rel(3, 3, 17, 17);
      cl.ItemTextRect = Rel(20, 0, iw - 4, ih);
    }
  };
  list("listbox", false, false);
  list("captionlistbox", true, false);
  list("checklistbox", false, true);
  list("captionchecklistbox", true, true);
}

void Builder::Combos() {
  auto combo = [&](const std::string& name) {
    atlas_.NewRow();
    // As high as the program's combos, so that a combo drawn at its skin's
    // size shows its bottom edge and its whole selection bar.
    int w = 80, h = 20, bw = 18;
    QRect normal = atlas_.Alloc(w, h), active = atlas_.Alloc(w, h);
    auto frame = [&](const QRect& c, bool hot) {
      p_.fillRect(c, s_.bg);
      Face f{s_.window, s_.window, hot ? s_.accent : s_.frame};
      f.sunken = true;
      DrawFace(p_, c, f, std::min(s_.radius, 3));
      QRect b(c.right() - bw, c.top() + 2, bw - 1, h - 4);
      DrawGlyph(p_, b, Glyph::ArrowDown, s_.text, kComboArrow);
    };
    frame(normal, false);
    frame(active, true);
    auto& r = AddCtrl<TbsDataSkinComboBox>(name);
    r.SkinRect = R(normal);
    r.ActiveSkinRect = R(active);
    NinePart(r, w, h, 3);
    r.RTPoint = {w - bw - 2, 3};
    r.RBPoint = {w - bw - 2, h - 3};
    r.ClRect = Rel(3, 3, w - bw - 2, h - 3);
    r.ButtonRect = Rel(w - bw - 1, 2, w - 2, h - 2);
    auto button = [&](St st) {
      QRect c = atlas_.Alloc(bw - 1, h - 4);
      QColor under = st == Disabled ? Mix(s_.window, s_.bg, 0.6) : s_.window;
      p_.fillRect(c, under);
      if (st != Disabled) DrawFace(p_, c, ButtonFace(st), std::min(s_.radius, 2));
      DrawGlyph(p_, c, Glyph::ArrowDown, st == Disabled ? Mix(s_.text, under, 0.6) : s_.text, kComboArrow);
      return R(c);
    };
    r.ActiveButtonRect = button(Hot);
    r.DownButtonRect = button(Down);
    r.UnEnabledButtonRect = button(Disabled);
    const int iw = 40, ih = h - 6;
    QRect item = atlas_.Alloc(iw, ih), act = atlas_.Alloc(iw, ih), foc = atlas_.Alloc(iw, ih);
    p_.fillRect(item, s_.window);
    p_.fillRect(act, s_.window);
    p_.fillRect(foc, s_.window);
    Face fs{s_.selection, s_.selection, s_.selection};
    fs.inner = false;
    DrawFace(p_, foc, fs, std::min(s_.radius, 2));
    r.SItemRect = R(item);
    r.ActiveItemRect = R(act);
    r.FocusItemRect = R(foc);
    r.ItemLeftOffset = r.ItemRightOffset = 3;
    r.ItemTextRect = Rel(3, 0, iw - 3, ih);
    r.ItemStretchEffect = r.FocusItemStretchEffect = true;
    Font(r, s_.windowText);
    r.ActiveFontColor = ToTColor(s_.windowText);
    r.FocusFontColor = ToTColor(s_.selectionText);
    r.ListBoxName = "listbox";
    CheckAtlas(name + " text", Inner(item, r.ItemTextRect), s_.windowText);
    CheckAtlas(name + " focused text", Inner(foc, r.ItemTextRect).adjusted(0, 1, 0, -1), s_.selectionText);
  };
  combo("combobox");
  combo("captioncombobox");
  combo("statuscombobox");
  combo("toolcombobox");
}

void Builder::Views() {
  auto fonts = [&](auto& r) {
    r.PictureIndex = -1;
    Font(r, s_.windowText);
    r.BGColor = ToTColor(s_.window);
  };
  fonts(AddCtrl<TbsDataSkinTreeView>("treeview"));
  fonts(AddCtrl<TbsDataSkinListView>("listview"));
  fonts(AddCtrl<TbsDataSkinRichEdit>("richedit"));
  CheckColours("view text on its background", s_.windowText, s_.window);
  CheckColours("selected text on the selection", s_.selectionText, s_.selection);

  atlas_.NewRow();
  QRect box = atlas_.Alloc(32, 32);
  p_.fillRect(box, s_.bg);
  auto& sb = AddCtrl<TbsDataSkinScrollBoxControl>("scrollbox");
  sb.SkinRect = R(box);
  NinePart(sb, 32, 32, 2);

  // The grid is kept with the skin for completeness.
  QRect fixed = atlas_.Alloc(40, 20), selc = atlas_.Alloc(40, 20), focc = atlas_.Alloc(40, 20);
  PaintButton(fixed, Normal, Kind::Header);
  p_.fillRect(selc, s_.selection);
  p_.fillRect(focc, s_.selection);
  auto& g = AddCtrl<TbsDataSkinGridControl>("grid");
  g.SkinRect = R(fixed);
  g.FixedCellRect = R(fixed);
  g.SelectCellRect = R(selc);
  g.FocusCellRect = R(focc);
  g.FixedCellLeftOffset = g.FixedCellRightOffset = 3;
  g.FixedCellTextRect = Rel(3, 0, 37, 20);
  g.CellLeftOffset = g.CellRightOffset = 2;
  g.CellTextRect = Rel(3, 0, 37, 20);
  g.LinesColor = ToTColor(Mix(s_.frame, s_.window, 0.5));
  g.BGColor = ToTColor(s_.window);
  g.FontName = g.FixedFontName = kFont;
  g.FontHeight = g.FixedFontHeight = kFontHeight;
  g.FontColor = ToTColor(s_.windowText);
  g.SelectFontColor = g.FocusFontColor = ToTColor(s_.selectionText);
  g.FixedFontColor = ToTColor(s_.text);
}

void Builder::Splitters() {
  auto split = [&](const std::string& name, bool vertical) {
    atlas_.NewRow();
    int w = vertical ? 6 : 40, h = vertical ? 40 : 6;
    QRect cell = atlas_.Alloc(w, h);
    p_.fillRect(cell, s_.bg);
    QRect grip = atlas_.Alloc(vertical ? 6 : 20, vertical ? 20 : 6);
    p_.fillRect(grip, kKey);
    QColor dot = Mix(s_.frame, s_.text, 0.2);
    for (int i = 0; i < 4; ++i) {
      if (vertical)
        p_.fillRect(grip.left() + 2, grip.top() + 3 + i * 4, 2, 2, dot);
      else
        p_.fillRect(grip.left() + 3 + i * 4, grip.top() + 2, 2, 2, dot);
    }
    auto& r = AddCtrl<TbsDataSkinSplitterControl>(name);
    r.SkinRect = R(cell);
    NinePart(r, w, h, vertical ? 0 : 0);
    if (vertical) {
      r.LTPoint = {0, 2};
      r.RTPoint = {0, 0};
      r.LBPoint = {0, h - 2};
      r.RBPoint = {0, 0};
      r.ClRect = Rel(0, 2, w, h - 2);
    } else {
      r.LTPoint = {2, 0};
      r.RTPoint = {w - 2, 0};
      r.LBPoint = {0, 0};
      r.RBPoint = {0, 0};
      r.ClRect = Rel(2, 0, w - 2, h);
    }
    r.GripperRect = R(grip);
    r.GripperTransparent = true;
    r.GripperTransparentColor = ToTColor(kKey);
  };
  split("vsplitter", true);
  split("hsplitter", false);
}

void Builder::Misc() {
  // The roll-up panel and the control bar are kept with every skin.
  atlas_.NewRow();
  QRect cell = atlas_.Alloc(64, 64);
  p_.fillRect(cell, s_.bg);
  DrawFace(p_, cell, Face{s_.bg, s_.bg, Mix(s_.frame, s_.bg, 0.3)}, s_.radius);
  QRect head(cell.left() + 1, cell.top() + 1, 62, 20);
  p_.fillRect(head, Mix(s_.face, s_.accent, 0.08));
  auto& ex = AddCtrl<TbsDataSkinExPanelControl>("expanel");
  ex.SkinRect = R(cell);
  NinePart(ex, 64, 64, 4);
  ex.ClRect = Rel(2, 22, 62, 62);
  ex.CaptionRect = Rel(4, 1, 44, 21);
  ex.FontName = kFont;
  ex.FontHeight = kFontHeight;
  ex.FontColor = ToTColor(s_.text);
  ex.ButtonsTransparentColor = ToTColor(kKey);
  ex.CloseButtonRect = R(KeyedGlyph(16, 16, Glyph::Close, s_.text, 8));
  ex.CloseButtonActiveRect = R(KeyedGlyph(16, 16, Glyph::Close, s_.accent, 8));
  ex.CloseButtonDownRect = ex.CloseButtonActiveRect;
  ex.ButtonsTransparent = true;
  CheckAtlas("expanel caption", Inner(cell, ex.CaptionRect), s_.text);

  QRect bar = atlas_.Alloc(48, 28), item = atlas_.Alloc(32, 26), hgrip = atlas_.Alloc(6, 26);
  p_.fillRect(bar, s_.bg);
  DrawFace(p_, item, Face{s_.face, s_.face, Mix(s_.frame, s_.bg, 0.4)}, 0);
  p_.fillRect(hgrip, s_.face);
  p_.fillRect(QRect(hgrip.left() + 2, hgrip.top() + 4, 2, 18), Mix(s_.frame, s_.face, 0.3));
  auto& cb = AddCtrl<TbsDataSkinControlBar>("controlbar");
  cb.SkinRect = R(bar);
  NinePart(cb, 48, 28, 2);
  cb.ItemRect = R(item);
  cb.HGripRect = R(hgrip);
  cb.VGripRect = R(hgrip);
  cb.ItemOffset1 = cb.ItemOffset2 = 3;
  cb.GripOffset1 = cb.GripOffset2 = 2;
  cb.ItemTransparentColor = cb.GripTransparentColor = ToTColor(kKey);
}

// --- main menu bar and popup menu items -------------------------------------------------------

void Builder::MenuBar() {
  atlas_.NewRow();
  const int h = 24, iw = 44;
  QColor barBg = s_.bg;
  QRect bar = atlas_.Alloc(64, h);
  p_.fillRect(bar, barBg);
  p_.fillRect(QRect(bar.left(), bar.bottom(), 64, 1), Mix(s_.frame, s_.bg, 0.5));
  auto& mb = AddCtrl<TbsDataSkinMainMenuBar>("mainmenubar");
  mb.SkinRect = R(bar);
  mb.ItemsRect = Rel(2, 0, 62, h - 1);
  mb.MenuBarItem = "mainmenubaritem";
  mb.CloseButton = "menubarclosebutton";
  mb.MaxButton = "menubarmaxbutton";
  mb.MinButton = "menubarminbutton";
  mb.SysMenuButton = "menubarsysmenubutton";
  mb.TrackMarkColor = int(ToTColor(Mix(s_.text, barBg, 0.3)));
  mb.TrackMarkActiveColor = int(ToTColor(s_.accent));
  mb.StretchEffect = false;

  QRect normal = atlas_.Alloc(iw, h - 1), hot = atlas_.Alloc(iw, h - 1), down = atlas_.Alloc(iw, h - 1);
  p_.fillRect(normal, barBg);
  p_.fillRect(hot, barBg);
  p_.fillRect(down, barBg);
  Face hf = ButtonFace(Hot);
  hf.gloss = false;
  hf.inner = false;
  DrawFace(p_, hot.adjusted(0, 2, 0, -2), hf, std::min(s_.radius, 3));
  Face df{s_.selection, s_.selection, Darker(s_.selection, 0.1)};
  df.inner = false;
  DrawFace(p_, down.adjusted(0, 2, 0, -2), df, std::min(s_.radius, 3));
  auto& it = AddObj<TbsDataSkinMainMenuBarItem>("mainmenubaritem");
  it.SkinRectInAPicture = true;
  it.SkinRect = R(normal);
  it.ActiveSkinRect = R(hot);
  it.DownRect = R(down);
  it.ItemLO = it.ItemRO = 5;
  it.TextRct = Rel(6, 0, iw - 6, h - 1);
  it.FontName = kFont;
  it.FontHeight = kFontHeight;
  it.FontColor = ToTColor(s_.text);
  it.ActiveFontColor = ToTColor(s_.text);
  it.DownFontColor = ToTColor(s_.selectionText);
  it.UnEnabledFontColor = ToTColor(Mix(s_.text, barBg, 0.55));
  it.StretchEffect = true;
  CheckAtlas("menu bar item text", Inner(normal, it.TextRct), s_.text);
  CheckAtlas("hot menu bar item text", Inner(hot, it.TextRct).adjusted(0, 3, 0, -3), s_.text);
  CheckAtlas("open menu bar item text", Inner(down, it.TextRct).adjusted(0, 3, 0, -3), s_.selectionText);

  auto barButton = [&](const std::string& name, TbsStdCommand cmd, Glyph g) {
    QRect n = atlas_.Alloc(16, 16), a = atlas_.Alloc(16, 16), d = atlas_.Alloc(16, 16), x = atlas_.Alloc(16, 16);
    for (QRect c : {n, a, d, x}) p_.fillRect(c, barBg);
    DrawFace(p_, a, ButtonFace(Hot), std::min(s_.radius, 2));
    DrawFace(p_, d, ButtonFace(Down), std::min(s_.radius, 2));
    DrawGlyph(p_, n, g, s_.text, 8);
    DrawGlyph(p_, a, g, s_.text, 8);
    DrawGlyph(p_, d, g, s_.text, 8);
    DrawGlyph(p_, x, g, Mix(s_.text, barBg, 0.6), 8);
    auto& b = AddObj<TbsDataSkinMainMenuBarButton>(name);
    b.SkinRectInAPicture = true;
    b.SkinRect = R(n);
    b.ActiveSkinRect = R(a);
    b.DownRect = R(d);
    b.DisableSkinRect = R(x);
    b.Command = cmd;
  };
  barButton("menubarsysmenubutton", cmSysMenu, Glyph::SysMenu);
  barButton("menubarclosebutton", cmClose, Glyph::Close);
  barButton("menubarmaxbutton", cmMaximize, Glyph::Restore);
  barButton("menubarminbutton", cmMinimize, Glyph::Minimize);

  // Popup menu items.
  atlas_.NewRow();
  const int mw = 96, mh = 24;
  QColor menu = MenuBg();
  QRect item = atlas_.Alloc(mw, mh), act = atlas_.Alloc(mw, mh), div = atlas_.Alloc(mw, 7);
  p_.fillRect(item, menu);
  p_.fillRect(act, menu);
  Face sel{s_.selection, s_.selection, Darker(s_.selection, 0.1)};
  sel.inner = false;
  if (s_.glossy) sel.top = Lighter(s_.selection, 0.15);
  DrawFace(p_, act.adjusted(2, 1, -2, -1), sel, std::min(s_.radius, 3));
  p_.fillRect(div, menu);
  p_.fillRect(QRect(div.left() + 4, div.top() + 3, mw - 8, 1), Mix(s_.frame, menu, 0.4));
  auto& mi = AddObj<TbsDataSkinMenuItem>("menuitem");
  mi.SkinRectInAPicture = true;
  mi.SkinRect = R(item);
  mi.ActiveSkinRect = R(act);
  mi.DividerRect = R(div);
  mi.DividerLO = mi.DividerRO = 4;
  mi.ItemLO = mi.ItemRO = 6;
  mi.TextRct = Rel(28, 0, mw - 18, mh);
  mi.ImageRct = Rel(4, 0, 24, mh);
  mi.FontName = kFont;
  mi.FontHeight = kFontHeight;
  mi.FontColor = ToTColor(s_.windowText);
  mi.ActiveFontColor = ToTColor(s_.selectionText);
  mi.UnEnabledFontColor = ToTColor(Mix(s_.windowText, menu, 0.55));
  mi.StretchEffect = mi.InActiveStretchEffect = mi.DividerStretchEffect = true;
  mi.AnimateInterval = 25;
  auto glyph = [&](Glyph g, bool active, int size) {
    QRect c = atlas_.Alloc(16, 16);
    p_.fillRect(c, active ? s_.selection : menu);
    if (active && s_.glossy) p_.fillRect(c, Lighter(s_.selection, 0.06));
    DrawGlyph(p_, c, g, active ? s_.selectionText : s_.windowText, size);
    return R(c);
  };
  mi.CheckImageRect = glyph(Glyph::Check, false, 10);
  mi.ActiveCheckImageRect = glyph(Glyph::Check, true, 10);
  mi.RadioImageRect = glyph(Glyph::Radio, false, 12);
  mi.ActiveRadioImageRect = glyph(Glyph::Radio, true, 12);
  mi.ArrowImageRect = glyph(Glyph::ArrowRight, false, 8);
  mi.ActiveArrowImageRect = glyph(Glyph::ArrowRight, true, 8);
  CheckAtlas("menu item text", Inner(item, mi.TextRct), s_.windowText);
  CheckAtlas("highlighted menu item text", Inner(act, mi.TextRct).adjusted(0, 3, 0, -3), s_.selectionText);
}

// --- the form ---------------------------------------------------------------------------------

void Builder::PaintCaptionBand(QPainter& p, const QRect& cell, int yInCaption) {
  QLinearGradient g(QPointF(0, cell.top() - yInCaption), QPointF(0, cell.top() - yInCaption + s_.captionHeight));
  g.setColorAt(0, s_.captionTop);
  g.setColorAt(1, s_.captionBottom);
  p.fillRect(cell, g);
  if (s_.glossy && s_.colouredCaption) {
    // A soft sheen over the caption's upper half.
    QRect upper(cell.left(), cell.top() - yInCaption, cell.width(), s_.captionHeight / 2);
    QLinearGradient h(upper.topLeft(), upper.bottomLeft());
    h.setColorAt(0, QColor(255, 255, 255, kSheen));
    h.setColorAt(1, QColor(255, 255, 255, 8));
    p.save();
    p.setClipRect(cell);
    p.fillRect(upper, h);
    p.restore();
  }
}

void Builder::FormAndCaption() {
  const int W = kFormW, H = kFormH, B = s_.border, C = s_.captionHeight;
  const int R0 = s_.formRadius, R1 = s_.formRadius / 2;
  // The frame below the client area: at least as deep as the bottom
  // corners' curve, so that the curve cuts only frame pixels, which carry
  // the outline, and never the client area's.
  const int foot = std::max(B, R1);
  form_ = QImage(W, H, QImage::Format_ARGB32);
  QColor outline = s_.dark ? QColor("#0C0D0F") : Darker(s_.frame, 0.35);
  form_.fill(outline);
  QPainterPath shape;
  {
    QRectF r(0, 0, W, H);
    shape.moveTo(r.left() + R0, r.top());
    shape.lineTo(r.right() - R0, r.top());
    if (R0) shape.arcTo(QRectF(r.right() - 2 * R0, r.top(), 2 * R0, 2 * R0), 90, -90);
    shape.lineTo(r.right(), r.bottom() - R1);
    if (R1) shape.arcTo(QRectF(r.right() - 2 * R1, r.bottom() - 2 * R1, 2 * R1, 2 * R1), 0, -90);
    shape.lineTo(r.left() + R1, r.bottom());
    if (R1) shape.arcTo(QRectF(r.left(), r.bottom() - 2 * R1, 2 * R1, 2 * R1), 270, -90);
    shape.lineTo(r.left(), r.top() + R0);
    if (R0) shape.arcTo(QRectF(r.left(), r.top(), 2 * R0, 2 * R0), 180, -90);
    shape.closeSubpath();
  }
  QPainterPath upperEdge, lowerEdge;  // the outline's paths of rounded corners
  {
    QPainter p(&form_);
    QColor frameFill = s_.colouredCaption ? s_.captionBottom : (s_.dark ? s_.captionBottom : s_.bg);
    p.fillRect(QRect(0, 0, W, H), frameFill);
    PaintCaptionBand(p, QRect(0, 0, W, C), 0);
    p.fillRect(QRect(B, C, W - 2 * B, H - C - B), s_.bg);
    if (!s_.colouredCaption) {
      // Light and dark bands are parted from the client area by a line; some
      // skins carry an accent stripe along the top.
      p.fillRect(QRect(B, C - 1, W - 2 * B, 1), Mix(s_.frame, s_.bg, 0.3));
      if (!s_.dark && !s_.glossy) p.fillRect(QRect(0, 0, W, kAccentStripe), s_.accent);
    }
    // The outline: one crisp pixel along the window's shape.
    p.setRenderHint(QPainter::Antialiasing, R0 > 0);
    QPainterPath inner;
    inner.addPath(shape);
    p.setPen(QPen(outline, 1));
    p.setBrush(Qt::NoBrush);
    if (R0 > 0) {
      QPainterPath o;
      QRectF r(0.5, 0.5, W - 1, H - 1);
      o.addRoundedRect(r, R0, R0);
      p.save();
      p.setClipRect(QRect(0, 0, W, H / 2));
      p.drawPath(o);
      p.restore();
      QPainterPath o2;
      o2.addRoundedRect(r, std::max(1, R1), std::max(1, R1));
      p.save();
      p.setClipRect(QRect(0, H / 2, W, H - H / 2));
      p.drawPath(o2);
      p.restore();
      upperEdge = o;
      lowerEdge = o2;
    } else {
      p.drawRect(0, 0, W - 1, H - 1);
    }
  }
  // The window's shape, one bit deep: the pixels a non-smoothed fill of the
  // path covers (the mask below is painted the same way).
  QImage shapeBits(W, H, QImage::Format_RGB32);
  shapeBits.fill(Qt::white);
  {
    QPainter m(&shapeBits);
    m.setRenderHint(QPainter::Antialiasing, false);
    m.fillPath(shape, Qt::black);
  }
  if (R0 > 0) {
    // A corner pixel that the outline only partly covers still shows whole.
    // Outside the outline's middle, and wherever the shape's edge runs, it
    // shows the outline's colour, never the band behind (a pale fringe on a
    // dark desktop); the soft step stays inside, towards the band.
    auto inShape = [&](int x, int y) { return x >= 0 && y >= 0 && x < W && y < H && qRed(shapeBits.pixel(x, y)) == 0; };
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const bool inCorner = (y <= R0 || y >= H - 1 - R1) && (x <= R0 || x >= W - 1 - R0);
        if (!inCorner || !inShape(x, y)) continue;
        const QPainterPath& edge = y < H / 2 ? upperEdge : lowerEdge;
        const bool onEdge = !inShape(x - 1, y) || !inShape(x + 1, y) || !inShape(x, y - 1) || !inShape(x, y + 1);
        if (onEdge || !edge.contains(QPointF(x + 0.5, y + 0.5))) form_.setPixel(x, y, outline.rgb());
      }
  }
  auto& st = store_;
  st.FPicture = ToBitmap(form_);
  st.FPictureName = "form.bmp";
  const int corner = std::max(16, R0 + 4);
  st.LTPoint = {corner, C};
  st.RTPoint = {W - 110, C};
  // The sides are tiled between these points, in the picture and in the
  // mask alike: they end above the bottom corners' curve, or every tile
  // would carry a notch of it down the window's sides.
  st.LBPoint = {corner, H - foot};
  st.RBPoint = {W - corner, H - foot};
  st.ClRect = Rel(B, C, W - B, H - foot);
  st.LeftStretch = st.RightStretch = st.TopStretch = st.BottomStretch = true;
  st.StretchEffect = true;
  st.BorderW = std::max(B, 4);
  st.FormMinWidth = 160;
  st.HitTestLTPoint = {corner, corner};
  st.HitTestRTPoint = {W - corner, corner};
  st.HitTestLBPoint = {corner, H - corner};
  st.HitTestRBPoint = {W - corner, H - corner};
  if (R0 > 0) {
    mask_ = shapeBits;
    st.FMask = ToBitmap4(mask_, {QColor(Qt::black), QColor(Qt::white)});
    st.FMaskName = "mask.bmp";
    st.MaskRectArea = st.ClRect;
  }

  // Caption buttons are laid out by command in the buttons area, so their
  // looks live in the atlas; the caption band behind them is painted in.
  const bool flat = !s_.glossy;
  const int bw = flat ? 34 : 27, bh = flat ? C - 2 : 19;
  const int top = flat ? 1 : (C - bh) / 2;
  const bool accentStripe = !s_.colouredCaption && !s_.dark && !s_.glossy;
  // Flat buttons run the caption's height: in a rounded window they keep
  // out of the top corner, whose outline they would cover.
  st.ButtonsRect = Rel(W / 2 + 1, top, W - (flat ? 1 + R0 : B + 4), top + bh);
  st.ButtonsOffset = flat ? 0 : 2;
  st.CaptionRect = Rel(B + 2, 0, W - 110, C);
  atlas_.NewRow();
  QColor glyph = s_.captionText;
  QColor dim = Mix(s_.captionText, Mix(s_.captionTop, s_.captionBottom, 0.5), 0.45);
  auto look = [&](Glyph g, St stt, bool inactive, bool close) {
    QRect c = atlas_.Alloc(bw, bh);
    PaintCaptionBand(p_, c, top);
    if (stt == Hot || stt == Down) {
      QColor fill;
      if (close)
        fill = stt == Hot ? QColor("#C42B1C") : QColor("#A12316");
      else if (s_.colouredCaption || s_.dark)
        fill = QColor(255, 255, 255, stt == Hot ? 46 : 80);
      else
        fill = stt == Hot ? Darker(s_.captionTop, 0.09) : Darker(s_.captionTop, 0.17);
      if (flat) {
        p_.fillRect(c, fill);
      } else {
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing, true);
        p_.setPen(QPen(QColor(0, 0, 0, 50), 1));
        p_.setBrush(fill);
        p_.drawRoundedRect(QRectF(c).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        p_.restore();
      }
    }
    // A button reaching into the accent stripe along the form's top carries
    // its part of the stripe, so the stripe runs on over the buttons.
    if (accentStripe && top < kAccentStripe) p_.fillRect(QRect(c.left(), c.top(), bw, kAccentStripe - top), s_.accent);
    QColor gc = close && (stt == Hot || stt == Down) ? QColor(Qt::white) : glyph;
    if (inactive) gc = dim;
    if (stt == Disabled) gc = Mix(s_.captionText, Mix(s_.captionTop, s_.captionBottom, 0.5), 0.68);
    p_.setBackground(close && (stt == Hot || stt == Down) ? QColor("#C42B1C")
                                                          : Mix(s_.captionTop, s_.captionBottom, 0.5));
    DrawGlyph(p_, c, g, gc, 10);
    return R(c);
  };
  auto button = [&](const std::string& name, TbsStdCommand cmd, Glyph g, Glyph restore, const char* hint) {
    bool close = cmd == cmClose;
    auto& b = AddObj<TbsDataSkinStdButton>(name);
    b.Hint = hint;
    b.Command = cmd;
    b.SkinRectInAPicture = true;
    b.SkinRect = look(g, Normal, false, close);
    b.ActiveSkinRect = look(g, Hot, false, close);
    b.DownRect = look(g, Down, false, close);
    b.DisableSkinRect = look(g, Disabled, false, close);
    b.InActiveSkinRect = look(g, Normal, true, close);
    b.Morphing = true;
    b.MorphKind = mkGradient;
    if (restore != g) {
      b.RestoreRect = look(restore, Normal, false, false);
      b.RestoreActiveRect = look(restore, Hot, false, false);
      b.RestoreDownRect = look(restore, Down, false, false);
      b.RestoreInActiveRect = look(restore, Normal, true, false);
      b.RestoreHint = "Restore";
    }
  };
  button("closebutton", cmClose, Glyph::Close, Glyph::Close, "Close");
  button("maxbutton", cmMaximize, Glyph::Maximize, Glyph::Restore, "Maximize");
  button("minbutton", cmMinimize, Glyph::Minimize, Glyph::Restore, "Minimize");
  button("rollupbutton", cmRollUp, Glyph::RollUp, Glyph::RollDown, "Roll Up");
  button("traybutton", cmMinimizeToTray, Glyph::Tray, Glyph::Tray, "Minimize to Tray");
  // Second names some forms use for the same two buttons; the first of each
  // command is the one laid out.
  button("maximizebutton", cmMaximize, Glyph::Maximize, Glyph::Restore, "Maximize");
  button("minimizebutton", cmMinimize, Glyph::Minimize, Glyph::Restore, "Minimize");
  {
    auto& sys = AddObj<TbsDataSkinStdButton>("sysmenubutton");
    sys.Hint = "System menu";
    sys.Command = cmSysMenu;
    sys.SkinRectInAPicture = true;
    QRect n = atlas_.Alloc(16, 16), a = atlas_.Alloc(16, 16);
    int yIn = (C - 16) / 2;
    for (QRect c : {n, a}) {
      PaintCaptionBand(p_, c, yIn);
      p_.save();
      p_.setRenderHint(QPainter::Antialiasing, true);
      p_.setPen(Qt::NoPen);
      p_.setBrush(s_.colouredCaption ? QColor(Qt::white) : s_.accent);
      p_.drawRoundedRect(QRectF(c).adjusted(1, 1, -1, -1), 3, 3);
      p_.setBrush(s_.colouredCaption ? s_.captionBottom : QColor(Qt::white));
      QPointF tri[3] = {QPointF(c.left() + 6, c.top() + 4.5), QPointF(c.left() + 6, c.top() + 11.5),
                        QPointF(c.left() + 11.5, c.top() + 8)};
      p_.drawPolygon(tri, 3);
      p_.restore();
    }
    sys.SkinRect = R(n);
    sys.ActiveSkinRect = R(a);
    sys.DownRect = R(a);
  }
  auto animate = [&](const std::string& name, TbsStdCommand cmd, Glyph g) {
    auto& a = AddObj<TbsDataSkinAnimate>(name);
    a.SkinRectInAPicture = true;
    a.Command = cmd;
    a.ButtonStyle = true;
    a.CountFrames = 1;
    a.TimerInterval = 50;
    a.SkinRect = look(g, Normal, false, false);
    a.ActiveSkinRect = look(g, Hot, false, false);
    a.DownSkinRect = look(g, Down, false, false);
    a.InActiveSkinRect = look(g, Normal, true, false);
    a.RestoreRect = look(Glyph::Restore, Normal, false, false);
    a.RestoreActiveRect = look(Glyph::Restore, Hot, false, false);
    a.RestoreDownRect = look(Glyph::Restore, Down, false, false);
    a.Hint = cmd == cmMaximize ? "Maximize" : "Minimize";
  };
  animate("minanimate", cmMinimize, Glyph::Minimize);
  animate("maxanimate", cmMaximize, Glyph::Maximize);

  auto& cap = AddObj<TbsDataSkinCaption>("caption");
  cap.ActivePictureIndex = -1;
  cap.SkinRect = Rel(B + 2, 0, W - 110, C - 1);
  cap.TextRct = Rel(4, 0, RectWidth(cap.SkinRect) - 4, C - 1);
  cap.FontName = kFont;
  cap.FontHeight = 14;
  cap.FontStyle = TFontStyles{gfx::fsBold};
  cap.ActiveFontColor = ToTColor(s_.captionText);
  QRect textArea(cap.SkinRect.Left + 4, 2, RectWidth(cap.SkinRect) - 8, C - 4);
  // An inactive window's title is dimmed as far as it stays readable.
  for (double t = 0.3; t >= 0; t -= 0.02) {
    QColor c = Mix(s_.captionText, Mix(s_.captionTop, s_.captionBottom, 0.5), t);
    cap.FontColor = ToTColor(c);
    if (MinContrast(form_, textArea, c) >= 4.6) break;
  }
  cap.Alignment = taLeftJustify;
  cap.Shadow = s_.colouredCaption && s_.glossy;
  cap.ShadowColor = cap.ActiveShadowColor = ToTColor(Darker(s_.captionBottom, 0.3));
  cap.GlowSize = 3;
  Check("caption text", form_, textArea, s_.captionText);
  Check("inactive caption text", form_, textArea, FromTColor(cap.FontColor));
}

void Builder::PopupAndHint() {
  // Active picture 1: the popup menu window; 2: the hint window.
  {
    const int w = 48, h = 48;
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(MenuBg());
    QPainter p(&img);
    p.setPen(QPen(s_.dark ? Lighter(s_.frame, 0.1) : s_.frame, 1));
    p.drawRect(0, 0, w - 1, h - 1);
    if (!s_.dark) p.fillRect(QRect(1, 1, w - 2, 1), Qt::white);
    p.end();
    extra_.push_back(img);
    auto& pw = store_.PopupWindow;
    pw.WindowPictureIndex = 1;
    pw.LTPoint = {4, 4};
    pw.RTPoint = {w - 4, 4};
    pw.LBPoint = {4, h - 4};
    pw.RBPoint = {w - 4, h - 4};
    pw.ItemsRect = Rel(3, 3, w - 3, h - 3);
    pw.ScrollMarkerColor = ToTColor(Mix(s_.windowText, MenuBg(), 0.4));
    pw.ScrollMarkerActiveColor = ToTColor(s_.accent);
    pw.TopStretch = pw.LeftStretch = pw.RightStretch = pw.BottomStretch = true;
    pw.StretchEffect = true;
  }
  {
    const int w = 32, h = 24;
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(s_.hint);
    QPainter p(&img);
    p.setPen(QPen(s_.dark ? Lighter(s_.frame, 0.15) : Mix(s_.frame, s_.text, 0.3), 1));
    p.drawRect(0, 0, w - 1, h - 1);
    p.end();
    extra_.push_back(img);
    auto& hw = store_.HintWindow;
    hw.WindowPictureIndex = 2;
    hw.LTPoint = {3, 3};
    hw.RTPoint = {w - 3, 3};
    hw.LBPoint = {3, h - 3};
    hw.RBPoint = {w - 3, h - 3};
    hw.ClRect = Rel(5, 3, w - 5, h - 3);
    hw.FontName = kFont;
    hw.FontHeight = kFontHeight;
    hw.FontColor = ToTColor(s_.hintText);
    hw.TopStretch = hw.LeftStretch = hw.RightStretch = hw.BottomStretch = true;
    hw.StretchEffect = true;
    CheckColours("hint text", s_.hintText, s_.hint);
  }
}

void Builder::Colours() {
  TbsSkinColors& c = store_.SkinColors();
  c.SetcBtnFace(ToTColor(s_.bg));
  c.SetcBtnText(ToTColor(s_.text));
  c.SetcWindow(ToTColor(s_.window));
  c.SetcWindowText(ToTColor(s_.windowText));
  c.SetcHighLight(ToTColor(s_.selection));
  c.SetcHighLightText(ToTColor(s_.selectionText));
  c.SetcBtnHighLight(ToTColor(s_.dark ? Lighter(s_.bg, 0.12) : QColor(Qt::white)));
  c.SetcBtnShadow(ToTColor(s_.frame));
  CheckColours("button text on the face colour", s_.text, s_.bg);
}

void Builder::Build() {
  store_.SkinName = s_.title;
  store_.SkinAuthor = "VarnelMOD";
  store_.SkinComments = "Generated by skingen";
  FormAndCaption();
  CheckPreviewGlyphs(ButtonRecord("button", 72, 25, Kind::Push));
  ButtonRecord("resizebutton", 72, 25, Kind::Push);
  ButtonRecord("toolbutton", 26, 26, Kind::Tool);
  ButtonRecord("bigtoolbutton", 48, 48, Kind::Tool);
  ButtonRecord("resizetoolbutton", 64, 22, Kind::Header);
  ButtonRecord("htracktoolbutton", 26, 26, Kind::Tool);
  ButtonRecord("vtracktoolbutton", 26, 26, Kind::Tool);
  ButtonRecord("combobutton", 18, 20, Kind::Small);
  ButtonRecord("editbutton", 18, 20, Kind::Small);
  ButtonRecord("menuitembutton", 72, 24, Kind::Tool);
  ButtonRecord("officequickbutton", 26, 26, Kind::Tool);
  ButtonRecord("toolmenubutton", 40, 26, Kind::Tool, true);
  ButtonRecord("toolmenutrackbutton", 40, 26, Kind::Tool, true, true);
  ButtonRecord("bigtoolmenubutton", 56, 48, Kind::Tool, true);
  ButtonRecord("bigtoolmenutrackbutton", 62, 48, Kind::Tool, true, true);
  CheckRadio("checkbox", false);
  CheckRadio("radiobox", true);
  Panels();
  Labels();
  ScrollBars();
  Slider();
  Gauges();
  TrackBars();
  Tabs();
  Edits();
  SpinEdits();
  UpDowns();
  Lists();
  Combos();
  Views();
  Splitters();
  Misc();
  MenuBar();
  PopupAndHint();
  Colours();
  p_.end();
  store_.FActivePictures.clear();
  store_.FActivePicturesNames.clear();
  store_.FActivePictures.push_back(ToBitmap(atlas_.Final()));
  store_.FActivePicturesNames.push_back("atlas.bmp");
  store_.FActivePictures.push_back(ToBitmap(extra_[0]));
  store_.FActivePicturesNames.push_back("popup.bmp");
  store_.FActivePictures.push_back(ToBitmap(extra_[1]));
  store_.FActivePicturesNames.push_back("hint.bmp");
  store_.Empty = false;
}

}  // namespace

void BuildSkin(const Style& s, TbsSkinData& store, std::vector<ContrastResult>& contrast) {
  Builder b(s, store, contrast);
  b.Build();
}

}  // namespace skingen
