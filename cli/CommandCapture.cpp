#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/MediaOptions.h"
#include "cli/MovieLoading.h"
#include "cli/StatusLine.h"
#include "cli/StopSignal.h"
#include "cli/TimeOption.h"
#include "cli/VideoExport.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "media/ZuMediaError.h"
#include "media/ZuScreenCapture.h"
#include "media/formats/ZuVideoFormats.h"
#include "media/loader/ZuMediaLibrary.h"

namespace {

struct CaptureOptions {
  std::string output;
  std::string region;
  double delay = 0;
  std::string keys;
  bool noPointer = false;
  ZuScreenCaptureOptions screen;
};

// --keys as given ("" when it came with no word): which keys to record.
ZuKeyCapture ParseKeys(const std::string& word) {
  if (word.empty() || word == "shortcuts") {
    return ZuKeyCapture::kShortcuts;
  }
  if (word == "all") {
    return ZuKeyCapture::kAll;
  }
  throw CliError("--keys: give shortcuts or all, not '" + word + "'", kExitUsage);
}

// "captured 12.3 s, 185 frames, 0 dropped"
std::string CaptureText(const ZuCaptureStatus& status) {
  char text[96];
  std::snprintf(text, sizeof text, "captured %.1f s, %d frames, %lld dropped", status.seconds,
                status.frames, static_cast<long long>(status.dropped));
  return text;
}

// The display: --display, else $DISPLAY, as X programs do.
void ChooseDisplay(CLI::Option& given, std::string& display) {
  if (given.count() > 0) {
    return;
  }
  const char* fromEnvironment = std::getenv("DISPLAY");
  if (fromEnvironment == nullptr || *fromEnvironment == 0) {
    throw CliError("no X display to capture: give --display (:0, say) or set DISPLAY", kExitUsage);
  }
  display = fromEnvironment;
}

// Waits the delay, counting down on the status line; false when Ctrl-C ended the wait.
bool WaitDelay(double seconds) {
  StatusLine line;
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (auto now = std::chrono::steady_clock::now(); now < end;
       now = std::chrono::steady_clock::now()) {
    if (StopSignal::Requested()) {
      return false;
    }
    char text[48];
    std::snprintf(text, sizeof text, "capturing in %.0f s",
                  std::chrono::duration<double>(end - now).count() + 0.49);
    line.Show(text);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::unique_ptr<ZuTavoFile> CaptureOrThrow(const CaptureOptions& options, ZuCaptureStatus& last) {
  StopSignal stop;
  if (!WaitDelay(options.delay)) {
    throw CliError("capture: interrupted before it started; no file written");
  }
  StatusLine line;
  try {
    return ZuMediaLibrary().captureScreen(options.screen,
                                          [&line, &last](const ZuCaptureStatus& status) {
                                            line.Show(CaptureText(status));
                                            last = status;
                                            return !StopSignal::Requested();
                                          });
  } catch (const ZuMediaError& error) {
    throw CliError(error.what());
  }
}

void RunCapture(CaptureOptions& options, CLI::Option& display, CLI::Option& keys) {
  options.screen.keys = keys.count() > 0 ? ParseKeys(options.keys) : ZuKeyCapture::kOff;
  options.screen.pointer = !options.noPointer;
  options.screen.warn = [](const std::string& warning) {
    std::fprintf(stderr, "warning: %s\n", warning.c_str());
  };
  if (!options.region.empty()) {
    ZuScreenCaptureOptions& screen = options.screen;
    ParseScreenRegion("--region", options.region, screen.width, screen.height, screen.x, screen.y);
  }
  ChooseDisplay(display, options.screen.display);
  ZuCaptureStatus last;
  const std::unique_ptr<ZuTavoFile> movie = CaptureOrThrow(options, last);
  // A video name asks for a video: the movie recorded is encoded as export encodes it.
  if (ZuIsVideoPath(options.output)) {
    ExportVideoOrThrow(*movie, options.output, {});
  } else {
    WriteMovieOrThrow(*movie, options.output);
  }
  // The totals of what was written: the frames captured and the hold and stop frames after them.
  const int frames = movie->GetFrameCount();
  std::printf("wrote %s: %.2f s, %d frames, %lld dropped\n", options.output.c_str(),
              ZuFrameTime::FramesToSeconds(frames, movie->GetFrameRate()), frames,
              static_cast<long long>(last.dropped));
}

}  // namespace

void AddCaptureCommand(CLI::App& app) {
  auto options = std::make_shared<CaptureOptions>();
  CLI::App* command = app.add_subcommand(
      "capture", "Record the X11 screen as an FMR movie until the duration passes or Ctrl-C");
  command
      ->add_option("-o,--output", options->output,
                   "SWF file to write, or a video (" + ZuVideoExtensions() +
                       ": the movie is encoded as export does)")
      ->required();
  CLI::Option* display =
      command->add_option("--display", options->screen.display, "X display (default: $DISPLAY)");
  command->add_option("--region", options->region,
                      "Part of the screen, WIDTHxHEIGHT+X+Y (default: all of it)");
  AddFrameRateOption(*command, options->screen.frameRate)->capture_default_str();
  command->add_option("--duration", options->screen.duration, "Seconds to record")
      ->check(PositiveSecondsOption());
  command->add_option("--delay", options->delay, "Seconds to wait before the first frame")
      ->check(SecondsOption());
  AddDepthOption(*command, options->screen.depth);
  CLI::Option* keys =
      command
          ->add_option("--keys", options->keys,
                       "Record key presses beside the pictures: shortcuts (the default: keys "
                       "with Ctrl, Alt or Super, and Return, Tab, Escape, arrows...) or all "
                       "(everything typed, passwords too, is stored in the movie)")
          ->expected(0, 1);
  command->add_flag("--no-pointer", options->noPointer,
                    "Record no pointer (position, shape, buttons) beside the pictures");
  command->callback([options, display, keys] { RunCapture(*options, *display, *keys); });
}
