#include "host/util/ZuMappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
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
  // Gives up the descriptor without closing it.
  int Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
  }

 private:
  int m_fd;
};

// Private views alive at once, at most: each is one mapping, and a process may hold about
// 65000 of them in all.
constexpr int kMaxPrivateViews = 8192;
std::atomic<int> g_privateViews{0};

}  // namespace

ZuFileMapping::~ZuFileMapping() {
  munmap(const_cast<uint8_t*>(address), size);
  close(fd);
}

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
  ScopedFd kept(fcntl(fd, F_DUPFD_CLOEXEC, 0));
  if (kept.Get() < 0) {
    return Fail(error, std::strerror(errno));
  }
  void* address = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (address == MAP_FAILED) {
    return Fail(error, std::strerror(errno));
  }
  const auto* start = static_cast<const uint8_t*>(address);
  auto mapping = std::make_shared<const ZuFileMapping>(start, size, kept.Release());
  bytes = ZuSharedBytes::FromMapping(std::move(mapping), start, size);
  return true;
}

bool ZuMappedFile::MapPrivateView(const ZuSharedBytes& bytes, ZuSharedBytes& view,
                                  uint8_t*& writable) {
  const ZuFileMapping* mapping = bytes.GetMapping();
  if (mapping == nullptr || bytes.empty()) {
    return false;
  }
  if (g_privateViews.fetch_add(1) >= kMaxPrivateViews) {
    g_privateViews.fetch_sub(1);
    return false;
  }
  const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t offset = static_cast<size_t>(bytes.data() - mapping->address);
  const size_t first = offset / page * page;
  const size_t length = offset - first + bytes.size();
  void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE, mapping->fd,
                       static_cast<off_t>(first));
  if (address == MAP_FAILED) {
    g_privateViews.fetch_sub(1);
    return false;
  }
  std::shared_ptr<const void> owner(address, [length](const void* start) {
    munmap(const_cast<void*>(start), length);
    g_privateViews.fetch_sub(1);
  });
  writable = static_cast<uint8_t*>(address) + (offset - first);
  view = ZuSharedBytes(std::move(owner), writable, bytes.size());
  return true;
}
