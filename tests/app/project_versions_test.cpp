// Movies in the project file: cut into chunks at boundaries that follow the content, each
// distinct chunk stored once, read back byte for byte with every chunk checked, damage
// noticed, and files of the earlier formats read as they are and upgraded for writing.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuChunker.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSha256.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/ZuSharedBytes.h"
#include "tests/app/AppTestUtil.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FmreditRun.h"
#include "tests/support/Oracle.h"
#include "tests/support/SwfBuilder.h"

namespace {

constexpr size_t kKiB = 1024;
constexpr size_t kAverage = 32 * kKiB;  // the store's average chunk size

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

// The chunks ZuChunker cuts bytes into, each as its bytes.
std::vector<std::vector<uint8_t>> Chunks(const std::vector<uint8_t>& bytes) {
  const ZuChunker chunker(kAverage);
  std::vector<std::vector<uint8_t>> chunks;
  for (size_t at = 0; at < bytes.size();) {
    const size_t size = chunker.Cut(bytes.data() + at, bytes.size() - at);
    chunks.emplace_back(bytes.begin() + static_cast<ptrdiff_t>(at),
                        bytes.begin() + static_cast<ptrdiff_t>(at + size));
    at += size;
  }
  return chunks;
}

// A change in one place changes only the chunks near it: those of the changed bytes keep
// every other chunk of the original; and every chunk but the last keeps the size limits.
TEST(ChunkerTest, BoundariesFollowTheContent) {
  const std::vector<uint8_t> original = RandomBytes(4 << 20, 1);
  struct Case {
    const char* name;
    size_t at;
    size_t removed;
    size_t inserted;
  };
  const Case cases[] = {
      {"bytes inserted early", 1000, 0, 77},
      {"bytes removed in the middle", 2 << 20, 5000, 0},
      {"a byte changed near the end", (4 << 20) - 9000, 1, 1},
      {"a long run inserted", 3 << 20, 0, 300 * kKiB},
  };
  const auto before = Chunks(original);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> changed = original;
    changed.erase(changed.begin() + static_cast<ptrdiff_t>(c.at),
                  changed.begin() + static_cast<ptrdiff_t>(c.at + c.removed));
    const std::vector<uint8_t> run = RandomBytes(c.inserted, 2);
    changed.insert(changed.begin() + static_cast<ptrdiff_t>(c.at), run.begin(), run.end());
    const auto after = Chunks(changed);
    std::map<std::vector<uint8_t>, int> kept;
    for (const auto& chunk : before) ++kept[chunk];
    size_t newBytes = 0;
    for (size_t i = 0; i < after.size(); ++i) {
      if (i + 1 < after.size()) {
        EXPECT_GE(after[i].size(), kAverage / 4);
      }
      EXPECT_LE(after[i].size(), kAverage * 4);
      if (kept[after[i]]-- <= 0) newBytes += after[i].size();
    }
    EXPECT_LE(newBytes, c.inserted + 3 * kAverage * 4);
    EXPECT_GT(after.size(), changed.size() / (kAverage * 2));  // cut near the average
  }
}

class ProjectVersionsTest : public ProjectTest {
 public:
  // A movie that is no FMR recording: three frames at 12 fps after a binary-data tag of
  // pseudo-random bytes (from seed) padded so that the file is exactly size bytes long;
  // change, when not 0, alters one byte in the middle.
  std::string WritePlainMovie(const std::string& name, size_t size, uint8_t change = 0,
                              uint8_t seed = 7) {
    const auto build = [change, seed](size_t padding) {
      std::vector<uint8_t> body{1, 0, 0, 0, 0, 0};  // character id 1, reserved
      std::vector<uint8_t> data = SwfBuilder::PatternBody(padding, seed);
      if (change != 0 && !data.empty()) data[data.size() / 2] ^= change;
      body.insert(body.end(), data.begin(), data.end());
      return SwfBuilder()
          .FrameRate(12 << 8)
          .FrameCount(3)
          .Tag(87, body, SwfBuilder::Header::kLong)  // DefineBinaryData
          .ShowFrame()
          .ShowFrame()
          .ShowFrame();
    };
    const size_t overhead = build(0).Build().size();
    const std::string path = build(size - overhead).WriteTo(File(name));
    EXPECT_EQ(std::filesystem::file_size(path), size);
    ZuTavoFile movie;
    EXPECT_EQ(movie.LoadFromBytes(ZuSharedBytes::Adopt(ReadFileBytes(path))), kZuSuccess);
    ExpectOracleAccepts(path, movie);
    return path;
  }

