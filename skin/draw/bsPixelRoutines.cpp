#include "skin/draw/bsPixelRoutines.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#define BS_HAVE_CPUID 1
#endif

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

void PlainBlendLine(const TbsColor* Src, TbsColor* Dst, int Count) {
  for (int i = 0; i < Count; ++i) {
    TbsColor s = Src[i];
    uint32_t a = s >> 24;
    if (a == 0) continue;
    if (a == 255) {
      Dst[i] = s;
      continue;
    }
    TbsColor d = Dst[i], out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
      uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
      out |= ((sc * a + dc * (255 - a)) >> 8) << shift;
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

// ---- processor test

bool IsCPUIDPresent() {
#ifdef BS_HAVE_CPUID
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

namespace {

// EAX and EDX of CPUID leaf 1, zero without CPUID.
void CPUIDLeaf1(unsigned& Eax, unsigned& Edx) {
  Eax = Edx = 0;
#ifdef BS_HAVE_CPUID
  unsigned b = 0, c = 0;
  if (!__get_cpuid(1, &Eax, &b, &c, &Edx)) Eax = Edx = 0;
#endif
}

}  // namespace

int GetCPUSignature() {
  unsigned a, d;
  CPUIDLeaf1(a, d);
  return int(a);
}

int GetCPUFeatures() {
  unsigned a, d;
  CPUIDLeaf1(a, d);
  return int(d);
}

bool MMXFromCPUID(bool CPUIDPresent, int Signature, int Features) {
  const int family = (Signature >> 8) & 0xF;
  return CPUIDPresent && family > 4 && (unsigned(Features) & 0x800000u) != 0;
}

bool IsMMXPresent() { return MMXFromCPUID(IsCPUIDPresent(), GetCPUSignature(), GetCPUFeatures()); }

TbsLineRoutine BlendLineFor(bool MMX) { return MMX ? BlendLine : PlainBlendLine; }

namespace {
const bool MMXFlag = IsMMXPresent();
}

void EndMMX() {
#ifdef BS_HAVE_CPUID
  if (MMXFlag) __asm__ volatile("emms");
#endif
}

const TbsPixelRoutines PixelRoutines{BlendLineFor(IsMMXPresent()), KeyedCopyLine, MoveLine, SetAlphaLine};

// ---- optional system functions

TbsOptionalFunctions OptionalFunctions{
    &win::MonitorFromWindow,          &win::GetMonitorInfo,      nullptr,
    &win::SetLayeredWindowAttributes, &win::UpdateLayeredWindow, &gfx::TransparentBlt};

bool IsTransparentBltAvailable() { return OptionalFunctions.TransparentBlt != nullptr; }

bool IsNTPlatform() { return true; }

void ClampRGB(int& R, int& G, int& B) {
  auto clamp = [](int& v) { v = v > 255 ? 255 : v < 0 ? 0 : v; };
  clamp(R);
  clamp(G);
  clamp(B);
}

}  // namespace skin
