// Fuzzes the BMP codec: a file image is decoded, and a bitmap loaded from a
// stream of images back to back is written and read again. Any failure must
// be an rtl::Exception and must leave the bitmap as it was.
#include <cstdint>
#include <cstdlib>

#include "platform/gfx/bmp.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    gfx::bmp::Image img = gfx::bmp::Decode(data, size);
    if (img.pixels.size() < size_t(img.stride) * size_t(img.height)) std::abort();
  } catch (const rtl::Exception&) {
  }
  gfx::TBitmap bm;
  bm.SetSize(2, 3);
  rtl::TMemoryStream in;
  in.WriteBuffer(data, int64_t(size));
  in.SetPosition(0);
  try {
    bm.LoadFromStream(in);
  } catch (const rtl::Exception&) {
    if (bm.Width() != 2 || bm.Height() != 3) std::abort();
    return 0;
  }
  // What was read is written in a form the codec reads back unchanged in size.
  rtl::TMemoryStream out;
  bm.SaveToStream(out);
  out.SetPosition(0);
  gfx::TBitmap again;
  again.LoadFromStream(out);
  if (again.Width() != bm.Width() || again.Height() != bm.Height()) std::abort();
  return 0;
}
