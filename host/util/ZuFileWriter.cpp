#include "host/util/ZuFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <vector>

#include "host/util/ZuTemporaryFolder.h"

namespace {

// The new file's name: short, so it fits beside a target of any legal name.
constexpr const char* kNamePrefix = ".fmredit-";
constexpr int kNameLetters = 8;
constexpr int kNameAttempts = 100;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Creates a new file of a fresh name in folder ("" for the working folder) with mode, which
// the umask trims as for any new file. Returns the descriptor, or -1 with errno set.
int CreateUniqueFile(const std::string& folder, mode_t mode, std::string* path) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<size_t> pick(0, sizeof(kLetters) - 2);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    *path = folder + kNamePrefix;
    for (int i = 0; i < kNameLetters; ++i) {
      *path += kLetters[pick(random)];
    }
    const int fd = open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  return -1;
}

int OpenStraight(const std::string& path) {
  return path == ZuOutputTarget::kStandardOutput ? fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0)
                                                 : open(path.c_str(), O_WRONLY | O_CLOEXEC);
}

// Writes all count bytes, resuming after interruptions and short writes. 0 or the errno.
int WriteAll(int fd, const char* data, size_t count) {
  while (count > 0) {
    const ssize_t put = write(fd, data, count);
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put <= 0) {
      return put < 0 ? errno : ENOSPC;
    }
    data += put;
    count -= static_cast<size_t>(put);
  }
  return 0;
}

}  // namespace

std::unique_ptr<ZuFileWriter> ZuFileWriter::Open(const std::string& target, ZuStatus* status,
                                                 Staging staging) {
  ZuOutputTarget destination;
  *status = ZuOutputTarget::Of(target, &destination);
  if (!status->ok()) {
    return nullptr;
  }
  int fd = -1;
  std::string path = destination.path;
  if (destination.replaceable) {
    struct stat existing {};
    const bool replaces = stat(destination.path.c_str(), &existing) == 0;
    fd = CreateUniqueFile(FolderOf(destination.path), 0666, &path);
    if (fd >= 0 && replaces) {
      fchmod(fd, existing.st_mode & 07777);  // a failure leaves the umask's choice
    }
  } else if (staging == Staging::kTemporaryFile) {
    fd = CreateUniqueFile(ZuTemporaryFolder::Current() + "/", 0600, &path);
  } else {
    fd = OpenStraight(destination.path);
  }
  if (fd < 0) {
    *status = ZuStatus::FromErrno(errno);
    return nullptr;
  }
  return std::unique_ptr<ZuFileWriter>(new ZuFileWriter(fd, path, destination));
}

ZuFileWriter::ZuFileWriter(int fd, std::string path, ZuOutputTarget target)
    : m_fd(fd), m_path(std::move(path)), m_target(std::move(target)) {}

ZuFileWriter::~ZuFileWriter() {
  Discard();
}

ZuStatus ZuFileWriter::Commit() {
  if (m_done) {
    return ZuStatus::FromErrno(EBADF);
  }
  const bool closed = close(m_fd) == 0 || errno == EINTR;
  m_fd = -1;
  ZuStatus status = closed ? ZuStatus() : ZuStatus::FromErrno(errno);
  const bool straight = m_path == m_target.path;
  if (status.ok() && !straight) {
    status = m_target.replaceable
                 ? (rename(m_path.c_str(), m_target.path.c_str()) == 0 ? ZuStatus()
                                                                       : ZuStatus::FromErrno(errno))
                 : CopyIntoTarget();
  }
  if (!straight && (!status.ok() || !m_target.replaceable)) {
    unlink(m_path.c_str());
  }
  m_done = true;
  return status;
}

void ZuFileWriter::Discard() {
  if (m_done) {
    return;
  }
  close(m_fd);
  m_fd = -1;
  if (m_path != m_target.path) {
    unlink(m_path.c_str());
  }
  m_done = true;
}

// A target that cannot be replaced gets the finished file's bytes, as they are.
ZuStatus ZuFileWriter::CopyIntoTarget() const {
  const int in = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
  const int out = in < 0 ? -1 : OpenStraight(m_target.path);
  int error = out < 0 ? errno : 0;
  std::vector<char> chunk(kCopyChunk);
  while (error == 0) {
    const ssize_t got = read(in, chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      error = got < 0 ? errno : 0;
      break;
    }
    error = WriteAll(out, chunk.data(), static_cast<size_t>(got));
  }
  if (out >= 0 && close(out) != 0 && error == 0 && errno != EINTR) {
    error = errno;
  }
  if (in >= 0) {
    close(in);
  }
  return error == 0 ? ZuStatus() : ZuStatus::FromErrno(error);
}
