// Run-time loader of the media libraries (FFmpeg 5.1 and SDL 1.2).
//
// The engine never links libav*, libsw* or SDL: every function it calls is a
// pointer in namespace `ffapi`, typed with the library header's own prototype
// (decltype(&::name)), and bound by name with dlsym when the library's set is
// loaded. Call them as `ffapi::avcodec_open2(...)`.
//
// Adding a function: put its name in the list of the library that exports it
// (FF_AVUTIL_FUNCS, ...). Only functions that are really exported may be
// listed (no macros, no static inline helpers such as avio_tell or av_q2d).
//
// Libraries come from <LibraryPath>/<file> when that file exists, else from
// the system's library path by soname. Sets load all or nothing, in
// dependency order (avutil first), so a private folder stays self-consistent.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavdevice/avdevice.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/avstring.h>
#include <libavutil/channel_layout.h>
#include <libavutil/cpu.h>
#include <libavutil/dict.h>
#include <libavutil/display.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libavutil/time.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
#include <SDL/SDL.h>
}

// --- symbol lists, one per library -----------------------------------------

// clang-format off
#define FF_AVUTIL_FUNCS(X)                                                     \
  X(avutil_version) X(av_log) X(av_vlog) X(av_log_set_callback)                \
  X(av_log_set_level) X(av_log_get_level) X(av_log_set_flags)                  \
  X(av_log_format_line2) X(av_log_default_callback) X(av_default_item_name)    \
  X(av_malloc) X(av_mallocz) X(av_realloc) X(av_free) X(av_freep)              \
  X(av_strdup) X(av_fast_malloc) X(av_strlcpy) X(av_strerror)                  \
  X(av_rescale) X(av_rescale_q) X(av_rescale_rnd) X(av_rescale_q_rnd)          \
  X(av_reduce) X(av_compare_ts) X(av_d2q) X(av_mul_q) X(av_div_q)              \
  X(av_add_q) X(av_sub_q) X(av_find_nearest_q_idx) X(av_gettime)               \
  X(av_gettime_relative) X(av_usleep)                                          \
  X(av_dict_get) X(av_dict_set) X(av_dict_set_int) X(av_dict_free)            \
  X(av_dict_copy) X(av_dict_count)                                             \
  X(av_opt_find) X(av_opt_set) X(av_opt_set_int) X(av_opt_set_double)          \
  X(av_opt_set_q) X(av_opt_set_bin) X(av_opt_get) X(av_opt_get_int)            \
  X(av_opt_get_double) X(av_opt_next) X(av_opt_set_defaults)                   \
  X(av_opt_set_dict) X(av_opt_free) X(av_int_list_length_for_size)             \
  X(av_parse_video_size) X(av_parse_video_rate) X(av_parse_time)               \
  X(av_parse_ratio)                                                            \
  X(av_get_pix_fmt) X(av_get_pix_fmt_name) X(av_pix_fmt_desc_get)              \
  X(av_pix_fmt_desc_next) X(av_pix_fmt_desc_get_id)                            \
  X(av_get_bits_per_pixel)                                                     \
  X(av_get_sample_fmt) X(av_get_sample_fmt_name) X(av_get_bytes_per_sample)    \
  X(av_sample_fmt_is_planar) X(av_get_packed_sample_fmt)                       \
  X(av_get_planar_sample_fmt) X(av_get_sample_fmt_string)                      \
  X(av_samples_get_buffer_size) X(av_samples_alloc) X(av_samples_set_silence)  \
  X(av_samples_fill_arrays) X(av_samples_copy)                                 \
  X(av_image_alloc) X(av_image_fill_arrays) X(av_image_get_buffer_size)        \
  X(av_image_copy) X(av_image_copy_to_buffer) X(av_image_fill_linesizes)       \
  X(av_image_check_size)                                                       \
  X(av_frame_alloc) X(av_frame_free) X(av_frame_unref) X(av_frame_ref)         \
  X(av_frame_move_ref) X(av_frame_get_buffer) X(av_frame_make_writable)        \
  X(av_frame_clone) X(av_frame_copy) X(av_frame_copy_props)                    \
  X(av_audio_fifo_alloc) X(av_audio_fifo_free) X(av_audio_fifo_write)          \
  X(av_audio_fifo_read) X(av_audio_fifo_size) X(av_audio_fifo_drain)           \
  X(av_audio_fifo_realloc)                                                     \
  X(av_channel_layout_default) X(av_channel_layout_uninit)                     \
  X(av_channel_layout_copy) X(av_channel_layout_describe)                      \
  X(av_channel_layout_compare) X(av_channel_layout_from_mask)                  \
  X(av_get_picture_type_char) X(av_get_media_type_string)                      \
  X(av_display_rotation_get) X(av_cpu_count)

