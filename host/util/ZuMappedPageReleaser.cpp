#include "host/util/ZuMappedPageReleaser.h"

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Pages are handed back in batches of this size: often enough to keep a walk's resident
// share small, rarely enough that the system calls cost nothing noticeable.
constexpr uintptr_t kBatchBytes = uintptr_t{4} << 20;

uintptr_t PageSize() {
  static const auto size = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  return size;
}

}  // namespace

void ZuMappedPageReleaser::Passed(const ZuSharedBytes& bytes, size_t offset) {
  if (!bytes.IsMapped()) {
    return;
  }
  const auto start = reinterpret_cast<uintptr_t>(bytes.data());
  const uintptr_t position = start + (offset < bytes.size() ? offset : bytes.size());
  if (bytes.GetStorage() != m_storage || position < m_from) {
    // Another mapping, or the walk went back: start counting again from here.
    Release();
    m_storage = bytes.GetStorage();
    m_from = start;
    m_to = position;
    return;
  }
  if (position > m_to) {
    m_to = position;
  }
  if (m_to - m_from >= kBatchBytes) {
    Release();
  }
}

void ZuMappedPageReleaser::Release() {
  if (m_storage == nullptr) {
    return;
  }
  const uintptr_t page = PageSize();
  const uintptr_t first = (m_from + page - 1) / page * page;
  const uintptr_t last = m_to / page * page;
  if (last > first) {
    // The mapping is read-only, so its pages hold nothing that is not in the file: the
    // system drops them from this process and brings them back from its cache on demand.
    madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
    m_from = last;
  }
}
