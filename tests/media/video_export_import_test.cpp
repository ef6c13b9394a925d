// fmredit export and import, run as separate processes; the videos are read back with
// FFmpeg's decoders directly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kWidth = 161;  // odd: H.264 in 4:2:0 needs the picture padded
constexpr int kHeight = 121;
constexpr int kPictures = 12;  // 14 frames with the hold and stop frames, at 10 a second

struct ExportCase {
  const char* name;
  std::vector<std::string> options;
  double minPsnr;           // 99: every pixel exact
  bool fewColours = false;  // the movie has few enough colours for a GIF to keep them all
};

// A folder with movie.swf: kPictures pictures of kWidth x kHeight at 10 frames a second.
class MediaTest : public testing::Test {
 protected:
  void SetUp() override { WriteTestMovie(m_movie, kWidth, kHeight, kPictures); }
  // Exports the movie as a lossless video; returns its path.
  std::string LosslessVideo() {
    const std::string video = m_dir.File("video.mkv");
    EXPECT_EQ(RunFmredit({"export", m_movie, "-o", video, "--lossless"}).exitCode, 0);
    return video;
  }

  TempDir m_dir;
  std::string m_movie = m_dir.File("movie.swf");
};

class ExportTest : public MediaTest, public testing::WithParamInterface<ExportCase> {};