  int64_t AddAndGetVersion(const std::string& movie) {
    EXPECT_EQ(AddSlide(movie, Project().GetSlideCollection()->GetCount() - 1), kZuSuccess);
    return Slide(Project().GetSlideCollection()->GetCount() - 1)->GetAnimation()->GetVersionId();
  }

  // The version read back whole and exported to a file: both the movie's bytes.
  void ExpectStoredAs(int64_t version, const std::string& movie) {
    const std::vector<uint8_t> expected = ReadFileBytes(movie);
    ZuSharedBytes bytes;
    std::string error;
    EXPECT_TRUE(Project().ReadVersion(version, &bytes, &error)) << error;
    EXPECT_TRUE(std::ranges::equal(bytes.span(), expected))
        << bytes.size() << " bytes read, " << expected.size();
    const std::string out = File("exported.swf");
    ASSERT_TRUE(Project().ExportVersion(version, out, &error)) << error;
    EXPECT_TRUE(ReadFileBytes(out) == expected);
  }

  int64_t StoredChunkBytes() {
    CloseProject();
    const int64_t bytes = RawFile(ProjectPath()).Number("SELECT total(length(bytes)) FROM packs");
    Reopen();
    return bytes;
  }
};

// Movies of sizes around the chunk limits and a pack's size come back byte for byte after a
// reopen, with their facts; chunks the project holds already are not stored again.
TEST_F(ProjectVersionsTest, MoviesComeBackWholeAndChunksAreStoredOnce) {
  const size_t sizes[] = {200,          kAverage / 4,     kAverage / 4 + 1,
                          kAverage * 4, kAverage * 4 + 1, (4 << 20) + 1};
  std::vector<std::pair<int64_t, std::string>> stored;
  for (const size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string movie = WritePlainMovie("m" + std::to_string(size) + ".swf", size);
    stored.emplace_back(AddAndGetVersion(movie), movie);
  }
  const std::string recording = WriteMovie("rec.swf", 20, 0x123456);
  stored.emplace_back(AddAndGetVersion(recording), recording);
  Reopen(ZuProjectAccess::kReadOnly);
  for (const auto& [version, movie] : stored) {
    SCOPED_TRACE(movie);
    ExpectStoredAs(version, movie);
    ZuMovieFacts facts;
    std::string error;
    ASSERT_TRUE(Project().GetVersionFacts(version, &facts, &error)) << error;
    EXPECT_EQ(facts.frameCount, movie == recording ? 20 : 3);
    EXPECT_EQ(facts.fmr, movie == recording);
  }

  // The same movie again stores nothing new; one byte changed stores the chunks around it.
  Reopen();
  const std::string large = stored[5].second;
  const int64_t before = StoredChunkBytes();
  AddAndGetVersion(large);
  EXPECT_EQ(StoredChunkBytes(), before);
  const std::string changed = WritePlainMovie("changed.swf", (4 << 20) + 1, 0x40);
  const int64_t version = AddAndGetVersion(changed);
  EXPECT_LE(StoredChunkBytes() - before, static_cast<int64_t>(2 * kAverage * 4));
  ExpectStoredAs(version, changed);
  ZuProjectStorage storage;
  std::string error;
  ASSERT_TRUE(Project().ReadStorage(&storage, &error)) << error;
  EXPECT_EQ(storage.versionCount, static_cast<int64_t>(std::size(sizes)) + 3);
  EXPECT_GT(storage.fullCopyBytes, 3 * storage.fileBytes / 2);

  // A movie stored after reading the one it was made from takes the chunks they share from
  // that reading, but never chunks whose transaction was rolled back.
  const std::string fresh = WritePlainMovie("fresh.swf", 1 << 20, 0, 9);
  const std::string freshChanged = WritePlainMovie("fresh2.swf", 1 << 20, 0x40, 9);
  ZuMovieFacts facts;
  ASSERT_TRUE(ZuMovieFacts::Examine(ZuSharedBytes::Adopt(ReadFileBytes(fresh)), &facts, &error));
  ASSERT_TRUE(Project().BeginCommand(&error)) << error;
  const int64_t dropped = Project().StoreVersion(facts, &error);
  ZuSharedBytes read;
  ASSERT_TRUE(Project().ReadVersion(dropped, &read, &error)) << error;
  Project().AbortCommand();
  const int64_t base = AddAndGetVersion(fresh);
  const int64_t beforeChange = StoredChunkBytes();
  ExpectStoredAs(base, fresh);  // the version read last
  const int64_t changedFresh = AddAndGetVersion(freshChanged);
  EXPECT_LE(StoredChunkBytes() - beforeChange, static_cast<int64_t>(2 * kAverage * 4));
  ExpectStoredAs(changedFresh, freshChanged);
}

