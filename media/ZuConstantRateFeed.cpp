#include "media/ZuConstantRateFeed.h"

#include <algorithm>
#include <utility>

#include "media/ZuMediaError.h"
#include "recorder/ZuFmrRecorder.h"

extern "C" {
#include <libavutil/mathematics.h>
}

namespace {

constexpr int64_t kMicrosecondsPerSecond = 1000000;

}  // namespace

ZuConstantRateFeed::ZuConstantRateFeed(ZuFmrRecorder& recorder, int frameRate, int64_t from,
                                       int64_t to, int width, int height)
    : m_recorder(recorder),
      m_frameRate(frameRate),
      m_from(from),
      m_end(-1),
      m_incoming(std::make_unique<ZuImage>(width, height)),
      m_held(std::make_unique<ZuImage>(width, height)) {
  if (to >= 0) {
    m_end = std::max<int64_t>(1, Tick(to));
  }
}

int64_t ZuConstantRateFeed::Tick(int64_t time) const {
  return av_rescale_rnd(time - m_from, m_frameRate, kMicrosecondsPerSecond,
                        static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
}

void ZuConstantRateFeed::RecordHeld(int64_t untilTick) {
  if (m_end >= 0) {
    untilTick = std::min(untilTick, m_end);
  }
  for (int64_t tick = m_nextTick; tick < untilTick; ++tick) {
    if (!m_recorder.AddFrame(*m_held)) {
      throw ZuMediaError(m_recorder.GetLastError());
    }
    m_repeated += tick > m_nextTick ? 1 : 0;
  }
  m_nextTick = std::max(m_nextTick, untilTick);
}

void ZuConstantRateFeed::Arrive(int64_t time) {
  if (m_holding) {
    RecordHeld(Tick(time));
  }
  std::swap(m_held, m_incoming);
  m_holding = true;
}

void ZuConstantRateFeed::End(int64_t time) {
  if (m_holding) {
    RecordHeld(std::max(Tick(time), m_nextTick + 1));
  }
  m_holding = false;
}
