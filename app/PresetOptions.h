// The six preset combos and their refill from the preset option rows.
#pragma once
#include <array>

#include "app/CatalogueData.h"
#include "app/ControlPorts.h"
#include "app/JobModel.h"

// The six preset combos of a window, indexed by ComboRole.
struct TPresetCombos {
  std::array<IPresetCombo*, catalogue::kComboCount> box{};

  IPresetCombo& operator[](catalogue::ComboRole role) const { return *box[static_cast<int>(role)]; }
};

// Empties and enables the six combos, then, when the preset has an option
// row, fills each with its list and selects its default before touching the
// next (so the change events run nested, in fill order), and finally
// disables the video combos of an audio-only preset. Returns false when the
// preset has no option row (the combos stay empty and enabled).
bool FillPresetCombos(int presetKey, const TPresetCombos& combos);

// Button13Click of a window: the six combos' texts into their job fields, in
// the order frame size, frame rate, video bit rate, sample rate, audio bit
// rate, zoom.
void ApplyComboTexts(const TPresetCombos& combos, TJobSettings& job);
