// The transcoder of one conversion task: the command-line transcoding logic
// carried as the fields and methods of one object, so several conversions
// run side by side in one process.
//
// Files of the unit:
//   FFmpeg.cpp          life cycle, codec lists, reset and release
//   FFmpeg_Options.cpp  the option vocabulary, targets and presets
//   FFmpeg_Files.cpp    input and output file set-up
//   FFmpeg_Streams.cpp  run tables, stream mapping, codec set-up and opening
//
// The run itself is run_transcode(): it builds the tables, opens the codecs,
// writes the headers, runs transcode_loop() and then writes the trailers and
// closes everything. transcode_loop() is the place of the packet loop.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "media/FFUtils.h"
#include "media/FFmpegLoader.h"
#include "media/FFmpegLogger.h"
#include "platform/rtl/threads.h"

namespace media {

// Failure of a transcoder step; the text is reported to the host.
class FFmpegException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Process-wide lock around the post hooks of all tasks. Never wait for the UI
// thread while holding it: copy what is needed, release, then paint.
std::recursive_mutex& PostHookLock();

enum class TPostHook { phPreview, phBitmap, phHBITMAP };
using TPostHooks = unsigned;  // bit i = TPostHook i
constexpr TPostHooks PostHookBit(TPostHook h) { return 1u << static_cast<int>(h); }

constexpr int MAX_STREAMS = 20;  // the per-file limit the "itsscale" option keeps

struct TAVStreamMap {
  int file_index = 0, stream_index = 0, sync_file_index = 0, sync_stream_index = 0;
};

struct TAVMetaDataMap {
  int out_file = 0, in_file = 0;
};

struct TAVInputFile {
  int eof_reached = 0;
  int ist_index = 0;
  int buffer_size = 0;
  int nb_streams = 0;
};

// Per-run state of the packet loop, kept beside the run-table records (their
// decoded frames, filter graphs, bitstream filters); see FFmpeg_Loop.h.
struct TInputLoopState;
struct TOutputLoopState;
class TPreviewer;
void FreePreviewer(TPreviewer* p);  // Previewer.cpp
struct TFrameHookEntry;

struct TAVInputStream {
  int file_index = 0, index = 0;
  AVStream* st = nullptr;
  AVCodecContext* dec_ctx = nullptr;  // the decoder (owned by the input file)
  int discard = 1;
  int decoding_needed = 0;
  int64_t sample_index = 0;
  int64_t start = 0;
  int64_t next_pts = AV_NOPTS_VALUE;
  int64_t pts = 0;
  int is_start = 1;
  int showed_multi_packet_warning = 0;
  int is_past_recording_time = 0;
  int decoder_flushed = 0;
  int decoder_opened = 0;
  float quality = 0;  // of the last decoded picture
  std::shared_ptr<TInputLoopState> loop;
};

struct TAVOutputStream {
  int file_index = 0, index = 0;
  int source_index = 0;
  AVStream* st = nullptr;
  AVCodecContext* enc_ctx = nullptr;  // the encoder (owned by the output file)
  const AVCodec* encoder = nullptr;
  int stream_copy = 0;
  int encoding_needed = 0;
  int encoder_opened = 0;
  int frame_number = 0;
  TAVInputStream* sync_ist = nullptr;
  int64_t sync_opts = 0;
  int64_t samples_fed = 0;  // samples handed to the audio encoder
  // video
  int video_resample = 0;
  AVFrame* pict_tmp = nullptr;
  SwsContext* img_resample_ctx = nullptr;
  int resample_height = 0, resample_width = 0, resample_pix_fmt = -1;
  int original_height = 0, original_width = 0;
  int video_crop = 0;
  int topBand = 0, bottomBand = 0, leftBand = 0, rightBand = 0;
  int original_topBand = 0, original_bottomBand = 0, original_leftBand = 0, original_rightBand = 0;
  // audio
  int audio_resample = 0;
  SwrContext* resample = nullptr;
  AVAudioFifo* fifo = nullptr;
  int reformat_enc_fmt = -1, reformat_dec_fmt = -1;  // the converter's pair, -1 = none
  // two-pass
  FILE* logfile = nullptr;
  std::string stats_in;  // pass-2 statistics (the encoder's stats_in points here)
  AVCodecID codec_id = AV_CODEC_ID_NONE;
  int show_fps = 0;
  int64_t last_mux_pts = AV_NOPTS_VALUE;  // µs of the last packet written (progress, input choice)
  std::shared_ptr<TOutputLoopState> loop;
};

// One output stream as created by the file set-up.
struct TOutputStreamSetup {
  AVCodecContext* enc = nullptr;   // encoder context, or the parameters of a copy
  const AVCodec* codec = nullptr;  // encoder found by name (nullptr: by id at opening)
  bool copy = false;
  std::vector<std::string> bitstream_filters;
};

struct TOutputFile {
  AVFormatContext* oc = nullptr;
  AVIOContext* custom_io = nullptr;  // for names in the "unicode:utf8:" form
  std::vector<TOutputStreamSetup> streams;
  AVDictionary* muxer_opts = nullptr;  // private muxer options for the header
  bool header_written = false;
  bool trailer_written = false;
  bool open_pending = false;  // created when the task starts (open_output_io)
  bool opened_file = false;   // the engine created the file
  bool complete = false;      // the run wrote it to its end: it stays
  std::string file_name;      // as given by the host
  ~TOutputFile();
};

struct TInputFile {
  AVFormatContext* ic = nullptr;
  AVIOContext* custom_io = nullptr;
  std::vector<AVCodecContext*> dec;  // one decoder context per stream
  std::vector<double> ts_scale;      // per stream, 0 = not given
  int64_t ts_offset = 0;
  ~TInputFile();
};

using TProgressEventF =
    std::function<void(void* Sender, int AFileIndex, int AFrameNumber, int AFPS, float AQuality, float ABitRate,
                       int64_t ACurrentSize, int64_t ACurrentDuration, int64_t ATotalDuration)>;
using TCustomHookEventF = std::function<void(void* Sender, TBitmap24* ABitmap, int AFrameNumber, int64_t APTS,
                                             bool& AUpdate, bool& AStopHook)>;
using TPreviewBitmapEventF = std::function<void(void* Sender, TBitmap24* ABitmap, int AFrameNumber, int64_t APTS)>;
using TNotifyEventF = std::function<void(void* Sender)>;

class TCustomFFmpeg {
 public:
  // AMaxFiles: input slots and output slots, 1 to 512 (assertion failure otherwise).
  explicit TCustomFFmpeg(int AMaxFiles);
  virtual ~TCustomFFmpeg();
  TCustomFFmpeg(const TCustomFFmpeg&) = delete;
  TCustomFFmpeg& operator=(const TCustomFFmpeg&) = delete;

