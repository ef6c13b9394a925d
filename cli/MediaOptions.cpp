#include "cli/MediaOptions.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/CliError.h"
#include "recorder/ZuFmrRecorder.h"

void AddTimeRangeOptions(CLI::App& command, double& from, double& to) {
  command.add_option("--from", from, "Start at this time, in seconds")
      ->check(CLI::NonNegativeNumber);
  command.add_option("--to", to, "End at this time, in seconds")->check(CLI::PositiveNumber);
}

void ParsePictureSize(const std::string& option, const std::string& text, int& width, int& height) {
  const int maxSide = ZuFmrRecorderOptions::kMaxStageSide;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &tail) != 2 || width < 1 ||
      height < 1 || width > maxSide || height > maxSide) {
    throw CliError(option + " " + text + ": not a picture size; give WIDTHxHEIGHT, each 1 to " +
                       std::to_string(maxSide),
                   kExitUsage);
  }
}
