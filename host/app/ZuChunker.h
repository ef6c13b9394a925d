#pragma once

#include <cstddef>
#include <cstdint>

// Cuts bytes into chunks at boundaries chosen by their content, so that a change in one
// place moves only the boundaries near it: the chunks of two movies that differ by a cut
// or an inserted run of bytes are the same away from the change.
//
// A boundary falls where a rolling hash of the last 64 bytes (a gear hash: one shift and
// one table look-up per byte) has its top bits all zero. No boundary falls closer than a
// quarter of the average size to the last one, and a chunk never grows past four times
// the average. Before the average size the test asks for one more zero bit than after it,
// which gathers chunk sizes closely around the average.
class ZuChunker {
 public:
  // averageSize is rounded down to a power of two, at least 256.
  explicit ZuChunker(size_t averageSize);

  // The length of the chunk that starts at data: a content boundary in data[0, size), or
  // all of it when it ends before one is found (the last chunk of the input).
  size_t Cut(const uint8_t* data, size_t size) const;

  size_t GetMinimumSize() const { return m_minimum; }
  size_t GetAverageSize() const { return m_average; }
  size_t GetMaximumSize() const { return m_maximum; }

 private:
  size_t m_minimum;
  size_t m_average;
  size_t m_maximum;
  uint64_t m_maskBeforeAverage;  // the top bits that must be zero before the average size
  uint64_t m_maskAfterAverage;   // and after it
};
