#include "host/swf/ZuTavoFile.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

#include "host/swf/ZuBitStream.h"
#include "host/swf/ZuSwfBodyCodec.h"
#include "host/swf/ZuSwfReader.h"
#include "host/swf/ZuSwfSignature.h"
#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuSwfWriter.h"
#include "host/util/ZuFileStream.h"
#include "host/util/ZuLargeBuffer.h"
#include "host/util/ZuLittleEndian.h"
#include "host/util/ZuMappedPageReleaser.h"

namespace {

constexpr uint8_t kHighestKnownVersion = 50;
constexpr size_t kFirstReadChunk = size_t{1} << 20;
// A rectangle field has at most 31 bits, so it holds values below 2^30.
constexpr int64_t kMaxTwips = (int64_t{1} << 30) - 1;
constexpr uint16_t kMaxWholeFrameRate = 255;
constexpr size_t kLzmaLengthOffset = 8;
constexpr size_t kLzmaPropertiesOffset = 12;
constexpr size_t kLzmaPropertiesSize = ZuSwfBodyCodec::kLzmaPropertiesSize;
constexpr size_t kLzmaDataOffset = kLzmaPropertiesOffset + kLzmaPropertiesSize;

// Reads up to count bytes; fewer only where the stream ends.
size_t ReadUpTo(IZuStream* stream, uint8_t* buffer, size_t count) {
  size_t got = 0;
  while (got < count) {
    const size_t n = stream->Read(buffer + got, count - got);
    if (n == 0) {
      break;
    }
    got += n;
  }
  return got;
}

// The most bytes a file with this header can hold: its declared length, or for a compressed
// file what that length can take once compressed.
uint64_t MostFileBytes(const ZuSwfFileHeader& header) {
  if (header.compression == ZuSwfCompression::kNone) {
    return std::max<uint64_t>(header.declaredLength, kZuSwfFileHeaderSize);
  }
  return kZuSwfFileHeaderSize + ZuSwfBodyCodec::MostCompressedSize(header.declaredLength);
}

// Reads the rest of a stream whose length is not known, after the header already in buffer,
// up to most bytes in all: grown while reading, so that a stream that never ends (a device)
// costs no more than its header allows.
ZuSharedBytes ReadGrowing(IZuStream* stream, std::vector<uint8_t> buffer, uint64_t most) {
  size_t got = buffer.size();
  buffer.resize(static_cast<size_t>(std::min<uint64_t>(kFirstReadChunk, most)));
  for (;;) {
    got += ReadUpTo(stream, buffer.data() + got, buffer.size() - got);
    if (got < buffer.size() || got >= most) {
      break;
    }
    buffer.resize(static_cast<size_t>(std::min<uint64_t>(uint64_t{got} * 2, most)));
  }
  buffer.resize(got);
  return ZuSharedBytes::Adopt(std::move(buffer));
}

// Reads the rest of a stream of known length into one buffer, after the header.
ZuSharedBytes ReadKnown(IZuStream* stream, std::span<const uint8_t> header, uint64_t length) {
  std::shared_ptr<uint8_t[]> buffer = ZuAllocateLargeBuffer(static_cast<size_t>(length));
  if (buffer == nullptr) {
    throw std::bad_alloc();
  }
  std::copy(header.begin(), header.end(), buffer.get());
  const size_t got =
      header.size() + ReadUpTo(stream, buffer.get() + header.size(), length - header.size());
  const uint8_t* data = buffer.get();
  return ZuSharedBytes(std::move(buffer), data, got);
}

// Reads from the stream's position to its end into one buffer, or maps it when the stream
// is a file: a movie's bytes are then read from disk only where they are used. The file
// header is read first: a stream that is no SWF file is refused before anything else is
// read, and a stream of unknown length is read no further than the header declares.
bool ReadWholeStream(IZuStream* stream, ZuSharedBytes& bytes, std::string& error) {
  if (stream->MapRemaining(bytes)) {
    return true;
  }
  const uint64_t size = stream->GetSize();
  const uint64_t position = stream->GetPosition();
  try {
    std::vector<uint8_t> buffer(kZuSwfFileHeaderSize);
    buffer.resize(ReadUpTo(stream, buffer.data(), buffer.size()));
    ZuSwfFileHeader header;
    if (stream->HasError() || !ZuSwfReader::ReadFileHeader(buffer, header, error)) {
      error = stream->HasError() ? "read error" : error;
      return false;
    }
    bytes = size > position + buffer.size()
                ? ReadKnown(stream, buffer, size - position)
                : ReadGrowing(stream, std::move(buffer), MostFileBytes(header));
  } catch (const std::bad_alloc&) {
    error = "out of memory reading the file";
    return false;
  }
  if (stream->HasError()) {
    error = "read error";
    return false;
  }
  return true;
}

// The whole uncompressed file for a compressed one (its first 8 bytes left for the
// header), or the bytes themselves for an uncompressed one.
ZuSwfBodyCodec::Expanded Expand(const ZuSharedBytes& file, const ZuSwfFileHeader& header) {
  const uint64_t declaredBody = header.declaredLength > kZuSwfFileHeaderSize
                                    ? header.declaredLength - kZuSwfFileHeaderSize
                                    : 0;
  const std::span<const uint8_t> bytes = file.span();
  switch (header.compression) {
    case ZuSwfCompression::kNone:
      return {file, {}, {}};
    case ZuSwfCompression::kZlib:
      return ZuSwfBodyCodec::InflateZlib(bytes.subspan(kZuSwfFileHeaderSize), declaredBody);
    case ZuSwfCompression::kLzma: {
      if (bytes.size() < kLzmaDataOffset) {
        ZuSwfBodyCodec::Expanded failed;
        failed.error = "truncated header";
        return failed;
      }
      ZuSwfBodyCodec::Expanded result =
          ZuSwfBodyCodec::DecodeLzma(bytes.subspan(kLzmaPropertiesOffset, kLzmaPropertiesSize),
                                     bytes.subspan(kLzmaDataOffset), declaredBody);
      const uint32_t storedLength = ZuLittleEndian::ReadU32(bytes.data() + kLzmaLengthOffset);
      if (result.error.empty() && storedLength != bytes.size() - kLzmaDataOffset) {
        result.warnings.push_back("the LZMA length field says " + std::to_string(storedLength) +
                                  " bytes, the file holds " +
                                  std::to_string(bytes.size() - kLzmaDataOffset));
      }
      return result;
    }
  }
  return {};
}

}  // namespace

