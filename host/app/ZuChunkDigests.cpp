#include "host/app/ZuChunkDigests.h"

#include <system_error>
#include <utility>

namespace {

std::vector<ZuSha256::Digest> DigestAll(const std::vector<std::span<const uint8_t>>& chunks) {
  std::vector<ZuSha256::Digest> digests;
  digests.reserve(chunks.size());
  for (const std::span<const uint8_t> chunk : chunks) {
    digests.push_back(ZuSha256::Of(chunk));
  }
  return digests;
}

}  // namespace

ZuChunkDigests::~ZuChunkDigests() {
  for (auto& half : m_halves) {
    if (half.valid()) {
      half.wait();  // the bytes it reads may go right after
    }
  }
}

void ZuChunkDigests::Start(std::vector<std::span<const uint8_t>> chunks) {
  // The split falls after the chunk that ends nearest past the middle byte.
  size_t total = 0;
  for (const std::span<const uint8_t> chunk : chunks) {
    total += chunk.size();
  }
  size_t split = 0;
  for (size_t bytes = 0; split < chunks.size() && 2 * bytes < total; ++split) {
    bytes += chunks[split].size();
  }
  std::vector<std::span<const uint8_t>> second(chunks.begin() + static_cast<ptrdiff_t>(split),
                                               chunks.end());
  chunks.resize(split);
  StartHalf(0, std::move(chunks));
  StartHalf(1, std::move(second));
}

void ZuChunkDigests::StartHalf(int half, std::vector<std::span<const uint8_t>> chunks) {
  if (chunks.empty()) {
    m_halves[half] = {};  // no thread for nothing
    return;
  }
  auto work = [chunks = std::move(chunks)] { return DigestAll(chunks); };
  try {
    m_halves[half] = std::async(std::launch::async, work);
  } catch (const std::system_error&) {
    m_halves[half] = std::async(std::launch::deferred, work);
  }
}

std::vector<ZuSha256::Digest> ZuChunkDigests::Get() {
  std::vector<ZuSha256::Digest> digests;
  for (auto& half : m_halves) {
    if (half.valid()) {
      std::vector<ZuSha256::Digest> part = half.get();
      digests.insert(digests.end(), part.begin(), part.end());
    }
  }
  return digests;
}
