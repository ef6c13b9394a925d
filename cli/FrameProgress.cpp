#include "cli/FrameProgress.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace {

constexpr std::chrono::milliseconds kRedrawInterval(200);

}  // namespace

FrameProgress::FrameProgress(std::string verb)
    : m_verb(std::move(verb)),
      m_enabled(isatty(STDERR_FILENO) == 1),
      m_start(std::chrono::steady_clock::now()),
      m_lastShown(m_start) {}

FrameProgress::~FrameProgress() {
  if (m_shown) {
    std::fputc('\n', stderr);
  }
}

void FrameProgress::Step() {
  ++m_frames;
  if (m_enabled && std::chrono::steady_clock::now() - m_lastShown >= kRedrawInterval) {
    Show();
  }
}

void FrameProgress::Finish() {
  if (m_enabled && m_frames > 0) {
    Show();
  }
  if (m_shown) {
    std::fputc('\n', stderr);
    m_shown = false;
  }
}

void FrameProgress::Show() {
  const auto now = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(now - m_start).count();
  const double rate = seconds > 0 ? static_cast<double>(m_frames) / seconds : 0.0;
  std::fprintf(stderr, "\r%s %ld frames, %.1f fps", m_verb.c_str(), m_frames, rate);
  std::fflush(stderr);
  m_lastShown = now;
  m_shown = true;
}
