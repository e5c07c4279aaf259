// Running the list: the output options of a row rebuilt from its columns.
#pragma once
#include <functional>
#include <string>

#include "media/FFConverter.h"

// Takes the row's columns (by column number) into the output record that the
// row's job slot holds: the fields the columns stand for come from the
// columns alone (an empty column gives the field's default); fields the
// columns do not name keep their values.
void RowToOutputOptions(const std::function<std::string(int col)>& cell, media::TOutputOptions& out);

// "NN%" of the converted time, or "N/A" without a total.
std::string ProgressPercent(int64_t current, int64_t total);
