#include "cli/RedactOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <string_view>

#include "cli/CliError.h"
#include "cli/MediaOptions.h"
#include "cli/TimeOption.h"

namespace {

// The whole of text as a number of at most 31 bits in base; nullopt otherwise.
std::optional<int> WholeNumber(std::string_view text, int base) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

// "#RRGGBB" as 0xRRGGBB.
uint32_t ParseFill(const std::string& text) {
  const std::optional<int> colour = text.size() == 7 && text[0] == '#'
                                        ? WholeNumber(std::string_view(text).substr(1), 16)
                                        : std::nullopt;
  if (!colour) {
    throw CliError("--fill " + text + ": not a colour; give #RRGGBB", kExitUsage);
  }
  return static_cast<uint32_t>(*colour);
}

// "A-B" as frames A to B.
std::pair<int, int> ParseFrames(const std::string& text) {
  const size_t dash = text.find('-');
  const std::string_view all(text);
  const auto first =
      dash == std::string::npos ? std::nullopt : WholeNumber(all.substr(0, dash), 10);
  const auto last =
      dash == std::string::npos ? std::nullopt : WholeNumber(all.substr(dash + 1), 10);
  if (!first || !last) {
    throw CliError("--frames " + text + ": not a range of frames; give FIRST-LAST, from 1",
                   kExitUsage);
  }
  return {*first, *last};
}

}  // namespace

RedactOptions RedactCliOptions::Options(int slide) const {
  RedactOptions options;
  options.slide = slide;
  ParseScreenRegion("--rect", rect, options.area.width, options.area.height, options.area.x,
                    options.area.y);
  options.area.fill = ParseFill(fill);
  if (!frames.empty()) {
    options.frames = ParseFrames(frames);
  }
  options.from = from;
  options.to = to;
  return options;
}

void AddRedactOptions(CLI::App& command, RedactCliOptions& options) {
  command.add_option("--rect", options.rect, "The rectangle to cover, WIDTHxHEIGHT+X+Y")
      ->required();
  CLI::Option* from = command.add_option("--from", options.from, "Start of the range, in seconds")
                          ->check(SecondsOption());
  CLI::Option* to = command.add_option("--to", options.to, "End of the range, in seconds")
                        ->check(PositiveSecondsOption());
  CLI::Option* frames =
      command.add_option("--frames", options.frames, "The range as frames FIRST-LAST, from 1");
  from->needs(to);
  to->needs(from);
  frames->excludes(from)->excludes(to);
  command.add_option("--fill", options.fill, "The colour to cover it with, #RRGGBB (#808080)");
}
