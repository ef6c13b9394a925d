#include "studio/StillQuery.h"

#include <charconv>
#include <cstdint>

#include "projectedit/EditError.h"
#include "projectedit/EditSeconds.h"
#include "projectedit/SlideTiming.h"

namespace {

[[noreturn]] void Refuse(const std::string& key, const std::string& why, const std::string& value) {
  throw EditError("bad request: \"" + key + "\" " + why + ", not '" + value + "'",
                  EditError::Kind::kWrongArgument);
}

// The whole text as a T, or false.
template <typename T>
bool Parse(const std::string& text, T& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end;
}

}  // namespace

StillQuery ReadStillQuery(const std::multimap<std::string, std::string>& params) {
  StillQuery query;
  const auto maxIdle = params.find("maxIdle");
  if (maxIdle == params.end()) {
    throw EditError("bad request: \"maxIdle\" is missing", EditError::Kind::kWrongArgument);
  }
  if (!Parse(maxIdle->second, query.maxIdle)) {
    Refuse("maxIdle", "must be a number of seconds", maxIdle->second);
  }
  RequireSeconds("maxIdle", query.maxIdle);
  const auto smaller = params.find("ignoreSmallerThan");
  if (smaller != params.end() &&
      (!Parse(smaller->second, query.rule.ignoreSmallerThan) || query.rule.ignoreSmallerThan < 0)) {
    Refuse("ignoreSmallerThan", "must be a whole number of pixels, 0 or more", smaller->second);
  }
  return query;
}

nlohmann::json DescribeStillness(const SlideStillness& stillness) {
  nlohmann::json stretches = nlohmann::json::array();
  for (const StillStretch& stretch : stillness.stretches) {
    stretches.push_back({stretch.first, stretch.last});
  }
  return {{"frameCount", stillness.frameCount},
          {"frameRate", stillness.frameRate},
          {"stretches", std::move(stretches)},
          {"framesAfter", stillness.framesAfter}};
}
