#include "tests/media/XvfbScreen.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

pid_t SpawnProgram(std::vector<std::string> words) {
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);
  pid_t pid = 0;
  return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

}  // namespace

XvfbScreen::XvfbScreen() {
  int ends[2];
  if (pipe(ends) != 0) {
    return;
  }
  // Xvfb writes the display number it took to the descriptor given, then a newline.
  m_pid = SpawnProgram({"/usr/bin/Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0",
                        "320x240x24", "-nolisten", "tcp"});
  close(ends[1]);
  std::string number;
  char c = 0;
  while (read(ends[0], &c, 1) == 1 && c != '\n') {
    number += c;
  }
  close(ends[0]);
  if (m_pid > 0 && !number.empty()) {
    m_name = ":" + number;
    m_display = XOpenDisplay(m_name.c_str());
  }
}

XvfbScreen::~XvfbScreen() {
  if (m_display != nullptr) {
    XCloseDisplay(m_display);
  }
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
}

void XvfbScreen::Paint(uint32_t rgb) {
  const Window root = DefaultRootWindow(m_display);
  XSetWindowBackground(m_display, root, rgb);
  XClearWindow(m_display, root);
  XSync(m_display, False);
}

bool XvfbScreen::Xdotool(const std::vector<std::string>& words) const {
  std::vector<std::string> command{"/usr/bin/env", "DISPLAY=" + m_name, "/usr/bin/xdotool"};
  command.insert(command.end(), words.begin(), words.end());
  const pid_t pid = SpawnProgram(command);
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

bool XvfbScreen::CursorImage(int& width, int& height, int& hotX, int& hotY) const {
  XFixesCursorImage* image = XFixesGetCursorImage(m_display);
  if (image == nullptr) {
    return false;
  }
  width = image->width;
  height = image->height;
  hotX = image->xhot;
  hotY = image->yhot;
  XFree(image);
  return true;
}
