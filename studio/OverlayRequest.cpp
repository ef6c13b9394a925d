#include "studio/OverlayRequest.h"

#include <charconv>

#include "projectedit/EditError.h"
#include "studio/RequestFields.h"

namespace {

using nlohmann::json;

[[noreturn]] void Refuse(const std::string& key, const std::string& why, const std::string& value) {
  throw EditError("bad request: \"" + key + "\" " + why + ", not '" + value + "'",
                  EditError::Kind::kWrongArgument);
}

ZuPointerLook ParseLook(const std::string& key, const std::string& word) {
  ZuPointerLook look{};
  if (!ZuParsePointerLook(word, look)) {
    Refuse(key, "must be show, hide or large", word);
  }
  return look;
}

// An on or off of the query.
bool ParseSwitch(const std::string& key, const std::string& word) {
  if (word != "on" && word != "off") {
    Refuse(key, "must be on or off", word);
  }
  return word == "on";
}

}  // namespace

ZuOverlayChoice OverlayField(const json& request) {
  ZuOverlayChoice change;
  if (request.contains("pointer")) {
    change.pointer = ParseLook("pointer", TextField(request, "pointer"));
  }
  if (request.contains("scale")) {
    change.largeScale = NumberField(request, "scale", "a number from 1.5 to 3");
  }
  if (request.contains("clicks")) {
    change.clicks = TrueOrFalseField(request, "clicks");
  }
  if (request.contains("keys")) {
    change.keys = TrueOrFalseField(request, "keys");
  }
  return change;
}

ZuOverlayChoice ReadOverlayQuery(const std::multimap<std::string, std::string>& params) {
  ZuOverlayChoice change;
  for (const auto& [key, value] : params) {
    if (key == "pointer") {
      change.pointer = ParseLook(key, value);
    } else if (key == "scale") {
      double scale = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), scale);
      if (error != std::errc() || end != value.data() + value.size()) {
        Refuse(key, "must be a number from 1.5 to 3", value);
      }
      change.largeScale = scale;
    } else if (key == "clicks") {
      change.clicks = ParseSwitch(key, value);
    } else if (key == "keys") {
      change.keys = ParseSwitch(key, value);
    }
  }
  CheckedOverlaySettings({}, change);  // refuses a scale out of range
  return change;
}

json DescribeSlidePointer(const SlidePointer& read) {
  json presses = json::array();
  for (const SlideKeyPress& press : read.keyPresses) {
    presses.push_back({{"frame", press.frame},
                       {"index", press.index},
                       {"seconds", press.seconds},
                       {"key", press.key}});
  }
  return {{"recorded", read.recorded},
          {"pointer", read.pointer},
          {"settings",
           {{"pointer", ZuPointerLookName(read.settings.pointer)},
            {"scale", read.settings.largeScale},
            {"clicks", read.settings.clicks},
            {"keys", read.settings.keys}}},
          {"keyPresses", std::move(presses)}};
}
