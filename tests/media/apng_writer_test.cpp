// The animated PNG writer on its own: frames of odd rectangles, stillness written as empty
// frames and bad calls, read back by FFmpeg's decoder for the pictures and by a chunk walker
// here for what FFmpeg does not check (checksums, sequence numbers, delays, frame places).

#include <gtest/gtest.h>
#include <libdeflate.h>

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

// The chunks of an animated PNG, with what its frame controls say as text; bad checksums
// and sequence numbers out of order are test failures.
struct Walk {
  std::string chunks;               // their types in order, space-separated
  std::vector<std::string> frames;  // "WxH+X+Y delay N/D dispose P blend B"
  std::vector<uint32_t> dataBytes;  // each frame's compressed pixels
  uint32_t framesDeclared = 0;
  uint32_t plays = 0;
};

Walk WalkChunks(const std::vector<uint8_t>& file) {
  Walk walk;
  EXPECT_EQ(std::string(file.begin(), file.begin() + 8), "\x89PNG\r\n\x1a\n");
  uint32_t sequence = 0;
  for (size_t at = 8; at < file.size();) {
    const uint32_t length = at + 12 <= file.size() ? Get32(&file[at]) : 0;
    if (at + 12 + size_t{length} > file.size()) {
      ADD_FAILURE() << "a chunk runs past the end at " << at;
      break;
    }
    const std::string type(file.begin() + static_cast<ptrdiff_t>(at) + 4,
                           file.begin() + static_cast<ptrdiff_t>(at) + 8);
    const uint8_t* data = &file[at + 8];
    EXPECT_EQ(libdeflate_crc32(0, &file[at + 4], 4 + length), Get32(data + length)) << type;
    walk.chunks += (walk.chunks.empty() ? "" : " ") + type;
    if (type == "acTL") {
      walk.framesDeclared = Get32(data);
      walk.plays = Get32(data + 4);
    }
    if (type == "fcTL" || type == "fdAT") {
      EXPECT_EQ(Get32(data), sequence++) << type;
    }
    if (type == "fcTL") {
      walk.frames.push_back(
          std::to_string(Get32(data + 4)) + "x" + std::to_string(Get32(data + 8)) + "+" +
          std::to_string(Get32(data + 12)) + "+" + std::to_string(Get32(data + 16)) + " delay " +
          std::to_string(data[20] << 8 | data[21]) + "/" +
          std::to_string(data[22] << 8 | data[23]) + " dispose " + std::to_string(data[24]) +
          " blend " + std::to_string(data[25]));
    } else if (type == "IDAT" || type == "fdAT") {
      walk.dataBytes.push_back(type == "IDAT" ? length : length - 4);
    }
    at += 12 + size_t{length};
  }
  return walk;
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

// clang-format off
const WriterCase kWriterCases[] = {
    {"one_pixel_one_frame", 1, 1, 15, {{{0, 0, 1, 1}, 3}}},
    {"one_pixel_changing", 1, 1, 255, {{{0, 0, 1, 1}, 1}, {{0, 0, 1, 1}, 65535}}},
    {"odd_rectangles", 37, 23, 10, {{{0, 0, 37, 23}, 2}, {{36, 22, 37, 23}, 1}, {{5, 0, 6, 23}, 4},
                                    {{0, 11, 37, 12}, 7}, {{3, 7, 20, 19}, 1}, {{0, 0, 37, 23}, 300}}},
    {"stillness_split_into_empty_frames", 16, 9, 30,
     {{{0, 0, 16, 9}, 65535}, {{}, 65535}, {{}, 12}, {{15, 0, 16, 1}, 2}, {{}, 65535}}},
    {"wide_picture_narrow_strip", 600, 4, 25, {{{0, 0, 600, 4}, 5}, {{1, 1, 599, 3}, 5}}},
};
// clang-format on

void PrintTo(const WriterCase& c, std::ostream* out) {
  *out << c.what;
}

class ApngWriterTest : public testing::TestWithParam<WriterCase> {};

TEST_P(ApngWriterTest, DecodesToEveryPictureWithItsDelay) {
  const WriterCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("out.apng");
  std::vector<ZuImage> expected;
  uint64_t written = 0;
  std::string chunks = "IHDR acTL";
  std::vector<std::string> frames;
  {
    const std::unique_ptr<ZuAnimationFormat> writer =
        ZuOpenApng(path, {c.width, c.height, c.frameRate});
    for (const Step& step : c.steps) {
      const bool first = expected.empty();
      expected.push_back(
          first ? Background(c.width, c.height)
                : Changed(expected.back(), step.rect, static_cast<int>(expected.size())));
      writer->WriteFrame(expected.back(), first ? nullptr : &expected[expected.size() - 2],
                         step.rect, step.delay);
      chunks += first ? " fcTL IDAT" : " fcTL fdAT";
      const ZuPixelRect placed = step.rect.IsEmpty() ? ZuPixelRect{0, 0, 1, 1} : step.rect;
      frames.push_back(std::to_string(placed.Width()) + "x" + std::to_string(placed.Height()) +
                       "+" + std::to_string(placed.left) + "+" + std::to_string(placed.top) +
                       " delay " + std::to_string(step.delay) + "/" + std::to_string(c.frameRate) +
                       " dispose 0 blend " + (first ? "0" : "1"));
    }
    writer->Finish();
    written = writer->BytesWritten();
  }
  const std::vector<uint8_t> file = ReadFileBytes(path);
  EXPECT_EQ(written, file.size());
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"out.apng"});

  const Walk walk = WalkChunks(file);
  EXPECT_EQ(walk.chunks, chunks + " IEND");
  EXPECT_EQ(walk.frames, frames);
  EXPECT_EQ(walk.framesDeclared, c.steps.size());
  EXPECT_EQ(walk.plays, 0U);

  double seconds = 0;
  const std::vector<ZuImage> decoded = DecodeVideo(path, &seconds);
  ASSERT_EQ(decoded.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(decoded[i] == expected[i]) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ApngWriterTest, testing::ValuesIn(kWriterCases),
                         [](const auto& info) { return std::string(info.param.what); });

