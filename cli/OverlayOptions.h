#pragma once

#include <string>

#include "host/pointer/ZuOverlayChoice.h"

namespace CLI {
class App;
}  // namespace CLI

// The pointer overlay options that render, export and project export share:
// --pointer hide|show|large[=SCALE], --clicks / --no-clicks, --keys-overlay / --no-keys-overlay.
// What is not given keeps the movie's own setting.
struct OverlayOptions {
  std::string pointer;  // as given; empty: not given
  int clicks = 0;       // > 0: on, < 0: off, 0: not given
  int keys = 0;

  // The choice these options make; the option's check has read --pointer already.
  ZuOverlayChoice Choice() const;
};

void AddOverlayOptions(CLI::App& command, OverlayOptions& options);