// Every frame the player shows is a frame of the video, at the movie's rate, as close as the
// codec promises. GIF and APNG show a frame for as long as the picture stays the same.
TEST_P(ExportTest, VideoShowsEveryRenderedFrame) {
  if (GetParam().fewColours) {
    WriteTestMovie(m_movie, kWidth, kHeight, kPictures, true);
  }
  const std::string video = m_dir.File(GetParam().name);
  std::vector<std::string> arguments = {"export", m_movie, "-o", video};
  arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
  const FmreditRun run = RunFmredit(arguments);
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const std::vector<ZuImage> rendered = RenderAllFrames(m_movie);
  double seconds = 0;
  std::vector<double> starts;
  std::vector<ZuImage> decoded = DecodeVideo(video, &seconds, &starts);
  const bool animation = video.ends_with(".gif") || video.ends_with(".apng");
  if (animation) {
    ASSERT_LT(decoded.size(), rendered.size()) << "the hold and stop frames change nothing";
    decoded = AtFrameRate(decoded, starts, 10.0, rendered.size());
  }
  ASSERT_EQ(decoded.size(), rendered.size());
  if (seconds >= 0) {
    EXPECT_NEAR(seconds, rendered.size() / 10.0, 0.02);
  }
  if (GetParam().minPsnr >= 99) ExpectSamePictures(decoded, rendered);
  for (size_t i = 0; i < decoded.size() && GetParam().minPsnr < 99; ++i) {
    EXPECT_GE(LumaPsnr(decoded[i], rendered[i]), GetParam().minPsnr) << "frame " << i + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(Types, ExportTest,
                         testing::Values(ExportCase{"lossless.mkv", {"--lossless"}, 99},
                                         ExportCase{"lossless.mp4", {"--lossless"}, 99},
                                         ExportCase{"lossless.webm", {"--lossless"}, 99},
                                         ExportCase{"video.apng", {}, 99},
                                         ExportCase{"video.mp4", {}, 45},
                                         ExportCase{"video.webm", {}, 45},
                                         ExportCase{"video.gif", {}, 30},
                                         ExportCase{"few.gif", {}, 99, true}),
                         [](const testing::TestParamInfo<ExportCase>& info) {
                           std::string name = info.param.name;
                           name[name.find('.')] = '_';
                           return name;
                         });

// --from and --to pick the frames that show in that time; --scale sizes the pictures.
TEST_F(MediaTest, ExportTakesTheFramesOfTheTimeAsked) {
  for (const char* name : {"part.mkv", "part.gif", "part.apng"}) {
    const FmreditRun run = RunFmredit({"export", m_movie, "-o", m_dir.File(name), "--from", "0.3",
                                       "--to", "0.8", "--scale", "20x16"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    double seconds = 0;
    std::vector<double> starts;
    std::vector<ZuImage> decoded = DecodeVideo(m_dir.File(name), &seconds, &starts);
    if (std::string(name) != "part.mkv") {
      EXPECT_LT(starts.back(), 0.5) << name << ": a frame past the time asked";
      decoded = AtFrameRate(decoded, starts, 10.0, 5);
    }
    ASSERT_EQ(decoded.size(), 5u) << name;  // frames 4 to 8
    EXPECT_EQ(decoded[0].GetWidth(), 20);
    EXPECT_EQ(decoded[0].GetHeight(), 16);
  }
}

// A GIF or APNG over its size limit is made again with less (frame rate, size, colours) until
// it fits, and says what it gave up; it still lasts as long as the movie. A limit nothing
// fits is refused in one line, with no file left.
TEST_F(MediaTest, SizeLimitLowersUntilTheFileFits) {
  for (const char* name : {"limited.gif", "limited.apng"}) {
    const std::string full = m_dir.File(std::string("full") + (name + 7));
    ASSERT_EQ(RunFmredit({"export", m_movie, "-o", full}).exitCode, 0);
    const uint64_t limit = std::filesystem::file_size(full) * 2 / 3;
    const std::string video = m_dir.File(name);
    const FmreditRun run =
        RunFmredit({"export", m_movie, "-o", video, "--max-size", std::to_string(limit)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_LE(std::filesystem::file_size(video), limit) << name;
    EXPECT_NE(run.out.find("\nlowered to fit "), std::string::npos) << run.out;
    std::vector<double> starts;
    double seconds = 0;
    const std::vector<ZuImage> decoded = DecodeVideo(video, &seconds, &starts);
    ASSERT_FALSE(decoded.empty()) << name;
    EXPECT_LT(starts.back(), (kPictures + 2) / 10.0) << name;

    const std::string tiny = m_dir.File(std::string("tiny") + (name + 7));
    ExpectOneLineError(RunFmredit({"export", m_movie, "-o", tiny, "--max-size", "100"}),
                       "does not fit in", 1);
    EXPECT_FALSE(std::filesystem::exists(tiny)) << name;
  }
}

// A whole project is one video: every slide in order for its duration, the last frame held to
// a longer minimum, with a chapter per slide in the file and in the chapters text beside it.
TEST_F(MediaTest, ProjectExportShowsEverySlideForItsDurationWithChapters) {
  const std::string project = m_dir.File("p.fmrproj");
  const std::string second = m_dir.File("second.swf");
  for (const std::vector<std::string>& step : std::vector<std::vector<std::string>>{
           {"delete", m_movie, "--start", "0", "--length", "0.5", "-o", second},
           {"project", "new", project},
           {"project", "add", project, m_movie, "--name", "Intro.swf"},
           {"project", "add", project, second, "--name", "Second part"},
           {"project", "set", project, "--slide", "2", "--min-duration", "1.5"}}) {
    ASSERT_EQ(RunFmredit(step).exitCode, 0) << step[1];
  }
  ExpectFmrMovie(second, kPictures + 2 - 5);
  const Pictures shown = RenderAllFrames(second);
  const Pictures held(15 - shown.size(), shown.back());
  const Pictures expected = Concat({RenderAllFrames(m_movie), shown, held});
  for (const char* name : {"all.mkv", "all.mp4"}) {
    const std::string video = m_dir.File(name);
    const FmreditRun run = RunFmredit({"project", "export", project, "-o", video, "--lossless"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string chapters = m_dir.File("all.chapters.txt");
    EXPECT_EQ(run.out, "wrote " + video + "\nwrote " + chapters + "\n");
    EXPECT_EQ(ReadFileText(chapters), "0:00 Intro\n0:01 Second part\n");
    EXPECT_EQ(ReadChapters(video), "0 Intro\n1.4 Second part\n") << name;
    double seconds = 0;
    ExpectSamePictures(DecodeVideo(video, &seconds), expected);
  }
  // As a GIF, each slide's frames show for its duration too, the held ones in one frame.
  const std::string gif = m_dir.File("all.gif");
  ASSERT_EQ(RunFmredit({"project", "export", project, "-o", gif}).exitCode, 0);
  std::vector<double> starts;
  double seconds = 0;
  const Pictures decoded = DecodeVideo(gif, &seconds, &starts);
  ASSERT_LT(decoded.size(), expected.size());
  const Pictures byTime = AtFrameRate(decoded, starts, 10.0, expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_GE(LumaPsnr(byTime[i], expected[i]), 30) << "frame " << i + 1;
  }
}

// A lossless video imported gives a movie that shows its pictures exactly, then holds the
// last one for the hold and stop frames.
TEST_F(MediaTest, ImportOfALosslessVideoGivesItsPicturesExactly) {
  const std::string video = LosslessVideo();
  double seconds = 0;
  const Pictures pictures = DecodeVideo(video, &seconds);
  ASSERT_FALSE(pictures.empty());
  for (const char* depth : {"32", "16"}) {
    const std::string imported = m_dir.File(std::string("imported-") + depth + ".swf");
    const FmreditRun run = RunFmredit({"import", video, "-o", imported, "--depth", depth});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ExpectFmrMovie(imported, static_cast<int>(pictures.size()) + 2);
    if (std::string(depth) == "32") {
      ExpectSamePictures(RenderAllFrames(imported),
                         Concat({pictures, {pictures.back(), pictures.back()}}));
    }
  }
}

// Another frame rate: each frame of the movie shows the picture of the video at its time.
TEST_F(MediaTest, ImportAtAnotherFrameRateShowsThePictureOfEachTime) {
  const FmreditRun run = RunFmredit({"import", LosslessVideo(), "-o", m_dir.File("fast.swf"),
                                     "--fps", "25", "--from", "0.2", "--to", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectFmrMovie(m_dir.File("fast.swf"), 20 + 2);
  const Pictures source = RenderAllFrames(m_movie);
  Pictures expected;
  for (int k = 0; k < 22; ++k) {
    // Picture i (at i / 10 s) starts at the 25 fps tick nearest to it, counted from 0.2 s;
    // frame k + 1 shows the last picture started by tick k (the last two hold the last).
    size_t picture = 0;
    while (picture + 1 < kPictures && std::llround(2.5 * (picture + 1) - 5) <= std::min(k, 19)) {
      ++picture;
    }
    expected.push_back(source.at(picture));
  }
  ExpectSamePictures(RenderAllFrames(m_dir.File("fast.swf")), expected);
}

}  // namespace
