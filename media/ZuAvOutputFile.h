#pragma once

#include <memory>
#include <string>

#include "host/util/ZuFileStream.h"

struct AVIOContext;

// The file an FFmpeg muxer writes, through an AVIOContext over our file write stream: the
// bytes go to a temporary file beside the target, which takes the target's place only on
// Commit. Destroyed without Commit, it removes the temporary file, so a failed or cancelled
// export leaves nothing behind.
class ZuAvOutputFile {
 public:
  // Throws ZuMediaError when the temporary file cannot be made.
  explicit ZuAvOutputFile(const std::string& path);
  ~ZuAvOutputFile();
  ZuAvOutputFile(const ZuAvOutputFile&) = delete;
  ZuAvOutputFile& operator=(const ZuAvOutputFile&) = delete;

  // The I/O context to hand the muxer; stays owned by this object.
  AVIOContext* GetIo() { return m_io; }
  // Flushes and renames the file into place; throws ZuMediaError on a write failure.
  void Commit();

 private:
  static int WritePacket(void* opaque, uint8_t* data, int size);
  static int64_t Seek(void* opaque, int64_t offset, int whence);

  std::string m_path;
  std::unique_ptr<ZuFileStream> m_stream;
  AVIOContext* m_io = nullptr;
  bool m_committed = false;
};
