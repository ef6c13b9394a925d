// Redact on a slide, then purge: the redaction is one undoable step; until the purge the
// project file still holds the pictures it covered (in the version the history keeps), and
// after it no byte of them is left anywhere in the file, while the slide shows the redacted
// movie byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/swf/ZuSwfDefineBitsLossless2Tag.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/IZuStream.h"
#include "projectedit/EditError.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectHistory.h"
#include "projectedit/ProjectSlides.h"
#include "projectedit/SlideRedaction.h"
#include "tests/cli/CliTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/RandomImage.h"
#include "tests/support/RecordedMovie.h"
#include "tests/support/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Pictures of fresh noise, so that no picture's compressed bytes appear in another's.
Pictures NoisePictures(int count) {
  Pictures pictures;
  for (int i = 0; i < count; ++i) {
    pictures.push_back(RandomImage(48, 32, true, static_cast<unsigned>(7 + i)));
  }
  return pictures;
}

// The bodies of the bitmaps of before that after no longer holds byte for byte: those the
// redaction rewrote.
std::vector<Bytes> RewrittenBitmaps(const std::string& before, const std::string& after) {
  const auto bodies = [](const std::string& path) {
    std::vector<Bytes> found;
    ZuTavoFile movie;
    EXPECT_EQ(movie.LoadFromBytes(ZuSharedBytes::Adopt(ReadFileBytes(path))), kZuSuccess);
    for (const ZuSwfTag* tag : movie) {
      if (dynamic_cast<const ZuSwfDefineBitsLossless2Tag*>(tag) != nullptr) {
        const ZuSharedBytes body = tag->GetBody();
        found.emplace_back(body.begin(), body.end());
      }
    }
    return found;
  };
  const std::vector<Bytes> kept = bodies(after);
  std::vector<Bytes> rewritten;
  for (Bytes& body : bodies(before)) {
    if (std::find(kept.begin(), kept.end(), body) == kept.end()) {
      rewritten.push_back(std::move(body));
    }
  }
  return rewritten;
}

// Whether the file holds 64 bytes in a row of any of the bodies (past their 7-byte header).
bool FileHolds(const std::string& path, const std::vector<Bytes>& bodies) {
  const Bytes file = ReadFileBytes(path);
  return std::any_of(bodies.begin(), bodies.end(), [&](const Bytes& body) {
    const auto run = body.begin() + 7;
    return std::search(file.begin(), file.end(), run, run + 64) != file.end();
  });
}

Bytes SlideMovie(const OpenProjectSession& session) {
  const std::unique_ptr<IZuStream> stream(
      session.Slide(1, "slide")->GetAnimation()->CreateReadStream(0));
  Bytes bytes(stream->GetSize());
  EXPECT_EQ(stream->Read(bytes.data(), bytes.size()), bytes.size());
  return bytes;
}

TEST(SlideRedaction, PurgeLeavesNoByteOfWhatWasCovered) {
  const TempDir dir;
  const std::string project = dir.File("p.fmrproj"), input = dir.File("in.swf");
  const std::string redacted = dir.File("redacted.swf");
  const std::unique_ptr<ZuTavoFile> recorded = RecordFrames(NoisePictures(8), 32, 4);
  ASSERT_TRUE(recorded != nullptr);
  WriteMovieFile(*recorded, input);
  ASSERT_EQ(RunFmredit({"project", "new", project}).exitCode, 0);
  ASSERT_EQ(RunFmredit({"project", "add", project, input}).exitCode, 0);
  {
    const OpenProjectSession session(project, ZuProjectAccess::kReadWrite);
    RedactOptions options;
    options.slide = 1;
    options.area = {8, 4, 30, 20, 1, 1, 0x808080};
    options.frames = {{3, 6}};
    EXPECT_EQ(RedactSlide(session, options), "filled 30x20+8+4 in frames 3 to 6 of slide 1");
    WriteFileBytes(redacted, SlideMovie(session));
  }
  const std::vector<Bytes> covered = RewrittenBitmaps(input, redacted);
  ASSERT_FALSE(covered.empty());
  EXPECT_TRUE(FileHolds(project, covered));  // the history keeps the original

  const OpenProjectSession session(project, ZuProjectAccess::kReadWrite);
  EXPECT_EQ(PurgeProjectHistory(session), "dropped 1 movie versions and 2 states of the history");
  EXPECT_FALSE(FileHolds(project, covered));
  EXPECT_EQ(SlideMovie(session), ReadFileBytes(redacted));
  EXPECT_THROW(StepProjectHistory(session, true), EditError);
}

}  // namespace
