// Fuzzes the picture-file loader: the first byte picks the file extension
// (and so the reader), the rest is the file. Any failure must be an
// rtl::Exception.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/gfx/graphics.h"
#include "platform/rtl/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const char* const kExts[] = {".bmp", ".dib", ".ico", ".png", ".jpg", ".gif"};
  static const std::string base = "/tmp/picture_fuzz." + std::to_string(getpid());
  const std::string file = base + kExts[data[0] % 6];
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
  }
  gfx::TPicture pic;
  try {
    pic.LoadFromFile(file);
  } catch (const rtl::Exception&) {
  }
  std::remove(file.c_str());
  return 0;
}
