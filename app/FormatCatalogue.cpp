#include "app/FormatCatalogue.h"

#include <algorithm>

namespace catalogue {

int CategoryIdMap(int chooserItem) {
  if (chooserItem < 0 || chooserItem >= kChooserItemCount) return -1;
  return kCategoryChooser[chooserItem].categoryId;
}

int ChooserItemOf(int key) {
  for (int i = 0; i < kChooserItemCount; ++i)
    if (kCategoryChooser[i].categoryId == key / 100 - 1) return i;
  return -1;
}

int FormatCount(int categoryId) {
  if (categoryId < 0 || categoryId >= kCategoryCount) return 0;
  return kCategories[categoryId].formatCount;
}

const FormatDef* Format(int categoryId, int formatIndex) {
  if (formatIndex < 0 || formatIndex >= FormatCount(categoryId)) return nullptr;
  return &kFormats[kCategories[categoryId].firstFormat + formatIndex];
}

const FormatDef* FormatByKey(int key) {
  if (key < 100) return nullptr;
  return Format(key / 100 - 1, key % 100);
}

template <class Row>
static const Row* FindByKey(const Row* rows, int count, int key) {
  const Row* end = rows + count;
  const Row* it = std::lower_bound(rows, end, key, [](const Row& r, int k) { return r.key < k; });
  return it != end && it->key == key ? it : nullptr;
}

const JobRow* JobRowFor(int key) { return FindByKey(kJobRows, kPresetCount, key); }
const OptionRow* OptionRowFor(int key) { return FindByKey(kOptionRows, kPresetCount, key); }

const OptionList& List(int index) { return kOptionLists[index]; }

bool IsAudioOnly(int key) {
  const JobRow* row = JobRowFor(key);
  return row && row->noVideo;
}

std::string FormatExtension(std::string_view title) {
  // Every title ends in "(*.ext)"; the extensions are ASCII, so bytes and
  // characters agree at the end of the title.
  if (title.size() < 5) return std::string();
  std::string four(title.substr(title.size() - 5, 4));
  if (four == "lac)") return ".alac";
  if (four == "flac") return ".flac";
  if (four == "aiff") return ".aiff";
  if (four == "mpeg") return ".mpeg";
  if (four == "*.rm") return ".rm";
  if (four == "*.ra") return ".ra";
  return four;
}

void FillFormatChooser(IOfficeCombo& formats, int categoryId) {
  formats.ItemsClear();
  formats.Refresh();
  int count = FormatCount(categoryId);
  if (count > 0) {
    for (int i = 0; i < count; ++i) {
      const FormatDef* f = Format(categoryId, i);
      formats.ItemsAdd(f->title, f->caption, i % 2);
    }
    formats.Refresh();
  }
  formats.SetItemIndex(0);
}

}  // namespace catalogue
