#include "host/app/ZuByteMatcher.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr size_t kWindow = ZuByteMatcher::kWindow;
// How far the walk compares straight on before it calls a short agreement a coincidence:
// a repeat this short costs more to refer to than to store.
constexpr size_t kShortestRepeat = 16;
// How far ahead of a mismatch the walk looks for the bytes to agree again.
constexpr size_t kNear = 64;

// A window's hash from its four 8-byte words: a few instructions, so that hashing the window
// at every position of the bytes the walk lost its place in costs no more than rolling.
uint64_t HashWindow(const uint8_t* window) {
  static_assert(kWindow == 32);
  uint64_t words[4];
  std::memcpy(words, window, sizeof words);
  return (words[0] * 0x9E3779B97F4A7C15ull) ^ (words[1] * 0xC2B2AE3D27D4EB4Full) ^
         (words[2] * 0x165667B19E3779F9ull) ^ (words[3] * 0xD6E8FEB86659FD93ull);
}

// A multiplicative step spreads the hash's bits over the top bits that pick a slot.
size_t Slot(uint64_t hash, int bits) {
  return static_cast<size_t>((hash * 0x9E3779B97F4A7C15ull) >> (64 - bits));
}

// Adds run to the end of runs, joined to the last one when it continues it.
void Append(std::vector<ZuByteMatcher::Run>& runs, const ZuByteMatcher::Run& run) {
  if (run.size == 0) {
    return;
  }
  if (!runs.empty()) {
    ZuByteMatcher::Run& last = runs.back();
    if (last.source == run.source && last.from + last.size == run.from) {
      last.size += run.size;
      return;
    }
  }
  runs.push_back(run);
}

}  // namespace

// Windows of a source at every stride-th byte, by their hash: an open-addressing table of
// window numbers (plus one; zero marks a free slot), at most half full. The stride is the
// window's length, or more for a source so large that the table would pass kMostWindows:
// memory stays bounded, and a repeat is still found within two strides. Windows with equal
// bytes are kept once, so a long run of one byte value costs one slot.
class ZuByteMatcher::Index {
 public:
  explicit Index(std::span<const uint8_t> source)
      : m_source(source),
        m_stride(std::max(kWindow, (source.size() / kMostWindows + kWindow) / kWindow * kWindow)) {
    const size_t windows = source.size() < kWindow ? 0 : (source.size() - kWindow) / m_stride + 1;
    m_bits = std::max(4, static_cast<int>(std::bit_width(windows * 2)));
    m_slots.assign(size_t{1} << m_bits, 0);
    for (size_t number = 0; number < windows; ++number) {
      Insert(number);
    }
  }

  // The offset in the source of a window equal to target's, or false.
  bool Find(const uint8_t* window, uint64_t hash, size_t* offset) const {
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = Slot(hash, m_bits);; slot = (slot + 1) & mask) {
      const uint32_t entry = m_slots[slot];
      if (entry == 0) {
        return false;
      }
      const size_t at = size_t{entry - 1} * m_stride;
      if (std::memcmp(m_source.data() + at, window, kWindow) == 0) {
        *offset = at;
        return true;
      }
    }
  }

 private:
  // At most this many windows are indexed: a table of 32 MiB.
  static constexpr size_t kMostWindows = size_t{4} << 20;

  void Insert(size_t number) {
    const uint8_t* window = m_source.data() + number * m_stride;
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = Slot(HashWindow(window), m_bits);; slot = (slot + 1) & mask) {
      const uint32_t entry = m_slots[slot];
      if (entry == 0) {
        m_slots[slot] = static_cast<uint32_t>(number + 1);
        return;
      }
      if (std::memcmp(m_source.data() + size_t{entry - 1} * m_stride, window, kWindow) == 0) {
        return;
      }
    }
  }

  std::span<const uint8_t> m_source;
  size_t m_stride;
  int m_bits = 0;
  std::vector<uint32_t> m_slots;
};

ZuByteMatcher::ZuByteMatcher(std::vector<std::span<const uint8_t>> sources)
    : m_sources(std::move(sources)), m_indexes(m_sources.size()) {}

ZuByteMatcher::~ZuByteMatcher() = default;

