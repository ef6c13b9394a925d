#include "host/util/ZuStreamUtil.h"

#include <memory>
#include <vector>

#include "host/util/ZuFileStream.h"
#include "host/util/ZuMappedPageReleaser.h"

namespace {

// Bytes copied per step when saving a stream to a file.
constexpr size_t kCopyChunk = size_t{1} << 20;

// Writes mapped bytes a chunk at a time, handing each chunk's pages back once written.
bool WriteMapped(const ZuSharedBytes& bytes, ZuFileStream* to) {
  ZuMappedPageReleaser pages;
  for (size_t at = 0; at < bytes.size(); at += kCopyChunk) {
    const ZuSharedBytes chunk = bytes.Slice(at, kCopyChunk);
    if (!to->Write(chunk.data(), chunk.size())) {
      return false;
    }
    pages.PassedEnd(chunk);
  }
  return true;
}

// Copies from from's current position to its end. False when a read or write failed.
bool CopyToEnd(IZuStream* from, ZuFileStream* to) {
  ZuSharedBytes mapped;
  if (from->MapRemaining(mapped)) {
    return WriteMapped(mapped, to);  // a file: written from its mapping, not read first
  }
  std::vector<uint8_t> chunk(kCopyChunk);
  for (;;) {
    const size_t got = from->Read(chunk.data(), chunk.size());
    if (got == 0) {
      return !from->HasError();
    }
    if (!to->Write(chunk.data(), got)) {
      return false;
    }
  }
}

}  // namespace

IZuStream* ZuStreamUtil::CreateFileStreamRead(const ZuFile& file, int mode, uint32_t /*shareHint*/,
                                              uint32_t /*bufferHint*/) {
  if (mode != kZuStreamRead) {
    return nullptr;
  }
  return ZuFileStream::Open(file.GetNativePath(), ZuFileStream::Mode::kRead);
}

IZuStream* ZuStreamUtil::CreateFileStreamWrite(const ZuFile& file, int mode, uint32_t /*shareHint*/,
                                               uint32_t /*bufferHint*/) {
  if (mode != kZuStreamTextWrite && mode != kZuStreamBinaryWrite) {
    return nullptr;
  }
  return ZuFileStream::Open(file.GetNativePath(), ZuFileStream::Mode::kWrite);
}

ZuStatus ZuStreamUtil::SaveReadStreamToFile(IZuStream* stream, const ZuFile& file) {
  if (stream == nullptr || !stream->Seek(0)) {
    return ZuStatus::Error("the stream cannot be read from its start");
  }
  std::string reason;
  std::unique_ptr<ZuFileStream> out(
      ZuFileStream::Open(file.GetNativePath(), ZuFileStream::Mode::kWrite, &reason));
  if (!out) {
    return ZuStatus::Error(reason);
  }
  if (!CopyToEnd(stream, out.get())) {
    const int error = out->GetErrorNumber();  // 0: the read failed
    out->Discard();
    return error != 0 ? ZuStatus::FromErrno(error) : ZuStatus::Error("the stream cannot be read");
  }
  return out->Close() ? ZuStatus() : ZuStatus::FromErrno(out->GetErrorNumber());
}
