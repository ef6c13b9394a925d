#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "host/util/IZuStream.h"
#include "host/util/ZuSharedBytes.h"

// A stream over bytes in memory. Read-only over shared bytes (a Write fails and sets the
// error), or read-write over its own buffer, which grows when a write runs past its end.
// Seek accepts any position from 0 to the current size.
class ZuMemoryStream : public IZuStream {
 public:
  ZuMemoryStream() = default;                           // empty, writable
  explicit ZuMemoryStream(ZuSharedBytes bytes);         // read-only
  explicit ZuMemoryStream(std::vector<uint8_t> bytes);  // writable, starting with these bytes

  size_t Read(void* buffer, size_t count) override;
  bool Write(const void* data, size_t count) override;
  bool Seek(uint64_t position) override;
  uint64_t GetPosition() const override { return m_position; }
  uint64_t GetSize() const override;
  bool HasError() const override { return m_error; }
  bool Flush() override { return !m_error; }
  bool Close() override { return !m_error; }
  // A read-only stream hands out its shared bytes from the position on, without copying.
  bool MapRemaining(ZuSharedBytes& bytes) override;

  // Everything held, from the start, whatever has been read. The stream is left empty.
  std::vector<uint8_t> TakeBytes();
  // Everything held, from the start; valid until the next Write or TakeBytes.
  std::span<const uint8_t> GetBytes() const;

 private:
  ZuSharedBytes m_shared;  // read-only content, when built from shared bytes
  std::vector<uint8_t> m_buffer;
  bool m_readOnly = false;
  bool m_error = false;
  uint64_t m_position = 0;
};