// The point of writing unchanged pixels transparent: a whole-picture rectangle in which one
// pixel changed compresses to next to nothing, where the picture itself (a fifth noise) does
// not.
TEST(ApngWriter, PixelsLeftAsTheyWereCostAlmostNothing) {
  TempDir dir;
  const std::string path = dir.File("still.apng");
  const ZuImage first = Background(320, 200);
  const ZuImage second = Changed(first, {160, 100, 161, 101}, 1);
  {
    const std::unique_ptr<ZuAnimationFormat> writer = ZuOpenApng(path, {320, 200});
    writer->WriteFrame(first, nullptr, {0, 0, 320, 200}, 1);
    writer->WriteFrame(second, &first, {0, 0, 320, 200}, 1);
    writer->Finish();
  }
  const Walk walk = WalkChunks(ReadFileBytes(path));
  ASSERT_EQ(walk.dataBytes.size(), 2U);
  EXPECT_GT(walk.dataBytes[0], 320U * 200 * 4 / 10);
  EXPECT_LT(walk.dataBytes[1], 400U);
  double seconds = 0;
  const std::vector<ZuImage> decoded = DecodeVideo(path, &seconds);
  ASSERT_EQ(decoded.size(), 2U);
  EXPECT_TRUE(decoded[1] == second);
}

TEST(ApngWriter, DelaysCountFrameRateTicks) {
  struct {
    int frameRate;
    double maxFrameRate;
    int64_t minDelay;
  } const cases[] = {{15, 50, 1}, {50, 50, 1},  {51, 50, 2},  {100, 50, 2}, {255, 50, 6},
                     {30, 7, 5},  {15, 7.5, 2}, {16, 7.5, 3}, {10, 50, 1}};
  TempDir dir;
  for (const auto& c : cases) {
    const std::unique_ptr<ZuAnimationFormat> writer =
        ZuOpenApng(dir.File("unit.apng"), {2, 2, c.frameRate, c.maxFrameRate});
    EXPECT_EQ(writer->MinDelay(), c.minDelay) << c.frameRate << "/" << c.maxFrameRate;
    EXPECT_EQ(writer->MaxDelay(), 65535);
    EXPECT_EQ(writer->TimeOfTick(c.frameRate * 7 + 3), c.frameRate * 7 + 3);
  }
}

// A bad call: the settings, or the frames written (each with the delay and rect given,
// pictures of the settings' size unless wrongSize) before Finish, or a writer let go
// unfinished (no message).
struct BadCase {
  const char* what;
  const char* file;
  ZuAnimationSettings settings;
  std::vector<Step> steps;
  bool wrongSize;
  const char* message;
};

const BadCase kBadCases[] = {
    {"frame rate 0", "a.apng", {4, 4, 0}, {}, false, "frame rate 0"},
    {"frame rate past 255", "a.apng", {4, 4, 256}, {}, false, "frame rate 256"},
    {"no pixels", "a.apng", {0, 4}, {}, false, "0x4"},
    {"too wide", "a.apng", {16385, 1}, {}, false, "16385x1"},
    {"highest rate 0", "a.apng", {4, 4, 15, 0}, {}, false, "highest frame rate of 0"},
    {"missing folder", "no/a.apng", {4, 4}, {}, false, "No such file"},
    {"no frames", "a.apng", {4, 4}, {}, false, "at least one frame"},
    {"first frame not whole", "a.apng", {4, 4}, {{{0, 0, 3, 4}, 1}}, false, "rectangle"},
    {"rect outside", "a.apng", {4, 4}, {{{0, 0, 4, 4}, 1}, {{2, 2, 5, 4}, 1}}, false, "rectangle"},
    {"delay 0", "a.apng", {4, 4}, {{{0, 0, 4, 4}, 0}}, false, "delay 0"},
    {"delay too long", "a.apng", {4, 4}, {{{0, 0, 4, 4}, 65536}}, false, "delay 65536"},
    {"picture of another size", "a.apng", {4, 4}, {{{0, 0, 4, 4}, 1}}, true, "not 4x4"},
    {"unfinished", "a.apng", {4, 4}, {{{0, 0, 4, 4}, 1}}, false, nullptr},
};

TEST(ApngWriter, BadCallsThrowNamingThePathAndLeaveNoFile) {
  for (const BadCase& c : kBadCases) {
    TempDir dir;
    const std::string path = dir.File(c.file);
    try {
      const std::unique_ptr<ZuAnimationFormat> writer = ZuOpenApng(path, c.settings);
      const ZuImage picture(c.wrongSize ? 5 : c.settings.width, c.settings.height);
      for (const Step& step : c.steps) {
        writer->WriteFrame(picture, &picture, step.rect, step.delay);
      }
      if (c.message != nullptr) {
        writer->Finish();
        ADD_FAILURE() << c.what << ": no error";
      }
    } catch (const ZuMediaError& error) {
      const std::string message = error.what();
      EXPECT_NE(c.message, nullptr) << c.what << ": " << message;
      EXPECT_EQ(message.rfind(path + ": cannot write: ", 0), 0U) << c.what << ": " << message;
      EXPECT_NE(message.find(c.message != nullptr ? c.message : "?"), std::string::npos)
          << c.what << ": " << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << c.what;
    }
    EXPECT_TRUE(FilesIn(dir).empty()) << c.what;
  }
}

}  // namespace
