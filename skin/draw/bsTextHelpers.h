// Text helpers of the skinned controls on the platform's DrawText: drawing
// with format flags, measuring, shortening with "...", single-line and
// vertically centred drawing. Strings are UTF-8 (the wide calls of the
// platform take them as they are); shortening removes whole characters.
#pragma once

#include <string>

#include "platform/gfx/canvas.h"
#include "platform/gfx/text.h"
#include "platform/rtl/geom.h"

namespace skin {

using rtl::TRect;

// DrawTextW on the canvas's DC with the DT_ flags; returns the text height.
// With DT_CALCRECT only R's Right and Bottom change.
int WideDrawText(gfx::TCanvas* Canvas, const std::string& S, TRect& R, unsigned Flags);
// The extent DT_CALCRECT computes from an empty rectangle.
int WideTextWidth(gfx::TCanvas* Canvas, const std::string& S);
int WideTextHeight(gfx::TCanvas* Canvas, const std::string& S);
// Unchanged when S fits W; otherwise the longest prefix that fits together
// with "...", followed by "..." (or "..." alone). Widths by WideTextWidth.
void FitWideTextToWidth(gfx::TCanvas* Canvas, std::string& S, int W);
// The same with the canvas's TextWidth.
void FitTextToWidth(gfx::TCanvas* Canvas, std::string& S, int W);
// Nothing for an empty S; else one line centred vertically in R.
void DrawSingleLineText(gfx::TCanvas* Canvas, const std::string& S, TRect R);
// Nothing for an empty S; else TextRect in R at X = R.Left + 2, vertically
// centred by the text height (integer halves).
void DrawTextVCenter(gfx::TCanvas* Canvas, const std::string& S, const TRect& R);
void DrawTextVCenterOffset(gfx::TCanvas* Canvas, const std::string& S, const TRect& R, int Offset);

}  // namespace skin
