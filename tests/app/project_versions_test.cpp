// Movies in the project file: stored as the bytes new against the movies read before, read
// back byte for byte with every block checked and every version's seal, damage noticed,
// and files of the earlier formats read as they are and upgraded for writing.

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
#include "host/app/ZuByteMatcher.h"
#include "host/app/ZuCommandHistory.h"
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
constexpr size_t kMiB = 1024 * kKiB;

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

// The matcher's runs rebuild the new bytes exactly, and the new bytes they leave are the
// changed ones and little more, for changes like an edit's: a run inserted, bytes removed,
// a header rewritten, two-byte tags dropped all over, a movie merged from two sources.
TEST(ByteMatcherTest, RepeatsAreExactAndNewBytesAreTheChangedOnes) {
  const std::vector<uint8_t> original = RandomBytes(3 * kMiB, 1);
  const std::vector<uint8_t> other = RandomBytes(kMiB, 3);
  struct Case {
    const char* name;
    std::function<std::vector<uint8_t>()> change;
    size_t changedBytes;  // how many bytes of the result are really new
    size_t changes;       // in how many places
  };
  const auto edited = [&](size_t at, size_t removed, size_t inserted) {
    std::vector<uint8_t> bytes = original;
    bytes.erase(bytes.begin() + static_cast<ptrdiff_t>(at),
                bytes.begin() + static_cast<ptrdiff_t>(at + removed));
    const std::vector<uint8_t> run = RandomBytes(inserted, 2);
    bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(at), run.begin(), run.end());
    return bytes;
  };
  const Case cases[] = {
      {"bytes inserted early", [&] { return edited(1000, 0, 77); }, 77, 1},
      {"bytes removed in the middle", [&] { return edited(kMiB, 5000, 0); }, 0, 1},
      {"a header rewritten", [&] { return edited(4, 4, 4); }, 4, 1},
      {"a byte changed at the end", [&] { return edited(original.size() - 1, 1, 1); }, 1, 1},
      {"a long run inserted", [&] { return edited(2 * kMiB, 0, 300 * kKiB); }, 300 * kKiB, 1},
      {"two bytes dropped every 700",
       [&] {
         std::vector<uint8_t> bytes;
         for (size_t at = 0; at < original.size(); at += 700) {
           const auto from = original.begin() + static_cast<ptrdiff_t>(at);
           bytes.insert(bytes.end(), from,
                        from + static_cast<ptrdiff_t>(std::min<size_t>(698, original.size() - at)));
         }
         return bytes;
       },
       0, original.size() / 700},
      {"the second source appended",
       [&] {
         std::vector<uint8_t> bytes = original;
         bytes.insert(bytes.end(), other.begin() + 10, other.end());
         return bytes;
       },
       0, 1},
      {"all new", [&] { return RandomBytes(100 * kKiB, 4); }, 100 * kKiB, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> target = c.change();
    const std::vector<std::span<const uint8_t>> sources = {original, other};
    const std::vector<ZuByteMatcher::Run> runs = ZuByteMatcher(sources).Match(target);
    std::vector<uint8_t> rebuilt;
    size_t newBytes = 0;
    for (const ZuByteMatcher::Run& run : runs) {
      const uint8_t* from = run.source < 0
                                ? target.data() + run.from
                                : sources[static_cast<size_t>(run.source)].data() + run.from;
      rebuilt.insert(rebuilt.end(), from, from + run.size);
      if (run.source < 0) newBytes += run.size;
    }
    EXPECT_TRUE(rebuilt == target);
    EXPECT_GE(newBytes, c.changedBytes);
    EXPECT_LE(newBytes, c.changedBytes + 2 * ZuByteMatcher::kWindow);
    EXPECT_LE(runs.size(), 2 * c.changes + 1);
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

  int64_t StoredBytes() {
    CloseProject();
    const int64_t bytes =
        RawFile(ProjectPath()).Number("SELECT total(length(bytes)) FROM segments");
    Reopen();
    return bytes;
  }
};

// Movies of sizes around a digest block's and a segment's size come back byte for byte
// after a reopen, with their facts; the same movie again stores nothing; a movie stored after
// reading the one it was made from stores only what changed, but never refers to bytes
// whose transaction was rolled back.
TEST_F(ProjectVersionsTest, MoviesComeBackWholeAndOnlyNewBytesAreStored) {
  const size_t sizes[] = {200, kMiB - 1, kMiB + 1, 4 * kMiB + 1};
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

  Reopen();
  const int64_t before = StoredBytes();
  AddAndGetVersion(stored[3].second);
  EXPECT_EQ(StoredBytes(), before);

  const std::string fresh = WritePlainMovie("fresh.swf", 2 * kMiB, 0, 9);
  const std::string freshChanged = WritePlainMovie("fresh2.swf", 2 * kMiB, 0x40, 9);
  ZuMovieFacts facts;
  std::string error;
  ASSERT_TRUE(ZuMovieFacts::Examine(ZuSharedBytes::Adopt(ReadFileBytes(fresh)), &facts, &error));
  ASSERT_TRUE(Project().BeginCommand(&error)) << error;
  const int64_t dropped = Project().StoreVersion(facts, &error);
  ZuSharedBytes read;
  ASSERT_TRUE(Project().ReadVersion(dropped, &read, &error)) << error;
  Project().AbortCommand();
  const int64_t base = AddAndGetVersion(fresh);
  const int64_t beforeChange = StoredBytes();
  ExpectStoredAs(base, fresh);  // read: the next version stored is compared with it
  const int64_t changedFresh = AddAndGetVersion(freshChanged);
  EXPECT_LE(StoredBytes() - beforeChange, static_cast<int64_t>(2 * ZuByteMatcher::kWindow));
  ExpectStoredAs(changedFresh, freshChanged);
  ZuProjectStorage storage;
  ASSERT_TRUE(Project().ReadStorage(&storage, &error)) << error;
  EXPECT_EQ(storage.versionCount, static_cast<int64_t>(std::size(sizes)) + 4);
  EXPECT_GT(storage.fullCopyBytes, 3 * storage.fileBytes / 2);
}

// Damage to the file (bytes flipped, a page zeroed, the file cut, rows gone or changed) is
// reported when the movie is read, with the reason where a row was changed; no damage ever
// reads as another movie, and a failed export leaves no file.
TEST_F(ProjectVersionsTest, DamageIsNoticedNeverReadAsAMovie) {
  const std::string movie = WritePlainMovie("m.swf", kMiB);
  const int64_t version = AddAndGetVersion(movie);
  AddAndGetVersion(WritePlainMovie("other.swf", kMiB, 0x40));
  CloseProject();
  const std::vector<uint8_t> good = ReadFileBytes(ProjectPath());
  const std::vector<uint8_t> expected = ReadFileBytes(movie);
  struct Case {
    std::string name;
    std::function<void(std::vector<uint8_t>&)> damage;
    const char* sql;     // run on the damaged file; may be null
    const char* reason;  // what the error says, for a row changed
  };
  const char* const kUnsealed = "version 1: its size, facts or digests are not the ones sealed";
  std::vector<Case> cases = {
      {"a segment missing", nullptr, "DELETE FROM segments WHERE id = 1",
       "version 1: piece 1 lies in a missing segment"},
      {"a segment cut short", nullptr,
       "UPDATE segments SET bytes = substr(bytes, 1, length(bytes) - 9) WHERE id = 1",
       "version 1: piece 1 reaches past the end of its segment"},
      {"a piece moved past its segment's end", nullptr,
       "UPDATE versions SET pieces = x'020A' || substr(pieces, 3) WHERE id = 1",
       "version 1: piece 1 reaches past the end of its segment"},
      {"a piece pointed at a later version", nullptr,
       "UPDATE versions SET pieces = x'03' || substr(pieces, 2) WHERE id = 1",
       "version 1: piece 1 refers to a version stored after it"},
      {"a segment's bytes changed", nullptr,
       "UPDATE segments SET bytes = zeroblob(length(bytes)) WHERE id = 1",
       "version 1: bytes 0 to 1048575 do not match their digest"},
      {"the table of pieces cut short", nullptr,
       "UPDATE versions SET pieces = substr(pieces, 1, 2) WHERE id = 1",
       "version 1: its list of pieces is cut short"},
      {"the table of pieces removed, bytes put in the first format's place", nullptr,
       "UPDATE versions SET pieces = NULL, bytes = (SELECT bytes FROM segments WHERE id = 2)",
       "version 1: its table of pieces is missing"},
      {"the size changed", nullptr, "UPDATE versions SET size = size - 1", kUnsealed},
      {"the frame count changed", nullptr, "UPDATE versions SET frames = 0", kUnsealed},
      {"the block digests changed", nullptr,
       "UPDATE versions SET blocks = zeroblob(length(blocks))", kUnsealed},
      {"two versions' tables and digests swapped", nullptr,
       "UPDATE versions SET (pieces, blocks) = (SELECT pieces, blocks FROM versions v WHERE "
       "v.id = 3 - versions.id)",
       kUnsealed},
      {"two versions' tables, digests and seals swapped", nullptr,
       "UPDATE versions SET (pieces, blocks, digest) = (SELECT pieces, blocks, digest FROM "
       "versions v WHERE v.id = 3 - versions.id)",
       "state 3 does not match its digest"},
  };
  // Where a run of the movie's bytes lies in the file: in its segment.
  const auto run = expected.begin() + 300000;
  const size_t inSegment =
      static_cast<size_t>(std::search(good.begin(), good.end(), run, run + 64) - good.begin());
  ASSERT_LT(inSegment, good.size());
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    cases.push_back({"bytes flipped, seed " + std::to_string(seed),
                     [seed](std::vector<uint8_t>& bytes) {
                       std::mt19937 random(seed);
                       for (int i = 0; i < 3; ++i) bytes[random() % bytes.size()] ^= 0x20;
                     },
                     nullptr, nullptr});
  }
  for (const size_t page : {inSegment, good.size() / 3, size_t{4096}}) {
    cases.push_back({"a page zeroed at " + std::to_string(page),
                     [page](std::vector<uint8_t>& bytes) {
                       std::fill_n(bytes.begin() + static_cast<ptrdiff_t>(page & ~size_t{4095}),
                                   4096, 0);
                     },
                     nullptr, page == inSegment ? "" : nullptr});
  }
  for (const size_t cut : {good.size() / 2, good.size() - 65536}) {
    cases.push_back({"cut at " + std::to_string(cut),
                     [cut](std::vector<uint8_t>& bytes) { bytes.resize(cut); }, nullptr, ""});
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
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
      }
      continue;
    }
    EXPECT_EQ(c.reason, nullptr) << "read although damaged";
    EXPECT_TRUE(ReadFileBytes(out) == expected);
  }
}

