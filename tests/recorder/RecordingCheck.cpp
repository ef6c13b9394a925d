#include "tests/recorder/RecordingCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <regex>
#include <set>

#include "host/player/ZuAnimationUtils.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/swf/ZuSwfRemoveObjectTag.h"
#include "host/swf/ZuSwfTag.h"
#include "tests/support/Oracle.h"
#include "tests/support/TempDir.h"

namespace {

// A rectangle (clipped to the image) of one random color or of noise; alpha is noise.
void FillRect(ZuImage& image, int x, int y, int width, int height, std::mt19937& random,
              bool noisy) {
  const uint32_t color = random();
  for (int row = y; row < std::min(y + height, image.GetHeight()); ++row) {
    for (int column = x; column < std::min(x + width, image.GetWidth()); ++column) {
      const uint32_t value = noisy ? random() : color;
      uint8_t* pixel = image.Row(row) + static_cast<size_t>(column) * 4;
      for (int channel = 0; channel < 3; ++channel) pixel[channel] = value >> (8 * channel);
      pixel[3] = static_cast<uint8_t>(random());
    }
  }
}

}  // namespace

std::vector<ZuImage> MakeTestFrames(int width, int height, int count, uint32_t seed) {
  std::mt19937 random(seed);
  auto pick = [&random](int below) { return static_cast<int>(random() % below); };
  ZuImage frame(width, height);
  FillRect(frame, 0, 0, width, height, random, true);
  std::vector<ZuImage> frames{frame};
  const int rectSides[] = {0, 12, 1, 40};  // kinds 1 to 3: rectangles up to this side
  for (int index = 1; index < count; ++index) {
    const int kind = index % 7, x = pick(width), y = pick(height);
    if (kind >= 1 && kind <= 3) {
      const int side = rectSides[kind];
      FillRect(frame, x, y, 1 + pick(side), 1 + pick(side), random, kind > 1);
    } else if (kind == 4) {
      FillRect(frame, 0, 0, width, height, random, index % 16 == 4);
    } else if (kind == 5) {
      FillRect(frame, 0, 0, 1, 1, random, true);
      FillRect(frame, width - 1, height - 1, 1, 1, random, true);
    }
    frames.push_back(frame);
  }
  return frames;
}

ZuImage Gray(int width, int height, int value) {
  ZuImage image(width, height);
  SetGray(image, 0, 0, width, height, value);
  return image;
}

void SetGray(ZuImage& image, int x, int y, int width, int height, int value) {
  for (int row = y; row < y + height; ++row) std::fill_n(image.Row(row) + 4 * x, 4 * width, value);
}

void ExpectPlaysBack(ZuTavoFile& movie, const std::vector<ZuImage>& frames, int depth) {
  TempDir dir;
  const std::string path = dir.File("recording.swf");
  WriteMovieFile(movie, path);
  ExpectOracleAccepts(path, movie);
  if (frames.empty()) return;
  std::vector<ZuImage> expected(frames);
  expected.insert(expected.end(), 2, frames.back());  // the hold and stop frames
  for (ZuImage& frame : expected) {
    uint8_t* pixel = frame.GetBuffer();
    for (size_t i = 0; i < frame.GetBuffSize(); ++i) {
      const uint8_t five = pixel[i] >> 3;
      pixel[i] = i % 4 == 3 ? 0xFF : depth == 16 ? (five << 3) | (five >> 2) : pixel[i];
    }
  }
  ExpectSamePictures(RenderAllFrames(path), expected);
}

void ExpectRecordingForm(const ZuTavoFile& movie) {
  EXPECT_TRUE(ZuAnimationUtils::IsFMRSWF(movie));
  const std::vector<const ZuSwfTag*> tags(movie.begin(), movie.end());
  uint16_t lastId = 0, nextDepth = 101;
  size_t showFrames = 0;
  std::set<uint16_t> bitmaps, depths;  // of the open block
  for (size_t i = 2; i < tags.size(); ++i) {
    const ZuSwfTag& tag = *tags[i];
    SCOPED_TRACE("tag " + std::to_string(i));
    EXPECT_TRUE(tag.GetCharacterId() == 0 || tag.GetCharacterId() > lastId);
    lastId = std::max(lastId, tag.GetCharacterId());
    showFrames += tag.GetTagType() == ZuSwfTagFactory::kShowFrame;
    if (tag.GetTagType() == ZuSwfTagFactory::kDefineBitsLossless2) {
      bitmaps.insert(tag.GetCharacterId());
    } else if (tag.GetTagType() == ZuSwfTagFactory::kFreeCharacter) {
      EXPECT_EQ(bitmaps.erase(tag.GetReferencedId()), 1u);
    } else if (const auto* remove = dynamic_cast<const ZuSwfRemoveObjectTag*>(&tag)) {
      EXPECT_EQ(depths.erase(remove->m_depth), 1u);
    } else if (const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(&tag)) {
      const bool keyFrame = place->GetDepth() == 1;  // only its own bitmap is left
      EXPECT_TRUE(keyFrame ? bitmaps.size() == 1 && depths.empty()
                           : place->GetDepth() == nextDepth++);
      nextDepth = keyFrame ? 101 : nextDepth;
      depths.insert(place->GetDepth());
    }
  }
  EXPECT_EQ(movie.GetFrameCount(), showFrames);
}

std::vector<std::string> DescribeTags(const ZuTavoFile& movie) {
  static const std::regex length(" length=[0-9]+");
  std::vector<std::string> lines;
  for (const ZuSwfTag* tag : movie) {
    ZuString text;
    tag->GetTextRep(text);
    lines.push_back(std::regex_replace(text.GetUTF8String(), length, ""));
  }
  return lines;
}
