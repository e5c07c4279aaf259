// Per-run state of the transcoder's packet loop that lives beside the run
// tables: decoded frames, filter graphs, encoder frames and bitstream
// filters. Each record frees what it holds, so a run that fails anywhere
// leaves nothing behind when its tables are dropped.
#pragma once

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

#include "media/FFmpeg.h"

namespace media {

struct TInputLoopState {
  AVFrame* frame = nullptr;        // decoded picture or samples
  AVFrame* filtered = nullptr;     // picture taken from the filter graph
  AVFilterGraph* graph = nullptr;  // video filter graph fed by this stream
  AVFilterContext* input_video_filter = nullptr;
  AVFilterContext* out_video_filter = nullptr;
  int frames_in_packet = 0;
  TInputLoopState();
  ~TInputLoopState();
  TInputLoopState(const TInputLoopState&) = delete;
  TInputLoopState& operator=(const TInputLoopState&) = delete;
};

struct TOutputLoopState {
  AVFrame* enc_frame = nullptr;  // the frame handed to the encoder
  AVPacket* pkt = nullptr;       // packets received from the encoder
  AVBSFContext* bsf = nullptr;   // the bitstream filter chain, made at the first packet
  bool bsf_tried = false;
  int64_t last_dts = AV_NOPTS_VALUE;  // stream time base, for monotonic muxing
  int last_quality = 0;               // FF_QP2LAMBDA units, from the packet side data
  char last_pict_type = '?';
  int64_t last_error[3] = {};
  // Audio converter parameters the resampler was made for.
  int in_rate = 0, in_format = -1, in_channels = 0;
  uint64_t in_mask = 0;
  bool drained = false;
  // Times of the samples waiting in the audio fifo: where the samples of each
  // input frame start, counted from the fifo's head, and the time of the
  // first of them in samples. An encoder frame takes the time of the input
  // frame its first sample came from.
  std::deque<std::pair<int64_t, int64_t>> sample_times;
  TOutputLoopState();
  ~TOutputLoopState();
  TOutputLoopState(const TOutputLoopState&) = delete;
  TOutputLoopState& operator=(const TOutputLoopState&) = delete;
};

// 90 kHz time of DVB subtitle packet `index` (0 shows, 1 clears).
int64_t DvbSubtitlePacketPts(int64_t pts90k, uint32_t start_ms, uint32_t end_ms, int index);

TInputLoopState& LoopState(TAVInputStream& ist);
TOutputLoopState& LoopState(TAVOutputStream& ost);

}  // namespace media