  // --- life cycle ---
  // Converts in the caller. False when refused (already started or
  // terminated) or when it could not start (the termination event has then
  // reported the failure). The worker-thread form is built on top of this.
  bool StartConvert();
  void Stop(bool AWaitFor);
  // The worker-thread form: the thread is created not started and owned by
  // the transcoder; the caller starts it. Null when refused or when the
  // conversion could not start (the termination event has then run).
  rtl::TThread* StartConvert(bool AUseThread, rtl::TThreadPriority APriority);
  // Pause parks the loop at the top of its next pass; Resume (or Stop)
  // releases it.
  void Pause();
  void Resume();
  bool Paused() const;
  // Stops a converting task, or terminates one that never started (in a
  // thread of its own, waited for with AWaitFor).
  void StopOrTerminate(bool AWaitFor);
  void ResetState();
  void DoConvert();
  void DoTerminate();
  bool Converting() const { return FConverting; }
  bool Terminated() const { return FTerminated; }
  bool Finished() const { return FFinished; }
  bool Broken() const { return FBroken; }
  bool FatalException() const { return FFatalException; }
  std::string FatalMessage() const { return FFatalMessage; }
  std::string LastErrMsg() const { return FLastErrMsg; }
  int MaxFiles() const { return FMaxFiles; }

  // --- the option vocabulary ---
  void dispatch_option(const std::string& AName, const std::string& AValue);
  static const std::vector<const char*>& OptionNames();  // the 114 names in comparison order
  void set_bitrate(const std::string& name, const std::string& value);
  void set_codec(const std::string& name, const std::string& value);
  void set_target(const std::string& value);
  void setup_target(const std::string& ATarget, const std::string& ANorm, const std::string& ADefaultNorm);
  void load_preset(const std::string& opt, const std::string& value);
  bool set_generic_option(const std::string& name, const std::string& value);
  bool set_generic_option(const std::string& name, int64_t value);
  // Property setters used by the task option translation.
  void set_audio_volume(int v) {
    if (v >= 0) Faudio_volume = v;
  }
  void set_audio_sync_method(int v) { Faudio_sync_method = v; }
  void set_video_sync_method(int v) { Fvideo_sync_method = v; }
  void set_mux_max_delay(float v) {
    if (v > 0) Fmux_max_delay = v;
  }
  void set_mux_preload(float v) {
    if (v > 0) Fmux_preload = v;
  }
  void set_start_time(int64_t v) {
    if (v != NoTime) Fstart_time = v;
  }
  void set_programid(int v) {
    if (v >= 0) Fopt_programid = v;
  }
  void set_recording_time(int64_t v);
  void add_metadata(const std::string& key, const std::string& value);
  void set_post_hooks(TPostHooks hooks);
  void set_post_hooks_locked(TPostHooks hooks);

