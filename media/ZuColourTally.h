#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "host/image/ZuPixelRect.h"

class ZuImage;

// The distinct colours of a frame's changed pixels and how often each occurs, up to a limit:
// past it the tally only notes that there are more (the frame then needs a quantized palette).
// Colours are 0xBBGGRR, as an RGBA pixel read little-endian without its alpha. Also serves as
// the colour-to-index lookup of an exact palette. Reused from frame to frame.
class ZuColourTally {
 public:
  // Starts a new tally of at most limit colours (at most 1024).
  void Reset(int limit);
  // Counts one pixel of colour; false once the tally holds more colours than its limit.
  bool Add(uint32_t colour);
  bool Overflowed() const { return m_overflowed; }
  // The colours counted, the most frequent first.
  std::vector<uint32_t> ByFrequency() const;
  // The colours counted with their counts, in no order.
  std::vector<std::pair<uint32_t, uint32_t>> Counted() const;

  // Lookup use: gives colour the value index; Find returns it, or -1 for a colour not set.
  void Set(uint32_t colour, int index);
  int Find(uint32_t colour) const;
  int Size() const { return m_size; }

 private:
  static constexpr int kSlots = 2048;  // twice the largest limit: short probe runs
  static constexpr uint32_t kFree = 0xFFFFFFFF;

  int Slot(uint32_t colour) const;

  uint32_t m_colours[kSlots];
  uint32_t m_values[kSlots];  // counts, or indices
  int m_size = 0;
  int m_limit = 0;
  bool m_overflowed = false;
};

// Marks in changed, per pixel of rect (row by row), whether picture differs there from
// previous (every pixel when previous is null) and adds the colours of the changed ones to
// tally. True when some pixel of rect did not change.
bool ZuTallyChangedPixels(const ZuImage& picture, const ZuImage* previous, const ZuPixelRect& rect,
                          ZuColourTally& tally, std::vector<uint8_t>& changed);
