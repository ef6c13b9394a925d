#include "host/app/ZuKnownChunks.h"

#include <cstring>

namespace {

// How many bytes of a chunk's start find it, and how many chunks starting alike are
// compared before giving up (runs of equal bytes can start many chunks alike).
constexpr size_t kKeySize = 16;
constexpr int kMaxCandidates = 8;

uint64_t Key(const uint8_t* start) {
  uint64_t first = 0;
  uint64_t second = 0;
  std::memcpy(&first, start, sizeof first);
  std::memcpy(&second, start + sizeof first, sizeof second);
  return first ^ (second * 0x9E3779B97F4A7C15ull);
}

}  // namespace

ZuKnownChunks::ZuKnownChunks(ZuSharedBytes bytes, std::vector<Chunk> chunks)
    : m_bytes(std::move(bytes)), m_chunks(std::move(chunks)) {
  m_byStart.reserve(m_chunks.size());
  for (size_t i = 0; i + 1 < m_chunks.size(); ++i) {
    if (m_chunks[i].size >= kKeySize) {
      m_byStart.emplace(Key(m_bytes.data() + m_chunks[i].offset), i);
    }
  }
}

bool ZuKnownChunks::Fits(std::span<const uint8_t> movie, size_t at, size_t index) const {
  const Chunk& chunk = m_chunks[index];
  return index + 1 < m_chunks.size() && chunk.size <= movie.size() - at &&
         std::memcmp(movie.data() + at, m_bytes.data() + chunk.offset, chunk.size) == 0;
}

const ZuKnownChunks::Chunk* ZuKnownChunks::Match(std::span<const uint8_t> movie, size_t at,
                                                 size_t* hint) const {
  if (*hint < m_chunks.size() && Fits(movie, at, *hint)) {
    return &m_chunks[(*hint)++];
  }
  if (movie.size() - at < kKeySize) {
    return nullptr;
  }
  auto [candidate, end] = m_byStart.equal_range(Key(movie.data() + at));
  for (int tried = 0; candidate != end && tried < kMaxCandidates; ++candidate, ++tried) {
    if (Fits(movie, at, candidate->second)) {
      *hint = candidate->second + 1;
      return &m_chunks[candidate->second];
    }
  }
  return nullptr;
}
