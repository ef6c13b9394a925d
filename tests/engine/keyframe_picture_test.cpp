// The picture side of key-frame synthesis: frames that cannot be rendered give no picture and
// the player's reason, and the 16-bit DIB road releases what it made when memory runs out.
// What key frames show is checked on recorded movies by the edits' frame checks.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/ZuKeyFramePicture.h"
#include "host/image/ZuImage.h"
#include "platform/ZuWinGdi.h"
#include "platform/ZuWinGlobalMemory.h"
#include "tests/engine/StandardMovie.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempDir.h"

namespace {

TEST(KeyFramePicture, FramesThatCannotBeRenderedSayWhy) {
  TempDir folder;
  const std::string movie = folder.File("movie.swf");
  const std::string junk = folder.File("junk.swf");
  engine_test::StandardMovie().WriteFile(movie);
  WriteFileBytes(junk, {'n', 'o', 't', ' ', 'S', 'W', 'F'});
  struct Case {
    std::string file;
    int frame;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {folder.File("missing.swf"), 2, "cannot open"},
      {junk, 2, "junk.swf"},
      {movie, 7, "outside the movie's frames 1 to 6"},
      {movie, 0, "outside the movie's frames 1 to 6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    std::string reason;
    const std::unique_ptr<ZuImage> picture(RenderMovieFrame(ZuString(c.file), c.frame, &reason));
    EXPECT_EQ(picture, nullptr);
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
  }
}

TEST(KeyFramePicture, NoGlobalBlockNoDibAndNothingLeft) {
  const size_t gdiBefore = ZuGdiCountLiveObjects();
  const size_t blocksBefore = ZuGlobalMemoryCountLiveBlocks();
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ZuGlobalMemoryFailNextAllocs(1);
  EXPECT_EQ(CreateDIB16FromBitmap(bitmap), nullptr);
  ZuGlobalMemoryFailNextAllocs(0);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(CreateDIB16FromBitmap(bitmap), nullptr);  // a released bitmap
  EXPECT_EQ(ZuGdiCountLiveObjects(), gdiBefore);
  EXPECT_EQ(ZuGlobalMemoryCountLiveBlocks(), blocksBefore);
}

}  // namespace
