#include "media/FFUtils.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "media/FFmpegLogger.h"
#include "media/EngineUtils.h"

namespace media {

std::string FormatTimeText(int64_t t) {
  if (t == NoTime) return "N/A";
  int64_t s = t / 1000000;
  int64_t ms = (t % 1000000) * 1000 / 1000000;
  return FormatStr("%.2lld:%.2lld:%.2lld.%.3lld", static_cast<long long>(s / 3600),
                   static_cast<long long>((s / 60) % 60), static_cast<long long>(s % 60), static_cast<long long>(ms));
}

int64_t FrameDurationOf(AVRational r) {
  if (r.num == 0 || r.den == 0) return 40000;
  return static_cast<int64_t>(1000000) * r.den / r.num;
}

std::string ErrorMessageOf(int code) {
  // Built from the symbols, so each text follows the code on this system.
  struct Row {
    int code;
    const char* text;
  };
  static const Row rows[] = {
      {AVERROR_PATCHWELCOME, "Not yet implemented in FFmpeg"},
      {AVERROR_PROTOCOL_NOT_FOUND, "Unsupported network protocol"},
      {AVERROR(EILSEQ), "Unknown format"},
      {AVERROR(EDOM), "Number syntax expected in filename"},
      {AVERROR_EOF, "End of file"},
      {AVERROR(EINVAL), "Invalid data found when processing input"},
      {AVERROR_INVALIDDATA, "Invalid data found when processing input"},
      {AVERROR(ENOMEM), "Not enough memory"},
      {AVERROR(EIO), "I/O error"},
      {AVERROR(ENOENT), "No such file or directory"},
  };
  for (const Row& r : rows)
    if (r.code == code) return r.text;
  // The libraries' own tagged codes (far below the errno range) have texts of
  // their own.
  if (code < -100000 && ffapi::av_strerror) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    if (ffapi::av_strerror(code, buf, sizeof buf) == 0) return buf;
  }
  // A system error reads as the system words it ("No space left on device"):
  // a bare number tells a user nothing.
  if (code < 0 && code > -4096) {
    char buf[256] = {};
    const char* text = ::strerror_r(-code, buf, sizeof buf);
    if (text && *text && std::strncmp(text, "Unknown error", 13) != 0) return text;
  }
  return FormatStr("Error number %d occurred", code);
}

std::string ErrorText(const std::string& name, int code) { return name + ": " + ErrorMessageOf(code); }

std::string MediaTypeName(int mediaType) {
  switch (mediaType) {
    case AVMEDIA_TYPE_VIDEO:
      return "Video";
    case AVMEDIA_TYPE_AUDIO:
      return "Audio";
    case AVMEDIA_TYPE_DATA:
      return "Data";
    case AVMEDIA_TYPE_SUBTITLE:
      return "Subtitle";
    case AVMEDIA_TYPE_ATTACHMENT:
      return "Attachment";
    default:
      return "Unknown";
  }
}

// --- bitmaps -----------------------------------------------------------------

void TBitmap24::SetSize(int w, int h) {
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (w == FWidth && h == FHeight) return;
  FWidth = w;
  FHeight = h;
  FData.assign(static_cast<size_t>(Stride()) * h, 0);
}

TBitmap24* CreateFrameBitmap(int w, int h) {
  auto* b = new TBitmap24(w, h);
  b->TransparentBrush = true;
  return b;
}

int ScalerImageSize(int pix_fmt, int w, int h) {
  const int size = ffapi::av_image_get_buffer_size(static_cast<AVPixelFormat>(pix_fmt), w, h, kScalerAlign);
  return size < 0 ? size : size + kScalerPadding;
}

bool ScalerImageFill(uint8_t* data[4], int linesize[4], uint8_t* buf, int pix_fmt, int w, int h) {
  return ffapi::av_image_fill_arrays(data, linesize, buf, static_cast<AVPixelFormat>(pix_fmt), w, h, kScalerAlign) >= 0;
}

bool TScalerImage::Allocate(int pix_fmt, int w, int h) {
  const int size = ScalerImageSize(pix_fmt, w, h);
  if (size < 0) return false;
  if (FSize < size) {
    Free();
    FBuf = static_cast<uint8_t*>(ffapi::av_malloc(size));
    if (!FBuf) return false;
    FSize = size;
  }
  return ScalerImageFill(data, linesize, FBuf, pix_fmt, w, h);
}

void TScalerImage::Free() {
  if (FBuf) ffapi::av_free(FBuf);
  FBuf = nullptr;
  FSize = 0;
  std::memset(data, 0, sizeof data);
  std::memset(linesize, 0, sizeof linesize);
}

