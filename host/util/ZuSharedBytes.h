#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct ZuFileMapping;

// An immutable run of bytes that keeps its storage alive. Copies and slices share the
// storage, so a loaded file's bytes can be handed to many owners without copying.
//
// The storage is either ordinary memory or a read-only mapping of a file (ZuMappedFile);
// bytes remember which, so that walks over a mapped file can hand pages back to the
// system (ZuMappedPageReleaser).
class ZuSharedBytes {
 public:
  ZuSharedBytes() = default;
  ZuSharedBytes(std::shared_ptr<const void> owner, const uint8_t* data, size_t size)
      : m_owner(std::move(owner)), m_data(data), m_size(size) {}
  // Bytes inside a read-only file mapping (made by ZuMappedFile), which they keep alive.
  static ZuSharedBytes FromMapping(std::shared_ptr<const ZuFileMapping> mapping,
                                   const uint8_t* data, size_t size);

  // Takes the vector's bytes as new storage.
  static ZuSharedBytes Adopt(std::vector<uint8_t>&& bytes);
  static ZuSharedBytes Copy(const uint8_t* data, size_t size);
  static ZuSharedBytes Copy(std::span<const uint8_t> bytes) {
    return Copy(bytes.data(), bytes.size());
  }

  const uint8_t* data() const { return m_data; }
  size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }
  std::span<const uint8_t> span() const { return {m_data, m_size}; }
  const uint8_t* begin() const { return m_data; }
  const uint8_t* end() const { return m_data + m_size; }
  uint8_t operator[](size_t i) const { return m_data[i]; }

  // The bytes [offset, offset + size), sharing this storage. Clamped to the range held.
  ZuSharedBytes Slice(size_t offset, size_t size) const;

  // Whether the bytes lie in a read-only file mapping, and which (null when they do not).
  bool IsMapped() const { return m_mapped; }
  const ZuFileMapping* GetMapping() const {
    return m_mapped ? static_cast<const ZuFileMapping*>(m_owner.get()) : nullptr;
  }
  // What holds the bytes: equal for bytes that share one storage.
  const void* GetStorage() const { return m_owner.get(); }

 private:
  std::shared_ptr<const void> m_owner;
  const uint8_t* m_data = nullptr;
  size_t m_size = 0;
  bool m_mapped = false;
};
