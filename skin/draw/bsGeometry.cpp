#include "skin/draw/bsGeometry.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/rtl/clock.h"
#include "skin/draw/bsPixelRoutines.h"
#include "platform/win/layered.h"
#include "platform/win/window.h"

namespace skin {

int RectWidth(const TRect& R) { return R.Right - R.Left; }
int RectHeight(const TRect& R) { return R.Bottom - R.Top; }

bool IsNullRect(const TRect& R) { return RectWidth(R) <= 0 || RectHeight(R) <= 0; }

void SetNullRect(TRect& R) { R = TRect(0, 0, 0, 0); }

bool SameRect(const TRect& A, const TRect& B) {
  return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}

bool IsNullPoint(const TPoint& P) { return P.X == 0 || P.Y == 0; }

bool PointInRectHalfOpen(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

bool RectContainsPoint(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom;
}

bool RectInRect(const TRect& A, const TRect& B) {
  return PointInRectHalfOpen(B, TPoint(A.Left, A.Top)) && PointInRectHalfOpen(B, TPoint(A.Right, A.Bottom));
}

bool RectOverlapsVert(const TRect& A, const TRect& B) {
  return PointInRectHalfOpen(B, TPoint(B.Left + 1, A.Top)) || PointInRectHalfOpen(B, TPoint(B.Right - 1, A.Bottom));
}

int IntMax(int A, int B) { return A > B ? A : B; }
int IntMin(int A, int B) { return A < B ? A : B; }

TbsWindowsVersion GetWindowsVersion() { return {6, 1}; }

bool IsVistaOrLaterVersion(TbsWindowsVersion V) { return V.Major >= 6; }
// 5.2 gives false; only the exact 5.1 and any major version above 5 pass.
bool IsXPOrLaterVersion(TbsWindowsVersion V) { return V.Major > 5 || (V.Major == 5 && V.Minor == 1); }
bool Is2000OrLaterVersion(TbsWindowsVersion V) { return V.Major > 5 || (V.Major == 5 && V.Minor >= 0 && V.Minor <= 2); }

bool IsWindowsVistaOrLater() { return IsVistaOrLaterVersion(GetWindowsVersion()); }
bool IsWindowsXPOrLater() { return IsXPOrLaterVersion(GetWindowsVersion()); }
// "2000 or later" is what gates layered windows: here it holds while a
// compositor can show them. Without one a glow or layered border would be a
// hard opaque shape, so those effects stay off, as on older systems.
bool IsWindows2000OrLater() { return Is2000OrLaterVersion(GetWindowsVersion()) && win::LayeredWindowsAvailable(); }

void SetWindowAlpha(win::HWND Handle, uint8_t Alpha) {
  if (OptionalFunctions.SetLayeredWindowAttributes)
    OptionalFunctions.SetLayeredWindowAttributes(Handle, 0, Alpha, win::LWA_ALPHA);
}

void FadeInWindowAlpha(win::HWND Handle, int Target, int Step, int IntervalMs, bool FirstAtOnce,
                       const std::function<bool()>& Idle, const std::function<void()>& BeforeStep) {
  Target = std::clamp(Target, 0, 255);
  Step = std::max(1, Step);
  using Real = std::chrono::steady_clock;
  int64_t lastClock = rtl::CurrentClock().NowMs();
  Real::time_point lastReal = Real::now();
  auto passed = [&] {
    int64_t byClock = rtl::CurrentClock().NowMs() - lastClock;
    int64_t byReal = std::chrono::duration_cast<std::chrono::milliseconds>(Real::now() - lastReal).count();
    return std::max(byClock, byReal);
  };
  int alpha = 0;
  bool first = FirstAtOnce;
  while (alpha < Target) {
    if (first || passed() > IntervalMs) {
      first = false;
      lastClock = rtl::CurrentClock().NowMs();
      lastReal = Real::now();
      alpha = std::min(Target, alpha + Step);
      if (BeforeStep) BeforeStep();
      if (!win::IsWindow(Handle)) return;
      SetWindowAlpha(Handle, uint8_t(alpha));
    }
    if (Idle && !Idle()) break;
    if (alpha < Target) std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  if (win::IsWindow(Handle)) SetWindowAlpha(Handle, uint8_t(Target));
}

void DrawRadioGlyph(gfx::TCanvas* C, int X, int Y, gfx::TColor Color) {
  C->Pen()->SetColor(Color);
  C->Brush()->SetColor(Color);
  C->Rectangle(X, Y, X + 6, Y + 6);
}

void DrawCheckGlyph(gfx::TCanvas* C, int X, int Y, gfx::TColor Color) {
  C->Pen()->SetColor(Color);
  for (int i = 0; i <= 2; ++i) {
    C->MoveTo(X, Y + 5 - i);
    C->LineTo(X + 2, Y + 7 - i);
    C->LineTo(X + 7, Y + 2 - i);
  }
}

}  // namespace skin
