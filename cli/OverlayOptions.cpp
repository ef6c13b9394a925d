#include "cli/OverlayOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

// "large=2.5" and the like: the look, and the scale when one is given. False when text is not
// a look, or its scale is not a number in the allowed range.
bool ReadPointerOption(const std::string& text, ZuOverlayChoice& choice) {
  const size_t equals = text.find('=');
  ZuPointerLook look = ZuPointerLook::kShow;
  if (!ZuParsePointerLook(text.substr(0, equals), look)) {
    return false;
  }
  choice.pointer = look;
  if (equals == std::string::npos) {
    return true;
  }
  if (look != ZuPointerLook::kLarge) {
    return false;
  }
  double scale = 0;
  const char* end = text.data() + text.size();
  const auto [after, error] = std::from_chars(text.data() + equals + 1, end, scale);
  if (error != std::errc() || after != end || !std::isfinite(scale) ||
      scale < ZuOverlaySettings::kMinLargeScale || scale > ZuOverlaySettings::kMaxLargeScale) {
    return false;
  }
  choice.largeScale = scale;
  return true;
}

CLI::Validator PointerOption() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        ZuOverlayChoice choice;
        if (ReadPointerOption(text, choice)) {
          return std::string();
        }
        char range[64];
        std::snprintf(range, sizeof range, "%g to %g", ZuOverlaySettings::kMinLargeScale,
                      ZuOverlaySettings::kMaxLargeScale);
        return "give hide, show, large or large=SCALE with SCALE from " + std::string(range) +
               ", not '" + text + "'";
      },
      "LOOK");
}

std::optional<bool> OnOff(int count) {
  return count == 0 ? std::nullopt : std::optional<bool>(count > 0);
}

}  // namespace

ZuOverlayChoice OverlayOptions::Choice() const {
  ZuOverlayChoice choice;
  if (!pointer.empty()) {
    ReadPointerOption(pointer, choice);
  }
  choice.clicks = OnOff(clicks);
  choice.keys = OnOff(keys);
  return choice;
}

void AddOverlayOptions(CLI::App& command, OverlayOptions& options) {
  command
      .add_option("--pointer", options.pointer,
                  "The recorded pointer: hide, show, or large (by the movie's scale, 2 unless it "
                  "says otherwise; large=SCALE from 1.5 to 3); default: as the movie says")
      ->check(PointerOption());
  command.add_flag("--clicks,!--no-clicks", options.clicks,
                   "A ring that grows and fades at each click (or none); default: as the movie "
                   "says");
  command.add_flag("--keys-overlay,!--no-keys-overlay", options.keys,
                   "The keys pressed in the last 1.5 s as a caption at the bottom (or none); "
                   "default: as the movie says");
}
