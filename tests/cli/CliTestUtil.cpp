#include "tests/cli/CliTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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

void WriteTenFrameMovie(const std::string& path) {
  FmrMovieBuilder builder(40, 30, 10);
  builder.KeyFrame(0x336699)
      .PartialFrame(4, 4, 8, 8, 0xFF0000)
      .PartialFrame(20, 10, 5, 3, 0x00FF00);
  builder.PartialFrame(1, 1, 2, 2, 0x0000FF).KeyFrame(0xEEEEEE).PartialFrame(1, 2, 3, 4, 0x0000FF);
  builder.PartialFrame(30, 20, 6, 6, 0x123456).PartialFrame(0, 0, 1, 1, 0x654321);
  builder.HoldFrame().StopFrame();
  builder.WriteFile(path);
  ExpectOracleAccepts(path, *builder.Build());
}

std::vector<std::string> FilesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
