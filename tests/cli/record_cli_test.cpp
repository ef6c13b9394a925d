// fmredit record and render, run as separate processes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuTavoFile.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Oracle.h"
#include "tests/support/RandomImage.h"
#include "tests/support/TempDir.h"

namespace {

void WritePng(const ZuImage& image, const std::string& path) {
  std::string error;
  ASSERT_TRUE(ZuPng::Write(image, path, &error)) << error;
}

ZuImage ReadPng(const std::string& path) {
  std::string error;
  std::unique_ptr<ZuImage> image = ZuPng::Read(path, &error);
  EXPECT_TRUE(image != nullptr) << path << ": " << error;
  return image ? *image : ZuImage(0, 0);
}

bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

// Frames recorded from a list of files (32-bit) and from a folder written out of order
// (16-bit, taken in name order) come back through render, one frame or all of them; a
// frame past the end and a missing movie are refused without output.
TEST(FmreditRecord, FramesComeBackThroughRender) {
  const struct {
    const char* depth;  // null: the default, 32
    int count;
    bool folder;
  } cases[] = {{nullptr, 5, false}, {"16", 4, true}};
  const auto frameName = [](int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%05d.png", frame);
    return std::string(name);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count);
    TempDir dir;
    std::vector<std::string> arguments = {
        "record", "--fps", "8", "--block-frames", "2", "-o", dir.File("out.swf")};
    if (c.depth) arguments.insert(arguments.end(), {"--depth", c.depth});
    if (c.folder) std::filesystem::create_directory(dir.File("frames"));
    for (int n = c.count - 1; n >= 0; --n) {  // written out of order; the names say the order
      const std::string name = "shot-" + std::to_string(n) + ".png";
      WritePng(RandomImage(13, 9, true, n + 1), dir.File(c.folder ? "frames/" + name : name));
    }
    for (int n = 0; n < (c.folder ? 0 : c.count); ++n) {
      arguments.push_back(dir.File("shot-" + std::to_string(n) + ".png"));
    }
    if (c.folder) arguments.push_back(dir.File("frames"));
    const FmreditRun record = RunFmredit(arguments);
    ASSERT_EQ(record.exitCode, 0) << record.err;
    std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(dir.File("out.swf"));
    EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*movie));
    EXPECT_EQ(movie->GetFrameCount(), c.count + 2);
    EXPECT_EQ(movie->GetFrameRate(), 8);
    ExpectOracleAccepts(dir.File("out.swf"), *movie);

    const std::string folder = dir.File("rendered/deeper");  // made with its parent
    const FmreditRun all = RunFmredit({"render", dir.File("out.swf"), "--all", "-o", folder});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    for (int frame = 1; frame <= c.count + 2; ++frame) {
      ZuImage expected = RandomImage(13, 9, true, std::min(frame, c.count));
      for (size_t i = 0; c.depth != nullptr && i < expected.GetBuffSize(); ++i) {
        if (i % 4 != 3) {  // 16-bit: 5 bits a channel
          const uint8_t v = static_cast<uint8_t>(expected.GetBuffer()[i] >> 3);
          expected.GetBuffer()[i] = static_cast<uint8_t>((v << 3) | (v >> 2));
        }
      }
      EXPECT_TRUE(ReadPng(folder + frameName(frame)) == expected) << "frame " << frame;
      if (frame % 2 == 0) continue;
      const std::string png = dir.File("one.png");
      const FmreditRun one =
          RunFmredit({"render", dir.File("out.swf"), "--frame", std::to_string(frame), "-o", png});
      ASSERT_EQ(one.exitCode, 0) << one.err;
      EXPECT_TRUE(ReadPng(png) == expected) << "frame " << frame;
    }
    EXPECT_FALSE(Exists(folder + frameName(c.count + 3)));

    const std::string past = std::to_string(c.count + 3);
    for (const std::string& input : {dir.File("out.swf"), dir.File("none.swf")}) {
      const FmreditRun refused =
          RunFmredit({"render", input, "--frame", past, "-o", dir.File("x.png")});
      const bool movie = input == dir.File("out.swf");
      ExpectOneLineError(refused,
                         movie ? "give a frame from 1 to " + std::to_string(c.count + 2) : input,
                         movie ? 2 : 1);
      EXPECT_FALSE(Exists(dir.File("x.png")));
    }
  }
}

TEST(FmreditRecord, InputErrorsGiveOneLineAndNoOutput) {
  TempDir dir;
  WritePng(RandomImage(8, 8, true, 1), dir.File("a.png"));
  WritePng(RandomImage(9, 8, true, 1), dir.File("b.png"));
  WriteFileBytes(dir.File("notes.txt"), {'h', 'e', 'l', 'l', 'o'});
  std::filesystem::create_directory(dir.File("empty"));
  WriteFileBytes(dir.File("partial.raw"), std::vector<uint8_t>(64 * 2 + 10, 7));
  WriteFileBytes(dir.File("none.raw"), {});
  WriteFileBytes(dir.File("one.raw"), std::vector<uint8_t>(64, 7));
  struct Case {
    std::vector<std::string> arguments;  // after "record -o OUT --fps 10"
    std::string input;                   // standard input
    std::string named;                   // what the message names ("" for nothing)
    int exitCode;
  };
  const std::string a = dir.File("a.png");
  const Case cases[] = {
      {{"--raw", "4x4"}, dir.File("partial.raw"), "standard input", 1},
      {{"--raw", "4x4"}, dir.File("none.raw"), "standard input", 1},
      {{"--raw", "0x4"}, dir.File("one.raw"), "0x4", 2},
      {{"--raw", "4by4"}, dir.File("one.raw"), "4by4", 2},
      {{"--raw", "20000x10"}, dir.File("one.raw"), "20000x10", 2},
      {{a, dir.File("b.png")}, "/dev/null", dir.File("b.png"), 1},
      {{a, dir.File("notes.txt")}, "/dev/null", dir.File("notes.txt"), 1},
      {{dir.File("gone.png")}, "/dev/null", dir.File("gone.png"), 1},
      {{dir.File("empty")}, "/dev/null", dir.File("empty"), 1},
      {{}, "/dev/null", "", 2},
      {{"--raw", "8x8", a}, "/dev/null", "", 2},
      {{"--depth", "24", a}, "/dev/null", "", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    std::vector<std::string> arguments = {"record", "-o", dir.File("out.swf"), "--fps", "10"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    ExpectOneLineError(RunFmredit(arguments, {c.input}), c.named, c.exitCode);
    EXPECT_FALSE(Exists(dir.File("out.swf")));
  }
}

}  // namespace
