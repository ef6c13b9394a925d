#include "media/ZuVideoEncoder.h"

#include <new>

#include "host/image/ZuImage.h"
#include "media/ZuMediaError.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace {

// libvpx's speed for VP9: 4 of 0 (slowest) to 8, a good balance for screen content.
constexpr const char* kVp9Speed = "4";

// The size a codec codes a picture of width x height in: subsampled formats need whole
// chroma samples, so odd sizes grow by one (and the picture is padded).
void CodedSize(AVPixelFormat pixels, int& width, int& height) {
  const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(pixels);
  const int stepX = 1 << format->log2_chroma_w;
  const int stepY = 1 << format->log2_chroma_h;
  width = (width + stepX - 1) / stepX * stepX;
  height = (height + stepY - 1) / stepY * stepY;
}

// The codec's own options for the quality asked for.
void SetQuality(AVCodecContext& codec, const std::string& name, int crf, bool lossless) {
  void* options = codec.priv_data;
  if (name == "libx264" || name == "libx264rgb") {
    if (lossless) {
      av_opt_set_int(options, "qp", 0, 0);
    } else {
      av_opt_set_double(options, "crf", crf, 0);
    }
  } else if (name == "libvpx-vp9") {
    codec.bit_rate = 0;
    av_opt_set(options, "cpu-used", kVp9Speed, 0);
    av_opt_set_int(options, "row-mt", 1, 0);
    if (lossless) {
      av_opt_set_int(options, "lossless", 1, 0);
    } else {
      av_opt_set_int(options, "crf", crf, 0);
    }
  } else if (name == "ffv1") {
    av_opt_set_int(options, "slices", 4, 0);  // level 3 slices let FFV1 use every core
    codec.level = 3;
  }
}

}  // namespace

ZuVideoEncoder::ZuVideoEncoder(const std::string& path, const ZuVideoFormat& format,
                               const ZuVideoEncoderSettings& settings)
    : m_path(path),
      m_file(path),
      m_frame(ZuAvNewFrame()),
      m_packet(ZuAvNewPacket()),
      m_width(settings.width),
      m_height(settings.height) {
  ZuAvQuietLog();
  OpenCodec(format, settings);
  OpenMuxer(format);
  AddChapters(settings.chapters);
  Check(avformat_write_header(m_muxer.get(), nullptr), "cannot start the file");
  AllocateFrame(m_codec->pix_fmt, m_codec->width, m_codec->height);
}

ZuVideoEncoder::~ZuVideoEncoder() = default;

void ZuVideoEncoder::Check(int result, const char* what) const {
  if (result < 0) {
    throw ZuMediaError(m_path + ": " + what + ": " + ZuAvErrorText(result));
  }
}

void ZuVideoEncoder::OpenCodec(const ZuVideoFormat& format,
                               const ZuVideoEncoderSettings& settings) {
  const char* name = settings.lossless ? format.losslessCodec : format.codec;
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  if (codec == nullptr) {
    throw ZuMediaError(m_path + ": this system's FFmpeg has no " + name + " encoder");
  }
  m_codec.reset(avcodec_alloc_context3(codec));
  if (!m_codec) {
    throw std::bad_alloc();
  }
  m_codec->pix_fmt = settings.lossless ? format.losslessPixels : format.pixels;
  int width = settings.width;
  int height = settings.height;
  CodedSize(m_codec->pix_fmt, width, height);
  m_codec->width = width;
  m_codec->height = height;
  m_codec->time_base = AVRational{1, settings.frameRate};
  m_codec->framerate = AVRational{settings.frameRate, 1};
  m_codec->sample_aspect_ratio = AVRational{1, 1};
  m_codec->thread_count = 0;  // as many as the machine has
  SetQuality(*m_codec, name, settings.crf >= 0 ? settings.crf : format.defaultCrf,
             settings.lossless);
}

void ZuVideoEncoder::OpenMuxer(const ZuVideoFormat& format) {
  AVFormatContext* muxer = nullptr;
  Check(avformat_alloc_output_context2(&muxer, nullptr, format.muxer, nullptr), "no container");
  m_muxer.reset(muxer);
  m_muxer->pb = m_file.GetIo();
  m_muxer->flags |= AVFMT_FLAG_CUSTOM_IO;
  if ((m_muxer->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
    m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  Check(avcodec_open2(m_codec.get(), m_codec->codec, nullptr), "cannot open the encoder");
  m_stream = avformat_new_stream(m_muxer.get(), nullptr);
  if (m_stream == nullptr) {
    throw std::bad_alloc();
  }
  m_stream->time_base = m_codec->time_base;
  m_stream->avg_frame_rate = m_codec->framerate;
  Check(avcodec_parameters_from_context(m_stream->codecpar, m_codec.get()), "encoder settings");
}

void ZuVideoEncoder::AddChapters(const std::vector<ZuVideoChapter>& chapters) {
  if (chapters.empty()) {
    return;
  }
  // Allocated as FFmpeg's own code does, as avformat_free_context frees them.
  auto** list = static_cast<AVChapter**>(av_calloc(chapters.size(), sizeof(AVChapter*)));
  if (list == nullptr) {
    throw std::bad_alloc();
  }
  m_muxer->chapters = list;
  for (const ZuVideoChapter& chapter : chapters) {
    auto* added = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
    if (added == nullptr) {
      throw std::bad_alloc();
    }
    list[m_muxer->nb_chapters] = added;
    added->id = ++m_muxer->nb_chapters;
    added->time_base = m_codec->time_base;
    added->start = chapter.startFrame;
    added->end = chapter.endFrame;
    Check(av_dict_set(&added->metadata, "title", chapter.name.c_str(), 0), "chapter name");
  }
}

void ZuVideoEncoder::AllocateFrame(AVPixelFormat pixels, int width, int height) {
  m_frame->format = pixels;
  m_frame->width = width;
  m_frame->height = height;
  Check(av_frame_get_buffer(m_frame.get(), 0), "no memory for a frame");
}

void ZuVideoEncoder::AddFrame(const ZuImage& picture, const ZuPixelRect& /*changed*/) {
  Check(av_frame_make_writable(m_frame.get()), "no memory for a frame");
  m_converter.ToFrame(picture, m_width, m_height, *m_frame);
  m_frame->pts = m_nextPts++;
  Encode(m_frame.get());
}

void ZuVideoEncoder::Encode(const AVFrame* frame) {
  Check(avcodec_send_frame(m_codec.get(), frame), "cannot encode");
  for (;;) {
    const int result = avcodec_receive_packet(m_codec.get(), m_packet.get());
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
      return;
    }
    Check(result, "cannot encode");
    if (m_packet->duration == 0) {
      m_packet->duration = 1;
    }
    av_packet_rescale_ts(m_packet.get(), m_codec->time_base, m_stream->time_base);
    m_packet->stream_index = m_stream->index;
    Check(av_interleaved_write_frame(m_muxer.get(), m_packet.get()), "cannot write");
  }
}

void ZuVideoEncoder::Finish() {
  Encode(nullptr);
  Check(av_write_trailer(m_muxer.get()), "cannot end the file");
  m_file.Commit();
}
