#include "skin/draw/bsPixelRoutines.h"

#include <cstring>

namespace skin {

void BlendLine(const TbsColor* Src, TbsColor* Dst, int Count) {
  for (int i = 0; i < Count; ++i) {
    TbsColor s = Src[i];
    uint32_t a = s >> 24;
    if (a == 0) continue;
    if (a == 255) {
      Dst[i] = s;
      continue;
    }
    // The alpha channel blends towards a itself, so s's alpha byte is the weight too.
    TbsColor d = Dst[i], out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
      out |= ((sc * a + dc * (256 - a)) >> 8) << shift;
    }
    Dst[i] = out;
  }
}

void KeyedCopyLine(const TbsColor* Src, TbsColor* Dst, int Count) {
  for (int i = 0; i < Count; ++i) {
    TbsColor s = Src[i];
    if ((s & 0xFFFFFF) == ColorKey) continue;
    Dst[i] = s | 0xFF000000u;
  }
}

void MoveLine(const TbsColor* Src, TbsColor* Dst, int Count) {
  if (Count <= 0 || Src == Dst) return;
  std::memmove(Dst, Src, size_t(Count) * sizeof(TbsColor));
}

void SetAlphaLine(TbsColor* Bits, int Count, uint8_t Alpha) {
  TbsColor a = TbsColor(Alpha) << 24;
  for (int i = 0; i < Count; ++i) Bits[i] = (Bits[i] & 0xFFFFFF) | a;
}

const TbsPixelRoutines PixelRoutines{BlendLine, KeyedCopyLine, MoveLine, SetAlphaLine};

void ClampRGB(int& R, int& G, int& B) {
  auto clamp = [](int& v) { v = v > 255 ? 255 : v < 0 ? 0 : v; };
  clamp(R);
  clamp(G);
  clamp(B);
}

}  // namespace skin
