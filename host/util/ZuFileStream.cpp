#include "host/util/ZuFileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "host/util/ZuFileWriter.h"
#include "host/util/ZuMappedFile.h"

namespace {

// The most one read(2) or write(2) call is asked to move; Linux moves at most about 2 GiB.
constexpr size_t kMaxTransfer = size_t{1} << 30;

void SetErrorText(std::string* errorText, int errorNumber) {
  if (errorText != nullptr) {
    *errorText = std::generic_category().message(errorNumber);
  }
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
  return new ZuFileStream(fd, Mode::kRead, nullptr);
}

ZuFileStream* ZuFileStream::OpenForWriting(const std::string& path, std::string* errorText) {
  ZuStatus status;
  std::unique_ptr<ZuFileWriter> writer = ZuFileWriter::Open(path, &status);
  if (!writer) {
    if (errorText != nullptr) {
      *errorText = status.Message();
    }
    return nullptr;
  }
  const int fd = writer->Descriptor();
  return new ZuFileStream(fd, Mode::kWrite, std::move(writer));
}

ZuFileStream::ZuFileStream(int fd, Mode mode, std::unique_ptr<ZuFileWriter> writer)
    : m_fd(fd), m_mode(mode), m_writer(std::move(writer)) {
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

// Pushes out the last bytes and puts the written file in the target's place, or on any
// failure removes it.
void ZuFileStream::CommitWrite() {
  FlushBuffer();
  if (m_error) {
    m_writer->Discard();
    return;
  }
  const ZuStatus committed = m_writer->Commit();
  if (!committed.ok()) {
    Fail(committed.ErrorNumber());
  }
}

void ZuFileStream::Discard() {
  if (m_closed) {
    return;
  }
  if (m_mode == Mode::kWrite) {
    Fail(ECANCELED);
    m_buffer.clear();
    m_writer->Discard();
  } else {
    close(m_fd);
  }
  m_fd = -1;
  m_closed = true;
}

void ZuFileStream::Fail(int errorNumber) {
  if (!m_error) {
    m_error = true;
    m_errorNumber = errorNumber;
  }
}
