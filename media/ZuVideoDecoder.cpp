#include "media/ZuVideoDecoder.h"

#include "host/image/ZuImage.h"
#include "media/ZuMediaError.h"

extern "C" {
#include <libavdevice/avdevice.h>
}

namespace {

constexpr AVRational kMicroseconds{1, 1000000};

}  // namespace

ZuVideoDecoder::ZuVideoDecoder(const std::string& url, const char* device,
                               const std::map<std::string, std::string>& options,
                               const SizeCheck& sizeCheck)
    : m_url(url), m_sizeCheck(sizeCheck), m_packet(ZuAvNewPacket()), m_frame(ZuAvNewFrame()) {
  ZuAvQuietLog();
  Open(device, options);
  OpenCodec();
  m_origin = m_stream->start_time;
}

void ZuVideoDecoder::Check(int result, const char* what) const {
  if (result < 0) {
    throw ZuMediaError(m_url + ": " + what + ": " + ZuAvErrorText(result));
  }
}

void ZuVideoDecoder::Open(const char* device, const std::map<std::string, std::string>& options) {
  const AVInputFormat* format = nullptr;
  if (device != nullptr) {
    avdevice_register_all();
    format = av_find_input_format(device);
    if (format == nullptr) {
      throw ZuMediaError(m_url + ": this system's FFmpeg has no " + device + " input");
    }
  }
  AVDictionary* settings = nullptr;
  for (const auto& [key, value] : options) {
    av_dict_set(&settings, key.c_str(), value.c_str(), 0);
  }
  AVFormatContext* input = nullptr;
  ZuAvTakeLogged();
  const int opened = avformat_open_input(&input, m_url.c_str(), format, &settings);
  av_dict_free(&settings);
  // A header FFmpeg refuses (a picture size too large for it, say) is best told in its words.
  const std::string logged = ZuAvTakeLogged();
  if (opened < 0 && !logged.empty()) {
    throw ZuMediaError(m_url + ": " +
                       (device != nullptr ? "cannot open" : "not a video FFmpeg can read") + ": " +
                       logged);
  }
  Check(opened, device != nullptr ? "cannot open" : "not a video FFmpeg can read");
  m_input.reset(input);
  // The size a file declares in its header (Y4M, raw video) is refused before reading the
  // stream's first pictures, which could take the size's memory.
  const int declared = av_find_best_stream(m_input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (declared >= 0) {
    const AVCodecParameters* stream = m_input->streams[declared]->codecpar;
    if (stream->width > 0 && stream->height > 0) {
      CheckSize(stream->width, stream->height);
    }
  }
  if (device == nullptr) {
    Check(avformat_find_stream_info(m_input.get(), nullptr), "not a video FFmpeg can read");
  }
}

void ZuVideoDecoder::OpenCodec() {
  const AVCodec* codec = nullptr;
  const int index = av_find_best_stream(m_input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
  if (index == AVERROR_DECODER_NOT_FOUND) {
    throw ZuMediaError(m_url + ": this system's FFmpeg cannot decode its video");
  }
  if (index < 0) {
    throw ZuMediaError(m_url + ": holds no video");
  }
  m_stream = m_input->streams[index];
  m_codec.reset(avcodec_alloc_context3(codec));
  if (!m_codec) {
    throw std::bad_alloc();
  }
  Check(avcodec_parameters_to_context(m_codec.get(), m_stream->codecpar), "video settings");
  m_codec->thread_count = 0;
  Check(avcodec_open2(m_codec.get(), codec, nullptr), "cannot open the decoder");
  if (m_codec->width < 1 || m_codec->height < 1) {
    throw ZuMediaError(m_url + ": the video has no picture size");
  }
  CheckSize(m_codec->width, m_codec->height);
}

void ZuVideoDecoder::CheckSize(int width, int height) const {
  const std::string why = m_sizeCheck ? m_sizeCheck(width, height) : std::string();
  if (!why.empty()) {
    throw ZuMediaError(m_url + ": " + why);
  }
}

double ZuVideoDecoder::GetFrameRate() const {
  const AVRational rate = av_guess_frame_rate(m_input.get(), m_stream, nullptr);
  return rate.num > 0 && rate.den > 0 ? av_q2d(rate) : 0.0;
}

bool ZuVideoDecoder::HasPicture() {
  if (!m_waiting) {
    m_waiting = Receive();
  }
  return m_waiting;
}

bool ZuVideoDecoder::Next(ZuImage& picture, int64_t& time, int64_t& duration) {
  if (!HasPicture()) {
    return false;
  }
  m_waiting = false;
  m_converter.ToImage(*m_frame, picture);
  TakeTimes(time, duration);
  av_frame_unref(m_frame.get());
  return true;
}

bool ZuVideoDecoder::Receive() {
  for (;;) {
    const int result = avcodec_receive_frame(m_codec.get(), m_frame.get());
    if (result == 0) {
      return true;
    }
    if (result == AVERROR_EOF) {
      return false;
    }
    if (result != AVERROR(EAGAIN)) {
      Check(result, "cannot decode");
    }
    if (m_ended) {
      return false;
    }
    Feed();
  }
}

void ZuVideoDecoder::Feed() {
  for (;;) {
    const int read = av_read_frame(m_input.get(), m_packet.get());
    if (read == AVERROR_EOF) {
      m_ended = true;
      Check(avcodec_send_packet(m_codec.get(), nullptr), "cannot decode");
      return;
    }
    Check(read, "cannot read");
    if (m_packet->stream_index != m_stream->index) {
      av_packet_unref(m_packet.get());
      continue;
    }
    const int sent = avcodec_send_packet(m_codec.get(), m_packet.get());
    av_packet_unref(m_packet.get());
    // A damaged packet loses its picture, as players do; the next key frame recovers.
    if (sent != AVERROR_INVALIDDATA) {
      Check(sent, "cannot decode");
    }
    return;
  }
}

void ZuVideoDecoder::TakeTimes(int64_t& time, int64_t& duration) {
  const int64_t stamp = m_frame->best_effort_timestamp;
  duration = m_frame->pkt_duration > 0
                 ? av_rescale_q(m_frame->pkt_duration, m_stream->time_base, kMicroseconds)
                 : 0;
  if (stamp == AV_NOPTS_VALUE) {
    // No time: the picture follows the last one by its own duration.
    time = m_lastTime < 0 ? 0 : m_lastTime + duration;
  } else {
    if (m_origin == AV_NOPTS_VALUE) {
      m_origin = stamp;
    }
    time = av_rescale_q(stamp - m_origin, m_stream->time_base, kMicroseconds);
  }
  m_lastTime = time;
}
