#include "cli/TimeOption.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The check of both validators: a time the edits take (EditSeconds.h), or one above 0.
CLI::Validator SecondsFrom(bool aboveZero) {
  return CLI::Validator(
      [aboveZero](std::string& text) -> std::string {
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        const bool number = end != text.c_str() && *end == 0;
        std::string why = WhyNotSeconds(number ? seconds : std::nan(""), text);
        if (!aboveZero || (why.empty() && seconds > 0)) {
          return why;
        }
        return "give a time in seconds above 0 up to " +
               std::to_string(static_cast<long>(kMaxSeconds)) + ", not '" + text + "'";
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
