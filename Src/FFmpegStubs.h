#pragma once
// The entry-point cells of the media libraries: one typed function pointer per entry point,
// typed from the installed headers and filled at run time by the loader (FFmpegLoader.h).
// A cell is null while its library is not bound; callers check their library set first.
//
// Only code under Src/ includes this header (it pulls in the FFmpeg headers).
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/avfft.h>
#include <libavcodec/bsf.h>
#include <libavdevice/avdevice.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/avstring.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/fifo.h>
#include <libavutil/imgutils.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libavutil/time.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// The C library's entries the engine uses for files, option parsing and log formatting.
// fseeko/ftello are the 64-bit forms; strtok_r and vsnprintf replace the thread-unsafe and
// unbounded strtok and vsprintf; putenv stands in for SDL's putenv, which SDL does not export.
#define OMBREL_LIBC_ENTRIES(X) \
  X(fclose) X(fopen) X(fprintf) X(fread) X(fseeko) X(ftello) X(fwrite) X(snprintf) X(strtod) \
  X(strtok_r) X(strtol) X(vsnprintf) X(putenv)

#define OMBREL_AVUTIL_ENTRIES(X) \
  X(avutil_version) X(av_compare_ts) X(av_fifo_alloc2) X(av_fifo_freep2) X(av_fifo_read) \
  X(av_fifo_write) X(av_fifo_can_read) X(av_fifo_can_write) X(av_fifo_grow2) X(av_fifo_reset2) \
  X(av_find_nearest_q_idx) X(av_free) X(av_freep) X(av_gcd) X(av_get_pix_fmt) X(av_log) \
  X(av_log_default_callback) X(av_log_get_level) X(av_log_set_callback) X(av_log_set_level) \
  X(av_malloc) X(av_mallocz) X(av_realloc) X(av_reduce) X(av_rescale) X(av_rescale_q) \
  X(av_rescale_rnd) X(av_strdup) X(av_strlcpy) X(av_strstart) X(av_strerror) \
  X(av_pix_fmt_desc_get) X(av_gettime) X(av_fast_malloc) X(av_fast_realloc) \
  X(av_dict_get) X(av_dict_set) X(av_dict_copy) X(av_dict_free) X(av_parse_time) \
  X(av_opt_find) X(av_opt_set) X(av_opt_get) X(av_opt_set_int) X(av_opt_get_int) X(av_opt_set_bin) \
  X(av_get_picture_type_char) X(av_parse_video_rate) X(av_parse_video_size) X(av_parse_ratio) \
  X(av_get_pix_fmt_name) X(av_get_pix_fmt_string) X(av_pix_fmt_get_chroma_sub_sample) \
  X(av_get_sample_fmt) X(av_get_sample_fmt_name) X(av_get_sample_fmt_string) \
  X(av_get_bytes_per_sample) X(av_sample_fmt_is_planar) X(av_samples_get_buffer_size) \
  X(av_channel_layout_default) X(av_channel_layout_copy) X(av_channel_layout_uninit) \
  X(av_image_check_size) X(av_image_copy) X(av_image_alloc) X(av_image_fill_arrays) X(av_image_get_buffer_size) \
  X(av_frame_alloc) X(av_frame_free) X(av_frame_unref) X(av_frame_ref) X(av_frame_get_buffer) \
  X(av_frame_make_writable) X(av_default_item_name) X(av_get_media_type_string) \
  X(av_audio_fifo_alloc) X(av_audio_fifo_free) X(av_audio_fifo_write) X(av_audio_fifo_read) X(av_audio_fifo_size) X(av_audio_fifo_drain) X(av_audio_fifo_realloc) X(av_samples_set_silence) X(av_frame_copy) X(av_frame_copy_props) X(av_channel_layout_compare)

#define OMBREL_SWSCALE_ENTRIES(X) \
  X(swscale_version) X(sws_freeContext) X(sws_getContext) X(sws_getCachedContext) X(sws_scale) \
  X(sws_get_class) X(sws_isSupportedInput)

#define OMBREL_SWRESAMPLE_ENTRIES(X) \
  X(swresample_version) X(swr_alloc_set_opts2) X(swr_init) X(swr_convert) X(swr_set_compensation) \
  X(swr_get_delay) X(swr_free)

