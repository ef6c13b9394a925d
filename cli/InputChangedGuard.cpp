#include "cli/InputChangedGuard.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "cli/CliError.h"

namespace {

void OnInputChanged(int /*signal*/) {
  // Only async-signal-safe calls here.
  static const char kMessage[] =
      "fmredit: an input file was shortened by another program while being read\n";
  const ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  _exit(kExitFailure);
}

}  // namespace

void InstallInputChangedGuard() {
  struct sigaction action {};
  action.sa_handler = OnInputChanged;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, nullptr);
}
