#include "host/util/ZuStreamUtil.h"

#include <memory>
#include <vector>

#include "host/util/ZuFileStream.h"

namespace {

// Bytes copied per step when saving a stream to a file.
constexpr size_t kCopyChunk = 1024 * 1024;

// Copies from from's current position to its end. False when a read or write failed.
bool CopyToEnd(IZuStream* from, ZuFileStream* to) {
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

ZuErrorCodeEnum ZuStreamUtil::SaveReadStreamToFile(IZuStream* stream, const ZuFile& file) {
  if (stream == nullptr || !stream->Seek(0)) {
    return kZuFailure;
  }
  std::unique_ptr<ZuFileStream> out(
      ZuFileStream::Open(file.GetNativePath(), ZuFileStream::Mode::kWrite));
  if (!out) {
    return kZuFailure;
  }
  if (!CopyToEnd(stream, out.get())) {
    out->Discard();
    return kZuFailure;
  }
  return out->Close() ? kZuSuccess : kZuFailure;
}