#define OMBREL_AVFORMAT_ENTRIES(X) \
  X(avformat_version) X(av_codec_get_id) X(av_codec_get_tag) X(av_filename_number_test) \
  X(av_find_input_format) X(av_get_packet) X(av_guess_codec) X(av_guess_format) \
  X(av_interleaved_write_frame) X(av_write_frame) X(av_read_frame) X(av_read_pause) X(av_read_play) \
  X(av_seek_frame) X(av_write_trailer) X(avformat_alloc_context) X(avformat_free_context) \
  X(avformat_alloc_output_context2) X(avformat_seek_file) X(avformat_open_input) \
  X(avformat_find_stream_info) X(avformat_close_input) X(avformat_new_stream) \
  X(avformat_write_header) X(avformat_query_codec) X(avformat_get_class) X(av_demuxer_iterate) \
  X(av_muxer_iterate) X(avio_enum_protocols) X(av_pkt_dump_log2) X(av_sdp_create) X(av_dump_format) \
  X(avio_write) X(avio_flush) X(avio_open2) X(avio_closep) X(avio_feof) X(avio_size) X(avio_seek) \
  X(avio_read) X(avio_alloc_context) X(avio_context_free) X(avformat_network_init) \
  X(avformat_network_deinit) X(av_new_program) X(av_program_add_stream_index)

#define OMBREL_AVFILTER_ENTRIES(X) \
  X(avfilter_version) X(av_filter_iterate) X(avfilter_get_by_name) X(avfilter_graph_alloc) \
  X(avfilter_graph_create_filter) X(avfilter_graph_alloc_filter) X(avfilter_init_str) \
  X(avfilter_graph_parse_ptr) X(avfilter_inout_alloc) X(avfilter_inout_free) X(avfilter_graph_config) \
  X(avfilter_graph_free) X(avfilter_link) X(av_buffersrc_add_frame_flags) X(av_buffersink_get_frame) \
  X(av_buffersink_get_frame_flags) X(av_buffersink_get_w) X(av_buffersink_get_h) X(av_buffersink_get_time_base) X(av_buffersink_get_sample_aspect_ratio)

#define OMBREL_AVCODEC_ENTRIES(X) \
  X(avcodec_version) X(av_get_bits_per_sample) X(avcodec_align_dimensions2) X(avcodec_close) \
  X(avcodec_decode_subtitle2) X(avcodec_encode_subtitle) X(avcodec_find_decoder) \
  X(avcodec_find_decoder_by_name) X(avcodec_find_encoder) X(avcodec_find_encoder_by_name) \
  X(avcodec_flush_buffers) X(avcodec_string) X(avcodec_get_name) X(avcodec_get_class) \
  X(avcodec_descriptor_get) X(avcodec_open2) X(avcodec_alloc_context3) X(avcodec_free_context) \
  X(avcodec_parameters_from_context) X(avcodec_parameters_to_context) X(avcodec_parameters_copy) \
  X(avcodec_send_packet) X(avcodec_receive_frame) X(avcodec_send_frame) X(avcodec_receive_packet) \
  X(avsubtitle_free) X(av_bsf_get_by_name) X(av_bsf_alloc) X(av_bsf_init) X(av_bsf_send_packet) \
  X(av_bsf_receive_packet) X(av_bsf_free) X(av_new_packet) X(av_packet_alloc) X(av_packet_free) \
  X(av_packet_ref) X(av_packet_unref) X(av_packet_make_refcounted) X(av_packet_rescale_ts) \
  X(av_rdft_init) X(av_rdft_calc) X(av_rdft_end) \
  X(av_packet_get_side_data)

#define OMBREL_AVDEVICE_ENTRIES(X) X(avdevice_version) X(avdevice_register_all)

#define OMBREL_DECLARE_CELL(name) decltype(&::name) name = nullptr;

struct TLibCStubs { OMBREL_LIBC_ENTRIES(OMBREL_DECLARE_CELL) };
struct TAVUtilStubs { OMBREL_AVUTIL_ENTRIES(OMBREL_DECLARE_CELL) };
struct TSwScaleStubs { OMBREL_SWSCALE_ENTRIES(OMBREL_DECLARE_CELL) };
struct TSwResampleStubs { OMBREL_SWRESAMPLE_ENTRIES(OMBREL_DECLARE_CELL) };
struct TAVFormatStubs { OMBREL_AVFORMAT_ENTRIES(OMBREL_DECLARE_CELL) };
struct TAVFilterStubs { OMBREL_AVFILTER_ENTRIES(OMBREL_DECLARE_CELL) };
struct TAVCodecStubs { OMBREL_AVCODEC_ENTRIES(OMBREL_DECLARE_CELL) };
struct TAVDeviceStubs { OMBREL_AVDEVICE_ENTRIES(OMBREL_DECLARE_CELL) };

// The process-wide cells, one block per library.
extern TLibCStubs LibCStubs;
extern TAVUtilStubs AVUtilStubs;
extern TSwScaleStubs SwScaleStubs;
extern TSwResampleStubs SwResampleStubs;
extern TAVFormatStubs AVFormatStubs;
extern TAVFilterStubs AVFilterStubs;
extern TAVCodecStubs AVCodecStubs;
extern TAVDeviceStubs AVDeviceStubs;
