#include "platform/gfx/bmp.h"

#include "platform/rtl/exceptions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace gfx::bmp {

namespace {

[[noreturn]] void Bad(const char* why) { throw rtl::EInvalidGraphic(std::string("Invalid bitmap: ") + why); }

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
int32_t S32(const uint8_t* p) { return int32_t(U32(p)); }

void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

int StrideOf(int w, int bpp) { return int(((int64_t(w) * bpp + 31) / 32) * 4); }

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiAlphaBitfields = 6;

struct Header {
  uint32_t headerSize = 0;
  int width = 0, height = 0;
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = 0;
  uint32_t imageSize = 0;
  uint32_t clrUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  bool hasMasks = false;
  size_t paletteOffset = 0;  // from the start of the file image
  size_t paletteEntrySize = 4;
  size_t paletteCount = 0;
};

bool HasFields(const Header& h) { return h.compression == kBiBitfields || h.compression == kBiAlphaBitfields; }

Header ParseHeader(const uint8_t* data, size_t size) {
  if (size < 14 + 12) Bad("file too short");
  if (data[0] != 'B' || data[1] != 'M') Bad("no BM signature");
  Header h;
  const uint8_t* p = data + 14;
  h.headerSize = U32(p);
  if (h.headerSize == 12) {
    h.width = U16(p + 4);
    int hh = int16_t(U16(p + 6));
    h.height = hh;
    h.bpp = U16(p + 10);
    h.paletteEntrySize = 3;
  } else if (h.headerSize == 40 || h.headerSize == 52 || h.headerSize == 56 || h.headerSize == 64 ||
             h.headerSize == 108 || h.headerSize == 124) {
    if (size < 14 + 40) Bad("truncated header");
    h.width = S32(p + 4);
    h.height = S32(p + 8);
    h.bpp = U16(p + 14);
    h.compression = U32(p + 16);
    h.imageSize = U32(p + 20);
    h.clrUsed = U32(p + 32);
    if (h.headerSize >= 52) {
      if (size < 14 + 56) Bad("truncated header");
      h.masks[0] = U32(p + 40);
      h.masks[1] = U32(p + 44);
      h.masks[2] = U32(p + 48);
      if (h.headerSize >= 56) h.masks[3] = U32(p + 52);
      h.hasMasks = true;
    }
  } else {
    Bad("unknown header size");
  }
  if (h.height == INT32_MIN) Bad("bad dimensions");  // has no positive counterpart
  if (h.height < 0) {
    h.topDown = true;
    h.height = -h.height;
  }
  if (h.width <= 0 || h.height <= 0) Bad("bad dimensions");
  if (uint64_t(h.width) * uint64_t(h.height) > kMaxPixels) Bad("image too large");
  if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32) Bad("bad bit count");
  switch (h.compression) {
    case kBiRgb:
      break;
    case kBiRle8:
      if (h.bpp != 8) Bad("RLE8 needs 8 bpp");
      break;
    case kBiRle4:
      if (h.bpp != 4) Bad("RLE4 needs 4 bpp");
      break;
    case kBiBitfields:
    case kBiAlphaBitfields:
      if (h.bpp != 16 && h.bpp != 32) Bad("bit fields need 16 or 32 bpp");
      break;
    default:
      Bad("unsupported compression");
  }
  size_t after = 14 + h.headerSize;
  if (HasFields(h) && h.headerSize == 40) {
    size_t n = h.compression == kBiAlphaBitfields ? 4 : 3;
    if (size < after + n * 4) Bad("truncated bit fields");
    for (size_t i = 0; i < n; ++i) h.masks[i] = U32(data + after + i * 4);
    h.hasMasks = true;
    after += n * 4;
  }
  h.paletteOffset = after;
  if (h.bpp <= 8) {
    size_t full = size_t(1) << h.bpp;
    h.paletteCount = (h.clrUsed == 0 || h.headerSize == 12) ? full : std::min<size_t>(h.clrUsed, full);
  } else {
    // Palettes of true-colour images are only hints; skipped.
    h.paletteCount = 0;
  }
  return h;
}

