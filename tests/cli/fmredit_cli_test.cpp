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

// A folder with an FMR movie of 7 frames, 64 x 48 at 10 frames a second, in two blocks.
class Fmredit : public testing::Test {
 protected:
  void SetUp() override {
    FmrMovieBuilder builder(64, 48, 10);
    builder.KeyFrame(0x336699)
        .PartialFrame(4, 4, 8, 8, 0xff0000)
        .PartialFrame(20, 10, 5, 3, 0x00ff00);
    builder.KeyFrame(0xeeeeee).PartialFrame(1, 2, 3, 4, 0x0000ff).HoldFrame().StopFrame();
    builder.WriteFile(m_movie);
  }

  TempDir m_dir;
  std::string m_movie = m_dir.File("movie.swf");
};

TEST_F(Fmredit, InfoDescribesAnFmrMovie) {
  const FmreditRun run = RunFmredit({"info", m_movie});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* expected : {"signature:   FWS", "stage:       64 x 48 pixels", "frames:      7",
                               "duration:    0.7 s", "FMR movie:   yes", "ShowFrame"}) {
    EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
  }
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

// Bad files, a missing file and a folder: one line naming the file, exit code 1, no output.
TEST(FmreditInfo, BadFilesGiveOneLineAndExitOne) {
  TempDir dir;
  std::vector<uint8_t> cutTag = SwfBuilder().Tag(36, SwfBuilder::PatternBody(200)).Build();
  cutTag.resize(cutTag.size() - 50);
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
      {"empty.swf", {}},
      {"text.swf", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
      {"short.swf", {'F', 'W', 'S', 10, 0x20}},
      {"cut-tag.swf", cutTag},
      {"bad-zlib.swf",
       SwfBuilder().Compression(ZuSwfCompression::kZlib).CompressedData({1, 2, 3, 4, 5}).Build()},
  };
  std::vector<std::string> paths = {dir.File("nothing.swf"), dir.Path()};
  for (const auto& [name, bytes] : files) {
    paths.push_back(dir.File(name));
    WriteFileBytes(paths.back(), bytes);
  }
  for (const std::string& path : paths) {
    for (const char* command : {"info", "dump", "convert"}) {
      std::vector<std::string> args = {command, path};
      if (std::string(command) == "convert") {
        args.insert(args.end(), {"-o", dir.File("out.swf")});
      }
      SCOPED_TRACE(path + " " + command);
      ExpectOneLineError(RunFmredit(args), path, 1);
    }
  }
  EXPECT_FALSE(ZuFile(ZuString(dir.File("out.swf"))).Exists());
}

TEST_F(Fmredit, WrongArgumentsExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"info"},
      {"convert", m_movie},
      {"convert", m_movie, "-o", m_dir.File("x.swf"), "--compression", "brotli"},
  };
  for (const auto& args : cases) {
    const FmreditRun run = RunFmredit(args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_FALSE(run.err.empty());
  }
}

TEST_F(Fmredit, DumpWritesOneLinePerTagToTerminalOrFile) {
  const std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(m_movie);

  const FmreditRun toTerminal = RunFmredit({"dump", m_movie});
  ASSERT_EQ(toTerminal.exitCode, 0) << toTerminal.err;
  EXPECT_EQ(CountLines(toTerminal.out), movie->GetTagCount());
  EXPECT_EQ(toTerminal.out.rfind("FileAttributes (69)", 0), 0u) << toTerminal.out;

  const std::string textPath = m_dir.File("dump.txt");
  const FmreditRun toFile = RunFmredit({"dump", m_movie, "-o", textPath});
  ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
  const std::vector<uint8_t> written = ReadFileBytes(textPath);
  EXPECT_EQ(std::string(written.begin(), written.end()), toTerminal.out);
}

TEST_F(Fmredit, ConvertRoundTripsEveryCompressionToTheSameBytes) {
  const std::string original = m_movie;
  const struct {
    const char* compression;
    const char* signature;
  } steps[] = {{"zlib", "CWS"}, {"lzma", "ZWS"}, {"none", "FWS"}};
  std::string input = original;
  for (const auto& step : steps) {
    const std::string output = m_dir.File(std::string("movie-") + step.compression + ".swf");
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

TEST_F(Fmredit, ConvertToAnUnwritableOutputLeavesNothing) {
  const std::string output = m_dir.File("no-such-folder/out.swf");
  ExpectOneLineError(RunFmredit({"convert", m_movie, "-o", output}), output, 1);
  EXPECT_FALSE(ZuFile(ZuString(output)).Exists());
}

}  // namespace
