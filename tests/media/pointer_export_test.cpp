// The recorded pointer, click rings and key captions in fmredit render and export: drawn by
// the movie's own settings unless the options say otherwise, the same in every output.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/image/ZuPng.h"
#include "host/pointer/ZuPointerTags.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/Oracle.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kWidth = 161;
constexpr int kHeight = 121;
constexpr int kPictures = 28;  // at 10 a second: a caption's 1.5 s fits with time to spare
constexpr int kPressAt = 4;    // frame indexes (from 0) of the press and of "Ctrl+S"
constexpr int kKeysAt = 8;
// The pointer: 6 x 6 pixels of this colour, its hot spot at (1, 1); it moves right a pixel a
// frame from (40, 30).
constexpr uint8_t kPointerRgba[4] = {200, 30, 40, 255};
constexpr int kSolid = 6;
constexpr int kPointerX = 40;  // at frame index 0
constexpr int kPointerY = 30;

ZuPointerTrack KnownTrack(int frames, const ZuOverlaySettings& settings = {}) {
  ZuPointerShape shape{kSolid, kSolid, 1, 1, {}};
  for (int pixel = 0; pixel < kSolid * kSolid; ++pixel) {
    shape.rgba.insert(shape.rgba.end(), kPointerRgba, kPointerRgba + 4);
  }
  ZuPointerTrack track;
  track.settings = settings;
  const int index = track.AddShape(shape);
  for (int n = 0; n < frames; ++n) {
    ZuPointerFrame frame{true, kPointerX + n, kPointerY, index};
    frame.pressed = n == kPressAt ? kZuLeftButton : 0;
    if (n == kKeysAt) frame.keys = {"Ctrl+S"};
    track.frames.push_back(frame);
  }
  return track;
}

// The smallest rectangle holding every pixel in which a and b (of one size) differ.
ZuPixelRect DifferenceBounds(const ZuImage& a, const ZuImage& b) {
  ZuPixelRect bounds;
  for (int y = 0; y < a.GetHeight(); ++y) {
    for (int x = 0; x < a.GetWidth(); ++x) {
      const ptrdiff_t at = ptrdiff_t{4} * x;
      if (!std::equal(a.Row(y) + at, a.Row(y) + at + 4, b.Row(y) + at)) {
        bounds = bounds.Union({x, y, x + 1, y + 1});
      }
    }
  }
  return bounds;
}

// What a frame shows over the player's picture.
enum class Shows { kNothing, kPointer, kLargePointer, kRing, kCaption };

void ExpectShows(Shows shows, int index, const ZuImage& drawn, const ZuImage& plain) {
  const ZuPixelRect changed = DifferenceBounds(drawn, plain);
  const auto isPointer = [&drawn](int x, int y) {
    return std::equal(kPointerRgba, kPointerRgba + 4, drawn.Row(y) + ptrdiff_t{4} * x);
  };
  const int scale = shows == Shows::kLargePointer ? 2 : 1;
  const int left = (kPointerX + index) - scale;  // the hot spot (1, 1) stays put
  const int top = kPointerY - scale;
  switch (shows) {
    case Shows::kNothing:
      EXPECT_TRUE(changed.IsEmpty());
      break;
    case Shows::kPointer:
    case Shows::kLargePointer:  // smooth scaling may blur the edge by a pixel
      EXPECT_NEAR(changed.left, left, scale - 1);
      EXPECT_NEAR(changed.top, top, scale - 1);
      EXPECT_NEAR(changed.Width(), scale * kSolid, scale - 1);
      EXPECT_NEAR(changed.Height(), scale * kSolid, scale - 1);
      EXPECT_TRUE(isPointer(left + scale - 1, top + scale - 1));
      EXPECT_TRUE(isPointer(left + scale * kSolid - scale, top + scale * kSolid - scale));
      break;
    case Shows::kRing:  // centred on the press
      EXPECT_NEAR((changed.left + changed.right) / 2.0, (kPointerX + kPressAt), 1.5);
      EXPECT_NEAR((changed.top + changed.bottom) / 2.0, kPointerY, 1.5);
      break;
    case Shows::kCaption:  // centred in the bottom third
      EXPECT_GE(changed.top, kHeight * 2 / 3);
      EXPECT_LE(changed.bottom, kHeight);
      EXPECT_NEAR(changed.left, kWidth - changed.right, 2);
      break;
  }
}

class PointerExportTest : public testing::Test {
 protected:
  // Writes movie.swf with the known track and, stored with it, settings: a still picture of few
  // colours, or a gradient with a square moving over it.
  void WriteMovie(bool still, const ZuOverlaySettings& settings = {}) {
    WriteTestMovie(m_dir.File("plain.swf"), kWidth, kHeight, kPictures, still, still);
    std::unique_ptr<ZuTavoFile> movie = LoadMovieFile(m_dir.File("plain.swf"));
    ASSERT_TRUE(movie != nullptr);
    ASSERT_EQ(ZuPutPointerTrack(*movie, KnownTrack(movie->GetFrameCount(), settings)), "");
    WriteMovieFile(*movie, m_movie);
    ExpectOracleAccepts(m_movie, *movie);
  }

