#include "FrameTestSkin.h"

#include <memory>

#include "skin/draw/bsGeometry.h"

namespace skin {

namespace {

constexpr TColor Rgb(int R, int G, int B) { return TColor(R | (G << 8) | (B << 16)); }

const TbsFrameTestColors kColors[2] = {
    {Rgb(40, 40, 90), Rgb(60, 110, 200), Rgb(150, 150, 160), Rgb(70, 120, 190), Rgb(80, 130, 200), Rgb(50, 90, 160),
     Rgb(235, 238, 245), Rgb(200, 60, 60), Rgb(250, 200, 60), Rgb(90, 40, 40), Rgb(210, 222, 240), Rgb(150, 185, 235),
     Rgb(60, 110, 200)},
    {Rgb(30, 70, 30), Rgb(60, 150, 80), Rgb(140, 160, 140), Rgb(70, 140, 90), Rgb(80, 150, 100), Rgb(40, 110, 60),
     Rgb(240, 245, 235), Rgb(220, 120, 40), Rgb(255, 230, 120), Rgb(120, 60, 20), Rgb(215, 235, 215),
     Rgb(160, 215, 170), Rgb(60, 150, 80)}};

void Fill(TBitmap* B, const TRect& R, TColor C) {
  B->Canvas()->Brush()->SetColor(C);
  B->Canvas()->FillRect(R);
}

std::unique_ptr<TBitmap> FormPicture(int W, int H, int CapH, const TbsFrameTestColors& C, TColor Cap) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(W, H);
  Fill(B.get(), TRect{0, 0, W, H}, C.Client);
  Fill(B.get(), TRect{0, 0, W, CapH}, Cap);
  Fill(B.get(), TRect{0, CapH, 4, H - 4}, C.Left);
  Fill(B.get(), TRect{W - 4, CapH, W, H - 4}, C.Right);
  Fill(B.get(), TRect{0, H - 4, W, H}, C.Bottom);
  // Corner marks: a dark square in each outer corner, inside the border.
  for (TRect R : {TRect{0, 0, 4, 4}, TRect{W - 4, 0, W, 4}, TRect{0, H - 4, 4, H}, TRect{W - 4, H - 4, W, H}})
    Fill(B.get(), R, C.Corner);
  return B;
}

std::unique_ptr<TBitmap> Mask(int W, int H, int Cut) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(W, H);
  Fill(B.get(), TRect{0, 0, W, H}, gfx::clBlack);
  gfx::TCanvas* C = B->Canvas();
  // Corners cut along a diagonal: x + y < Cut is outside.
  for (int y = 0; y < Cut; ++y)
    for (int x = 0; x + y < Cut; ++x) {
      C->SetPixels(x, y, gfx::clWhite);
      C->SetPixels(W - 1 - x, y, gfx::clWhite);
      C->SetPixels(x, H - 1 - y, gfx::clWhite);
      C->SetPixels(W - 1 - x, H - 1 - y, gfx::clWhite);
    }
  return B;
}

}  // namespace

const TbsFrameTestColors& FrameTestColors(int Variant) { return kColors[Variant ? 1 : 0]; }

