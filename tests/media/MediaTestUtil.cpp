#include "tests/media/MediaTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>

#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

struct Decoding {
  AVFormatContext* input = nullptr;
  AVCodecContext* codec = nullptr;
  AVFrame* frame = av_frame_alloc();
  AVFrame* rgba = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  SwsContext* scaler = nullptr;
  ~Decoding() {
    sws_freeContext(scaler);
    av_packet_free(&packet);
    av_frame_free(&frame);
    av_frame_free(&rgba);
    avcodec_free_context(&codec);
    avformat_close_input(&input);
  }
};

// Moves every frame the codec has ready into pictures, as RGBA (through a frame of FFmpeg's,
// whose rows have the room its converters write past the end).
void TakeFrames(Decoding& d, std::vector<ZuImage>& pictures, std::vector<double>* starts,
                AVRational timeBase) {
  while (avcodec_receive_frame(d.codec, d.frame) == 0) {
    if (starts != nullptr) {
      starts->push_back(static_cast<double>(d.frame->best_effort_timestamp) * av_q2d(timeBase));
    }
    const int width = d.frame->width;
    const int height = d.frame->height;
    av_frame_unref(d.rgba);
    d.rgba->format = AV_PIX_FMT_RGBA;
    d.rgba->width = width;
    d.rgba->height = height;
    ASSERT_GE(av_frame_get_buffer(d.rgba, 0), 0);
    d.scaler = sws_getCachedContext(
        d.scaler, width, height, static_cast<AVPixelFormat>(d.frame->format), width, height,
        AV_PIX_FMT_RGBA, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr,
        nullptr);
    sws_scale(d.scaler, d.frame->data, d.frame->linesize, 0, height, d.rgba->data,
              d.rgba->linesize);
    ZuImage picture(width, height);
    for (int y = 0; y < height; ++y) {
      std::memcpy(picture.Row(y), d.rgba->data[0] + ptrdiff_t{y} * d.rgba->linesize[0],
                  size_t{4} * width);
    }
    pictures.push_back(picture);
  }
}

}  // namespace

std::vector<ZuImage> DecodeVideo(const std::string& path, double* seconds,
                                 std::vector<double>* starts) {
  std::vector<ZuImage> pictures;
  Decoding d;
  if (avformat_open_input(&d.input, path.c_str(), nullptr, nullptr) < 0 ||
      avformat_find_stream_info(d.input, nullptr) < 0) {
    ADD_FAILURE() << path << ": cannot be read";
    return pictures;
  }
  const AVCodec* decoder = nullptr;
  const int stream = av_find_best_stream(d.input, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  d.codec = stream >= 0 ? avcodec_alloc_context3(decoder) : nullptr;
  if (d.codec == nullptr ||
      avcodec_parameters_to_context(d.codec, d.input->streams[stream]->codecpar) < 0 ||
      avcodec_open2(d.codec, decoder, nullptr) < 0) {
    ADD_FAILURE() << path << ": no video to decode";
    return pictures;
  }
  *seconds = d.input->duration == AV_NOPTS_VALUE
                 ? -1
                 : static_cast<double>(d.input->duration) / AV_TIME_BASE;
  const AVRational timeBase = d.input->streams[stream]->time_base;
  while (av_read_frame(d.input, d.packet) >= 0) {
    if (d.packet->stream_index == stream) {
      EXPECT_GE(avcodec_send_packet(d.codec, d.packet), 0) << path;
    }
    av_packet_unref(d.packet);
    TakeFrames(d, pictures, starts, timeBase);
  }
  avcodec_send_packet(d.codec, nullptr);
  TakeFrames(d, pictures, starts, timeBase);
  return pictures;
}

std::vector<ZuImage> AtFrameRate(const std::vector<ZuImage>& pictures,
                                 const std::vector<double>& starts, double rate, size_t count) {
  std::vector<ZuImage> shown;
  size_t next = 0;
  for (size_t k = 0; k < count && !pictures.empty(); ++k) {
    while (next < starts.size() && starts[next] <= static_cast<double>(k) / rate + 0.0051) {
      ++next;
    }
    shown.push_back(pictures[next == 0 ? 0 : next - 1]);
  }
  return shown;
}

double LumaPsnr(const ZuImage& actual, const ZuImage& expected) {
  if (actual.GetWidth() < expected.GetWidth() || actual.GetHeight() < expected.GetHeight()) {
    return 0;
  }
  const auto luma = [](const uint8_t* p) { return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]; };
  double squares = 0;
  for (int y = 0; y < expected.GetHeight(); ++y) {
    for (int x = 0; x < expected.GetWidth(); ++x) {
      const double difference =
          luma(actual.Row(y) + ptrdiff_t{4} * x) - luma(expected.Row(y) + ptrdiff_t{4} * x);
      squares += difference * difference;
    }
  }
  const double pixels = static_cast<double>(expected.GetWidth()) * expected.GetHeight();
  return squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * pixels / squares);
}

std::string ReadChapters(const std::string& path) {
  AVFormatContext* input = nullptr;
  EXPECT_EQ(avformat_open_input(&input, path.c_str(), nullptr, nullptr), 0) << path;
  std::ostringstream text;
  for (unsigned i = 0; input != nullptr && i < input->nb_chapters; ++i) {
    const AVChapter& chapter = *input->chapters[i];
    const AVDictionaryEntry* title = av_dict_get(chapter.metadata, "title", nullptr, 0);
    text << chapter.start * av_q2d(chapter.time_base) << " " << (title ? title->value : "") << "\n";
  }
  avformat_close_input(&input);
  return text.str();
}

void WriteTestMovie(const std::string& path, int width, int height, int frames, bool fewColours,
                    bool still) {
  // Few colours: the gradient in 8 steps a side, 64 colours and the square's.
  const auto shade = [fewColours](int at, int side) {
    return static_cast<uint8_t>(fewColours ? at * 8 / side * 255 / 7 : at * 255 / side);
  };
  std::vector<ZuImage> pictures;
  for (int frame = 0; frame < frames; ++frame) {
    const int n = still ? 0 : frame;
    ZuImage picture(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        uint8_t* pixel = picture.Row(y) + static_cast<size_t>(x) * 4;
        const bool square = x >= 2 * n && x < 2 * n + 8 && y >= n && y < n + 6;
        pixel[0] = square ? 230 : shade(x, width);
        pixel[1] = square ? 40 : shade(y, height);
        pixel[2] = square ? 90 : 160;
        pixel[3] = 255;
      }
    }
    pictures.push_back(picture);
  }
  std::unique_ptr<ZuTavoFile> movie = RecordFrames(pictures, 32, 30);
  ASSERT_TRUE(movie != nullptr);
  WriteMovieFile(*movie, path);
  ExpectOracleAccepts(path, *movie);
}
