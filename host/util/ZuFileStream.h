#pragma once

#include <cstdio>
#include <string>

#include "host/util/IZuStream.h"

// A stream on a file. Reading streams read the file in place. Writing streams write to
// a hidden temporary file beside the target and rename it over the target when closed
// without error, so the target is never left half-written: after a failed write (a full
// disk, say) the target is as it was and the temporary file is gone.
class ZuFileStream : public IZuStream {
 public:
  enum class Mode { kRead, kWrite };

  // Opens path; returns null when it cannot be opened. errorText, when given, receives
  // the reason ("No such file or directory").
  static ZuFileStream* Open(const std::string& path, Mode mode, std::string* errorText = nullptr);
  ~ZuFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  bool Write(const void* data, size_t count) override;
  bool Seek(uint64_t position) override;
  uint64_t GetPosition() const override { return m_position; }
  uint64_t GetSize() const override;
  bool HasError() const override { return m_error; }
  bool Flush() override;
  bool Close() override;

 private:
  ZuFileStream(int fd, Mode mode, std::string path, std::string tempPath);
  bool FlushBuffer();

  int m_fd;
  Mode m_mode;
  std::string m_path;      // the target
  std::string m_tempPath;  // where a write stream writes until Close
  std::string m_buffer;    // pending small writes
  uint64_t m_position = 0;
  uint64_t m_size = 0;
  bool m_error = false;
  bool m_closed = false;
};
