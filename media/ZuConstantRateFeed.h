#pragma once

#include <cstdint>
#include <memory>

#include "host/image/ZuImage.h"

class ZuFmrRecorder;

// Puts pictures that come at any times (a video of variable frame rate, a screen grabber that
// falls behind) into the recorder at a constant whole frame rate. Each picture starts at the
// tick nearest its time, so small jitter changes nothing; frame k of the movie shows the last
// picture started by tick k, and a picture replaced before its tick comes is not seen. A
// tick that passes with no new picture repeats the one held.
class ZuConstantRateFeed {
 public:
  // Ticks at frameRate a second from `from` (microseconds into the input) up to `to`
  // (excluded; negative: no end). Pictures are width x height.
  ZuConstantRateFeed(ZuFmrRecorder& recorder, int frameRate, int64_t from, int64_t to, int width,
                     int height);

  // Where the next picture is to be decoded.
  ZuImage& Incoming() { return *m_incoming; }
  // The incoming picture starts at time: the held one is recorded for the ticks before it,
  // and the incoming one is held. Throws ZuMediaError when the recorder refuses a frame.
  void Arrive(int64_t time);
  // The input ended at time: the held picture is recorded up to it, at least once.
  void End(int64_t time);
  // True once the tick of `to` is reached: later pictures would not be recorded.
  bool IsFull() const { return m_end >= 0 && m_nextTick >= m_end; }
  // Ticks filled by repeating a picture because no new one had come.
  int64_t GetRepeated() const { return m_repeated; }

 private:
  // The tick nearest to time.
  int64_t Tick(int64_t time) const;
  void RecordHeld(int64_t untilTick);

  ZuFmrRecorder& m_recorder;
  int m_frameRate;
  int64_t m_from;
  int64_t m_end;  // the tick of `to`, or -1
  std::unique_ptr<ZuImage> m_incoming;
  std::unique_ptr<ZuImage> m_held;
  bool m_holding = false;
  int64_t m_nextTick = 0;
  int64_t m_repeated = 0;
};
