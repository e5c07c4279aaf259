#include "skin/data/bsPlatformTypes.h"

#include <cstring>

namespace skin {

TFontStyles FontStylesFromBits(unsigned Bits) { return TFontStyles::FromBits(uint8_t(Bits & 15u)); }
unsigned FontStylesToBits(TFontStyles FS) { return FS.Bits(); }

}  // namespace skin
