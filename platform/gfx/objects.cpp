#include "platform/gfx/objects.h"

#include <algorithm>
#include <climits>

namespace gfx::detail {

namespace {

constexpr uint32_t kIndexBits = 20;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;

struct Slot {
  std::unique_ptr<GdiObject> obj;
  uint32_t gen = 1;
};

struct Table {
  std::mutex mu;
  std::vector<Slot> entries;
  std::vector<uint32_t> freeList;
  size_t live = 0;
};

Table& T() {
  static Table* t = new Table;  // outlives static destructors that free objects
  return *t;
}

}  // namespace

uint32_t Register(std::unique_ptr<GdiObject> obj) {
  Table& t = T();
  std::lock_guard<std::mutex> g(t.mu);
  uint32_t idx;
  if (!t.freeList.empty()) {
    idx = t.freeList.back();
    t.freeList.pop_back();
  } else {
    if (t.entries.size() >= kIndexMask) return 0;
    idx = uint32_t(t.entries.size());
    t.entries.emplace_back();
  }
  Slot& s = t.entries[idx];
  uint32_t h = (s.gen << kIndexBits) | (idx + 1);
  obj->handle = h;
  if (!obj->stock) ++t.live;
  s.obj = std::move(obj);
  return h;
}

GdiObject* Lookup(uint32_t handle, GdiKind kind) {
  if (handle == 0) return nullptr;
  Table& t = T();
  std::lock_guard<std::mutex> g(t.mu);
  uint32_t idx = (handle & kIndexMask) - 1;
  if ((handle & kIndexMask) == 0 || idx >= t.entries.size()) return nullptr;
  Slot& s = t.entries[idx];
  if (!s.obj || s.gen != (handle >> kIndexBits)) return nullptr;
  if (kind != GdiKind::None && s.obj->kind != kind) return nullptr;
  return s.obj.get();
}

bool Destroy(uint32_t handle) {
  std::unique_ptr<GdiObject> doomed;
  {
    Table& t = T();
    std::lock_guard<std::mutex> g(t.mu);
    uint32_t idx = (handle & kIndexMask) - 1;
    if ((handle & kIndexMask) == 0 || idx >= t.entries.size()) return false;
    Slot& s = t.entries[idx];
    if (!s.obj || s.gen != (handle >> kIndexBits)) return false;
    doomed = std::move(s.obj);
    if (!doomed->stock) --t.live;
    s.gen = (s.gen + 1) & ((1u << (32 - kIndexBits)) - 1);
    if (s.gen == 0) s.gen = 1;
    t.freeList.push_back(idx);
  }
  return true;
}

void MarkStock(uint32_t handle) {
  Table& t = T();
  std::lock_guard<std::mutex> g(t.mu);
  uint32_t idx = (handle & kIndexMask) - 1;
  if ((handle & kIndexMask) == 0 || idx >= t.entries.size()) return;
  Slot& s = t.entries[idx];
  if (!s.obj || s.gen != (handle >> kIndexBits) || s.obj->stock) return;
  s.obj->stock = true;
  --t.live;
}

size_t LiveCount() {
  Table& t = T();
  std::lock_guard<std::mutex> g(t.mu);
  return t.live;
}

void BitmapObj::MarkDirty(const TRect& r) {
  ++changes;
  TRect c(std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width), std::min(r.Bottom, height));
  if (c.Right <= c.Left || c.Bottom <= c.Top) return;
  if (dirty.Right <= dirty.Left || dirty.Bottom <= dirty.Top) {
    dirty = c;
  } else {
    dirty = TRect(std::min(dirty.Left, c.Left), std::min(dirty.Top, c.Top), std::max(dirty.Right, c.Right),
                  std::max(dirty.Bottom, c.Bottom));
  }
}

static COLORREF QuadToRef(uint32_t q) {
  // RGBQUAD as 0x00RRGGBB -> COLORREF 0x00BBGGRR
  return ((q >> 16) & 0xFF) | (q & 0xFF00) | ((q & 0xFF) << 16);
}

COLORREF BitmapObj::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  const uint8_t* row = Row(y);
  switch (bpp) {
    case 32:
    case 24: {
      const uint8_t* p = row + x * (bpp / 8);
      return RGB(p[2], p[1], p[0]);
    }
    case 8: {
      uint8_t i = row[x];
      return i < palette.size() ? QuadToRef(palette[i]) : 0;
    }
    case 4: {
      uint8_t i = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
      return i < palette.size() ? QuadToRef(palette[i]) : 0;
    }
    case 1: {
      uint8_t i = (row[x >> 3] >> (7 - (x & 7))) & 1;
      if (i < palette.size()) return QuadToRef(palette[i]);
      return i ? 0xFFFFFF : 0;
    }
    default:
      return 0;
  }
}

int BitmapObj::NearestIndex(COLORREF c) const {
  int best = 0;
  int bestD = INT_MAX;
  int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  for (size_t i = 0; i < palette.size(); ++i) {
    uint32_t q = palette[i];
    int dr = int((q >> 16) & 0xFF) - r, dg = int((q >> 8) & 0xFF) - g, db = int(q & 0xFF) - b;
    int d = dr * dr + dg * dg + db * db;
    if (d < bestD) {
      bestD = d;
      best = int(i);
      if (d == 0) break;
    }
  }
  if (palette.empty() && bpp == 1) return (r + g + b) >= 384 ? 1 : 0;
  return best;
}

void BitmapObj::PutPixel(int x, int y, COLORREF c) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  uint8_t* row = Row(y);
  switch (bpp) {
    case 32: {
      uint8_t* p = row + x * 4;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
      p[3] = 255;
      break;
    }
    case 24: {
      uint8_t* p = row + x * 3;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
      break;
    }
    case 8:
      row[x] = uint8_t(NearestIndex(c));
      break;
    case 4: {
      uint8_t i = uint8_t(NearestIndex(c));
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | i) : uint8_t((b & 0x0F) | (i << 4));
      break;
    }
    case 1: {
      uint8_t bit = uint8_t(0x80 >> (x & 7));
      if (NearestIndex(c))
        row[x >> 3] |= bit;
      else
        row[x >> 3] &= uint8_t(~bit);
      break;
    }
    default:
      break;
  }
}

}  // namespace gfx::detail
