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
#include "tests/support/TempDir.h"

namespace {

// A picture of a colored square on gray that moves with n.
ZuImage TestPicture(int width, int height, int n) {
  ZuImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = image.Row(y) + x * 4;
      const bool square = x >= n && x < n + 4 && y >= n && y < n + 3;
      pixel[0] = square ? static_cast<uint8_t>(40 * n) : 128;
      pixel[1] = square ? 200 : 128;
      pixel[2] = static_cast<uint8_t>(x * 7 + y);
      pixel[3] = 255;
    }
  }
  return image;
}

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
    WritePng(TestPicture(13, 9, n), files.back());
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
    EXPECT_TRUE(ReadPng(png) == TestPicture(13, 9, std::min(frame, 5) - 1)) << "frame " << frame;
  }
}

TEST(FmreditRecord, AFolderIsTakenInNameOrderAndRenderAllWritesEveryFrame) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("frames"));
  // Written out of order; the names say the order.
  for (int n : {2, 0, 3, 1}) {
    WritePng(TestPicture(10, 8, n), dir.File("frames/shot-" + std::to_string(n) + ".png"));
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
    ZuImage expected = TestPicture(10, 8, std::min(frame, 4) - 1);
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

TEST(FmreditRecord, RawFramesFromStandardInput) {
  TempDir dir;
  std::vector<uint8_t> raw;
  for (int n = 0; n < 3; ++n) {
    const ZuImage picture = TestPicture(11, 7, n);
    raw.insert(raw.end(), picture.GetBuffer(), picture.GetBuffer() + picture.GetBuffSize());
  }
  WriteFileBytes(dir.File("frames.raw"), raw);
  const FmreditRun run =
      RunFmredit({"record", "--raw", "11x7", "--fps", "15", "-o", dir.File("out.swf")},
                 dir.File("frames.raw"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(run.err.empty()) << run.err;  // no progress line when stderr is no terminal
  std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(dir.File("out.swf"));
  EXPECT_EQ(movie->GetFrameCount(), 5);
  EXPECT_EQ(movie->GetWidth(), 11u);
  ExpectOracleAccepts(dir.File("out.swf"), *movie);
}

struct RawErrorCase {
  const char* name;
  std::string size;
  size_t inputBytes;
  const char* named;  // what the message names
  int exitCode;
};

void PrintTo(const RawErrorCase& c, std::ostream* out) {
  *out << c.name;
}

class FmreditRecordRawErrors : public testing::TestWithParam<RawErrorCase> {};

TEST_P(FmreditRecordRawErrors, OneLineAndNoOutput) {
  const RawErrorCase& c = GetParam();
  TempDir dir;
  WriteFileBytes(dir.File("in.raw"), std::vector<uint8_t>(c.inputBytes, 7));
  const FmreditRun run = RunFmredit(
      {"record", "--raw", c.size, "--fps", "10", "-o", dir.File("out.swf")}, dir.File("in.raw"));
  ExpectOneLineError(run, c.named, c.exitCode);
  EXPECT_FALSE(Exists(dir.File("out.swf")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FmreditRecordRawErrors,
    testing::Values(RawErrorCase{"PartialLastFrame", "4x4", 64 * 2 + 10, "standard input", 1},
                    RawErrorCase{"EmptyInput", "4x4", 0, "standard input", 1},
                    RawErrorCase{"ZeroWidth", "0x4", 64, "0x4", 2},
                    RawErrorCase{"NotASize", "4by4", 64, "4by4", 2},
                    RawErrorCase{"TooLarge", "20000x10", 64, "20000x10", 2}),
    [](const testing::TestParamInfo<RawErrorCase>& info) { return std::string(info.param.name); });

struct FileErrorCase {
  const char* name;
  // Writes the inputs into dir and returns the arguments after "record -o OUT --fps 10".
  std::vector<std::string> (*make)(const TempDir& dir);
  const char* named;  // the file the message names, relative to dir ("" for none)
  int exitCode;
};

void PrintTo(const FileErrorCase& c, std::ostream* out) {
  *out << c.name;
}

std::vector<std::string> DifferentSizes(const TempDir& dir) {
  WritePng(TestPicture(8, 8, 0), dir.File("a.png"));
  WritePng(TestPicture(9, 8, 0), dir.File("b.png"));
  return {dir.File("a.png"), dir.File("b.png")};
}

std::vector<std::string> NotAPng(const TempDir& dir) {
  WritePng(TestPicture(8, 8, 0), dir.File("a.png"));
  WriteFileBytes(dir.File("notes.txt"), {'h', 'e', 'l', 'l', 'o'});
  return {dir.File("a.png"), dir.File("notes.txt")};
}

std::vector<std::string> MissingFile(const TempDir& dir) {
  return {dir.File("gone.png")};
}

std::vector<std::string> EmptyFolder(const TempDir& dir) {
  std::filesystem::create_directory(dir.File("empty"));
  return {dir.File("empty")};
}

std::vector<std::string> NoFrames(const TempDir&) {
  return {};
}

std::vector<std::string> RawAndFiles(const TempDir& dir) {
  WritePng(TestPicture(8, 8, 0), dir.File("a.png"));
  return {"--raw", "8x8", dir.File("a.png")};
}

std::vector<std::string> Depth24(const TempDir& dir) {
  WritePng(TestPicture(8, 8, 0), dir.File("a.png"));
  return {"--depth", "24", dir.File("a.png")};
}

class FmreditRecordErrors : public testing::TestWithParam<FileErrorCase> {};

TEST_P(FmreditRecordErrors, OneLineAndNoOutput) {
  const FileErrorCase& c = GetParam();
  TempDir dir;
  std::vector<std::string> arguments = {"record", "-o", dir.File("out.swf"), "--fps", "10"};
  const std::vector<std::string> inputs = c.make(dir);
  arguments.insert(arguments.end(), inputs.begin(), inputs.end());
  const FmreditRun run = RunFmredit(arguments);
  ExpectOneLineError(run, std::string(c.named).empty() ? "" : dir.File(c.named), c.exitCode);
  EXPECT_FALSE(Exists(dir.File("out.swf")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FmreditRecordErrors,
    testing::Values(FileErrorCase{"DifferentSizes", DifferentSizes, "b.png", 1},
                    FileErrorCase{"NotAPng", NotAPng, "notes.txt", 1},
                    FileErrorCase{"MissingFile", MissingFile, "gone.png", 1},
                    FileErrorCase{"EmptyFolder", EmptyFolder, "empty", 1},
                    FileErrorCase{"NoFrames", NoFrames, "", 2},
                    FileErrorCase{"RawAndFiles", RawAndFiles, "", 2},
                    FileErrorCase{"Depth24", Depth24, "", 2}),
    [](const testing::TestParamInfo<FileErrorCase>& info) { return std::string(info.param.name); });

TEST(FmreditRender, FramePastTheEndWritesNothing) {
  TempDir dir;
  WritePng(TestPicture(6, 6, 0), dir.File("a.png"));
  ASSERT_EQ(
      RunFmredit({"record", "--fps", "10", "-o", dir.File("m.swf"), dir.File("a.png")}).exitCode,
      0);
  const FmreditRun past =
      RunFmredit({"render", dir.File("m.swf"), "--frame", "4", "-o", dir.File("x.png")});
  ExpectOneLineError(past, dir.File("m.swf"), 1);
  EXPECT_NE(past.err.find("3 frames"), std::string::npos) << past.err;
  EXPECT_FALSE(Exists(dir.File("x.png")));

  const FmreditRun zero =
      RunFmredit({"render", dir.File("m.swf"), "--frame", "0", "-o", dir.File("x.png")});
  EXPECT_EQ(zero.exitCode, 2) << zero.err;
  const FmreditRun neither = RunFmredit({"render", dir.File("m.swf"), "-o", dir.File("x.png")});
  EXPECT_EQ(neither.exitCode, 2) << neither.err;
  const FmreditRun missing =
      RunFmredit({"render", dir.File("none.swf"), "--frame", "1", "-o", dir.File("x.png")});
  ExpectOneLineError(missing, dir.File("none.swf"), 1);
  EXPECT_FALSE(Exists(dir.File("x.png")));
}

}  // namespace
