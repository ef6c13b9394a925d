#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <span>
#include <vector>

#include "host/app/ZuSha256.h"

// The SHA-256 digests of a batch of chunks, computed on two threads beside the caller's
// (each on half the batch's bytes), so that storing a movie hashes one batch while it cuts
// and stores the next, and reading one checks a batch while it writes it out and reads the
// next. Hashing is the slowest step of reading a version; two threads halve it where two
// cores are free. Where no thread can be started the digests are computed by Get.
class ZuChunkDigests {
 public:
  ZuChunkDigests() = default;
  ~ZuChunkDigests();
  ZuChunkDigests(const ZuChunkDigests&) = delete;
  ZuChunkDigests& operator=(const ZuChunkDigests&) = delete;

  // Starts on the chunks, whose bytes must stay unchanged until Get has returned.
  void Start(std::vector<std::span<const uint8_t>> chunks);
  // Waits for the digests of the chunks last started, in their order.
  std::vector<ZuSha256::Digest> Get();

 private:
  void StartHalf(int half, std::vector<std::span<const uint8_t>> chunks);

  std::future<std::vector<ZuSha256::Digest>> m_halves[2];  // the batch's first and second half
};