  // Runs fmredit command -o output options.
  static void Run(std::vector<std::string> command, const std::string& output,
                  const std::vector<std::string>& options) {
    command.insert(command.end(), {"-o", output});
    command.insert(command.end(), options.begin(), options.end());
    const FmreditRun run = RunFmredit(command);
    EXPECT_EQ(run.exitCode, 0) << run.err;
  }

  // Every frame as fmredit render --all draws it with options.
  Pictures Rendered(const std::vector<std::string>& options) {
    const std::string folder = m_dir.File("frames" + std::to_string(++m_renders));
    Run({"render", m_movie, "--all"}, folder, options);
    Pictures frames;
    std::string error;
    for (int frame = 1; frame <= kPictures + 2; ++frame) {
      char name[32];
      std::snprintf(name, sizeof name, "/frame-%05d.png", frame);
      std::unique_ptr<ZuImage> picture = ZuPng::Read(folder + name, &error);
      if (!picture) break;
      frames.push_back(*picture);
    }
    EXPECT_EQ(frames.size(), size_t{kPictures + 2}) << error;
    return frames;
  }

  // The frames, one per movie frame, of the video name that command writes with options.
  Pictures Exported(const std::string& name, const std::vector<std::string>& command,
                    const std::vector<std::string>& options) {
    Run(command, m_dir.File(name), options);
    double seconds = 0;
    std::vector<double> starts;
    std::vector<ZuImage> decoded = DecodeVideo(m_dir.File(name), &seconds, &starts);
    if (!name.ends_with(".mkv")) decoded = AtFrameRate(decoded, starts, 10.0, kPictures + 2);
    return decoded;
  }

  TempDir m_dir;
  std::string m_movie = m_dir.File("movie.swf");
  int m_renders = 0;
};

TEST_F(PointerExportTest, RenderDrawsTheOverlayTheSettingsAsk) {
  ZuOverlaySettings large;
  large.pointer = ZuPointerLook::kLarge;
  ZuOverlaySettings largeWithClicks = large;
  largeWithClicks.clicks = true;
  const struct {
    const char* name;
    ZuOverlaySettings stored;  // the movie's own
    std::vector<std::string> options;
    Shows pointer;  // at the frames without a ring (0.4 s from the press) or caption (1.5 s)
    bool clicks, keys;
  } cases[] = {
      // clang-format off
      {"stored defaults", {}, {}, Shows::kPointer, false, false},
      {"stored large", large, {}, Shows::kLargePointer, false, false},
      {"shown", largeWithClicks, {"--pointer", "show", "--no-clicks"}, Shows::kPointer, false, false},
      {"large", {}, {"--pointer", "large"}, Shows::kLargePointer, false, false},
      {"hidden", {}, {"--pointer", "hide"}, Shows::kNothing, false, false},
      {"clicks", {}, {"--pointer=hide", "--clicks"}, Shows::kNothing, true, false},
      {"keys", {}, {"--pointer", "hide", "--keys-overlay"}, Shows::kNothing, false, true},
      // clang-format on
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    WriteMovie(false, test.stored);
    const Pictures plain = RenderAllFrames(m_movie);
    const Pictures drawn = Rendered(test.options);
    ASSERT_EQ(drawn.size(), plain.size());
    for (int n = 0; n < static_cast<int>(plain.size()); ++n) {
      SCOPED_TRACE("frame " + std::to_string(n + 1));
      const bool ring = test.clicks && n >= kPressAt && n < kPressAt + 4;
      const bool caption = test.keys && n >= kKeysAt && n < kKeysAt + 15;
      ExpectShows(ring      ? Shows::kRing
                  : caption ? Shows::kCaption
                            : test.pointer,
                  n, drawn[n], plain[n]);
    }
  }
}

// Exports and project exports show what render draws with the same options. GIF and APNG
// keep only what changed from frame to frame, so a pointer moving over a still picture tests
// what the overlay reports as changed.
TEST_F(PointerExportTest, ExportsShowWhatRenderDraws) {
  const std::vector<std::string> all = {"--pointer", "large=2.5", "--clicks", "--keys-overlay"};
  const std::string project = m_dir.File("p.fmrproj");
  const std::vector<std::string> file = {"export", m_movie};
  const std::vector<std::string> slide = {"project", "export", project, "--slide", "1"};
  const std::vector<std::string> whole = {"project", "export", project};
  const struct {
    const char* name;
    bool still;
    std::vector<std::string> command;
  } cases[] = {
      {"moving.mkv", false, file}, {"moving.apng", false, file}, {"still.apng", true, file},
      {"still.gif", true, file},   {"slide.mkv", false, slide},  {"whole.apng", false, whole},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    WriteMovie(test.still);
    if (test.command != file) {
      std::filesystem::remove(project);
      ASSERT_EQ(RunFmredit({"project", "new", project}).exitCode, 0);
      ASSERT_EQ(RunFmredit({"project", "add", project, m_movie}).exitCode, 0);
    }
    // A GIF keeps every colour of few: the pointer's over the still picture's.
    const std::string name = test.name;
    const std::vector<std::string> options =
        name.ends_with(".gif") ? std::vector<std::string>{"--pointer", "show"} : all;
    std::vector<std::string> exportOptions = options;
    if (name.ends_with(".mkv")) exportOptions.push_back("--lossless");
    ExpectSamePictures(Exported(name, test.command, exportOptions), Rendered(options));
  }
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
