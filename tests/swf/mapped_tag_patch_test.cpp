// Movies loaded from files are mapped: loading and writing a movie of large tags leaves
// little of it resident, and giving new ids to its tags patches large bodies through
// private views of the mapped file (small ones are copied). Either way the clone alone
// changes, and both movies write out what they hold.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuTavoFile.h"
#include "host/swf/ZuTavoIDMap.h"
#include "host/util/ZuFileStream.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"
#include "tests/support/TempDir.h"

namespace {

constexpr uint16_t kDefineBitsLossless2 = 36;
constexpr uint16_t kPlaceObject2 = 26;

std::vector<uint8_t> BitmapBody(uint16_t id, size_t size) {
  std::vector<uint8_t> body = SwfBuilder::PatternBody(size);
  body[0] = static_cast<uint8_t>(id);
  body[1] = static_cast<uint8_t>(id >> 8);
  return body;
}

std::unique_ptr<ZuTavoFile> LoadMapped(const std::string& path) {
  std::unique_ptr<ZuFileStream> in(ZuFileStream::Open(path, ZuFileStream::Mode::kRead));
  auto movie = std::make_unique<ZuTavoFile>();
  if (!in || movie->LoadFromStream(in.get()) != kZuSuccess) return nullptr;
  return movie;
}

std::string WriteMovie(ZuTavoFile& movie, const std::string& path) {
  std::unique_ptr<ZuFileStream> out(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite));
  EXPECT_TRUE(out && movie.DumpToStream(out.get()) == kZuSuccess && out->Close());
  return path;
}

TEST(MappedTagPatch, NewIdsChangeTheCloneOnlyForLargeAndSmallBodies) {
  TempDir dir;
  struct Case {
    const char* name;
    size_t bodySize;
  };
  for (const Case& c :
       {Case{"small body: copied", 4000}, Case{"large body: private view", 300000}}) {
    SCOPED_TRACE(c.name);
    const std::string input = dir.File("in.swf");
    SwfBuilder()
        .Tag(kDefineBitsLossless2, BitmapBody(7, c.bodySize))
        .Tag(kPlaceObject2, {0x06, 0x01, 0x00, 0x07, 0x00})
        .ShowFrame()
        .WriteTo(input);
    const std::unique_ptr<ZuTavoFile> movie = LoadMapped(input);
    ASSERT_TRUE(movie);
    ZuSwfTag& bitmap = **movie->begin();
    ZuSwfTag& place = **std::next(movie->begin());
    ASSERT_TRUE(bitmap.GetBody().IsMapped());

    std::unique_ptr<ZuSwfTag> bitmapCopy(bitmap.Clone());
    std::unique_ptr<ZuSwfTag> placeCopy(place.Clone());
    ZuTavoIDMap ids;
    ids.Set(7, 300);
    bitmapCopy->SetCharacterId(300);
    placeCopy->RemapIds(ids);

    EXPECT_EQ(bitmap.GetCharacterId(), 7);
    EXPECT_EQ(bitmapCopy->GetCharacterId(), 300);
    std::vector<uint8_t> expected = BitmapBody(300, c.bodySize);
    const ZuSharedBytes patched = bitmapCopy->GetBody();
    EXPECT_EQ(std::vector<uint8_t>(patched.begin(), patched.end()), expected);
    EXPECT_FALSE(patched.IsMapped());  // never handed back: the new id would be lost

    // The original writes back unchanged; a movie of the copies writes the new ids.
    EXPECT_EQ(ReadFileBytes(WriteMovie(*movie, dir.File("same.swf"))), ReadFileBytes(input));
    ZuTavoFile copies;
    copies.SetWidth(movie->GetWidth());
    copies.SetHeight(movie->GetHeight());
    copies.IncludeTag(bitmapCopy.release(), copies.end());
    copies.IncludeTag(placeCopy.release(), copies.end());
    const std::string renumbered = WriteMovie(copies, dir.File("renumbered.swf"));
    const std::unique_ptr<ZuTavoFile> reread = LoadMapped(renumbered);
    ASSERT_TRUE(reread);
    EXPECT_EQ((*reread->begin())->GetCharacterId(), 300);
    ExpectOracleAccepts(renumbered, copies);
  }
}

}  // namespace
