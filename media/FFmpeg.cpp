#include "media/FFmpeg.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "media/EngineUtils.h"
#include "media/UnicodeProtocol.h"

namespace media {

std::recursive_mutex& PostHookLock() {
  static std::recursive_mutex* lock = new std::recursive_mutex();
  return *lock;
}

TOutputFile::~TOutputFile() {
  for (TOutputStreamSetup& s : streams)
    if (s.enc) ffapi::avcodec_free_context(&s.enc);
  if (muxer_opts) ffapi::av_dict_free(&muxer_opts);
  if (!oc) return;
  if (custom_io) {
    oc->pb = nullptr;
    CloseUnicodeIO(&custom_io);
  } else if (oc->oformat && !(oc->oformat->flags & AVFMT_NOFILE) && oc->pb) {
    ffapi::avio_closep(&oc->pb);
  }
  // A file the run did not write to its end (stopped, failed, a full disk)
  // is not left under its final name, where it would pass for a finished
  // conversion.
  std::string name = DisplayFileName(oc->url ? oc->url : "");
  struct stat st;
  if (opened_file && !complete && !name.empty() && ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    ::unlink(name.c_str());
  ffapi::avformat_free_context(oc);
  oc = nullptr;
}

TInputFile::~TInputFile() {
  for (AVCodecContext*& c : dec)
    if (c) ffapi::avcodec_free_context(&c);
  if (ic) ffapi::avformat_close_input(&ic);
  if (custom_io) CloseUnicodeIO(&custom_io);
}

TCustomFFmpeg::TCustomFFmpeg(int AMaxFiles) {
  if (AMaxFiles < 1 || AMaxFiles > 512) throw EAssertionFailed("Assertion failure");
  FMaxFiles = AMaxFiles;
  ReportInterval = 500000;
  PreviewInterval = 100000;
  ClearFFOptions(FOptions);
  ResetOptions();
}

TCustomFFmpeg::~TCustomFFmpeg() {
  Stop(true);
  // The worker threads signal their events last: they are joined before the
  // events go (the events are members destroyed before the threads).
  FThread.reset();
  FTermThread.reset();
  CleanupFiles();
  // Contexts made by ResetState without libraries to release them with
  // cannot exist: ResetState does nothing then.
}

void TCustomFFmpeg::Log(TLogLevel level, const std::string& msg) { FFLoggerInstance().Log(this, level, msg); }

void TCustomFFmpeg::ResetOptions() {
  Flast_asked_format.clear();
  Fpgmyuv_compatibility_hack = 0;
  Fframe_width = Fframe_height = 0;
  Fframe_aspect_ratio = 0;
  Fframe_pix_fmt = -1;
  Faudio_sample_fmt = -1;
  Fframe_topBand = Fframe_bottomBand = Fframe_leftBand = Fframe_rightBand = 0;
  for (int& m : Fmax_frames) m = 2147483647;
  Fframe_rate = AVRational{0, 0};
  Fvideo_qscale = 0;
  Fintra_matrix.clear();
  Finter_matrix.clear();
  Fvideo_rc_override_string.clear();
  Fvideo_disable = false;
  Fvideo_discard = 0;
  Fvideo_codec_name.clear();
  Fvideo_codec_tag = 0;
  Fvideo_language.clear();
  Fsame_quality = false;
  Fdo_deinterlace = false;
  Ftop_field_first = -1;
  Fme_threshold = 0;
  Fintra_dc_precision = 8;
  Floop_input = false;
  Floop_output = -1;
  Fqp_hist = false;
  Fvfilters.clear();
  FEnableFilter = false;
  Fintra_only = false;
  Faudio_sample_rate = 44100;
  Fchannel_layout = 0;
  Faudio_qscale = -99999.0f;
  Faudio_disable = false;
  Faudio_channels = 2;
  Faudio_codec_name.clear();
  Faudio_codec_tag = 0;
  Faudio_language.clear();
  Fsubtitle_disable = false;
  Fsubtitle_codec_name.clear();
  Fsubtitle_codec_tag = 0;
  Fsubtitle_language.clear();
  Fmux_preload = 0.5f;
  Fmux_max_delay = 0.7f;
  Frecording_time = INT64_MAX;
  Fstart_time = 0;
  Frecording_timestamp = 0;
  Finput_ts_offset = 0;
  Fmetadata.clear();
  Fdo_pkt_dump = Fdo_hex_dump = false;
  Fdo_psnr = false;
  Fdo_pass = 0;
  Fpass_logfilename_prefix.clear();
  Fvideo_stream_copy = Faudio_stream_copy = Fsubtitle_stream_copy = 0;
  Fvideo_sync_method = -1;
  Faudio_sync_method = 0;
  Faudio_drift_threshold = 0.1f;
  Fcopy_ts = false;
  Fopt_shortest = false;
  Fvideo_global_header = 0;
  Fvstats_filename.clear();
  Fopt_programid = 0;
  Fcopy_initial_nonkeyframes = 0;
  Frate_emu = false;
  Fvideo_channel = 0;
  Fvideo_standard.clear();
  Faudio_volume = 256;
  Fexit_on_error = false;
  Fusing_vhook = false;
  Fverbose = 1;
  // Codecs and filter graphs get the threads the machine can spare instead of
  // one each, so a single file converts as fast as the ffmpeg tool converts
  // it; the "threads" option itself stays refused, only this default changed.
  Fthread_count = 0;
  Finput_sync = false;
  Flimit_filesize = 0;
  Fforce_fps = false;
  Fdts_delta_threshold = 10.0f;
  Fsws_flags = SWS_BICUBIC;
  Fbit_buffer_size = 262144;
  Fextra_size = 0;
  Fstreamid_map.clear();
  Fstream_maps.clear();
  Fmeta_data_maps.clear();
  Fnext_input_ts_scale.clear();
  Fvideo_bitstream_filters.clear();
  Faudio_bitstream_filters.clear();
  Fsubtitle_bitstream_filters.clear();
  Fvhooks.clear();
  FPostHooks = 0;
  Fnb_frames_dup = Fnb_frames_drop = 0;
  Fcodec_aliases_logged.clear();
  FTotalOutputDuration = -1;
  FFatalException = false;
  ClearFFOptions(FOptions);
  if (FFLoader().Loaded(TLibrary::swScale) && FFLoader().Loaded(TLibrary::avUtil)) {
    ResetRGBConvert(FHookContext);
    ResetRGBConvert(FPostContext);
  }
}

int TCustomFFmpeg::codec_threads() const {
  if (Fthread_count > 0) return Fthread_count;
  const int cpus = ffapi::av_cpu_count ? ffapi::av_cpu_count() : 1;  // the processors this process may run on
  return std::max(1, cpus / std::max(1, FTasksAtOnce));
}

void TCustomFFmpeg::CleanupFiles() {
  if (!FFLoader().Loaded(ConverterLibraries)) return;
  free_transcode_tables();
  FreeFFOptions(FOptions);
  Foutput_files.clear();  // each file is released once, however often join repeats it
  Finput_files.clear();
  Finput_codecs.clear();
  Fintra_matrix.clear();
  Finter_matrix.clear();
  Fvstats_filename.clear();
  Fvideo_codec_name.clear();
  Faudio_codec_name.clear();
  Fsubtitle_codec_name.clear();
  Fvideo_standard.clear();
  Fvideo_rc_override_string.clear();
  Fvideo_language.clear();
  Faudio_language.clear();
  Fsubtitle_language.clear();
  Fsubtitle_codec_tag = 0;
  Fvhooks.clear();
  ResetRGBConvert(FHookContext);
  ResetRGBConvert(FPostContext);
}

void TCustomFFmpeg::ResetState() {
  if (!FFLoader().Loaded(ConverterLibraries)) return;
  CleanupFiles();
  ResetOptions();
  FJoinMode = false;
  FConverting = false;
  FBroken = false;
  FFinished = false;
  FTerminated = false;
  FTotalOutputDuration = -1;
  FFatalMessage.clear();
  CreateFFOptions(FOptions, Fsws_flags);
}

bool TCustomFFmpeg::StartConvert() {
  if (FConverting || FTerminated) return false;
  try {
    if (Foutput_files.empty()) {
      CleanupFiles();
      throw FFmpegException("At least one output file must be specified");
    }
    if (Finput_files.empty()) {
      CleanupFiles();
      throw FFmpegException("At least one input file must be specified");
    }
  } catch (const FFmpegException& e) {
    Log(TLogLevel::llQuiet, e.what());
    FFatalException = true;
    FFatalMessage = e.what();
    DoTerminate();
    return false;
  }
  FConverting = true;
  FBroken = false;
  FFinished = false;
  FTerminated = false;
  DoConvert();
  return true;
}

void TCustomFFmpeg::DoConvert() {
  FFinished = false;
  auto trap = [this](const std::function<void()>& step) {
    try {
      step();
    } catch (const std::exception& e) {
      Log(TLogLevel::llQuiet, e.what());
      FFatalException = true;
      FFatalMessage = e.what();
    }
  };
  trap([this] { run_transcode(); });
  trap([this] { CloseEncoderList(); });
  trap([this] { CloseDecoderList(); });
  trap([this] { CleanupFiles(); });
  trap([this] { DoTerminate(); });
}

void TCustomFFmpeg::DoTerminate() {
  FConverting = false;
  FTerminated = true;
  if (FOnTerminate) FOnTerminate(this);
}

// Stop, StartConvert with a thread, Pause and Resume: FFmpeg_Threads.cpp.

void TCustomFFmpeg::CloseEncoderList() {
  std::lock_guard<std::recursive_mutex> lk(CodecLock());
  for (TAVOutputStream* ost : FEncoderList) {
    ost->stats_in.clear();
    if (ost->encoding_needed && ost->enc_ctx) {
      ost->enc_ctx->stats_in = nullptr;
      ffapi::avcodec_close(ost->enc_ctx);
    }
    ost->encoder_opened = 0;
  }
  FEncoderList.clear();
}

void TCustomFFmpeg::CloseDecoderList() {
  std::lock_guard<std::recursive_mutex> lk(CodecLock());
  for (TAVInputStream* ist : FDecoderList) {
    if (ist->decoding_needed && ist->dec_ctx) ffapi::avcodec_close(ist->dec_ctx);
    ist->decoder_opened = 0;
  }
  FDecoderList.clear();
}

void TCustomFFmpeg::set_recording_time(int64_t v) {
  if (v == NoTime) return;
  Frecording_time = v;
  FTotalOutputDuration = v;
}

void TCustomFFmpeg::add_metadata(const std::string& key, const std::string& value) {
  Fmetadata.emplace_back(key, value);
}

void TCustomFFmpeg::set_post_hooks(TPostHooks hooks) {
  if (hooks == FPostHooks) return;
  if ((FPostHooks & PostHookBit(TPostHook::phPreview)) && !(hooks & PostHookBit(TPostHook::phPreview)))
    release_previewer();
  FPostHooks = hooks;
}

void TCustomFFmpeg::set_post_hooks_locked(TPostHooks hooks) {
  std::lock_guard<std::recursive_mutex> lk(PostHookLock());
  set_post_hooks(hooks);
}

void TCustomFFmpeg::run_transcode() {
  try {
    build_input_tables();
    create_output_tables();
    init_input_pts();
    apply_metadata_maps();
    transfer_all_chapters();
    open_encoders();
    open_decoders();
    open_output_io();
    write_headers();
    dump_stream_mapping();
    transcode_loop();
    write_trailers();
    close_encoders();
    close_decoders();
  } catch (...) {
    free_transcode_tables();
    throw;
  }
  FFinished = !FBroken;
  if (FFinished)
    for (auto& of : Foutput_files) of->complete = true;
  free_transcode_tables();
}

}  // namespace media
