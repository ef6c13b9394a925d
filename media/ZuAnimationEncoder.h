#pragma once

#include <cstdint>
#include <memory>

#include "host/image/ZuImage.h"
#include "media/ZuAnimationFormat.h"
#include "media/ZuFrameSink.h"
#include "media/ZuPixelConverter.h"

// Turns pictures given at a constant rate into the frames of a GIF or animated PNG. A frame is
// written only when the picture changes, as the rectangle around what changed; pictures that
// change nothing lengthen the frame before. A change that comes sooner than the format's
// shortest delay after the frame before replaces that frame's picture (the later picture is
// shown). Each frame starts at its picture's rounded time, so rounding never adds up.
//
// Holds two pictures of the animation's size, the one its frames show and the one waiting to
// be written (a frame is written when the next change tells its delay), and, when pictures of
// another size are given, one scaled picture; memory does not grow with the clip.
class ZuAnimationEncoder : public ZuFrameSink {
 public:
  // Pictures of any size are scaled to the settings' size.
  ZuAnimationEncoder(std::unique_ptr<ZuAnimationFormat> format,
                     const ZuAnimationSettings& settings);

  void AddFrame(const ZuImage& picture, const ZuPixelRect& changed) override;
  void Finish() override;
  uint64_t BytesWritten() const { return m_format->BytesWritten(); }

 private:
  // given, or given scaled to the animation's size (into m_scaled).
  const ZuImage& AtSize(const ZuImage& given);
  // The waiting picture becomes a frame lasting until time.
  void WriteWaiting(int64_t until);

  std::unique_ptr<ZuAnimationFormat> m_format;
  ZuImage m_shown;               // what the frames written so far show
  ZuImage m_waiting;             // the latest picture, not written yet
  ZuPixelRect m_waitingChanges;  // where m_waiting may differ from m_shown
  int64_t m_waitingStart = 0;    // its time, in the format's unit
  int64_t m_ticks = 0;           // pictures given so far
  bool m_firstWritten = false;
  ZuPixelConverter m_scaler;
  ZuImage m_scaled;
};
