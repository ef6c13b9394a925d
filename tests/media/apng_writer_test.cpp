// The animated PNG writer on its own: frames of odd rectangles, stillness written as empty
// frames and bad calls, read back by FFmpeg's decoder for the pictures and by a chunk walker
// here for what FFmpeg does not check (checksums, sequence numbers, delays, frame places).

#include <gtest/gtest.h>
#include <libdeflate.h>

#include <cctype>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "media/ZuAnimationFormat.h"
#include "media/ZuMediaError.h"
#include "tests/media/MediaTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempDir.h"

namespace {

uint32_t Get32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint32_t Get16(const uint8_t* p) {
  return (uint32_t{p[0]} << 8) | p[1];
}

// What one frame control chunk says.
struct FrameControl {
  ZuPixelRect rect;
  uint32_t delay = 0;
  uint32_t rate = 0;  // the delay's denominator
  uint8_t dispose = 0;
  uint8_t blend = 0;
  uint32_t dataChunks = 0;  // IDAT or fdAT chunks after it
  uint32_t dataBytes = 0;   // their compressed pixels
};

// The chunks of an animated PNG as far as this writer uses them; problems are test failures.
struct Animation {
  uint32_t framesDeclared = 0;
  uint32_t plays = 0;
  std::vector<FrameControl> frames;
};

Animation WalkChunks(const std::vector<uint8_t>& file) {
  Animation animation;
  const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  EXPECT_TRUE(file.size() >= 8 && std::memcmp(file.data(), signature, 8) == 0);
  uint32_t sequence = 0;
  std::vector<std::string> order;
  for (size_t at = 8; at < file.size();) {
    EXPECT_LE(at + 12, file.size());
    if (at + 12 > file.size()) {
      break;
    }
    const uint32_t length = Get32(&file[at]);
    const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
    EXPECT_LE(at + 12 + length, file.size()) << type;
    if (at + 12 + length > file.size()) {
      break;
    }
    const uint8_t* data = &file[at + 8];
    EXPECT_EQ(libdeflate_crc32(0, &file[at + 4], 4 + length), Get32(data + length)) << type;
    order.push_back(type);
    if (type == "acTL") {
      animation.framesDeclared = Get32(data);
      animation.plays = Get32(data + 4);
    } else if (type == "fcTL" || type == "fdAT") {
      EXPECT_EQ(Get32(data), sequence++) << type;
    }
    if (type == "fcTL") {
      FrameControl control;
      const auto left = static_cast<int>(Get32(data + 12));
      const auto top = static_cast<int>(Get32(data + 16));
      control.rect = {left, top, left + static_cast<int>(Get32(data + 4)),
                      top + static_cast<int>(Get32(data + 8))};
      control.delay = Get16(data + 20);
      control.rate = Get16(data + 22);
      control.dispose = data[24];
      control.blend = data[25];
      animation.frames.push_back(control);
    } else if ((type == "IDAT" || type == "fdAT") && !animation.frames.empty()) {
      ++animation.frames.back().dataChunks;
      animation.frames.back().dataBytes += type == "IDAT" ? length : length - 4;
      // The picture's own data belongs to the first frame only; later frames use fdAT.
      EXPECT_EQ(type == "IDAT", animation.frames.size() == 1) << type;
    }
    at += 12 + length;
  }
  EXPECT_GE(order.size(), 3U);
  if (order.size() >= 3) {
    EXPECT_EQ(order[0], "IHDR");
    EXPECT_EQ(order[1], "acTL");
    EXPECT_EQ(order.back(), "IEND");
  }
  return animation;
}

// An opaque picture with smooth and noisy rows, so that every row filter gets its turn.
ZuImage Background(int width, int height) {
  ZuImage picture(width, height);
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245 + 12345;
      uint8_t* pixel = picture.Row(y) + static_cast<size_t>(x) * 4;
      const bool noisy = y % 5 == 2;
      pixel[0] = static_cast<uint8_t>(noisy ? noise >> 16 : x * 7);
      pixel[1] = static_cast<uint8_t>(noisy ? noise >> 8 : y * 5 + x);
      pixel[2] = static_cast<uint8_t>(x % 9 == 0 ? 20 : 200);
      pixel[3] = 255;
    }
  }
  return picture;
}

// before with most pixels of rect changed; every third one (diagonally) stays as it was,
// which the writer has to leave showing through.
ZuImage Changed(const ZuImage& before, const ZuPixelRect& rect, int step) {
  ZuImage picture = before;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if ((x + y) % 3 != 0 || rect.Area() == 1) {
        uint8_t* pixel = picture.Row(y) + static_cast<size_t>(x) * 4;
        pixel[0] = static_cast<uint8_t>(pixel[0] + 97 * step);
        pixel[2] = static_cast<uint8_t>(pixel[2] ^ (step * 31 + 1));
      }
    }
  }
  return picture;
}

struct Step {
  ZuPixelRect rect;  // empty: the picture stays
  int delay;
};

