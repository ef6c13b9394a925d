#include "host/util/ZuFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>

#include "host/util/ZuMappedFile.h"
#include "host/util/ZuOutputTarget.h"

namespace {

// The most one read(2) or write(2) call is asked to move; Linux moves at most about 2 GiB.
constexpr size_t kMaxTransfer = size_t{1} << 30;
// Longest part of the target's name kept in the temporary name, so that the temporary name
// stays within the file-name limit.
constexpr size_t kMaxTempNameStem = 200;
constexpr mode_t kNewFileMode = 0644;

std::mutex g_lastWriteFailureMutex;
ZuFileStream::WriteFailure g_lastWriteFailure;

void SetErrorText(std::string* errorText, int errorNumber) {
  if (errorText != nullptr) {
    *errorText = std::generic_category().message(errorNumber);
  }
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ".<name>.XXXXXX" in the target's folder.
std::string TempPathTemplate(const std::string& path, const std::string& name) {
  const std::string folder = path.substr(0, path.size() - name.size());
  return folder + "." + name.substr(0, kMaxTempNameStem) + ".XXXXXX";
}

// Checks that path can be the target of a write stream and finds the mode the new file gets.
// Returns 0, or the errno that explains why not.
int CheckWriteTarget(const std::string& path, mode_t* mode) {
  const std::string name = NameOf(path);
  if (path.empty()) {
    return ENOENT;
  }
  if (name.empty() || name == "." || name == "..") {
    return EISDIR;
  }
  *mode = kNewFileMode;
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      return EISDIR;
    }
    if (S_ISREG(info.st_mode)) {
      *mode = info.st_mode & 07777;
    }
  }
  return 0;
}

}  // namespace

ZuFileStream* ZuFileStream::Open(const std::string& path, Mode mode, std::string* errorText) {
  return mode == Mode::kRead ? OpenForReading(path, errorText) : OpenForWriting(path, errorText);
}

ZuFileStream* ZuFileStream::OpenForReading(const std::string& path, std::string* errorText) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetErrorText(errorText, errno);
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    close(fd);
    SetErrorText(errorText, error);
    return nullptr;
  }
  return new ZuFileStream(fd, Mode::kRead, path, std::string());
}

ZuFileStream* ZuFileStream::OpenForWriting(const std::string& path, std::string* errorText) {
  const ZuOutputTarget target = ZuOutputTarget::Of(path);
  if (!target.replaceable) {
    return OpenStraight(target.path, errorText);
  }
  mode_t fileMode = kNewFileMode;
  if (const int error = CheckWriteTarget(target.path, &fileMode); error != 0) {
    SetErrorText(errorText, error);
    return nullptr;
  }
  std::string tempPath = TempPathTemplate(target.path, NameOf(target.path));
  const int fd = mkostemp(tempPath.data(), O_CLOEXEC);
  if (fd < 0) {
    SetErrorText(errorText, errno);
    return nullptr;
  }
  fchmod(fd, fileMode);  // a failure leaves the private 0600 of mkostemp, which is safe
  return new ZuFileStream(fd, Mode::kWrite, target.path, std::move(tempPath));
}

// A target that is not a regular file (standard output, a device, a pipe) takes the bytes
// as they come; there is nothing to rename.
ZuFileStream* ZuFileStream::OpenStraight(const std::string& path, std::string* errorText) {
  const int fd = path == ZuOutputTarget::kStandardOutput ? fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0)
                                                         : open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    SetErrorText(errorText, errno);
    return nullptr;
  }
  return new ZuFileStream(fd, Mode::kWrite, path, std::string());
}

ZuFileStream::ZuFileStream(int fd, Mode mode, std::string path, std::string tempPath)
    : m_fd(fd), m_mode(mode), m_path(std::move(path)), m_tempPath(std::move(tempPath)) {
  m_buffer.reserve(kBufferSize);
}

ZuFileStream::~ZuFileStream() {
  if (!m_closed) {
    Close();
  }
}

size_t ZuFileStream::Read(void* buffer, size_t count) {
  if (m_mode != Mode::kRead || m_closed) {
    Fail(EBADF);
    return 0;
  }
  if (m_error || count == 0) {
    return 0;
  }
  if (buffer == nullptr) {
    Fail(EFAULT);
    return 0;
  }
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = TakeBuffered(out, count);
  const size_t rest = count - done;
  if (rest >= kBufferSize) {
    m_buffer.clear();  // used up; it no longer sits just before the file position
    m_bufferOffset = 0;
    done += ReadFromFile(out + done, rest);
  } else if (rest > 0) {
    RefillBuffer();
    done += TakeBuffered(out + done, rest);
  }
  m_position += done;
  return done;
}

size_t ZuFileStream::TakeBuffered(uint8_t* buffer, size_t count) {
  const size_t taken = std::min(count, m_buffer.size() - m_bufferOffset);
  if (taken > 0) {
    std::memcpy(buffer, m_buffer.data() + m_bufferOffset, taken);
    m_bufferOffset += taken;
  }
  return taken;
}

void ZuFileStream::RefillBuffer() {
  m_buffer.resize(kBufferSize);
  m_buffer.resize(ReadFromFile(m_buffer.data(), kBufferSize));
  m_bufferOffset = 0;
}

