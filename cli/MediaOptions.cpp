#include "cli/MediaOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>

#include "cli/CliError.h"
#include "cli/TimeOption.h"
#include "recorder/ZuFmrRecorder.h"

void AddDepthOption(CLI::App& command, int& depth) {
  command.add_option("--depth", depth, "Bits per pixel of the pictures: 32 or 16")
      ->check(CLI::IsMember({16, 32}))
      ->capture_default_str();
}

CLI::Option* AddFrameRateOption(CLI::App& command, int& rate, const std::string& note) {
  const std::string help = "Frames per second, 1 to 255" + (note.empty() ? "" : " (" + note + ")");
  return command.add_option("--fps", rate, help)->check(CLI::Range(1, 255));
}

void AddTimeRangeOptions(CLI::App& command, double& from, double& to) {
  command.add_option("--from", from, "Start at this time, in seconds")->check(SecondsOption());
  command.add_option("--to", to, "End at this time, in seconds")->check(CLI::PositiveNumber);
}

void ParsePictureSize(const std::string& option, const std::string& text, int& width, int& height) {
  // Read with from_chars: a number too large for int is refused, not wrapped.
  const int maxSide = ZuFmrRecorderOptions::kMaxStageSide;
  const char* end = text.data() + text.size();
  const auto [afterWidth, widthError] = std::from_chars(text.data(), end, width);
  const bool separated = widthError == std::errc() && afterWidth != end && *afterWidth == 'x';
  const auto [afterHeight, heightError] =
      separated ? std::from_chars(afterWidth + 1, end, height) : std::from_chars_result{};
  if (!separated || heightError != std::errc() || afterHeight != end || width < 1 || height < 1 ||
      width > maxSide || height > maxSide) {
    throw CliError(option + " " + text + ": not a picture size; give WIDTHxHEIGHT, each 1 to " +
                       std::to_string(maxSide),
                   kExitUsage);
  }
}
