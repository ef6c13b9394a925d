// Video commands given bad input: one line saying why, a failing exit code, no file written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/cli/CliTestUtil.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/TempDir.h"

namespace {

struct BadInputCase {
  const char* what;
  std::vector<std::string> arguments;  // "DIR/" starts a path in the test's folder
  const char* message;
  int exitCode;
};

// clang-format off
const BadInputCase kCases[] = {
    {"not a video", {"import", "DIR/text.mp4", "-o", "DIR/out.swf"}, "not a video", 1},
    {"truncated MP4", {"import", "DIR/cut.mp4", "-o", "DIR/out.swf"}, "cut.mp4", 1},
    {"size FFmpeg refuses", {"import", "DIR/huge.y4m", "-o", "DIR/out.swf"}, "picture size 60000x60000 is invalid", 1},
    {"size the recorder refuses", {"import", "DIR/wide.y4m", "-o", "DIR/out.swf"}, "between 1 x 1 and 16384 x 16384 pixels, not 20000 x 100", 1},
    {"unknown extension", {"export", "DIR/movie.swf", "-o", "DIR/out.xyz"}, "unknown video", 2},
    {"zero frames to import", {"import", "DIR/video.mp4", "-o", "DIR/out.swf", "--from", "60"}, "ends before", 1},
    {"zero frames to export", {"export", "DIR/movie.swf", "-o", "DIR/out.mp4", "--from", "60"}, "past the end", 2},
    {"GIF cannot be lossless", {"export", "DIR/movie.swf", "-o", "DIR/out.gif", "--lossless"}, "cannot be lossless", 1},
    {"not a movie to export", {"export", "DIR/text.mp4", "-o", "DIR/out.mp4"}, "text.mp4", 1},
    {"no such display", {"capture", "-o", "DIR/out.swf", "--display", ":987", "--duration", "1"}, "display :987", 1},
    {"bad region", {"capture", "-o", "DIR/out.swf", "--region", "10x10"}, "--region", 2},
};
// clang-format on

TEST(VideoBadInput, OneLineErrorAndNoFile) {
  TempDir dir;
  WriteTestMovie(dir.File("movie.swf"), 16, 12, 3);
  std::ofstream(dir.File("text.mp4")) << "not a video at all\n";
  // Headers without pictures.
  std::ofstream(dir.File("huge.y4m")) << "YUV4MPEG2 W60000 H60000 F15:1 C420jpeg\n";
  std::ofstream(dir.File("wide.y4m")) << "YUV4MPEG2 W20000 H100 F15:1 C420jpeg\n";
  ASSERT_EQ(RunFmredit({"export", dir.File("movie.swf"), "-o", dir.File("video.mp4")}).exitCode, 0);
  const auto size = std::filesystem::file_size(dir.File("video.mp4"));
  std::filesystem::copy_file(dir.File("video.mp4"), dir.File("cut.mp4"));
  std::filesystem::resize_file(dir.File("cut.mp4"), size / 2);
  const std::vector<std::string> inputs = FilesIn(dir);

  for (const BadInputCase& bad : kCases) {
    SCOPED_TRACE(bad.what);
    std::vector<std::string> arguments = bad.arguments;
    for (std::string& argument : arguments) {
      if (argument.rfind("DIR/", 0) == 0) {
        argument = dir.File(argument.substr(4));
      }
    }
    ExpectOneLineError(RunFmredit(arguments), bad.message, bad.exitCode);
    EXPECT_EQ(FilesIn(dir), inputs);
  }
}

}  // namespace