#define FF_SWRESAMPLE_FUNCS(X)                                                 \
  X(swresample_version) X(swr_alloc) X(swr_alloc_set_opts2) X(swr_init)        \
  X(swr_free) X(swr_close) X(swr_convert) X(swr_set_compensation)              \
  X(swr_get_delay) X(swr_is_initialized) X(swr_get_out_samples)

#define FF_SWSCALE_FUNCS(X)                                                    \
  X(swscale_version) X(sws_getContext) X(sws_getCachedContext) X(sws_scale)    \
  X(sws_freeContext) X(sws_alloc_context) X(sws_init_context)                  \
  X(sws_get_class) X(sws_isSupportedInput) X(sws_isSupportedOutput)         \
  X(sws_scale_frame)

#define FF_AVCODEC_FUNCS(X)                                                    \
  X(avcodec_version) X(avcodec_find_encoder) X(avcodec_find_decoder)           \
  X(avcodec_find_encoder_by_name) X(avcodec_find_decoder_by_name)              \
  X(avcodec_alloc_context3) X(avcodec_free_context) X(avcodec_open2)           \
  X(avcodec_close) X(avcodec_parameters_from_context)                          \
  X(avcodec_parameters_to_context) X(avcodec_parameters_copy)                  \
  X(avcodec_parameters_alloc) X(avcodec_parameters_free)                       \
  X(avcodec_send_packet) X(avcodec_receive_frame) X(avcodec_send_frame)        \
  X(avcodec_receive_packet) X(avcodec_flush_buffers)                           \
  X(avcodec_decode_subtitle2) X(avcodec_encode_subtitle) X(avsubtitle_free)    \
  X(avcodec_get_name) X(avcodec_get_class) X(avcodec_get_type)                 \
  X(avcodec_descriptor_get) X(avcodec_descriptor_get_by_name)                  \
  X(avcodec_string) X(avcodec_profile_name) X(av_get_profile_name)             \
  X(av_codec_iterate) X(av_codec_is_encoder) X(av_codec_is_decoder)            \
  X(av_packet_alloc) X(av_packet_free) X(av_packet_unref) X(av_packet_ref)     \
  X(av_packet_clone) X(av_packet_move_ref) X(av_packet_rescale_ts)             \
  X(av_packet_get_side_data) X(av_packet_new_side_data) X(av_new_packet)       \
  X(av_grow_packet) X(av_shrink_packet)                                        \
  X(av_bsf_get_by_name) X(av_bsf_alloc) X(av_bsf_init) X(av_bsf_send_packet)   \
  X(av_bsf_receive_packet) X(av_bsf_free) X(av_bsf_list_parse_str)             \
  X(av_bsf_flush)                                                              \
  X(av_get_bits_per_sample) X(av_get_exact_bits_per_sample)                    \
  X(av_get_audio_frame_duration) X(avcodec_find_best_pix_fmt_of_list)          \
  X(avcodec_default_get_buffer2) X(avcodec_align_dimensions2)                  \
  X(av_parser_init) X(av_parser_parse2) X(av_parser_close)

#define FF_AVFORMAT_FUNCS(X)                                                   \
  X(avformat_version) X(avformat_alloc_context) X(avformat_free_context)       \
  X(avformat_open_input) X(avformat_close_input) X(avformat_find_stream_info)  \
  X(av_find_best_stream) X(av_read_frame) X(av_seek_frame)                     \
  X(avformat_seek_file) X(avformat_flush) X(av_read_play) X(av_read_pause)     \
  X(av_dump_format) X(avformat_alloc_output_context2) X(avformat_new_stream)   \
  X(avformat_write_header) X(avformat_init_output) X(av_write_trailer)         \
  X(av_interleaved_write_frame) X(av_write_frame) X(av_guess_format)           \
  X(av_guess_codec) X(av_find_input_format) X(av_codec_get_id)                 \
  X(av_codec_get_tag) X(av_codec_get_tag2) X(avformat_query_codec)             \
  X(avio_open) X(avio_open2) X(avio_closep) X(avio_close) X(avio_seek)         \
  X(avio_size) X(avio_flush) X(avio_alloc_context) X(avio_context_free)        \
  X(avio_read) X(avio_write) X(avio_feof) X(avio_skip)                         \
  X(avio_find_protocol_name) X(av_sdp_create) X(av_new_program)                \
  X(av_find_program_from_stream) X(av_stream_get_parser)                       \
  X(av_guess_sample_aspect_ratio) X(av_guess_frame_rate) X(av_muxer_iterate)   \
  X(av_demuxer_iterate) X(avformat_get_class) X(av_filename_number_test)       \
  X(av_get_frame_filename) X(av_pkt_dump_log2) X(av_stream_get_side_data)      \
  X(av_stream_new_side_data)                                                   \
  X(avformat_match_stream_specifier) X(avformat_network_init)                  \
  X(avformat_network_deinit)