struct WriterCase {
  const char* what;
  int width;
  int height;
  int frameRate;
  std::vector<Step> steps;  // the first one's rect is the whole picture
};

const WriterCase kWriterCases[] = {
    {"one pixel, one frame", 1, 1, 15, {{{0, 0, 1, 1}, 3}}},
    {"one pixel changing", 1, 1, 255, {{{0, 0, 1, 1}, 1}, {{0, 0, 1, 1}, 65535}}},
    {"odd rectangles",
     37,
     23,
     10,
     {{{0, 0, 37, 23}, 2},
      {{36, 22, 37, 23}, 1},
      {{5, 0, 6, 23}, 4},
      {{0, 11, 37, 12}, 7},
      {{3, 7, 20, 19}, 1},
      {{0, 0, 37, 23}, 300}}},
    {"stillness split into empty frames",
     16,
     9,
     30,
     {{{0, 0, 16, 9}, 65535}, {{}, 65535}, {{}, 12}, {{15, 0, 16, 1}, 2}, {{}, 65535}}},
    {"wide picture, narrow strip", 600, 4, 25, {{{0, 0, 600, 4}, 5}, {{1, 1, 599, 3}, 5}}},
};

void PrintTo(const WriterCase& c, std::ostream* out) {
  *out << c.what;
}

class ApngWriterTest : public testing::TestWithParam<WriterCase> {};

TEST_P(ApngWriterTest, DecodesToEveryPictureWithItsDelay) {
  const WriterCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("out.apng");
  ZuAnimationSettings settings;
  settings.width = c.width;
  settings.height = c.height;
  settings.frameRate = c.frameRate;
  std::vector<ZuImage> expected;
  uint64_t written = 0;
  {
    std::unique_ptr<ZuAnimationFormat> writer = ZuOpenApng(path, settings);
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      if (i == 0) {
        expected.push_back(Background(c.width, c.height));
        writer->WriteFrame(expected.back(), nullptr, step.rect, step.delay);
      } else {
        expected.push_back(Changed(expected.back(), step.rect, static_cast<int>(i)));
        writer->WriteFrame(expected.back(), &expected[i - 1], step.rect, step.delay);
      }
    }
    writer->Finish();
    written = writer->BytesWritten();
  }
  const std::vector<uint8_t> file = ReadFileBytes(path);
  EXPECT_EQ(written, file.size());
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"out.apng"});

  const Animation animation = WalkChunks(file);
  EXPECT_EQ(animation.framesDeclared, c.steps.size());
  EXPECT_EQ(animation.plays, 0U);
  ASSERT_EQ(animation.frames.size(), c.steps.size());
  for (size_t i = 0; i < c.steps.size(); ++i) {
    const FrameControl& frame = animation.frames[i];
    const ZuPixelRect unchanged = {0, 0, 1, 1};
    EXPECT_EQ(frame.rect, c.steps[i].rect.IsEmpty() ? unchanged : c.steps[i].rect) << i;
    EXPECT_EQ(frame.delay, static_cast<uint32_t>(c.steps[i].delay)) << i;
    EXPECT_EQ(frame.rate, static_cast<uint32_t>(c.frameRate)) << i;
    EXPECT_EQ(frame.dispose, 0) << i;
    EXPECT_EQ(frame.blend, i == 0 ? 0 : 1) << i;
    EXPECT_EQ(frame.dataChunks, 1U) << i;
  }

  double seconds = 0;
  const std::vector<ZuImage> decoded = DecodeVideo(path, &seconds);
  ASSERT_EQ(decoded.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(decoded[i] == expected[i]) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ApngWriterTest, testing::ValuesIn(kWriterCases),
                         [](const testing::TestParamInfo<WriterCase>& info) {
                           std::string name;
                           for (const char* p = info.param.what; *p != '\0'; ++p) {
                             name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           }
                           return name;
                         });

// The point of writing unchanged pixels transparent: a whole-picture rectangle in which one
// pixel changed compresses to next to nothing, where the picture itself (a third noise) does
// not.
TEST(ApngWriter, PixelsLeftAsTheyWereCostAlmostNothing) {
  TempDir dir;
  const std::string path = dir.File("still.apng");
  ZuAnimationSettings settings;
  settings.width = 320;
  settings.height = 200;
  const ZuImage first = Background(320, 200);
  const ZuImage second = Changed(first, {160, 100, 161, 101}, 1);
  {
    const std::unique_ptr<ZuAnimationFormat> writer = ZuOpenApng(path, settings);
    writer->WriteFrame(first, nullptr, {0, 0, 320, 200}, 1);
    writer->WriteFrame(second, &first, {0, 0, 320, 200}, 1);
    writer->Finish();
  }
  const Animation animation = WalkChunks(ReadFileBytes(path));
  ASSERT_EQ(animation.frames.size(), 2U);
  EXPECT_GT(animation.frames[0].dataBytes, 320U * 200 * 4 / 10);
  EXPECT_LT(animation.frames[1].dataBytes, 400U);
  double seconds = 0;
  const std::vector<ZuImage> decoded = DecodeVideo(path, &seconds);
  ASSERT_EQ(decoded.size(), 2U);
  EXPECT_TRUE(decoded[1] == second);
}

