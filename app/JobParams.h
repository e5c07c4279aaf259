// Applying a preset's job parameters to the JobSettings, and output names.
#pragma once
#include <functional>
#include <string>

#include "app/JobModel.h"

// Sets the preset's parameters on a JobSettings that was reset before, and
// composes Video_OutPutFileName as folder + "/" + the added file's name with
// the preset's extension. Returns false when the preset has none (the fields
// keep their values and the name is left as it was).
bool ApplyPresetJobRow(int presetKey, const std::string& folderText, TJobSettings& job);

// Makes an output name unique. ext is the name's extension, base the folder
// text + "/" + the name's file part without it; the result is base + ext, or
// base + "_" + n + ext for the first n = 1, 2, ... for which taken() is false,
// when base + ext is taken.
std::string UniqueOutputName(const std::string& composed, const std::string& folderText,
                             const std::function<bool(const std::string& path)>& taken);

// True when path names an existing file; a folder of that name does not count.
bool OutputFileExists(const std::string& path);

// The 14 job columns (11 to 24) of a row as text, from the JobSettings.
std::string JobColumnText(FileColumn col, const TJobSettings& job);
