// The recorded pointer, click rings and key captions in fmredit render and export: drawn by
// the movie's own settings unless the options say otherwise, the same in every output.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
#include "host/pointer/ZuPointerTags.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/Oracle.h"
#include "tests/support/PointerFixture.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kWidth = 161;
constexpr int kHeight = 121;
constexpr int kPictures = 28;  // at 10 a second: a caption's 1.5 s fits with time to spare
constexpr int kPressAt = 4;
constexpr int kKeysAt = 8;

// kPictures pictures: a still one of few colours, or a gradient with a square moving over it.
Pictures MoviePictures(bool still) {
  Pictures pictures;
  for (int n = 0; n < kPictures; ++n) {
    ZuImage picture(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        uint8_t* pixel = picture.Row(y) + ptrdiff_t{4} * x;
        const bool square = !still && x >= 3 * n && x < 3 * n + 10 && y >= 20 && y < 40;
        pixel[0] = square ? 230 : static_cast<uint8_t>(still ? (x / 40) * 60 : x);
        pixel[1] = square ? 40 : static_cast<uint8_t>(still ? 90 : y * 2);
        pixel[2] = 160;
        pixel[3] = 255;
      }
    }
    pictures.push_back(picture);
  }
  return pictures;
}

class PointerExportTest : public testing::Test {
 protected:
  // Writes movie.swf with the known track (the settings stored with it as given).
  void WriteMovie(bool still, const ZuOverlaySettings& settings = {}) {
    std::unique_ptr<ZuTavoFile> movie = RecordFrames(MoviePictures(still), 32, 30);
    ASSERT_TRUE(movie != nullptr);
    ZuPointerTrack track = KnownPointerTrack(movie->GetFrameCount(), kPressAt, kKeysAt);
    track.settings = settings;
    ASSERT_EQ(ZuPutPointerTrack(*movie, track), "");
    WriteMovieFile(*movie, m_movie);
    ExpectOracleAccepts(m_movie, *movie);
  }