struct UnitCase {
  int frameRate;
  double maxFrameRate;
  int64_t minDelay;
};

TEST(ApngWriter, DelaysCountFrameRateTicks) {
  const UnitCase cases[] = {{15, 50, 1}, {50, 50, 1},  {51, 50, 2},  {100, 50, 2}, {255, 50, 6},
                            {30, 7, 5},  {15, 7.5, 2}, {16, 7.5, 3}, {10, 50, 1}};
  TempDir dir;
  for (const UnitCase& c : cases) {
    ZuAnimationSettings settings;
    settings.width = 2;
    settings.height = 2;
    settings.frameRate = c.frameRate;
    settings.maxFrameRate = c.maxFrameRate;
    const std::unique_ptr<ZuAnimationFormat> writer = ZuOpenApng(dir.File("unit.apng"), settings);
    EXPECT_EQ(writer->MinDelay(), c.minDelay) << c.frameRate << "/" << c.maxFrameRate;
    EXPECT_EQ(writer->MaxDelay(), 65535);
    EXPECT_EQ(writer->TimeOfTick(c.frameRate * 7 + 3), c.frameRate * 7 + 3);
  }
}

// A bad call: the settings, or the frames written (each with the delay and rect given,
// pictures of the settings' size unless wrongSize) before Finish.
struct BadCase {
  const char* what;
  ZuAnimationSettings settings;
  std::vector<Step> steps;
  bool wrongSize;
  const char* message;
};

const BadCase kBadCases[] = {
    {"frame rate 0", {4, 4, 0, 50, 256}, {}, false, "frame rate 0"},
    {"frame rate past 255", {4, 4, 256, 50, 256}, {}, false, "frame rate 256"},
    {"no pixels", {0, 4, 15, 50, 256}, {}, false, "0x4"},
    {"too wide", {16385, 1, 15, 50, 256}, {}, false, "16385x1"},
    {"highest frame rate 0", {4, 4, 15, 0, 256}, {}, false, "highest frame rate of 0"},
    {"no frames", {4, 4, 15, 50, 256}, {}, false, "at least one frame"},
    {"first frame not whole", {4, 4, 15, 50, 256}, {{{0, 0, 3, 4}, 1}}, false, "rectangle"},
    {"rect outside",
     {4, 4, 15, 50, 256},
     {{{0, 0, 4, 4}, 1}, {{2, 2, 5, 4}, 1}},
     false,
     "rectangle"},
    {"delay 0", {4, 4, 15, 50, 256}, {{{0, 0, 4, 4}, 0}}, false, "delay 0"},
    {"delay too long", {4, 4, 15, 50, 256}, {{{0, 0, 4, 4}, 65536}}, false, "delay 65536"},
    {"picture of another size", {4, 4, 15, 50, 256}, {{{0, 0, 4, 4}, 1}}, true, "not 4x4"},
};

TEST(ApngWriter, BadCallsThrowNamingThePathAndLeaveNoFile) {
  for (const BadCase& c : kBadCases) {
    TempDir dir;
    const std::string path = dir.File("bad.apng");
    try {
      std::unique_ptr<ZuAnimationFormat> writer = ZuOpenApng(path, c.settings);
      const ZuImage picture(c.wrongSize ? 5 : c.settings.width, c.settings.height);
      for (const Step& step : c.steps) {
        writer->WriteFrame(picture, &picture, step.rect, step.delay);
      }
      writer->Finish();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const ZuMediaError& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.rfind(path + ": cannot write: ", 0), 0U) << c.what << ": " << message;
      EXPECT_NE(message.find(c.message), std::string::npos) << c.what << ": " << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << c.what;
    }
    EXPECT_TRUE(FilesIn(dir).empty()) << c.what;
  }
}

TEST(ApngWriter, UnwritableFolderAndUnfinishedWriter) {
  TempDir dir;
  ZuAnimationSettings settings;
  settings.width = 3;
  settings.height = 2;
  const std::string missing = dir.File("missing/out.apng");
  try {
    ZuOpenApng(missing, settings);
    ADD_FAILURE() << "no error";
  } catch (const ZuMediaError& error) {
    EXPECT_EQ(std::string(error.what()).rfind(missing + ": cannot write: ", 0), 0U) << error.what();
  }
  {
    const std::unique_ptr<ZuAnimationFormat> writer = ZuOpenApng(dir.File("gone.apng"), settings);
    const ZuImage picture(3, 2);
    writer->WriteFrame(picture, nullptr, {0, 0, 3, 2}, 1);
    EXPECT_GT(writer->BytesWritten(), 0U);
  }
  EXPECT_TRUE(FilesIn(dir).empty());
}

}  // namespace