TbsOwned<TbsSkinData> MakeFrameTestSkin(int Variant) {
  const TbsFrameTestColors& C = FrameTestColors(Variant);
  auto S = MakeOwned<TbsSkinData>(nullptr);
  const int W = 120, H = Variant ? 90 : 80, CapH = Variant ? 30 : 24, Cut = Variant ? 6 : 4;
  S->FPicture = FormPicture(W, H, CapH, C, C.Caption);
  S->FInActivePicture = FormPicture(W, H, CapH, C, C.InactiveCaption);
  S->FMask = Mask(W, H, Cut);
  // The corner pieces of the caption band hold the buttons, so the caption
  // text between them stretches and never runs under a button.
  S->LTPoint = {Variant ? 54 : 8, CapH};
  S->RTPoint = {Variant ? W - 8 : 66, CapH};
  S->LBPoint = {8, H - 8};
  S->RBPoint = {W - 8, H - 8};
  S->ClRect = {4, CapH, W - 4, H - 4};
  S->CaptionRect = Variant ? TRect{52, 2, W - 7, CapH - 2} : TRect{4, 2, 68, CapH - 2};
  S->ButtonsRect = Variant ? TRect{6, 8, 50, 22} : TRect{70, 5, W - 6, 19};
  S->CapButtonsInLeft = Variant != 0;
  S->ButtonsOffset = 2;
  S->MaskRectArea = {Cut, Cut, W - Cut, H - Cut};
  S->HitTestLTPoint = {10, 10};
  S->HitTestRTPoint = {W - 10, 10};
  S->HitTestLBPoint = {10, H - 10};
  S->HitTestRBPoint = {W - 10, H - 10};
  S->BorderW = 4;
  S->TopStretch = S->LeftStretch = S->RightStretch = S->BottomStretch = true;

  // Active picture 0: one row of looks per button (normal, hot, down), 14 x 14.
  auto Atlas = std::make_unique<TBitmap>();
  Atlas->SetSize(42, 42);
  for (int Row = 0; Row < 3; ++Row) {
    Fill(Atlas.get(), TRect{0, Row * 14, 14, Row * 14 + 14}, C.ButtonNormal);
    Fill(Atlas.get(), TRect{14, Row * 14, 28, Row * 14 + 14}, C.ButtonHot);
    Fill(Atlas.get(), TRect{28, Row * 14, 42, Row * 14 + 14}, C.ButtonDown);
    // A light mark so the three buttons differ in a screenshot: a cross for
    // close, a box for maximize, a bar for minimize.
    for (int Col = 0; Col < 3; ++Col) {
      int X = Col * 14, Y = Row * 14;
      gfx::TCanvas* AC = Atlas->Canvas();
      if (Row == 0) {
        for (int k = 4; k < 10; ++k) {
          AC->SetPixels(X + k, Y + k, gfx::clWhite);
          AC->SetPixels(X + 13 - k, Y + k, gfx::clWhite);
        }
      } else if (Row == 1) {
        Fill(Atlas.get(), TRect{X + 4, Y + 4, X + 10, Y + 6}, gfx::clWhite);
        for (int k = 6; k < 10; ++k) {
          AC->SetPixels(X + 4, Y + k, gfx::clWhite);
          AC->SetPixels(X + 9, Y + k, gfx::clWhite);
        }
        Fill(Atlas.get(), TRect{X + 4, Y + 9, X + 10, Y + 10}, gfx::clWhite);
      } else {
        Fill(Atlas.get(), TRect{X + 4, Y + 8, X + 10, Y + 10}, gfx::clWhite);
      }
    }
  }
  S->FActivePictures.push_back(std::move(Atlas));

  auto Caption = std::make_unique<TbsDataSkinCaption>("caption");
  Caption->SkinRect = S->CaptionRect;
  Caption->TextRct = {4, 0, RectWidth(S->CaptionRect) - 4, RectHeight(S->CaptionRect)};
  Caption->FontName = "Arial";
  Caption->FontHeight = 14;
  Caption->FontStyle = gfx::TFontStyles{gfx::fsBold};
  Caption->FontColor = Rgb(210, 210, 215);
  Caption->ActiveFontColor = gfx::clWhite;
  Caption->Alignment = Variant ? taCenter : taLeftJustify;
  S->ObjectList.push_back(std::move(Caption));
  const std::pair<const char*, TbsStdCommand> Buttons[] = {
      {"closebutton", cmClose}, {"maxbutton", cmMaximize}, {"minbutton", cmMinimize}};
  for (int i = 0; i < 3; ++i) {
    auto B = std::make_unique<TbsDataSkinStdButton>(Buttons[i].first);
    B->Command = Buttons[i].second;
    B->SkinRectInAPicture = true;
    B->ActivePictureIndex = 0;
    B->SkinRect = {0, i * 14, 14, i * 14 + 14};
    B->ActiveSkinRect = {14, i * 14, 28, i * 14 + 14};
    B->DownRect = {28, i * 14, 42, i * 14 + 14};
    S->ObjectList.push_back(std::move(B));
  }
  // Active picture 1: the menu bar (60 x 22) and its item looks below it
  // (normal, hot, pressed; 20 x 18 each).
  auto BarPic = std::make_unique<TBitmap>();
  BarPic->SetSize(60, 40);
  Fill(BarPic.get(), TRect{0, 0, 60, 22}, C.Bar);
  Fill(BarPic.get(), TRect{0, 21, 60, 22}, C.Bottom);
  Fill(BarPic.get(), TRect{0, 22, 20, 40}, C.Bar);
  Fill(BarPic.get(), TRect{20, 22, 40, 40}, C.ItemHot);
  Fill(BarPic.get(), TRect{40, 22, 60, 40}, C.ItemDown);
  S->FActivePictures.push_back(std::move(BarPic));
  auto Bar = std::make_unique<TbsDataSkinMainMenuBar>("mainmenubar");
  Bar->PictureIndex = 1;
  Bar->SkinRect = {0, 0, 60, 22};
  Bar->ItemsRect = {2, 2, 58, 20};
  Bar->MenuBarItem = "mainmenubaritem";
  Bar->TrackMarkColor = TColor(C.Bottom);
  S->CtrlList.push_back(std::move(Bar));
  auto Item = std::make_unique<TbsDataSkinMainMenuBarItem>("mainmenubaritem");
  Item->ActivePictureIndex = 1;
  Item->SkinRect = {0, 22, 20, 40};
  Item->ActiveSkinRect = {20, 22, 40, 40};
  Item->DownRect = {40, 22, 60, 40};
  Item->TextRct = {4, 0, 16, 18};
  Item->ItemLO = 2;
  Item->ItemRO = 2;
  Item->FontName = "Arial";
  Item->FontHeight = 14;
  Item->FontColor = gfx::clBlack;
  Item->ActiveFontColor = gfx::clBlack;
  Item->DownFontColor = gfx::clWhite;
  Item->UnEnabledFontColor = gfx::clGray;
  S->ObjectList.push_back(std::move(Item));
  S->SkinName = Variant ? "Frame Test Green" : "Frame Test Blue";
  S->Empty = false;
  return S;
}

}  // namespace skin
