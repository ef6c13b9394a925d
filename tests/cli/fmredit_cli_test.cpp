// fmredit as a user runs it: the program is started as a separate process.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFile.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"

namespace {

size_t CountLines(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A folder with an FMR movie of 7 frames, 40 x 30 at 10 frames a second, in two blocks.
class Fmredit : public testing::Test {
 protected:
  void SetUp() override { WriteFmrMovie(m_movie, 7); }

  TempDir m_dir;
  std::string m_movie = m_dir.File("movie.swf");
};

// info in text and as JSON, on an FMR movie, a plain one and one without its End tag.
TEST_F(Fmredit, InfoTellsTheFactsOfAMovie) {
  const std::string plain = SwfBuilder()
                                .StageSize(320, 200)
                                .FrameRate(25 << 8)
                                .FrameCount(2)
                                .Tag(9, {0, 0, 0})
                                .ShowFrame()
                                .ShowFrame()
                                .WriteTo(m_dir.File("plain.swf"));
  const std::string noEnd = SwfBuilder().ShowFrame().WithoutEnd().WriteTo(m_dir.File("e.swf"));
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
      {{m_movie},
       {"signature:   FWS", "stage:       40 x 30 pixels", "frames:      7", "duration:    0.7 s",
        "FMR movie:   yes", "ShowFrame"}},
      {{plain, "--json"},
       {"\"signature\": \"FWS\"", "\"width\": 320", "\"height\": 200", "\"frameRate\": 25",
        "\"frameCount\": 2", "\"duration\": 0.08", "\"isFMR\": false", "\"tagCount\": 3",
        "{\"code\": 1, \"name\": \"ShowFrame\", \"count\": 2}"}},
      {{noEnd}, {"warning:"}},
  };
  for (const auto& [arguments, facts] : cases) {
    std::vector<std::string> command = {"info"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const FmreditRun run = RunFmredit(command);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const std::string& fact : facts) {
      EXPECT_NE(run.out.find(fact), std::string::npos) << fact << "\n" << run.out;
    }
  }
}

// Bad files, a missing file, a folder and endless devices (refused at their first bytes):
// one line naming the file (a newline in the name too), exit code 1, no output.
TEST(FmreditInfo, BadFilesGiveOneLineAndExitOne) {
  TempDir dir;
  std::vector<uint8_t> cutTag = SwfBuilder().Tag(36, SwfBuilder::PatternBody(200)).Build();
  cutTag.resize(cutTag.size() - 50);
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> files = {
      {"empty.swf", {}},
      {"text.swf", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
      {"video.mp4", {0, 0, 0, 0x18, 'f', 't', 'y', 'p', 'm', 'p', '4', '2'}},
      {"short.swf", {'F', 'W', 'S', 10, 0x20}},
      {"cut-tag.swf", cutTag},
      {"bad-zlib.swf",
       SwfBuilder().Compression(ZuSwfCompression::kZlib).CompressedData({1, 2, 3, 4, 5}).Build()},
  };
  std::vector<std::string> paths = {dir.File("nothing.swf"), dir.Path(), "/dev/zero",
                                    "/dev/urandom", dir.File("new\nline.swf")};
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
      ExpectOneLineError(RunFmredit(args), path.substr(path.find('\n') + 1), 1);
    }
  }
  EXPECT_FALSE(ZuFile(ZuString(dir.File("out.swf"))).Exists());
  // What the file is instead is said, with the command that takes a video.
  ExpectOneLineError(RunFmredit({"info", dir.File("video.mp4")}),
                     "not an SWF file: an MP4 video; fmredit import makes an FMR movie", 1);
  ExpectOneLineError(RunFmredit({"serve", dir.File("video.mp4")}),
                     "an MP4 video, neither an SWF movie nor a project; fmredit import", 1);
  ExpectOneLineError(RunFmredit({"import", dir.File("short.swf"), "-o", dir.File("out.swf")}),
                     "short.swf: already an SWF movie; nothing to import", 1);
}