size_t PixelBytes(const Header& h) {
  if (h.compression == kBiRle4 || h.compression == kBiRle8) return h.imageSize;
  return size_t(StrideOf(h.width, h.bpp)) * size_t(h.height);
}

int MaskShift(uint32_t m) {
  int s = 0;
  if (!m) return 0;
  while (!(m & 1)) {
    m >>= 1;
    ++s;
  }
  return s;
}
int MaskBits(uint32_t m) {
  int b = 0;
  m >>= MaskShift(m);
  while (m & 1) {
    m >>= 1;
    ++b;
  }
  return b;
}
uint8_t Extract(uint32_t v, uint32_t m) {
  if (!m) return 0;
  int sh = MaskShift(m), bits = MaskBits(m);
  uint32_t x = (v & m) >> sh;
  if (bits >= 8) return uint8_t(x >> (bits - 8));
  // Scale up to 8 bits.
  uint32_t maxv = (1u << bits) - 1;
  return uint8_t((x * 255 + maxv / 2) / maxv);
}

// Whether the stored pixels differ from the decoded ones: 16-bit pixels, and
// 32-bit ones whose bit fields are not the usual red, green and blue.
bool Converted(const Header& h) {
  return h.bpp == 16 || (h.bpp == 32 && HasFields(h) &&
                         !(h.masks[0] == 0x00FF0000 && h.masks[1] == 0x0000FF00 && h.masks[2] == 0x000000FF));
}

void DecodeRle(const Header& h, const uint8_t* src, size_t n, uint8_t* rows, size_t stride) {
  // Rows are bottom-up in RLE data (top-down RLE does not exist); pixels not
  // written stay index 0.
  int x = 0, y = h.topDown ? 0 : h.height - 1;
  int dy = h.topDown ? 1 : -1;
  size_t i = 0;
  // x never needs to pass the row end: nothing is written there, and long
  // runs of steps must not overflow it.
  auto put = [&](int idx) {
    if (x < 0 || x >= h.width || y < 0 || y >= h.height) return;
    uint8_t* row = rows + size_t(y) * stride;
    if (h.bpp == 8) {
      row[x] = uint8_t(idx);
    } else {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (idx & 0x0F)) : uint8_t((b & 0x0F) | ((idx & 0x0F) << 4));
    }
  };
  while (i + 1 < n) {
    uint8_t a = src[i], b = src[i + 1];
    i += 2;
    if (a > 0) {
      for (int k = 0; k < a; ++k) {
        int idx = h.bpp == 8 ? b : ((k & 1) ? (b & 0x0F) : (b >> 4));
        put(idx);
        x = std::min(x + 1, h.width);
      }
      continue;
    }
    if (b == 0) {  // end of line
      x = 0;
      y += dy;
    } else if (b == 1) {  // end of bitmap
      return;
    } else if (b == 2) {  // delta
      if (i + 1 >= n) return;
      x = std::min(x + src[i], h.width);
      y += dy * src[i + 1];
      i += 2;
    } else {  // absolute run of b pixels, padded to a 16-bit boundary
      int count = b;
      size_t bytes = h.bpp == 8 ? size_t(count) : size_t((count + 1) / 2);
      if (i + bytes > n) Bad("truncated RLE data");
      for (int k = 0; k < count; ++k) {
        int idx = h.bpp == 8 ? src[i + size_t(k)]
                             : ((k & 1) ? (src[i + size_t(k / 2)] & 0x0F) : (src[i + size_t(k / 2)] >> 4));
        put(idx);
        x = std::min(x + 1, h.width);
      }
      i += bytes;
      if (bytes & 1) ++i;
    }
    if (y < 0 || y >= h.height) return;
  }
}

