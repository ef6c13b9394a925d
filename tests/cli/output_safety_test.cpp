// Outputs never destroy anything: an input is never written over without --in-place, by any
// path (a link, a dangling link, a frame name), a symbolic link is written through (the link
// stays), a link loop is refused, devices and standard output are written straight and
// never replaced, and a write that fails (a full device, a file-size limit) names the output
// and the system's reason, exits 1 and leaves no file behind. New files get the umask's
// permissions, replaced ones keep theirs, whatever the length of their names.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/RandomImage.h"
#include "tests/support/TempDir.h"

namespace {

using Arguments = std::vector<std::string>;

// in.swf: three recorded pictures of noise (large enough to pass a small size limit), and a
// symbolic link to it.
class OutputSafety : public testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint8_t> raw;
    for (unsigned seed = 1; seed <= 3; ++seed) {
      const ZuImage picture = RandomImage(48, 48, true, seed);
      raw.insert(raw.end(), picture.GetBuffer(), picture.GetBuffer() + picture.GetBuffSize());
    }
    WriteFileBytes(m_raw, raw);
    ASSERT_EQ(RunFmredit({"record", "--raw", "48x48", "--fps", "10", "-o", m_in}, {m_raw}).exitCode,
              0);
    std::filesystem::create_symlink("in.swf", m_link);
    m_files = FilesIn(m_dir);
    m_original = ReadFileBytes(m_in);
  }

  TempDir m_dir;
  std::string m_raw = m_dir.File("frames.raw");
  std::string m_in = m_dir.File("in.swf");  // 5 frames
  std::string m_link = m_dir.File("link.swf");
  std::string m_out = m_dir.File("out.swf");
  std::vector<std::string> m_files;
  std::vector<uint8_t> m_original;
};

// Every command that writes a file, with "OUT" for its output.
std::vector<Arguments> WritingCommands(const std::string& in) {
  return {
      {"convert", in, "-o", "OUT"},
      {"record", "--raw", "48x48", "--fps", "10", "-o", "OUT"},
      {"render", in, "--frame", "2", "-o", "OUT"},
      {"delete", in, "--first-frame", "2", "--frame-count", "1", "-o", "OUT"},
      {"insert", in, "--at", "0.1", "--movie", in, "-o", "OUT"},
      {"merge", in, in, "-o", "OUT"},
      {"split", in, "--at", "0.2", "-o", "OUT", "OUT2"},
      {"dump", in, "-o", "OUT"},
  };
}

Arguments WithOutput(Arguments arguments, const std::string& out, const std::string& out2) {
  for (std::string& word : arguments) word = word == "OUT" ? out : word == "OUT2" ? out2 : word;
  return arguments;
}

TEST_F(OutputSafety, FailedWritesNameTheOutputAndLeaveNothing) {
  struct Target {
    std::string out;
    long fileSizeLimit;
    std::string reason;
  };
  const Target targets[] = {{m_out, 500, "File too large"},
                            {"/dev/full", -1, "No space left on device"}};
  for (const Target& target : targets) {
    for (const Arguments& command : WritingCommands(m_in)) {
      if (command[0] == "split" && target.out == "/dev/full") continue;  // needs two files
      SCOPED_TRACE(command[0] + " > " + target.out);
      const FmreditRunSetup setup{m_raw, target.fileSizeLimit};
      const FmreditRun run = RunFmredit(WithOutput(command, target.out, target.out + "2"), setup);
      ExpectOneLineError(run, target.out, kExitFailure);  // split: either part
      EXPECT_NE(run.err.find(": cannot write: " + target.reason), std::string::npos) << run.err;
      EXPECT_EQ(FilesIn(m_dir), m_files);
      EXPECT_EQ(ReadFileBytes(m_in), m_original);
    }
  }
}

TEST_F(OutputSafety, NewFilesGetTheUmasksPermissionsAndReplacedOnesKeepTheirs) {
  const std::string out = m_dir.File(std::string(247, 'o') + ".swf");  // 251 characters
  const std::string out2 = m_dir.File(std::string(250, 'p') + "2");
  const mode_t mask = umask(077);
  for (const Arguments& command : WritingCommands(m_in)) {
    SCOPED_TRACE(command[0]);
    for (const mode_t expected : {0600, 0640}) {  // new, then replacing a file of 0640
      const FmreditRun run = RunFmredit(WithOutput(command, out, out2), {m_raw});
      EXPECT_EQ(run.exitCode, 0) << run.err;
      for (const std::string& path : {out, out2}) {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) continue;  // the second part of split only
        EXPECT_EQ(info.st_mode & 07777, expected) << path;
        chmod(path.c_str(), 0640);
      }
    }
    std::filesystem::remove(out);
    std::filesystem::remove(out2);
    EXPECT_EQ(FilesIn(m_dir), m_files);
  }
  umask(mask);
}

