#pragma once

#include <cstdint>

// Which key presses a capture records: none, shortcuts (a key held with Ctrl, Alt or Super,
// and command keys such as Return, Tab, Escape and the arrows), or every key.
enum class ZuKeyCapture : uint8_t { kOff, kShortcuts, kAll };
