#pragma once

#include <cstdint>
#include <functional>
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
  // Why pictures of width x height cannot be taken; empty when they can.
  using SizeCheck = std::function<std::string(int width, int height)>;

  // url: a file path, or what the device takes (":0" for the X11 grabber); device: FFmpeg's
  // name of the input device, or null for a file; options: the input's own options;
  // sizeCheck, if given, refuses the video's picture size as soon as the input declares it,
  // before any picture is read, and again once the decoder is open.
  ZuVideoDecoder(const std::string& url, const char* device,
                 const std::map<std::string, std::string>& options,
                 const SizeCheck& sizeCheck = nullptr);
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
  // Decodes the next picture, which Next then gives, unless one is waiting already: false
  // when the input holds no more. So a caller can learn that there is a picture before it
  // prepares to take pictures of the video's size.
  bool HasPicture();

 private:
  void Open(const char* device, const std::map<std::string, std::string>& options);
  void OpenCodec();
  // Throws ZuMediaError with the reason when m_sizeCheck refuses width x height.
  void CheckSize(int width, int height) const;
  // Decodes the next picture into m_frame; false at the end.
  bool Receive();
  // Reads the next packet of the stream and gives it to the codec, or tells the codec the
  // input ended.
  void Feed();
  void TakeTimes(int64_t& time, int64_t& duration);
  void Check(int result, const char* what) const;

  std::string m_url;
  SizeCheck m_sizeCheck;
  ZuAvInput m_input;
  ZuAvCodecContext m_codec;
  AVStream* m_stream = nullptr;
  ZuAvPacket m_packet;
  ZuAvFrame m_frame;
  ZuPixelConverter m_converter;
  int64_t m_origin;         // the stream time of the video's start
  int64_t m_lastTime = -1;  // the last picture's time, microseconds
  bool m_ended = false;     // the codec was told the input ended
  bool m_waiting = false;   // m_frame holds a picture that Next has not given yet
};
