#include "cli/FrameProgress.h"

#include <cstdio>
#include <utility>

namespace {

constexpr std::chrono::milliseconds kRedrawInterval(200);

}  // namespace

FrameProgress::FrameProgress(std::string verb)
    : m_verb(std::move(verb)), m_start(std::chrono::steady_clock::now()), m_lastShown(m_start) {}

void FrameProgress::Step() {
  ++m_frames;
  if (m_line.Enabled() && std::chrono::steady_clock::now() - m_lastShown >= kRedrawInterval) {
    Show();
  }
}

void FrameProgress::Finish() {
  if (m_line.Enabled() && m_frames > 0) {
    Show();
  }
  m_line.End();
}

void FrameProgress::Show() {
  const auto now = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(now - m_start).count();
  const double rate = seconds > 0 ? static_cast<double>(m_frames) / seconds : 0.0;
  char text[96];
  std::snprintf(text, sizeof text, "%s %ld frames, %.1f fps", m_verb.c_str(), m_frames, rate);
  m_line.Show(text);
  m_lastShown = now;
}