// Damage to the file (bytes flipped, a page zeroed, the file cut, rows gone or changed) is
// reported when the movie is read; no damage ever reads as another movie, and a failed
// export leaves no file.
TEST_F(ProjectVersionsTest, DamageIsNoticedNeverReadAsAMovie) {
  const std::string movie = WritePlainMovie("m.swf", 1 << 20);
  const int64_t version = AddAndGetVersion(movie);
  CloseProject();
  const std::vector<uint8_t> good = ReadFileBytes(ProjectPath());
  const std::vector<uint8_t> expected = ReadFileBytes(movie);
  struct Case {
    std::string name;
    std::function<void(std::vector<uint8_t>&)> damage;
    const char* sql;  // run on the damaged file; may be null
    bool mustFail;
  };
  std::vector<Case> cases = {
      {"a chunk row missing", nullptr, "DELETE FROM chunks WHERE id = 3", true},
      {"a list entry missing", nullptr, "DELETE FROM version_chunks WHERE position = 2", true},
      {"two chunks swapped", nullptr,
       "UPDATE version_chunks SET chunk = CASE chunk WHEN 1 THEN 2 WHEN 2 THEN 1 END "
       "WHERE chunk IN (1, 2)",
       true},
      {"a chunk's digest changed", nullptr, "UPDATE chunks SET digest = zeroblob(32) WHERE id = 4",
       true},
      {"a pack missing", nullptr, "DELETE FROM packs", true},
      {"a chunk moved in its pack", nullptr, "UPDATE chunks SET offset = offset + 1 WHERE id = 5",
       true},
      {"the size changed", nullptr, "UPDATE versions SET size = size - 1", true},
      {"the list digest removed", nullptr, "UPDATE versions SET chunk_list = NULL", true},
  };
  // Where a run of the movie's bytes lies in the file: in its pack.
  const auto run = expected.begin() + 300000;
  const size_t inPack =
      static_cast<size_t>(std::search(good.begin(), good.end(), run, run + 64) - good.begin());
  ASSERT_LT(inPack, good.size());
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    cases.push_back({"bytes flipped, seed " + std::to_string(seed),
                     [seed](std::vector<uint8_t>& bytes) {
                       std::mt19937 random(seed);
                       for (int i = 0; i < 3; ++i) bytes[random() % bytes.size()] ^= 0x20;
                     },
                     nullptr, false});
  }
  for (const size_t page : {inPack, good.size() / 3, size_t{4096}}) {
    cases.push_back({"a page zeroed at " + std::to_string(page),
                     [page](std::vector<uint8_t>& bytes) {
                       std::fill_n(bytes.begin() + static_cast<ptrdiff_t>(page & ~size_t{4095}),
                                   4096, 0);
                     },
                     nullptr, page == inPack});
  }
  for (const size_t cut : {good.size() / 2, good.size() - 65536}) {
    cases.push_back({"cut at " + std::to_string(cut),
                     [cut](std::vector<uint8_t>& bytes) { bytes.resize(cut); }, nullptr, true});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> damaged = good;
    if (c.damage) c.damage(damaged);
    WriteFileBytes(ProjectPath(), damaged);
    if (c.sql != nullptr) RawFile(ProjectPath()).Execute(c.sql);
    std::string error;
    std::unique_ptr<ZuProject> project = ZuProject::Open(ZuString(std::string_view(ProjectPath())),
                                                         ZuProjectAccess::kReadOnly, &error);
    const std::string out = File("out.swf");
    std::filesystem::remove(out);
    if (project == nullptr || !project->ExportVersion(version, out, &error)) {
      EXPECT_FALSE(std::filesystem::exists(out));
      EXPECT_TRUE(error.find("damaged") != std::string::npos ||
                  error.find("not a project file") != std::string::npos ||
                  error.find("cannot read") != std::string::npos)
          << error;
      if (c.sql != nullptr) {
        EXPECT_NE(error.find("movie version " + std::to_string(version)), std::string::npos)
            << error;
      }
      continue;
    }
    EXPECT_FALSE(c.mustFail);
    EXPECT_TRUE(ReadFileBytes(out) == expected);
  }
}

