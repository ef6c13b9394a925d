#include "host/swf/ZuSwfSignature.h"

#include <fcntl.h>
#include <unistd.h>

#include <iterator>

#include "host/swf/ZuTavoFile.h"

namespace {

// By compression, in ZuSwfCompression's order.
constexpr const char* kSignatures[] = {"FWS", "CWS", "ZWS"};
constexpr ZuSwfCompression kCompressions[] = {ZuSwfCompression::kNone, ZuSwfCompression::kZlib,
                                              ZuSwfCompression::kLzma};

}  // namespace

const char* ZuSwfSignature::Of(ZuSwfCompression compression) {
  return kSignatures[static_cast<int>(compression)];
}

bool ZuSwfSignature::Read(std::span<const uint8_t> bytes, ZuSwfCompression& compression) {
  if (bytes.size() < kSize) {
    return false;
  }
  const std::string_view start(reinterpret_cast<const char*>(bytes.data()), kSize);
  for (size_t i = 0; i < std::size(kSignatures); ++i) {
    if (start == kSignatures[i]) {
      compression = kCompressions[i];
      return true;
    }
  }
  return false;
}

bool ZuSwfSignature::Opens(std::string_view text) {
  ZuSwfCompression ignored{};
  return Read({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, ignored);
}

bool ZuSwfSignature::OpensFile(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  char start[kSize] = {};
  const bool whole = read(fd, start, kSize) == static_cast<ssize_t>(kSize);
  close(fd);
  return whole && Opens({start, kSize});
}
