#pragma once

#include <vector>

#include "host/util/IZuStream.h"
#include "host/util/ZuSharedBytes.h"

// A stream over bytes in memory. Read-only over shared bytes, or read-write over its own
// growing buffer (writes past the end extend it).
class ZuMemoryStream : public IZuStream {
 public:
  ZuMemoryStream() = default;  // empty, writable
  explicit ZuMemoryStream(ZuSharedBytes bytes);  // read-only
  explicit ZuMemoryStream(std::vector<uint8_t> bytes);  // writable, starting with these bytes

  size_t Read(void* buffer, size_t count) override;
  bool Write(const void* data, size_t count) override;
  bool Seek(uint64_t position) override;
  uint64_t GetPosition() const override { return m_position; }
  uint64_t GetSize() const override;
  bool HasError() const override { return m_error; }
  bool Flush() override { return !m_error; }
  bool Close() override { return !m_error; }

  // Everything held, from the start, whatever has been read.
  std::vector<uint8_t> TakeBytes();
  std::span<const uint8_t> GetBytes() const;

 private:
  ZuSharedBytes m_shared;  // read-only content, when built from shared bytes
  std::vector<uint8_t> m_buffer;
  bool m_readOnly = false;
  bool m_error = false;
  uint64_t m_position = 0;
};
