#pragma once

#include <cstddef>
#include <cstdint>

#include "host/util/ZuSharedBytes.h"

// A byte stream. Whoever receives one from a host operation owns it and deletes it.
// Reads and writes move one position; Seek moves it anywhere.
class IZuStream {
 public:
  virtual ~IZuStream() = default;

  // Reads up to count bytes; returns how many were read (0 at the end or on error).
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes all count bytes or fails; a failure sticks (see HasError).
  virtual bool Write(const void* data, size_t count) = 0;
  virtual bool Seek(uint64_t position) = 0;
  virtual uint64_t GetPosition() const = 0;
  // Total length in bytes; for a write stream, what has been written so far.
  virtual uint64_t GetSize() const = 0;
  // True once a read or write has failed.
  virtual bool HasError() const = 0;

  // The two finishing operations: Flush pushes buffered bytes out, Close completes the
  // stream (for a file write stream: makes the file appear at its path). Both return
  // false when the stream had an error. Deleting an open stream closes it.
  virtual bool Flush() = 0;
  virtual bool Close() = 0;

  // Hands out the bytes from the position to the end without reading them, when the
  // stream can (a file read stream maps its file), and moves to the end. False, with
  // nothing changed, when the stream cannot; the caller then reads.
  virtual bool MapRemaining(ZuSharedBytes& /*bytes*/) { return false; }
};
