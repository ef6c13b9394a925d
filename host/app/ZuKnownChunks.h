#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "host/app/ZuSha256.h"
#include "host/util/ZuSharedBytes.h"

// The chunks of a movie version read from the project, with its bytes, each chunk checked
// against its digest when it was read. A new movie made from that one (an edit's result)
// repeats most of them: where its bytes at a chunk boundary equal a known chunk's, that chunk
// is the one the chunker would cut there, so it needs neither cutting nor hashing.
//
// A chunk's cut depends only on the bytes from its start to its end, as long as at least
// that many bytes follow the start; the last chunk of a movie may have been cut short by the
// movie's end, so it is never offered.
class ZuKnownChunks {
 public:
  struct Chunk {
    size_t offset = 0;  // in the movie read
    size_t size = 0;
    ZuSha256::Digest digest{};
    int64_t id = 0;  // its row in the project file
  };

  // chunks: the movie's chunks in order, laid end to end over bytes.
  ZuKnownChunks(ZuSharedBytes bytes, std::vector<Chunk> chunks);

  // The known chunk that movie[at, ...) starts with, or null. hint: the index of the chunk
  // expected there (the one after the last match), updated on a match.
  const Chunk* Match(std::span<const uint8_t> movie, size_t at, size_t* hint) const;

 private:
  bool Fits(std::span<const uint8_t> movie, size_t at, size_t index) const;

  ZuSharedBytes m_bytes;
  std::vector<Chunk> m_chunks;
  std::unordered_multimap<uint64_t, size_t> m_byStart;  // index by the first bytes
};
