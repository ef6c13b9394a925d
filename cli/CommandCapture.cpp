#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/MediaOptions.h"
#include "cli/MovieLoading.h"
#include "cli/StatusLine.h"
#include "cli/StopSignal.h"
#include "cli/TimeOption.h"
#include "host/swf/ZuTavoFile.h"
#include "media/ZuMediaError.h"
#include "media/ZuScreenCapture.h"
#include "media/loader/ZuMediaLibrary.h"

namespace {

struct CaptureOptions {
  std::string output;
  std::string region;
  ZuScreenCaptureOptions screen;
};

// "captured 12.3 s, 185 frames, 0 dropped"
std::string CaptureText(const ZuCaptureStatus& status) {
  char text[96];
  std::snprintf(text, sizeof text, "captured %.1f s, %d frames, %lld dropped", status.seconds,
                status.frames, static_cast<long long>(status.dropped));
  return text;
}

void RunCapture(CaptureOptions& options) {
  if (!options.region.empty()) {
    ZuScreenCaptureOptions& screen = options.screen;
    ParseScreenRegion("--region", options.region, screen.width, screen.height, screen.x, screen.y);
  }
  std::unique_ptr<ZuTavoFile> movie;
  ZuCaptureStatus last;
  {
    StopSignal stop;
    StatusLine line;
    try {
      movie = ZuMediaLibrary().captureScreen(options.screen,
                                             [&line, &last](const ZuCaptureStatus& status) {
                                               line.Show(CaptureText(status));
                                               last = status;
                                               return !StopSignal::Requested();
                                             });
    } catch (const ZuMediaError& error) {
      throw CliError(error.what());
    }
  }
  WriteMovieOrThrow(*movie, options.output);
  std::printf("wrote %s: %.1f s, %d frames, %lld dropped\n", options.output.c_str(), last.seconds,
              last.frames, static_cast<long long>(last.dropped));
}

}  // namespace

void AddCaptureCommand(CLI::App& app) {
  auto options = std::make_shared<CaptureOptions>();
  CLI::App* command = app.add_subcommand(
      "capture", "Record the X11 screen as an FMR movie until the duration passes or Ctrl-C");
  command->add_option("-o,--output", options->output, "SWF file to write")->required();
  command->add_option("--display", options->screen.display, "X display")->capture_default_str();
  command->add_option("--region", options->region,
                      "Part of the screen, WIDTHxHEIGHT+X+Y (default: all of it)");
  AddFrameRateOption(*command, options->screen.frameRate)->capture_default_str();
  command->add_option("--duration", options->screen.duration, "Seconds to record")
      ->check(PositiveSecondsOption());
  AddDepthOption(*command, options->screen.depth);
  command->callback([options] { RunCapture(*options); });
}
