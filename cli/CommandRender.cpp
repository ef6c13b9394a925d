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
#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
#include "host/image/ZuPngWriterPool.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuTavoFile.h"

namespace {

struct RenderOptions {
  std::string file;
  int frame = 0;
  bool all = false;
  std::string output;
};

std::unique_ptr<ZuTavoPlayer> LoadPlayerOrThrow(const std::string& file) {
  std::unique_ptr<ZuTavoFile> movie = LoadMovieOrThrow(file);
  auto player = std::make_unique<ZuTavoPlayer>(32);
  if (!player->LoadMovie(*movie)) {
    throw CliError(file + ": cannot play: " + player->GetLastError());
  }
  return player;
}

std::unique_ptr<ZuImage> DrawFrameOrThrow(ZuTavoPlayer& player, const std::string& file,
                                          int frame) {
  if (!player.GotoFrameAndPlay(frame)) {
    throw CliError(file + ": cannot go to frame " + std::to_string(frame) + ": " +
                   player.GetLastError());
  }
  std::unique_ptr<ZuImage> picture(player.GetCurrentScreenImage());
  if (!picture) {
    throw CliError(file + ": cannot draw frame " + std::to_string(frame) + ": " +
                   player.GetLastError());
  }
  return picture;
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
  std::unique_ptr<ZuTavoPlayer> player = LoadPlayerOrThrow(options.file);
  const int count = player->GetFrameCount();
  if (options.frame < 1 || options.frame > count) {
    throw CliError(options.file + ": --frame " + std::to_string(options.frame) +
                       ": give a frame from 1 to " + std::to_string(count) + ", the movie's last",
                   kExitUsage);
  }
  const std::unique_ptr<ZuImage> picture = DrawFrameOrThrow(*player, options.file, options.frame);
  std::string reason;
  if (!ZuPng::Write(*picture, options.output, &reason)) {
    ThrowWriteError(options.output, reason);
  }
}

// Every frame, playing forward once: each frame builds on the one before. The frames are
// drawn here, one after another, and compressed into PNG files by a pool of workers.
void RenderAllFrames(const RenderOptions& options) {
  std::unique_ptr<ZuTavoPlayer> player = LoadPlayerOrThrow(options.file);
  std::error_code error;
  std::filesystem::create_directories(options.output, error);
  if (error || !std::filesystem::is_directory(options.output)) {
    throw CliError(options.output + ": cannot make the folder: " +
                   (error ? error.message() : std::string("a file of that name is in the way")));
  }
  for (int frame = 1; frame <= player->GetFrameCount(); ++frame) {
    RefuseWritingOverInputs(FrameFileName(options.output, frame), {options.file}, false, false);
  }
  ZuPngWriterPool writers;
  FrameProgress progress("rendered");
  for (int frame = 1; frame <= player->GetFrameCount(); ++frame) {
    if (!writers.Write(DrawFrameOrThrow(*player, options.file, frame),
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
