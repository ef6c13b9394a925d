// Global memory blocks kept in ordinary heap memory, with a table of the handles given out.

#include "platform/ZuWinGlobalMemory.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>

namespace {

struct Block {
  std::unique_ptr<uint8_t[]> bytes;
  int locks = 0;
  bool movable = false;
};

// Every block not yet freed, by handle; a fixed block's handle is its address, a movable
// block's handle is the address of its Block record.
struct BlockTable {
  std::mutex lock;
  std::map<HGLOBAL, std::unique_ptr<Block>> byHandle;
  std::map<const void*, HGLOBAL> byAddress;
  int failuresAsked = 0;
};

BlockTable& Table() {
  static BlockTable table;
  return table;
}

Block* Find(BlockTable& table, HGLOBAL handle) {
  const auto found = table.byHandle.find(handle);
  return found == table.byHandle.end() ? nullptr : found->second.get();
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  BlockTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  if (table.failuresAsked > 0) {
    --table.failuresAsked;
    return nullptr;
  }
  auto block = std::unique_ptr<Block>(new (std::nothrow) Block);
  if (block == nullptr) {
    return nullptr;
  }
  const size_t size = bytes == 0 ? 1 : bytes;
  block->bytes.reset((flags & GMEM_ZEROINIT) != 0 ? new (std::nothrow) uint8_t[size]()
                                                  : new (std::nothrow) uint8_t[size]);
  if (block->bytes == nullptr) {
    return nullptr;
  }
  block->movable = (flags & GMEM_MOVEABLE) != 0;
  const HGLOBAL handle =
      block->movable ? static_cast<HGLOBAL>(block.get()) : static_cast<HGLOBAL>(block->bytes.get());
  table.byAddress.emplace(block->bytes.get(), handle);
  table.byHandle.emplace(handle, std::move(block));
  return handle;
}

LPVOID GlobalLock(HGLOBAL handle) {
  BlockTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  Block* block = Find(table, handle);
  if (block == nullptr) {
    return nullptr;
  }
  if (block->movable) {
    ++block->locks;
  }
  return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL handle) {
  BlockTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  Block* block = Find(table, handle);
  if (block == nullptr || block->locks == 0) {
    return FALSE;
  }
  --block->locks;
  return block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalHandle(const void* pointer) {
  BlockTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  const auto found = table.byAddress.find(pointer);
  return found == table.byAddress.end() ? nullptr : found->second;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  BlockTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  const auto found = table.byHandle.find(handle);
  if (found == table.byHandle.end()) {
    return handle;
  }
  table.byAddress.erase(found->second->bytes.get());
  table.byHandle.erase(found);
  return nullptr;
}

void ZuGlobalMemoryFailNextAllocs(int count) {
  BlockTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  table.failuresAsked = count > 0 ? count : 0;
}

size_t ZuGlobalMemoryCountLiveBlocks() {
  BlockTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  return table.byHandle.size();
}
