#include "cli/MediaOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <initializer_list>
#include <utility>

#include "cli/CliError.h"
#include "cli/NumberOption.h"
#include "cli/SizeOption.h"
#include "cli/TimeOption.h"
#include "host/util/ZuFileSize.h"
#include "media/formats/ZuVideoFormats.h"
#include "recorder/ZuFmrRecorder.h"

void AddDepthOption(CLI::App& command, int& depth) {
  command.add_option("--depth", depth, "Bits per pixel of the pictures: 32 or 16")
      ->check(OneOfOption({16, 32}))
      ->capture_default_str();
}

CLI::Option* AddFrameRateOption(CLI::App& command, int& rate, const std::string& note) {
  const std::string help = "Frames per second, 1 to 255" + (note.empty() ? "" : " (" + note + ")");
  return command.add_option("--fps", rate, help)->check(WholeNumberOption(1, 255));
}

void AddTimeRangeOptions(CLI::App& command, double& from, double& to) {
  command.add_option("--from", from, "Start at this time, in seconds")->check(SecondsOption());
  command.add_option("--to", to, "End at this time, in seconds")->check(PositiveSecondsOption());
}

void AddVideoOptions(CLI::App& command, std::string& scale, int& crf, bool& lossless,
                     std::string& maxSize) {
  command.add_option("--scale", scale, "Picture size of the video, WIDTHxHEIGHT");
  command
      .add_option("--crf", crf,
                  "Constant quality, lower is better (H.264 0-51, default 23; VP9 0-63, "
                  "default 32)")
      ->check(WholeNumberOption(0, 63));
  command.add_flag("--lossless", lossless,
                   "Encode so that decoding gives back exactly the rendered pixels (H.264 RGB "
                   "in .mp4/.mov, FFV1 in .mkv, VP9 in .webm)");
  command
      .add_option("--max-size", maxSize,
                  "GIF and APNG only: the largest file, as 5MB, 500KB, 1.5MB, 2MiB or bytes; "
                  "the frame rate, then the picture size, then the colours are lowered until "
                  "it fits")
      ->check(FileSizeOption());
}

uint64_t MaxBytesFor(const std::string& output, const std::string& maxSize) {
  if (maxSize.empty()) {
    return 0;
  }
  if (!ZuTakesSizeLimit(output)) {
    throw CliError("--max-size is for .gif and .apng exports", kExitUsage);
  }
  // The option's check has read it already.
  return ZuReadFileSize(maxSize).value_or(0);
}

namespace {

// Reads the whole numbers of text, each followed by its separator ('\0' after the last), with
// from_chars: a number too large for int is refused, not wrapped. False unless all of text fits.
bool ReadNumbers(const std::string& text, std::initializer_list<std::pair<int*, char>> fields) {
  const char* next = text.data();
  const char* end = text.data() + text.size();
  for (const auto& [value, separator] : fields) {
    const auto [after, error] = std::from_chars(next, end, *value);
    if (error != std::errc() ||
        (separator == 0 ? after != end : after == end || *after != separator)) {
      return false;
    }
    next = after + 1;
  }
  return true;
}

bool IsSide(int side) {
  return side >= 1 && side <= ZuFmrRecorderOptions::kMaxStageSide;
}

}  // namespace

void ParsePictureSize(const std::string& option, const std::string& text, int& width, int& height) {
  if (!ReadNumbers(text, {{&width, 'x'}, {&height, 0}}) || !IsSide(width) || !IsSide(height)) {
    throw CliError(option + " " + text + ": not a picture size; give WIDTHxHEIGHT, each 1 to " +
                       std::to_string(ZuFmrRecorderOptions::kMaxStageSide),
                   kExitUsage);
  }
}

void ParseScreenRegion(const std::string& option, const std::string& text, int& width, int& height,
                       int& x, int& y) {
  if (!ReadNumbers(text, {{&width, 'x'}, {&height, '+'}, {&x, '+'}, {&y, 0}}) || !IsSide(width) ||
      !IsSide(height) || x < 0 || y < 0 || x > kMaxScreenCoordinate || y > kMaxScreenCoordinate) {
    throw CliError(option + " " + text + ": not a region; give WIDTHxHEIGHT+X+Y, sides 1 to " +
                       std::to_string(ZuFmrRecorderOptions::kMaxStageSide) + ", X and Y 0 to " +
                       std::to_string(kMaxScreenCoordinate),
                   kExitUsage);
  }
}
