#pragma once

#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

// Owning handles for FFmpeg's objects, each freed by the call FFmpeg gives for it, and the
// text of FFmpeg's error codes. Internal to the media library.

struct ZuAvDeleter {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
  void operator()(SwsContext* context) const { sws_freeContext(context); }
  void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};

using ZuAvCodecContext = std::unique_ptr<AVCodecContext, ZuAvDeleter>;
using ZuAvFrame = std::unique_ptr<AVFrame, ZuAvDeleter>;
using ZuAvPacket = std::unique_ptr<AVPacket, ZuAvDeleter>;
using ZuSwsContext = std::unique_ptr<SwsContext, ZuAvDeleter>;
using ZuAvFilterGraph = std::unique_ptr<AVFilterGraph, ZuAvDeleter>;

// An opened input: avformat_close_input frees it.
struct ZuAvInputDeleter {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using ZuAvInput = std::unique_ptr<AVFormatContext, ZuAvInputDeleter>;

// FFmpeg's sentence for an error code, lower case as our messages are.
std::string ZuAvErrorText(int code);

// Stops FFmpeg printing its own messages: the media library reports failures by throwing, in
// one line. FFmpeg's last error message on each thread is kept instead, for ZuAvTakeLogged.
// Called before FFmpeg is used; cheap to call again.
void ZuAvQuietLog();
// FFmpeg's last error message on this thread since the last call (lower case, one line), or
// empty; forgets it. Where FFmpeg's error code says less than its message ("device or
// resource busy" for a picture size it refuses), the message is the reason to give.
std::string ZuAvTakeLogged();

// A new frame and packet; throw std::bad_alloc when there is no memory.
ZuAvFrame ZuAvNewFrame();
ZuAvPacket ZuAvNewPacket();
