// Helpers of the file-adding commands: the open dialogs' filter, the
// duration and size texts of a row, and the listing of a folder.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The 42 "description|patterns|" entries of the open dialogs, joined.
std::string OpenDialogFilter();

// "hh:mm:ss" with the hours modulo 24.
std::string SecToDate(int64_t sec);
// Bytes as megabytes rounded to two decimals, shortest text, then "MB".
std::string SizeInMB(int64_t bytes);
// Every entry of the folder that is not itself a folder, in listing order;
// "*.*" matches every name.
std::vector<std::string> GetFilenames(const std::string& folder);
