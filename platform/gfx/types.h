// Basic value types of the pixel layer: geometry, colours and the strong GDI
// handle types.
#pragma once

#include <cstdint>
#include <cstddef>
#include <functional>

#include "platform/rtl/geom.h"

namespace gfx {

// The runtime core's records; TRect has the 16-byte RECT layout of region data.
using rtl::TPoint;
using rtl::TRect;
using rtl::TSize;
static_assert(sizeof(TRect) == 16 && sizeof(TPoint) == 8, "TRect must match the RECT layout");

inline namespace win32api {

using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;
using LPRECT = TRect*;
using BOOL = int;
using UINT = uint32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using LONG = int32_t;
using COLORREF = uint32_t;  // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b) {
  return COLORREF(uint8_t(r)) | (COLORREF(uint8_t(g)) << 8) | (COLORREF(uint8_t(b)) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) { return uint8_t(c); }
constexpr uint8_t GetGValue(COLORREF c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(COLORREF c) { return uint8_t(c >> 16); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// GDI handles. Each is an index + generation into the object table; 0 means
// none, and a stale value fails every lookup. Distinct types, so mixing kinds
// does not compile; HGDIOBJ takes any of them (DeleteObject, GetObject).
template <int Kind>
struct GdiHandle {
  uint32_t v = 0;
  constexpr GdiHandle() = default;
  constexpr explicit GdiHandle(uint32_t value) : v(value) {}
  constexpr GdiHandle(std::nullptr_t) {}
  constexpr explicit operator bool() const { return v != 0; }
  friend constexpr bool operator==(GdiHandle, GdiHandle) = default;
};

enum class GdiKind : int { None = 0, DC = 1, Bitmap, Brush, Pen, Font, Region, Icon };

using HDC = GdiHandle<int(GdiKind::DC)>;
using HBITMAP = GdiHandle<int(GdiKind::Bitmap)>;
using HBRUSH = GdiHandle<int(GdiKind::Brush)>;
using HPEN = GdiHandle<int(GdiKind::Pen)>;
using HFONT = GdiHandle<int(GdiKind::Font)>;
using HRGN = GdiHandle<int(GdiKind::Region)>;
using HICON = GdiHandle<int(GdiKind::Icon)>;
using HCURSOR = HICON;

struct HGDIOBJ {
  uint32_t v = 0;
  constexpr HGDIOBJ() = default;
  constexpr HGDIOBJ(std::nullptr_t) {}
  constexpr explicit HGDIOBJ(uint32_t value) : v(value) {}
  template <int K>
  constexpr HGDIOBJ(GdiHandle<K> h) : v(h.v) {}
  template <int K>
  constexpr explicit operator GdiHandle<K>() const {
    return GdiHandle<K>(v);
  }
  constexpr explicit operator bool() const { return v != 0; }
  friend constexpr bool operator==(HGDIOBJ, HGDIOBJ) = default;
};

}  // namespace win32api
}  // namespace gfx

template <int K>
struct std::hash<gfx::GdiHandle<K>> {
  size_t operator()(gfx::GdiHandle<K> h) const noexcept { return std::hash<uint32_t>()(h.v); }
};
