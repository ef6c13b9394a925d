#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/util/IZuStream.h"

class ZuFileWriter;

// A stream on a file. Reading streams read the file in place. Writing streams write
// through a ZuFileWriter, which puts the file in the target's place when the stream is
// closed without error, so the target is never left half-written: after a failed write (a
// full disk, say) the target is as it was and nothing is left beside it. A target that is
// not a regular file (a device, a pipe, "-" for standard output) is written straight.
//
// Small reads and writes go through a 64 KiB buffer; larger ones go straight between the
// file and the caller's memory. Not safe for use from several threads at once.
class ZuFileStream : public IZuStream {
 public:
  enum class Mode { kRead, kWrite };

  // Opens path; returns null when it cannot be opened (for writing: when the temporary file
  // cannot be made beside it). errorText, when given, receives the reason ("No such file or
  // directory").
  static ZuFileStream* Open(const std::string& path, Mode mode, std::string* errorText = nullptr);
  // Closes the stream if it is still open, which commits an error-free write stream.
  ~ZuFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  bool Write(const void* data, size_t count) override;
  // On a write stream, pushes out buffered bytes first; later writes land at position.
  bool Seek(uint64_t position) override;
  uint64_t GetPosition() const override { return m_position; }
  // Read stream: the file's size. Write stream: the end of what has been written.
  uint64_t GetSize() const override;
  bool HasError() const override { return m_error; }
  bool Flush() override;
  // Read stream: releases the file. Write stream: flushes and renames the temporary file over
  // the target, or on any error removes it. Returns false on error, with errno set to the
  // first failure's cause. Closing again only repeats the result.
  bool Close() override;
  // Read stream: maps the file (see ZuMappedFile) instead of reading it.
  bool MapRemaining(ZuSharedBytes& bytes) override;

  // Gives up a write stream without touching the target: the temporary file is removed and
  // the stream counts as failed. On a read stream it just closes.
  void Discard();
  // The errno of the first failure, 0 when there was none.
  int GetErrorNumber() const { return m_errorNumber; }

 private:
  static constexpr size_t kBufferSize = size_t{64} * 1024;

  static ZuFileStream* OpenForReading(const std::string& path, std::string* errorText);
  static ZuFileStream* OpenForWriting(const std::string& path, std::string* errorText);
  ZuFileStream(int fd, Mode mode, std::unique_ptr<ZuFileWriter> writer);

  size_t TakeBuffered(uint8_t* buffer, size_t count);
  void RefillBuffer();
  size_t ReadFromFile(uint8_t* buffer, size_t count);
  bool WriteToFile(const uint8_t* data, size_t count);
  bool FlushBuffer();
  bool SeekWithinBuffer(uint64_t position);
  void CommitWrite();
  void Fail(int errorNumber);

  int m_fd;
  Mode m_mode;
  std::unique_ptr<ZuFileWriter> m_writer;  // a write stream's file; owns m_fd
  std::vector<uint8_t> m_buffer;           // read: bytes read ahead; write: pending small writes
  size_t m_bufferOffset = 0;               // read: the next unread byte of m_buffer
  uint64_t m_position = 0;
  uint64_t m_size = 0;  // write: end of what has been written
  bool m_error = false;
  int m_errorNumber = 0;
  bool m_closed = false;
};
