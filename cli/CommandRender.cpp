#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/CliError.h"
#include "cli/Commands.h"
#include "cli/FrameProgress.h"
#include "cli/MovieLoading.h"
#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
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

// Draws frame and writes it as a PNG file at path.
void RenderFrameToPng(ZuTavoPlayer& player, const std::string& file, int frame,
                      const std::string& path) {
  if (!player.GotoFrameAndPlay(frame)) {
    throw CliError(file + ": cannot go to frame " + std::to_string(frame) + ": " +
                   player.GetLastError());
  }
  std::unique_ptr<ZuImage> picture(player.GetCurrentScreenImage());
  if (!picture) {
    throw CliError(file + ": cannot draw frame " + std::to_string(frame) + ": " +
                   player.GetLastError());
  }
  std::string error;
  if (!ZuPng::Write(*picture, path, &error)) {
    throw CliError(path + ": cannot write: " + error);
  }
}

std::string FrameFileName(const std::string& folder, int frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05d.png", frame);
  return (std::filesystem::path(folder) / name).string();
}

void RenderOneFrame(const RenderOptions& options) {
  std::unique_ptr<ZuTavoPlayer> player = LoadPlayerOrThrow(options.file);
  const int count = player->GetFrameCount();
  if (options.frame > count) {
    throw CliError(options.file + ": frame " + std::to_string(options.frame) +
                   " is past the end: the movie has " + std::to_string(count) + " frames");
  }
  RenderFrameToPng(*player, options.file, options.frame, options.output);
}

// Every frame, playing forward once: each frame builds on the one before.
void RenderAllFrames(const RenderOptions& options) {
  std::unique_ptr<ZuTavoPlayer> player = LoadPlayerOrThrow(options.file);
  std::error_code error;
  std::filesystem::create_directories(options.output, error);
  if (error || !std::filesystem::is_directory(options.output)) {
    throw CliError(options.output + ": cannot make the folder: " +
                   (error ? error.message() : std::string("a file of that name is in the way")));
  }
  FrameProgress progress("rendered");
  for (int frame = 1; frame <= player->GetFrameCount(); ++frame) {
    RenderFrameToPng(*player, options.file, frame, FrameFileName(options.output, frame));
    progress.Step();
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
          ->check(CLI::PositiveNumber);
  CLI::Option* all = command->add_flag(
      "--all", options->all, "Draw every frame into the folder OUT as frame-00001.png, ...");
  frame->excludes(all);
  command
      ->add_option("-o,--output", options->output,
                   "PNG file to write (--frame), or folder to fill (--all; made if missing)")
      ->required();
  command->callback([options, frame] {
    if (frame->count() == 0 && !options->all) {
      throw CliError("render: give --frame N or --all", kExitUsage);
    }
    RunRender(*options);
  });
}
