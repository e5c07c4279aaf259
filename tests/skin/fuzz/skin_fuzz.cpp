// Fuzzes the skin readers. The first byte picks the entry: odd = the bytes
// are a container; even = they are a payload, compressed here first, so the
// fuzzer reaches the picture and description readers directly. Any failure
// must be an rtl::Exception and must leave the store usable.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "skin/data/bsSkinData.h"
#include "skin/data/bsZlibStreams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string in(reinterpret_cast<const char*>(data) + 1, size - 1);
  auto storeOwned = skin::MakeOwned<skin::TbsSkinData>();
  skin::TbsSkinData& store = *storeOwned;
  try {
    auto storedOwned = skin::MakeOwned<skin::TbsCompressedStoredSkin>();
    skin::TbsCompressedStoredSkin& stored = *storedOwned;
    if (data[0] & 1) {
      rtl::TStringStream src(in);
      stored.LoadFromCompressStream(src);
    } else {
      rtl::TMemoryStream payload, block;
      payload.WriteBuffer(in.data(), int64_t(in.size()));
      skin::ZlibCompressStream(payload, block);
      stored.SetCompressedData(std::string(static_cast<const char*>(block.Memory()), size_t(block.Size())));
    }
    store.LoadCompressedStoredSkin(&stored);
    if (!store.Empty) {
      auto again = skin::MakeOwned<skin::TbsCompressedStoredSkin>();
      again->LoadFromSkinData(store);
    }
  } catch (const rtl::Exception&) {
  }
  if (store.ChangeSkinDataProcess) std::abort();
  return 0;
}
