#include "tests/cli/CliTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/player/ZuAnimationUtils.h"
#include "host/util/ZuFileStream.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/Oracle.h"
#include "tests/support/TempDir.h"

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

void ExpectFmrMovie(const std::string& path, int frames) {
  SCOPED_TRACE(path);
  const std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(path);
  EXPECT_EQ(movie->GetFrameCount(), frames);
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(*movie));
  ExpectOracleAccepts(path, *movie);
}

void WriteFmrMovie(const std::string& path, int frames, int blockFrames, uint16_t width,
                   uint16_t height) {
  const FmrMovieBuilder builder = FmrMovieBuilder::Simple(frames, blockFrames, width, height);
  builder.WriteFile(path);
  ExpectOracleAccepts(path, *builder.Build());
}