  // Every frame as fmredit render --all draws it with options.
  Pictures Rendered(const std::vector<std::string>& options) {
    const std::string folder = m_dir.File("frames" + std::to_string(++m_renders));
    std::vector<std::string> arguments = {"render", m_movie, "--all", "-o", folder};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const FmreditRun run = RunFmredit(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    Pictures frames;
    for (int frame = 1;; ++frame) {
      char name[32];
      std::snprintf(name, sizeof name, "frame-%05d.png", frame);
      const std::string path = (std::filesystem::path(folder) / name).string();
      if (!std::filesystem::exists(path)) break;
      std::string error;
      std::unique_ptr<ZuImage> picture = ZuPng::Read(path, &error);
      EXPECT_TRUE(picture != nullptr) << error;
      if (picture) frames.push_back(*picture);
    }
    return frames;
  }

  // The frames of the video name that fmredit writes with command (export by default) and
  // options, one per movie frame.
  Pictures Exported(const std::string& name, const std::vector<std::string>& options, size_t frames,
                    std::vector<std::string> command = {}) {
    const std::string video = m_dir.File(name);
    if (command.empty()) command = {"export", m_movie};
    std::vector<std::string> arguments = command;
    arguments.insert(arguments.end(), {"-o", video});
    arguments.insert(arguments.end(), options.begin(), options.end());
    const FmreditRun run = RunFmredit(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    double seconds = 0;
    std::vector<double> starts;
    std::vector<ZuImage> decoded = DecodeVideo(video, &seconds, &starts);
    if (!name.ends_with(".mkv")) decoded = AtFrameRate(decoded, starts, 10.0, frames);
    return decoded;
  }

  TempDir m_dir;
  std::string m_movie = m_dir.File("movie.swf");
  int m_renders = 0;
};

// What each frame index shows with the options: the pointer (when shown), a ring for the
// 0.4 s after the press, the caption for the 1.5 s after the keys.
struct RenderCase {
  const char* name;
  ZuOverlaySettings stored;  // the movie's own
  std::vector<std::string> options;
  OverlayShows pointer;  // at the frames without a ring or caption
  bool clicks;
  bool keys;
};

OverlayShows ShownAt(const RenderCase& test, int index) {
  if (test.clicks && index >= kPressAt && index < kPressAt + 4) return OverlayShows::kRing;
  if (test.keys && index >= kKeysAt && index < kKeysAt + 15) return OverlayShows::kCaption;
  return test.pointer;
}

TEST_F(PointerExportTest, RenderDrawsTheOverlayTheSettingsAsk) {
  ZuOverlaySettings largeWithClicks;
  largeWithClicks.pointer = ZuPointerLook::kLarge;
  largeWithClicks.clicks = true;
  const RenderCase cases[] = {
      {"stored defaults", {}, {}, OverlayShows::kPointer, false, false},
      {"shown",
       largeWithClicks,
       {"--pointer", "show", "--no-clicks"},
       OverlayShows::kPointer,
       false,
       false},
      {"large", {}, {"--pointer", "large"}, OverlayShows::kLargePointer, false, false},
      {"hidden", {}, {"--pointer", "hide"}, OverlayShows::kNothing, false, false},
      {"clicks", {}, {"--pointer=hide", "--clicks"}, OverlayShows::kNothing, true, false},
      {"keys", {}, {"--pointer", "hide", "--keys-overlay"}, OverlayShows::kNothing, false, true},
  };
  for (const RenderCase& test : cases) {
    SCOPED_TRACE(test.name);
    WriteMovie(false, test.stored);
    const Pictures plain = RenderAllFrames(m_movie);
    const Pictures drawn = Rendered(test.options);
    ASSERT_EQ(drawn.size(), plain.size());
    for (int index = 0; index < static_cast<int>(plain.size()); ++index) {
      SCOPED_TRACE("frame " + std::to_string(index + 1));
      ExpectOverlayShows(ShownAt(test, index), index, kPressAt, drawn[index], plain[index]);
    }
  }
}

// The movie's own settings count where no option is given: here large with click rings.
TEST_F(PointerExportTest, RenderKeepsTheMoviesOwnSettings) {
  ZuOverlaySettings stored;
  stored.pointer = ZuPointerLook::kLarge;
  stored.clicks = true;
  WriteMovie(false, stored);
  const Pictures plain = RenderAllFrames(m_movie);
  const Pictures drawn = Rendered({});
  ASSERT_EQ(drawn.size(), plain.size());
  ExpectOverlayShows(OverlayShows::kLargePointer, 1, kPressAt, drawn[1], plain[1]);
  const ZuPixelRect ring = DifferenceBounds(drawn[kPressAt + 1], plain[kPressAt + 1]);
  EXPECT_GT(ring.Width(), 2 * kPointerSolid + 2) << "a ring around the large pointer";
}

// Exports show what render draws with the same options; GIF and APNG only keep what changed
// from frame to frame, so a pointer moving over a still picture tests what the overlay
// reports as changed.
TEST_F(PointerExportTest, ExportsShowWhatRenderDraws) {
  struct Case {
    const char* name;
    bool still;
    std::vector<std::string> options;
  };
  const std::vector<std::string> all = {"--pointer", "large=2.5", "--clicks", "--keys-overlay"};
  const Case cases[] = {
      {"moving.mkv", false, {"--lossless", "--pointer", "large=2.5", "--clicks", "--keys-overlay"}},
      {"moving.apng", false, all},
      {"still.apng", true, all},
      {"still.gif", true, {"--pointer", "show"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    WriteMovie(test.still);
    std::vector<std::string> renderOptions = test.options;
    std::erase(renderOptions, "--lossless");
    const Pictures rendered = Rendered(renderOptions);
    ASSERT_GT(rendered.size(), size_t{kPictures});
    ExpectSamePictures(Exported(test.name, test.options, rendered.size()), rendered);
  }
}

// A project's export, of one slide or of all, takes the same options.
TEST_F(PointerExportTest, ProjectExportsDrawTheOverlayAsAsked) {
  WriteMovie(false);
  const std::string project = m_dir.File("p.fmrproj");
  ASSERT_EQ(RunFmredit({"project", "new", project}).exitCode, 0);
  ASSERT_EQ(RunFmredit({"project", "add", project, m_movie}).exitCode, 0);
  const std::vector<std::string> options = {"--pointer", "large", "--clicks", "--keys-overlay"};
  const Pictures rendered = Rendered(options);
  ASSERT_GT(rendered.size(), size_t{kPictures});
  const std::vector<std::string> lossless = {"--lossless", "--pointer", "large", "--clicks",
                                             "--keys-overlay"};
  ExpectSamePictures(Exported("slide.mkv", lossless, rendered.size(),
                              {"project", "export", project, "--slide", "1"}),
                     rendered);
  ExpectSamePictures(Exported("all.apng", options, rendered.size(), {"project", "export", project}),
                     rendered);
  ExpectOneLineError(RunFmredit({"project", "export", project, "--slide", "1", "-o",
                                 m_dir.File("slide.swf"), "--pointer", "hide"}),
                     "the pointer options are for video files", 2);
}

TEST_F(PointerExportTest, BadPointerOptionsAreRefusedInOneLine) {
  WriteMovie(true);
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{"render", m_movie, "--frame", "1", "-o", m_dir.File("a.png"), "--pointer", "big"},
       "give hide, show, large or large=SCALE"},
      {{"export", m_movie, "-o", m_dir.File("a.gif"), "--pointer", "large=4"},
       "with SCALE from 1.5 to 3, not 'large=4'"},
      {{"export", m_movie, "-o", m_dir.File("b.gif"), "--pointer", "show=2"}, "not 'show=2'"},
  };
  for (const auto& test : cases) {
    ExpectOneLineError(RunFmredit(test.arguments), test.message, 2);
  }
}

}  // namespace
