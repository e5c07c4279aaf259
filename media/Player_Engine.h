// Playback engine of the player component: the playback state, packet queues,
// clocks, picture and subtitle queues, audio synchronisation, visualisation and
// the threads that play one file. A port of the FFmpeg player's logic on
// FFmpeg 5.1; pictures go to an IVideoOutput instead of an SDL overlay.
#pragma once

#include "media/FFmpegLoader.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
extern "C" {
#include <libavcodec/avfft.h>
}
#pragma GCC diagnostic pop

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace media {
class TCustomPlayer;
namespace zurora {

// ---------------------------------------------------------------------------
// Time source. Every clock, picture time and position of the engine reads
// "now" through this pointer so tests can drive time by hand.
using TNowFunc = int64_t (*)();
int64_t SystemNowMicros();
extern TNowFunc EngineNow;  // microseconds, monotonic
inline double NowSeconds() { return EngineNow() / 1000000.0; }

// Round half to even.
int64_t RoundEven(double v);

// ---------------------------------------------------------------------------
// Packet queue
enum class TPacketKind { Data, Flush, Empty };  // Empty: end-of-file drain packet

struct TQueuedPacket {
  TPacketKind kind = TPacketKind::Data;
  AVPacket* pkt = nullptr;  // owned while queued; the getter owns what it takes
  int stream_index = -1;
  int serial = 0;  // a flush: the seek it starts
  int DataSize() const { return pkt ? pkt->size : 0; }
};

constexpr int kPacketNodeSize = 72;  // counted per queued packet

struct TPacketQueue {
  std::deque<TQueuedPacket> items;
  int nb_packets = 0;
  int size = 0;
  std::atomic<int> abort_request{0};
  std::mutex mutex;
  std::condition_variable cond;
};

void PacketQueueInit(TPacketQueue& q);
// Takes ownership of pkt (also on failure). Returns 0, or -1 when pkt is null.
int PacketQueuePut(TPacketQueue& q, AVPacket* pkt);
int PacketQueuePutFlush(TPacketQueue& q, int serial = 0);
int PacketQueuePutEmpty(TPacketQueue& q, int stream_index);
// 1 = got one (caller owns out.pkt), 0 = empty and not blocking, -1 = aborted.
int PacketQueueGet(TPacketQueue& q, TQueuedPacket& out, bool block);
void PacketQueueAbort(TPacketQueue& q);
void PacketQueueFlush(TPacketQueue& q);
void PacketQueueEnd(TPacketQueue& q);
void FreeQueuedPacket(TQueuedPacket& p);
int PacketQueueSize(TPacketQueue& q);
int PacketQueueCount(TPacketQueue& q);

// ---------------------------------------------------------------------------
enum Tav_sync_type { AV_SYNC_AUDIO_MASTER = 0, AV_SYNC_VIDEO_MASTER = 1, AV_SYNC_EXTERNAL_CLOCK = 2 };

// Event kinds of the engine's event loop (fixed user-event numbers; expose and
// resize come from the video output).
enum TEngineEvent {
  VideoResizeEvent = 16,
  VideoExposeEvent = 17,
  AllocEvent = 24,
  RefreshEvent = 25,
  QuitEvent = 26,
  DisplayChangeEvent = 27
};

struct TEngineEventItem {
  int type = 0;
  int w = 0, h = 0;
};

// The play thread waits on this queue; every poster may be on any thread.
class TEventQueue {
 public:
  void Push(const TEngineEventItem& e);
  TEngineEventItem Wait();
  void Clear();
  size_t Count();

 private:
  std::mutex m_;
  std::condition_variable c_;
  std::deque<TEngineEventItem> q_;
};

// ---------------------------------------------------------------------------
// Stands in for the sound device when none can be opened: it pulls the sound
// at the device's pace and drops it, so the audio clock runs and the file
// plays on without sound.
class TSilentAudioOutput {
 public:
  using TCallback = void (*)(void* userdata, uint8_t* stream, int len);
  TSilentAudioOutput(TCallback callback, void* userdata, int freq, int samples, int bytes);
  ~TSilentAudioOutput();  // stops and waits for its thread
  void Start();
  TSilentAudioOutput(const TSilentAudioOutput&) = delete;
  TSilentAudioOutput& operator=(const TSilentAudioOutput&) = delete;

 private:
  void Run();
  TCallback FCallback;
  void* FUserData;
  std::chrono::microseconds FPeriod;
  std::vector<uint8_t> FBuffer;
  std::mutex FLock;
  std::condition_variable FWake;
  bool FStop = false;
  std::thread FThread;
};

// ---------------------------------------------------------------------------
// Picture queue entry: an engine-owned planar 4:2:0 picture in place of an overlay.
struct TVideoPicture {
  double pts = 0;
  double target_clock = 0;
  int64_t pos = -1;
  int serial = 0;  // the seek it was decoded after
  int width = 0, height = 0;
  std::atomic<int> allocated{0};
  AVRational sar{0, 1};
  std::vector<uint8_t> buf;
  uint8_t* data[3] = {nullptr, nullptr, nullptr};  // Y, U, V
  int linesize[3] = {0, 0, 0};
  std::mutex lock;  // stands for the overlay lock
  bool HasImage() const { return data[0] != nullptr; }
  void Allocate(int w, int h);  // sizes rounded down to even by the caller
};

struct TSubPicture {
  double pts = 0;
  AVSubtitle sub{};
};

constexpr int VIDEO_PICTURE_QUEUE_SIZE = 2;
constexpr int SUBPICTURE_QUEUE_SIZE = 4;
constexpr int SAMPLE_ARRAY_SIZE = 131072;
constexpr int AUDIO_DIFF_AVG_NB = 20;
constexpr double AV_SYNC_THRESHOLD = 0.01;
constexpr double AV_NOSYNC_THRESHOLD = 10.0;
constexpr int SAMPLE_CORRECTION_PERCENT_MAX = 10;
constexpr int MAX_QUEUE_SIZE = 15 * 1024 * 1024;
constexpr int MIN_AUDIOQ_SIZE = 20 * 16 * 1024;
constexpr int MIN_FRAMES = 5;
constexpr int SILENCE_SIZE = 1024;

struct TVideoState {
  std::thread parse_tid, video_tid, refresh_tid, subtitle_tid;
  const AVInputFormat* iformat = nullptr;
  std::atomic<int> abort_request{0};
  std::atomic<int> paused{0};
  int last_paused = 0;
  std::atomic<int> seek_req{0};
  int seek_flags = 0;
  int64_t seek_pos = 0;
  int64_t seek_rel = 0;
  int seek_to_start = 0;  // the request rewinds to the file's start
  std::atomic<int> read_pause_return{0};
  AVFormatContext* ic = nullptr;
  int eof_read = 0;  // the read thread met the end of the file

  std::atomic<int> audio_stream{-1};
  int av_sync_type = AV_SYNC_AUDIO_MASTER;
  double external_clock = 0;
  int64_t external_clock_time = 0;

  std::atomic<double> audio_clock{0};
  double audio_diff_cum = 0;
  double audio_diff_avg_coef = 0;
  double audio_diff_threshold = 0;
  int audio_diff_avg_count = 0;
  AVStream* audio_st = nullptr;
  AVCodecContext* audio_dec = nullptr;
  TPacketQueue audioq;
  std::unique_ptr<TSilentAudioOutput> silent_audio;  // in place of a device that failed
  int audio_hw_buf_size = 0;
  // Decoded, converted audio. Sized per frame so a stretched or widened frame
  // always fits.
  std::vector<uint8_t> audio_buf1;
  std::vector<uint8_t> audio_buf2;
  uint8_t* audio_buf = nullptr;
  std::atomic<unsigned> audio_buf_size{0};
  std::atomic<int> audio_buf_index{0};
  std::atomic<bool> audio_buf_silence{false};  // audio_buf is filler, not decoded audio
  AVPacket* audio_pkt = nullptr;               // packet being decoded; null when none
  AVFrame* audio_frame = nullptr;
  int audio_src_fmt = -1;
  int audio_src_rate = 0;
  AVChannelLayout audio_src_layout{};
  SwrContext* swr_ctx = nullptr;
  int audio_tgt_freq = 0;                       // granted by the device
  int audio_tgt_channels = 0;                   // granted by the device
  std::atomic<int64_t> audio_callback_time{0};  // wall time of the last device callback
  std::atomic<int> show_audio{0};
  std::vector<int16_t> sample_array = std::vector<int16_t>(SAMPLE_ARRAY_SIZE, 0);
  std::atomic<int> sample_array_index{0};
  std::mutex sample_lock;  // the ring is written by the audio callback, read by the display
  int last_i_start = 0;
  RDFTContext* rdft = nullptr;
  int rdft_bits = 0;
  std::vector<float> rdft_data;
  int xpos = 0;

  std::atomic<int> subtitle_stream{-1};
  std::atomic<int> subtitle_stream_changed{0};
  AVStream* subtitle_st = nullptr;
  AVCodecContext* subtitle_dec = nullptr;
  TPacketQueue subtitleq;
  TSubPicture subpq[SUBPICTURE_QUEUE_SIZE];
  int subpq_size = 0;
  int subpq_rindex = 0, subpq_windex = 0;
  std::mutex subpq_mutex;
  std::condition_variable subpq_cond;

  std::atomic<double> frame_timer{0};
  double frame_last_pts = 0;
  double frame_last_delay = 0;
  std::atomic<double> video_clock{0};
  std::atomic<int> video_stream{-1};
  AVStream* video_st = nullptr;
  AVCodecContext* video_dec = nullptr;
  TPacketQueue videoq;
  std::atomic<double> video_current_pts{0};
  std::atomic<double> video_current_pts_drift{0};
  std::atomic<int64_t> video_current_pos{-1};
  TVideoPicture pictq[VIDEO_PICTURE_QUEUE_SIZE];
  int pictq_size = 0;
  int pictq_rindex = 0, pictq_windex = 0;
  int pictq_shown = 0;
  int alloc_w = 0, alloc_h = 0;  // size the next AllocPicture makes  // entry shown last; redraws and captures use it
                                 // once the queue is empty
  std::mutex pictq_mutex;
  std::condition_variable pictq_cond;

  std::string filename;
  int width = 0, height = 0, xleft = 0, ytop = 0;
  // Video filter graph: buffer -> [user chain] -> buffersink(yuv420p)
  AVFilterGraph* graph = nullptr;
  AVFilterContext* in_video_filter = nullptr;
  AVFilterContext* out_video_filter = nullptr;
  int graph_w = 0, graph_h = 0, graph_fmt = -1;  // decoded size the graph was built for
  int out_w = 0, out_h = 0;                      // graph output size
  std::atomic<float> skip_frames{1};
  float skip_frames_index = 0;
  std::atomic<int> refresh{0};
  std::atomic<bool> draining{false};  // the video decoder was sent its end

  // Display: back buffer presented to the video output.
  std::vector<uint8_t> screen;  // BGRA, width x height
  SwsContext* display_sws = nullptr;
  std::vector<uint8_t> scaled;  // the picture scaled to its rectangle

  TCustomPlayer* Owner = nullptr;
  std::atomic<int> Opened{0};
  int64_t StartTime = 0;
  int64_t Duration = -1;
  int64_t AudioDuration = -1;
  int IsImage2 = 0;
  int IsDevice = 0;
  std::atomic<int> ErrorEOF{0};
  std::atomic<int> EventEOF{0};
  std::atomic<int> ReachEOF{0};
  std::atomic<int> Reading{0};
  std::atomic<int> open_paused{0};
  // Seeks are counted: the read loop numbers each seek it carries out and
  // passes the number down with the flush; the video decoder tags its
  // pictures with the number of the last flush it took. A picture of an
  // older number is stale and dropped; while paused, the decoder lets
  // pictures through until one of the current number is queued, so a seek
  // shows its picture however the threads interleave.
  std::atomic<int> seek_serial{0};   // seeks carried out by the read loop
  std::atomic<int> video_serial{0};  // the seek the video decoder's pictures follow
  std::atomic<int> pict_serial{0};   // the seek of the last picture queued
  std::mutex switch_lock;            // held by the read loop around a put and by a stream switch

  TVideoState();
  ~TVideoState();
};

// ---------------------------------------------------------------------------
// Clocks (seconds)
double GetAudioClock(TVideoState* is);
double GetVideoClock(TVideoState* is);
double GetExternalClock(TVideoState* is);
double GetMasterClock(TVideoState* is);

// Requests from other threads
void StreamTogglePause(TVideoState* is);
void StreamSeek(TVideoState* is, int flags, bool wait, int64_t pos, int64_t rel);
// The two halves of StreamSeek: the request (False when one is pending) and the wait.
bool StreamSeekRequest(TVideoState* is, int flags, int64_t pos, int64_t rel, bool to_start = false);
void WaitSeekEnd(TCustomPlayer* player, bool hasVideo);

// Lifetime (read thread, event loop)
bool StreamOpen(TCustomPlayer* player, const std::string& filename, const AVInputFormat* iformat, bool paused);
void EventLoop(TCustomPlayer* player);
void PushQuitEvent(TCustomPlayer* player);
void PushDisplayChangeEvent(TCustomPlayer* player);
void DoExit(TCustomPlayer* player);
void StreamClose(TVideoState* is);

// Stream components
int StreamComponentOpen(TVideoState* is, int stream_index);
void StreamComponentClose(TVideoState* is, int stream_index);
bool StreamComponentSwitch(TVideoState* is, int kind, int index);

// Picture queue and display
int OutputPicture(TVideoState* is, AVFrame* frame, double pts, int64_t pos);
int QueuePicture(TVideoState* is, AVFrame* frame, double pts, int64_t pos);
double ComputeTargetTime(TVideoState* is, double frame_current_pts);
void VideoRefresh(TVideoState* is, bool consume);
void AllocPicture(TVideoState* is);
int VideoOpen(TVideoState* is, bool force);
void VideoDisplay(TVideoState* is);
void VideoImageDisplay(TVideoState* is);
// The entry to draw or capture: the next one while pictures are queued, else
// the one shown last.
int DisplayIndex(TVideoState* is);

struct TDisplayRect {
  int x = 0, y = 0, w = 0, h = 0;
};
// Rectangle of a picture in a display area of width x height. aspect_ratio is the
// component's AspectRatio; pic_aspect the picture's own (sample aspect x w / h).
TDisplayRect CalculateDisplayRect(int width, int height, float aspect_ratio, double pic_aspect);

// Audio
void AudioCallback(TVideoState* is, uint8_t* stream, int len);
int AudioDecodeFrame(TVideoState* is, double* pts_ptr);
int SynchronizeAudio(TVideoState* is, std::vector<uint8_t>& buf, int samples_size, double pts);
void UpdateSampleDisplay(TVideoState* is, const int16_t* samples, int samples_size);
// Mixes len bytes of signed 16-bit audio into dst at a volume of 0..128 (dst is
// silenced first).
void MixAudioS16(uint8_t* dst, const uint8_t* src, int len, int volume);

// Subtitles
uint32_t RGBAToYUVA(uint32_t argb);  // alpha kept in bits 24-31
void BlendSubRect(uint8_t* const dst[3], const int dst_linesize[3], const AVSubtitleRect* rect, int imgw, int imgh);
void FreeSubPicture(TSubPicture* sp);

// Visualisation into the back buffer (BGRA, is->width x is->height)
int RdftBitsFor(int height);
void EndRdft(TVideoState* is);
void VideoAudioDisplay(TVideoState* is);

// Threads
void ReadThread(TVideoState* is);
void VideoThread(TVideoState* is);
void SubtitleThread(TVideoState* is);
void RefreshThread(TVideoState* is);

}  // namespace zurora
}  // namespace media
