#include "host/util/ZuSharedBytes.h"

#include <algorithm>

ZuSharedBytes ZuSharedBytes::Adopt(std::vector<uint8_t>&& bytes) {
  auto storage = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
  const uint8_t* data = storage->data();
  const size_t size = storage->size();
  return ZuSharedBytes(std::move(storage), data, size);
}

ZuSharedBytes ZuSharedBytes::FromMapping(std::shared_ptr<const ZuFileMapping> mapping,
                                         const uint8_t* data, size_t size) {
  ZuSharedBytes bytes(std::move(mapping), data, size);
  bytes.m_mapped = true;
  return bytes;
}

ZuSharedBytes ZuSharedBytes::Copy(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0) {
    return ZuSharedBytes();
  }
  return Adopt(std::vector<uint8_t>(data, data + size));
}

ZuSharedBytes ZuSharedBytes::Slice(size_t offset, size_t size) const {
  const size_t start = std::min(offset, m_size);
  const size_t length = std::min(size, m_size - start);
  if (length == 0) {
    return ZuSharedBytes();
  }
  ZuSharedBytes slice(m_owner, m_data + start, length);
  slice.m_mapped = m_mapped;
  return slice;
}
