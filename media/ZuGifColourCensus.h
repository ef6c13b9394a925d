#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "media/ZuAnimationFormat.h"
#include "media/ZuColourTally.h"

// A GIF that writes nothing but counts the colours of its frames, so that the real one can
// start its global table with the colours most frames use. Run through the same encoder with
// the same settings, it sees exactly the frames the GIF will have. Only frames whose colours
// fit a table count (the others get a palette of their own anyway), each colour by the
// frames that use it, then by its pixels. A stand-in with the GIF's clock; owns no file.
class ZuGifColourCensus : public ZuAnimationFormat {
 public:
  explicit ZuGifColourCensus(const ZuAnimationSettings& settings);

  int64_t TimeOfTick(int64_t tick) const override;
  int64_t MinDelay() const override;
  int64_t MaxDelay() const override { return 0xFFFF; }
  void WriteFrame(const ZuImage& picture, const ZuImage* previous, const ZuPixelRect& rect,
                  int64_t delay) override;
  uint64_t BytesWritten() const override { return 0; }
  void Finish() override {}

  // The count colours used by most frames, the most frequent pixels first.
  std::vector<uint32_t> MostUsed(int count) const;

 private:
  struct Uses {
    uint64_t frames = 0;
    uint64_t pixels = 0;
  };
  // Colours counted at most: past that many, new ones are left out (a clip of so many colours
  // codes its frames with palettes of their own).
  static constexpr size_t kMaxColours = size_t{1} << 20;

  ZuAnimationSettings m_settings;
  ZuColourTally m_tally;
  std::vector<uint8_t> m_changed;
  std::unordered_map<uint32_t, Uses> m_uses;
};
