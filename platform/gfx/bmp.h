// The BMP codec: reads the file header with a CORE, INFO, V2-V5 header;
// 1/4/8/16/24/32 bpp; BI_RGB, BI_BITFIELDS, RLE4 and RLE8; both row
// orders. Writes BI_RGB with an INFO header, keeping bpp and palette.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gfx::bmp {

// A decoded image: rows top-down, padded to 4 bytes. 16-bit images are
// decoded to 24 bits, bit-field 32-bit images to B,G,R,A (alpha 255 unless
// the file has an alpha mask); plain 32-bit pixels keep their fourth byte.
struct Image {
  int width = 0, height = 0, bpp = 24, stride = 0;
  std::vector<uint32_t> palette;  // RGBQUAD values 0x00RRGGBB, bpp <= 8
  std::vector<uint8_t> pixels;
};

// Largest image accepted (pixels), so a lying header cannot exhaust memory.
constexpr uint64_t kMaxPixels = uint64_t(1) << 27;

// The length of the BMP file image that starts at `data` (bfSize, or the
// length computed from its headers when bfSize is 0). Throws EInvalidGraphic
// when the start is not a BMP file header.
size_t FileLength(const uint8_t* data, size_t size);
// Decodes one file image from `data[0..size)`. Throws rtl::EInvalidGraphic
// for malformed or truncated data.
Image Decode(const uint8_t* data, size_t size);

// What the headers of a file image say of its pixels; Decode in two steps,
// so that the pixels can go straight into memory the caller owns.
struct Layout {
  int width = 0, height = 0, bpp = 24, stride = 0;  // of the decoded image, as in Image
  std::vector<uint32_t> palette;                    // as in Image
  size_t pixelOffset = 0;                           // from the start of the file image
  // The stored rows are the decoded rows, bottom-up as Encode writes them,
  // the padding included.
  bool plainBottomUp = false;
  // Encode of the decoded image gives back the file image byte for byte: the
  // same headers and palette, the rows plain and bottom-up, and a file
  // length (bfSize) of exactly the headers and rows.
  bool encodesAlike = false;
  size_t fileLength = 0;  // bfSize, or the length the headers give when it is 0
};
// Reads the headers from `data[0..size)` (at least the headers and palette)
// of a file image `fileSize` bytes long and checks that its pixel data fits
// in it, before any pixel memory exists. Throws as Decode does.
Layout ReadLayout(const uint8_t* data, size_t size, size_t fileSize);
// Decodes the pixels of the file image `data[0..size)` read by ReadLayout
// into top-down rows of `layout.stride` bytes at `rows`, writing every byte
// of them; the memory need not be initialised.
void DecodePixels(const uint8_t* data, size_t size, const Layout& layout, uint8_t* rows);
// A complete BMP file (file header, INFO header, palette, bottom-up rows)
// with a correct bfSize.
std::vector<uint8_t> Encode(const Image& img);

}  // namespace gfx::bmp
