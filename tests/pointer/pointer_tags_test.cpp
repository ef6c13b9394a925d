// The pointer track in a movie: what is written reads back the same, never shows in the
// player's pictures, and goes with its frames when frames are dropped.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"
#include "retime/FrameDrop.h"
#include "tests/support/Oracle.h"
#include "tests/support/PointerTracks.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/ScreenFrames.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kWidth = 21;
constexpr int kHeight = 13;
constexpr int kPictures = 15;  // the recorder adds a hold and a stop frame

std::unique_ptr<ZuTavoFile> RecordMovie() {
  return RecordFrames(MakeScreenFrames(kWidth, kHeight, kPictures, 7), 32, 3);
}

// Each frame's pointer with its shape's pixels in place of the shape's index, so that tracks
// whose shapes are numbered otherwise compare equal.
struct ResolvedFrame {
  ZuPointerFrame frame;
  ZuPointerShape shape;
  bool operator==(const ResolvedFrame&) const = default;
};
std::vector<ResolvedFrame> Resolve(const ZuPointerTrack& track) {
  std::vector<ResolvedFrame> frames;
  for (ZuPointerFrame frame : track.frames) {
    ZuPointerShape shape;
    if (frame.shown) {
      shape = track.shapes.at(static_cast<size_t>(frame.shape));
    }
    frame.shape = 0;
    frames.push_back({frame, shape});
  }
  return frames;
}

// Fails the test at the first frame whose pointer differs.
void ExpectSameFrames(const ZuPointerTrack& got, const ZuPointerTrack& want) {
  const std::vector<ResolvedFrame> a = Resolve(got);
  const std::vector<ResolvedFrame> b = Resolve(want);
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    ASSERT_TRUE(a[i] == b[i]) << "frame " << i << " differs";
  }
}

ZuPointerTrack WithSettings(ZuPointerTrack track, ZuPointerLook look, double scale, bool clicks,
                            bool keys) {
  track.settings = {look, scale, clicks, keys};
  return track;
}

ZuPointerTrack KeysOnly(int frames) {
  ZuPointerTrack track;
  track.frames.resize(static_cast<size_t>(frames));
  track.frames[3].keys = {"Ctrl+Shift+T", "Escape"};
  track.frames[9].keys = {"Alt+Tab"};
  return track;
}

TEST(PointerTags, TracksReadBackAsWrittenAndStayOutOfPictures) {
  const TempDir dir("pointer");
  const int frames = kPictures + 2;
  const ZuPointerTrack moving = MakePointerTrack(frames, kWidth, kHeight, 1);
  struct Row {
    const char* name;
    ZuPointerTrack track;
  };
  const std::vector<Row> rows = {
      {"moving, pressing and typing", moving},
      {"large, with clicks and keys", WithSettings(moving, ZuPointerLook::kLarge, 2.5, true, true)},
      {"hidden", WithSettings(moving, ZuPointerLook::kHide, 2, false, false)},
      {"keys without a pointer", KeysOnly(frames)},
      {"no track", {}},
  };
  const std::unique_ptr<ZuTavoFile> plain = RecordMovie();
  const std::string plainPath = dir.Path() + "/plain.swf";
  WriteMovieFile(*plain, plainPath);
  const Pictures plainPictures = RenderAllFrames(plainPath);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<ZuTavoFile> movie = RecordMovie();
    ASSERT_EQ(ZuPutPointerTrack(*movie, row.track), "");
    const std::string path = dir.Path() + "/movie.swf";
    WriteMovieFile(*movie, path);
    ExpectOracleAccepts(path, *movie);

    ZuTavoFile loaded;
    ASSERT_EQ(ReadMovie(path, loaded), "");
    const ZuPointerTrack read = ZuReadPointerTrack(loaded);
    ExpectSameFrames(read, row.track);
    EXPECT_EQ(read.settings, row.track.settings);
    EXPECT_EQ(read.KeyPressCount(), row.track.KeyPressCount());
    ExpectSamePictures(RenderAllFrames(path), plainPictures);

    // Taken out, the movie has the recorder's tags again.
    ZuPointerTrack taken = ZuTakePointerTrack(loaded);
    ExpectSameFrames(taken, read);
    EXPECT_EQ(loaded.GetTagCount(), plain->GetTagCount());
  }
}

TEST(PointerTags, TracksThatDoNotFitTheMovieAreRefused) {
  const int frames = kPictures + 2;
  ZuPointerTrack badShape = MakePointerTrack(frames, kWidth, kHeight, 2);
  badShape.shapes[0].rgba.pop_back();
  ZuPointerTrack missingShape = MakePointerTrack(frames, kWidth, kHeight, 3);
  missingShape.frames[1].shown = true;
  missingShape.frames[1].shape = 7;
  const struct {
    ZuPointerTrack track;
    std::string refusal;
  } rows[] = {
      {MakePointerTrack(frames - 1, kWidth, kHeight, 4),
       "the pointer track has 16 frames for a movie of 17"},
      {badShape, "a pointer shape of the track has no pixels of its size"},
      {missingShape, "a frame of the pointer track names a shape it does not hold"},
  };
  for (const auto& row : rows) {
    std::unique_ptr<ZuTavoFile> movie = RecordMovie();
    const size_t tags = movie->GetTagCount();
    EXPECT_EQ(ZuPutPointerTrack(*movie, row.track), row.refusal);
    EXPECT_EQ(movie->GetTagCount(), tags);
  }
}

TEST(PointerTags, DroppedFramesGiveTheirPressesAndKeysToTheNextKeptFrame) {
  std::unique_ptr<ZuTavoFile> movie = RecordMovie();
  const int frames = kPictures + 2;
  ZuPointerTrack track = MakePointerTrack(frames, kWidth, kHeight, 5);
  for (ZuPointerFrame& frame : track.frames) {
    frame.pressed = 0;
    frame.keys.clear();
  }
  track.frames[4].keys = {"Ctrl+C"};
  track.frames[4].pressed = kZuLeftButton;
  track.frames[5].keys = {"Ctrl+V"};
  track.frames[6].keys = {"Return"};
  track.frames[6].pressed = kZuRightButton;
  ASSERT_EQ(ZuPutPointerTrack(*movie, track), "");
  std::vector<bool> keep(static_cast<size_t>(frames), true);
  keep[4] = keep[5] = false;
  ASSERT_EQ(DropFrames(*movie, keep), "");

  const ZuPointerTrack dropped = ZuReadPointerTrack(*movie);
  ASSERT_EQ(dropped.frames.size(), static_cast<size_t>(frames - 2));
  const ZuPointerFrame& joined = dropped.frames[4];
  EXPECT_EQ(joined.keys, (std::vector<std::string>{"Ctrl+C", "Ctrl+V", "Return"}));
  EXPECT_EQ(joined.pressed, kZuLeftButton | kZuRightButton);
  EXPECT_EQ(joined.x, track.frames[6].x);
  EXPECT_EQ(joined.y, track.frames[6].y);
  EXPECT_EQ(dropped.KeyPressCount(), 3);
}

}  // namespace
