// fmredit redact: a rectangle of a range of frames covered with a plain colour, written to a new
// movie the way the other file edits write theirs.

#include <CLI/CLI.hpp>
#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/MediaOptions.h"
#include "cli/MovieLoading.h"
#include "cli/TimeOption.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "projectedit/EditError.h"
#include "projectedit/TimeInMovie.h"
#include "redact/RedactArea.h"
#include "redact/Redaction.h"

namespace {

struct RedactFileOptions {
  std::string input;
  std::string output;
  std::string rect;
  std::optional<double> from;
  std::optional<double> to;
  std::string frames;
  std::string fill = "#808080";
  bool inPlace = false;
};

// Reads the whole of text as a number of at most 31 bits in base; nullopt otherwise.
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
  const auto first = dash == std::string::npos
                         ? std::nullopt
                         : WholeNumber(std::string_view(text).substr(0, dash), 10);
  const auto last = dash == std::string::npos
                        ? std::nullopt
                        : WholeNumber(std::string_view(text).substr(dash + 1), 10);
  if (!first || !last) {
    throw CliError("--frames " + text + ": not a range of frames; give FIRST-LAST, from 1",
                   kExitUsage);
  }
  return {*first, *last};
}

// The range of frames the options name: --frames as it is; --from and --to as the timing edits
// take them, the frames after from up to the one shown at to.
std::pair<int, int> RangeOf(const RedactFileOptions& options, const ZuTavoFile& movie) {
  if (!options.frames.empty()) {
    return ParseFrames(options.frames);
  }
  if (!options.from || !options.to) {
    throw CliError("give the range as --from and --to, or as --frames", kExitUsage);
  }
  const unsigned rate = movie.GetFrameRate();
  if (rate == 0) {
    throw EditError(options.input + ": the movie's frame rate is 0: its frames cannot be timed");
  }
  if (*options.from >= *options.to) {
    throw EditError(options.input + ": the range " + SecondsText(*options.from) + " to " +
                        SecondsText(*options.to) + " is empty: give from before to",
                    EditError::Kind::kWrongArgument);
  }
  return {ZuFrameTime::SecondsToFrames(*options.from, rate) + 1,
          ZuFrameTime::SecondsToFrames(*options.to, rate)};
}

void RunRedact(const RedactFileOptions& options) {
  RedactArea area;
  ParseScreenRegion("--rect", options.rect, area.width, area.height, area.x, area.y);
  area.fill = ParseFill(options.fill);
  RefuseWritingOverInputs(options.output, {options.input}, options.inPlace);
  const std::unique_ptr<ZuFMRTavoFile> movie = LoadEditableMovieOrThrow(options.input);
  std::tie(area.firstFrame, area.lastFrame) = RangeOf(options, *movie);
  const std::string wrong =
      WhyNotRedactArea(area, static_cast<int>(movie->GetWidth()),
                       static_cast<int>(movie->GetHeight()), movie->GetFrameCount());
  if (!wrong.empty()) {
    throw EditError(options.input + ": " + wrong, EditError::Kind::kWrongArgument);
  }
  const std::string refused = RedactFrames(*movie, area);
  if (!refused.empty()) {
    throw EditError(options.input + ": cannot redact: " + refused);
  }
  PendingOutput written(options.output);
  WriteMovieOrThrow(*movie, written.Path());
  written.Commit();
  std::cerr << "fmredit: filled " << RectangleText(area) << " in frames " << area.firstFrame
            << " to " << area.lastFrame << "\n";
}

}  // namespace

void AddRedactCommand(CLI::App& app) {
  auto options = std::make_shared<RedactFileOptions>();
  CLI::App* command = app.add_subcommand(
      "redact", "Cover a rectangle of an FMR movie with a plain colour in a range of frames");
  command->add_option("IN", options->input, "FMR movie (SWF) to read")->required();
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  command->add_option("--rect", options->rect, "The rectangle, WIDTHxHEIGHT+X+Y in stage pixels")
      ->required();
  CLI::Option* from = command->add_option("--from", options->from, "Start of the range in seconds")
                          ->check(SecondsOption());
  CLI::Option* to = command->add_option("--to", options->to, "End of the range in seconds")
                        ->check(PositiveSecondsOption());
  CLI::Option* frames =
      command->add_option("--frames", options->frames, "The range as frame numbers, FIRST-LAST");
  from->needs(to);
  to->needs(from);
  frames->excludes(from)->excludes(to);
  command->add_option("--fill", options->fill, "The colour, #RRGGBB (a neutral grey by default)");
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be IN (a new file is written, then renamed over IN)");
  command->callback([options] { RunRedact(*options); });
}
