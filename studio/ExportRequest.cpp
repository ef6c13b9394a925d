#include "studio/ExportRequest.h"

#include <climits>
#include <nlohmann/json.hpp>

#include "media/formats/ZuVideoFormats.h"
#include "projectedit/EditError.h"
#include "studio/VideoExports.h"

namespace {

using nlohmann::json;

// The H.264 range; the page offers no other.
constexpr int kMaxCrf = 51;

[[noreturn]] void Refuse(const std::string& key, const std::string& why, const json& value) {
  throw EditError("bad request: \"" + key + "\" " + why + ", not " + value.dump(),
                  EditError::Kind::kWrongArgument);
}

// The field's whole number from low to high (true and 1.5 are refused, not taken for 1).
int Whole(const json& request, const char* key, int low, int high) {
  const json& value = request.at(key);
  const bool whole = value.is_number_integer() || value.is_number_unsigned();
  if (!whole || value.get<double>() < low || value.get<double>() > high) {
    Refuse(key,
           "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high),
           value);
  }
  return value.get<int>();
}

double Seconds(const json& request, const char* key) {
  const json& value = request.at(key);
  if (!value.is_number()) {
    Refuse(key, "must be a number of seconds", value);
  }
  return value.get<double>();
}

void ReadSize(const json& request, ProjectExportRequest& order) {
  if (request.contains("width") != request.contains("height")) {
    throw EditError("bad request: give both \"width\" and \"height\", or neither",
                    EditError::Kind::kWrongArgument);
  }
  if (request.contains("width")) {
    order.width = Whole(request, "width", 1, INT_MAX);
    order.height = Whole(request, "height", 1, INT_MAX);
  }
}

void ReadQuality(const json& request, const std::string& type, ProjectExportRequest& order) {
  if (request.contains("crf")) {
    order.crf = Whole(request, "crf", 0, kMaxCrf);
  }
  if (request.contains("lossless")) {
    const json& value = request.at("lossless");
    if (!value.is_boolean()) {
      Refuse("lossless", "must be true or false", value);
    }
    order.lossless = value.get<bool>();
  }
  if (order.lossless && ZuFindVideoFormat("video." + type)->losslessCodec == nullptr) {
    throw EditError("bad request: " + type + " videos cannot be lossless",
                    EditError::Kind::kWrongArgument);
  }
}

}  // namespace

ExportOrder ReadExportOrder(const std::string& body) {
  const json request = json::parse(body, nullptr, false);
  if (!request.is_object() || !request.contains("type") || !request["type"].is_string()) {
    throw EditError("bad request: give a JSON object with the video \"type\"",
                    EditError::Kind::kWrongArgument);
  }
  ExportOrder order;
  order.type = request["type"].get<std::string>();
  if (!VideoExports::IsVideoType(order.type)) {
    throw EditError("\"" + order.type + "\" is not a video type fmredit exports",
                    EditError::Kind::kWrongArgument);
  }
  order.name = request.contains("name") && request["name"].is_string()
                   ? request["name"].get<std::string>()
                   : std::string("tutorial");
  if (request.contains("slide")) {
    order.request.slide = Whole(request, "slide", 1, INT_MAX);
  }
  if (request.contains("start")) {
    order.request.start = Seconds(request, "start");
  }
  if (request.contains("end")) {
    order.request.end = Seconds(request, "end");
  }
  ReadSize(request, order.request);
  ReadQuality(request, order.type, order.request);
  return order;
}
