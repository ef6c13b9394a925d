#include "tests/recorder/RecordingCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTag.h"
#include "tests/support/Oracle.h"
#include "tests/support/TempDir.h"

namespace {

uint8_t Byte(std::mt19937& random) {
  return static_cast<uint8_t>(random() & 0xFF);
}

void FillRect(ZuImage& image, int x, int y, int width, int height, std::mt19937& random,
              bool noisy) {
  const uint8_t color[3] = {Byte(random), Byte(random), Byte(random)};
  for (int row = y; row < y + height && row < image.GetHeight(); ++row) {
    for (int column = x; column < x + width && column < image.GetWidth(); ++column) {
      uint8_t* pixel = image.Row(row) + static_cast<size_t>(column) * 4;
      for (int channel = 0; channel < 3; ++channel) {
        pixel[channel] = noisy ? Byte(random) : color[channel];
      }
      pixel[3] = Byte(random);
    }
  }
}

// A random rectangle inside the frame, at most maxSide pixels a side.
void RandomRect(std::mt19937& random, int width, int height, int maxSide, int& x, int& y, int& w,
                int& h) {
  w = 1 + static_cast<int>(random() % static_cast<unsigned>(std::min(width, maxSide)));
  h = 1 + static_cast<int>(random() % static_cast<unsigned>(std::min(height, maxSide)));
  x = static_cast<int>(random() % static_cast<unsigned>(width - w + 1));
  y = static_cast<int>(random() % static_cast<unsigned>(height - h + 1));
}

void SetPixel(ZuImage& image, int x, int y, std::mt19937& random) {
  FillRect(image, x, y, 1, 1, random, true);
}

// Changes every channel of a rectangle by its lowest bits only.
void NudgeLowBits(ZuImage& image, int x, int y, int width, int height) {
  for (int row = y; row < y + height; ++row) {
    for (int column = x; column < x + width; ++column) {
      uint8_t* pixel = image.Row(row) + static_cast<size_t>(column) * 4;
      for (int channel = 0; channel < 3; ++channel) {
        pixel[channel] = static_cast<uint8_t>(pixel[channel] ^ 0x01);
      }
    }
  }
}

void ChangeAlphaOnly(ZuImage& image, std::mt19937& random) {
  for (int row = 0; row < image.GetHeight(); ++row) {
    for (int column = 0; column < image.GetWidth(); ++column) {
      image.Row(row)[column * 4 + 3] = Byte(random);
    }
  }
}

}  // namespace

std::vector<ZuImage> MakeTestFrames(int width, int height, int count, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<ZuImage> frames;
  ZuImage frame(width, height);
  FillRect(frame, 0, 0, width, height, random, true);
  frames.push_back(frame);
  int x = 0, y = 0, w = 0, h = 0;
  for (int index = 1; index < count; ++index) {
    switch (index % 8) {
      case 0:  // unchanged
        break;
      case 1:
        RandomRect(random, width, height, 12, x, y, w, h);
        FillRect(frame, x, y, w, h, random, false);
        break;
      case 2:
        SetPixel(frame, static_cast<int>(random() % width), static_cast<int>(random() % height),
                 random);
        break;
      case 3:
        RandomRect(random, width, height, 40, x, y, w, h);
        FillRect(frame, x, y, w, h, random, true);
        break;
      case 4:
        FillRect(frame, 0, 0, width, height, random, index % 16 == 4);
        break;
      case 5:
        SetPixel(frame, 0, 0, random);
        SetPixel(frame, width - 1, height - 1, random);
        break;
      case 6:
        ChangeAlphaOnly(frame, random);
        break;
      case 7:
        RandomRect(random, width, height, 20, x, y, w, h);
        NudgeLowBits(frame, x, y, w, h);
        break;
    }
    frames.push_back(frame);
  }
  return frames;
}

ZuImage ExpectedPicture(const ZuImage& input, int depth) {
  ZuImage expected = input;
  uint8_t* pixel = expected.GetBuffer();
  for (size_t i = 0; i < expected.GetBuffSize(); i += 4) {
    if (depth == 16) {
      for (int channel = 0; channel < 3; ++channel) {
        const uint8_t value = static_cast<uint8_t>(pixel[i + channel] >> 3);
        pixel[i + channel] = static_cast<uint8_t>((value << 3) | (value >> 2));
      }
    }
    pixel[i + 3] = 0xFF;
  }
  return expected;
}

