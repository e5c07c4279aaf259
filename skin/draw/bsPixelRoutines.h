// The per-line pixel routines every skin bitmap draw goes through, and the
// channel clamp of the effect filters.
//
// One portable blend serves every processor: the weighting by 256 - a that
// x86 machines always ran (d := (s * a + d * (256 - a)) >> 8 for blue, green,
// red and alpha, the alpha channel blending towards a itself). The compiler
// may vectorise the loops; the results are the same.
#pragma once

#include <cstdint>

namespace skin {

// 0xAARRGGBB, stored blue, green, red, alpha; not premultiplied.
using TbsColor = uint32_t;
using PbsColorArray = TbsColor*;

// The transparent colour of keyed drawing (red 0x7F, green 0, blue 0x7F),
// compared on the low 24 bits only.
constexpr TbsColor ColorKey = 0x7F007F;

// Alpha 0: the destination stays; 255: it becomes the source; otherwise each
// of the four channels blends as above.
void BlendLine(const TbsColor* Src, TbsColor* Dst, int Count);
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

}  // namespace skin