TEST_F(OutputSafety, InputsLinksDevicesAndStandardOutput) {
  struct Case {
    Arguments arguments;
    int exitCode;
    std::string stdoutStart;  // what standard output begins with
  };
  const std::string png = m_dir.File("in.png");
  const std::string frames = m_dir.File("frames");
  const std::string movieAsFrame = m_dir.File("frames/frame-00002.png");
  ASSERT_EQ(RunFmredit({"render", m_in, "--frame", "1", "-o", png}).exitCode, 0);
  std::filesystem::create_directories(frames);
  std::filesystem::copy_file(m_in, movieAsFrame);
  std::filesystem::create_symlink(m_in, m_dir.File("frames/frame-00001.png"));
  std::filesystem::create_symlink("in.png", m_dir.File("png-link.png"));
  std::filesystem::create_symlink("out.swf", m_dir.File("dangling.swf"));
  std::filesystem::create_symlink("loop.swf", m_dir.File("loop.swf"));
  const std::vector<std::string> files = FilesIn(m_dir);
  const std::vector<uint8_t> pngBytes = ReadFileBytes(png);
  const std::vector<Case> cases = {
      {{"record", "--fps", "5", "-o", png, png, png}, kExitUsage, ""},
      {{"record", "--fps", "5", "-o", m_dir.File("png-link.png"), png}, kExitUsage, ""},
      {{"split", m_in, "--at", "0.2", "-o", m_out, m_dir.File("dangling.swf")}, kExitUsage, ""},
      {{"render", m_in, "--all", "-o", frames}, kExitUsage, ""},
      {{"render", movieAsFrame, "--all", "-o", frames}, kExitUsage, ""},
      {{"convert", m_in, "-o", m_dir.File("loop.swf")}, kExitFailure, ""},
      {{"dump", m_in, "-o", m_link}, kExitUsage, ""},
      {{"render", m_in, "--frame", "1", "-o", m_in}, kExitUsage, ""},
      {{"render", m_link, "--frame", "1", "-o", m_in}, kExitUsage, ""},
      {{"convert", m_in, "-o", m_link}, kExitUsage, ""},
      {{"delete", m_in, "--first-frame", "2", "--frame-count", "1", "-o", m_link}, kExitUsage, ""},
      {{"split", m_in, "--at", "0.2", "-o", "-", m_out}, kExitUsage, ""},
      {{"convert", m_in, "-o", "/dev/null"}, kExitOk, ""},
      {{"delete", m_in, "--first-frame", "2", "--frame-count", "1", "-o", "/dev/null"},
       kExitOk,
       ""},
      {{"convert", m_link, "-o", "-"}, kExitOk, "FWS"},
      {{"render", m_in, "--frame", "1", "-o", "-"}, kExitOk, "\x89PNG"},
      {{"merge", m_in, m_in, "-o", "-"}, kExitOk, "FWS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    const FmreditRun run = RunFmredit(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_EQ(run.out.substr(0, c.stdoutStart.size()), c.stdoutStart);
    EXPECT_EQ(FilesIn(m_dir), files);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(frames), {}), 2);
    EXPECT_EQ(ReadFileBytes(m_in), m_original);
    EXPECT_EQ(ReadFileBytes(movieAsFrame), m_original);
    EXPECT_EQ(ReadFileBytes(png), pngBytes);
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File("loop.swf")));
  }
  struct stat info {};
  ASSERT_EQ(stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));

  // An edit in place through the link edits the movie it points to; the link stays.
  const FmreditRun inPlace = RunFmredit(
      {"delete", m_link, "--first-frame", "2", "--frame-count", "1", "-o", m_link, "--in-place"});
  ASSERT_EQ(inPlace.exitCode, 0) << inPlace.err;
  EXPECT_TRUE(std::filesystem::is_symlink(m_link));
  ExpectFmrMovie(m_in, 4);
  EXPECT_EQ(FilesIn(m_dir), files);
}

}  // namespace
