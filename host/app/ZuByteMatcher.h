#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// Finds where a new movie repeats bytes of movies it was made from, so that only the bytes
// that are new need storing. An edit's result is its source with a few ranges changed: a key
// frame made, frames dropped, a header rewritten. Away from those the bytes are the source's,
// often moved (everything after a cut comes earlier).
//
// The matcher walks the new bytes with the source position it expects next and compares
// straight on while they agree, which is most of the way and costs a memcmp. Where they
// differ it looks a little ahead on both sides for the bytes to agree again (an edit drops a
// tag or rewrites a field), else for the next place that repeats a source, through an index of
// a window at every kWindow-th byte of each source (further apart in a very large one), then grows
// the match backwards over the bytes it skipped. So a change costs the walk a little more than its
// own length, and the result is exact: every repeat it reports has been compared byte for byte.
//
// The sources and the new bytes must stay unchanged while the matcher is in use.
class ZuByteMatcher {
 public:
  // One run of the new bytes: a repeat of source[from, from + size), or, with source -1,
  // new bytes (from is then their offset in the new movie).
  struct Run {
    int source = -1;
    size_t from = 0;
    size_t size = 0;
  };

  explicit ZuByteMatcher(std::vector<std::span<const uint8_t>> sources);
  ~ZuByteMatcher();
  ZuByteMatcher(const ZuByteMatcher&) = delete;
  ZuByteMatcher& operator=(const ZuByteMatcher&) = delete;

  // The runs that make up target, in order, laid end to end.
  std::vector<Run> Match(std::span<const uint8_t> target);

  // The length of the windows indexed: no repeat shorter than this is looked for where the
  // walk has lost its place.
  static constexpr size_t kWindow = 32;

 private:
  class Index;

  // How many bytes from target[at] equal the source's from its position at.
  size_t AgreeingLength(std::span<const uint8_t> target, size_t at, const Run& expected) const;
  // A repeat of the expected source that starts at most kNear bytes after the mismatch at at
  // in either: true with match set to it and start to where it starts in target.
  bool FindNear(std::span<const uint8_t> target, size_t at, const Run& expected, Run* match,
                size_t* start) const;
  // The first repeat that starts in target[from, ...): true with match set to it (its size
  // grown forwards as far as the bytes agree) and its start grown backwards to at most from.
  bool FindRepeat(std::span<const uint8_t> target, size_t from, Run* match, size_t* at);

  std::vector<std::span<const uint8_t>> m_sources;
  std::vector<std::unique_ptr<Index>> m_indexes;  // per source, built when first needed
};
