#include "cli/TimeOption.h"

#include <cmath>
#include <cstdlib>
#include <string>

CLI::Validator SecondsOption() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        if (end == text.c_str() || *end != 0 || !std::isfinite(seconds) || seconds < 0 ||
            seconds > kMaxSeconds) {
          return "give a time in seconds from 0 to " +
                 std::to_string(static_cast<long>(kMaxSeconds)) + ", not '" + text + "'";
        }
        return std::string();
      },
      "SECONDS");
}
