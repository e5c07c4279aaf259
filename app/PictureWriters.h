// Picture files from a 24-bit picture (B,G,R rows, top-down): BMP through
// the platform's codec, JPEG through libjpeg, GIF through giflib (its own
// colour reduction to 256 colours) and PNG through libpng, each at the
// library's default settings. A picture is encoded in memory first, so a
// failing encoder never leaves a file behind; the file is written in one go
// and removed again when the write fails part-way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class TPictureType { BMP, JPG, GIF, PNG };

// "BMP", "JPG", "GIF", "PNG"; false for anything else.
bool PictureTypeFromName(const std::string& name, TPictureType& type);
const char* PictureTypeName(TPictureType type);
const char* PictureExtension(TPictureType type);  // ".bmp", ".jpg", ".gif", ".png"

struct TPictureView {
  const uint8_t* bits = nullptr;  // first (top) row
  int width = 0, height = 0, stride = 0;
};

// The encoded file. False (and the reason in `error`) when the encoder failed.
bool EncodePicture(TPictureType type, const TPictureView& picture, std::vector<uint8_t>& out, std::string& error);

// Writes the bytes as the file `path` (replacing it). On failure nothing is
// left under that name and `error` says why.
bool WritePictureFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// EncodePicture, then WritePictureFile.
bool SavePicture(TPictureType type, const TPictureView& picture, const std::string& path, std::string& error);
