// Frames and the display list: placing, moving, replacing and removing at depths, going
// forward and back, recorded movies of several blocks, what is decoded when, and input
// the player refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "host/player/ZuTavoPlayer.h"
#include "tests/player/PlayerTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmrMovieBuilder.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/ScreenFrames.h"
#include "tests/support/TempDir.h"

namespace {

ZuSwfTag* Square(uint16_t id, uint32_t rgba) {
  return ShapeWriter().Solid(rgba).Styles(0, 1).Rect(10, 10, 10, 10).Tag(id);
}

// Each frame changes the display list; the probes say what two pixels show after it.
struct FrameCase {
  const char* change;
  Rgba atSquare;  // pixel (15, 15)
  Rgba besideIt;  // pixel (35, 15)
};

TEST(PlayerTimeline, DepthsArePlacedMovedReplacedAndRemoved) {
  ZuSwfMatrix right = Matrix(1, 1, 0, 0, 20, 0);
  ZuSwfMatrix home;
  // The first background colour counts; a movie without one shows white (PlayerBitmaps).
  const Rgba background{0x33, 0x66, 0x99, 255};
  TestMovie movie(50, 30);
  movie.Add(MakeBackgroundTag(0x336699)).Add(MakeBackgroundTag(0x000000));
  movie.Add(Square(1, 0xFF0000FF)).Add(Square(2, 0x00FF00FF)).Add(Square(3, 0x0000FFFF));
  // 1: red at depth 2 above green at depth 1.
  movie.Place(2, 1).Place(1, 2).Frame();
  // 2: the red depth is emptied.
  movie.Add(FmrMovieBuilder::MakeRemoveObject2(2)).Frame();
  // 3: red again at depth 3, moved right.
  movie.Add(MakePlaceTag({3, 1, false, &right})).Frame();
  // 4: depth 3 is moved back without naming its character.
  movie.Add(MakePlaceTag({3, 0, true, &home})).Frame();
  // 5: depth 3 gets the blue square and keeps its matrix.
  movie.Add(MakePlaceTag({3, 3, true})).Frame();
  // 6: depth 3 moves right again, still blue.
  movie.Add(MakePlaceTag({3, 0, true, &right})).Frame();
  // 7: a move at an empty depth changes nothing; depth 1 is replaced by blue.
  movie.Add(MakePlaceTag({9, 0, true, &right}))
      .Add(FmrMovieBuilder::MakeRemoveObject2(1))
      .Place(1, 3)
      .Frame();
  const FrameCase frames[] = {
      {"red over green", kRedPixel, background},
      {"red removed", kGreenPixel, background},
      {"red placed to the right", kGreenPixel, kRedPixel},
      {"red moved back", kRedPixel, background},
      {"character replaced, matrix kept", kBluePixel, background},
      {"blue moved right", kGreenPixel, kBluePixel},
      {"depth 1 replaced", kBluePixel, kBluePixel},
  };
  std::unique_ptr<ZuTavoPlayer> player = PlayFromFile(movie.Movie());
  ASSERT_NE(player, nullptr);
  // In order, then backwards, then in a scrambled order: always the same pictures.
  for (int frame : {1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 5, 2, 7, 1, 6, 3, 4}) {
    const FrameCase& c = frames[frame - 1];
    SCOPED_TRACE(std::to_string(frame) + ": " + c.change);
    std::unique_ptr<ZuImage> image = ShowFrame(*player, frame);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(player->GetCurrentFrame(), frame);
    EXPECT_EQ(PixelAt(*image, 15, 15), c.atSquare);
    EXPECT_EQ(PixelAt(*image, 35, 15), c.besideIt);
    EXPECT_EQ(PixelAt(*image, 45, 25), background);
  }
  EXPECT_TRUE(player->GetWarnings().empty());
}

// A recording of several blocks, its frames visited twice each in a shuffled order: each
// shows its recorded picture (then the hold and stop frames the last one). Playing forward is
// checked by the recorder's tests, jumping to a frame with a fresh player by the edits' key
// frames.
TEST(PlayerTimeline, RecordedBlocksShowTheirFramesInAnyOrder) {
  std::vector<ZuImage> expected = MakeScreenFrames(40, 30, 16, 7);
  std::unique_ptr<ZuTavoFile> movie = RecordFrames(expected, 32, 3);
  ASSERT_NE(movie, nullptr);
  expected.insert(expected.end(), 2, expected.back());
  std::vector<int> order;
  for (int frame = 1; frame <= int(expected.size()); ++frame) {
    order.insert(order.end(), {frame, frame});
  }
  std::shuffle(order.begin(), order.end(), std::mt19937(5));
  std::unique_ptr<ZuTavoPlayer> player = PlayFromFile(*movie);
  ASSERT_NE(player, nullptr);
  for (int frame : order) {
    SCOPED_TRACE(frame);
    std::unique_ptr<ZuImage> image = ShowFrame(*player, frame);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(*image == expected[size_t(frame - 1)]);
  }
  EXPECT_TRUE(player->GetWarnings().empty());
}

TEST(PlayerTimeline, StagesOfNoOrHugeSizeAreRefused) {
  struct StageCase {
    uint32_t width, height;
    bool loads;
  };
  const StageCase cases[] = {{0, 0, false},     {0, 10, false},   {100000, 100000, false},
                             {16385, 1, false}, {16384, 1, true}, {1, 1, true}};
  for (const StageCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    TestMovie movie(c.width, c.height);
    movie.Frame();
    ZuTavoPlayer player(32);
    EXPECT_EQ(player.LoadMovie(movie.Movie()), c.loads);
    if (!c.loads) {
      EXPECT_NE(player.GetLastError().find("stage"), std::string::npos) << player.GetLastError();
      EXPECT_FALSE(player.GotoFrameAndPlay(1));
      EXPECT_EQ(player.GetCurrentScreenImage(), nullptr);
    }
  }
}

// Files that do not load name themselves; frames outside the movie, or with nothing loaded,
// are refused and leave the frame shown where it was.
TEST(PlayerTimeline, FilesThatDoNotLoadAndFramesOutsideTheMovieAreRefused) {
  TempDir dir;
  const std::string garbage = dir.File("garbage.swf");
  WriteFileBytes(garbage, {'n', 'o', 't', ' ', 'S', 'W', 'F'});
  TestMovie movie(10, 10);
  movie.Add(Square(1, 0xFF0000FF)).Place(1, 1).Frame().Frame().Frame();
  ZuTavoPlayer player(32);
  EXPECT_FALSE(player.GotoFrameAndPlay(1));  // nothing loaded yet
  EXPECT_EQ(player.GetCurrentScreenImage(), nullptr);
  EXPECT_FALSE(player.GetLastError().empty());
  for (const std::string& path : {dir.File("missing.swf"), garbage}) {
    EXPECT_EQ(player.LoadMovie(ZuString(path.c_str()), 0, 1), 0);
    EXPECT_NE(player.GetLastError().find(path), std::string::npos) << player.GetLastError();
    EXPECT_FALSE(player.Stop());
  }
  ASSERT_TRUE(player.LoadMovie(movie.Movie()));
  EXPECT_EQ(player.GetCurrentFrame(), 1);
  ASSERT_TRUE(player.GotoFrameAndPlay(2));
  for (int frame : {0, -1, 4, 1000}) {
    SCOPED_TRACE(frame);
    EXPECT_FALSE(player.GotoFrameAndPlay(frame));
    EXPECT_NE(player.GetLastError().find(std::to_string(frame)), std::string::npos);
    EXPECT_EQ(player.GetCurrentFrame(), 2);
  }
  EXPECT_TRUE(player.GotoFrameAndPlay(3));

  // Tags without a ShowFrame make no frame; the stage still shows its background.
  TestMovie noFrames(10, 10);
  noFrames.Add(Square(1, 0xFF0000FF)).Place(1, 1);
  ASSERT_TRUE(player.LoadMovie(noFrames.Movie()));
  EXPECT_EQ(player.GetFrameCount(), 0);
  EXPECT_EQ(player.GetCurrentFrame(), 0);
  EXPECT_FALSE(player.GotoFrameAndPlay(1));
  EXPECT_NE(player.GetLastError().find("no frames"), std::string::npos);
  std::unique_ptr<ZuImage> image(player.GetCurrentScreenImage());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(PixelAt(*image, 5, 5), kWhitePixel);
}

}  // namespace
