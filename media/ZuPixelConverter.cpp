#include "media/ZuPixelConverter.h"

#include <cstring>

#include "host/image/ZuImage.h"
#include "media/ZuMediaError.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

constexpr int kScalerFlags =
    SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP | SWS_FULL_CHR_H_INT;

// Repeats the last written column and row of a plane into the padding beyond them.
void PadPlane(uint8_t* data, int stride, int written, int writtenRows, int full, int rows) {
  for (int y = 0; y < writtenRows; ++y) {
    uint8_t* row = data + static_cast<ptrdiff_t>(y) * stride;
    std::memset(row + written, row[written - 1], static_cast<size_t>(full - written));
  }
  for (int y = writtenRows; y < rows; ++y) {
    std::memcpy(data + static_cast<ptrdiff_t>(y) * stride,
                data + static_cast<ptrdiff_t>(writtenRows - 1) * stride, static_cast<size_t>(full));
  }
}

// Fills the padding of a frame whose width x height top-left area is written. Padding is only
// needed for subsampled planar formats of one byte a sample (yuv420p).
void FillPadding(AVFrame& frame, int width, int height) {
  const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
  for (int plane = 0; plane < 3 && frame.data[plane] != nullptr; ++plane) {
    const int shiftX = plane == 0 ? 0 : format->log2_chroma_w;
    const int shiftY = plane == 0 ? 0 : format->log2_chroma_h;
    PadPlane(frame.data[plane], frame.linesize[plane], AV_CEIL_RSHIFT(width, shiftX),
             AV_CEIL_RSHIFT(height, shiftY), AV_CEIL_RSHIFT(frame.width, shiftX),
             AV_CEIL_RSHIFT(frame.height, shiftY));
  }
}

}  // namespace

SwsContext* ZuPixelConverter::Scaler(int sourceWidth, int sourceHeight, AVPixelFormat sourceFormat,
                                     int width, int height, AVPixelFormat format) {
  SwsContext* scaler =
      sws_getCachedContext(m_scaler.release(), sourceWidth, sourceHeight, sourceFormat, width,
                           height, format, kScalerFlags, nullptr, nullptr, nullptr);
  if (scaler == nullptr) {
    throw ZuMediaError(std::string("cannot convert pictures from ") +
                       av_get_pix_fmt_name(sourceFormat) + " to " + av_get_pix_fmt_name(format));
  }
  m_scaler.reset(scaler);
  return scaler;
}

void ZuPixelConverter::ToFrame(const ZuImage& picture, int width, int height, AVFrame& frame) {
  SwsContext* scaler = Scaler(picture.GetWidth(), picture.GetHeight(), AV_PIX_FMT_RGBA, width,
                              height, static_cast<AVPixelFormat>(frame.format));
  const uint8_t* source[1] = {picture.GetBuffer()};
  const int sourceStride[1] = {picture.GetWidth() * 4};
  sws_scale(scaler, source, sourceStride, 0, picture.GetHeight(), frame.data, frame.linesize);
  if (width < frame.width || height < frame.height) {
    FillPadding(frame, width, height);
  }
}

void ZuPixelConverter::ToImage(const AVFrame& frame, ZuImage& picture) {
  ToImage(frame.data, frame.linesize, frame.width, frame.height,
          static_cast<AVPixelFormat>(frame.format), picture);
}

void ZuPixelConverter::Scale(const ZuImage& picture, ZuImage& scaled) {
  const uint8_t* const source[4] = {picture.GetBuffer(), nullptr, nullptr, nullptr};
  const int sourceStride[4] = {picture.GetWidth() * 4, 0, 0, 0};
  ToImage(source, sourceStride, picture.GetWidth(), picture.GetHeight(), AV_PIX_FMT_RGBA, scaled);
}

void ZuPixelConverter::ToImage(const uint8_t* const* data, const int* stride, int sourceWidth,
                               int sourceHeight, AVPixelFormat format, ZuImage& picture) {
  const int width = picture.GetWidth();
  const int height = picture.GetHeight();
  SwsContext* scaler = Scaler(sourceWidth, sourceHeight, format, width, height, AV_PIX_FMT_RGBA);
  // The scaler may write a little past the end of a row, so it writes into a frame of
  // FFmpeg's, whose rows have that room, and the rows are copied.
  if (!m_rgba || m_rgba->width != width || m_rgba->height != height) {
    m_rgba = ZuAvNewFrame();
    m_rgba->format = AV_PIX_FMT_RGBA;
    m_rgba->width = width;
    m_rgba->height = height;
    if (av_frame_get_buffer(m_rgba.get(), 0) < 0) {
      m_rgba.reset();
      throw std::bad_alloc();
    }
  }
  sws_scale(scaler, data, stride, 0, sourceHeight, m_rgba->data, m_rgba->linesize);
  for (int y = 0; y < height; ++y) {
    std::memcpy(picture.Row(y), m_rgba->data[0] + static_cast<ptrdiff_t>(y) * m_rgba->linesize[0],
                static_cast<size_t>(width) * 4);
  }
}