std::string Hex(const ZuSha256::Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex = "x'";
  for (const uint8_t byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex + "'";
}

// The tables of the third format in place of the fourth's, for a file holding one version.
constexpr const char* kBackToThirdFormat = R"sql(
CREATE TABLE packs(id INTEGER PRIMARY KEY, bytes BLOB NOT NULL);
CREATE TABLE chunks(id INTEGER PRIMARY KEY, digest BLOB NOT NULL UNIQUE,
                    pack INTEGER NOT NULL, offset INTEGER NOT NULL, size INTEGER NOT NULL);
CREATE TABLE version_chunks(version INTEGER NOT NULL, position INTEGER NOT NULL,
                            chunk INTEGER NOT NULL, PRIMARY KEY(version, position)) WITHOUT ROWID;
CREATE TABLE version_parts(version INTEGER NOT NULL, part INTEGER NOT NULL,
                           bytes BLOB NOT NULL, PRIMARY KEY(version, part));
DROP TABLE segments;
ALTER TABLE versions DROP COLUMN pieces;
ALTER TABLE versions DROP COLUMN blocks;
ALTER TABLE versions DROP COLUMN digest;
ALTER TABLE states DROP COLUMN digest;
DELETE FROM meta WHERE key = 'current_check';
)sql";

// Files of the earlier formats: a reader reads them as they are and leaves them unchanged;
// a writer upgrades them, and old and new movies both read back. A newer format is refused.
TEST_F(ProjectVersionsTest, EarlierFormatsAreReadAndUpgraded) {
  const std::string a = WriteMovie("a.swf", 20, 0x123456);
  const std::vector<uint8_t> aBytes = ReadFileBytes(a);
  ASSERT_LE(aBytes.size(), 128 * kKiB);  // one chunk of the third format
  const ZuSha256::Digest chunk = ZuSha256::Of(aBytes);
  const std::string b = WritePlainMovie("b.swf", 4 * kMiB + 100);
  const std::string third =
      "INSERT INTO chunks VALUES(1, " + Hex(chunk) + ", 1, 0, " + std::to_string(aBytes.size()) +
      "); INSERT INTO version_chunks SELECT id, 0, 1 FROM versions; UPDATE versions SET "
      "chunk_list = " +
      Hex(ZuSha256::Of(chunk)) + "; PRAGMA user_version = 3;";
  const std::string second =
      "DROP TABLE chunks; DROP TABLE packs; DROP TABLE version_chunks; "
      "ALTER TABLE versions DROP COLUMN chunk_list; ";
  struct Case {
    const char* name;
    const char* storeMovie;  // puts the movie's bytes where the format kept them
    std::string sql;         // then the rest of the format's layout
    int64_t format;
  };
  const Case cases[] = {
      {"third format: chunks", "INSERT INTO packs VALUES(1, ?)", third, 3},
      {"second format: parts", "INSERT INTO version_parts SELECT id, 0, ? FROM versions",
       second + "PRAGMA user_version = 2", 2},
      {"first format: whole, no facts", "UPDATE versions SET bytes = ?",
       second +
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
      raw.Execute(kBackToThirdFormat);
      raw.Number(c.storeMovie, aBytes);
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
    // The state of before the upgrade was sealed by it: undo goes back to it.
    EXPECT_EQ(GetZuSession()->GetCommandHistory()->Undo(), kZuSuccess);
    Reopen();
    EXPECT_EQ(State(), before);
    CloseProject();
    RawFile raw(ProjectPath());
    EXPECT_EQ(raw.Number("PRAGMA user_version"), 4);
    EXPECT_EQ(raw.Number("SELECT count(*) FROM sqlite_master WHERE name IN ('packs', 'chunks', "
                         "'version_chunks', 'version_parts')"),
              0);
  }
  RawFile(ProjectPath()).Execute("PRAGMA user_version = 5");
  std::string error;
  EXPECT_EQ(ZuProject::Open(ZuString(std::string_view(ProjectPath())), ZuProjectAccess::kReadOnly,
                            &error),
            nullptr);
  EXPECT_NE(error.find("unknown format version 5"), std::string::npos) << error;
}

// Purge keeps the current state and the movies it shows, byte for byte, and leaves no byte
// of a version only the history kept anywhere in the file; undo has nothing left.
TEST_F(ProjectVersionsTest, PurgeLeavesNoByteOfWhatOnlyTheHistoryKept) {
  const std::string shown = WritePlainMovie("shown.swf", 2 * kMiB, 0, 3);
  const int64_t kept = AddAndGetVersion(shown);
  ZuMovieFacts secret;
  std::string error;
  ASSERT_TRUE(ZuMovieFacts::Examine(
      ZuSharedBytes::Adopt(ReadFileBytes(WritePlainMovie("secret.swf", kMiB, 0, 11))), &secret,
      &error));
  ASSERT_TRUE(Project().BeginCommand(&error)) << error;
  ASSERT_NE(Project().StoreVersion(secret, &error), 0) << error;  // stored, shown by no slide
  ASSERT_TRUE(Project().CommitCommand("store", &error)) << error;
  const auto run = secret.bytes.begin() + 500000;
  const auto inFile = [&] {
    const std::vector<uint8_t> file = ReadFileBytes(ProjectPath());
    return std::search(file.begin(), file.end(), run, run + 64) != file.end();
  };
  ZuProjectStorage storage;
  ASSERT_TRUE(Project().ReadStorage(&storage, &error)) << error;
  EXPECT_EQ(storage.historyOnlyVersions, 1);
  EXPECT_TRUE(inFile());

  ASSERT_TRUE(Project().PurgeHistory(&error)) << error;
  Reopen();
  EXPECT_FALSE(inFile());
  ExpectStoredAs(kept, shown);
  EXPECT_EQ(Project().ListStates().size(), 1u);
  EXPECT_EQ(Project().GetPreviousStateId(), 0);
  ASSERT_TRUE(Project().ReadStorage(&storage, &error)) << error;
  EXPECT_EQ(storage.versionCount, 1);
  EXPECT_EQ(storage.historyOnlyVersions, 0);
}

// The facts come from where they are stored, not from the movie: listing the project needs
// no movie read (here the bytes are even gone); facts changed in the file are damage.
TEST_F(ProjectVersionsTest, ListingUsesTheStoredFacts) {
  AddAndGetVersion(WriteMovie("a.swf", 20, 0x123456));
  CloseProject();
  RawFile(ProjectPath()).Execute("DELETE FROM segments");
  const FmreditRun list = RunFmredit({"project", "list", ProjectPath()});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("      20  yes"), std::string::npos) << list.out;
  RawFile(ProjectPath()).Execute("UPDATE versions SET frames = 77");
  const FmreditRun damaged = RunFmredit({"project", "list", ProjectPath()});
  EXPECT_NE(damaged.exitCode, 0);
  EXPECT_NE(damaged.err.find("damaged"), std::string::npos) << damaged.err;
}

}  // namespace
