#include "host/swf/ZuLoadBuffer.h"

#include <sys/mman.h>

#include <new>

namespace {

constexpr size_t kMappedFrom = size_t{4} << 20;  // below this, the heap serves well

}  // namespace

std::shared_ptr<uint8_t> AllocateLoadBuffer(size_t size) {
  if (size < kMappedFrom) {
    return std::shared_ptr<uint8_t>(new uint8_t[size], std::default_delete<uint8_t[]>());
  }
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) {
    throw std::bad_alloc();
  }
  madvise(memory, size, MADV_HUGEPAGE);  // only a hint: without huge pages it still works
  return std::shared_ptr<uint8_t>(static_cast<uint8_t*>(memory),
                                  [size](uint8_t* p) { munmap(p, size); });
}