// The file header, INFO header and palette Encode writes before the rows;
// `out` is reserved for the whole file.
void EncodeHeaders(int width, int height, int bpp, const std::vector<uint32_t>& palette, std::vector<uint8_t>& out,
                   size_t& imageBytes) {
  const int stride = StrideOf(width, bpp);
  const size_t palCount = bpp <= 8 ? (size_t(1) << bpp) : 0;
  const size_t pixOff = 14 + 40 + palCount * 4;
  imageBytes = size_t(stride) * size_t(height);
  const size_t total = pixOff + imageBytes;
  out.clear();
  out.reserve(total);
  out.push_back('B');
  out.push_back('M');
  Put32(out, uint32_t(total));
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, uint32_t(pixOff));
  Put32(out, 40);
  Put32(out, uint32_t(width));
  Put32(out, uint32_t(height));  // bottom-up
  Put16(out, 1);
  Put16(out, uint16_t(bpp));
  Put32(out, kBiRgb);
  Put32(out, uint32_t(imageBytes));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, bpp <= 8 ? uint32_t(palCount) : 0);
  Put32(out, 0);
  for (size_t i = 0; i < palCount; ++i) {
    uint32_t q = i < palette.size() ? palette[i] : 0;
    out.push_back(uint8_t(q));
    out.push_back(uint8_t(q >> 8));
    out.push_back(uint8_t(q >> 16));
    out.push_back(0);
  }
}

}  // namespace

size_t FileLength(const uint8_t* data, size_t size) {
  if (size < 14 || data[0] != 'B' || data[1] != 'M') Bad("no BM signature");
  uint32_t bfSize = U32(data + 2);
  if (bfSize != 0) {
    if (bfSize < 14 + 12) Bad("file size too small");
    return bfSize;
  }
  // Some writers leave bfSize at 0: the headers tell the length.
  Header h = ParseHeader(data, size);
  uint32_t off = U32(data + 10);
  size_t start = off ? off : h.paletteOffset + h.paletteCount * h.paletteEntrySize;
  return start + PixelBytes(h);
}

Layout ReadLayout(const uint8_t* data, size_t size, size_t fileSize) {
  Header h = ParseHeader(data, size);
  Layout l;
  l.width = h.width;
  l.height = h.height;
  l.bpp = h.bpp == 16 ? 24 : h.bpp;
  l.stride = StrideOf(h.width, l.bpp);
  if (h.bpp <= 8) {
    size_t end = h.paletteOffset + h.paletteCount * h.paletteEntrySize;
    if (end > size) Bad("truncated palette");
    l.palette.reserve(size_t(1) << h.bpp);
    for (size_t i = 0; i < h.paletteCount; ++i) {
      const uint8_t* q = data + h.paletteOffset + i * h.paletteEntrySize;
      l.palette.push_back((uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0]);
    }
    l.palette.resize(size_t(1) << h.bpp, 0);
  }
  const uint32_t off = U32(data + 10);
  const size_t pixOff = off ? off : h.paletteOffset + h.paletteCount * h.paletteEntrySize;
  if (pixOff > fileSize) Bad("pixel data beyond the end");
  const size_t avail = fileSize - pixOff;
  const bool rle = h.compression == kBiRle4 || h.compression == kBiRle8;
  const int srcStride = StrideOf(h.width, h.bpp);
  // Checked before the pixel buffer exists, so a tiny file that claims a
  // huge picture costs nothing. Run-length data describes at most one run of
  // 255 pixels per two bytes.
  const size_t rleBytes = h.imageSize ? std::min<size_t>(h.imageSize, avail) : avail;
  if (rle ? uint64_t(h.width) * uint64_t(h.height) > (uint64_t(rleBytes) / 2 + 1) * 255
          : uint64_t(srcStride) * uint64_t(h.height) > avail)
    Bad("truncated pixel data");
  l.pixelOffset = pixOff;
  const uint32_t bfSize = U32(data + 2);
  l.fileLength = bfSize ? bfSize : pixOff + PixelBytes(h);
  l.plainBottomUp = !rle && !Converted(h) && srcStride == l.stride && !h.topDown;
  if (l.plainBottomUp && pixOff <= size) {
    std::vector<uint8_t> head;
    size_t imageBytes = 0;
    EncodeHeaders(l.width, l.height, l.bpp, l.palette, head, imageBytes);
    l.encodesAlike =
        head.size() == pixOff && std::memcmp(head.data(), data, pixOff) == 0 && l.fileLength == pixOff + imageBytes;
  }
  return l;
}

