#include "media/ZuAvHandles.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <new>
#include <utility>

std::string ZuAvErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  std::string result(text);
  if (!result.empty()) {
    result[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(result[0])));
  }
  return result;
}

namespace {

thread_local std::string t_logged;

void KeepErrors(void* /*context*/, int level, const char* format, va_list arguments) {
  if (level > AV_LOG_ERROR) {
    return;
  }
  char text[256];
  std::vsnprintf(text, sizeof text, format, arguments);
  std::string line(text);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
    line.pop_back();
  }
  if (!line.empty()) {
    line[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    t_logged = line;
  }
}

}  // namespace

void ZuAvQuietLog() {
  av_log_set_level(AV_LOG_ERROR);
  av_log_set_callback(KeepErrors);
}

std::string ZuAvTakeLogged() {
  return std::exchange(t_logged, std::string());
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
