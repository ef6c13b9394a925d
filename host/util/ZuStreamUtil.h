#pragma once

#include <cstdint>

#include "host/util/IZuStream.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuStatus.h"

// Stream modes of CreateFileStreamRead / CreateFileStreamWrite.
enum ZuStreamMode : int {
  kZuStreamRead = 1,
  kZuStreamTextWrite = 2,  // same bytes as binary on this platform
  kZuStreamBinaryWrite = 10,
};

// Making file streams and copying streams to files.
class ZuStreamUtil {
 public:
  // New read stream owned by the caller, or null. The last two arguments (share and
  // buffer hints, passed as 0x3F3F3F3F) are accepted and ignored.
  static IZuStream* CreateFileStreamRead(const ZuFile& file, int mode, uint32_t shareHint,
                                         uint32_t bufferHint);
  // New write stream owned by the caller, or null. The file appears at its path when the
  // stream is closed or deleted after error-free writing (see ZuFileStream).
  static IZuStream* CreateFileStreamWrite(const ZuFile& file, int mode, uint32_t shareHint,
                                          uint32_t bufferHint);
  // Writes the whole content of stream, from its beginning whatever has been read, to
  // file; fails with the reason (the system's, for a failed write), leaving file as it was.
  // Restores nothing: the stream's position is at its end afterwards.
  static ZuStatus SaveReadStreamToFile(IZuStream* stream, const ZuFile& file);
};
