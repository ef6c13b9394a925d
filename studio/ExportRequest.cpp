#include "studio/ExportRequest.h"

#include <nlohmann/json.hpp>

#include "media/formats/ZuVideoFormats.h"
#include "projectedit/EditError.h"
#include "studio/RequestFields.h"
#include "studio/VideoExports.h"

namespace {

using nlohmann::json;

// The H.264 range; the page offers no other.
constexpr int kMaxCrf = 51;

void ReadSize(const json& request, ProjectExportRequest& order) {
  if (request.contains("width") != request.contains("height")) {
    throw EditError("bad request: give both \"width\" and \"height\", or neither",
                    EditError::Kind::kWrongArgument);
  }
  if (request.contains("width")) {
    order.width = IntegerField(request, "width", 1);
    order.height = IntegerField(request, "height", 1);
  }
}

void ReadQuality(const json& request, const std::string& type, ProjectExportRequest& order) {
  if (request.contains("crf")) {
    order.crf = IntegerField(request, "crf", 0, kMaxCrf);
  }
  if (request.contains("lossless")) {
    order.lossless = TrueOrFalseField(request, "lossless");
  }
  if (order.lossless && ZuFindVideoFormat("video." + type)->losslessCodec == nullptr) {
    throw EditError("bad request: " + type + " videos cannot be lossless",
                    EditError::Kind::kWrongArgument);
  }
}

// GIF and APNG only: the largest file, in bytes.
void ReadMaxSize(const json& request, const std::string& type, ProjectExportRequest& order) {
  if (!request.contains("maxSize")) {
    return;
  }
  if (!ZuTakesSizeLimit("video." + type)) {
    throw EditError("bad request: \"maxSize\" is for gif and apng exports, not " + type,
                    EditError::Kind::kWrongArgument);
  }
  order.maxBytes = ByteCountField(request, "maxSize");
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
  // Never empty: the server would take its default name for movies ("movie.swf.mp4").
  order.name = request.contains("name") ? TextField(request, "name") : "";
  if (order.name.empty()) {
    order.name = "tutorial";
  }
  if (request.contains("slide")) {
    order.request.slide = IntegerField(request, "slide", 1);
  }
  if (request.contains("start")) {
    order.request.start = SecondsField(request, "start");
  }
  if (request.contains("end")) {
    order.request.end = SecondsField(request, "end");
  }
  ReadSize(request, order.request);
  ReadQuality(request, order.type, order.request);
  ReadMaxSize(request, order.type, order.request);
  return order;
}
