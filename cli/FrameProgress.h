#pragma once

#include <chrono>
#include <string>

// The "\rrecorded 120 frames, 31.2 fps" line that long frame-by-frame work keeps up to date
// on standard error. Shows nothing unless standard error is a terminal; redraws at most a
// few times a second.
class FrameProgress {
 public:
  // verb: what is done to each frame, as in "recorded" or "rendered".
  explicit FrameProgress(std::string verb);
  ~FrameProgress();  // ends the line if one was shown
  FrameProgress(const FrameProgress&) = delete;
  FrameProgress& operator=(const FrameProgress&) = delete;

  // Counts one more frame done.
  void Step();
  // Shows the final count and ends the line.
  void Finish();

 private:
  void Show();

  std::string m_verb;
  bool m_enabled;
  bool m_shown = false;
  long m_frames = 0;
  std::chrono::steady_clock::time_point m_start;
  std::chrono::steady_clock::time_point m_lastShown;
};
