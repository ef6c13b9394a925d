// fmredit export and import, run as separate processes; the videos are read back with
// FFmpeg's decoders directly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kWidth = 161;  // odd: H.264 in 4:2:0 needs the picture padded
constexpr int kHeight = 121;
constexpr int kPictures = 12;  // 14 frames with the hold and stop frames, at 10 a second

struct ExportCase {
  const char* name;
  std::vector<std::string> options;
  double minPsnr;  // 99: every pixel exact
};

class ExportTest : public testing::TestWithParam<ExportCase> {};

// Every frame the player shows is a frame of the video, at the movie's rate, as close as the
// codec promises.
TEST_P(ExportTest, VideoShowsEveryRenderedFrame) {
  TempDir dir;
  const std::string movie = dir.File("movie.swf");
  WriteTestMovie(movie, kWidth, kHeight, kPictures);
  std::vector<std::string> arguments = {"export", movie, "-o", dir.File(GetParam().name)};
  arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
  const FmreditRun run = RunFmredit(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const std::vector<ZuImage> rendered = RenderAllFrames(movie);
  double seconds = 0;
  const std::vector<ZuImage> decoded = DecodeVideo(dir.File(GetParam().name), &seconds);
  ASSERT_EQ(decoded.size(), rendered.size());
  if (seconds >= 0) {
    EXPECT_NEAR(seconds, rendered.size() / 10.0, 0.02);
  }
  for (size_t i = 0; i < decoded.size(); ++i) {
    if (GetParam().minPsnr >= 99) {
      std::string where;
      EXPECT_EQ(CountDifferentPixels(decoded[i], rendered[i], &where), 0u)
          << "frame " << i + 1 << ": " << where;
    } else {
      const double psnr = LumaPsnr(decoded[i], rendered[i]);
      EXPECT_GE(psnr, GetParam().minPsnr) << "frame " << i + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Types, ExportTest,
                         testing::Values(ExportCase{"lossless.mkv", {"--lossless"}, 99},
                                         ExportCase{"lossless.mp4", {"--lossless"}, 99},
                                         ExportCase{"lossless.webm", {"--lossless"}, 99},
                                         ExportCase{"video.apng", {}, 99},
                                         ExportCase{"video.mp4", {}, 45},
                                         ExportCase{"video.webm", {}, 45},
                                         ExportCase{"video.gif", {}, 30}),
                         [](const testing::TestParamInfo<ExportCase>& info) {
                           std::string name = info.param.name;
                           name[name.find('.')] = '_';
                           return name;
                         });

// --from and --to pick the frames that show in that time; --scale sizes the pictures.
TEST(ExportRange, TakesTheFramesOfTheTimeAsked) {
  TempDir dir;
  const std::string movie = dir.File("movie.swf");
  WriteTestMovie(movie, kWidth, kHeight, kPictures);
  const FmreditRun run = RunFmredit({"export", movie, "-o", dir.File("part.mkv"), "--lossless",
                                     "--from", "0.3", "--to", "0.8", "--scale", "20x16"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  double seconds = 0;
  const std::vector<ZuImage> decoded = DecodeVideo(dir.File("part.mkv"), &seconds);
  ASSERT_EQ(decoded.size(), 5u);  // frames 4 to 8
  EXPECT_EQ(decoded[0].GetWidth(), 20);
  EXPECT_EQ(decoded[0].GetHeight(), 16);
}

// A lossless video imported gives a movie that shows its pictures exactly, then holds the
// last one for the hold and stop frames.
TEST(Import, LosslessVideoGivesItsPicturesExactly) {
  TempDir dir;
  const std::string movie = dir.File("movie.swf");
  WriteTestMovie(movie, kWidth, kHeight, kPictures);
  ASSERT_EQ(RunFmredit({"export", movie, "-o", dir.File("video.mkv"), "--lossless"}).exitCode, 0);
  double seconds = 0;
  const std::vector<ZuImage> video = DecodeVideo(dir.File("video.mkv"), &seconds);
  for (const char* depth : {"32", "16"}) {
    const std::string imported = dir.File(std::string("imported-") + depth + ".swf");
    const FmreditRun run =
        RunFmredit({"import", dir.File("video.mkv"), "-o", imported, "--depth", depth});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ExpectFmrMovie(imported, static_cast<int>(video.size()) + 2);
    if (std::string(depth) == "32") {
      const std::vector<ZuImage> frames = RenderAllFrames(imported);
      ASSERT_EQ(frames.size(), video.size() + 2);
      for (size_t i = 0; i < frames.size(); ++i) {
        std::string where;
        EXPECT_EQ(CountDifferentPixels(frames[i], video[std::min(i, video.size() - 1)], &where), 0u)
            << "frame " << i + 1 << ": " << where;
      }
    }
  }
}

// Another frame rate: each frame of the movie shows the picture of the video at its time.
TEST(Import, NewFrameRateShowsThePictureOfEachTime) {
  TempDir dir;
  const std::string movie = dir.File("movie.swf");
  WriteTestMovie(movie, kWidth, kHeight, kPictures);
  ASSERT_EQ(RunFmredit({"export", movie, "-o", dir.File("video.mkv"), "--lossless"}).exitCode, 0);
  const FmreditRun run = RunFmredit({"import", dir.File("video.mkv"), "-o", dir.File("fast.swf"),
                                     "--fps", "25", "--from", "0.2", "--to", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectFmrMovie(dir.File("fast.swf"), 20 + 2);
  const std::vector<ZuImage> source = RenderAllFrames(movie);
  const std::vector<ZuImage> frames = RenderAllFrames(dir.File("fast.swf"));
  ASSERT_EQ(frames.size(), 22u);
  for (int k = 0; k < 20; ++k) {
    // Picture i (at i / 10 s) starts at the 25 fps tick nearest to it, counted from 0.2 s;
    // frame k + 1 shows the last picture started by tick k.
    size_t picture = 0;
    while (picture + 1 < kPictures && std::llround(2.5 * (picture + 1) - 5) <= k) {
      ++picture;
    }
    std::string where;
    EXPECT_EQ(CountDifferentPixels(frames[k], source[picture], &where), 0u)
        << "frame " << k + 1 << ": " << where;
  }
}

}  // namespace
