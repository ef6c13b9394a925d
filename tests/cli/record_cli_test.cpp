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

TEST(FmreditRecord, PngFramesComeBackThroughRender) {
  TempDir dir;
  std::vector<std::string> files;
  for (int n = 0; n < 5; ++n) {
    files.push_back(dir.File("f" + std::to_string(n) + ".png"));
    WritePng(RandomImage(13, 9, true, n + 1), files.back());
  }
  std::vector<std::string> arguments = {"record", "--fps", "8", "-o", dir.File("out.swf")};
  arguments.insert(arguments.end(), files.begin(), files.end());
  const FmreditRun record = RunFmredit(arguments);
  ASSERT_EQ(record.exitCode, 0) << record.err;
  std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(dir.File("out.swf"));
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*movie));
  EXPECT_EQ(movie->GetFrameCount(), 7);
  EXPECT_EQ(movie->GetFrameRate(), 8);
  ExpectOracleAccepts(dir.File("out.swf"), *movie);

  for (int frame : {1, 3, 5, 7}) {
    const std::string png = dir.File("r" + std::to_string(frame) + ".png");
    const FmreditRun render =
        RunFmredit({"render", dir.File("out.swf"), "--frame", std::to_string(frame), "-o", png});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    EXPECT_TRUE(ReadPng(png) == RandomImage(13, 9, true, std::min(frame, 5))) << "frame " << frame;
  }
}

TEST(FmreditRecord, AFolderIsTakenInNameOrderAndRenderAllWritesEveryFrame) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("frames"));
  // Written out of order; the names say the order.
  for (int n : {2, 0, 3, 1}) {
    WritePng(RandomImage(10, 8, true, n + 1),
             dir.File("frames/shot-" + std::to_string(n) + ".png"));
  }
  const FmreditRun record = RunFmredit({"record", "--fps", "5", "--depth", "16", "--block-frames",
                                        "2", "-o", dir.File("out.swf"), dir.File("frames")});
  ASSERT_EQ(record.exitCode, 0) << record.err;
  ExpectOracleAccepts(dir.File("out.swf"), *LoadMovieFile(dir.File("out.swf")));

  const std::string folder = dir.File("rendered/deeper");  // made with its parent
  const FmreditRun render = RunFmredit({"render", dir.File("out.swf"), "--all", "-o", folder});
  ASSERT_EQ(render.exitCode, 0) << render.err;
  for (int frame = 1; frame <= 6; ++frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%05d.png", frame);
    const ZuImage shown = ReadPng(folder + name);
    ZuImage expected = RandomImage(10, 8, true, std::min(frame, 4));
    for (size_t i = 0; i < expected.GetBuffSize(); ++i) {  // 16-bit: 5 bits a channel
      if (i % 4 != 3) {
        const uint8_t v = static_cast<uint8_t>(expected.GetBuffer()[i] >> 3);
        expected.GetBuffer()[i] = static_cast<uint8_t>((v << 3) | (v >> 2));
      }
    }
    EXPECT_TRUE(shown == expected) << "frame " << frame;
  }
  EXPECT_FALSE(Exists(folder + "/frame-00007.png"));
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

TEST(FmreditRender, FramePastTheEndWritesNothing) {
  TempDir dir;
  WritePng(RandomImage(6, 6, true, 1), dir.File("a.png"));
  ASSERT_EQ(
      RunFmredit({"record", "--fps", "10", "-o", dir.File("m.swf"), dir.File("a.png")}).exitCode,
      0);
  const FmreditRun past =
      RunFmredit({"render", dir.File("m.swf"), "--frame", "4", "-o", dir.File("x.png")});
  ExpectOneLineError(past, dir.File("m.swf"), 1);
  EXPECT_NE(past.err.find("3 frames"), std::string::npos) << past.err;
  EXPECT_FALSE(Exists(dir.File("x.png")));

  const FmreditRun missing =
      RunFmredit({"render", dir.File("none.swf"), "--frame", "1", "-o", dir.File("x.png")});
  ExpectOneLineError(missing, dir.File("none.swf"), 1);
  EXPECT_FALSE(Exists(dir.File("x.png")));
}

}  // namespace