size_t ZuByteMatcher::AgreeingLength(std::span<const uint8_t> target, size_t at,
                                     const Run& expected) const {
  const std::span<const uint8_t> source = m_sources[static_cast<size_t>(expected.source)];
  const size_t from = expected.from;
  const size_t most = std::min(target.size() - at, source.size() - from);
  // Whole blocks by memcmp while they agree, then byte by byte inside the first that does not.
  constexpr size_t kBlock = 256;
  size_t length = 0;
  while (length + kBlock <= most &&
         std::memcmp(target.data() + at + length, source.data() + from + length, kBlock) == 0) {
    length += kBlock;
  }
  while (length < most && target[at + length] == source[from + length]) {
    ++length;
  }
  return length;
}

bool ZuByteMatcher::FindRepeat(std::span<const uint8_t> target, size_t from, Run* match,
                               size_t* at) {
  if (target.size() - from < kWindow) {
    return false;
  }
  for (size_t i = 0; i < m_sources.size(); ++i) {
    if (m_indexes[i] == nullptr) {
      m_indexes[i] = std::make_unique<Index>(m_sources[i]);
    }
  }
  for (size_t p = from; p + kWindow <= target.size(); ++p) {
    const uint64_t hash = HashWindow(target.data() + p);
    for (size_t i = 0; i < m_sources.size(); ++i) {
      size_t offset = 0;
      if (m_indexes[i]->Find(target.data() + p, hash, &offset)) {
        const std::span<const uint8_t> source = m_sources[i];
        size_t start = p;
        while (start > from && offset > 0 && target[start - 1] == source[offset - 1]) {
          --start;
          --offset;
        }
        *match = {static_cast<int>(i), offset, 0};
        match->size = AgreeingLength(target, start, *match);
        *at = start;
        return true;
      }
    }
  }
  return false;
}

bool ZuByteMatcher::FindNear(std::span<const uint8_t> target, size_t at, const Run& expected,
                             Run* match, size_t* start) const {
  const std::span<const uint8_t> source = m_sources[static_cast<size_t>(expected.source)];
  const auto agrees = [&](size_t targetAt, size_t sourceAt) {
    return targetAt + kShortestRepeat <= target.size() &&
           sourceAt + kShortestRepeat <= source.size() &&
           std::memcmp(target.data() + targetAt, source.data() + sourceAt, kShortestRepeat) == 0;
  };
  for (size_t distance = 1; distance <= kNear; ++distance) {
    // Bytes left out of the source, bytes put in place of as many, bytes put in.
    const std::pair<size_t, size_t> tries[] = {{at, expected.from + distance},
                                               {at + distance, expected.from + distance},
                                               {at + distance, expected.from}};
    for (const auto& [targetAt, sourceAt] : tries) {
      if (agrees(targetAt, sourceAt)) {
        *match = {expected.source, sourceAt, 0};
        match->size = AgreeingLength(target, targetAt, *match);
        *start = targetAt;
        return true;
      }
    }
  }
  return false;
}

std::vector<ZuByteMatcher::Run> ZuByteMatcher::Match(std::span<const uint8_t> target) {
  std::vector<Run> runs;
  Run expected{m_sources.empty() ? -1 : 0, 0, 0};
  size_t at = 0;
  while (at < target.size()) {
    const bool placed = expected.source >= 0 &&
                        expected.from < m_sources[static_cast<size_t>(expected.source)].size();
    const size_t agreeing = placed ? AgreeingLength(target, at, expected) : 0;
    if (agreeing >= kShortestRepeat || (agreeing > 0 && at + agreeing == target.size())) {
      Append(runs, {expected.source, expected.from, agreeing});
      at += agreeing;
      expected.from += agreeing;
      continue;
    }
    // Where the bytes stop agreeing, most edits have left out, replaced or put in a few bytes
    // (a tag dropped, a header field rewritten): the walk looks just ahead on both sides
    // first, then through the index.
    Run repeat;
    size_t start = 0;
    const Run mismatch{expected.source, expected.from + agreeing, 0};
    if (placed && FindNear(target, at + agreeing, mismatch, &repeat, &start)) {
      Append(runs, {expected.source, expected.from, agreeing});
      at += agreeing;
    } else if (m_sources.empty() || !FindRepeat(target, at, &repeat, &start)) {
      Append(runs, {-1, at, target.size() - at});
      break;
    }
    Append(runs, {-1, at, start - at});
    Append(runs, repeat);
    at = start + repeat.size;
    expected = {repeat.source, repeat.from + repeat.size, 0};
  }
  return runs;
}
