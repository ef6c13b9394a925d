#include "host/util/ZuMemoryStream.h"

#include <algorithm>
#include <cstring>

ZuMemoryStream::ZuMemoryStream(ZuSharedBytes bytes)
    : m_shared(std::move(bytes)), m_readOnly(true) {}

ZuMemoryStream::ZuMemoryStream(std::vector<uint8_t> bytes) : m_buffer(std::move(bytes)) {}

size_t ZuMemoryStream::Read(void* buffer, size_t count) {
  const std::span<const uint8_t> bytes = GetBytes();
  if (m_position >= bytes.size() || count == 0) {
    return 0;
  }
  if (buffer == nullptr) {
    m_error = true;
    return 0;
  }
  const size_t available = bytes.size() - static_cast<size_t>(m_position);
  const size_t taken = std::min(count, available);
  std::memcpy(buffer, bytes.data() + m_position, taken);
  m_position += taken;
  return taken;
}

bool ZuMemoryStream::Write(const void* data, size_t count) {
  if (m_error || m_readOnly || (data == nullptr && count > 0)) {
    m_error = true;
    return false;
  }
  if (count == 0) {
    return true;
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  const size_t overwritten = std::min(count, m_buffer.size() - static_cast<size_t>(m_position));
  if (overwritten > 0) {
    std::memcpy(m_buffer.data() + m_position, bytes, overwritten);
  }
  m_buffer.insert(m_buffer.end(), bytes + overwritten, bytes + count);
  m_position += count;
  return true;
}

bool ZuMemoryStream::MapRemaining(ZuSharedBytes& bytes) {
  if (!m_readOnly || m_error || m_position > m_shared.size()) {
    return false;
  }
  const auto from = static_cast<size_t>(m_position);
  bytes = m_shared.Slice(from, m_shared.size() - from);
  m_position = m_shared.size();
  return true;
}

bool ZuMemoryStream::Seek(uint64_t position) {
  if (position > GetSize()) {
    return false;
  }
  m_position = position;
  return true;
}

uint64_t ZuMemoryStream::GetSize() const {
  return GetBytes().size();
}

std::vector<uint8_t> ZuMemoryStream::TakeBytes() {
  std::vector<uint8_t> bytes;
  if (m_readOnly) {
    bytes.assign(m_shared.begin(), m_shared.end());
    m_shared = ZuSharedBytes();
  } else {
    bytes.swap(m_buffer);
  }
  m_position = 0;
  return bytes;
}

std::span<const uint8_t> ZuMemoryStream::GetBytes() const {
  if (m_readOnly) {
    return m_shared.span();
  }
  return {m_buffer.data(), m_buffer.size()};
}
