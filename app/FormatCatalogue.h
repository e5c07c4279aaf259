// Lookups over the format catalogue and the preset tables, and the fill of
// the format chooser.
#pragma once
#include <string>
#include <string_view>

#include "app/CatalogueData.h"
#include "app/ControlPorts.h"

namespace catalogue {

// CategoryId of a category-chooser item; -1 for an index outside 0..19.
int CategoryIdMap(int chooserItem);
// The chooser item that offers the category of a preset; -1 when none does.
int ChooserItemOf(int key);

// (CategoryId + 1) * 100 + format index.
inline int PresetKey(int categoryId, int formatIndex) { return (categoryId + 1) * 100 + formatIndex; }

// Number of formats of a category; 0 for an unknown CategoryId.
int FormatCount(int categoryId);

// The format at a position of a category, or nullptr.
const FormatDef* Format(int categoryId, int formatIndex);
const FormatDef* FormatByKey(int key);

// The job parameters and option row of a preset, or nullptr when the preset
// has none (the categories the main window does not offer).
const JobRow* JobRowFor(int key);
const OptionRow* OptionRowFor(int key);

const OptionList& List(int index);
bool IsAudioOnly(int key);

// The output extension carried by a format title: the four characters in
// front of the closing parenthesis, with the short extensions cut to size.
std::string FormatExtension(std::string_view title);

// Fills a format chooser with the formats of a category and selects the
// first one (which raises the chooser's click and change events).
void FillFormatChooser(IOfficeCombo& formats, int categoryId);

}  // namespace catalogue