  // --- file set-up ---
  bool find_codec(const std::string& name, AVMediaType type, bool encoder, int strict, AVCodecID& id);
  bool open_input_file(const std::string& AFileName);
  void check_audio_video_sub_inputs(bool& has_video, bool& has_audio, bool AJoin, bool& has_subtitle);
  int open_output_file(const std::string& AFileName, bool AJoin);
  // Creates the files of the outputs set up, when the task starts.
  void open_output_io();
  bool output_is_input(const std::string& AFileName, const std::string& libName);
  void new_video_stream(TOutputFile& of);
  void new_audio_stream(TOutputFile& of);
  void new_subtitle_stream(TOutputFile& of);
  int nb_input_files() const { return static_cast<int>(Finput_files.size()); }
  int nb_output_files() const { return static_cast<int>(Foutput_files.size()); }
  AVFormatContext* InputContext(int i) const { return Finput_files.at(i)->ic; }
  AVFormatContext* OutputContext(int i) const { return Foutput_files.at(i)->oc; }
  const TOutputFile& OutputFile(int i) const { return *Foutput_files.at(i); }
  bool JoinMode() const { return FJoinMode; }
  int64_t TotalOutputDuration() const { return FTotalOutputDuration; }

  // --- the run (set-up, loop, closing) ---
  void run_transcode();
  const std::vector<TAVOutputStream>& OutputStreams() const { return Fost_table; }
  const std::vector<TAVInputStream>& InputStreams() const { return Fist_table; }

  // --- reset and release ---
  void ResetOptions();
  void CleanupFiles();
  void CloseEncoderList();
  void CloseDecoderList();

  // --- events ---
  TProgressEventF FOnProgress;
  TCustomHookEventF FOnCustomHook;
  TPreviewBitmapEventF FOnPreviewBitmap;
  TNotifyEventF FOnTerminate;
  int64_t ReportInterval = 500000;
  int64_t PreviewInterval = 100000;

  // --- option state (the command-line tool's variables) ---
  std::string Flast_asked_format;
  int Fpgmyuv_compatibility_hack;
  int Fframe_width, Fframe_height;
  float Fframe_aspect_ratio;
  int Fframe_pix_fmt;
  int Faudio_sample_fmt;
  int Fframe_topBand, Fframe_bottomBand, Fframe_leftBand, Fframe_rightBand;
  int Fmax_frames[4];
  AVRational Fframe_rate;
  float Fvideo_qscale;
  std::vector<uint16_t> Fintra_matrix, Finter_matrix;  // empty = none, else 64 entries
  std::string Fvideo_rc_override_string;
  bool Fvideo_disable;
  int Fvideo_discard;
  std::string Fvideo_codec_name;
  uint32_t Fvideo_codec_tag;
  std::string Fvideo_language;
  bool Fsame_quality;
  bool Fdo_deinterlace;
  int Ftop_field_first;
  int Fme_threshold;
  int Fintra_dc_precision;
  bool Floop_input;
  int Floop_output;
  bool Fqp_hist;
  std::string Fvfilters;
  bool Fintra_only;
  int Faudio_sample_rate;
  int64_t Fchannel_layout;
  float Faudio_qscale;
  bool Faudio_disable;
  int Faudio_channels;
  std::string Faudio_codec_name;
  uint32_t Faudio_codec_tag;
  std::string Faudio_language;
  bool Fsubtitle_disable;
  std::string Fsubtitle_codec_name;
  uint32_t Fsubtitle_codec_tag;
  std::string Fsubtitle_language;
  float Fmux_preload;
  float Fmux_max_delay;
  int64_t Frecording_time;
  int64_t Fstart_time;
  int64_t Frecording_timestamp;
  int64_t Finput_ts_offset;
  std::vector<std::pair<std::string, std::string>> Fmetadata;
  bool Fdo_pkt_dump, Fdo_hex_dump;
  bool Fdo_psnr;
  int Fdo_pass;
  std::string Fpass_logfilename_prefix;
  int Fvideo_stream_copy, Faudio_stream_copy, Fsubtitle_stream_copy;
  int Fvideo_sync_method;
  int Faudio_sync_method;
  float Faudio_drift_threshold;
  bool Fcopy_ts;
  bool Fopt_shortest;
  int Fvideo_global_header;
  std::string Fvstats_filename;
  int Fopt_programid;
  int Fcopy_initial_nonkeyframes;
  bool Frate_emu;
  int Fvideo_channel;
  std::string Fvideo_standard;
  int Faudio_volume;
  bool Fexit_on_error;
  bool Fusing_vhook;
  int Fverbose;
  // Threads of every codec and of the video filter graph of the task; 0 (the
  // default) is the task's share of the machine, see codec_threads().
  int Fthread_count;
  // Tasks of the run that convert at once, set by the task component before
  // the task starts; a transcoder used on its own converts alone.
  int FTasksAtOnce = 1;
  // Fthread_count when given, else the processor count divided by the tasks
  // converting at once, at least 1.
  int codec_threads() const;
  bool Finput_sync;
  int64_t Flimit_filesize;
  bool Fforce_fps;
  float Fdts_delta_threshold;
  unsigned Fsws_flags;
  int Fbit_buffer_size;
  int64_t Fextra_size;
  bool FEnableFilter;
  TFFOptions FOptions;
  std::vector<int> Fstreamid_map;  // stream id by output stream index of the next output
  std::vector<TAVStreamMap> Fstream_maps;
  std::vector<TAVMetaDataMap> Fmeta_data_maps;
  std::vector<double> Fnext_input_ts_scale;  // "itsscale" values for the next input
  std::vector<std::string> Fvideo_bitstream_filters, Faudio_bitstream_filters, Fsubtitle_bitstream_filters;
  std::vector<std::vector<std::string>> Fvhooks;  // frame hooks given with "vhook" (arguments)
  TPostHooks FPostHooks;
  int64_t Fnb_frames_dup, Fnb_frames_drop;
  // Old codec names that today's libraries know by another name, logged once
  // per job.
  std::vector<std::string> Fcodec_aliases_logged;

