#include "host/util/ZuLargeBuffer.h"

#include <sys/mman.h>

#include <new>

namespace {

// The size of a huge page on the systems we run on, and the smallest run worth one.
constexpr size_t kHugePage = size_t{2} << 20;

size_t RoundUp(size_t size, size_t unit) {
  return (size + unit - 1) / unit * unit;
}

}  // namespace

std::shared_ptr<uint8_t[]> ZuAllocateLargeBuffer(size_t size) {
  if (size < kHugePage) {
    return std::shared_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size == 0 ? 1 : size]());
  }
  // Huge pages need 2 MiB alignment: map a huge page more than needed, then hand the
  // unaligned head and the tail back.
  const size_t length = RoundUp(size, kHugePage);
  void* mapped =
      mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) {
    return nullptr;
  }
  auto* const start = static_cast<uint8_t*>(mapped);
  const auto address = reinterpret_cast<uintptr_t>(start);
  const size_t head = RoundUp(address, kHugePage) - address;
  uint8_t* const aligned = start + head;
  if (head > 0) {
    munmap(start, head);
  }
  munmap(aligned + length, kHugePage - head);
  madvise(aligned, length, MADV_HUGEPAGE);  // a hint: without huge pages, ordinary ones
  return std::shared_ptr<uint8_t[]>(aligned, [length](uint8_t* bytes) { munmap(bytes, length); });
}
