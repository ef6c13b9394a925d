#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class ZuFileStream;

// The file a GIF or APNG writer writes. The bytes go to a temporary file beside the path that
// takes its place on Commit; destroyed before that, it leaves nothing at the path. Every
// failure throws ZuMediaError "PATH: cannot write: REASON".
class ZuAnimationFile {
 public:
  explicit ZuAnimationFile(const std::string& path);
  ~ZuAnimationFile();
  ZuAnimationFile(const ZuAnimationFile&) = delete;
  ZuAnimationFile& operator=(const ZuAnimationFile&) = delete;

  void Write(const void* data, size_t size);
  // Later writes land at offset, over bytes written before: a count or table known only at
  // the end.
  void Seek(uint64_t offset);
  // Bytes written so far.
  uint64_t Size() const;
  // Puts the file at its path.
  void Commit();

 private:
  [[noreturn]] void Fail() const;

  std::string m_path;
  std::unique_ptr<ZuFileStream> m_stream;
};