// Wrong arguments and numbers at the edges: one line naming the option, exit code 2.
TEST_F(Fmredit, WrongArgumentsAndNumberEdgesExitTwo) {
  const std::string out = m_dir.File("x.swf");
  const std::string p = m_dir.File("p.fmrproj");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, ""},
      {{"frobnicate"}, "subcommand"},
      {{"info"}, "FILE"},
      {{"convert", m_movie}, "--output"},
      {{"convert", m_movie, "-o", out, "--compression", "brotli"}, "brotli"},
      {{"delete", m_movie, "-o", out, "--start", "0", "--length", "inf"}, "1000000, not 'inf'"},
      {{"delete", m_movie, "-o", out, "--start", "-1", "--length", "1"}, "--start"},
      {{"delete", m_movie, "-o", out, "--first-frame", "4294967297", "--frame-count", "1"},
       "--first-frame"},
      {{"insert", m_movie, "--at", "nan", "--movie", m_movie, "-o", out}, "--at"},
      {{"split", m_movie, "--at", "1e308", "-o", out, m_dir.File("y.swf")}, "--at"},
      {{"project", "delete", p, "--slide", "1", "--start", "1e300", "--length", "1"}, "--start"},
      {{"project", "set", p, "--slide", "1", "--min-duration", "nan"}, "--min-duration"},
      {{"project", "merge", p, "--slides", "1,y"}, "--slides: give a whole number, not 'y'"},
      {{"record", "--raw", "4294967297x1", "--fps", "5", "-o", out}, "4294967297x1"},
      {{"record", "--raw", "4x-1", "--fps", "5", "-o", out}, "4x-1"},
      {{"render", m_movie, "--frame", "0", "-o", out},
       "--frame 0: give a frame from 1 to 7, the movie's last"},
      {{"render", m_movie, "--frame", "x", "-o", out}, "--frame: give a whole number, not 'x'"},
      {{"capture", "-o", out, "--fps", "0"}, "--fps: give a whole number from 1 to 255, not '0'"},
      {{"capture", "-o", out, "--depth", "8"}, "--depth: give 16 or 32, not '8'"},
      {{"capture", "-o", out, "--keys", "typed"}, "--keys: give shortcuts or all, not 'typed'"},
      {{"import", m_movie, "-o", m_dir.File("v.mp4")},
       "import writes an FMR movie (.swf); to make a video of it, run fmredit export"},
      {{"render", m_movie, "-o", out}, "--frame N or --all"},
      {{"export", m_movie, "-o", m_dir.File("v.mp4"), "--to", "nan"}, "--to"},
      {{"export", m_movie, "-o", m_dir.File("v.mp4"), "--to", "1e308"}, "'1e308'"},
      {{"export", m_movie, "-o", m_dir.File("v.mp4"), "--max-size", "5MB"},
       "--max-size is for .gif and .apng exports"},
      {{"export", m_movie, "-o", m_dir.File("v.webm"), "--max-size", "300000"}, "--max-size is"},
      {{"export", m_movie, "-o", m_dir.File("v.gif"), "--max-size", "0"}, "not '0'"},
      {{"export", m_movie, "-o", m_dir.File("v.apng"), "--max-size", "-5MB"}, "not '-5MB'"},
      {{"export", m_movie, "-o", m_dir.File("v.gif"), "--max-size", "nan"}, "not 'nan'"},
      {{"export", m_movie, "-o", m_dir.File("v.gif"), "--max-size", "5 megabytes"},
       "not '5 megabytes'"},
      {{"import", m_movie, "-o", out, "--to", "nan"}, "--to"},
      {{"capture", "-o", out, "--duration", "nan"}, "--duration"},
      {{"capture", "-o", out, "--region", "100x100+2147483647+0"}, "100x100+2147483647+0"},
      {{"capture", "-o", out, "--region", "99999999999x1+0+0"}, "99999999999x1+0+0"},
  };
  for (const auto& [arguments, named] : cases) {
    SCOPED_TRACE(testing::PrintToString(arguments));
    ExpectOneLineError(RunFmredit(arguments), named, 2);
  }
  EXPECT_FALSE(std::filesystem::exists(out));
}

// A few bytes of LZMA properties may ask for a 4 GiB dictionary; the decoder gets only what
// the movie can fill.
TEST(FmreditInfo, LzmaDictionaryIsCappedByTheMovie) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer reserves more address space than the limit allows";
#endif
  TempDir dir;
  // Header, LZMA length, properties with a dictionary of 4 GiB - 1, then 11 bytes of data.
  std::vector<uint8_t> bytes = {'Z', 'W', 'S', 13,   0xF0, 0xFF, 0xFF, 0xFF, 11,
                                0,   0,   0,   0x5D, 0xFF, 0xFF, 0xFF, 0xFF};
  bytes.resize(28, 0);
  WriteFileBytes(dir.File("z.swf"), bytes);
  const FmreditRun run = RunFmredit({"info", dir.File("z.swf")}, {.memoryLimit = 512L << 20});
  EXPECT_EQ(run.exitCode, 0) << run.err;
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
  } steps[] = {{"zlib", "CWS"}, {nullptr, "CWS"}, {"lzma", "ZWS"}, {"none", "FWS"}};
  std::string input = original;
  for (const auto& step : steps) {
    // Without --compression the input's compression is kept.
    const std::string output = m_dir.File("movie-" + std::to_string(&step - steps) + ".swf");
    std::vector<std::string> arguments = {"convert", input, "-o", output};
    if (step.compression) arguments.insert(arguments.end(), {"--compression", step.compression});
    const FmreditRun run = RunFmredit(arguments);
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

}  // namespace
