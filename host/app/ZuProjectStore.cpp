#include "host/app/ZuProjectStore.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuSqlite.h"
#include "host/util/ZuFileStream.h"
#include "host/util/ZuMappedPageReleaser.h"

namespace {

constexpr int64_t kApplicationId = 0x5A75464D;  // "ZuFM"
constexpr int64_t kFormatVersion = 2;

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

// The size of the parts a movie is stored in. Large enough that a part costs little beyond
// its bytes, small enough that storing one never holds much memory: the database writes
// each part's pages once, at the end of the file, where they need no rollback journal.
constexpr size_t kPartSize = size_t{4} << 20;
constexpr size_t kExportWindow = size_t{1} << 20;

bool SetError(std::string* error, const std::string& message) {
  if (error != nullptr) {
    *error = message;
  }
  return false;
}

bool Damaged(std::string* error) {
  return SetError(error,
                  "project file is damaged (a movie's stored size does not match its bytes)");
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// Whether the file starts as every SQLite database does. Checked before SQLite sees the
// file, which would otherwise take an empty file for a new database and write to it.
bool HasSqliteHeader(const std::string& path) {
  static const char kMagic[16] = "SQLite format 3";
  char header[16] = {};
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return true;  // let SQLite report why it cannot be opened
  }
  const size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  return got == sizeof header && std::memcmp(header, kMagic, sizeof header) == 0;
}

// A file without any write permission is read-only for everyone, the superuser included.
bool IsWriteProtected(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
}

sqlite3* OpenDatabase(const std::string& path, int flags, std::string* error) {
  sqlite3* db = nullptr;
  const int code = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (code != SQLITE_OK) {
    SetError(error, ZuSqlDescribe(db, code));
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_extended_result_codes(db, 1);
  return db;
}

}  // namespace

ZuProjectStore::ZuProjectStore(sqlite3* db, std::string path, bool readOnly)
    : m_db(db), m_path(std::move(path)), m_readOnly(readOnly) {}

ZuProjectStore::~ZuProjectStore() {
  if (m_inTransaction) {
    Rollback();
  }
  sqlite3_close(m_db);
}

std::unique_ptr<ZuProjectStore> ZuProjectStore::Create(const std::string& path,
                                                       std::string* error) {
  if (PathExists(path)) {
    SetError(error, "a file already exists there");
    return nullptr;
  }
  sqlite3* db = OpenDatabase(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
  if (db == nullptr) {
    return nullptr;
  }
  std::unique_ptr<ZuProjectStore> store(new ZuProjectStore(db, path, false));
  // Large pages keep movie bytes in few, long runs.
  ZuSqlExecute(db, "PRAGMA page_size=65536");
  // The schema's transaction takes the exclusive lock (a transaction of its own to take it
  // would cost a round of disk syncs).
  if (!store->KeepLocks(error) || !store->CreateSchema(error)) {
    store.reset();
    unlink(path.c_str());
    return nullptr;
  }
  return store;
}

std::unique_ptr<ZuProjectStore> ZuProjectStore::Open(const std::string& path,
                                                     ZuProjectAccess access, std::string* error) {
  if (!PathExists(path)) {
    SetError(error, "no such project file");
    return nullptr;
  }
  if (!HasSqliteHeader(path)) {
    SetError(error, "not a project file (not an SQLite database)");
    return nullptr;
  }
  const bool readOnly = access == ZuProjectAccess::kReadOnly;
  if (!readOnly && IsWriteProtected(path)) {
    SetError(error, "project file is read-only");
    return nullptr;
  }
  // A reader opens a writable file for writing too, so that SQLite can roll back what a
  // crashed writer left half done; the store itself never writes through it.
  const int flags = IsWriteProtected(path) ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
  sqlite3* db = OpenDatabase(path, flags, error);
  if (db == nullptr) {
    return nullptr;
  }
  std::unique_ptr<ZuProjectStore> store(new ZuProjectStore(db, path, readOnly));
  if (!readOnly && sqlite3_db_readonly(db, "main") == 1) {
    SetError(error, "project file is read-only");
    return nullptr;
  }
  if (!store->TakeLock(error) || !store->CheckFormat(error) || !store->ReadCurrent(error)) {
    return nullptr;
  }
  if (!readOnly && store->m_format < kFormatVersion && !store->Upgrade(error)) {
    return nullptr;
  }
  return store;
}

bool ZuProjectStore::Fail(int code, std::string* error) const {
  m_lastError = ZuSqlDescribe(m_db, code);
  return SetError(error, m_lastError);
}

// In exclusive locking mode SQLite keeps every lock it took until the connection closes: a
// writer's first exclusive transaction locks out everyone, a reader's first read every writer.
bool ZuProjectStore::KeepLocks(std::string* error) {
  sqlite3_busy_timeout(m_db, 0);
  const int code = ZuSqlExecute(m_db, "PRAGMA locking_mode=EXCLUSIVE");
  return code == SQLITE_OK || Fail(code, error);
}

bool ZuProjectStore::TakeLock(std::string* error) {
  if (!KeepLocks(error)) {
    return false;
  }
  const int code =
      ZuSqlExecute(m_db, m_readOnly ? "BEGIN; SELECT count(*) FROM sqlite_master; COMMIT"
                                    : "BEGIN EXCLUSIVE; COMMIT");
  if (code != SQLITE_OK) {
    ZuSqlExecute(m_db, "ROLLBACK");
    return Fail(code, error);
  }
  return true;
}

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

// Brings a file of the first format to the current one, in its own transaction unless one
// is open already.
bool ZuProjectStore::Upgrade(std::string* error) {
  const bool own = !m_inTransaction;
  if (own && !Begin(error)) {
    return false;
  }
  const int code = ZuSqlExecute(m_db, kUpgradeToSecondFormat);
  if (code != SQLITE_OK) {
    Fail(code, error);
    if (own) {
      Rollback();
    }
    return false;
  }
  if (own && !Commit(error)) {
    return false;
  }
  m_format = kFormatVersion;
  return true;
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

bool ZuProjectStore::ReadCurrent(std::string* error) {
  ZuSqlStatement current(m_db, "SELECT value FROM meta WHERE key='current_state'");
  const int code = current.Step();
  if (code != SQLITE_ROW) {
    return code == SQLITE_DONE ? SetError(error, "project file is damaged") : Fail(code, error);
  }
  m_current = current.ColumnInt(0);
  return true;
}

bool ZuProjectStore::Begin(std::string* error) {
  if (m_readOnly) {
    return SetError(error, "project is open read-only");
  }
  if (m_inTransaction) {
    return SetError(error, "a transaction is already open");
  }
  m_lastError.clear();
  const int code = ZuSqlExecute(m_db, "BEGIN IMMEDIATE");
  if (code != SQLITE_OK) {
    return Fail(code, error);
  }
  m_inTransaction = true;
  m_currentAtBegin = m_current;
  return true;
}

bool ZuProjectStore::Commit(std::string* error) {
  if (!m_inTransaction) {
    return SetError(error, "no transaction is open");
  }
  const int code = ZuSqlExecute(m_db, "COMMIT");
  if (code != SQLITE_OK) {
    Rollback();
    return Fail(code, error);
  }
  m_inTransaction = false;
  return true;
}

void ZuProjectStore::Rollback() {
  if (!m_inTransaction) {
    return;
  }
  ZuSqlExecute(m_db, "ROLLBACK");
  m_inTransaction = false;
  m_current = m_currentAtBegin;
}

int64_t ZuProjectStore::InsertVersion(const ZuMovieFacts& movie, std::string* error) {
  if (m_readOnly) {
    SetError(error, "project is open read-only");
    return 0;
  }
  // A savepoint makes the version's rows one unit, inside the command's transaction or
  // on their own.
  int code = ZuSqlExecute(m_db, "SAVEPOINT store_version");
  if (code != SQLITE_OK) {
    Fail(code, error);
    return 0;
  }
  ZuSqlStatement row(m_db,
                     "INSERT INTO versions(size, created, bytes, frames, frame_rate, fmr) "
                     "VALUES(?, datetime('now'), x'', ?, ?, ?)");
  row.Bind(1, static_cast<int64_t>(movie.bytes.size()));
  row.Bind(2, static_cast<int64_t>(movie.frameCount));
  row.Bind(3, static_cast<int64_t>(movie.frameRate));
  row.Bind(4, static_cast<int64_t>(movie.fmr));
  code = row.Step();
  bool stored = code == SQLITE_DONE || Fail(code, error);
  const int64_t id = stored ? sqlite3_last_insert_rowid(m_db) : 0;
  stored = stored && StoreParts(id, movie.bytes, error);
  if (stored) {
    code = ZuSqlExecute(m_db, "RELEASE store_version");
    stored = code == SQLITE_OK || Fail(code, error);
  }
  if (!stored) {
    // A failed write may have ended the whole transaction already; then these do nothing.
    ZuSqlExecute(m_db, "ROLLBACK TO store_version");
    ZuSqlExecute(m_db, "RELEASE store_version");
    return 0;
  }
  return id;
}

// The bytes go in straight from where they lie (a mapped file, usually), one part at a time.
bool ZuProjectStore::StoreParts(int64_t id, const ZuSharedBytes& bytes, std::string* error) {
  ZuSqlStatement insert(m_db, "INSERT INTO version_parts(version, part, bytes) VALUES(?, ?, ?)");
  insert.Bind(1, id);
  ZuMappedPageReleaser pages;  // a mapped movie never becomes resident whole
  int64_t part = 0;
  for (size_t offset = 0; offset < bytes.size(); offset += kPartSize) {
    const size_t size = std::min(kPartSize, bytes.size() - offset);
    insert.Bind(2, part++);
    insert.BindBlob(3, bytes.span().subspan(offset, size));
    const int code = insert.Step();
    if (code != SQLITE_DONE) {
      return Fail(code, error);
    }
    insert.Reset();
    pages.Passed(bytes, offset + size);
  }
  return true;
}

int64_t ZuProjectStore::VersionSize(int64_t id, std::string* error) const {
  ZuSqlStatement query(m_db, "SELECT size FROM versions WHERE id = ?");
  query.Bind(1, id);
  const int code = query.Step();
  if (code == SQLITE_DONE) {
    SetError(error, "project file is damaged (missing movie " + std::to_string(id) + ")");
    return -1;
  }
  if (code != SQLITE_ROW) {
    Fail(code, error);
    return -1;
  }
  const int64_t size = query.ColumnInt(0);
  if (size < 0) {
    Damaged(error);
    return -1;
  }
  return size;
}

bool ZuProjectStore::ForEachPiece(int64_t id, ZuSqlBlobReader& blob,
                                  const std::function<bool(const ZuSqlBlobReader&)>& read,
                                  std::string* error) const {
  std::vector<int64_t> parts;
  if (m_format >= 2) {
    ZuSqlStatement query(m_db, "SELECT rowid FROM version_parts WHERE version = ? ORDER BY part");
    query.Bind(1, id);
    int code = SQLITE_OK;
    while ((code = query.Step()) == SQLITE_ROW) {
      parts.push_back(query.ColumnInt(0));
    }
    if (code != SQLITE_DONE) {
      return Fail(code, error);
    }
  }
  if (parts.empty()) {  // stored whole by the first format, or an empty movie
    const int code = blob.Open("versions", "bytes", id);
    return code == SQLITE_OK ? read(blob) : Fail(code, error);
  }
  for (const int64_t part : parts) {
    const int code = blob.Open("version_parts", "bytes", part);
    if (code != SQLITE_OK) {
      return Fail(code, error);
    }
    if (!read(blob)) {
      return false;
    }
  }
  return true;
}

bool ZuProjectStore::ReadVersion(int64_t id, std::vector<uint8_t>* bytes,
                                 std::string* error) const {
  const int64_t size = VersionSize(id, error);
  if (size < 0) {
    return false;
  }
  try {
    bytes->assign(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    return SetError(error, "out of memory");
  }
  size_t filled = 0;
  ZuSqlBlobReader blob(m_db);
  const auto read = [&](const ZuSqlBlobReader& piece) {
    const auto count = static_cast<size_t>(piece.GetSize());
    if (count > bytes->size() - filled) {
      return Damaged(error);
    }
    const int code = count > 0 ? piece.Read(bytes->data() + filled, piece.GetSize(), 0) : SQLITE_OK;
    if (code != SQLITE_OK) {
      return Fail(code, error);
    }
    filled += count;
    return true;
  };
  if (!ForEachPiece(id, blob, read, error)) {
    return false;
  }
  return filled == bytes->size() || Damaged(error);
}

bool ZuProjectStore::ExportVersion(int64_t id, const std::string& path, std::string* error) const {
  const int64_t size = VersionSize(id, error);
  if (size < 0) {
    return false;
  }
  std::string openError;
  std::unique_ptr<ZuFileStream> out(
      ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &openError));
  if (!out) {
    return SetError(error, "cannot write " + path + ": " + openError);
  }
  // Bytes pass through a window small enough to stay in the processor's cache between
  // being read and being written.
  std::vector<uint8_t> window(
      std::min(kExportWindow, static_cast<size_t>(std::max<int64_t>(size, 1))));
  uint64_t written = 0;
  ZuSqlBlobReader blob(m_db);
  const auto copy = [&](const ZuSqlBlobReader& piece) {
    const int count = piece.GetSize();
    if (static_cast<uint64_t>(count) > static_cast<uint64_t>(size) - written) {
      return Damaged(error);
    }
    const int step = static_cast<int>(window.size());
    for (int offset = 0; offset < count; offset += step) {
      const int n = std::min(step, count - offset);
      const int code = piece.Read(window.data(), n, offset);
      if (code != SQLITE_OK) {
        return Fail(code, error);
      }
      if (!out->Write(window.data(), static_cast<size_t>(n))) {
        return SetError(error, "cannot write " + path + ": " + std::strerror(errno));
      }
    }
    written += static_cast<uint64_t>(count);
    return true;
  };
  if (!ForEachPiece(id, blob, copy, error) ||
      (written != static_cast<uint64_t>(size) && !Damaged(error))) {
    out->Discard();
    return false;
  }
  if (!out->Close()) {
    return SetError(error, "cannot write " + path + ": " + std::strerror(errno));
  }
  return true;
}

bool ZuProjectStore::ReadVersionFacts(int64_t id, ZuMovieFacts* facts) const {
  if (m_format < 2) {
    return false;
  }
  ZuSqlStatement query(m_db,
                       "SELECT frames, frame_rate, fmr FROM versions WHERE id = ? AND "
                       "frames BETWEEN 0 AND 65535 AND frame_rate BETWEEN 0 AND 65535 AND "
                       "fmr IS NOT NULL");
  query.Bind(1, id);
  if (query.Step() != SQLITE_ROW) {
    return false;
  }
  *facts = ZuMovieFacts();
  facts->fmr = query.ColumnInt(2) != 0;
  facts->SetLength(static_cast<uint16_t>(query.ColumnInt(0)),
                   static_cast<uint16_t>(query.ColumnInt(1)));
  return true;
}

int64_t ZuProjectStore::NeighbourState(const char* sql) const {
  ZuSqlStatement query(m_db, sql);
  query.Bind(1, m_current);
  return query.Step() == SQLITE_ROW ? query.ColumnInt(0) : 0;
}

int64_t ZuProjectStore::GetPreviousStateId() const {
  return NeighbourState("SELECT max(id) FROM states WHERE id < ? HAVING count(*) > 0");
}

int64_t ZuProjectStore::GetNextStateId() const {
  return NeighbourState("SELECT min(id) FROM states WHERE id > ? HAVING count(*) > 0");
}

bool ZuProjectStore::LoadState(int64_t id, ZuProjectState* state, std::string* error) const {
  *state = ZuProjectState();
  ZuSqlStatement head(m_db, "SELECT next_uid FROM states WHERE id = ?");
  head.Bind(1, id);
  int code = head.Step();
  if (code != SQLITE_ROW) {
    return code == SQLITE_DONE ? SetError(error, "project file is damaged (missing state)")
                               : Fail(code, error);
  }
  state->nextUid = static_cast<int32_t>(head.ColumnInt(0));
  ZuSqlStatement resources(
      m_db, "SELECT uid, name, fmr, version FROM state_resources WHERE state = ? ORDER BY uid");
  resources.Bind(1, id);
  while ((code = resources.Step()) == SQLITE_ROW) {
    state->resources.push_back({static_cast<int32_t>(resources.ColumnInt(0)),
                                resources.ColumnText(1), resources.ColumnInt(2) != 0,
                                resources.ColumnInt(3)});
  }
  if (code != SQLITE_DONE) {
    return Fail(code, error);
  }
  ZuSqlStatement slides(m_db,
                        "SELECT uid, duration, min_duration, fmr, resource FROM state_slides "
                        "WHERE state = ? ORDER BY position");
  slides.Bind(1, id);
  while ((code = slides.Step()) == SQLITE_ROW) {
    state->slides.push_back({static_cast<int32_t>(slides.ColumnInt(0)), slides.ColumnDouble(1),
                             slides.ColumnDouble(2), slides.ColumnInt(3) != 0,
                             static_cast<int32_t>(slides.ColumnInt(4))});
  }
  return code == SQLITE_DONE || Fail(code, error);
}

bool ZuProjectStore::AppendState(const ZuProjectState& state, const std::string& label,
                                 std::string* error) {
  ZuSqlStatement dropSlides(m_db, "DELETE FROM state_slides WHERE state > ?");
  ZuSqlStatement dropResources(m_db, "DELETE FROM state_resources WHERE state > ?");
  ZuSqlStatement dropStates(m_db, "DELETE FROM states WHERE id > ?");
  for (ZuSqlStatement* drop : {&dropSlides, &dropResources, &dropStates}) {
    drop->Bind(1, m_current);
    const int code = drop->Step();
    if (code != SQLITE_DONE) {
      return Fail(code, error);
    }
  }
  ZuSqlStatement head(m_db,
                      "INSERT INTO states(label, created, next_uid) VALUES(?, datetime('now'), ?)");
  head.Bind(1, label);
  head.Bind(2, static_cast<int64_t>(state.nextUid));
  int code = head.Step();
  if (code != SQLITE_DONE) {
    return Fail(code, error);
  }
  const int64_t id = sqlite3_last_insert_rowid(m_db);
  for (const ZuProjectState::Resource& resource : state.resources) {
    ZuSqlStatement row(m_db, "INSERT INTO state_resources VALUES(?, ?, ?, ?, ?)");
    row.Bind(1, id);
    row.Bind(2, static_cast<int64_t>(resource.uid));
    row.Bind(3, resource.name);
    row.Bind(4, static_cast<int64_t>(resource.fmr));
    row.Bind(5, resource.version);
    if ((code = row.Step()) != SQLITE_DONE) {
      return Fail(code, error);
    }
  }
  int64_t position = 0;
  for (const ZuProjectState::Slide& slide : state.slides) {
    ZuSqlStatement row(m_db, "INSERT INTO state_slides VALUES(?, ?, ?, ?, ?, ?, ?)");
    row.Bind(1, id);
    row.Bind(2, position++);
    row.Bind(3, static_cast<int64_t>(slide.uid));
    row.Bind(4, slide.duration);
    row.Bind(5, slide.minimumDuration);
    row.Bind(6, static_cast<int64_t>(slide.fmr));
    row.Bind(7, static_cast<int64_t>(slide.resource));
    if ((code = row.Step()) != SQLITE_DONE) {
      return Fail(code, error);
    }
  }
  return SetCurrentState(id, error);
}

bool ZuProjectStore::SetCurrentState(int64_t id, std::string* error) {
  ZuSqlStatement update(m_db, "UPDATE meta SET value = ? WHERE key = 'current_state'");
  update.Bind(1, id);
  const int code = update.Step();
  if (code != SQLITE_DONE) {
    return Fail(code, error);
  }
  m_current = id;
  return true;
}

std::vector<ZuProjectStateInfo> ZuProjectStore::ListStates() const {
  std::vector<ZuProjectStateInfo> list;
  ZuSqlStatement query(m_db, "SELECT id, label, created FROM states ORDER BY id");
  while (query.Step() == SQLITE_ROW) {
    const int64_t id = query.ColumnInt(0);
    list.push_back({id, query.ColumnText(1), query.ColumnText(2), id == m_current});
  }
  return list;
}
