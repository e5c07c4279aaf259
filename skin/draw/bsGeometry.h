// Small helpers shared by every skinned unit: rectangle and point tests with
// their own edge rules (they differ from PtInRect on purpose), integer
// min/max and the operating-system version tests.
#pragma once

#include <functional>

#include "platform/gfx/canvas.h"
#include "platform/win/handles.h"
#include "platform/rtl/geom.h"

namespace skin {

using rtl::TPoint;
using rtl::TRect;

int RectWidth(const TRect& R);
int RectHeight(const TRect& R);
// True when the width or the height is 0 or less.
bool IsNullRect(const TRect& R);
void SetNullRect(TRect& R);
bool SameRect(const TRect& A, const TRect& B);
// True when X or Y is 0 (either one suffices).
bool IsNullPoint(const TPoint& P);
// Right and bottom edges count as inside.
bool RectContainsPoint(const TRect& R, const TPoint& P);
// Both corners of A pass the platform's half-open point test for B.
bool RectInRect(const TRect& A, const TRect& B);
// The top or the bottom edge of A lies in the vertical extent of B; always
// false when B has no width.
bool RectOverlapsVert(const TRect& A, const TRect& B);

int IntMax(int A, int B);
int IntMin(int A, int B);

// The platform's point test: Left <= X < Right and Top <= Y < Bottom.
bool PointInRectHalfOpen(const TRect& R, const TPoint& P);

// Version tests. This platform offers everything the newest system the
// skinned code knows about offered (XP and Vista features), so the tests run
// on a fixed version number; IsWindows2000OrLater, the gate of layered
// windows, holds only while layered windows can be shown (a compositor runs).
struct TbsWindowsVersion {
  int Major;
  int Minor;
};
TbsWindowsVersion GetWindowsVersion();
bool IsWindowsVistaOrLater();
bool IsWindowsXPOrLater();
bool IsWindows2000OrLater();
// The rules behind the three tests, for any version number.
bool IsVistaOrLaterVersion(TbsWindowsVersion V);
bool IsXPOrLaterVersion(TbsWindowsVersion V);
bool Is2000OrLaterVersion(TbsWindowsVersion V);

// The constant opacity (0..255) of a layered window.
void SetWindowAlpha(win::HWND Handle, uint8_t Alpha);

// A fade-in of a layered window from alpha 0: each time more than IntervalMs
// have passed since the last step (the first step at once when FirstAtOnce),
// the alpha grows by Step, capped at Target, and is set (after BeforeStep,
// when given, ran). It ends when Target is reached, by time however fast or
// slow the loop passes; Target is always set last. Between checks Idle runs
// (pumping messages, say); when it answers false (the window was hidden or
// freed meanwhile) the fade ends at once, on Target while the window lives. The steps are paced by the program's clock,
// or by real time while a test clock stands still.
void FadeInWindowAlpha(win::HWND Handle, int Target, int Step, int IntervalMs, bool FirstAtOnce,
                       const std::function<bool()>& Idle = {}, const std::function<void()>& BeforeStep = {});

// Glyphs drawn when no skin picture is at hand. The platform's rectangle and
// line rules leave out the right and bottom edge and a line's end point.
// A filled 6x6 square with its top-left at X, Y.
void DrawRadioGlyph(gfx::TCanvas* C, int X, int Y, gfx::TColor Color);
// A tick three pixels thick with its top-left at X, Y.
void DrawCheckGlyph(gfx::TCanvas* C, int X, int Y, gfx::TColor Color);

}  // namespace skin
