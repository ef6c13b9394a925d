// The project file's tables, the check of its format and the upgrades from earlier ones.

#include <sqlite3.h>

#include <iterator>

#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSqlite.h"

namespace {

constexpr int64_t kApplicationId = 0x5A75464D;  // "ZuFM"
// The tables of the first format. A new file starts with them and is upgraded as an old
// one is, so that every file of the current format has the same layout.
constexpr const char* kFirstFormat = R"sql(
CREATE TABLE versions(id INTEGER PRIMARY KEY, size INTEGER NOT NULL,
                      created TEXT NOT NULL, bytes BLOB NOT NULL);
CREATE TABLE states(id INTEGER PRIMARY KEY, label TEXT NOT NULL, created TEXT NOT NULL,
                    next_uid INTEGER NOT NULL);
CREATE TABLE state_resources(state INTEGER NOT NULL, uid INTEGER NOT NULL, name TEXT NOT NULL,
                             fmr INTEGER NOT NULL, version INTEGER NOT NULL,
                             PRIMARY KEY(state, uid));
CREATE TABLE state_slides(state INTEGER NOT NULL, position INTEGER NOT NULL, uid INTEGER NOT NULL,
                          duration REAL NOT NULL, min_duration REAL NOT NULL, fmr INTEGER NOT NULL,
                          resource INTEGER NOT NULL, PRIMARY KEY(state, position));
CREATE TABLE meta(key TEXT PRIMARY KEY, value INTEGER NOT NULL);
INSERT INTO meta VALUES('current_state', 0);
PRAGMA application_id=1517635149;
PRAGMA user_version=1;
)sql";

// From the first format to the second: each version's facts (null for the versions stored
// before), and its bytes in parts of version_parts (the versions stored before keep theirs
// whole in versions.bytes, which later versions leave empty).
constexpr const char* kUpgradeToSecondFormat = R"sql(
ALTER TABLE versions ADD COLUMN frames INTEGER;
ALTER TABLE versions ADD COLUMN frame_rate INTEGER;
ALTER TABLE versions ADD COLUMN fmr INTEGER;
CREATE TABLE version_parts(version INTEGER NOT NULL, part INTEGER NOT NULL,
                           bytes BLOB NOT NULL, PRIMARY KEY(version, part));
PRAGMA user_version=2;
)sql";

// From the second format to the third: movies as lists of shared chunks (see the class
// comment). The versions stored before keep their bytes where they are and no digest.
constexpr const char* kUpgradeToThirdFormat = R"sql(
ALTER TABLE versions ADD COLUMN chunk_list BLOB;
CREATE TABLE packs(id INTEGER PRIMARY KEY, bytes BLOB NOT NULL);
CREATE TABLE chunks(id INTEGER PRIMARY KEY, digest BLOB NOT NULL UNIQUE,
                    pack INTEGER NOT NULL, offset INTEGER NOT NULL, size INTEGER NOT NULL);
CREATE TABLE version_chunks(version INTEGER NOT NULL, position INTEGER NOT NULL,
                            chunk INTEGER NOT NULL, PRIMARY KEY(version, position)) WITHOUT ROWID;
PRAGMA user_version=3;
)sql";

// From the third format to the fourth: movies as piece tables over shared segments, every
// version and state sealed by a digest of what it is (see the class comment). The versions
// stored before are stored again in the new form by the upgrade (UpgradeVersions), which then
// empties the tables of the earlier forms.
constexpr const char* kUpgradeToFourthFormat = R"sql(
CREATE TABLE segments(id INTEGER PRIMARY KEY, digest BLOB NOT NULL UNIQUE, bytes BLOB NOT NULL);
ALTER TABLE versions ADD COLUMN pieces BLOB;
ALTER TABLE versions ADD COLUMN blocks BLOB;
ALTER TABLE versions ADD COLUMN digest BLOB;
ALTER TABLE states ADD COLUMN digest BLOB;
INSERT INTO meta VALUES('current_check', 0);
PRAGMA user_version=4;
)sql";

// The steps from each format to the next, in order: step i leads from format i + 1.
constexpr const char* kUpgrades[] = {kUpgradeToSecondFormat, kUpgradeToThirdFormat,
                                     kUpgradeToFourthFormat};
constexpr int64_t kFormatVersion = 1 + std::size(kUpgrades);

}  // namespace

bool ZuProjectStore::CreateSchema(std::string* error) {
  if (!Begin(error)) {
    return false;
  }
  const int code = ZuSqlExecute(m_db, kFirstFormat);
  if (code != SQLITE_OK) {
    Fail(code, error);
    Rollback();
    return false;
  }
  m_format = 1;
  if (!Upgrade(error) || !AppendState(ZuProjectState(), "new project", error)) {
    Rollback();
    return false;
  }
  return Commit(error);
}

// Brings a file of an earlier format to the current one, in its own transaction unless one
// is open already; nothing to do for a file of the current format.
bool ZuProjectStore::Upgrade(std::string* error) {
  if (m_format >= kFormatVersion) {
    return true;
  }
  const bool own = !m_inTransaction;
  if (own && !Begin(error)) {
    return false;
  }
  const int64_t from = m_format;
  bool upgraded = true;
  for (int64_t format = m_format; upgraded && format < kFormatVersion; ++format) {
    const int code = ZuSqlExecute(m_db, kUpgrades[format - 1]);
    upgraded = code == SQLITE_OK || Fail(code, error);
  }
  // The versions are read as their format stored them and stored again; then the states,
  // stored before they were sealed, are sealed with the versions' new seals.
  upgraded = upgraded && UpgradeVersions(error);
  m_format = kFormatVersion;
  if (upgraded && SealStates(error) && (!own || Commit(error))) {
    return true;
  }
  if (own) {
    Rollback();
  }
  m_format = from;
  return false;
}

// Gives the pages the upgrade of a new file freed back to the file system.
bool ZuProjectStore::Compact(std::string* error) {
  const int code = ZuSqlExecute(m_db, "VACUUM");
  return code == SQLITE_OK || Fail(code, error);
}

bool ZuProjectStore::CheckFormat(std::string* error) {
  ZuSqlStatement id(m_db, "PRAGMA application_id");
  int code = id.Step();
  if (code != SQLITE_ROW) {
    return Fail(code, error);
  }
  if (id.ColumnInt(0) != kApplicationId) {
    return SetError(error, "not a project file (an SQLite database of another kind)");
  }
  ZuSqlStatement version(m_db, "PRAGMA user_version");
  code = version.Step();
  if (code != SQLITE_ROW) {
    return Fail(code, error);
  }
  m_format = version.ColumnInt(0);
  if (m_format < 1 || m_format > kFormatVersion) {
    return SetError(error, "project file of an unknown format version " + std::to_string(m_format) +
                               " (this program reads versions 1 to " +
                               std::to_string(kFormatVersion) + ")");
  }
  return true;
}
