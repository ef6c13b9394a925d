#include "projectedit/EditSeconds.h"

#include <cmath>
#include <sstream>

#include "projectedit/EditError.h"

std::string WhyNotSeconds(double seconds, const std::string& shown) {
  if (std::isfinite(seconds) && seconds >= 0 && seconds <= kMaxSeconds) {
    return std::string();
  }
  return "give a time in seconds from 0 to " + std::to_string(static_cast<long>(kMaxSeconds)) +
         ", not '" + shown + "'";
}

std::string EditSecondsText(double seconds) {
  std::ostringstream shown;
  shown << seconds;
  return shown.str();
}

void RequireSeconds(const std::string& name, double seconds) {
  const std::string why = WhyNotSeconds(seconds, EditSecondsText(seconds));
  if (!why.empty()) {
    throw EditError(name + ": " + why, EditError::Kind::kWrongArgument);
  }
}