ZuErrorCodeEnum ZuTavoFile::LoadFromStream(IZuStream* stream) {
  DestroyAllTags();
  *this = ZuTavoFile();
  if (stream == nullptr) {
    m_lastError = "no stream to read";
    return kZuFailure;
  }
  ZuSharedBytes file;
  if (!ReadWholeStream(stream, file, m_lastError)) {
    return kZuFailure;
  }
  return LoadFromBytes(std::move(file));
}

ZuErrorCodeEnum ZuTavoFile::LoadFromBytes(ZuSharedBytes file) {
  DestroyAllTags();
  *this = ZuTavoFile();
  ZuSwfFileHeader header;
  if (!ZuSwfReader::ReadFileHeader(file.span(), header, m_lastError)) {
    return kZuFailure;
  }
  ZuSwfBodyCodec::Expanded expanded = Expand(file, header);
  file = ZuSharedBytes();  // a compressed file's bytes are not needed any more
  if (!expanded.error.empty()) {
    m_lastError = expanded.error;
    return kZuFailure;
  }
  ZuSwfMovieLayout layout;
  if (!ZuSwfReader::ReadMovie(expanded.image, layout, m_lastError)) {
    return kZuFailure;
  }

  m_compression = header.compression;
  m_version = header.version;
  m_frameRect = layout.frameRect;
  m_frameRectBytes = layout.frameRectBytes;
  m_frameRate = layout.frameRate;
  m_frameCount = layout.frameCount;
  m_hadEndTag = layout.hadEndTag;
  m_trailingBytes = layout.trailingBytes;
  if (header.version > kHighestKnownVersion) {
    m_loadWarnings.push_back("SWF version " + std::to_string(header.version) +
                             " is newer than any known");
  }
  m_loadWarnings.insert(m_loadWarnings.end(), expanded.warnings.begin(), expanded.warnings.end());
  if (header.declaredLength != expanded.image.size()) {
    m_loadWarnings.push_back("the header declares " + std::to_string(header.declaredLength) +
                             " bytes, the uncompressed file has " +
                             std::to_string(expanded.image.size()));
  }
  m_loadWarnings.insert(m_loadWarnings.end(), layout.warnings.begin(), layout.warnings.end());
  ZuMappedPageReleaser pages;
  for (const ZuSwfTagRecord& record : layout.tags) {
    pages.Passed(record.body, 0);  // the tag reads its body's first bytes
    AppendTag(ZuSwfTagFactory::CreateTagFromBody(static_cast<enuTagType>(record.code), record.body,
                                                 record.longHeader));
  }
  return kZuSuccess;
}

