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
#include "host/swf/ZuTavoFile.h"
#include "media/ZuMediaError.h"
#include "media/ZuVideoImport.h"
#include "media/loader/ZuMediaLibrary.h"

namespace {

struct ImportOptions {
  std::string file;
  std::string output;
  ZuVideoImportOptions video;
};

void RunImport(const ImportOptions& options) {
  if (options.video.to >= 0 && options.video.to <= options.video.from) {
    throw CliError("--to must come after --from", kExitUsage);
  }
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
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  AddFrameRateOption(*command, options->video.frameRate, "default: the video's, rounded");
  AddDepthOption(*command, options->video.depth);
  AddTimeRangeOptions(*command, options->video.from, options->video.to);
  command->callback([options] { RunImport(*options); });
}
