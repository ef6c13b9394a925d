#include "cli/NumberOption.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "projectedit/MovieTiming.h"

namespace {

// The whole number text is, if it is one and fits a long.
bool ReadWholeNumber(const std::string& text, long& value) {
  const char* end = text.data() + text.size();
  const auto [after, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && after == end;
}

}  // namespace

CLI::Validator WholeNumberOption(int min, int max) {
  return CLI::Validator(
      [min, max](std::string& text) -> std::string {
        long value = 0;
        if (ReadWholeNumber(text, value) && value >= min && value <= max) {
          return std::string();
        }
        const bool anyInt = min == INT_MIN && max == INT_MAX;
        return "give a whole number" +
               (anyInt ? "" : " from " + std::to_string(min) + " to " + std::to_string(max)) +
               ", not '" + text + "'";
      },
      "NUMBER");
}

CLI::Validator OneOfOption(std::initializer_list<long> values) {
  const std::vector<long> allowed(values);
  std::string choices;
  for (size_t i = 0; i < allowed.size(); ++i) {
    choices += (i == 0 ? "" : i + 1 == allowed.size() ? " or " : ", ") + std::to_string(allowed[i]);
  }
  return CLI::Validator(
      [allowed, choices](std::string& text) -> std::string {
        long value = 0;
        if (ReadWholeNumber(text, value) &&
            std::find(allowed.begin(), allowed.end(), value) != allowed.end()) {
          return std::string();
        }
        return "give " + choices + ", not '" + text + "'";
      },
      choices);
}

CLI::Validator WholeNumberOption() {
  return WholeNumberOption(INT_MIN, INT_MAX);
}

CLI::Validator FactorOption() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        char* end = nullptr;
        const double factor = std::strtod(text.c_str(), &end);
        const bool number = end != text.c_str() && *end == 0;
        return WhyNotFactor(number ? factor : std::nan(""), text);
      },
      "FACTOR");
}
