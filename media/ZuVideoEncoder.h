#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/ZuAvHandles.h"
#include "media/ZuAvOutputFile.h"
#include "media/ZuFrameSink.h"
#include "media/ZuPixelConverter.h"
#include "media/formats/ZuVideoFormats.h"

class ZuImage;

// A named stretch of the video a player can jump to, in video frames from 0.
struct ZuVideoChapter {
  std::string name;
  int64_t startFrame = 0;
  int64_t endFrame = 0;  // the first frame after it
};

// What the encoder makes of the pictures it is given.
struct ZuVideoEncoderSettings {
  int width = 0;  // the video's picture size; pictures of another size are scaled to it
  int height = 0;
  int frameRate = 15;  // whole frames per second
  int crf = -1;        // the codec's constant-quality level; -1: the format's default
  bool lossless = false;
  std::vector<ZuVideoChapter> chapters;  // kept by the containers that keep chapters
};

// Encodes RGBA pictures, one per frame at a constant rate, into a video file of one format.
// The file appears at its path only when Finish succeeds; an encoder destroyed before that
// leaves no file. Every failure throws ZuMediaError naming the path.
class ZuVideoEncoder : public ZuFrameSink {
 public:
  ZuVideoEncoder(const std::string& path, const ZuVideoFormat& format,
                 const ZuVideoEncoderSettings& settings);
  ~ZuVideoEncoder() override;
  ZuVideoEncoder(const ZuVideoEncoder&) = delete;
  ZuVideoEncoder& operator=(const ZuVideoEncoder&) = delete;

  // Encodes every picture whole: changed does not matter to a video codec.
  void AddFrame(const ZuImage& picture, const ZuPixelRect& changed) override;
  // Encodes what is still buffered, ends the container and puts the file in place.
  void Finish() override;

 private:
  struct MuxerDeleter {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
  };

  void OpenCodec(const ZuVideoFormat& format, const ZuVideoEncoderSettings& settings);
  void OpenMuxer(const ZuVideoFormat& format);
  void AddChapters(const std::vector<ZuVideoChapter>& chapters);
  void AllocateFrame(AVPixelFormat pixels, int width, int height);
  // Sends a frame (null: the end) to the codec and writes the packets it gives back.
  void Encode(const AVFrame* frame);
  void Check(int result, const char* what) const;

  std::string m_path;
  ZuAvOutputFile m_file;
  std::unique_ptr<AVFormatContext, MuxerDeleter> m_muxer;
  ZuAvCodecContext m_codec;
  AVStream* m_stream = nullptr;
  ZuPixelConverter m_converter;
  ZuAvFrame m_frame;  // the next picture in the codec's input format
  ZuAvPacket m_packet;
  int m_width;
  int m_height;
  int64_t m_nextPts = 0;
};
