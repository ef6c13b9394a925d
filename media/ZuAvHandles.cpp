#include "media/ZuAvHandles.h"

#include <cctype>
#include <new>

std::string ZuAvErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  std::string result(text);
  if (!result.empty()) {
    result[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(result[0])));
  }
  return result;
}

void ZuAvQuietLog() {
  av_log_set_level(AV_LOG_QUIET);
}

ZuAvFrame ZuAvNewFrame() {
  ZuAvFrame frame(av_frame_alloc());
  if (!frame) {
    throw std::bad_alloc();
  }
  return frame;
}

ZuAvPacket ZuAvNewPacket() {
  ZuAvPacket packet(av_packet_alloc());
  if (!packet) {
    throw std::bad_alloc();
  }
  return packet;
}
