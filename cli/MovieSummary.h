#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/swf/ZuTavoFile.h"

// What `fmredit info` reports about a movie.
struct MovieSummary {
  std::string path;
  std::string signature;  // FWS, CWS or ZWS
  int version = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  double frameRate = 0;
  uint16_t frameCount = 0;
  double duration = 0;  // seconds
  size_t tagCount = 0;
  std::map<uint16_t, size_t> tagCountsByCode;
  bool isFMR = false;
  bool pointerTrack = false;  // whether the movie records the pointer and keys at all
  bool pointer = false;       // whether any frame shows the pointer
  int keyPresses = 0;
  std::vector<std::string> warnings;
};

MovieSummary SummarizeMovie(const std::string& path, const ZuTavoFile& movie);
std::string FormatSummaryText(const MovieSummary& summary);
std::string FormatSummaryJson(const MovieSummary& summary);
