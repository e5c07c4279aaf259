// A device-independent bitmap in memory: top-down rows, 24-bit BGR or 32-bit
// BGRA pixels, each row padded to a multiple of 4 bytes
// (stride = (width * bpp / 8 + 3) & ~3). 0 x 0 is the empty bitmap. Lock and
// Unlock serialise a producer thread with a consumer drawing from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace rtl {

class Dib {
 public:
  Dib() = default;
  // Zero-filled. Raises EInvalidGraphic for a negative size or a bpp other than 24 or 32.
  Dib(int width, int height, int bpp = 24);
  Dib(const Dib& other);
  Dib& operator=(const Dib& other);
  Dib(Dib&& other) noexcept;
  Dib& operator=(Dib&& other) noexcept;

  // Re-sizes and zero-fills (keeps the memory when the byte size is unchanged).
  void SetSize(int width, int height, int bpp = 24);
  void Clear() { SetSize(0, 0, bpp_); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Bpp() const { return bpp_; }
  int Stride() const { return stride_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::size_t SizeBytes() const { return bits_.size(); }
  std::uint8_t* Bits() { return bits_.data(); }
  const std::uint8_t* Bits() const { return bits_.data(); }

  // Row y from the top; raises EInvalidGraphic when y is out of range.
  std::uint8_t* ScanLine(int y);
  const std::uint8_t* ScanLine(int y) const;

  // Fills with a TColor value (0x00BBGGRR: red in the low byte); 32-bit
  // pixels get alpha 255.
  void Fill(std::uint32_t color);
  // Becomes a copy of src (size, depth and pixels).
  void CopyFrom(const Dib& src);

  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }
  bool TryLock() { return lock_.try_lock(); }
  void lock() { lock_.lock(); }
  void unlock() { lock_.unlock(); }

  static int StrideFor(int width, int bpp) { return (width * (bpp / 8) + 3) & ~3; }

 private:
  int width_ = 0;
  int height_ = 0;
  int bpp_ = 24;
  int stride_ = 0;
  std::vector<std::uint8_t> bits_;
  std::recursive_mutex lock_;
};

}  // namespace rtl