// Reads until count bytes arrived, the file ended or a read failed.
size_t ZuFileStream::ReadFromFile(uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = read(m_fd, buffer + done, std::min(count - done, kMaxTransfer));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      Fail(errno);
      break;
    }
    if (got == 0) {
      break;
    }
    done += static_cast<size_t>(got);
  }
  return done;
}

bool ZuFileStream::Write(const void* data, size_t count) {
  if (m_mode != Mode::kWrite || m_closed) {
    Fail(EBADF);
    return false;
  }
  if (m_error) {
    return false;
  }
  if (count == 0) {
    return true;
  }
  if (data == nullptr) {
    Fail(EFAULT);
    return false;
  }
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (m_buffer.size() + count > kBufferSize && !FlushBuffer()) {
    return false;
  }
  if (count >= kBufferSize) {
    if (!WriteToFile(bytes, count)) {
      return false;
    }
  } else {
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
  }
  m_position += count;
  m_size = std::max(m_size, m_position);
  return true;
}

// Writes all count bytes, resuming after interruptions and short writes.
bool ZuFileStream::WriteToFile(const uint8_t* data, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t put = write(m_fd, data + done, std::min(count - done, kMaxTransfer));
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put <= 0) {
      Fail(put < 0 ? errno : ENOSPC);
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

bool ZuFileStream::FlushBuffer() {
  if (m_buffer.empty()) {
    return !m_error;
  }
  const bool written = !m_error && WriteToFile(m_buffer.data(), m_buffer.size());
  m_buffer.clear();
  return written;
}

bool ZuFileStream::Seek(uint64_t position) {
  if (m_closed || m_error || position > static_cast<uint64_t>(INT64_MAX)) {
    return false;
  }
  if (m_mode == Mode::kRead && SeekWithinBuffer(position)) {
    return true;
  }
  if (m_mode == Mode::kWrite && !FlushBuffer()) {
    return false;
  }
  if (lseek(m_fd, static_cast<off_t>(position), SEEK_SET) < 0) {
    return false;
  }
  m_buffer.clear();
  m_bufferOffset = 0;
  m_position = position;
  return true;
}

// A read stream whose read-ahead holds position just moves within it.
bool ZuFileStream::SeekWithinBuffer(uint64_t position) {
  const uint64_t bufferStart = m_position - m_bufferOffset;
  const uint64_t bufferEnd = bufferStart + m_buffer.size();
  if (position < bufferStart || position > bufferEnd) {
    return false;
  }
  m_bufferOffset = static_cast<size_t>(position - bufferStart);
  m_position = position;
  return true;
}

uint64_t ZuFileStream::GetSize() const {
  if (m_mode == Mode::kWrite) {
    return m_size;
  }
  struct stat info {};
  if (m_closed || fstat(m_fd, &info) != 0 || info.st_size < 0) {
    return 0;
  }
  return static_cast<uint64_t>(info.st_size);
}

bool ZuFileStream::Flush() {
  if (m_mode == Mode::kWrite && !m_closed) {
    FlushBuffer();
  }
  return !m_error;
}

bool ZuFileStream::MapRemaining(ZuSharedBytes& bytes) {
  if (m_mode != Mode::kRead || m_closed || m_error) {
    return false;
  }
  ZuSharedBytes whole;
  if (!ZuMappedFile::MapDescriptor(m_fd, whole, nullptr) || m_position > whole.size()) {
    return false;
  }
  bytes = whole.Slice(m_position, whole.size() - m_position);
  m_position = whole.size();
  m_buffer.clear();
  m_bufferOffset = 0;
  return true;
}

bool ZuFileStream::Close() {
  if (!m_closed) {
    m_closed = true;
    if (m_mode == Mode::kWrite) {
      CommitWrite();
    } else {
      close(m_fd);
    }
    m_fd = -1;
  }
  if (m_error) {
    errno = m_errorNumber;
  }
  return !m_error;
}

// Pushes out the last bytes and puts the temporary file in the target's place, or on any
// failure removes it.
void ZuFileStream::CommitWrite() {
  FlushBuffer();
  if (close(m_fd) != 0 && errno != EINTR) {
    Fail(errno);
  }
  if (m_tempPath.empty()) {
    return;  // written straight
  }
  if (!m_error && rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
    Fail(errno);
  }
  if (m_error) {
    unlink(m_tempPath.c_str());
  }
}

void ZuFileStream::Discard() {
  if (m_closed) {
    return;
  }
  if (m_mode == Mode::kWrite) {
    Fail(ECANCELED);
    m_buffer.clear();
    close(m_fd);
    if (!m_tempPath.empty()) {
      unlink(m_tempPath.c_str());
    }
  } else {
    close(m_fd);
  }
  m_fd = -1;
  m_closed = true;
}

void ZuFileStream::Fail(int errorNumber) {
  if (m_error) {
    return;
  }
  m_error = true;
  m_errorNumber = errorNumber;
  if (m_mode == Mode::kWrite && errorNumber != ECANCELED) {
    const std::lock_guard<std::mutex> lock(g_lastWriteFailureMutex);
    g_lastWriteFailure = {m_path, errorNumber, g_lastWriteFailure.count + 1};
  }
}

ZuFileStream::WriteFailure ZuFileStream::LastWriteFailure() {
  const std::lock_guard<std::mutex> lock(g_lastWriteFailureMutex);
  return g_lastWriteFailure;
}
