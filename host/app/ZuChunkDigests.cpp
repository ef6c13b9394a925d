#include "host/app/ZuChunkDigests.h"

#include <span>
#include <system_error>
#include <utility>

namespace {

std::vector<ZuSha256::Digest> DigestAll(const uint8_t* bytes, const std::vector<size_t>& sizes) {
  std::vector<ZuSha256::Digest> digests;
  digests.reserve(sizes.size());
  for (const size_t size : sizes) {
    digests.push_back(ZuSha256::Of(std::span<const uint8_t>(bytes, size)));
    bytes += size;
  }
  return digests;
}

}  // namespace

ZuChunkDigests::~ZuChunkDigests() {
  if (m_digests.valid()) {
    m_digests.wait();  // the bytes it reads may go right after
  }
}

void ZuChunkDigests::Start(const uint8_t* bytes, std::vector<size_t> sizes) {
  auto work = [bytes, sizes = std::move(sizes)] { return DigestAll(bytes, sizes); };
  try {
    m_digests = std::async(std::launch::async, work);
  } catch (const std::system_error&) {
    m_digests = std::async(std::launch::deferred, work);
  }
}

std::vector<ZuSha256::Digest> ZuChunkDigests::Get() {
  return m_digests.valid() ? m_digests.get() : std::vector<ZuSha256::Digest>();
}
