// skintool render <skin> --sheet <out.png>: one picture to judge a skin by.
// Left: the form at 640x480 with its window region, its caption and caption
// buttons laid out as the form frame lays them out, and a window's worth of
// controls drawn from the skin's records in their different looks. Right:
// every control and object record, each look it has cut from its picture.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <functional>
#include <map>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <set>

#include "platform/gfx/bitmap.h"
#include "platform/rtl/exceptions.h"
#include "skin/draw/bsGeometry.h"
#include "skin/data/bsSkinData.h"
#include "skin/draw/bsSkinImages.h"
#include "tools/skintool/skintool.h"

using namespace skin;

namespace {

QColor Col(TColor c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
QRect Q(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

constexpr int kFormPicture = -100;  // stands for the form picture among picture indexes

class Sheet {
 public:
  explicit Sheet(TbsSkinData& s) : s_(s) {}

  gfx::TBitmap* Pic(int i) const {
    if (i < 0 || size_t(i) >= s_.FActivePictures.size()) return nullptr;
    gfx::TBitmap* p = s_.FActivePictures[size_t(i)].get();
    return p && !p->Empty() ? p : nullptr;
  }
  QImage PicImage(int i) {
    auto it = cache_.find(i);
    if (it != cache_.end()) return it->second;
    gfx::TBitmap* p = i == kFormPicture ? s_.FPicture.get() : Pic(i);
    QImage img = p && !p->Empty() ? gfx::BitmapToImage(p->Handle()) : QImage();
    cache_[i] = img;
    return img;
  }
  QImage Crop(int pic, const TRect& r) {
    QImage img = PicImage(pic);
    if (img.isNull() || IsNullRect(r)) return QImage();
    return img.copy(Q(r));
  }

  // A frame record's look `look` (a rectangle of its picture) at W x H.
  QImage Frame(const TbsDataSkinCustomControl& r, const TRect& look, int W, int H) {
    gfx::TBitmap* pic = Pic(r.PictureIndex);
    if (!pic || IsNullRect(look)) return QImage();
    int SW = RectWidth(look), SH = RectHeight(look);
    TbsNinePart src{r.LTPoint, r.RTPoint, r.LBPoint, r.RBPoint, r.ClRect};
    bool nine = r.RBPoint.X != 0 && r.RBPoint.Y != 0;
    if (!nine) return Crop(r.PictureIndex, look).scaled(W, H);
    int dW = W - SW, dH = H - SH;
    TbsNinePart moved{r.LTPoint,
                      {r.RTPoint.X + dW, r.RTPoint.Y},
                      {r.LBPoint.X, r.LBPoint.Y + dH},
                      {r.RBPoint.X + dW, r.RBPoint.Y + dH},
                      TRect{r.ClRect.Left, r.ClRect.Top, r.ClRect.Right + dW, r.ClRect.Bottom + dH}};
    TbsNinePartStretch f;
    f.LeftStretch = r.LeftStretch;
    f.TopStretch = r.TopStretch;
    f.RightStretch = r.RightStretch;
    f.BottomStretch = r.BottomStretch;
    f.StretchEffect = r.StretchEffect;
    f.StretchType = r.StretchType;
    gfx::TBitmap out;
    CreateSkinImage(src, moved, &out, TbsPictureRect{pic, look}, W, H, true, f);
    return gfx::BitmapToImage(out.Handle());
  }
  // A horizontal strip with fixed ends, the middle tiled.
  QImage HBar(int pic, const TRect& look, int l, int rgt, int W) {
    gfx::TBitmap* p = Pic(pic);
    if (!p || IsNullRect(look)) return QImage();
    gfx::TBitmap out;
    CreateHSkinImage(l, rgt, &out, TbsPictureRect{p, look}, W, RectHeight(look), true);
    return gfx::BitmapToImage(out.Handle());
  }

  template <class T>
  T* Ctrl(const char* name) {
    int i = s_.GetControlIndex(name);
    return i < 0 ? nullptr : dynamic_cast<T*>(s_.CtrlList[size_t(i)].get());
  }
  template <class T>
  T* Obj(const char* name) {
    int i = s_.GetIndex(name);
    return i < 0 ? nullptr : dynamic_cast<T*>(s_.ObjectList[size_t(i)].get());
  }

  static QFont Font(const std::string& name, int height, bool bold = false) {
    QFont f(QString::fromStdString(name));
    f.setPixelSize(std::max(8, height));
    f.setBold(bold);
    return f;
  }
  static void Text(QPainter& p, const QRect& r, const QString& t, const QColor& c, const QFont& f,
                   int align = Qt::AlignCenter) {
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, align | Qt::AlignVCenter | Qt::TextSingleLine, t);
  }

  void Window(QPainter& p, const QPoint& at);
  int Catalogue(QPainter& p, const QPoint& at, int width, bool measure);

 private:
  void Button(QPainter& p, const QRect& r, const char* rec, int state, const QString& text);

  TbsSkinData& s_;
  std::map<int, QImage> cache_;
};

void Sheet::Button(QPainter& p, const QRect& r, const char* rec, int state, const QString& text) {
  auto* b = Ctrl<TbsDataSkinButtonControl>(rec);
  if (!b) return;
  const TRect looks[] = {b->SkinRect, b->ActiveSkinRect, b->DownSkinRect, b->DisabledSkinRect, b->FocusedSkinRect};
  const TColor fonts[] = {b->FontColor, b->ActiveFontColor, b->DownFontColor, b->DisabledFontColor, b->FontColor};
  p.drawImage(r.topLeft(), Frame(*b, looks[state], r.width(), r.height()));
  Text(p, r.translated(state == 2 ? 1 : 0, state == 2 ? 1 : 0), text, Col(fonts[state]),
       Font(b->FontName, b->FontHeight));
}

// The form with its caption objects and a sample of controls.
void Sheet::Window(QPainter& p, const QPoint& at) {
  const int W = 640, H = 480;
  QImage form = skintool::FormImage(s_, W, H);
  p.drawImage(at, form);
  int PW = s_.FPicture->Width(), PH = s_.FPicture->Height(), dx = W - PW, dy = H - PH;
  p.save();
  p.translate(at);
  // Caption buttons: right-aligned in the buttons area by command.
  TRect area = s_.ButtonsRect;
  if (area.Left > PW / 2) area.Left += dx, area.Right += dx;
  int x = area.Right;
  const TbsStdCommand order[] = {cmClose, cmMaximize, cmMinimize};
  int state = 0;
  for (TbsStdCommand c : order) {
    for (auto& o : s_.ObjectList) {
      auto* b = dynamic_cast<TbsDataSkinStdButton*>(o.get());
      if (!b || b->Command != c || !b->SkinRectInAPicture) continue;
      int w = RectWidth(b->SkinRect);
      // Show the close button hot, to see that look in place.
      TRect look = state == 0 ? b->ActiveSkinRect : b->SkinRect;
      p.drawImage(x - w, area.Top, Crop(b->ActivePictureIndex, look));
      x -= w + s_.ButtonsOffset;
      ++state;
      break;
    }
  }
  int capLeft = s_.CaptionRect.Left;
  if (auto* sys = Obj<TbsDataSkinStdButton>("sysmenubutton")) {
    int h = RectHeight(sys->SkinRect);
    int top = s_.CaptionRect.Top + RectHeight(s_.CaptionRect) / 2 - h / 2;
    p.drawImage(capLeft, top, Crop(sys->ActivePictureIndex, sys->SkinRect));
    capLeft += RectWidth(sys->SkinRect) + s_.ButtonsOffset;
  }
  if (auto* cap = Obj<TbsDataSkinCaption>("caption")) {
    QRect r(capLeft + cap->TextRct.Left, cap->SkinRect.Top, x - capLeft - 8, RectHeight(cap->SkinRect));
    QFont f = Font(cap->FontName, cap->FontHeight, cap->FontStyle.Contains(gfx::fsBold));
    if (cap->Shadow)
      Text(p, r.translated(1, 1), "VarnelMOD格式转换器 - 皮肤预览", Col(cap->ActiveShadowColor), f, Qt::AlignLeft);
    Text(p, r, "VarnelMOD格式转换器 - 皮肤预览", Col(cap->ActiveFontColor), f, Qt::AlignLeft);
  }
  QRect cl(s_.ClRect.Left, s_.ClRect.Top, RectWidth(s_.ClRect) + dx, RectHeight(s_.ClRect) + dy);
  int y = cl.top();
  // Menu bar with an item hot and one open.
  if (auto* bar = Ctrl<TbsDataSkinMainMenuBar>("mainmenubar")) {
    QImage img = HBar(bar->PictureIndex, bar->SkinRect, 2, 2, cl.width());
    p.drawImage(cl.left(), y, img);
    auto* it = Obj<TbsDataSkinMainMenuBarItem>("mainmenubaritem");
    int ix = cl.left() + 4;
    const char* items[] = {"文件(F)", "编辑(E)", "转换(C)", "皮肤(S)", "帮助(H)"};
    for (int i = 0; i < 5 && it; ++i) {
      TRect look = i == 1 ? it->ActiveSkinRect : i == 2 ? it->DownRect : it->SkinRect;
      TColor fc = i == 1 ? it->ActiveFontColor : i == 2 ? it->DownFontColor : it->FontColor;
      int iw = 62;
      p.drawImage(ix, y, HBar(it->ActivePictureIndex, look, it->ItemLO, it->ItemRO, iw));
      Text(p, QRect(ix, y, iw, RectHeight(look)), items[i], Col(fc), Font(it->FontName, it->FontHeight));
      ix += iw;
    }
    y += img.height();
  }
  // Tool bar with tool buttons in their looks.
  if (auto* tb = Ctrl<TbsDataSkinPanelControl>("toolpanel")) {
    int th = 40;
    p.drawImage(cl.left(), y, Frame(*tb, tb->SkinRect, cl.width(), th));
    const char* caps[] = {"添加", "删除", "清空", "开始", "停止", "选项"};
    for (int i = 0; i < 6; ++i) {
      int st = i == 1 ? 1 : i == 2 ? 2 : i == 4 ? 3 : 0;
      Button(p, QRect(cl.left() + 6 + i * 62, y + 5, 58, 30), "toolbutton", st, caps[i]);
    }
    Button(p, QRect(cl.left() + 6 + 6 * 62, y + 5, 70, 30), "toolmenutrackbutton", 1, "皮肤  ");
    if (auto* m = Ctrl<TbsDataSkinMenuButtonControl>("toolmenutrackbutton")) {
      QImage mark = Crop(m->PictureIndex, m->MenuMarkerActiveRect);
      mark = mark.convertToFormat(QImage::Format_ARGB32);
      for (int yy = 0; yy < mark.height(); ++yy)
        for (int xx = 0; xx < mark.width(); ++xx)
          if ((mark.pixel(xx, yy) & 0xFFFFFF) == 0xFF00FF) mark.setPixel(xx, yy, 0);
      p.drawImage(cl.left() + 6 + 6 * 62 + 70 - 11, y + 5 + 11, mark);
    }
    y += th;
  }
  int x0 = cl.left() + 12;
  y += 10;
  // Push buttons in every look.
  const char* labels[] = {"确定", "悬停", "按下", "禁用", "焦点"};
  for (int i = 0; i < 5; ++i) Button(p, QRect(x0 + i * 92, y, 84, 26), "button", i, labels[i]);
  y += 36;
  // Edits and combo box.
  if (auto* e = Ctrl<TbsDataSkinEditControl>("edit")) {
    p.drawImage(x0, y, Frame(*e, e->SkinRect, 170, 24));
    Text(p, QRect(x0 + 5, y, 160, 24), "输出目录: D:\\视频", Col(e->FontColor), Font(e->FontName, e->FontHeight),
         Qt::AlignLeft);
    p.drawImage(x0 + 180, y, Frame(*e, e->ActiveSkinRect, 120, 24));
    Text(p, QRect(x0 + 185, y, 110, 24), "有焦点的编辑框", Col(e->ActiveFontColor), Font(e->FontName, e->FontHeight),
         Qt::AlignLeft);
  }
  if (auto* c = Ctrl<TbsDataSkinComboBox>("combobox")) {
    int cw = 150, ch = 24;
    p.drawImage(x0 + 310, y, Frame(*c, c->SkinRect, cw, ch));
    // The button keeps to the right end.
    int bx = x0 + 310 + cw - (RectWidth(c->SkinRect) - c->ButtonRect.Left);
    p.drawImage(
        bx, y + c->ButtonRect.Top,
        Crop(c->PictureIndex, c->ActiveButtonRect).scaled(RectWidth(c->ActiveButtonRect), ch - 2 * c->ButtonRect.Top));
    Text(p, QRect(x0 + 315, y, cw - 30, ch), "MP4 视频 (*.mp4)", Col(c->FontColor), Font(c->FontName, c->FontHeight),
         Qt::AlignLeft);
  }
  y += 34;
  // Check and radio boxes.
  auto check = [&](const char* rec, int x, TRect img, bool hot, bool disabled, const QString& t) {
    auto* r = Ctrl<TbsDataSkinCheckRadioControl>(rec);
    if (!r) return;
    int w = 110, h = RectHeight(r->SkinRect);
    p.drawImage(x, y, Frame(*r, hot ? r->ActiveSkinRect : r->SkinRect, w, h));
    p.drawImage(x + r->CheckImageArea.Left, y + r->CheckImageArea.Top, Crop(r->PictureIndex, img));
    TColor fc = disabled ? r->UnEnabledFontColor : hot ? r->ActiveFontColor : r->FontColor;
    Text(p, QRect(x + r->TextArea.Left, y, w - r->TextArea.Left, h), t, Col(fc), Font(r->FontName, r->FontHeight),
         Qt::AlignLeft);
  };
  if (auto* cb = Ctrl<TbsDataSkinCheckRadioControl>("checkbox")) {
    check("checkbox", x0, cb->CheckImageRect, false, false, "完成后关机");
    check("checkbox", x0 + 115, cb->ActiveUnCheckImageRect, true, false, "覆盖文件");
    check("checkbox", x0 + 230, cb->UnEnabledCheckImageRect, false, true, "不可用");
  }
  if (auto* rb = Ctrl<TbsDataSkinCheckRadioControl>("radiobox")) {
    check("radiobox", x0 + 345, rb->CheckImageRect, false, false, "高质量");
    check("radiobox", x0 + 460, rb->UnCheckImageRect, false, false, "快速");
  }
  y += 30;
  // A list with a selected row, its scroll bar, and a tab control.
  int listTop = y;
  if (auto* l = Ctrl<TbsDataSkinListBox>("listbox")) {
    int lw = 260, lh = 150;
    p.drawImage(x0, y, Frame(*l, l->SkinRect, lw, lh));
    const char* rows[] = {"旅行.mp4", "会议录像.avi", "音乐会.mkv", "生日.mov", "讲座.wmv", "片头.flv"};
    int iy = y + l->ClRect.Top + 1, iw = lw - l->ClRect.Left - 20, ih = RectHeight(l->SItemRect);
    for (int i = 0; i < 6 && iy + ih < y + lh - 3; ++i) {
      TRect look = i == 1 ? l->ActiveItemRect : i == 3 ? l->FocusItemRect : l->SItemRect;
      TColor fc = i == 1 ? l->ActiveFontColor : i == 3 ? l->FocusFontColor : l->FontColor;
      p.drawImage(x0 + l->ClRect.Left, iy, HBar(l->PictureIndex, look, l->ItemLeftOffset, l->ItemRightOffset, iw));
      Text(p, QRect(x0 + l->ClRect.Left + l->ItemTextRect.Left, iy, iw, ih), rows[i], Col(fc),
           Font(l->FontName, l->FontHeight), Qt::AlignLeft);
      iy += ih;
    }
    if (auto* sb = Ctrl<TbsDataSkinScrollBarControl>("vscrollbar")) {
      int sx = x0 + lw - RectWidth(sb->SkinRect) - 1, sy = y + 1, sh = lh - 2;
      gfx::TBitmap* pic = Pic(sb->PictureIndex);
      gfx::TBitmap out;
      CreateVSkinImage(sb->LTPoint.Y, RectHeight(sb->SkinRect) - sb->LBPoint.Y, &out, TbsPictureRect{pic, sb->SkinRect},
                       0, sh, false);
      p.drawImage(sx, sy, gfx::BitmapToImage(out.Handle()));
      QImage thumb = Crop(sb->PictureIndex, sb->ActiveThumbRect);
      gfx::TBitmap tout;
      CreateVSkinImage(sb->ThumbOffset1, sb->ThumbOffset2, &tout, TbsPictureRect{pic, sb->ActiveThumbRect}, 0, 50,
                       false);
      p.drawImage(sx, sy + sb->TrackArea.Top + 10, gfx::BitmapToImage(tout.Handle()));
      (void)thumb;
    }
  }
  if (auto* t = Ctrl<TbsDataSkinTabControl>("tab")) {
    int tx = x0 + 280, tw = 320, th = RectHeight(t->TabRect);
    // The tab record carries its own frame fields; draw its page by hand.
    gfx::TBitmap* pic = Pic(t->PictureIndex);
    if (pic) {
      TbsNinePart src{t->LTPoint, t->RTPoint, t->LBPoint, t->RBPoint, t->ClRect};
      int SW = RectWidth(t->SkinRect), SH = RectHeight(t->SkinRect), pw = tw, ph = 150 - th;
      TbsNinePart moved{t->LTPoint,
                        {t->RTPoint.X + pw - SW, t->RTPoint.Y},
                        {t->LBPoint.X, t->LBPoint.Y + ph - SH},
                        {t->RBPoint.X + pw - SW, t->RBPoint.Y + ph - SH},
                        TRect{t->ClRect.Left, t->ClRect.Top, t->ClRect.Right + pw - SW, t->ClRect.Bottom + ph - SH}};
      TbsNinePartStretch f;
      f.LeftStretch = f.TopStretch = f.RightStretch = f.BottomStretch = true;
      f.StretchEffect = t->StretchEffect;
      gfx::TBitmap out;
      CreateSkinImage(src, moved, &out, TbsPictureRect{pic, t->SkinRect}, pw, ph, true, f);
      p.drawImage(tx, y + th - 1, gfx::BitmapToImage(out.Handle()));
      p.drawImage(tx, y, HBar(t->PictureIndex, t->TabsBGRect, 0, 0, tw).scaled(tw, th));
      const char* caps[] = {"视频", "音频", "高级"};
      int ax = tx + 2;
      for (int i = 0; i < 3; ++i) {
        TRect look = i == 0 ? t->ActiveTabRect : i == 1 ? t->MouseInTabRect : t->TabRect;
        TColor fc = i == 0 ? t->ActiveFontColor : i == 1 ? t->MouseInFontColor : t->FontColor;
        p.drawImage(ax, y, HBar(t->PictureIndex, look, t->TabLeftOffset, t->TabRightOffset, 70));
        Text(p, QRect(ax, y + 2, 70, th - 2), caps[i], Col(fc), Font(t->FontName, t->FontHeight));
        ax += 70;
      }
      // Inside the page: a gauge and the slider.
      int gy = y + th + 16;
      if (auto* g = Ctrl<TbsDataSkinGaugeControl>("gauge")) {
        p.drawImage(tx + 16, gy, Frame(*g, g->SkinRect, tw - 32, RectHeight(g->SkinRect)));
        QImage prog =
            Crop(g->PictureIndex, g->ProgressRect).scaled((tw - 32 - 4) * 6 / 10, RectHeight(g->SkinRect) - 4);
        p.drawImage(tx + 18, gy + 2, prog);
      }
      if (auto* sl = Ctrl<TbsDataSkinSlider>("slider")) {
        int sy = gy + 36;
        QImage ruler = HBar(sl->PictureIndex, sl->HRulerRect, sl->EdgeSize, sl->EdgeSize, tw - 32);
        int thH = RectHeight(sl->HThumbRect), thW = RectWidth(sl->HThumbRect) / 2;
        p.drawImage(tx + 16, sy + (thH - ruler.height()) / 2, ruler);
        TRect knob{sl->HThumbRect.Left, sl->HThumbRect.Top, sl->HThumbRect.Left + thW, sl->HThumbRect.Bottom};
        p.drawImage(tx + 16 + (tw - 32) / 3, sy, Crop(sl->PictureIndex, knob));
      }
      if (auto* lab = Ctrl<TbsDataSkinStdLabelControl>("stdlabel")) {
        Text(p, QRect(tx + 16, gy + 64, tw - 32, 20), "普通标签文字与", Col(lab->FontColor),
             Font(lab->FontName, lab->FontHeight), Qt::AlignLeft);
        Text(p, QRect(tx + 120, gy + 64, tw - 32, 20), "链接文字", Col(lab->ActiveFontColor),
             Font(lab->FontName, lab->FontHeight), Qt::AlignLeft);
      }
    }
  }
  y = listTop + 160;
  // Popup menu and hint window beside each other.
  if (auto* mi = Obj<TbsDataSkinMenuItem>("menuitem")) {
    gfx::TBitmap* wp = Pic(s_.PopupWindow.WindowPictureIndex);
    int mw = 170, mh = 3 * RectHeight(mi->SkinRect) + RectHeight(mi->DividerRect) + 6;
    if (wp) {
      auto& pw = s_.PopupWindow;
      TbsNinePart src{pw.LTPoint, pw.RTPoint, pw.LBPoint, pw.RBPoint, pw.ItemsRect};
      int SW = wp->Width(), SH = wp->Height();
      TbsNinePart moved{
          pw.LTPoint,
          {pw.RTPoint.X + mw - SW, pw.RTPoint.Y},
          {pw.LBPoint.X, pw.LBPoint.Y + mh - SH},
          {pw.RBPoint.X + mw - SW, pw.RBPoint.Y + mh - SH},
          TRect{pw.ItemsRect.Left, pw.ItemsRect.Top, pw.ItemsRect.Right + mw - SW, pw.ItemsRect.Bottom + mh - SH}};
      TbsNinePartStretch f;
      f.LeftStretch = f.TopStretch = f.RightStretch = f.BottomStretch = true;
      f.StretchEffect = true;
      gfx::TBitmap out;
      CreateSkinImage(src, moved, &out, TbsPictureRect{wp, TRect{0, 0, SW, SH}}, mw, mh, true, f);
      p.drawImage(x0, y, gfx::BitmapToImage(out.Handle()));
      int iy = y + pw.ItemsRect.Top, iw = mw - pw.ItemsRect.Left - (SW - pw.ItemsRect.Right);
      const char* items[] = {"添加一个文件", "添加多个文件", "-", "退出"};
      for (int i = 0; i < 4; ++i) {
        if (items[i][0] == '-') {
          p.drawImage(x0 + pw.ItemsRect.Left, iy,
                      HBar(mi->ActivePictureIndex, mi->DividerRect, mi->DividerLO, mi->DividerRO, iw));
          iy += RectHeight(mi->DividerRect);
          continue;
        }
        bool act = i == 1;
        bool dis = i == 3;
        TRect look = act ? mi->ActiveSkinRect : mi->SkinRect;
        p.drawImage(x0 + pw.ItemsRect.Left, iy, HBar(mi->ActivePictureIndex, look, mi->ItemLO, mi->ItemRO, iw));
        if (i == 0) p.drawImage(x0 + pw.ItemsRect.Left + 6, iy + 4, Crop(mi->ActivePictureIndex, mi->CheckImageRect));
        if (i == 1)
          p.drawImage(x0 + pw.ItemsRect.Left + iw - 20, iy + 4, Crop(mi->ActivePictureIndex, mi->ActiveArrowImageRect));
        TColor fc = act ? mi->ActiveFontColor : dis ? mi->UnEnabledFontColor : mi->FontColor;
        Text(p, QRect(x0 + pw.ItemsRect.Left + mi->TextRct.Left, iy, iw, RectHeight(look)), items[i], Col(fc),
             Font(mi->FontName, mi->FontHeight), Qt::AlignLeft);
        iy += RectHeight(look);
      }
    }
  }
  if (gfx::TBitmap* hp = Pic(s_.HintWindow.WindowPictureIndex)) {
    auto& hw = s_.HintWindow;
    int w = 200, h = 26, SW = hp->Width(), SH = hp->Height();
    TbsNinePart src{hw.LTPoint, hw.RTPoint, hw.LBPoint, hw.RBPoint, hw.ClRect};
    TbsNinePart moved{hw.LTPoint,
                      {hw.RTPoint.X + w - SW, hw.RTPoint.Y},
                      {hw.LBPoint.X, hw.LBPoint.Y + h - SH},
                      {hw.RBPoint.X + w - SW, hw.RBPoint.Y + h - SH},
                      TRect{hw.ClRect.Left, hw.ClRect.Top, hw.ClRect.Right + w - SW, hw.ClRect.Bottom + h - SH}};
    TbsNinePartStretch f;
    f.LeftStretch = f.TopStretch = f.RightStretch = f.BottomStretch = true;
    f.StretchEffect = true;
    gfx::TBitmap out;
    CreateSkinImage(src, moved, &out, TbsPictureRect{hp, TRect{0, 0, SW, SH}}, w, h, true, f);
    p.drawImage(x0 + 200, y + 10, gfx::BitmapToImage(out.Handle()));
    Text(p, QRect(x0 + 200 + hw.ClRect.Left, y + 10, w, h), "提示：把文件拖到列表中", Col(hw.FontColor),
         Font(hw.FontName, hw.FontHeight), Qt::AlignLeft);
  }
  // Status bar along the bottom of the client area.
  if (auto* sb = Ctrl<TbsDataSkinPanelControl>("statusbar")) {
    int sh = 26;
    p.drawImage(cl.left(), cl.bottom() - sh + 1, Frame(*sb, sb->SkinRect, cl.width(), sh));
    Text(p, QRect(cl.left() + 8, cl.bottom() - sh + 1, 400, sh), "就绪  |  共 6 个文件", Col(sb->FontColor),
         Font(sb->FontName, sb->FontHeight), Qt::AlignLeft);
  }
  p.restore();
}

// Every record, each of its looks cut from its picture at twice the size.
int Sheet::Catalogue(QPainter& p, const QPoint& at, int width, bool measure) {
  static const std::set<std::string> places = {
      "clientrect",      "captionrect",       "textarea",     "checkimagearea", "trackarea",        "textrect",
      "imagerect",       "frametextrect",     "progressarea", "itemsrect",      "itemtextrect",     "itemcheckrect",
      "trackbuttonrect", "fixedcelltextrect", "celltextrect", "buttonsarea",    "rollvcaptionrect", "rollhcaptionrect"};
  auto isPlace = [&](TbsDataSkinRecord& r, const std::string& key) {
    if (places.count(key)) return true;
    if (key != "upbuttonrect" && key != "downbuttonrect" && key != "checkbuttonrect" && key != "buttonrect")
      return false;
    if (dynamic_cast<TbsDataSkinTrackBarControl*>(&r)) return false;
    if (dynamic_cast<TbsDataSkinEditControl*>(&r) || dynamic_cast<TbsDataSkinComboBox*>(&r)) return key == "buttonrect";
    return true;
  };
  QFont label = Font("WenQuanYi Micro Hei", 11);
  QFont title = Font("WenQuanYi Micro Hei", 12, true);
  int x = at.x(), y = at.y(), rowH = 0;
  auto place = [&](int w, int h) {
    if (x + w > at.x() + width) {
      x = at.x() + 150;
      y += rowH + 4;
      rowH = 0;
    }
    QPoint pt(x, y);
    x += w + 8;
    rowH = std::max(rowH, h);
    return pt;
  };
  auto record = [&](TbsDataSkinRecord& r, int pic, const std::function<int(const std::string&)>& picOf) {
    x = at.x();
    rowH = 16;
    if (!measure) Text(p, QRect(x, y, 146, 16), QString::fromStdString(r.IDName), Qt::black, title, Qt::AlignLeft);
    x = at.x() + 150;
    for (auto& [key, value] : r.ListKeys()) {
      bool look = (key.size() >= 4 && key.compare(key.size() - 4, 4, "rect") == 0) || key == "disableskinrsect";
      if (!look || isPlace(r, key)) continue;
      TRect rc = ParseRect(value);
      if (IsNullRect(rc)) continue;
      int pi = picOf(key);
      QImage img = Crop(pi, rc);
      if (img.isNull()) continue;
      // Colour-keyed glyphs are shown as they are drawn: without their key.
      img = img.convertToFormat(QImage::Format_ARGB32);
      for (int yy = 0; yy < img.height(); ++yy)
        for (int xx = 0; xx < img.width(); ++xx)
          if ((img.pixel(xx, yy) & 0xFFFFFF) == 0xFF00FF) img.setPixel(xx, yy, 0);
      int scale = (img.width() <= 48 && img.height() <= 48) ? 2 : 1;
      int w = std::max(img.width() * scale, 84), h = img.height() * scale + 13;
      QPoint pt = place(w, h);
      if (!measure) {
        p.drawImage(QRect(pt, QSize(img.width() * scale, img.height() * scale)), img);
        QString k = QString::fromStdString(key);
        k.replace("skinrect", "").replace("rect", "");
        if (k.isEmpty()) k = "normal";
        Text(p, QRect(pt.x(), pt.y() + img.height() * scale, w, 13), k, QColor(60, 60, 60), label, Qt::AlignLeft);
      }
    }
    (void)pic;
    // Records that carry colours only: a sample of their text on their background.
    std::map<std::string, std::string> keys;
    for (auto& [k, v] : r.ListKeys()) keys[k] = v;
    if (keys.count("fontcolor") && (keys.count("bgcolor") || dynamic_cast<TbsDataSkinStdLabelControl*>(&r))) {
      TColor bg = keys.count("bgcolor") ? TColor(ParseSkinInteger(keys["bgcolor"], 0)) : s_.SkinColors().cBtnFace();
      QPoint pt = place(120, 37);
      if (!measure) {
        p.fillRect(QRect(pt, QSize(120, 24)), Col(bg));
        Text(p, QRect(pt, QSize(120, 24)), "文字 Text", Col(TColor(ParseSkinInteger(keys["fontcolor"], 0))),
             Font(keys["fontname"], ParseSkinInteger(keys["fontheight"], 14)));
        if (keys.count("activefontcolor"))
          Text(p, QRect(pt + QPoint(124, 0), QSize(120, 24)), "链接 Link",
               Col(TColor(ParseSkinInteger(keys["activefontcolor"], 0))),
               Font(keys["fontname"], ParseSkinInteger(keys["fontheight"], 14)), Qt::AlignLeft);
        Text(p, QRect(pt.x(), pt.y() + 24, 120, 13), "fontcolor on bgcolor", QColor(60, 60, 60), label, Qt::AlignLeft);
      }
    }
    if (keys.count("lightcolor") && keys.count("darkcolor") && dynamic_cast<TbsDataSkinBevel*>(&r)) {
      QPoint pt = place(120, 37);
      if (!measure) {
        p.fillRect(QRect(pt, QSize(120, 24)), Col(s_.SkinColors().cBtnFace()));
        p.fillRect(QRect(pt + QPoint(4, 11), QSize(112, 1)), Col(TColor(ParseSkinInteger(keys["darkcolor"], 0))));
        p.fillRect(QRect(pt + QPoint(4, 12), QSize(112, 1)), Col(TColor(ParseSkinInteger(keys["lightcolor"], 0))));
        Text(p, QRect(pt.x(), pt.y() + 24, 120, 13), "dark and light lines", QColor(60, 60, 60), label, Qt::AlignLeft);
      }
    }
    y += rowH + 10;
  };
  for (auto& c : s_.CtrlList) {
    int pi = c->PictureIndex;
    record(*c, pi, [&](const std::string&) { return pi; });
  }
  for (auto& o : s_.ObjectList) {
    auto* obj = o.get();
    record(*o, obj->ActivePictureIndex, [&](const std::string& key) {
      return key == "skinrect" && !obj->SkinRectInAPicture ? kFormPicture : obj->ActivePictureIndex;
    });
  }
  return y - at.y();
}

}  // namespace

int skintool::ContactSheet(const std::string& skinPath, const std::string& out) {
  // Text needs the font database, which needs an application object.
  std::unique_ptr<QGuiApplication> app;
  static int argc = 1;
  static char name[] = "skintool";
  static char* argv[] = {name, nullptr};
  if (!QGuiApplication::instance()) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  auto storeOwned = MakeOwned<TbsSkinData>();
  TbsSkinData& store = *storeOwned;
  LoadSkin(store, skinPath);
  if (!store.FPicture || store.FPicture->Empty()) throw rtl::Exception("the skin has no form picture");
  Sheet sheet(store);
  const int catW = 900, margin = 16;
  QImage probe(10, 10, QImage::Format_ARGB32);
  QPainter mp(&probe);
  int catH = sheet.Catalogue(mp, QPoint(0, 0), catW, true);
  mp.end();
  int W = margin + 640 + margin + catW + margin, H = std::max(480 + 60, catH + 60) + margin;
  QImage img(W, H, QImage::Format_ARGB32);
  img.fill(QColor(250, 250, 250));
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  QString head = QString::fromStdString(store.SkinName + "  —  " + skinPath);
  Sheet::Text(p, QRect(margin, 8, W, 24), head, Qt::black, Sheet::Font("WenQuanYi Micro Hei", 16, true), Qt::AlignLeft);
  sheet.Window(p, QPoint(margin, 44));
  sheet.Catalogue(p, QPoint(margin + 640 + margin, 44), catW, false);
  p.end();
  if (!img.save(QString::fromStdString(out), "PNG")) throw rtl::Exception(out + ": cannot write the PNG");
  std::cout << "contact sheet of " << store.SkinName << ": " << store.CtrlList.size() << " control and "
            << store.ObjectList.size() << " object records, " << W << "x" << H << "\n";
  return 0;
}