#define FF_AVFILTER_FUNCS(X)                                                   \
  X(avfilter_version) X(avfilter_get_by_name) X(avfilter_graph_alloc)          \
  X(avfilter_graph_free) X(avfilter_graph_create_filter)                       \
  X(avfilter_graph_alloc_filter) X(avfilter_init_str) X(avfilter_init_dict)    \
  X(avfilter_graph_parse_ptr) X(avfilter_graph_parse2)                         \
  X(avfilter_graph_config) X(avfilter_link) X(avfilter_inout_alloc)            \
  X(avfilter_inout_free) X(avfilter_graph_dump)                                \
  X(avfilter_graph_send_command)                                               \
  X(av_buffersrc_add_frame_flags) X(av_buffersrc_add_frame)                    \
  X(av_buffersrc_write_frame) X(av_buffersrc_parameters_alloc)                 \
  X(av_buffersrc_parameters_set) X(av_buffersink_get_frame)                    \
  X(av_buffersink_get_frame_flags) X(av_buffersink_get_samples)                \
  X(av_buffersink_get_w) X(av_buffersink_get_h)                                \
  X(av_buffersink_get_sample_aspect_ratio) X(av_buffersink_get_time_base)      \
  X(av_buffersink_get_format) X(av_buffersink_get_frame_rate)                  \
  X(av_buffersink_get_sample_rate) X(av_buffersink_get_ch_layout)              \
  X(av_buffersink_set_frame_size)

#define FF_AVDEVICE_FUNCS(X) X(avdevice_version) X(avdevice_register_all)

#define FF_SDL_FUNCS(X)                                                        \
  X(SDL_Init) X(SDL_InitSubSystem) X(SDL_QuitSubSystem) X(SDL_WasInit)         \
  X(SDL_Quit) X(SDL_GetError) X(SDL_ClearError) X(SDL_Linked_Version)          \
  X(SDL_OpenAudio) X(SDL_CloseAudio) X(SDL_PauseAudio) X(SDL_LockAudio)        \
  X(SDL_UnlockAudio) X(SDL_MixAudio) X(SDL_GetAudioStatus)                     \
  X(SDL_AudioDriverName)                                                       \
  X(SDL_SetVideoMode) X(SDL_GetVideoSurface) X(SDL_GetVideoInfo)               \
  X(SDL_VideoDriverName) X(SDL_CreateYUVOverlay) X(SDL_LockYUVOverlay)         \
  X(SDL_UnlockYUVOverlay) X(SDL_DisplayYUVOverlay) X(SDL_FreeYUVOverlay)       \
  X(SDL_FillRect) X(SDL_MapRGB) X(SDL_UpdateRect) X(SDL_UpdateRects)           \
  X(SDL_Flip) X(SDL_CreateRGBSurface) X(SDL_CreateRGBSurfaceFrom)              \
  X(SDL_FreeSurface) X(SDL_LockSurface) X(SDL_UnlockSurface)                   \
  X(SDL_UpperBlit) X(SDL_WM_SetCaption) X(SDL_WM_ToggleFullScreen)             \
  X(SDL_ShowCursor) X(SDL_PollEvent) X(SDL_WaitEvent) X(SDL_PushEvent)         \
  X(SDL_PeepEvents) X(SDL_PumpEvents) X(SDL_EventState)                        \
  X(SDL_CreateMutex) X(SDL_DestroyMutex) X(SDL_mutexP) X(SDL_mutexV)           \
  X(SDL_CreateCond) X(SDL_DestroyCond) X(SDL_CondSignal) X(SDL_CondBroadcast)  \
  X(SDL_CondWait) X(SDL_CondWaitTimeout) X(SDL_CreateThread)                   \
  X(SDL_WaitThread) X(SDL_KillThread) X(SDL_ThreadID) X(SDL_GetThreadID)       \
  X(SDL_Delay) X(SDL_GetTicks) X(SDL_AddTimer) X(SDL_RemoveTimer)              \
  X(SDL_GetModState) X(SDL_EnableKeyRepeat)

// clang-format on
namespace ffapi {
#define FF_DECLARE_POINTER(name) inline decltype(&::name) name = nullptr;
FF_AVUTIL_FUNCS(FF_DECLARE_POINTER)
FF_SWRESAMPLE_FUNCS(FF_DECLARE_POINTER)
FF_SWSCALE_FUNCS(FF_DECLARE_POINTER)
FF_AVCODEC_FUNCS(FF_DECLARE_POINTER)
FF_AVFORMAT_FUNCS(FF_DECLARE_POINTER)
FF_AVFILTER_FUNCS(FF_DECLARE_POINTER)
FF_AVDEVICE_FUNCS(FF_DECLARE_POINTER)
FF_SDL_FUNCS(FF_DECLARE_POINTER)
#undef FF_DECLARE_POINTER
}  // namespace ffapi
#pragma GCC diagnostic pop

