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
  if (m_digests.valid()) {
    m_digests.wait();  // the bytes it reads may go right after
  }
}

void ZuChunkDigests::Start(std::vector<std::span<const uint8_t>> chunks) {
  auto work = [chunks = std::move(chunks)] { return DigestAll(chunks); };
  try {
    m_digests = std::async(std::launch::async, work);
  } catch (const std::system_error&) {
    m_digests = std::async(std::launch::deferred, work);
  }
}

std::vector<ZuSha256::Digest> ZuChunkDigests::Get() {
  return m_digests.valid() ? m_digests.get() : std::vector<ZuSha256::Digest>();
}
