#include "skin/bsPlatformTypes.h"

#include <cstring>

namespace skin {

#ifdef SKIN_HAVE_GFX_GRAPHICS
TFontStyles FontStylesFromBits(unsigned Bits) { return TFontStyles::FromBits(uint8_t(Bits & 15u)); }
unsigned FontStylesToBits(TFontStyles FS) { return FS.Bits(); }
#else
TFontStyles FontStylesFromBits(unsigned Bits) { return TFontStyles{Bits & 15u}; }
unsigned FontStylesToBits(TFontStyles FS) { return FS.Bits; }

namespace {
uint32_t Le32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}
}  // namespace

void TBitmap::LoadFromStream(TStream& S) {
  char head[14];
  S.ReadBuffer(head, 14);
  if (head[0] != 'B' || head[1] != 'M') throw rtl::EInvalidGraphic("Bitmap image is not valid");
  std::string h(head, 14);
  uint32_t size = Le32(h, 2);
  if (size < 54 || int64_t(size) - 14 > S.Size() - S.Position()) throw rtl::EReadError("Stream read error");
  std::string rest(size - 14, '\0');
  S.ReadBuffer(rest.data(), int64_t(rest.size()));
  Bytes = h + rest;
}
void TBitmap::SaveToStream(TStream& S) { S.WriteBuffer(Bytes.data(), int64_t(Bytes.size())); }
void TBitmap::LoadFromFile(const std::string& FileName) {
  rtl::TFileStream f(FileName, rtl::fmOpenRead);
  LoadFromStream(f);
}
void TBitmap::SaveToFile(const std::string& FileName) { rtl::WriteFileBytes(FileName, Bytes); }
int TBitmap::Width() const { return Bytes.size() >= 26 ? int(Le32(Bytes, 18)) : 0; }
int TBitmap::Height() const { return Bytes.size() >= 26 ? int(Le32(Bytes, 22)) : 0; }
#endif

}  // namespace skin
