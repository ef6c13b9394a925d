#include "media/ZuAvOutputFile.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "media/ZuAvHandles.h"
#include "media/ZuMediaError.h"

namespace {

constexpr int kIoBufferSize = 256 * 1024;

}  // namespace

ZuAvOutputFile::ZuAvOutputFile(const std::string& path) : m_path(path) {
  std::string reason;
  m_stream.reset(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &reason));
  if (!m_stream) {
    throw ZuMediaError(path + ": cannot write: " + reason);
  }
  auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
  if (buffer != nullptr) {
    m_io = avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr, &WritePacket, &Seek);
  }
  if (m_io == nullptr) {
    av_free(buffer);
    m_stream->Discard();
    throw std::bad_alloc();
  }
  m_io->seekable = AVIO_SEEKABLE_NORMAL;
}

ZuAvOutputFile::~ZuAvOutputFile() {
  if (m_io != nullptr) {
    av_freep(&m_io->buffer);
    avio_context_free(&m_io);
  }
  if (!m_committed) {
    m_stream->Discard();
  }
}

void ZuAvOutputFile::Commit() {
  avio_flush(m_io);
  errno = 0;
  if (m_io->error < 0 || m_stream->HasError() || !m_stream->Close()) {
    const int error = m_stream->GetErrorNumber() != 0 ? m_stream->GetErrorNumber() : errno;
    m_stream->Discard();
    throw ZuMediaError(m_path + ": cannot write: " +
                       (error != 0 ? std::string(std::strerror(error)) : "write failed"));
  }
  m_committed = true;
}

int ZuAvOutputFile::WritePacket(void* opaque, uint8_t* data, int size) {
  auto* self = static_cast<ZuAvOutputFile*>(opaque);
  if (self->m_stream->Write(data, static_cast<size_t>(size))) {
    return size;
  }
  // The system's reason (a full disk, say), for the encoder's message.
  const int error = self->m_stream->GetErrorNumber();
  return AVERROR(error != 0 ? error : EIO);
}

int64_t ZuAvOutputFile::Seek(void* opaque, int64_t offset, int whence) {
  ZuFileStream& stream = *static_cast<ZuAvOutputFile*>(opaque)->m_stream;
  const auto position = static_cast<int64_t>(stream.GetPosition());
  const auto size = static_cast<int64_t>(stream.GetSize());
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
      return size;
    case SEEK_CUR:
      offset += position;
      break;
    case SEEK_END:
      offset += size;
      break;
    case SEEK_SET:
      break;
    default:
      return AVERROR(EINVAL);
  }
  if (offset < 0 || !stream.Seek(static_cast<uint64_t>(offset))) {
    return AVERROR(EIO);
  }
  return offset;
}
