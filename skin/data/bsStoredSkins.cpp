#include "skin/data/bsStoredSkins.h"

#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "skin/data/bsSkinData.h"

namespace skin {

const std::array<TbsBuiltinSkinInfo, kBuiltinSkinCount>& BuiltinSkins() {
  static const std::array<TbsBuiltinSkinInfo, kBuiltinSkinCount> kSkins = {{
      {"ClassicBlue.skn", "经典蓝", "经典蓝：浅色，蓝色强调，光泽，圆角"},
      {"FreshGreen.skn", "清新绿", "清新绿：浅色，绿色强调，扁平，直角"},
      {"DarkNight.skn", "暗夜黑", "暗夜黑：深色，蓝色强调，扁平，圆角"},
      {"Graphite.skn", "石墨灰", "石墨灰：深色，橙色强调，光泽，直角"},
      {"Coral.skn", "珊瑚红", "珊瑚红：浅色，红色强调，光泽，大圆角"},
      {"Lavender.skn", "薰衣草紫", "薰衣草紫：浅色，紫色强调，扁平，圆角"},
      {"Ocean.skn", "海洋青", "海洋青：浅色，青色强调，光泽，直角"},
      {"Amber.skn", "琥珀金", "琥珀金：暖色，琥珀强调，扁平，直角"},
      {"Midnight.skn", "午夜蓝", "午夜蓝：深蓝，天蓝强调，光泽，圆角"},
      {"Silver.skn", "银白", "银白：浅灰金属，石板蓝强调，光泽，圆角"},
      {"Sakura.skn", "樱花粉", "樱花粉：浅色，粉色强调，扁平，大圆角"},
  }};
  return kSkins;
}

std::string BuiltinSkinResourceName(const TbsBuiltinSkinInfo& AInfo) {
  return std::string("skins/") + AInfo.CompressedFileName;
}

int LoadBuiltinSkins(TbsCompressedSkinList& AList) {
  TbsSkinListItems& items = AList.Skins();
  items.Clear();
  int found = 0;
  for (const TbsBuiltinSkinInfo& info : BuiltinSkins()) {
    TbsSkinListItem* item = items.Add();
    item->Name = info.Name;
    item->Description = info.Description;
    item->FileName = info.CompressedFileName;
    item->CompressedFileName = info.CompressedFileName;
    item->Skin().Description = info.Description;
    item->Skin().FileName = info.CompressedFileName;
    item->Skin().CompressedFileName = info.CompressedFileName;
    auto bytes = rtl::Resource(BuiltinSkinResourceName(info));
    if (bytes.empty()) continue;
    rtl::TMemoryStream ms;
    ms.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    item->Skin().LoadFromCompressStream(ms);
    if (!item->Skin().Empty()) ++found;
  }
  return found;
}

}  // namespace skin
