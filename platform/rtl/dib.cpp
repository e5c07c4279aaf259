#include "platform/rtl/dib.h"

#include <cstring>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

namespace rtl {

Dib::Dib(int width, int height, int bpp) { SetSize(width, height, bpp); }

Dib::Dib(const Dib& other) { CopyFrom(other); }

Dib& Dib::operator=(const Dib& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

Dib::Dib(Dib&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      bpp_(other.bpp_),
      stride_(other.stride_),
      bits_(std::move(other.bits_)) {
  other.width_ = other.height_ = other.stride_ = 0;
  other.bits_.clear();
}

Dib& Dib::operator=(Dib&& other) noexcept {
  if (this != &other) {
    width_ = other.width_;
    height_ = other.height_;
    bpp_ = other.bpp_;
    stride_ = other.stride_;
    bits_ = std::move(other.bits_);
    other.width_ = other.height_ = other.stride_ = 0;
    other.bits_.clear();
  }
  return *this;
}

void Dib::SetSize(int width, int height, int bpp) {
  if (bpp != 24 && bpp != 32) throw EInvalidGraphic(Format("Unsupported bit depth %d", bpp));
  if (width < 0 || height < 0) throw EInvalidGraphic(Format("Invalid bitmap size %dx%d", width, height));
  if (width == 0 || height == 0) width = height = 0;
  // Guard the stride and size arithmetic against overflow.
  if (width > (std::numeric_limits<int>::max() - 3) / 4 ||
      (height > 0 && static_cast<std::size_t>(StrideFor(width, bpp)) >
                         std::numeric_limits<std::size_t>::max() / static_cast<std::size_t>(height)))
    throw EInvalidGraphic(Format("Invalid bitmap size %dx%d", width, height));
  width_ = width;
  height_ = height;
  bpp_ = bpp;
  stride_ = StrideFor(width, bpp);
  std::size_t size = static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height);
  if (bits_.size() != size)
    bits_.assign(size, 0);
  else if (size)
    std::memset(bits_.data(), 0, size);
}

std::uint8_t* Dib::ScanLine(int y) {
  if (y < 0 || y >= height_) throw EInvalidGraphic(Format("Scan line index out of range (%d)", y));
  return bits_.data() + static_cast<std::size_t>(y) * stride_;
}

const std::uint8_t* Dib::ScanLine(int y) const { return const_cast<Dib*>(this)->ScanLine(y); }

void Dib::Fill(std::uint32_t color) {
  const std::uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  const int bytes = bpp_ / 8;
  for (int y = 0; y < height_; ++y) {
    std::uint8_t* p = bits_.data() + static_cast<std::size_t>(y) * stride_;
    for (int x = 0; x < width_; ++x, p += bytes) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
      if (bytes == 4) p[3] = 255;
    }
  }
}

void Dib::CopyFrom(const Dib& src) {
  if (&src == this) return;
  width_ = src.width_;
  height_ = src.height_;
  bpp_ = src.bpp_;
  stride_ = src.stride_;
  bits_ = src.bits_;
}

}  // namespace rtl
