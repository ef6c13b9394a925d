#include "host/app/ZuMovieFacts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuLoadBuffer.h"
#include "host/swf/ZuTavoFile.h"

namespace {

bool SetError(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return false;
}

// The whole file in one buffer that the returned bytes own.
bool ReadWholeFile(const std::string& path, ZuSharedBytes* bytes, std::string* error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return SetError(error, std::strerror(errno));
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return SetError(error, "not a regular file");
  }
  const size_t size = static_cast<size_t>(info.st_size);
  std::shared_ptr<uint8_t> buffer;
  try {
    buffer = AllocateLoadBuffer(size > 0 ? size : 1);
  } catch (const std::bad_alloc&) {
    close(fd);
    return SetError(error, "out of memory");
  }
  size_t got = 0;
  int readErrno = 0;
  while (got < size) {
    const ssize_t n = read(fd, buffer.get() + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      readErrno = n < 0 ? errno : 0;
      break;
    }
    got += static_cast<size_t>(n);
  }
  close(fd);
  if (got != size) return SetError(error, readErrno != 0 ? std::strerror(readErrno) : "short read");
  const uint8_t* data = buffer.get();
  *bytes = ZuSharedBytes(std::move(buffer), data, size);
  return true;
}

}  // namespace

bool ZuMovieFacts::ReadFile(const std::string& path, ZuMovieFacts* facts, std::string* error) {
  ZuSharedBytes bytes;
  if (!ReadWholeFile(path, &bytes, error)) return false;
  return Examine(std::move(bytes), facts, error);
}

bool ZuMovieFacts::Examine(ZuSharedBytes bytes, ZuMovieFacts* facts, std::string* error) {
  ZuTavoFile movie;
  if (movie.LoadFromBytes(bytes) != kZuSuccess) {
    return SetError(error, "not an SWF movie: " + movie.GetLastError());
  }
  facts->bytes = std::move(bytes);
  facts->fmr = ZuAnimationUtils::IsFMRSWF(movie);
  facts->frameCount = movie.GetFrameCount();
  facts->frameRate = movie.GetFrameRate();
  facts->duration =
      facts->frameRate > 0 ? static_cast<double>(facts->frameCount) / facts->frameRate : 0.0;
  return true;
}
