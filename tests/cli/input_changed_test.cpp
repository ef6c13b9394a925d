// fmredit reads input movies through mappings; if another program shortens one during an
// edit, the system raises SIGBUS. The command must end with its one-line error and the
// failure code, not die of the signal, and leave no output at the target.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"

extern char** environ;

namespace {

// Bytes written to the pipe and not read yet.
int Unread(int pipeEnd) {
  int count = -1;
  return ioctl(pipeEnd, FIONREAD, &count) == 0 ? count : -1;
}

TEST(FmreditInputChanged, SigbusGivesTheOneLineErrorAndNoOutput) {
  TempDir dir;
  int input[2];
  int errors[2];
  ASSERT_EQ(pipe(input), 0);
  ASSERT_EQ(pipe(errors), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, input[1]);
  posix_spawn_file_actions_addclose(&actions, errors[0]);
  const std::string output = dir.File("out.swf");
  // Recording from standard input waits for frames, so the process is alive when the
  // signal comes.
  std::string binary = ZU_FMREDIT_BINARY;
  std::string args[] = {binary, "record", "--raw", "4x4", "--fps", "1", "-o", output};
  char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), args[4].data(),
                  args[5].data(), args[6].data(), args[7].data(), nullptr};
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, binary.c_str(), &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(errors[1]);

  // One frame: once the command has read it, its main has started and the handler is in
  // place; it then waits for the next frame.
  const std::string frame(4 * 4 * 4, '\x40');
  ASSERT_EQ(write(input[1], frame.data(), frame.size()), ssize_t(frame.size()));
  for (int waited = 0; waited < 3000 && Unread(input[0]) > 0; ++waited) usleep(10 * 1000);
  ASSERT_EQ(Unread(input[0]), 0);
  ASSERT_EQ(kill(child, SIGBUS), 0);

  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  close(input[0]);
  close(input[1]);
  close(errors[0]);

  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(text, "fmredit: an input file was shortened by another program while being read\n");
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