ZuErrorCodeEnum ZuTavoFile::DumpToStream(IZuStream* stream) {
  if (stream == nullptr) {
    m_lastError = "no stream to write";
    return kZuFailure;
  }
  ZuSwfMovieParts parts;
  parts.frameRectBytes = m_frameRectBytes;
  if (parts.frameRectBytes.empty()) {
    ZuBitWriter rect;
    m_frameRect.Write(rect);
    parts.frameRectBytes = ZuSharedBytes::Adopt(rect.TakeBytes());
  }
  parts.frameRate = m_frameRate;
  parts.frameCount = m_frameCount;
  parts.tags = this;
  parts.trailingBytes = m_trailingBytes;
  uint64_t fileSize = 0;
  if (!ZuSwfWriter::MeasureFile(parts, fileSize, m_lastError)) {
    return kZuFailure;
  }

  uint8_t header[kZuSwfFileHeaderSize] = {};
  std::copy_n(ZuSwfSignature::Of(m_compression), ZuSwfSignature::kSize, header);
  header[ZuSwfSignature::kSize] = m_version;
  ZuLittleEndian::WriteU32(header + 4, static_cast<uint32_t>(fileSize));

  bool written = false;
  if (m_compression == ZuSwfCompression::kNone) {
    written = stream->Write(header, sizeof header) &&
              ZuSwfWriter::WriteBody(parts, [stream](const uint8_t* data, size_t size) {
                return stream->Write(data, size);
              });
  } else {
    std::vector<uint8_t> body;
    try {
      body.reserve(fileSize - kZuSwfFileHeaderSize);
    } catch (const std::bad_alloc&) {
      m_lastError = "out of memory building the movie";
      return kZuFailure;
    }
    ZuSwfWriter::WriteBody(parts, [&body](const uint8_t* data, size_t size) {
      body.insert(body.end(), data, data + size);
      return true;
    });
    std::vector<uint8_t> compressed;
    std::vector<uint8_t> properties;
    const bool lzma = m_compression == ZuSwfCompression::kLzma;
    if (!(lzma ? ZuSwfBodyCodec::EncodeLzma(body, properties, compressed)
               : ZuSwfBodyCodec::DeflateZlib(body, compressed))) {
      m_lastError = lzma ? "LZMA compression failed" : "zlib compression failed";
      return kZuFailure;
    }
    written = stream->Write(header, sizeof header);
    if (lzma) {
      uint8_t length[4];
      ZuLittleEndian::WriteU32(length, static_cast<uint32_t>(compressed.size()));
      written = written && stream->Write(length, sizeof length) &&
                stream->Write(properties.data(), properties.size());
    }
    written = written && stream->Write(compressed.data(), compressed.size());
  }
  if (!written || !stream->Flush()) {
    m_lastError = "write error";
    return kZuFailure;
  }
  return kZuSuccess;
}

ZuStatus ZuTavoFile::SaveToFile(const std::string& path) {
  std::string reason;
  const std::unique_ptr<ZuFileStream> stream(
      ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &reason));
  if (!stream) {
    return ZuStatus::Error(reason);
  }
  const bool dumped = DumpToStream(stream.get()) == kZuSuccess;
  if (!dumped) {
    stream->Discard();  // keeps the first failure's reason, if a write failed
  }
  if (dumped && stream->Close()) {
    return ZuStatus();
  }
  const int error = stream->GetErrorNumber();
  return error != 0 && error != ECANCELED ? ZuStatus::FromErrno(error)
                                          : ZuStatus::Error(m_lastError);
}

void ZuTavoFile::SetFrameRate(uint16_t framesPerSecond) {
  m_frameRate = static_cast<uint16_t>(std::min(framesPerSecond, kMaxWholeFrameRate) << 8);
}

uint32_t ZuTavoFile::GetWidth() const {
  const int64_t twips = int64_t{m_frameRect.xMax} - m_frameRect.xMin;
  return twips > 0 ? static_cast<uint32_t>(twips / kZuTwipsPerPixel) : 0;
}

uint32_t ZuTavoFile::GetHeight() const {
  const int64_t twips = int64_t{m_frameRect.yMax} - m_frameRect.yMin;
  return twips > 0 ? static_cast<uint32_t>(twips / kZuTwipsPerPixel) : 0;
}

void ZuTavoFile::SetWidth(uint32_t pixels) {
  const int64_t xMax =
      std::min<int64_t>(m_frameRect.xMin + int64_t{pixels} * kZuTwipsPerPixel, kMaxTwips);
  m_frameRect.xMax = static_cast<int32_t>(xMax);
  m_frameRectBytes = ZuSharedBytes();
}

void ZuTavoFile::SetHeight(uint32_t pixels) {
  const int64_t yMax =
      std::min<int64_t>(m_frameRect.yMin + int64_t{pixels} * kZuTwipsPerPixel, kMaxTwips);
  m_frameRect.yMax = static_cast<int32_t>(yMax);
  m_frameRectBytes = ZuSharedBytes();
}

void ZuTavoFile::UpdateTagLists(ZuSwfTag* tag) {
  if (tag != nullptr) {
    m_highestCharacterId = std::max(m_highestCharacterId, tag->GetCharacterId());
  }
}