namespace media {

// Loadable libraries. swResample does the audio resampling (avcodec no longer
// carries a resampler). myUtil is the C runtime, which
// the engine calls directly; its row keeps set membership meaningful.
enum class TLibrary { avCodec, avDevice, avFilter, avFormat, avUtil, swScale, swResample, myUtil, lbSDL };
constexpr int LibraryCount = 9;

class TLibraries {
 public:
  constexpr TLibraries() = default;
  constexpr TLibraries(std::initializer_list<TLibrary> libs) {
    for (TLibrary l : libs) bits_ |= Bit(l);
  }
  constexpr bool Has(TLibrary l) const { return (bits_ & Bit(l)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TLibraries operator+(TLibraries o) const {
    TLibraries r;
    r.bits_ = bits_ | o.bits_;
    return r;
  }
  constexpr TLibraries operator-(TLibraries o) const {
    TLibraries r;
    r.bits_ = bits_ & ~o.bits_;
    return r;
  }
  constexpr bool operator==(const TLibraries&) const = default;

 private:
  static constexpr uint32_t Bit(TLibrary l) { return 1u << static_cast<int>(l); }
  uint32_t bits_ = 0;
};

inline constexpr TLibraries ConverterLibraries{TLibrary::avCodec, TLibrary::avFilter, TLibrary::avFormat,
                                               TLibrary::avUtil,  TLibrary::swScale,  TLibrary::swResample,
                                               TLibrary::myUtil};
inline constexpr TLibraries ProbeLibraries{TLibrary::avCodec, TLibrary::avFormat,   TLibrary::avUtil,
                                           TLibrary::swScale, TLibrary::swResample, TLibrary::myUtil};
inline constexpr TLibraries PlayerLibraries = ConverterLibraries + TLibraries{TLibrary::lbSDL};

// One row of the library table: "lib" + Name + ".so." + Version (no version
// suffix when Version < 0).
struct TLibraryItem {
  TLibrary Lib;
  const char* Name;
  int Version;
};

// The loader of the process (one instance, FFLoader()). Loading happens on
// the host's thread; an internal lock keeps concurrent hosts from tearing the
// table, but the host must not unload what a running task uses.
class TFFmpegLoader {
 public:
  TFFmpegLoader();

  bool Load(TLibrary lib);
  bool Load(TLibraries libs);  // all or nothing; an empty set is an assertion failure
  bool Loaded(TLibrary lib) const;
  bool Loaded(TLibraries libs) const;
  void Unload(TLibrary lib);
  void Unload(TLibraries libs);

  std::string LastErrMsg() const;
  std::string LibraryPath() const;
  void SetLibraryPath(const std::string& path);
  bool InstallLogger() const { return FInstallLogger; }
  void SetInstallLogger(bool v) { FInstallLogger = v; }

  // The file name of a library ("libavcodec.so.59"). Tests may replace the
  // name of a row (an empty name restores the table's).
  std::string FileNameOf(TLibrary lib) const;
  void SetFileNameForTest(TLibrary lib, const std::string& name);

 private:
  bool LoadLocked(TLibrary lib);
  void UnloadLocked(TLibrary lib);
  void PostLoad(TLibrary lib);

  struct Status {
    void* Handle = nullptr;
    bool Fixuped = false;
    std::string NameOverride;
  };
  mutable std::recursive_mutex FLock;
  Status FStatus[LibraryCount];
  std::string FLastErrMsg;
  std::string FLibraryPath;
  bool FInstallLogger = true;
};

TFFmpegLoader& FFLoader();

// The table row of a library.
const TLibraryItem& LibraryItem(TLibrary lib);
// The order in which a set is loaded: dependencies first.
const TLibrary* LoadOrder();

// dlopen of AFolder/AFileName when that file exists, else of the bare name
// through the system's search. nullptr on failure, AError := dlerror text.
void* LoadLibraryInFolder(const std::string& AFolder, const std::string& AFileName, std::string& AError);
// dlsym into *AProc; a missing symbol raises "Load function %s@%s error: %s"
// (BindVariable: "Load variable %s@%s error: %s") unless AllowMissing.
void BindFunction(const std::string& ALibName, void* AHandle, const char* AProcName, void** AProc,
                  bool AllowMissing = false);
void BindVariable(const std::string& ALibName, void* AHandle, const char* AVarName, void** AVar,
                  bool AllowMissing = false);

// Process-wide lock around every codec opening and closing of any transcoder,
// probe or player. Recursive. Never wait for the UI thread while holding it.
std::recursive_mutex& CodecLock();

}  // namespace media
