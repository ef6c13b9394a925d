#pragma once

#include "media/ZuAvHandles.h"

class ZuImage;

// The one place where pictures change pixel format or size: our RGBA pictures into the
// frames an encoder takes, and decoded frames into RGBA pictures. Keeps its scaler between
// calls while the sizes and formats stay the same.
class ZuPixelConverter {
 public:
  // Converts picture into frame, whose format and size are set and whose buffers are
  // allocated. The picture is scaled to width x height; when the frame is larger (padded to
  // the sizes a codec needs), the last column and row are repeated into the padding.
  void ToFrame(const ZuImage& picture, int width, int height, AVFrame& frame);
  // Converts a decoded frame into picture, which has the frame's size.
  void ToImage(const AVFrame& frame, ZuImage& picture);
  // Scales picture to the size of scaled.
  void Scale(const ZuImage& picture, ZuImage& scaled);

 private:
  SwsContext* Scaler(int sourceWidth, int sourceHeight, AVPixelFormat sourceFormat, int width,
                     int height, AVPixelFormat format);
  void ToImage(const uint8_t* const* data, const int* stride, int sourceWidth, int sourceHeight,
               AVPixelFormat format, ZuImage& picture);

  ZuSwsContext m_scaler;
  ZuAvFrame m_rgba;  // where decoded frames are converted to before they are copied out
};