TRGBConvertContext::~TRGBConvertContext() { ResetRGBConvert(*this); }

SwsContext* NewVideoScaler(int srcW, int srcH, int srcFmt, int dstW, int dstH, int dstFmt, int flags, int threads) {
  SwsContext* c = ffapi::sws_alloc_context();
  if (!c) return nullptr;
  const std::pair<const char*, int64_t> opts[] = {{"srcw", srcW},       {"srch", srcH},      {"src_format", srcFmt},
                                                  {"dstw", dstW},       {"dsth", dstH},      {"dst_format", dstFmt},
                                                  {"sws_flags", flags}, {"threads", threads}};
  for (const auto& [name, value] : opts)
    if (ffapi::av_opt_set_int(c, name, value, 0) < 0) {
      ffapi::sws_freeContext(c);
      return nullptr;
    }
  if (ffapi::sws_init_context(c, nullptr, nullptr) < 0) {
    ffapi::sws_freeContext(c);
    return nullptr;
  }
  return c;
}

void ResetRGBConvert(TRGBConvertContext& ctx) {
  delete ctx.Bitmap;
  ctx.Bitmap = nullptr;
  if (ctx.RGBBuf) ffapi::av_free(ctx.RGBBuf);
  ctx.RGBBuf = nullptr;
  if (ctx.toRGB_convert_ctx) ffapi::sws_freeContext(ctx.toRGB_convert_ctx);
  if (ctx.fromRGB_convert_ctx) ffapi::sws_freeContext(ctx.fromRGB_convert_ctx);
  ctx.toRGB_convert_ctx = ctx.fromRGB_convert_ctx = nullptr;
  ctx.RGBPixFmt = AV_PIX_FMT_BGR24;
  ctx.RGBBufSize = 0;
  std::memset(ctx.RGBData, 0, sizeof ctx.RGBData);
  std::memset(ctx.RGBLinesize, 0, sizeof ctx.RGBLinesize);
  ctx.RefData = nullptr;
  ctx.RefLinesize = nullptr;
  ctx.LastWasDirect = false;
}

bool FrameToBitmap(TRGBConvertContext& ctx, const uint8_t* const data[4], const int linesize[4], int pix_fmt, int w,
                   int h) {
  if (w <= 0 || h <= 0) return false;
  if (!ctx.Bitmap) ctx.Bitmap = CreateFrameBitmap(w, h);
  ctx.Bitmap->SetSize(w, h);
  const int stride = ctx.Bitmap->Stride();
  if (pix_fmt == ctx.RGBPixFmt && w % 2 == 0 && h % 2 == 0 && stride == linesize[0]) {
    ctx.RefData = data;
    ctx.RefLinesize = linesize;
    ctx.LastWasDirect = true;
  } else {
    const int size = ScalerImageSize(ctx.RGBPixFmt, w, h);
    if (size < 0) return false;
    if (!ctx.RGBBuf || ctx.RGBBufSize < size) {
      if (ctx.RGBBuf) ffapi::av_free(ctx.RGBBuf);
      ctx.RGBBuf = static_cast<uint8_t*>(ffapi::av_malloc(size));
      ctx.RGBBufSize = ctx.RGBBuf ? size : 0;
      if (!ctx.RGBBuf) return false;
    }
    if (!ScalerImageFill(ctx.RGBData, ctx.RGBLinesize, ctx.RGBBuf, ctx.RGBPixFmt, w, h)) return false;
    ctx.toRGB_convert_ctx =
        ffapi::sws_getCachedContext(ctx.toRGB_convert_ctx, w, h, static_cast<AVPixelFormat>(pix_fmt), w, h,
                                    static_cast<AVPixelFormat>(ctx.RGBPixFmt), SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!ctx.toRGB_convert_ctx) return false;
    ffapi::sws_scale(ctx.toRGB_convert_ctx, data, linesize, 0, h, ctx.RGBData, ctx.RGBLinesize);
    ctx.RefData = ctx.RGBData;
    ctx.RefLinesize = ctx.RGBLinesize;
    ctx.LastWasDirect = false;
  }
  const size_t rowBytes = static_cast<size_t>(w) * 3;
  for (int i = 0; i < h; ++i)
    std::memcpy(ctx.Bitmap->ScanLine(i), ctx.RefData[0] + static_cast<ptrdiff_t>(i) * ctx.RefLinesize[0], rowBytes);
  return true;
}

// --- generic options -----------------------------------------------------------

namespace {

const int kTypeMask[5] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0, AV_OPT_FLAG_SUBTITLE_PARAM, 0};

