#include "cli/MovieSummary.h"

#include <iomanip>
#include <sstream>

#include "cli/JsonText.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuSwfSignature.h"
#include "host/swf/ZuSwfTagFactory.h"
#include "host/util/ZuFrameTime.h"

MovieSummary SummarizeMovie(const std::string& path, const ZuTavoFile& movie) {
  MovieSummary summary;
  summary.path = path;
  summary.signature = ZuSwfSignature::Of(movie.GetCompression());
  summary.version = movie.GetTavoVersion();
  summary.width = movie.GetWidth();
  summary.height = movie.GetHeight();
  summary.frameRate = movie.GetExactFrameRate();
  summary.frameCount = movie.GetFrameCount();
  summary.duration = ZuFrameTime::FramesToSeconds(movie.GetFrameCount(), movie.GetFrameRate());
  for (const ZuSwfTag* tag : movie) {
    if (tag != nullptr) {
      ++summary.tagCount;
      ++summary.tagCountsByCode[static_cast<uint16_t>(tag->GetTagType())];
    }
  }
  summary.isFMR = ZuAnimationUtils::IsFMRSWF(movie);
  const ZuPointerTrack track = ZuReadPointerTrack(movie);
  summary.pointerTrack = !track.Empty();
  summary.pointer = track.HasPointer();
  summary.keyPresses = track.KeyPressCount();
  summary.warnings = movie.GetLoadWarnings();
  return summary;
}

std::string FormatSummaryText(const MovieSummary& summary) {
  std::ostringstream out;
  out << "file:        " << summary.path << "\n"
      << "signature:   " << summary.signature << "\n"
      << "version:     " << summary.version << "\n"
      << "stage:       " << summary.width << " x " << summary.height << " pixels\n"
      << "frame rate:  " << NumberText(summary.frameRate) << " fps\n"
      << "frames:      " << summary.frameCount << "\n"
      << "duration:    " << NumberText(summary.duration) << " s\n"
      << "FMR movie:   " << (summary.isFMR ? "yes" : "no") << "\n";
  if (summary.pointerTrack) {
    out << "pointer:     " << (summary.pointer ? "recorded" : "never shown") << ", "
        << summary.keyPresses << " key presses\n";
  }
  out << "tags:        " << summary.tagCount << "\n";
  for (const auto& [code, count] : summary.tagCountsByCode) {
    out << "  " << std::left << std::setw(28) << ZuSwfTagFactory::GetTagName(code) << std::right
        << std::setw(4) << code << std::setw(10) << count << "\n";
  }
  for (const std::string& warning : summary.warnings) {
    out << "warning:     " << warning << "\n";
  }
  return out.str();
}

std::string FormatSummaryJson(const MovieSummary& summary) {
  std::ostringstream out;
  out << "{\n"
      << "  \"file\": " << JsonQuote(summary.path) << ",\n"
      << "  \"signature\": " << JsonQuote(summary.signature) << ",\n"
      << "  \"version\": " << summary.version << ",\n"
      << "  \"width\": " << summary.width << ",\n"
      << "  \"height\": " << summary.height << ",\n"
      << "  \"frameRate\": " << NumberText(summary.frameRate) << ",\n"
      << "  \"frameCount\": " << summary.frameCount << ",\n"
      << "  \"duration\": " << NumberText(summary.duration) << ",\n"
      << "  \"isFMR\": " << (summary.isFMR ? "true" : "false") << ",\n"
      << "  \"pointer\": " << (summary.pointer ? "true" : "false") << ",\n"
      << "  \"keyPresses\": " << summary.keyPresses << ",\n"
      << "  \"tagCount\": " << summary.tagCount << ",\n"
      << "  \"tagCounts\": [";
  bool first = true;
  for (const auto& [code, count] : summary.tagCountsByCode) {
    out << (first ? "\n" : ",\n") << "    {\"code\": " << code
        << ", \"name\": " << JsonQuote(ZuSwfTagFactory::GetTagName(code))
        << ", \"count\": " << count << "}";
    first = false;
  }
  out << (first ? "],\n" : "\n  ],\n") << "  \"warnings\": [";
  first = true;
  for (const std::string& warning : summary.warnings) {
    out << (first ? "" : ", ") << JsonQuote(warning);
    first = false;
  }
  out << "]\n}\n";
  return out.str();
}
