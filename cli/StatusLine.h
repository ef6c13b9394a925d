#pragma once

#include <string>

// The one line of standard error that long work redraws in place ("\r..."): the progress of
// recording, rendering, encoding, capturing and of the project edits. Shows nothing unless
// standard error is a terminal, so scripts and logs get only the final messages.
class StatusLine {
 public:
  StatusLine();
  ~StatusLine();  // ends the line if one was shown
  StatusLine(const StatusLine&) = delete;
  StatusLine& operator=(const StatusLine&) = delete;

  bool Enabled() const { return m_enabled; }
  // Replaces what the line shows with text.
  void Show(const std::string& text);
  // Ends the line with a newline if one was shown; the next Show starts a new line.
  void End();

 private:
  bool m_enabled;
  bool m_shown = false;
};
