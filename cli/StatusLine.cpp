#include "cli/StatusLine.h"

#include <unistd.h>

#include <cstdio>

StatusLine::StatusLine() : m_enabled(isatty(STDERR_FILENO) == 1) {}

StatusLine::~StatusLine() {
  End();
}

void StatusLine::Show(const std::string& text) {
  if (!m_enabled) return;
  // Back to the line's start, the text, then clear what a longer text left to its right.
  std::fprintf(stderr, "\r%s\x1b[K", text.c_str());
  std::fflush(stderr);
  m_shown = true;
}

void StatusLine::End() {
  if (m_shown) std::fputc('\n', stderr);
  m_shown = false;
}
