#include "host/util/ZuMappedPageReleaser.h"

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Pages are handed back in batches of this size: often enough to keep a walk's resident
// share small, rarely enough that the system calls cost nothing noticeable.
constexpr size_t kBatchBytes = size_t{4} << 20;
// The system may map a file's pages in units of up to 2 MiB (large folios): touching the
// byte at the walk's position can bring back pages up to this far behind it. Pages that
// near the position are handed back only with a later batch, or when the walk ends.
constexpr size_t kNearBytes = size_t{2} << 20;

size_t PageSize() {
  static const auto size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

// How far address lies past the start of its page.
size_t PageOffset(const uint8_t* address) {
  return reinterpret_cast<uintptr_t>(address) % PageSize();
}

}  // namespace

void ZuMappedPageReleaser::Passed(const ZuSharedBytes& bytes, size_t offset) {
  if (!bytes.IsMapped()) {
    return;
  }
  const uint8_t* position = bytes.data() + (offset < bytes.size() ? offset : bytes.size());
  if (bytes.GetStorage() != m_storage || position < m_from) {
    // Another mapping, or the walk went back: start counting again from here.
    Release();
    m_storage = bytes.GetStorage();
    m_from = bytes.data();
    m_to = position;
    return;
  }
  if (position > m_to) {
    m_to = position;
  }
  if (static_cast<size_t>(m_to - m_from) >= kBatchBytes + kNearBytes) {
    ReleaseUpTo(m_to - kNearBytes);
  }
}

void ZuMappedPageReleaser::Release() {
  ReleaseUpTo(m_to);
}

void ZuMappedPageReleaser::ReleaseUpTo(const uint8_t* end) {
  if (m_storage == nullptr) {
    return;
  }
  const size_t intoFirst = PageOffset(m_from);
  const uint8_t* first = intoFirst == 0 ? m_from : m_from + (PageSize() - intoFirst);
  const uint8_t* last = end - PageOffset(end);
  if (last > first) {
    // The mapping is read-only, so its pages hold nothing that is not in the file: the
    // system drops them from this process and brings them back from its cache on demand.
    madvise(const_cast<uint8_t*>(first), static_cast<size_t>(last - first), MADV_DONTNEED);
    m_from = last;
  }
}
