// The caret: one per UI thread, drawn by inverting its rectangle in the
// owner's client area, blinking on the injected clock. It is taken off the
// image while its owner paints and put back afterwards.
#pragma once

#include "platform/win/handles.h"

namespace win {

// `bitmap` is accepted for the signature's sake; the caret is always solid.
BOOL CreateCaret(HWND hwnd, gfx::HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* p);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);
// True while the caret's pixels are inverted on screen (for tests).
bool CaretDrawn();
// The caret's rectangle in the window coordinates of `topLevel`, when the
// caret's owner lies in it: where an input method places its candidates.
bool CaretRectInTop(HWND topLevel, TRect* r);

}  // namespace win
