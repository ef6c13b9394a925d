#include "media/ZuGifColourCensus.h"

#include <algorithm>
#include <utility>

#include "media/ZuGifWriter.h"

ZuGifColourCensus::ZuGifColourCensus(const ZuAnimationSettings& settings) : m_settings(settings) {}

int64_t ZuGifColourCensus::TimeOfTick(int64_t tick) const {
  return ZuGifTimeOfTick(tick, m_settings.frameRate);
}

int64_t ZuGifColourCensus::MinDelay() const {
  return ZuGifMinDelay(m_settings.maxFrameRate);
}

void ZuGifColourCensus::WriteFrame(const ZuImage& picture, const ZuImage* previous,
                                   const ZuPixelRect& rect, int64_t /*delay*/) {
  if (rect.IsEmpty()) {
    return;
  }
  m_tally.Reset(m_settings.colours - 1);
  ZuTallyChangedPixels(picture, previous, rect, m_tally, m_changed);
  if (m_tally.Overflowed()) {
    return;
  }
  for (const auto& [colour, pixels] : m_tally.Counted()) {
    if (m_uses.size() < kMaxColours || m_uses.count(colour) != 0) {
      Uses& uses = m_uses[colour];
      ++uses.frames;
      uses.pixels += pixels;
    }
  }
}

std::vector<uint32_t> ZuGifColourCensus::MostUsed(int count) const {
  std::vector<std::pair<uint32_t, Uses>> ranked(m_uses.begin(), m_uses.end());
  const size_t kept = std::min(ranked.size(), static_cast<size_t>(std::max(count, 0)));
  const auto byFrames = [](const auto& a, const auto& b) {
    return a.second.frames != b.second.frames ? a.second.frames > b.second.frames
                                              : a.second.pixels > b.second.pixels;
  };
  std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(kept),
                    ranked.end(), byFrames);
  ranked.resize(kept);
  std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
    return a.second.pixels != b.second.pixels ? a.second.pixels > b.second.pixels
                                              : a.first < b.first;
  });
  std::vector<uint32_t> colours;
  colours.reserve(ranked.size());
  for (const auto& entry : ranked) {
    colours.push_back(entry.first);
  }
  return colours;
}
