#include "cli/FrameProgress.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "media/ZuMediaProgress.h"
#include "projectedit/TimeInMovie.h"

namespace {

constexpr std::chrono::milliseconds kRedrawInterval(200);

}  // namespace

FrameProgress::FrameProgress(std::string verb)
    : m_verb(std::move(verb)), m_start(std::chrono::steady_clock::now()), m_lastShown(m_start) {}

void FrameProgress::Step() {
  Step(static_cast<int>(m_frames + 1), 0);
}

void FrameProgress::Step(int done, int total) {
  m_frames = done;
  m_total = total;
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
  char text[128];
  if (m_total <= 0) {
    std::snprintf(text, sizeof text, "%s %ld frames, %.1f fps", m_verb.c_str(), m_frames, rate);
  } else {
    std::snprintf(text, sizeof text, "%s %ld of %ld frames (%ld%%), %.1f fps", m_verb.c_str(),
                  m_frames, m_total, m_frames * 100 / m_total, rate);
  }
  const double left = ZuSecondsLeft(m_frames, m_total, seconds);
  m_line.Show(left >= 0 && m_frames < m_total
                  ? std::string(text) + ", " + ClockText(std::lround(left)) + " left"
                  : std::string(text));
  m_lastShown = now;
}
