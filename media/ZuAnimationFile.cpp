#include "media/ZuAnimationFile.h"

#include <cstring>

#include "host/util/ZuFileStream.h"
#include "media/ZuMediaError.h"

ZuAnimationFile::ZuAnimationFile(const std::string& path) : m_path(path) {
  std::string error;
  m_stream.reset(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &error));
  if (!m_stream) {
    throw ZuMediaError(path + ": cannot write: " + error);
  }
}

// After Commit the stream is closed and giving it up does nothing.
ZuAnimationFile::~ZuAnimationFile() {
  m_stream->Discard();
}

void ZuAnimationFile::Fail() const {
  const int number = m_stream->GetErrorNumber();
  throw ZuMediaError(m_path + ": cannot write: " +
                     (number != 0 ? std::strerror(number) : "the file could not be written"));
}

void ZuAnimationFile::Write(const void* data, size_t size) {
  if (size != 0 && !m_stream->Write(data, size)) {
    Fail();
  }
}

void ZuAnimationFile::Seek(uint64_t offset) {
  if (!m_stream->Seek(offset)) {
    Fail();
  }
}

uint64_t ZuAnimationFile::Size() const {
  return m_stream->GetSize();
}

void ZuAnimationFile::Commit() {
  if (!m_stream->Close()) {
    Fail();
  }
}
