#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/FrameProgress.h"
#include "cli/MediaOptions.h"
#include "cli/MovieLoading.h"
#include "cli/StopSignal.h"
#include "host/swf/ZuFileKind.h"
#include "host/swf/ZuTavoFile.h"
#include "media/ZuMediaError.h"
#include "media/ZuVideoImport.h"
#include "media/formats/ZuVideoFormats.h"
#include "media/loader/ZuMediaLibrary.h"

namespace {

struct ImportOptions {
  std::string file;
  std::string output;
  ZuVideoImportOptions video;
};

// import makes FMR movies, which are SWF files: a video output is export's work.
void RefuseVideoOutput(const std::string& output) {
  if (ZuIsVideoPath(output)) {
    throw CliError(output +
                       ": import writes an FMR movie (.swf); to make a video of it, run "
                       "fmredit export MOVIE.swf -o " +
                       output,
                   kExitUsage);
  }
}

// An SWF file needs no import: it is a movie already, which the other commands take.
void RefuseMovieInput(const std::string& file) {
  if (ZuFileKind::OfFile(file).family == ZuFileKind::Family::kSwf) {
    throw CliError(file +
                   ": already an SWF movie; nothing to import (the other commands take it "
                   "as it is)");
  }
}

void RunImport(const ImportOptions& options) {
  if (options.video.to >= 0 && options.video.to <= options.video.from) {
    throw CliError("--to must come after --from", kExitUsage);
  }
  RefuseVideoOutput(options.output);
  RefuseMovieInput(options.file);
  RefuseWritingOverInputs(options.output, {options.file}, false, false);
  std::unique_ptr<ZuTavoFile> movie;
  {
    StopSignal stop;
    FrameProgress progress("recorded");
    try {
      movie =
          ZuMediaLibrary().importVideo(options.file, options.video, [&progress](int /*done*/, int) {
            progress.Step();
            return !StopSignal::Requested();
          });
    } catch (const ZuMediaError& error) {
      throw CliError(error.what());
    }
    progress.Finish();
  }
  WriteMovieOrThrow(*movie, options.output);
}

}  // namespace

void AddImportCommand(CLI::App& app) {
  auto options = std::make_shared<ImportOptions>();
  CLI::App* command = app.add_subcommand(
      "import", "Record the pictures of a video (any type FFmpeg reads) as an FMR movie");
  command->add_option("FILE", options->file, "Video file")->required();
  command->add_option("-o,--output", options->output, "FMR movie (.swf) to write")->required();
  AddFrameRateOption(*command, options->video.frameRate, "default: the video's, rounded");
  AddDepthOption(*command, options->video.depth);
  AddTimeRangeOptions(*command, options->video.from, options->video.to);
  command->callback([options] { RunImport(*options); });
}
