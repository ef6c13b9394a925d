// fmredit as a user runs it: the program is started as a separate process.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFile.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"

namespace {

size_t CountLines(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string WriteFmrMovie(const TempDir& dir, const std::string& name) {
  FmrMovieBuilder builder(64, 48, 10);
  builder.KeyFrame(0x336699)
      .PartialFrame(4, 4, 8, 8, 0xff0000)
      .PartialFrame(20, 10, 5, 3, 0x00ff00);
  builder.KeyFrame(0xeeeeee).PartialFrame(1, 2, 3, 4, 0x0000ff).HoldFrame().StopFrame();
  const std::string path = dir.File(name);
  builder.WriteFile(path);
  return path;
}

TEST(FmreditInfo, DescribesAnFmrMovie) {
  TempDir dir;
  const std::string path = WriteFmrMovie(dir, "movie.swf");
  const FmreditRun run = RunFmredit({"info", path});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("signature:   FWS"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("stage:       64 x 48 pixels"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("frames:      7"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("duration:    0.7 s"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("FMR movie:   yes"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("ShowFrame"), std::string::npos) << run.out;
}

TEST(FmreditInfo, JsonCarriesTheSameFacts) {
  TempDir dir;
  const std::string path = SwfBuilder()
                               .StageSize(320, 200)
                               .FrameRate(25 << 8)
                               .FrameCount(2)
                               .Tag(9, {0, 0, 0})
                               .ShowFrame()
                               .ShowFrame()
                               .WriteTo(dir.File("plain.swf"));
  const FmreditRun run = RunFmredit({"info", path, "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const std::string expected :
       {"\"signature\": \"FWS\"", "\"width\": 320", "\"height\": 200", "\"frameRate\": 25",
        "\"frameCount\": 2", "\"duration\": 0.08", "\"isFMR\": false", "\"tagCount\": 3",
        "{\"code\": 1, \"name\": \"ShowFrame\", \"count\": 2}"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
}

TEST(FmreditInfo, ReportsLoadWarnings) {
  TempDir dir;
  const std::string path = SwfBuilder().ShowFrame().WithoutEnd().WriteTo(dir.File("no-end.swf"));
  const FmreditRun run = RunFmredit({"info", path});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("warning:"), std::string::npos) << run.out;
}

struct BadInputCase {
  const char* name;
  std::vector<uint8_t> bytes;
};

TEST(FmreditInfo, BadFilesGiveOneLineAndExitOne) {
  TempDir dir;
  std::vector<uint8_t> cutTag = SwfBuilder().Tag(36, SwfBuilder::PatternBody(200)).Build();
  cutTag.resize(cutTag.size() - 50);
  const std::vector<BadInputCase> cases = {
      {"empty.swf", {}},
      {"text.swf", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
      {"short.swf", {'F', 'W', 'S', 10, 0x20}},
      {"cut-tag.swf", cutTag},
      {"bad-zlib.swf",
       SwfBuilder().Compression(ZuSwfCompression::kZlib).CompressedData({1, 2, 3, 4, 5}).Build()},
  };
  for (const BadInputCase& bad : cases) {
    const std::string path = dir.File(bad.name);
    WriteFileBytes(path, bad.bytes);
    for (const char* command : {"info", "dump", "convert"}) {
      std::vector<std::string> args = {command, path};
      if (std::string(command) == "convert") {
        args.insert(args.end(), {"-o", dir.File("out.swf")});
      }
      SCOPED_TRACE(std::string(bad.name) + " " + command);
      ExpectOneLineError(RunFmredit(args), path, 1);
    }
  }
  EXPECT_FALSE(ZuFile(ZuString(dir.File("out.swf"))).Exists());
}

TEST(FmreditInfo, MissingFileAndFolder) {
  TempDir dir;
  ExpectOneLineError(RunFmredit({"info", dir.File("nothing.swf")}), dir.File("nothing.swf"), 1);
  ExpectOneLineError(RunFmredit({"info", dir.Path()}), dir.Path(), 1);
}

TEST(Fmredit, WrongArgumentsExitTwo) {
  TempDir dir;
  const std::string path = WriteFmrMovie(dir, "movie.swf");
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"info"},
      {"convert", path},
      {"convert", path, "-o", dir.File("x.swf"), "--compression", "brotli"},
  };
  for (const auto& args : cases) {
    const FmreditRun run = RunFmredit(args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_FALSE(run.err.empty());
  }
}

TEST(FmreditDump, OneLinePerTagToTerminalOrFile) {
  TempDir dir;
  const std::string path = WriteFmrMovie(dir, "movie.swf");
  const std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(path);

  const FmreditRun toTerminal = RunFmredit({"dump", path});
  ASSERT_EQ(toTerminal.exitCode, 0) << toTerminal.err;
  EXPECT_EQ(CountLines(toTerminal.out), movie->GetTagCount());
  EXPECT_EQ(toTerminal.out.rfind("FileAttributes (69)", 0), 0u) << toTerminal.out;

  const std::string textPath = dir.File("dump.txt");
  const FmreditRun toFile = RunFmredit({"dump", path, "-o", textPath});
  ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
  const std::vector<uint8_t> written = ReadFileBytes(textPath);
  EXPECT_EQ(std::string(written.begin(), written.end()), toTerminal.out);
}

TEST(FmreditConvert, EveryCompressionRoundTripsToTheSameBytes) {
  TempDir dir;
  const std::string original = WriteFmrMovie(dir, "movie.swf");
  const struct {
    const char* compression;
    const char* signature;
  } steps[] = {{"zlib", "CWS"}, {"lzma", "ZWS"}, {"none", "FWS"}};
  std::string input = original;
  for (const auto& step : steps) {
    const std::string output = dir.File(std::string("movie-") + step.compression + ".swf");
    const FmreditRun run =
        RunFmredit({"convert", input, "-o", output, "--compression", step.compression});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<uint8_t> bytes = ReadFileBytes(output);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), step.signature);
    EXPECT_EQ(UncompressedSwf(bytes), UncompressedSwf(ReadFileBytes(original)));
    ExpectOracleAccepts(output, *LoadMovieFile(output));
    input = output;
  }
  EXPECT_EQ(ReadFileBytes(input), ReadFileBytes(original));
}

TEST(FmreditConvert, KeepsTheInputCompressionByDefault) {
  TempDir dir;
  const std::string input =
      SwfBuilder().Compression(ZuSwfCompression::kZlib).ShowFrame().WriteTo(dir.File("in.swf"));
  const std::string output = dir.File("out.swf");
  ASSERT_EQ(RunFmredit({"convert", input, "-o", output}).exitCode, 0);
  const std::vector<uint8_t> bytes = ReadFileBytes(output);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "CWS");
  ExpectOracleAccepts(output, *LoadMovieFile(output));
}

TEST(FmreditConvert, NeverWritesOverItsInputUnlessAsked) {
  TempDir dir;
  const std::string path = WriteFmrMovie(dir, "movie.swf");
  const std::vector<uint8_t> before = ReadFileBytes(path);

  const FmreditRun refused = RunFmredit({"convert", path, "-o", path, "--compression", "zlib"});
  ExpectOneLineError(refused, path, 2);
  EXPECT_EQ(ReadFileBytes(path), before);

  const FmreditRun inPlace =
      RunFmredit({"convert", path, "-o", path, "--compression", "zlib", "--in-place"});
  ASSERT_EQ(inPlace.exitCode, 0) << inPlace.err;
  EXPECT_EQ(UncompressedSwf(ReadFileBytes(path)), UncompressedSwf(before));
}

TEST(FmreditConvert, UnwritableOutputLeavesNothing) {
  TempDir dir;
  const std::string path = WriteFmrMovie(dir, "movie.swf");
  const std::string output = dir.File("no-such-folder/out.swf");
  ExpectOneLineError(RunFmredit({"convert", path, "-o", output}), output, 1);
  EXPECT_FALSE(ZuFile(ZuString(output)).Exists());
}

}  // namespace
