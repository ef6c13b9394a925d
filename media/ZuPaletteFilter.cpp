#include "media/ZuPaletteFilter.h"

#include <string>

#include "media/ZuMediaError.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

namespace {

constexpr const char* kGraph = "split[a][b];[a]palettegen[p];[b][p]paletteuse";

void Check(int result, const char* what) {
  if (result < 0) {
    throw ZuMediaError(std::string("cannot make the GIF palette: ") + what + ": " +
                       ZuAvErrorText(result));
  }
}

struct InOutDeleter {
  void operator()(AVFilterInOut* list) const { avfilter_inout_free(&list); }
};
using InOut = std::unique_ptr<AVFilterInOut, InOutDeleter>;

// One end of the parsed graph, joined to filter.
InOut MakeEnd(const char* name, AVFilterContext* filter) {
  InOut end(avfilter_inout_alloc());
  if (!end) {
    throw std::bad_alloc();
  }
  end->name = av_strdup(name);
  end->filter_ctx = filter;
  return end;
}

}  // namespace

ZuPaletteFilter::ZuPaletteFilter(int width, int height, int frameRate)
    : m_graph(avfilter_graph_alloc()), m_out(ZuAvNewFrame()) {
  if (!m_graph) {
    throw std::bad_alloc();
  }
  const std::string source = "video_size=" + std::to_string(width) + "x" + std::to_string(height) +
                             ":pix_fmt=rgba:time_base=1/" + std::to_string(frameRate) +
                             ":pixel_aspect=1/1";
  Check(avfilter_graph_create_filter(&m_source, avfilter_get_by_name("buffer"), "in",
                                     source.c_str(), nullptr, m_graph.get()),
        "source");
  Check(avfilter_graph_create_filter(&m_sink, avfilter_get_by_name("buffersink"), "out", nullptr,
                                     nullptr, m_graph.get()),
        "sink");
  const AVPixelFormat formats[] = {AV_PIX_FMT_PAL8, AV_PIX_FMT_NONE};
  Check(av_opt_set_int_list(m_sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN),
        "sink format");
  InOut sourceEnd = MakeEnd("in", m_source);
  InOut sinkEnd = MakeEnd("out", m_sink);
  AVFilterInOut* outputs = sourceEnd.release();
  AVFilterInOut* inputs = sinkEnd.release();
  const int parsed = avfilter_graph_parse_ptr(m_graph.get(), kGraph, &inputs, &outputs, nullptr);
  avfilter_inout_free(&inputs);
  avfilter_inout_free(&outputs);
  Check(parsed, "graph");
  Check(avfilter_graph_config(m_graph.get(), nullptr), "graph");
}

void ZuPaletteFilter::Push(const AVFrame& frame) {
  Check(av_buffersrc_add_frame_flags(m_source, const_cast<AVFrame*>(&frame),
                                     AV_BUFFERSRC_FLAG_KEEP_REF),
        "frame");
}

void ZuPaletteFilter::Close() {
  Check(av_buffersrc_add_frame(m_source, nullptr), "end");
}

void ZuPaletteFilter::Pull(const std::function<void(AVFrame&)>& take) {
  for (;;) {
    const int result = av_buffersink_get_frame(m_sink, m_out.get());
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
      return;
    }
    Check(result, "frame");
    take(*m_out);
    av_frame_unref(m_out.get());
  }
}
