#include "cli/StopSignal.h"

namespace {

volatile std::sig_atomic_t g_requested = 0;

void OnStopSignal(int /*signal*/) {
  g_requested = 1;
}

}  // namespace

StopSignal::StopSignal() {
  g_requested = 0;
  struct sigaction action {};
  action.sa_handler = &OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &m_oldInterrupt);
  sigaction(SIGTERM, &action, &m_oldTerminate);
}

StopSignal::~StopSignal() {
  sigaction(SIGINT, &m_oldInterrupt, nullptr);
  sigaction(SIGTERM, &m_oldTerminate, nullptr);
}

bool StopSignal::Requested() {
  return g_requested != 0;
}