void DecodePixels(const uint8_t* data, size_t size, const Layout& l, uint8_t* rows) {
  Header h = ParseHeader(data, size);
  const uint8_t* src = data + l.pixelOffset;
  const size_t avail = size - l.pixelOffset;
  const size_t stride = size_t(l.stride);
  if (h.compression == kBiRle4 || h.compression == kBiRle8) {
    // Pixels the runs skip are index 0.
    std::memset(rows, 0, stride * size_t(l.height));
    DecodeRle(h, src, h.imageSize ? std::min<size_t>(h.imageSize, avail) : avail, rows, stride);
    return;
  }
  const size_t srcStride = size_t(StrideOf(h.width, h.bpp));
  uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
  if (h.bpp == 16 && !HasFields(h)) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
    masks[3] = 0;
  }
  const bool converted = Converted(h);
  for (int y = 0; y < h.height; ++y) {
    const uint8_t* s = src + size_t(h.topDown ? y : h.height - 1 - y) * srcStride;
    uint8_t* d = rows + size_t(y) * stride;
    if (!converted) {
      // Rows taken as they are, straight into place.
      std::memcpy(d, s, std::min(srcStride, stride));
      continue;
    }
    const size_t used = size_t(h.width) * size_t(l.bpp / 8);
    std::memset(d + used, 0, stride - used);
    if (h.bpp == 16) {
      for (int x = 0; x < h.width; ++x) {
        uint32_t v = U16(s + x * 2);
        d[x * 3 + 0] = Extract(v, masks[2]);
        d[x * 3 + 1] = Extract(v, masks[1]);
        d[x * 3 + 2] = Extract(v, masks[0]);
      }
    } else {
      for (int x = 0; x < h.width; ++x) {
        uint32_t v = U32(s + x * 4);
        d[x * 4 + 0] = Extract(v, masks[2]);
        d[x * 4 + 1] = Extract(v, masks[1]);
        d[x * 4 + 2] = Extract(v, masks[0]);
        d[x * 4 + 3] = masks[3] ? Extract(v, masks[3]) : 255;
      }
    }
  }
}

Image Decode(const uint8_t* data, size_t size) {
  Layout l = ReadLayout(data, size, size);
  Image img;
  img.width = l.width;
  img.height = l.height;
  img.bpp = l.bpp;
  img.stride = l.stride;
  img.palette = std::move(l.palette);
  img.pixels.resize(size_t(img.stride) * size_t(img.height));
  DecodePixels(data, size, l, img.pixels.data());
  return img;
}

std::vector<uint8_t> Encode(const Image& img) {
  if (img.width <= 0 || img.height <= 0) Bad("empty image");
  int bpp = img.bpp;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) Bad("bad bit count");
  int stride = StrideOf(img.width, bpp);
  if (img.stride < stride || img.pixels.size() < size_t(img.stride) * size_t(img.height)) Bad("short pixel buffer");
  std::vector<uint8_t> out;
  size_t imageBytes = 0;
  EncodeHeaders(img.width, img.height, bpp, img.palette, out, imageBytes);
  for (int y = img.height - 1; y >= 0; --y) {
    const uint8_t* row = img.pixels.data() + size_t(y) * img.stride;
    out.insert(out.end(), row, row + stride);
  }
  return out;
}

}  // namespace gfx::bmp
