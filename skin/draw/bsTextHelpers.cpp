#include "skin/draw/bsTextHelpers.h"

#include <functional>

namespace skin {

int WideDrawText(gfx::TCanvas* Canvas, const std::string& S, TRect& R, unsigned Flags) {
  return gfx::DrawTextW(Canvas->Handle(), std::string_view(S), -1, &R, Flags);
}

int WideTextWidth(gfx::TCanvas* Canvas, const std::string& S) {
  TRect r{0, 0, 0, 0};
  WideDrawText(Canvas, S, r, gfx::DT_CALCRECT);
  return r.Right - r.Left;
}

int WideTextHeight(gfx::TCanvas* Canvas, const std::string& S) {
  TRect r{0, 0, 0, 0};
  WideDrawText(Canvas, S, r, gfx::DT_CALCRECT);
  return r.Bottom - r.Top;
}

namespace {

void FitToWidth(std::string& S, int W, const std::function<int(const std::string&)>& Width) {
  if (Width(S) <= W) return;
  std::u32string chars = gfx::ToU32(S);
  if (!chars.empty()) chars.pop_back();
  while (!chars.empty() && Width(gfx::ToU8(chars) + "...") > W) chars.pop_back();
  S = gfx::ToU8(chars) + "...";
}

}  // namespace

void FitWideTextToWidth(gfx::TCanvas* Canvas, std::string& S, int W) {
  FitToWidth(S, W, [Canvas](const std::string& t) { return WideTextWidth(Canvas, t); });
}

void FitTextToWidth(gfx::TCanvas* Canvas, std::string& S, int W) {
  FitToWidth(S, W, [Canvas](const std::string& t) { return Canvas->TextWidth(t); });
}

void DrawSingleLineText(gfx::TCanvas* Canvas, const std::string& S, TRect R) {
  if (S.empty()) return;
  gfx::DrawTextW(Canvas->Handle(), std::string_view(S), -1, &R, gfx::DT_SINGLELINE | gfx::DT_VCENTER);
}

void DrawTextVCenterOffset(gfx::TCanvas* Canvas, const std::string& S, const TRect& R, int Offset) {
  if (S.empty()) return;
  int y = R.Top + (R.Bottom - R.Top) / 2 - Canvas->TextHeight(S) / 2;
  Canvas->TextRect(R, R.Left + Offset + 2, y, S);
}

void DrawTextVCenter(gfx::TCanvas* Canvas, const std::string& S, const TRect& R) {
  DrawTextVCenterOffset(Canvas, S, R, 0);
}

}  // namespace skin
