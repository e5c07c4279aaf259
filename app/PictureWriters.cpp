#include "app/PictureWriters.h"

#include <gif_lib.h>
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

// jpeglib.h needs <cstdio> first.
#include <jpeglib.h>

#include "platform/gfx/bmp.h"

bool PictureTypeFromName(const std::string& name, TPictureType& type) {
  static const struct {
    const char* name;
    TPictureType type;
  } kTypes[] = {
      {"BMP", TPictureType::BMP}, {"JPG", TPictureType::JPG}, {"GIF", TPictureType::GIF}, {"PNG", TPictureType::PNG}};
  for (const auto& t : kTypes)
    if (name == t.name) {
      type = t.type;
      return true;
    }
  return false;
}

const char* PictureTypeName(TPictureType type) {
  switch (type) {
    case TPictureType::JPG:
      return "JPG";
    case TPictureType::GIF:
      return "GIF";
    case TPictureType::PNG:
      return "PNG";
    default:
      return "BMP";
  }
}

const char* PictureExtension(TPictureType type) {
  switch (type) {
    case TPictureType::JPG:
      return ".jpg";
    case TPictureType::GIF:
      return ".gif";
    case TPictureType::PNG:
      return ".png";
    default:
      return ".bmp";
  }
}

namespace {

bool EncodeBmp(const TPictureView& p, std::vector<uint8_t>& out) {
  gfx::bmp::Image img;
  img.width = p.width;
  img.height = p.height;
  img.bpp = 24;
  img.stride = (p.width * 3 + 3) & ~3;
  img.pixels.assign(size_t(img.stride) * size_t(p.height), 0);
  for (int y = 0; y < p.height; ++y)
    std::memcpy(&img.pixels[size_t(y) * size_t(img.stride)], p.bits + size_t(y) * size_t(p.stride),
                size_t(p.width) * 3);
  out = gfx::bmp::Encode(img);
  return true;
}

// --- PNG: the library reports errors by a long jump back into EncodePng.

void PngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

void PngError(png_structp png, png_const_charp msg) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  *error = msg ? msg : "PNG error";
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

bool EncodePng(const TPictureView& p, std::vector<uint8_t>& out, std::string& error) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, PngError, PngWarning);
  if (!png) {
    error = "png_create_write_struct failed";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (error.empty()) error = "PNG error";
    return false;
  }
  png_set_write_fn(png, &out, PngWrite, PngFlush);
  png_set_IHDR(png, info, png_uint_32(p.width), png_uint_32(p.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  for (int y = 0; y < p.height; ++y) png_write_row(png, const_cast<png_bytep>(p.bits + size_t(y) * size_t(p.stride)));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

// --- JPEG: the same, through an error manager of its own.

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char text[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* e = reinterpret_cast<JpegError*>(cinfo->err);
  cinfo->err->format_message(cinfo, e->text);
  std::longjmp(e->jump, 1);
}

void JpegOutputMessage(j_common_ptr) {}

bool EncodeJpeg(const TPictureView& p, std::vector<uint8_t>& out, std::string& error) {
  jpeg_compress_struct cinfo;
  JpegError jerr;
  jerr.text[0] = 0;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  cinfo.err = jpeg_std_error(&jerr.mgr);
  jerr.mgr.error_exit = JpegErrorExit;
  jerr.mgr.output_message = JpegOutputMessage;
  if (setjmp(jerr.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    error = jerr.text[0] ? jerr.text : "JPEG error";
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(p.width);
  cinfo.image_height = JDIMENSION(p.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(p.bits + size_t(cinfo.next_scanline) * size_t(p.stride));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  out.assign(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return true;
}

// --- GIF: reduced to 256 colours by the library's own quantizer.

int GifWrite(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

bool EncodeGif(const TPictureView& p, std::vector<uint8_t>& out, std::string& error) {
  const size_t n = size_t(p.width) * size_t(p.height);
  std::vector<GifByteType> r(n), g(n), b(n), index(n);
  for (int y = 0; y < p.height; ++y) {
    const uint8_t* s = p.bits + size_t(y) * size_t(p.stride);
    for (int x = 0; x < p.width; ++x) {
      const size_t i = size_t(y) * size_t(p.width) + size_t(x);
      b[i] = s[x * 3];
      g[i] = s[x * 3 + 1];
      r[i] = s[x * 3 + 2];
    }
  }
  int colours = 256;
  GifColorType palette[256] = {};
  if (GifQuantizeBuffer(unsigned(p.width), unsigned(p.height), &colours, r.data(), g.data(), b.data(), index.data(),
                        palette) == GIF_ERROR) {
    error = "GIF colour reduction failed";
    return false;
  }
  ColorMapObject* map = GifMakeMapObject(256, palette);
  int err = 0;
  GifFileType* gif = EGifOpen(&out, GifWrite, &err);
  bool ok = map && gif;
  if (ok) ok = EGifPutScreenDesc(gif, p.width, p.height, 8, 0, map) == GIF_OK;
  if (ok) ok = EGifPutImageDesc(gif, 0, 0, p.width, p.height, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < p.height; ++y)
    ok = EGifPutLine(gif, &index[size_t(y) * size_t(p.width)], p.width) == GIF_OK;
  if (gif) {
    const int before = gif->Error;
    if (EGifCloseFile(gif, &err) == GIF_ERROR) ok = false;
    if (!ok) err = before ? before : err;
  }
  if (map) GifFreeMapObject(map);
  if (!ok) {
    const char* why = GifErrorString(err);
    error = std::string("GIF error: ") + (why ? why : "unknown");
  }
  return ok;
}

}  // namespace

bool EncodePicture(TPictureType type, const TPictureView& picture, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  if (!picture.bits || picture.width <= 0 || picture.height <= 0) {
    error = "empty picture";
    return false;
  }
  switch (type) {
    case TPictureType::JPG:
      return EncodeJpeg(picture, out, error);
    case TPictureType::GIF:
      return EncodeGif(picture, out, error);
    case TPictureType::PNG:
      return EncodePng(picture, out, error);
    default:
      return EncodeBmp(picture, out);
  }
}

bool WritePictureFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    error = std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (!ok) error = std::strerror(errno);
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    error = std::strerror(errno);
  }
  if (!ok) {
    std::error_code ec;
    std::filesystem::remove(path, ec);  // half a picture is worse than none
  }
  return ok;
}

bool SavePicture(TPictureType type, const TPictureView& picture, const std::string& path, std::string& error) {
  std::vector<uint8_t> bytes;
  return EncodePicture(type, picture, bytes, error) && WritePictureFile(path, bytes, error);
}
