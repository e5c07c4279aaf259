// The system icons (IDI_*), drawn by the layer itself at 32x32, and
// CopyImage for icons.
#pragma once

#include "platform/gfx/types.h"

namespace gfx {

inline namespace win32api {
enum : int {
  IDI_APPLICATION = 32512,
  IDI_HAND = 32513,
  IDI_QUESTION = 32514,
  IDI_EXCLAMATION = 32515,
  IDI_ASTERISK = 32516,
  IDI_WINLOGO = 32517,
  IDI_WARNING = IDI_EXCLAMATION,
  IDI_ERROR = IDI_HAND,
  IDI_INFORMATION = IDI_ASTERISK
};
enum : UINT { LR_DEFAULTCOLOR = 0, LR_COPYRETURNORG = 4, LR_COPYDELETEORG = 8, LR_COPYFROMRESOURCE = 0x4000 };
// Shared icons: DestroyIcon leaves them alone. Unknown ids give 0.
HICON LoadIcon(const void* instance, int id);
inline HICON LoadIconW(const void* instance, int id) { return LoadIcon(instance, id); }
// A scaled copy of an icon (the caller owns it); other image kinds give 0.
HICON CopyImage(HICON image, UINT type, int cx, int cy, UINT flags);
}  // namespace win32api

}  // namespace gfx
