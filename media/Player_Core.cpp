// Pure parts of the playback engine: packet queues, the event queue, clocks
// that need no component, picture timing, the display rectangle, audio drift
// correction and mixing, subtitle palette conversion and blending, and the
// audio visualisation.
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>

#include "media/Player_Engine.h"

namespace media {
namespace zurora {

int64_t SystemNowMicros() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

TNowFunc EngineNow = &SystemNowMicros;

int64_t RoundEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

// ---------------------------------------------------------------------------
// Packet queue

void FreeQueuedPacket(TQueuedPacket& p) {
  if (p.pkt) ffapi::av_packet_free(&p.pkt);
  p.pkt = nullptr;
}

// Caller holds q.mutex.
static void DropAllLocked(TPacketQueue& q) {
  for (auto& p : q.items) FreeQueuedPacket(p);
  q.items.clear();
  q.nb_packets = 0;
  q.size = 0;
}

void PacketQueueInit(TPacketQueue& q) {
  std::lock_guard<std::mutex> g(q.mutex);
  DropAllLocked(q);
  q.abort_request = 0;
}

static int PutItem(TPacketQueue& q, const TQueuedPacket& item) {
  std::lock_guard<std::mutex> g(q.mutex);
  q.items.push_back(item);
  q.nb_packets++;
  q.size += item.DataSize() + kPacketNodeSize;
  q.cond.notify_one();
  return 0;
}

int PacketQueuePut(TPacketQueue& q, AVPacket* pkt) {
  if (!pkt) return -1;
  TQueuedPacket item;
  item.kind = TPacketKind::Data;
  item.pkt = pkt;
  item.stream_index = pkt->stream_index;
  return PutItem(q, item);
}

int PacketQueuePutFlush(TPacketQueue& q, int serial) {
  TQueuedPacket item;
  item.kind = TPacketKind::Flush;
  item.serial = serial;
  return PutItem(q, item);
}

int PacketQueuePutEmpty(TPacketQueue& q, int stream_index) {
  TQueuedPacket item;
  item.kind = TPacketKind::Empty;
  item.stream_index = stream_index;
  return PutItem(q, item);
}

int PacketQueueGet(TPacketQueue& q, TQueuedPacket& out, bool block) {
  std::unique_lock<std::mutex> g(q.mutex);
  for (;;) {
    if (q.abort_request) return -1;
    if (!q.items.empty()) {
      out = q.items.front();
      q.items.pop_front();
      q.nb_packets--;
      q.size -= out.DataSize() + kPacketNodeSize;
      return 1;
    }
    if (!block) return 0;
    q.cond.wait(g);
  }
}

void PacketQueueAbort(TPacketQueue& q) {
  std::lock_guard<std::mutex> g(q.mutex);
  q.abort_request = 1;
  q.cond.notify_all();
}

void PacketQueueFlush(TPacketQueue& q) {
  std::lock_guard<std::mutex> g(q.mutex);
  DropAllLocked(q);
}

void PacketQueueEnd(TPacketQueue& q) { PacketQueueFlush(q); }

int PacketQueueSize(TPacketQueue& q) {
  std::lock_guard<std::mutex> g(q.mutex);
  return q.size;
}

int PacketQueueCount(TPacketQueue& q) {
  std::lock_guard<std::mutex> g(q.mutex);
  return q.nb_packets;
}

// ---------------------------------------------------------------------------
// Event queue

void TEventQueue::Push(const TEngineEventItem& e) {
  std::lock_guard<std::mutex> g(m_);
  q_.push_back(e);
  c_.notify_one();
}

TEngineEventItem TEventQueue::Wait() {
  std::unique_lock<std::mutex> g(m_);
  c_.wait(g, [this] { return !q_.empty(); });
  TEngineEventItem e = q_.front();
  q_.pop_front();
  return e;
}

void TEventQueue::Clear() {
  std::lock_guard<std::mutex> g(m_);
  q_.clear();
}

size_t TEventQueue::Count() {
  std::lock_guard<std::mutex> g(m_);
  return q_.size();
}

// ---------------------------------------------------------------------------
// Silent audio output

TSilentAudioOutput::TSilentAudioOutput(TCallback callback, void* userdata, int freq, int samples, int bytes)
    : FCallback(callback),
      FUserData(userdata),
      FPeriod(std::max<int64_t>(1, int64_t(samples) * 1000000 / std::max(freq, 1))),
      FBuffer(size_t(std::max(bytes, 0))) {}

TSilentAudioOutput::~TSilentAudioOutput() {
  {
    std::lock_guard<std::mutex> g(FLock);
    FStop = true;
  }
  FWake.notify_all();
  if (FThread.joinable()) FThread.join();
}

void TSilentAudioOutput::Start() {
  if (!FThread.joinable()) FThread = std::thread(&TSilentAudioOutput::Run, this);
}

void TSilentAudioOutput::Run() {
  auto next = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> l(FLock);
  while (!FStop) {
    l.unlock();
    FCallback(FUserData, FBuffer.data(), int(FBuffer.size()));
    l.lock();
    next += FPeriod;
    // A device plays on from where it is after a stall, it does not catch up.
    const auto now = std::chrono::steady_clock::now();
    if (next < now - 4 * FPeriod) next = now;
    FWake.wait_until(l, next, [this] { return FStop; });
  }
}

// ---------------------------------------------------------------------------
// State

void TVideoPicture::Allocate(int w, int h) {
  width = w;
  height = h;
  if (w <= 0 || h <= 0) {
    buf.clear();
    data[0] = data[1] = data[2] = nullptr;
    linesize[0] = linesize[1] = linesize[2] = 0;
    return;
  }
  int cw = (w + 1) / 2, ch = (h + 1) / 2;
  linesize[0] = (w + 31) & ~31;
  linesize[1] = linesize[2] = (cw + 31) & ~31;
  size_t ysize = size_t(linesize[0]) * h, csize = size_t(linesize[1]) * ch;
  buf.assign(ysize + 2 * csize + 64, 0);
  data[0] = buf.data();
  data[1] = data[0] + ysize;
  data[2] = data[1] + csize;
  std::memset(data[1], 128, 2 * csize);
}

TVideoState::TVideoState() = default;

TVideoState::~TVideoState() {
  silent_audio.reset();  // its thread reads the state
  for (auto& sp : subpq) FreeSubPicture(&sp);
  PacketQueueEnd(audioq);
  PacketQueueEnd(videoq);
  PacketQueueEnd(subtitleq);
  if (audio_pkt) ffapi::av_packet_free(&audio_pkt);
  if (audio_frame) ffapi::av_frame_free(&audio_frame);
  if (swr_ctx) ffapi::swr_free(&swr_ctx);
  if (audio_src_layout.nb_channels) ffapi::av_channel_layout_uninit(&audio_src_layout);
  if (display_sws) ffapi::sws_freeContext(display_sws);
  if (graph) ffapi::avfilter_graph_free(&graph);
  EndRdft(this);
}

// ---------------------------------------------------------------------------
// Clocks

double GetAudioClock(TVideoState* is) {
  double pts = is->audio_clock;
  // Filler silence is not counted in audio_clock, so none of it is pending.
  if (is->audio_stream >= 0 && !is->audio_buf_silence) {
    int bytes_per_sec = is->audio_tgt_freq * 2 * is->audio_tgt_channels;
    int hw_buf_size = int(is->audio_buf_size) - is->audio_buf_index;
    if (bytes_per_sec) pts -= double(hw_buf_size) / bytes_per_sec;
  }
  return pts;
}

double GetVideoClock(TVideoState* is) {
  if (is->paused) return is->video_current_pts;
  double drift = is->video_current_pts_drift;
  if (drift != 0) return NowSeconds() + drift;
  return is->StartTime / 1000000.0;
}

double GetExternalClock(TVideoState* is) {
  return is->external_clock + (EngineNow() - is->external_clock_time) * 0.000001;
}

double GetMasterClock(TVideoState* is) {
  if (is->av_sync_type == AV_SYNC_VIDEO_MASTER) return is->video_stream >= 0 ? GetVideoClock(is) : GetAudioClock(is);
  if (is->av_sync_type == AV_SYNC_AUDIO_MASTER) return is->audio_stream >= 0 ? GetAudioClock(is) : GetVideoClock(is);
  return GetExternalClock(is);
}

// ---------------------------------------------------------------------------
// Picture timing

double ComputeTargetTime(TVideoState* is, double frame_current_pts) {
  double delay = frame_current_pts - is->frame_last_pts;
  if (delay <= 0 || delay >= 10.0)
    delay = is->frame_last_delay;  // missing or jumping time stamp
  else
    is->frame_last_delay = delay;
  is->frame_last_pts = frame_current_pts;

  if ((is->av_sync_type == AV_SYNC_AUDIO_MASTER && is->audio_stream >= 0) ||
      is->av_sync_type == AV_SYNC_EXTERNAL_CLOCK) {
    double diff = GetVideoClock(is) - GetMasterClock(is);
    double sync_threshold = std::max(AV_SYNC_THRESHOLD, delay);
    if (std::fabs(diff) < AV_NOSYNC_THRESHOLD) {
      if (diff <= -sync_threshold)
        delay = 0;
      else if (diff >= sync_threshold)
        delay = 2 * delay;
    }
  }
  double t = is->frame_timer + delay;
  is->frame_timer = t;
  return t;
}

TDisplayRect CalculateDisplayRect(int width, int height, float aspect_ratio, double pic_aspect) {
  double aspect;
  if (aspect_ratio < 0 && width && height)
    aspect = double(width) / height;
  else if (aspect_ratio > 0)
    aspect = aspect_ratio;
  else
    aspect = pic_aspect;
  if (!(aspect > 0)) aspect = height > 0 ? double(width) / height : 1.0;
  TDisplayRect r;
  r.h = height;
  r.w = int(RoundEven(r.h * aspect)) & ~1;
  if (r.w > width) {
    r.w = width;
    r.h = int(RoundEven(r.w / aspect)) & ~1;
  }
  r.x = (width - r.w) / 2;
  r.y = (height - r.h) / 2;
  return r;
}

// ---------------------------------------------------------------------------
// Audio

int SynchronizeAudio(TVideoState* is, std::vector<uint8_t>& buf, int samples_size, double /*pts*/) {
  int n = 2 * is->audio_tgt_channels;
  if (n <= 0) return samples_size;
  if (!((is->av_sync_type == AV_SYNC_VIDEO_MASTER && is->video_stream >= 0) ||
        is->av_sync_type == AV_SYNC_EXTERNAL_CLOCK))
    return samples_size;

  double ref_clock = GetMasterClock(is);
  double diff = GetAudioClock(is) - ref_clock;
  if (diff < AV_NOSYNC_THRESHOLD) {
    is->audio_diff_cum = diff + is->audio_diff_avg_coef * is->audio_diff_cum;
    if (is->audio_diff_avg_count < AUDIO_DIFF_AVG_NB) {
      is->audio_diff_avg_count++;
    } else {
      double avg_diff = is->audio_diff_cum * (1.0 - is->audio_diff_avg_coef);
      if (std::fabs(avg_diff) >= is->audio_diff_threshold) {
        int64_t wanted_size = samples_size + RoundEven(diff * is->audio_tgt_freq) * n;
        int64_t min_size = int64_t((samples_size / n) * (100 - SAMPLE_CORRECTION_PERCENT_MAX) / 100) * n;
        int64_t max_size = int64_t((samples_size / n) * (100 + SAMPLE_CORRECTION_PERCENT_MAX) / 100) * n;
        if (wanted_size < min_size)
          wanted_size = min_size;
        else if (wanted_size > max_size)
          wanted_size = max_size;
        if (wanted_size < samples_size) {
          samples_size = int(wanted_size);
        } else if (wanted_size > samples_size && samples_size >= n) {
          // The buffer grows to hold the stretched frame.
          if (buf.size() < size_t(wanted_size)) buf.resize(size_t(wanted_size));
          uint8_t* samples = buf.data();
          const uint8_t* last = samples + samples_size - n;
          for (int64_t q = samples_size; q < wanted_size; q += n) std::memcpy(samples + q, last, n);
          samples_size = int(wanted_size);
        }
      }
    }
  } else {
    is->audio_diff_avg_count = 0;
    is->audio_diff_cum = 0;
  }
  return samples_size;
}

void UpdateSampleDisplay(TVideoState* is, const int16_t* samples, int samples_size) {
  std::lock_guard<std::mutex> g(is->sample_lock);
  int size = samples_size / 2;
  while (size > 0) {
    int len = std::min(size, SAMPLE_ARRAY_SIZE - is->sample_array_index);
    std::memcpy(is->sample_array.data() + is->sample_array_index, samples, size_t(len) * 2);
    samples += len;
    int next = is->sample_array_index + len;
    is->sample_array_index = next >= SAMPLE_ARRAY_SIZE ? 0 : next;
    size -= len;
  }
}

void MixAudioS16(uint8_t* dst, const uint8_t* src, int len, int volume) {
  volume = std::clamp(volume, 0, 128);
  for (int i = 0; i + 1 < len; i += 2) {
    int16_t s, d;
    std::memcpy(&s, src + i, 2);
    std::memcpy(&d, dst + i, 2);
    int v = d + (s * volume) / 128;
    v = std::clamp(v, -32768, 32767);
    d = int16_t(v);
    std::memcpy(dst + i, &d, 2);
  }
}

// ---------------------------------------------------------------------------
// Subtitles

uint32_t RGBAToYUVA(uint32_t argb) {
  int a = (argb >> 24) & 0xff, r = (argb >> 16) & 0xff, g = (argb >> 8) & 0xff, b = argb & 0xff;
  int y = (263 * r + 517 * g + 101 * b + 16896) >> 10;
  int cb = ((-152 * r - 298 * g + 450 * b + 511) >> 10) + 128;
  int cr = ((450 * r - 377 * g - 74 * b + 511) >> 10) + 128;
  return uint32_t(a) << 24 | uint32_t(y & 0xff) << 16 | uint32_t(cb & 0xff) << 8 | uint32_t(cr & 0xff);
}

void BlendSubRect(uint8_t* const dst[3], const int dst_linesize[3], const AVSubtitleRect* rect, int imgw, int imgh) {
  if (!rect || !rect->data[0] || !rect->data[1] || imgw <= 0 || imgh <= 0) return;
  int dstw = std::clamp(rect->w, 0, imgw);
  int dsth = std::clamp(rect->h, 0, imgh);
  int dstx = std::clamp(rect->x, 0, imgw - dstw);
  int dsty = std::clamp(rect->y, 0, imgh - dsth);
  if (dstw == 0 || dsth == 0) return;
  const uint32_t* pal = reinterpret_cast<const uint32_t*>(rect->data[1]);
  const uint8_t* bitmap = rect->data[0];
  int bls = rect->linesize[0];
  auto entry = [&](int px, int py) { return pal[bitmap[size_t(py - dsty) * bls + (px - dstx)]]; };

  // Luma, pixel by pixel.
  for (int py = dsty; py < dsty + dsth; py++) {
    uint8_t* lum = dst[0] + size_t(py) * dst_linesize[0];
    for (int px = dstx; px < dstx + dstw; px++) {
      uint32_t e = entry(px, py);
      int a = e >> 24, y = (e >> 16) & 0xff;
      lum[px] = uint8_t((lum[px] * (255 - a) + y * a) / 255);
    }
  }
  // Chroma, one sample per 2x2 block; k is how many of its pixels the rectangle covers.
  for (int cy = dsty / 2; cy * 2 < dsty + dsth; cy++) {
    for (int cx = dstx / 2; cx * 2 < dstx + dstw; cx++) {
      int k = 0, suma = 0, sumu = 0, sumv = 0;
      for (int py = cy * 2; py <= cy * 2 + 1; py++) {
        if (py < dsty || py >= dsty + dsth) continue;
        for (int px = cx * 2; px <= cx * 2 + 1; px++) {
          if (px < dstx || px >= dstx + dstw) continue;
          uint32_t e = entry(px, py);
          k++;
          suma += e >> 24;
          sumu += (e >> 8) & 0xff;
          sumv += e & 0xff;
        }
      }
      if (!k) continue;
      int A = suma >> 2;
      uint8_t* cb = dst[1] + size_t(cy) * dst_linesize[1] + cx;
      uint8_t* cr = dst[2] + size_t(cy) * dst_linesize[2] + cx;
      *cb = uint8_t((*cb * k * (255 - A) + sumu * A) / (255 * k));
      *cr = uint8_t((*cr * k * (255 - A) + sumv * A) / (255 * k));
    }
  }
}

void FreeSubPicture(TSubPicture* sp) {
  if (sp->sub.num_rects || sp->sub.rects) ffapi::avsubtitle_free(&sp->sub);
  std::memset(&sp->sub, 0, sizeof(sp->sub));
}

// ---------------------------------------------------------------------------
// Visualisation

// The real DFT of libavcodec is not in the loader's lists; it is bound here
// from the already loaded libavcodec.
namespace {
struct RdftApi {
  decltype(&::av_rdft_init) init = nullptr;
  decltype(&::av_rdft_calc) calc = nullptr;
  decltype(&::av_rdft_end) end = nullptr;
  bool tried = false;
};
RdftApi& Rdft() {
  static RdftApi api;
  static std::once_flag once;
  std::call_once(once, [] {
    void* h = dlopen(media::FFLoader().FileNameOf(media::TLibrary::avCodec).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!h) h = dlopen("libavcodec.so.59", RTLD_NOW | RTLD_NOLOAD);
    if (h) {
      api.init = reinterpret_cast<decltype(api.init)>(dlsym(h, "av_rdft_init"));
      api.calc = reinterpret_cast<decltype(api.calc)>(dlsym(h, "av_rdft_calc"));
      api.end = reinterpret_cast<decltype(api.end)>(dlsym(h, "av_rdft_end"));
      dlclose(h);  // the loader keeps its own reference
    }
    api.tried = true;
  });
  return api;
}

void FillRect(TVideoState* is, int x, int y, int w, int h, uint32_t bgra) {
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min(x + w, is->width), y1 = std::min(y + h, is->height);
  if (x0 >= x1 || y0 >= y1 || is->screen.size() < size_t(is->width) * is->height * 4) return;
  for (int yy = y0; yy < y1; yy++) {
    uint32_t* row = reinterpret_cast<uint32_t*>(is->screen.data()) + size_t(yy) * is->width;
    std::fill(row + x0, row + x1, bgra);
  }
}

uint32_t MapRGB(int r, int g, int b) { return 0xff000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }
}  // namespace

void EndRdft(TVideoState* is) {
  if (is->rdft && Rdft().end) Rdft().end(is->rdft);
  is->rdft = nullptr;
  is->rdft_bits = 0;
}

int RdftBitsFor(int height) {
  int bits = 1;
  while ((1 << bits) < 2 * height) bits++;
  return bits;
}

void VideoAudioDisplay(TVideoState* is) {
  if (is->width <= 0 || is->height <= 0) return;
  if (is->screen.size() < size_t(is->width) * is->height * 4) is->screen.assign(size_t(is->width) * is->height * 4, 0);
  int rdft_bits = RdftBitsFor(is->height);
  int nb_freq = 1 << (rdft_bits - 1);
  int channels = std::max(is->audio_tgt_channels, 1);
  int i_start;
  std::lock_guard<std::mutex> ring(is->sample_lock);

  if (!is->paused) {
    int data_used = is->show_audio == 1 ? is->width : 2 * nb_freq;
    int n = 2 * channels;
    int64_t delay = (int64_t(is->audio_buf_size) - is->audio_buf_index) / n;
    int64_t cb_time = is->audio_callback_time.load();
    if (cb_time) {
      int64_t time_diff = EngineNow() - cb_time;
      delay -= (time_diff * is->audio_tgt_freq) / 1000000;
    }
    delay += 2 * data_used;
    if (delay < data_used) delay = data_used;
    int64_t x = (is->sample_array_index - delay * channels) % SAMPLE_ARRAY_SIZE;
    if (x < 0) x += SAMPLE_ARRAY_SIZE;
    i_start = int(x);
    if (is->show_audio == 1) {
      int h = INT_MIN;
      for (int i = 0; i < 1000; i += channels) {
        int idx = int((SAMPLE_ARRAY_SIZE + x - i) % SAMPLE_ARRAY_SIZE);
        int a = is->sample_array[idx];
        int b = is->sample_array[(idx + 4 * channels) % SAMPLE_ARRAY_SIZE];
        int c = is->sample_array[(idx + 5 * channels) % SAMPLE_ARRAY_SIZE];
        int d = is->sample_array[(idx + 9 * channels) % SAMPLE_ARRAY_SIZE];
        int score = a - d;
        if (h < score && (b ^ c) < 0) {
          h = score;
          i_start = idx;
        }
      }
    }
    is->last_i_start = i_start;
  } else {
    i_start = is->last_i_start;
  }

  uint32_t bgcolor = MapRGB(0, 0, 0);
  if (is->show_audio == 1) {
    FillRect(is, is->xleft, is->ytop, is->width, is->height, bgcolor);
    uint32_t fgcolor = MapRGB(0xff, 0xff, 0xff);
    int h = is->height / channels;
    int h2 = (h * 9) / 20;
    for (int ch = 0; ch < channels; ch++) {
      int i = i_start + ch;
      int y1 = is->ytop + ch * h + (h / 2);
      for (int x = 0; x < is->width; x++) {
        int y = (is->sample_array[i % SAMPLE_ARRAY_SIZE] * h2) >> 15;
        int ys;
        if (y < 0) {
          y = -y;
          ys = y1 - y;
        } else {
          ys = y1;
        }
        FillRect(is, is->xleft + x, ys, 1, y, fgcolor);
        i += channels;
        if (i >= SAMPLE_ARRAY_SIZE) i -= SAMPLE_ARRAY_SIZE;
      }
    }
    for (int ch = 1; ch < channels; ch++) FillRect(is, is->xleft, is->ytop + ch * h, is->width, 1, fgcolor);
  } else {
    int nb_display_channels = std::min(channels, 2);
    if (rdft_bits != is->rdft_bits) {
      EndRdft(is);
      if (Rdft().init) is->rdft = Rdft().init(rdft_bits, DFT_R2C);
      is->rdft_bits = rdft_bits;
      // Zeroed, so a mono stream never shows unwritten memory.
      is->rdft_data.assign(size_t(4) * nb_freq, 0.0f);
    }
    if (!is->rdft || !Rdft().calc) return;
    float* data[2];
    for (int ch = 0; ch < nb_display_channels; ch++) {
      data[ch] = is->rdft_data.data() + 2 * nb_freq * ch;
      int i = i_start + ch;
      for (int x = 0; x < 2 * nb_freq; x++) {
        double w = (x - nb_freq) * (1.0 / nb_freq);
        data[ch][x] = float(is->sample_array[i] * (1.0 - w * w));
        i += channels;
        if (i >= SAMPLE_ARRAY_SIZE) i -= SAMPLE_ARRAY_SIZE;
      }
      Rdft().calc(is->rdft, data[ch]);
    }
    if (nb_display_channels == 1) data[1] = data[0];  // a mono stream shows its one channel in both
    double w = 1 / std::sqrt(double(nb_freq));
    for (int y = 0; y < is->height; y++) {
      auto mag = [&](float* d) {
        double v = std::sqrt(w * std::sqrt(double(d[2 * y]) * d[2 * y] + double(d[2 * y + 1]) * d[2 * y + 1]));
        return int(std::min<int64_t>(RoundEven(v), 255));
      };
      int a = mag(data[0]);
      int b = mag(data[1]);
      FillRect(is, is->xpos, is->ytop + is->height - 1 - y, 1, 1, MapRGB(a, b, (a + b) / 2));
    }
    is->xpos++;
    if (is->xpos >= is->width) is->xpos = is->xleft;
  }
}

}  // namespace zurora
}  // namespace media
