// fmredit reads input movies through mappings; if another program shortens one during an
// edit, the system raises SIGBUS. The command must end with its one-line error and the
// failure code, not die of the signal, and leave no output at the target.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/FmreditRun.h"
#include "tests/support/TempDir.h"

namespace {

// Bytes written to the pipe and not read yet.
int Unread(int pipeEnd) {
  int count = -1;
  return ioctl(pipeEnd, FIONREAD, &count) == 0 ? count : -1;
}

TEST(FmreditInputChanged, SigbusGivesTheOneLineErrorAndNoOutput) {
  TempDir dir;
  int input[2];
  ASSERT_EQ(pipe(input), 0);
  const std::string output = dir.File("out.swf");
  // Recording from standard input (the pipe) waits for frames, so the process is alive when
  // the signal comes.
  const FmreditProcess process =
      StartFmredit({"record", "--raw", "4x4", "--fps", "1", "-o", output},
                   {.inputPath = "/proc/self/fd/" + std::to_string(input[0])});

  // One frame: once the command has read it, its main has started and the handler is in
  // place; it then waits for the next frame.
  const std::string frame(4 * 4 * 4, '\x40');
  ASSERT_EQ(write(input[1], frame.data(), frame.size()), ssize_t(frame.size()));
  for (int waited = 0; waited < 3000 && Unread(input[0]) > 0; ++waited) usleep(10 * 1000);
  ASSERT_EQ(Unread(input[0]), 0);
  ASSERT_EQ(kill(process.pid, SIGBUS), 0);
  const FmreditRun run = FinishFmredit(process);
  close(input[0]);
  close(input[1]);

  EXPECT_EQ(run.exitCode, 1);  // -7 when the signal ended it
  EXPECT_EQ(run.err, "fmredit: an input file was shortened by another program while being read\n");
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
