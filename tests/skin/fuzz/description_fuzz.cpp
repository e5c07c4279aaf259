// Fuzzes the skin description reader and writer: the bytes are the
// description of a skin without pictures. A description that loads is
// written back, and what was written must load again with the same records.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "skin/data/bsSkinData.h"
#include "skin/data/bsZlibStreams.h"

namespace {
void LoadPayload(skin::TbsSkinData& store, const std::string& payload) {
  rtl::TMemoryStream src, block;
  src.WriteBuffer(payload.data(), int64_t(payload.size()));
  skin::ZlibCompressStream(src, block);
  auto stored = skin::MakeOwned<skin::TbsCompressedStoredSkin>();
  stored->SetCompressedData(std::string(static_cast<const char*>(block.Memory()), size_t(block.Size())));
  store.LoadCompressedStoredSkin(stored.get());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Version 3, three empty pictures, no active pictures, then the text.
  std::string payload("\x03\0\0\0\x01\x01\x01\0\0\0\0", 11);
  payload.append(reinterpret_cast<const char*>(data), size);
  auto storeOwned = skin::MakeOwned<skin::TbsSkinData>();
  skin::TbsSkinData& store = *storeOwned;
  try {
    LoadPayload(store, payload);
  } catch (const rtl::Exception&) {
    if (store.ChangeSkinDataProcess) std::abort();
    return 0;
  }
  if (store.Empty) return 0;
  auto written = skin::MakeOwned<skin::TbsCompressedStoredSkin>();
  written->LoadFromSkinData(store);
  auto againOwned = skin::MakeOwned<skin::TbsSkinData>();
  skin::TbsSkinData& again = *againOwned;
  again.LoadCompressedStoredSkin(written.get());  // a skin we wrote must load
  if (again.Empty || again.CtrlList.size() != store.CtrlList.size() ||
      again.ObjectList.size() != store.ObjectList.size())
    std::abort();
  return 0;
}
