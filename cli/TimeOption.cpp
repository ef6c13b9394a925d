#include "cli/TimeOption.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The check of both validators: a finite number up to kMaxSeconds, from 0 or above it.
CLI::Validator SecondsFrom(bool aboveZero) {
  return CLI::Validator(
      [aboveZero](std::string& text) -> std::string {
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || *end != 0 || !std::isfinite(seconds) || seconds < 0 ||
            (aboveZero && seconds == 0) || seconds > kMaxSeconds) {
          return std::string("give a time in seconds ") +
                 (aboveZero ? "above 0 up to " : "from 0 to ") +
                 std::to_string(static_cast<long>(kMaxSeconds)) + ", not '" + text + "'";
        }
        return std::string();
      },
      "SECONDS");
}

}  // namespace

CLI::Validator SecondsOption() {
  return SecondsFrom(false);
}

CLI::Validator PositiveSecondsOption() {
  return SecondsFrom(true);
}