 protected:
  // The packet loop between the headers and the trailers. Empty here: the
  // set-up alone writes a valid file with no packets.
  virtual void transcode_loop();

  // --- the packet loop and its paths ---
  void init_loop_state();
  void release_loop_state();
  void pause_point();
  int decode_and_dispatch(TAVInputStream& ist, const AVPacket* pkt);
  void dispatch_decoded_frame(TAVInputStream& ist, AVFrame* frame);
  void drain_encoders(TAVInputStream& ist);
  void flush_encoder(TAVOutputStream& ost);
  void adjust_audio_volume(AVFrame* frame);
  void do_audio_out(TAVOutputStream& ost, TAVInputStream& ist, AVFrame* frame);
  void encode_audio_frames(TAVOutputStream& ost, bool last);
  int write_video_frames(TAVOutputStream& ost, TAVInputStream& ist, AVFrame* frame);
  void write_video_stats(TAVOutputStream& ost, int frame_size);
  void receive_packets(TAVOutputStream& ost, bool flushing);
  void write_subtitle(TAVOutputStream& ost, TAVInputStream& ist, AVSubtitle* sub, int64_t pts);
  void do_stream_copy(TAVOutputStream& ost, TAVInputStream& ist, const AVPacket* pkt);
  void mux_packet(TAVOutputStream& ost, AVPacket* pkt);
  void write_packet(TAVOutputStream& ost, AVPacket* pkt);
  void report_progress(bool is_last, int file_index);
  double output_time(const TAVOutputStream& ost) const;
  bool build_filter_graph_steps(TAVInputStream& ist, TAVOutputStream& ost);
  void prepare_video_picture(TAVInputStream& ist, AVFrame* frame);
  void call_custom_hook(AVFrame* frame, int64_t pts);
  void run_post_hooks(AVFrame* frame, int64_t pts);

  // Loop state of the task (the tool's globals).
  int64_t Ftimer_start = 0;
  int64_t Fvideo_size = 0, Faudio_size = 0;
  bool FShowDupOrDrop = false;
  int Fqp_histogram[52] = {};
  int FHookFrameNumber = 0;
  FILE* Fvstats_file = nullptr;
  std::vector<uint8_t> Fsubtitle_out;
  TFrameHookEntry* FFirstHook = nullptr;
  std::unique_ptr<TPreviewer, void (*)(TPreviewer*)> FPreviewer{nullptr, &FreePreviewer};
  int64_t Fpreview_last_time = 0, Fpreview_cur_time = 0;
  bool Fdeinterlace_logged = false;
  TBitmap24 Fpost_bitmap;  // the preview picture handed out, owned by the worker

