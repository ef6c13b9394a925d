#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <memory>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/FrameProgress.h"
#include "cli/MediaOptions.h"
#include "cli/MovieLoading.h"
#include "cli/StopSignal.h"
#include "cli/VideoExport.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "media/ZuVideoExport.h"

namespace {

struct ExportOptions {
  std::string file;
  std::string output;
  double from = -1;
  double to = -1;
  std::string scale;
  int crf = -1;
  bool lossless = false;
};

// The frames between the times from and to, counted as every edit counts them: a time names
// the frame boundary nearest to it, so `export --from S --to T` shows exactly the frames that
// `delete --start S --length T-S` would cut.
void FramesBetween(const ExportOptions& options, int frameRate, int frames,
                   ZuVideoExportOptions& video) {
  if (options.from >= 0) {
    video.firstFrame = ZuFrameTime::SecondsToFrames(options.from, frameRate) + 1;
  }
  if (options.to >= 0) {
    video.lastFrame = std::min(frames, ZuFrameTime::SecondsToFrames(options.to, frameRate));
    if (options.to <= std::max(0.0, options.from)) {
      throw CliError("--to must come after --from", kExitUsage);
    }
  }
  if (video.firstFrame > frames) {
    throw CliError(
        options.file + ": --from " + std::to_string(options.from) + " is past the end of the movie",
        kExitUsage);
  }
}

void RunExport(const ExportOptions& options) {
  if (!ZuIsVideoPath(options.output)) {
    throw CliError(options.output + ": unknown video type; give one of " + ZuVideoExtensions(),
                   kExitUsage);
  }
  RefuseWritingOverInputs(options.output, {options.file}, false, false);
  std::unique_ptr<ZuTavoFile> movie = LoadMovieOrThrow(options.file);
  ZuVideoExportOptions video;
  FramesBetween(options, movie->GetFrameRate(), movie->GetFrameCount(), video);
  if (!options.scale.empty()) {
    ParsePictureSize("--scale", options.scale, video.width, video.height);
  }
  video.crf = options.crf;
  video.lossless = options.lossless;
  ExportVideoOrThrow(*movie, options.output, video);
  std::cout << "wrote " << options.output << "\n";
}

}  // namespace

void AddExportCommand(CLI::App& app) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command =
      app.add_subcommand("export", "Render every frame of a movie and encode them as a video (" +
                                       ZuVideoExtensions() + ")");
  command->add_option("FILE", options->file, "SWF file")->required();
  command
      ->add_option("-o,--output", options->output,
                   "Video file to write; its extension picks "
                   "the type: H.264 in .mp4/.mov/.mkv, VP9 in .webm, .gif, .apng")
      ->required();
  AddTimeRangeOptions(*command, options->from, options->to);
  AddVideoOptions(*command, options->scale, options->crf, options->lossless);
  command->callback([options] { RunExport(*options); });
}
