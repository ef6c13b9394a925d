#include "studio/RequestFields.h"

#include <algorithm>
#include <cstdint>

#include "projectedit/EditError.h"
#include "projectedit/SlideRedaction.h"

namespace {

using nlohmann::json;

[[noreturn]] void Refuse(const char* key, const std::string& what, const json& value) {
  throw EditError(std::string("bad request: \"") + key + "\" " + what + ", not " + value.dump(),
                  EditError::Kind::kWrongArgument);
}

bool IsInt(const json& value) {
  if (value.is_number_unsigned()) {
    return value.get<uint64_t>() <= uint64_t{INT_MAX};
  }
  return value.is_number_integer() && value.get<int64_t>() >= INT_MIN &&
         value.get<int64_t>() <= INT_MAX;
}

}  // namespace

const json& Field(const json& request, const char* key) {
  if (!request.contains(key)) {
    throw EditError(std::string("bad request: \"") + key + "\" is missing",
                    EditError::Kind::kWrongArgument);
  }
  return request.at(key);
}

int IntegerField(const json& request, const char* key, int low, int high) {
  const json& value = Field(request, key);
  if (!IsInt(value) || value.get<int>() < low || value.get<int>() > high) {
    const bool anyInt = low == INT_MIN && high == INT_MAX;
    Refuse(key,
           "must be a whole number" +
               (anyInt ? "" : " from " + std::to_string(low) + " to " + std::to_string(high)),
           value);
  }
  return value.get<int>();
}

uint64_t ByteCountField(const json& request, const char* key) {
  const json& value = Field(request, key);
  // Unsigned when nlohmann reads a positive whole number; 0 and negatives fail the test too.
  if (!value.is_number_unsigned() || value.get<uint64_t>() == 0) {
    Refuse(key, "must be a whole number of bytes from 1", value);
  }
  return value.get<uint64_t>();
}

std::vector<int> SlidesField(const json& request, const char* key) {
  const json& value = Field(request, key);
  if (!value.is_array() || !std::all_of(value.begin(), value.end(), IsInt)) {
    Refuse(key, "must be a list of whole numbers", value);
  }
  return value.get<std::vector<int>>();
}

std::string TextField(const json& request, const char* key) {
  const json& value = Field(request, key);
  if (!value.is_string()) {
    Refuse(key, "must be text", value);
  }
  return value.get<std::string>();
}

bool TrueOrFalseField(const json& request, const char* key) {
  const json& value = Field(request, key);
  if (!value.is_boolean()) {
    Refuse(key, "must be true or false", value);
  }
  return value.get<bool>();
}

double NumberField(const json& request, const char* key, const char* what) {
  const json& value = Field(request, key);
  if (!value.is_number()) {
    Refuse(key, std::string("must be ") + what, value);
  }
  return value.get<double>();
}

double SecondsField(const json& request, const char* key) {
  return NumberField(request, key, "a number of seconds");
}

RedactOptions RedactField(const nlohmann::json& request) {
  RedactOptions options;
  options.slide = IntegerField(request, "slide");
  options.area.x = IntegerField(request, "x");
  options.area.y = IntegerField(request, "y");
  options.area.width = IntegerField(request, "width");
  options.area.height = IntegerField(request, "height");
  options.frames = {IntegerField(request, "first"), IntegerField(request, "last")};
  if (request.contains("fill")) {
    options.area.fill = static_cast<uint32_t>(IntegerField(request, "fill", 0, 0xFFFFFF));
  }
  return options;
}
