#include "host/util/ZuMappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

bool Fail(std::string* error, const std::string& reason) {
  if (error != nullptr) {
    *error = reason;
  }
  return false;
}

// Closes a descriptor when it goes out of scope.
class ScopedFd {
 public:
  explicit ScopedFd(int fd) : m_fd(fd) {}
  ~ScopedFd() {
    if (m_fd >= 0) {
      close(m_fd);
    }
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int Get() const { return m_fd; }

 private:
  int m_fd;
};

}  // namespace

bool ZuMappedFile::Map(const std::string& path, ZuSharedBytes& bytes, std::string* error) {
  const ScopedFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    return Fail(error, std::strerror(errno));
  }
  return MapDescriptor(fd.Get(), bytes, error);
}

bool ZuMappedFile::MapDescriptor(int fd, ZuSharedBytes& bytes, std::string* error) {
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    return Fail(error, std::strerror(errno));
  }
  if (!S_ISREG(info.st_mode)) {
    return Fail(error, "not a regular file");
  }
  if (info.st_size == 0) {
    bytes = ZuSharedBytes();
    return true;
  }
  const auto size = static_cast<size_t>(info.st_size);
  void* address = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (address == MAP_FAILED) {
    return Fail(error, std::strerror(errno));
  }
  std::shared_ptr<const void> mapping(
      address, [size](const void* start) { munmap(const_cast<void*>(start), size); });
  bytes =
      ZuSharedBytes::FromMapping(std::move(mapping), static_cast<const uint8_t*>(address), size);
  return true;
}