// True when some encoder, decoder, muxer or demuxer declares the option.
bool IsPrivateOption(const std::string& name) {
  void* it = nullptr;
  while (const AVCodec* c = ffapi::av_codec_iterate(&it))
    if (c->priv_class &&
        ffapi::av_opt_find(const_cast<AVClass**>(&c->priv_class), name.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
      return true;
  it = nullptr;
  while (const AVOutputFormat* f = ffapi::av_muxer_iterate(&it))
    if (f->priv_class &&
        ffapi::av_opt_find(const_cast<AVClass**>(&f->priv_class), name.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
      return true;
  it = nullptr;
  while (const AVInputFormat* f = ffapi::av_demuxer_iterate(&it))
    if (f->priv_class &&
        ffapi::av_opt_find(const_cast<AVClass**>(&f->priv_class), name.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
      return true;
  return false;
}

}  // namespace

void ClearFFOptions(TFFOptions& o) {
  o.opt_names.clear();
  for (auto& c : o.avcodec_opts) c = nullptr;
  o.avformat_opts = nullptr;
  o.sws_opts = nullptr;
  o.private_opts.clear();
}

void CreateFFOptions(TFFOptions& o, unsigned swsFlags) {
  for (int t = 0; t < 5; ++t) {
    o.avcodec_opts[t] = ffapi::avcodec_alloc_context3(nullptr);
    if (o.avcodec_opts[t]) o.avcodec_opts[t]->codec_type = static_cast<AVMediaType>(t);
  }
  o.avformat_opts = ffapi::avformat_alloc_context();
  o.sws_opts = ffapi::sws_getContext(16, 16, static_cast<AVPixelFormat>(0), 16, 16, static_cast<AVPixelFormat>(0),
                                     static_cast<int>(swsFlags), nullptr, nullptr, nullptr);
}

void FreeFFOptions(TFFOptions& o) {
  for (auto& c : o.avcodec_opts)
    if (c) ffapi::avcodec_free_context(&c);
  if (o.avformat_opts) ffapi::avformat_free_context(o.avformat_opts);
  o.avformat_opts = nullptr;
  if (o.sws_opts) ffapi::sws_freeContext(o.sws_opts);
  o.sws_opts = nullptr;
  o.opt_names.clear();
  o.private_opts.clear();
}

bool set_default_option(TFFOptions& o, const std::string& rawName, const std::string& rawValue) {
  const std::string name = TrimStr(rawName), value = TrimStr(rawValue);
  if (name.empty() || value.empty() || !o.avcodec_opts[0]) return false;
  const AVOption* found = nullptr;
  int ret = 0;
  for (int t = 0; t < 5 && ret >= 0; ++t) {
    const AVOption* opt = ffapi::av_opt_find(o.avcodec_opts[0], name.c_str(), nullptr, kTypeMask[t], 0);
    if (opt) {
      found = opt;
      ret = ffapi::av_opt_set(o.avcodec_opts[t], name.c_str(), value.c_str(), 0);
    }
  }
  if (!found && o.avformat_opts && (found = ffapi::av_opt_find(o.avformat_opts, name.c_str(), nullptr, 0, 0)))
    ret = ffapi::av_opt_set(o.avformat_opts, name.c_str(), value.c_str(), 0);
  if (!found && o.sws_opts &&
      (found = ffapi::av_opt_find(o.sws_opts, name.c_str(), nullptr, 0, AV_OPT_SEARCH_CHILDREN)))
    ret = ffapi::av_opt_set(o.sws_opts, name.c_str(), value.c_str(), AV_OPT_SEARCH_CHILDREN);
  if (!found && name.size() > 1 && (name[0] == 'a' || name[0] == 'v' || name[0] == 's')) {
    AVCodecContext* ctx = o.avcodec_opts[name[0] == 'a' ? 1 : name[0] == 'v' ? 0 : 3];
    const std::string rest = name.substr(1);
    if ((found = ffapi::av_opt_find(ctx, rest.c_str(), nullptr, 0, 0)))
      ret = ffapi::av_opt_set(ctx, rest.c_str(), value.c_str(), 0);
  }
  if (found && ret < 0) {
    ffapi::av_log(nullptr, AV_LOG_ERROR, "Invalid value \"%s\" for option \"%s\"\n", value.c_str(), name.c_str());
    return false;
  }
  if (!found) {
    // Options of one encoder or muxer only (x264's "preset", the mpeg
    // muxer's "muxrate", ...) wait for the object that declares them.
    if (!IsPrivateOption(name)) return false;
    for (auto& p : o.private_opts)
      if (p.first == name) {
        p.second = value;
        return true;
      }
    o.private_opts.emplace_back(name, value);
    return true;
  }
  o.opt_names.push_back(found->name);
  if ((o.avcodec_opts[0] && o.avcodec_opts[0]->debug) || (o.avformat_opts && o.avformat_opts->debug))
    FFLoggerInstance().SetLogLevel(TLogLevel::llDebug);
  return true;
}

void set_context_options(TFFOptions& o, void* target, void* source, int flags) {
  if (!target || !source) return;
  for (const std::string& name : o.opt_names) {
    const AVOption* opt = ffapi::av_opt_find(source, name.c_str(), nullptr, 0, AV_OPT_SEARCH_CHILDREN);
    if (!opt || (opt->flags & flags) != flags) continue;
    uint8_t* val = nullptr;
    if (ffapi::av_opt_get(source, name.c_str(), AV_OPT_SEARCH_CHILDREN, &val) >= 0 && val) {
      ffapi::av_opt_set(target, name.c_str(), reinterpret_cast<const char*>(val), AV_OPT_SEARCH_CHILDREN);
    }
    ffapi::av_free(val);
  }
}

AVDictionary* private_options_for(const TFFOptions& o, const AVClass* const* obj) {
  AVDictionary* d = nullptr;
  if (!obj || !*obj) return d;
  for (const auto& p : o.private_opts)
    if (ffapi::av_opt_find(const_cast<AVClass**>(obj), p.first.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
      ffapi::av_dict_set(&d, p.first.c_str(), p.second.c_str(), 0);
  return d;
}

int ReadWholeFile(const std::string& name, uint8_t** buf, int* size) {
  *buf = nullptr;
  *size = 0;
  FILE* f = std::fopen(name.c_str(), "rb");
  if (!f) return -1;
  std::fseek(f, 0, SEEK_END);
  long len = std::ftell(f);
  std::fseek(f, 0, SEEK_SET);
  if (len < 0) len = 0;
  auto* p = static_cast<uint8_t*>(ffapi::av_malloc(static_cast<size_t>(len) + 1));
  if (!p) {
    std::fclose(f);
    return -12;
  }
  size_t n = std::fread(p, 1, static_cast<size_t>(len), f);
  p[n] = 0;
  *buf = p;
  *size = static_cast<int>(n) + 1;
  std::fclose(f);
  return 0;
}

int StreamRotation(const AVStream* st) {
  if (!st) return 0;
  const uint8_t* m = ffapi::av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, nullptr);
  if (!m) return 0;
  // The matrix gives the counter-clockwise angle; quarter turns only.
  const double ccw = ffapi::av_display_rotation_get(reinterpret_cast<const int32_t*>(m));
  if (std::isnan(ccw)) return 0;
  const long quarters = std::lround(-ccw / 90.0);
  return static_cast<int>(((quarters % 4) + 4) % 4) * 90;
}

std::string RotationFilters(int rotation) {
  switch (rotation) {
    case 90:
      return "transpose=clock";
    case 180:
      return "hflip,vflip";
    case 270:
      return "transpose=cclock";
    default:
      return "";
  }
}

std::string MetadataValue(const AVDictionary* m, const std::string& key, const std::string& def) {
  const AVDictionaryEntry* e = ffapi::av_dict_get(m, key.c_str(), nullptr, 0);
  return e && e->value ? std::string(e->value) : def;
}

std::string CodecText(AVCodecID codec_id, uint32_t tag, bool encoder) {
  const AVCodec* c = encoder ? ffapi::avcodec_find_encoder(codec_id) : ffapi::avcodec_find_decoder(codec_id);
  if (c) {
    std::string ln = c->long_name ? TrimStr(c->long_name) : std::string();
    return ln.empty() ? std::string(c->name) : FormatStr("%s(%s)", c->name, ln.c_str());
  }
  if (codec_id == AV_CODEC_ID_MPEG2TS) return "mpeg2ts";
  if (codec_id != AV_CODEC_ID_NONE) {
    std::string n = TrimStr(ffapi::avcodec_get_name(codec_id));
    if (!n.empty() && n != "unknown_codec") return n;
  }
  const unsigned char b[4] = {static_cast<unsigned char>(tag & 0xFF), static_cast<unsigned char>((tag >> 8) & 0xFF),
                              static_cast<unsigned char>((tag >> 16) & 0xFF), static_cast<unsigned char>(tag >> 24)};
  bool printable = true;
  for (unsigned char ch : b) printable = printable && ch >= 32 && ch <= 126;
  if (printable) return FormatStr("%c%c%c%c / 0x%04X", b[0], b[1], b[2], b[3], tag);
  return FormatStr("0x%04x", tag);
}

std::string CodecText(const AVCodecContext* ctx, bool encoder) {
  return ctx ? CodecText(ctx->codec_id, ctx->codec_tag, encoder) : std::string();
}

}  // namespace media
