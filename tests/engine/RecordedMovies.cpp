#include "tests/engine/RecordedMovies.h"

#include <gtest/gtest.h>

#include <random>

#include "host/player/ZuTavoPlayer.h"
#include "host/util/ZuFileStream.h"
#include "recorder/ZuFmrRecorder.h"

namespace engine_test {

namespace {

void FillRect(ZuImage& frame, int x, int y, int width, int height, std::mt19937& random) {
  const uint8_t red = static_cast<uint8_t>(random());
  const uint8_t green = static_cast<uint8_t>(random());
  const uint8_t blue = static_cast<uint8_t>(random());
  for (int row = y; row < y + height && row < frame.GetHeight(); ++row) {
    for (int column = x; column < x + width && column < frame.GetWidth(); ++column) {
      uint8_t* pixel = frame.Row(row) + column * 4;
      // A small gradient, so that 5-bit pictures see several values.
      pixel[0] = static_cast<uint8_t>(red + column * 3);
      pixel[1] = static_cast<uint8_t>(green + row * 5);
      pixel[2] = blue;
      pixel[3] = 255;
    }
  }
}

}  // namespace

std::vector<ZuImage> MakeScreenFrames(int width, int height, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<ZuImage> frames;
  ZuImage frame(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = frame.Row(y) + x * 4;
      pixel[0] = static_cast<uint8_t>(random());
      pixel[1] = static_cast<uint8_t>(random());
      pixel[2] = static_cast<uint8_t>(random());
      pixel[3] = 255;
    }
  }
  frames.push_back(frame);
  for (int i = 1; i < count; ++i) {
    auto pick = [&random](int below) { return static_cast<int>(random() % below); };
    switch (i % 7) {
      case 1:  // no change
        break;
      case 2:
      case 5:
        FillRect(frame, pick(width), pick(height), 1 + pick(width / 3 + 1),
                 1 + pick(height / 3 + 1), random);
        break;
      case 3:
        FillRect(frame, pick(width), pick(height), 1, 1, random);
        break;
      case 4:
        FillRect(frame, 0, 0, 2, 2, random);
        FillRect(frame, width - 2, height - 2, 2, 2, random);
        break;
      case 6:
        FillRect(frame, pick(width), 0, 2, height, random);
        break;
      default:  // most of the stage
        FillRect(frame, 0, 0, width, height - 1, random);
        break;
    }
    frames.push_back(frame);
  }
  return frames;
}

std::unique_ptr<ZuTavoFile> RecordMovie(const std::vector<ZuImage>& frames, int depth,
                                        int blockFrames, int frameRate) {
  ZuFmrRecorderOptions options;
  options.width = frames.front().GetWidth();
  options.height = frames.front().GetHeight();
  options.frameRate = frameRate;
  options.depth = depth;
  options.blockPolicy = ZuBlockPolicy(blockFrames, ZuBlockPolicy::kDefaultNewBlockFraction);
  std::string error;
  std::unique_ptr<ZuFmrRecorder> recorder = ZuFmrRecorder::Create(options, &error);
  EXPECT_TRUE(recorder != nullptr) << error;
  if (recorder == nullptr) {
    return nullptr;
  }
  for (const ZuImage& frame : frames) {
    EXPECT_TRUE(recorder->AddFrame(frame)) << recorder->GetLastError();
  }
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  EXPECT_TRUE(movie != nullptr) << recorder->GetLastError();
  return movie;
}

void WriteMovieFile(ZuTavoFile& movie, const std::string& path) {
  std::string reason;
  std::unique_ptr<ZuFileStream> stream(
      ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &reason));
  ASSERT_TRUE(stream != nullptr) << reason;
  ASSERT_EQ(movie.DumpToStream(stream.get()), kZuSuccess) << movie.GetLastError();
  ASSERT_TRUE(stream->Close());
}

std::vector<ZuImage> RenderAllFrames(const std::string& path) {
  std::vector<ZuImage> pictures;
  ZuTavoPlayer player(32);
  if (player.LoadMovie(ZuString(path), 0, 1) == 0) {
    ADD_FAILURE() << path << ": " << player.GetLastError();
    return pictures;
  }
  for (int frame = 1; frame <= player.GetFrameCount(); ++frame) {
    std::unique_ptr<ZuImage> picture;
    if (player.GotoFrameAndPlay(frame)) {
      picture.reset(player.GetCurrentScreenImage());
    }
    if (picture == nullptr) {
      ADD_FAILURE() << path << ": frame " << frame << ": " << player.GetLastError();
      return {};
    }
    pictures.push_back(*picture);
  }
  return pictures;
}

size_t CountDifferentPixels(const ZuImage& actual, const ZuImage& expected, std::string* where) {
  if (actual.GetWidth() != expected.GetWidth() || actual.GetHeight() != expected.GetHeight()) {
    *where = "the sizes differ";
    return static_cast<size_t>(expected.GetWidth()) * expected.GetHeight() + 1;
  }
  size_t count = 0;
  for (int y = 0; y < actual.GetHeight(); ++y) {
    for (int x = 0; x < actual.GetWidth(); ++x) {
      const uint8_t* a = actual.Row(y) + x * 4;
      const uint8_t* e = expected.Row(y) + x * 4;
      if (a[0] != e[0] || a[1] != e[1] || a[2] != e[2] || a[3] != e[3]) {
        if (count == 0) {
          *where = "pixel " + std::to_string(x) + "," + std::to_string(y);
        }
        ++count;
      }
    }
  }
  return count;
}

}  // namespace engine_test
