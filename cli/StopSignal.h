#pragma once

#include <csignal>

// Turns Ctrl-C (SIGINT) and SIGTERM into a request that long work polls, so that it can end
// cleanly (finish a capture, remove a half-written export) instead of dying mid-write. The
// signals' earlier handling comes back when the object goes.
class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  // True once either signal arrived.
  static bool Requested();

 private:
  struct sigaction m_oldInterrupt {};
  struct sigaction m_oldTerminate {};
};
