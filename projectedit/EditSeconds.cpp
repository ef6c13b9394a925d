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

void RequireSeconds(const std::string& name, double seconds) {
  std::ostringstream shown;
  shown << seconds;
  const std::string why = WhyNotSeconds(seconds, shown.str());
  if (!why.empty()) {
    throw EditError(name + ": " + why, EditError::Kind::kWrongArgument);
  }
}
