#include "app/PresetOptions.h"

#include "app/FormatCatalogue.h"

using catalogue::ComboRole;

// Clearing and enabling go in the order of the combos' own numbers
// (1, 2, 3, 4, 9, 10); filling goes in the order of the panel.
static constexpr ComboRole kNumberOrder[] = {ComboRole::FrameSize, ComboRole::VideoBitrate, ComboRole::AudioBitrate,
                                             ComboRole::Zoom,      ComboRole::FrameRate,    ComboRole::SampleRate};
static constexpr ComboRole kFillOrder[] = {ComboRole::FrameSize,    ComboRole::VideoBitrate, ComboRole::FrameRate,
                                           ComboRole::AudioBitrate, ComboRole::SampleRate,   ComboRole::Zoom};
static constexpr ComboRole kDisableOrder[] = {ComboRole::FrameSize, ComboRole::VideoBitrate, ComboRole::Zoom,
                                              ComboRole::FrameRate};

void ApplyComboTexts(const TPresetCombos& combos, TJobSettings& job) {
  static constexpr ComboRole kOrder[] = {ComboRole::FrameSize,  ComboRole::FrameRate,    ComboRole::VideoBitrate,
                                         ComboRole::SampleRate, ComboRole::AudioBitrate, ComboRole::Zoom};
  for (ComboRole r : kOrder) ApplyComboText(r, combos[r].Text(), job);
}

bool FillPresetCombos(int presetKey, const TPresetCombos& combos) {
  for (ComboRole r : kNumberOrder) combos[r].ItemsClear();
  for (ComboRole r : kNumberOrder) combos[r].SetEnabled(true);
  const catalogue::OptionRow* row = catalogue::OptionRowFor(presetKey);
  if (!row) return false;
  for (ComboRole r : kFillOrder) {
    const catalogue::OptionCell& cell = row->cells[static_cast<int>(r)];
    const catalogue::OptionList& list = catalogue::List(cell.list);
    IPresetCombo& box = combos[r];
    for (int i = 0; i < list.count; ++i) box.ItemsAdd(list.items[i]);
    box.SetItemIndex(cell.defaultIndex);
  }
  for (ComboRole r : kDisableOrder)
    if (row->cells[static_cast<int>(r)].disabled) combos[r].SetEnabled(false);
  return true;
}
