#include "tests/cli/CliTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/util/ZuFileStream.h"

void ExpectOneLineError(const FmreditRun& run, const std::string& text, int exitCode) {
  EXPECT_EQ(run.exitCode, exitCode) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(run.err.rfind("fmredit: ", 0), 0u) << run.err;
  if (!text.empty()) {
    EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
  }
}

std::unique_ptr<ZuTavoFile> LoadMovieFile(const std::string& path) {
  std::unique_ptr<ZuFileStream> stream(ZuFileStream::Open(path, ZuFileStream::Mode::kRead));
  auto movie = std::make_unique<ZuTavoFile>();
  EXPECT_TRUE(stream != nullptr) << path;
  if (stream) {
    EXPECT_EQ(movie->LoadFromStream(stream.get()), kZuSuccess) << movie->GetLastError();
  }
  return movie;
}