  // Worker thread, stop latch and pause gate.
  std::unique_ptr<rtl::TThread> FThread;
  std::unique_ptr<rtl::TThread> FTermThread;
  rtl::TEvent FStopEvent{true, true};
  rtl::TEvent FTermEvent{true, true};
  mutable std::mutex FPauseLock;
  std::condition_variable FPauseCond;
  bool FPaused = false;
  bool FStartClaimed = false;  // a start or a termination has taken this task
  friend class TConvertThread;
  friend class TDoTerminateThread;
  // The video filter graph of an encoded stream when "vf" was given; false
  // with FLastErrMsg set when it cannot be built.
  virtual bool build_filter_graph(TAVOutputStream& ost, TAVInputStream& ist);  // FFmpeg_Filters.cpp
  // Frees the preview window of the preview post hook, when there is one.
  virtual void release_previewer() {}

  // Run tables.
  std::vector<TAVInputFile> Ffile_table;
  std::vector<TAVInputStream> Fist_table;
  std::vector<TAVOutputStream> Fost_table;
  int Fblock_size = 0;  // streams of output file 0

  void build_input_tables();
  void create_output_tables();
  void map_output_streams();
  TAVInputStream* find_source_stream(const TAVOutputStream& ost, int j);
  void init_input_pts();
  void apply_metadata_maps();
  void transfer_all_chapters();
  void transfer_chapters(int in_file, int out_file);
  void dump_stream_mapping();
  void free_transcode_tables();
  void setup_output_codecs();
  void setup_stream_copy(TAVOutputStream& ost, TAVInputStream& ist);
  void setup_encoding(int i);
  void open_pass_log(int i);
  void open_encoders();
  void open_decoders();
  void write_headers();
  void write_trailers();
  void check_outputs_fed();
  void close_encoders();
  void close_decoders();
  void reopen_encoders();
  void pick_sample_format(AVCodecContext* enc, const AVCodec* codec);
  void pick_sample_rate(AVCodecContext* enc, const AVCodec* codec);
  void pick_channel_layout(AVCodecContext* enc, const AVCodec* codec);
  void pick_pixel_format(AVCodecContext* enc, const AVCodec* codec);
  const AVCodec* encoder_for(const TAVOutputStream& ost) const;
  AVCodecContext* source_codec(const TAVInputStream& ist) const { return ist.dec_ctx; }

  void Log(TLogLevel level, const std::string& msg);
  void ReleaseOutputFile(std::shared_ptr<TOutputFile>& of);

  int FMaxFiles;
  std::vector<std::unique_ptr<TInputFile>> Finput_files;
  std::vector<std::shared_ptr<TOutputFile>> Foutput_files;  // join: the same file repeated
  std::vector<const AVCodec*> Finput_codecs;                // decoders forced by name, per input stream
  std::atomic<bool> FConverting{false}, FBroken{false}, FFinished{false}, FTerminated{false};
  bool FFatalException = false;
  std::string FFatalMessage;
  std::string FLastErrMsg;
  bool FJoinMode = false;
  int64_t FTotalOutputDuration = -1;
  std::vector<TAVOutputStream*> FEncoderList;
  std::vector<TAVInputStream*> FDecoderList;
  TRGBConvertContext FHookContext;
  TRGBConvertContext FPostContext;

 private:
  void ApplyVideoValue(const std::string& name, const std::string& value);
  void ApplyMapOption(const std::string& name, const std::string& value);
  void parse_time_option(const std::string& name, const std::string& value);
  void parse_matrix(std::vector<uint16_t>& m, const std::string& value);
  uint32_t parse_tag(const std::string& value, const char* what);
  void add_bitstream_filter(const std::string& name, const std::string& value);
  std::string find_builtin_preset(const std::string& name) const;
  void apply_stream_options(AVCodecContext* enc, int flags);
  std::string MapCodecName(const std::string& name, AVMediaType type);
  TOutputStreamSetup& add_output_stream(TOutputFile& of, AVMediaType type, std::vector<std::string>& bsfs,
                                        uint32_t tag);
};

// The transcoder of one task of the task component.
class TFFmpeg : public TCustomFFmpeg {
 public:
  explicit TFFmpeg(int AMaxFiles) : TCustomFFmpeg(AMaxFiles) {}
};

// The built-in encoder presets (name, text) in table order, and their
// translation for today's libx264 (name, text). Exposed for tests.
const std::vector<std::pair<std::string, std::string>>& BuiltinPresets();

}  // namespace media