void ExpectPlaysBack(ZuTavoFile& movie, const std::vector<ZuImage>& frames, int depth) {
  TempDir dir;
  const std::string path = dir.File("recording.swf");
  WriteMovieFile(movie, path);
  ExpectOracleAccepts(path, movie);
  if (frames.empty()) {
    return;
  }
  const std::vector<ZuImage> shown = RenderAllFrames(path);
  const size_t count = frames.size();
  ASSERT_EQ(shown.size(), count + 2);
  for (size_t frame = 0; frame < shown.size(); ++frame) {
    const ZuImage& input = frames[std::min(frame, count - 1)];
    std::string where;
    const size_t different =
        CountDifferentPixels(shown[frame], ExpectedPicture(input, depth), &where);
    ASSERT_EQ(different, 0u) << "frame " << frame + 1 << " of " << count + 2 << ": " << where;
  }
}

namespace {

// What one key-frame block has defined and placed, while the movie is walked.
struct BlockState {
  std::set<uint16_t> bitmaps;
  std::set<uint16_t> depths;
  uint16_t nextDepth = 101;
};

void CheckPlacement(const ZuSwfTag& tag, BlockState& block, size_t index) {
  const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(&tag);
  ASSERT_TRUE(place != nullptr) << "tag " << index;
  const uint16_t depth = place->GetDepth();
  if (depth == 1) {
    // The key frame's own bitmap is defined by now; the old block's must all be freed.
    EXPECT_EQ(block.bitmaps.size(), 1u) << "tag " << index << ": old bitmaps not freed";
    EXPECT_TRUE(block.depths.empty()) << "tag " << index << ": old depths not emptied";
    block.nextDepth = 101;
  } else {
    EXPECT_EQ(depth, block.nextDepth) << "tag " << index;
    ++block.nextDepth;
  }
  EXPECT_TRUE(block.depths.insert(depth).second) << "tag " << index << ": depth placed twice";
}

}  // namespace

void ExpectRecordingForm(const ZuTavoFile& movie) {
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(movie));
  std::vector<const ZuSwfTag*> tags(movie.begin(), movie.end());
  ASSERT_GE(tags.size(), 7u);
  EXPECT_EQ(tags[0]->GetTagType(), ZuSwfTagFactory::kFileAttributes);
  EXPECT_EQ(tags[1]->GetTagType(), ZuSwfTagFactory::kSetBackgroundColor);
  const size_t n = tags.size();
  EXPECT_EQ(tags[n - 3]->GetTagType(), ZuSwfTagFactory::kShowFrame);
  EXPECT_EQ(tags[n - 2]->GetTagType(), ZuSwfTagFactory::kDoAction);
  EXPECT_EQ(tags[n - 2]->GetBody().size(), 2u);
  EXPECT_EQ(tags[n - 1]->GetTagType(), ZuSwfTagFactory::kShowFrame);

  uint16_t lastId = 0;
  size_t showFrames = 0;
  BlockState block;
  for (size_t i = 2; i < n; ++i) {
    const ZuSwfTag& tag = *tags[i];
    if (tag.GetCharacterId() != 0) {
      EXPECT_GT(tag.GetCharacterId(), lastId) << "tag " << i << ": ids must rise";
      lastId = tag.GetCharacterId();
    }
    switch (tag.GetTagType()) {
      case ZuSwfTagFactory::kShowFrame:
        ++showFrames;
        break;
      case ZuSwfTagFactory::kDefineBitsLossless2:
        block.bitmaps.insert(tag.GetCharacterId());
        break;
      case ZuSwfTagFactory::kFreeCharacter:
        EXPECT_EQ(block.bitmaps.erase(tag.GetReferencedId()), 1u)
            << "tag " << i << ": frees a bitmap the open block did not define";
        break;
      case ZuSwfTagFactory::kRemoveObject2: {
        const auto* remove = dynamic_cast<const ZuSwfRemoveObjectTag*>(&tag);
        ASSERT_TRUE(remove != nullptr);
        EXPECT_EQ(block.depths.erase(remove->m_depth), 1u)
            << "tag " << i << ": empties a depth the open block did not place";
        break;
      }
      case ZuSwfTagFactory::kPlaceObject2:
        CheckPlacement(tag, block, i);
        break;
      case ZuSwfTagFactory::kDefineShape3:
      case ZuSwfTagFactory::kDoAction:
        break;
      default:
        ADD_FAILURE() << "tag " << i << ": a recording holds no tag of code " << tag.GetTagType();
    }
  }
  EXPECT_EQ(movie.GetFrameCount(), showFrames);
}
