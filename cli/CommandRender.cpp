#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/EditedOutput.h"
#include "cli/FrameProgress.h"
#include "cli/MovieLoading.h"
#include "cli/NumberOption.h"
#include "cli/OverlayOptions.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
#include "host/image/ZuPngWriterPool.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/pointer/ZuPointerOverlay.h"
#include "host/swf/ZuTavoFile.h"

namespace {

struct RenderOptions {
  std::string file;
  int frame = 0;
  bool all = false;
  std::string output;
  OverlayOptions overlay;
};

// The movie's player, and the overlay drawn over its pictures (null when it draws nothing).
struct MovieView {
  std::unique_ptr<ZuTavoPlayer> player;
  std::unique_ptr<ZuPointerOverlay> overlay;
};

MovieView LoadMovieViewOrThrow(const RenderOptions& options) {
  std::unique_ptr<ZuTavoFile> movie = LoadMovieOrThrow(options.file);
  MovieView view{std::make_unique<ZuTavoPlayer>(32),
                 ZuOverlayForMovie(*movie, options.overlay.Choice())};
  if (!view.player->LoadMovie(*movie)) {
    throw CliError(options.file + ": cannot play: " + view.player->GetLastError());
  }
  return view;
}

// The picture of frame with the overlay over it, the caller's own.
std::unique_ptr<ZuImage> DrawFrameOrThrow(MovieView& view, const std::string& file, int frame) {
  ZuTavoPlayer& player = *view.player;
  if (!player.GotoFrameAndPlay(frame)) {
    throw CliError(file + ": cannot go to frame " + std::to_string(frame) + ": " +
                   player.GetLastError());
  }
  const ZuImage* picture = player.DrawCurrentScreen();
  if (picture == nullptr) {
    throw CliError(file + ": cannot draw frame " + std::to_string(frame) + ": " +
                   player.GetLastError());
  }
  if (view.overlay) {
    ZuPixelRect redrawn = player.GetRedrawnArea();
    picture = &view.overlay->Draw(*picture, frame, redrawn);
  }
  return std::make_unique<ZuImage>(*picture);
}

void ThrowWriteError(const std::string& path, const std::string& reason) {
  throw CliError(path + ": cannot write: " + reason);
}

std::string FrameFileName(const std::string& folder, int frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05d.png", frame);
  return (std::filesystem::path(folder) / name).string();
}

void RenderOneFrame(const RenderOptions& options) {
  RefuseWritingOverInputs(options.output, {options.file}, false, false);
  MovieView view = LoadMovieViewOrThrow(options);
  const int count = view.player->GetFrameCount();
  if (options.frame < 1 || options.frame > count) {
    throw CliError(options.file + ": --frame " + std::to_string(options.frame) +
                       ": give a frame from 1 to " + std::to_string(count) + ", the movie's last",
                   kExitUsage);
  }
  const std::unique_ptr<ZuImage> picture = DrawFrameOrThrow(view, options.file, options.frame);
  std::string reason;
  if (!ZuPng::Write(*picture, options.output, &reason)) {
    ThrowWriteError(options.output, reason);
  }
}

// Every frame, playing forward once: each frame builds on the one before. The frames are
// drawn here, one after another, and compressed into PNG files by a pool of workers.
void RenderAllFrames(const RenderOptions& options) {
  MovieView view = LoadMovieViewOrThrow(options);
  const int count = view.player->GetFrameCount();
  std::error_code error;
  std::filesystem::create_directories(options.output, error);
  if (error || !std::filesystem::is_directory(options.output)) {
    throw CliError(options.output + ": cannot make the folder: " +
                   (error ? error.message() : std::string("a file of that name is in the way")));
  }
  for (int frame = 1; frame <= count; ++frame) {
    RefuseWritingOverInputs(FrameFileName(options.output, frame), {options.file}, false, false);
  }
  ZuPngWriterPool writers;
  FrameProgress progress("rendered");
  for (int frame = 1; frame <= count; ++frame) {
    if (!writers.Write(DrawFrameOrThrow(view, options.file, frame),
                       FrameFileName(options.output, frame))) {
      break;  // a file could not be written; Finish says which
    }
    progress.Step();
  }
  std::string failedPath;
  std::string reason;
  if (!writers.Finish(&failedPath, &reason)) {
    ThrowWriteError(failedPath, reason);
  }
  progress.Finish();
}

void RunRender(const RenderOptions& options) {
  if (options.all) {
    RenderAllFrames(options);
  } else {
    RenderOneFrame(options);
  }
}

}  // namespace

void AddRenderCommand(CLI::App& app) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* command = app.add_subcommand("render", "Draw frames of an SWF movie as PNG pictures");
  command->add_option("FILE", options->file, "SWF file")->required();
  CLI::Option* frame =
      command->add_option("--frame", options->frame, "The frame to draw, counted from 1")
          ->check(WholeNumberOption());
  CLI::Option* all = command->add_flag(
      "--all", options->all, "Draw every frame into the folder OUT as frame-00001.png, ...");
  frame->excludes(all);
  AddOverlayOptions(*command, options->overlay);
  command
      ->add_option("-o,--output", options->output,
                   "PNG file to write (--frame; - for standard output), or folder to fill (--all; "
                   "made if missing)")
      ->required();
  command->callback([options, frame] {
    if (frame->count() == 0 && !options->all) {
      throw CliError("render: give --frame N or --all", kExitUsage);
    }
    RunRender(*options);
  });
}
