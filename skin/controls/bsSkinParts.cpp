#include "skin/controls/bsSkinParts.h"

#include "skin/draw/bsGeometry.h"

namespace skin {

void DrawPicturePartAuto(gfx::TCanvas* C, gfx::TBitmap* Picture, const TRect& R, int X, int Y) {
  int w = RectWidth(R), h = RectHeight(R);
  if (!Picture || w <= 0 || h <= 0) return;
  gfx::TBitmap B;
  B.SetSize(w, h);
  B.Canvas()->CopyRect({0, 0, w, h}, Picture->Canvas(), R);
  B.SetTransparentMode(gfx::tmAuto);
  B.SetTransparent(true);
  C->Draw(X, Y, &B);
}

void DrawPicturePartKeyed(gfx::TCanvas* C, gfx::TBitmap* Picture, const TRect& R, int X, int Y, TColor Key) {
  int w = RectWidth(R), h = RectHeight(R);
  if (!Picture || w <= 0 || h <= 0) return;
  gfx::TBitmap B;
  B.SetSize(w, h);
  B.Canvas()->CopyRect({0, 0, w, h}, Picture->Canvas(), R);
  B.SetTransparentMode(gfx::tmFixed);
  B.SetTransparentColor(Key);
  B.SetTransparent(true);
  C->Draw(X, Y, &B);
}

void BevelStep(gfx::TCanvas* C, TRect& R, TColor A, TColor B) {
  if (R.Right <= R.Left || R.Bottom <= R.Top) return;
  C->Pen()->SetWidth(1);
  C->Pen()->SetStyle(gfx::psSolid);
  C->Pen()->SetColor(A);
  C->MoveTo(R.Left, R.Bottom - 1);
  C->LineTo(R.Left, R.Top);
  C->LineTo(R.Right - 1, R.Top);
  C->Pen()->SetColor(B);
  C->LineTo(R.Right - 1, R.Bottom - 1);
  C->LineTo(R.Left - 1, R.Bottom - 1);
  R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
}

void ApplySkinCharset(gfx::TFont* Font, TbsSkinData* SD) {
  if (SD && SD->ResourceStrData()) Font->SetCharset(gfx::TFontCharset(SD->ResourceStrData()->CharSet()));
}

}  // namespace skin
