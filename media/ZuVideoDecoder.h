#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "media/ZuAvHandles.h"
#include "media/ZuPixelConverter.h"

class ZuImage;

// Reads the pictures of the first video stream of an input, in order, as RGBA pictures with
// their times. The input is a file of any type FFmpeg reads, or an input device (the X11
// screen grabber). Every failure throws ZuMediaError naming the input.
class ZuVideoDecoder {
 public:
  // url: a file path, or what the device takes (":0" for the X11 grabber); device: FFmpeg's
  // name of the input device, or null for a file; options: the input's own options.
  ZuVideoDecoder(const std::string& url, const char* device,
                 const std::map<std::string, std::string>& options);
  ZuVideoDecoder(const ZuVideoDecoder&) = delete;
  ZuVideoDecoder& operator=(const ZuVideoDecoder&) = delete;

  int GetWidth() const { return m_codec->width; }
  int GetHeight() const { return m_codec->height; }
  // The frame rate FFmpeg guesses for the stream, 0 when it cannot tell.
  double GetFrameRate() const;

  // Decodes the next picture into picture (the video's size) and sets time to when it
  // starts, in microseconds from the start of the video, and duration to how long it shows
  // (0 when the input does not say). False at the end.
  bool Next(ZuImage& picture, int64_t& time, int64_t& duration);

 private:
  void Open(const char* device, const std::map<std::string, std::string>& options);
  void OpenCodec();
  // Reads the next packet of the stream and gives it to the codec, or tells the codec the
  // input ended.
  void Feed();
  void TakeTimes(int64_t& time, int64_t& duration);
  void Check(int result, const char* what) const;

  std::string m_url;
  ZuAvInput m_input;
  ZuAvCodecContext m_codec;
  AVStream* m_stream = nullptr;
  ZuAvPacket m_packet;
  ZuAvFrame m_frame;
  ZuPixelConverter m_converter;
  int64_t m_origin;         // the stream time of the video's start
  int64_t m_lastTime = -1;  // the last picture's time, microseconds
  bool m_ended = false;     // the codec was told the input ended
};
