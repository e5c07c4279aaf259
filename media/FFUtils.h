// What the transcoder, the probe and the player share on top of the
// libraries: time and error texts, the generic option store, whole-file
// reading, decoded picture -> 24-bit bitmap, metadata lookup, codec texts.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "media/FFmpegLoader.h"

namespace media {

constexpr int64_t NoTime = INT64_MIN;  // the libraries' AV_NOPTS_VALUE

std::string FormatTimeText(int64_t t);                     // "%.2d:%.2d:%.2d.%.3d", "N/A" for NoTime
int64_t FrameDurationOf(AVRational r);                     // µs; 40000 when num or den is 0
std::string ErrorMessageOf(int code);                      // the message alone
std::string ErrorText(const std::string& name, int code);  // name + ": " + message
std::string MediaTypeName(int mediaType);

// A top-down 24-bit BGR picture with rows padded to 32-bit words. Lock and
// Unlock serialise a host drawing on it from another thread.
class TBitmap24 {
 public:
  TBitmap24() = default;
  TBitmap24(int w, int h) { SetSize(w, h); }
  void SetSize(int w, int h);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Stride() const { return (FWidth * 3 + 3) & ~3; }
  uint8_t* ScanLine(int row) { return FData.data() + static_cast<size_t>(row) * Stride(); }
  const uint8_t* ScanLine(int row) const { return FData.data() + static_cast<size_t>(row) * Stride(); }
  uint8_t* Bits() { return FData.data(); }
  void Lock() { FLock.lock(); }
  void Unlock() { FLock.unlock(); }
  bool TransparentBrush = false;  // the host draws with a clear brush

 private:
  int FWidth = 0, FHeight = 0;
  std::vector<uint8_t> FData;
  std::recursive_mutex FLock;
};

TBitmap24* CreateFrameBitmap(int w, int h);

// The scaler's vector writers store whole registers and so run past a row's
// last pixel (up to 24 bytes for BGR24 at some widths); an exactly sized
// buffer is overrun inside the library, where the sanitizers cannot see it.
// Every buffer the scaler writes into takes this layout: rows aligned to
// kScalerAlign bytes and kScalerPadding spare bytes after the last row.
constexpr int kScalerAlign = 64;
constexpr int kScalerPadding = 64;
int ScalerImageSize(int pix_fmt, int w, int h);  // bytes; < 0 for invalid sizes
// Lays a w x h picture out in `buf` (at least ScalerImageSize bytes).
bool ScalerImageFill(uint8_t* data[4], int linesize[4], uint8_t* buf, int pix_fmt, int w, int h);

// A library-allocated picture in the scaler's layout, kept between calls and
// grown only when a larger one is asked for.
struct TScalerImage {
  uint8_t* data[4] = {};
  int linesize[4] = {};
  bool Allocate(int pix_fmt, int w, int h);
  void Free();
  TScalerImage() = default;
  ~TScalerImage() { Free(); }
  TScalerImage(const TScalerImage&) = delete;
  TScalerImage& operator=(const TScalerImage&) = delete;

 private:
  uint8_t* FBuf = nullptr;
  int FSize = 0;
};

// Decoded picture -> bitmap, keeping the buffer and the scalers between calls.
struct TRGBConvertContext {
  int RGBPixFmt = AV_PIX_FMT_BGR24;
  TBitmap24* Bitmap = nullptr;  // owned
  uint8_t* RGBBuf = nullptr;    // library allocation
  int RGBBufSize = 0;
  uint8_t* RGBData[4] = {};
  int RGBLinesize[4] = {};
  const uint8_t* const* RefData = nullptr;  // the picture copied last (own buffer or the source)
  const int* RefLinesize = nullptr;
  SwsContext* toRGB_convert_ctx = nullptr;
  SwsContext* fromRGB_convert_ctx = nullptr;
  bool LastWasDirect = false;  // the last picture was copied without the scaler

  TRGBConvertContext() = default;
  ~TRGBConvertContext();
  TRGBConvertContext(const TRGBConvertContext&) = delete;
  TRGBConvertContext& operator=(const TRGBConvertContext&) = delete;
};

void ResetRGBConvert(TRGBConvertContext& ctx);

// A scaler whose work sws_scale_frame splits over `threads` slices; null
// when the library refuses the sizes or formats.
SwsContext* NewVideoScaler(int srcW, int srcH, int srcFmt, int dstW, int dstH, int dstFmt, int flags, int threads);
bool FrameToBitmap(TRGBConvertContext& ctx, const uint8_t* const data[4], const int linesize[4], int pix_fmt, int w,
                   int h);

// The generic option store: every option name the transcoder's dispatcher
// does not know. Options found on the libraries' generic contexts are kept
// there; the others are remembered as private options and handed to the
// encoders and muxers that declare them when those are opened.
struct TFFOptions {
  std::vector<std::string> opt_names;
  AVCodecContext* avcodec_opts[5] = {};  // by media type: video, audio, data, subtitle, attachment
  AVFormatContext* avformat_opts = nullptr;
  SwsContext* sws_opts = nullptr;
  std::vector<std::pair<std::string, std::string>> private_opts;  // in the order given

  int opt_name_count() const { return static_cast<int>(opt_names.size()); }
};

void ClearFFOptions(TFFOptions& o);
void CreateFFOptions(TFFOptions& o, unsigned swsFlags);
void FreeFFOptions(TFFOptions& o);
bool set_default_option(TFFOptions& o, const std::string& name, const std::string& value);
// Copies the recorded options from source into target when their flags
// contain all of `flags`.
void set_context_options(TFFOptions& o, void* target, void* source, int flags);
// The private options an object of this class declares, as a dictionary for
// avcodec_open2 / avformat_write_header (the caller frees it).
AVDictionary* private_options_for(const TFFOptions& o, const AVClass* const* obj);

// 0 on success (buf: library allocation of size + 1 bytes, zero terminated;
// size: bytes read + 1), -1 when the file cannot be opened, -12 without memory.
int ReadWholeFile(const std::string& name, uint8_t** buf, int* size);

// The turn, clockwise in degrees (0, 90, 180 or 270), that shows the
// stream's pictures upright, from its display matrix; 0 without one.
int StreamRotation(const AVStream* st);
// The filters that make that turn ("transpose=clock", ...); empty for 0.
std::string RotationFilters(int rotation);

std::string MetadataValue(const AVDictionary* m, const std::string& key, const std::string& def);
// Display text of a codec: "name(long name)", "mpeg2ts", a FourCC or the tag.
std::string CodecText(AVCodecID codec_id, uint32_t codec_tag, bool encoder);
std::string CodecText(const AVCodecContext* ctx, bool encoder);

}  // namespace media
