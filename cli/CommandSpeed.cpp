#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/RetimeOptions.h"
#include "cli/RetimedMovie.h"
#include "engine/ZuFMRTavoFile.h"
#include "projectedit/MovieTiming.h"

namespace {

struct SpeedFileOptions {
  std::string input;
  std::string output;
  SpeedRange range;
  bool inPlace = false;
};

void RunSpeed(const SpeedFileOptions& options) {
  RetimeMovieFile(options.input, options.output, options.inPlace, [&](ZuFMRTavoFile& movie) {
    const int dropped = SpeedUpMovie(options.input, movie, options.range);
    return RemovedFramesText(dropped, "frames", movie.GetFrameRate());
  });
}

}  // namespace

void AddSpeedCommand(CLI::App& app) {
  auto options = std::make_shared<SpeedFileOptions>();
  CLI::App* command =
      app.add_subcommand("speed", "Play a range of an FMR movie faster by leaving frames out");
  command->add_option("IN", options->input, "FMR movie (SWF) to read")->required();
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  AddSpeedRangeOptions(*command, options->range);
  command->add_flag("--in-place", options->inPlace,
                    "Allow OUT to be IN (a new file is written, then renamed over IN)");
  command->callback([options] { RunSpeed(*options); });
}
