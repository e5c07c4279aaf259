// The per-line pixel routines every skin bitmap draw goes through, the
// processor test that picks the blend line, the system functions bound at
// start-up, and the channel clamp of the effect filters.
//
// Two blend lines exist: the MMX weighting by 256 - a (d := (s * a + d *
// (256 - a)) >> 8 for blue, green, red and alpha, the alpha channel blending
// towards a itself), chosen on every processor that reports MMX, and the
// plain weighting by 255 - a (colour only, alpha set to 255) for the others.
// Both are portable code; the compiler may vectorise the loops.
#pragma once

#include <cstdint>

#include "platform/gfx/raster.h"
#include "platform/win/layered.h"
#include "platform/win/metrics.h"

namespace skin {

// 0xAARRGGBB, stored blue, green, red, alpha; not premultiplied.
using TbsColor = uint32_t;
using PbsColorArray = TbsColor*;

// The transparent colour of keyed drawing (red 0x7F, green 0, blue 0x7F),
// compared on the low 24 bits only.
constexpr TbsColor ColorKey = 0x7F007F;

// Alpha 0: the destination stays; 255: it becomes the source; otherwise each
// of the four channels blends by 256 - a (the MMX line).
void BlendLine(const TbsColor* Src, TbsColor* Dst, int Count);
// The same ends; otherwise red, green and blue blend by 255 - a and the
// destination alpha becomes 255.
void PlainBlendLine(const TbsColor* Src, TbsColor* Dst, int Count);
// Pixels equal to ColorKey in their colour bytes are skipped; the others are
// copied with alpha 0xFF.
void KeyedCopyLine(const TbsColor* Src, TbsColor* Dst, int Count);
// Copies Count pixels (overlapping lines copy as if through a buffer).
void MoveLine(const TbsColor* Src, TbsColor* Dst, int Count);
void SetAlphaLine(TbsColor* Bits, int Count, uint8_t Alpha);

using TbsLineRoutine = void (*)(const TbsColor* Src, TbsColor* Dst, int Count);
using TbsSetAlphaRoutine = void (*)(TbsColor* Bits, int Count, uint8_t Alpha);

// The routines by role, filled once; the skin bitmap calls every per-line
// operation through this table.
struct TbsPixelRoutines {
  TbsLineRoutine Blend;
  TbsLineRoutine KeyedCopy;
  TbsLineRoutine Move;
  TbsSetAlphaRoutine SetAlpha;
};
extern const TbsPixelRoutines PixelRoutines;

// Each value above 255 becomes 255, each below 0 becomes 0.
void ClampRGB(int& R, int& G, int& B);

// ---- processor test, answered from CPUID where the processor has it (x86);
// elsewhere there is no CPUID, so no MMX.
bool IsCPUIDPresent();
int GetCPUSignature();  // EAX of leaf 1
int GetCPUFeatures();   // EDX of leaf 1
bool IsMMXPresent();
// MMX needs a processor above family 4 with the MMX feature bit (23).
bool MMXFromCPUID(bool CPUIDPresent, int Signature, int Features);
// The blend line for a processor with or without MMX.
TbsLineRoutine BlendLineFor(bool MMX);
// Clears the MMX state when the MMX flag is set. The blend lines use no MMX
// registers, so this only keeps the rule that floating-point work after a
// blend starts from a clean state.
void EndMMX();

// ---- optional system functions, bound once at start-up from what the
// platform layer offers; an entry the layer lacks stays null and its callers
// fall back. GetScrollBarInfo has no counterpart in the layer.
struct TbsOptionalFunctions {
  win::HMONITOR (*MonitorFromWindow)(win::HWND, win::DWORD);
  win::BOOL (*GetMonitorInfo)(win::HMONITOR, win::MONITORINFO*);
  void* GetScrollBarInfo;
  win::BOOL (*SetLayeredWindowAttributes)(win::HWND, gfx::COLORREF, uint8_t, win::DWORD);
  win::BOOL (*UpdateLayeredWindow)(win::HWND, gfx::HDC, win::POINT*, gfx::SIZE*, gfx::HDC, win::POINT*, gfx::COLORREF,
                                   const gfx::BLENDFUNCTION*, win::DWORD);
  gfx::BOOL (*TransparentBlt)(gfx::HDC, int, int, int, int, gfx::HDC, int, int, int, int, gfx::UINT);
};
// Written at start-up; tests may clear an entry to see the fallback.
extern TbsOptionalFunctions OptionalFunctions;
bool IsTransparentBltAvailable();
// The wide-text paths hold on every platform the layer runs on.
bool IsNTPlatform();

}  // namespace skin