// Files of the first two formats: a reader reads them as they are and leaves them
// unchanged; a writer upgrades them, and old and new movies both read back. A newer format
// is refused.
TEST_F(ProjectVersionsTest, EarlierFormatsAreReadAndUpgraded) {
  const std::string a = WriteMovie("a.swf", 20, 0x123456);
  const std::string b = WritePlainMovie("b.swf", (4 << 20) + 100);
  const std::string dropChunks =
      "UPDATE versions SET chunk_list = NULL; DROP TABLE chunks; DROP TABLE packs; "
      "DROP TABLE version_chunks; ALTER TABLE versions DROP COLUMN chunk_list; ";
  struct Case {
    const char* name;
    const char* storeMovie;  // puts the movie's bytes where the format kept them
    std::string sql;         // then the rest of the format's layout
    int64_t format;
  };
  const Case cases[] = {
      {"second format: parts", "INSERT INTO version_parts SELECT id, 0, ? FROM versions",
       dropChunks + "PRAGMA user_version = 2", 2},
      {"first format: whole, no facts", "UPDATE versions SET bytes = ?",
       dropChunks +
           "DROP TABLE version_parts; ALTER TABLE versions DROP COLUMN frames; "
           "ALTER TABLE versions DROP COLUMN frame_rate; ALTER TABLE versions DROP COLUMN fmr; "
           "PRAGMA user_version = 1",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CloseProject();
    std::filesystem::remove(ProjectPath());
    std::string error;
    ASSERT_NE(ZuProject::Create(ZuString(std::string_view(ProjectPath())), &error), nullptr);
    Reopen();
    const int64_t old = AddAndGetVersion(a);
    const ZuProjectState before = State();
    CloseProject();
    {
      RawFile raw(ProjectPath());
      raw.Number(c.storeMovie, ReadFileBytes(a));
      raw.Execute(c.sql);
      EXPECT_EQ(raw.Number("PRAGMA user_version"), c.format);
    }
    const std::vector<uint8_t> oldFile = ReadFileBytes(ProjectPath());
    Reopen(ZuProjectAccess::kReadOnly);
    EXPECT_EQ(State(), before);
    ExpectStoredAs(old, a);
    CloseProject();
    EXPECT_TRUE(ReadFileBytes(ProjectPath()) == oldFile);

    Reopen();
    const int64_t added = AddAndGetVersion(b);
    Reopen();
    ExpectStoredAs(old, a);
    ExpectStoredAs(added, b);
    ZuMovieFacts facts;
    ASSERT_TRUE(Project().GetVersionFacts(old, &facts, &error)) << error;
    EXPECT_EQ(facts.frameCount, 20);
    CloseProject();
    EXPECT_EQ(RawFile(ProjectPath()).Number("PRAGMA user_version"), 3);
  }
  RawFile(ProjectPath()).Execute("PRAGMA user_version = 4");
  std::string error;
  EXPECT_EQ(ZuProject::Open(ZuString(std::string_view(ProjectPath())), ZuProjectAccess::kReadOnly,
                            &error),
            nullptr);
  EXPECT_NE(error.find("unknown format version 4"), std::string::npos) << error;
}

// The facts come from where they are stored, not from the movie: listing the project needs
// no movie read (here the bytes are even gone).
TEST_F(ProjectVersionsTest, ListingUsesTheStoredFacts) {
  AddAndGetVersion(WriteMovie("a.swf", 20, 0x123456));
  CloseProject();
  RawFile(ProjectPath()).Execute("UPDATE versions SET frames = 77; DELETE FROM packs");
  const FmreditRun list = RunFmredit({"project", "list", ProjectPath()});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("      77  yes"), std::string::npos) << list.out;
}

}  // namespace
