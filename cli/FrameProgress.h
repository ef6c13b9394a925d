#pragma once

#include <chrono>
#include <string>

#include "cli/StatusLine.h"

// The "recorded 120 frames, 31.2 fps" status line that long frame-by-frame work keeps up to
// date, with the total, the percent done and the time left when the total is known ("encoded
// 120 of 600 frames (20%), 31.2 fps, 0:16 left"); redrawn at most a few times a second.
class FrameProgress {
 public:
  // verb: what is done to each frame, as in "recorded" or "rendered".
  explicit FrameProgress(std::string verb);

  // Counts one more frame done.
  void Step();
  // Counts frames done of total (0: not known).
  void Step(int done, int total);
  // Shows the final count and ends the line.
  void Finish();

 private:
  void Show();

  std::string m_verb;
  StatusLine m_line;
  long m_frames = 0;
  long m_total = 0;
  std::chrono::steady_clock::time_point m_start;
  std::chrono::steady_clock::time_point m_lastShown;
};
