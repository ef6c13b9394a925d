#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;

// An X server of the test's own (Debian's Xvfb) with a 320 x 240 screen on a display number
// it picks free, and a connection to it that paints the whole screen one colour and drives
// and reads the pointer. Kept apart
// from the tests: Xlib's macros clash with GoogleTest's names.
class XvfbScreen {
 public:
  XvfbScreen();
  ~XvfbScreen();
  XvfbScreen(const XvfbScreen&) = delete;
  XvfbScreen& operator=(const XvfbScreen&) = delete;

  bool IsOpen() const { return m_display != nullptr; }
  const std::string& Name() const { return m_name; }  // ":N"
  void Paint(uint32_t rgb);
  // Runs xdotool with words on this display (XTest moves the pointer, clicks and types);
  // true when it succeeded.
  bool Xdotool(const std::vector<std::string>& words) const;
  // The size and hot spot of the cursor image the server shows (XFixes); false when it
  // cannot tell.
  bool CursorImage(int& width, int& height, int& hotX, int& hotY) const;

 private:
  pid_t m_pid = -1;
  std::string m_name;
  _XDisplay* m_display = nullptr;
};
