#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/FrameProgress.h"
#include "cli/MediaOptions.h"
#include "cli/MovieLoading.h"
#include "cli/OverlayOptions.h"
#include "cli/StopSignal.h"
#include "cli/VideoExport.h"
#include "host/swf/ZuTavoFile.h"
#include "media/ZuVideoExport.h"
#include "projectedit/TimeInMovie.h"

namespace {

struct ExportOptions {
  std::string file;
  std::string output;
  double from = -1;
  double to = -1;
  std::string scale;
  int crf = -1;
  bool lossless = false;
  std::string maxSize;
  OverlayOptions overlay;
};

void RunExport(const ExportOptions& options) {
  if (!ZuIsVideoPath(options.output)) {
    throw CliError(options.output + ": unknown video type; give one of " + ZuVideoExtensions(),
                   kExitUsage);
  }
  const uint64_t maxBytes = MaxBytesFor(options.output, options.maxSize);
  RefuseWritingOverInputs(options.output, {options.file}, false, false);
  std::unique_ptr<ZuTavoFile> movie = LoadMovieOrThrow(options.file);
  ZuVideoExportOptions video;
  std::tie(video.firstFrame, video.lastFrame) =
      FramesToPlay(options.file, std::max(0.0, options.from),
                   options.to >= 0 ? std::optional<double>(options.to) : std::nullopt,
                   movie->GetFrameCount(), movie->GetFrameRate());
  if (!options.scale.empty()) {
    ParsePictureSize("--scale", options.scale, video.width, video.height);
  }
  video.crf = options.crf;
  video.lossless = options.lossless;
  video.maxBytes = maxBytes;
  video.overlay = options.overlay.Choice();
  PrintVideoWritten(options.output, ExportVideoOrThrow(*movie, options.output, video), maxBytes);
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
  AddVideoOptions(*command, options->scale, options->crf, options->lossless, options->maxSize);
  AddOverlayOptions(*command, options->overlay);
  command->callback([options] { RunExport(*options); });
}
