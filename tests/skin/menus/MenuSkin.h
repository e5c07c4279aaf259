// A small skin made in memory for the menus and hints: a framed popup
// window with a mask that cuts its corners, a "menuitem" record (inactive,
// active and divider pictures, check, radio and arrow pictures, morphing),
// a "menuheader" bar and a framed HINTWINDOW. Shared by the tests and the demo.
#pragma once

#include <memory>

#include "skin/data/bsSkinData.h"

namespace menutest {

inline void FillPic(gfx::TBitmap* B, rtl::TRect R, gfx::TColor C) {
  B->Canvas()->Brush()->SetStyle(gfx::bsSolid);
  B->Canvas()->Brush()->SetColor(C);
  B->Canvas()->FillRect(R);
}

// Colours the tests look for.
constexpr gfx::TColor kFrame = 0x503010;      // window frame (BGR: dark blue)
constexpr gfx::TColor kBack = 0xF5EDE6;       // window centre
constexpr gfx::TColor kItem = 0xF8F0E8;       // inactive entry
constexpr gfx::TColor kActive = 0x3090F0;     // active entry (orange)
constexpr gfx::TColor kDivider = 0x808080;    // separator
constexpr gfx::TColor kHintFrame = 0x206020;  // hint frame
constexpr gfx::TColor kHintBack = 0xE0FFE0;   // hint centre

// Pictures: 0 window frame 24x24, 1 its mask, 2 the entry atlas 60x60, 3 the hint frame 20x20.
inline skin::TbsSkinData* MakeMenuSkin(bool Morphing = false) {
  auto* sd = new skin::TbsSkinData(nullptr);
  auto pic = [&](int w, int h) {
    sd->FActivePictures.push_back(std::make_unique<gfx::TBitmap>());
    gfx::TBitmap* b = sd->FActivePictures.back().get();
    b->SetSize(w, h);
    return b;
  };
  gfx::TBitmap* win = pic(24, 24);
  FillPic(win, {0, 0, 24, 24}, kFrame);
  FillPic(win, {3, 3, 21, 21}, kBack);
  gfx::TBitmap* mask = pic(24, 24);
  FillPic(mask, {0, 0, 24, 24}, gfx::clBlack);
  FillPic(mask, {0, 0, 2, 2}, gfx::clWhite);  // the top-left corner is cut away
  FillPic(mask, {22, 22, 24, 24}, gfx::clWhite);
  gfx::TBitmap* atlas = pic(60, 60);
  FillPic(atlas, {0, 0, 60, 60}, gfx::clFuchsia);
  FillPic(atlas, {0, 0, 40, 22}, kItem);
  FillPic(atlas, {0, 22, 40, 44}, kActive);
  FillPic(atlas, {0, 44, 40, 48}, kItem);
  FillPic(atlas, {0, 45, 40, 47}, kDivider);
  // Glyph pictures on the transparent fuchsia: check and radio 8x8, arrow 6x12.
  FillPic(atlas, {43, 3, 49, 7}, gfx::clGreen);
  FillPic(atlas, {52, 2, 56, 6}, gfx::clRed);
  FillPic(atlas, {43, 12, 46, 20}, gfx::clBlue);
  FillPic(atlas, {0, 50, 40, 60}, kHintBack);  // header bar
  FillPic(atlas, {0, 50, 40, 51}, kDivider);
  gfx::TBitmap* hint = pic(20, 20);
  FillPic(hint, {0, 0, 20, 20}, kHintFrame);
  FillPic(hint, {2, 2, 18, 18}, kHintBack);

  auto& pw = sd->PopupWindow;
  pw.WindowPictureIndex = 0;
  pw.MaskPictureIndex = 1;
  pw.LTPoint = {3, 3};
  pw.RTPoint = {21, 3};
  pw.LBPoint = {3, 21};
  pw.RBPoint = {21, 21};
  pw.ItemsRect = {3, 3, 21, 21};
  pw.ScrollMarkerColor = kDivider;
  pw.ScrollMarkerActiveColor = kActive;

  auto mi = std::make_unique<skin::TbsDataSkinMenuItem>("menuitem");
  mi->ActivePictureIndex = 2;
  mi->SkinRect = {0, 0, 40, 22};
  mi->ActiveSkinRect = {0, 22, 40, 44};
  mi->DividerRect = {0, 44, 40, 48};
  mi->ItemLO = mi->ItemRO = 2;
  mi->DividerLO = mi->DividerRO = 2;
  mi->TextRct = {4, 0, 36, 22};
  mi->FontName = "Arial";
  mi->FontHeight = 14;
  mi->FontColor = gfx::clBlack;
  mi->ActiveFontColor = gfx::clWhite;
  mi->UnEnabledFontColor = kDivider;
  mi->CheckImageRect = {42, 0, 50, 8};
  mi->RadioImageRect = {50, 0, 58, 8};
  mi->ArrowImageRect = {42, 10, 48, 22};
  mi->Morphing = Morphing;
  sd->ObjectList.push_back(std::move(mi));

  auto hdr = std::make_unique<skin::TbsDataSkinLabelControl>("menuheader");
  hdr->PictureIndex = 2;
  hdr->SkinRect = {0, 50, 40, 60};
  hdr->LTPoint = {2, 0};
  hdr->RTPoint = {38, 0};
  hdr->ClRect = {2, 0, 38, 10};
  hdr->FontName = "Arial";
  hdr->FontHeight = 10;
  hdr->FontColor = gfx::clBlack;
  sd->CtrlList.push_back(std::move(hdr));

  auto& hw = sd->HintWindow;
  hw.WindowPictureIndex = 3;
  hw.MaskPictureIndex = -1;
  hw.LTPoint = {2, 2};
  hw.RTPoint = {18, 2};
  hw.LBPoint = {2, 18};
  hw.RBPoint = {18, 18};
  hw.ClRect = {2, 2, 18, 18};
  hw.FontName = "Arial";
  hw.FontHeight = 14;
  hw.FontColor = gfx::clBlack;
  sd->Empty = false;
  return sd;
}

}  // namespace menutest
