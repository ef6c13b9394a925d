#include "host/app/ZuProjectStore.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "host/app/ZuSqlite.h"
#include "host/util/ZuFileStream.h"

namespace {

constexpr int64_t kApplicationId = 0x5A75464D;  // "ZuFM"
constexpr int64_t kFormatVersion = 1;

constexpr const char* kSchema = R"sql(
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
)sql";

bool SetError(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return false;
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
  if (file == nullptr) return true;  // let SQLite report why it cannot be opened
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
  if (m_inTransaction) Rollback();
  sqlite3_close(m_db);
}

std::unique_ptr<ZuProjectStore> ZuProjectStore::Create(const std::string& path,
                                                       std::string* error) {
  if (PathExists(path)) {
    SetError(error, "a file already exists there");
    return nullptr;
  }
  sqlite3* db = OpenDatabase(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
  if (db == nullptr) return nullptr;
  std::unique_ptr<ZuProjectStore> store(new ZuProjectStore(db, path, false));
  // Large pages keep movie bytes in few, long runs.
  ZuSqlExecute(db, "PRAGMA page_size=65536");
  if (!store->TakeLock(error) || !store->CreateSchema(error)) {
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
  if (db == nullptr) return nullptr;
  std::unique_ptr<ZuProjectStore> store(new ZuProjectStore(db, path, readOnly));
  if (!readOnly && sqlite3_db_readonly(db, "main") == 1) {
    SetError(error, "project file is read-only");
    return nullptr;
  }
  if (!store->TakeLock(error) || !store->CheckFormat(error) || !store->ReadCurrent(error)) {
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
bool ZuProjectStore::TakeLock(std::string* error) {
  sqlite3_busy_timeout(m_db, 0);
  int code = ZuSqlExecute(m_db, "PRAGMA locking_mode=EXCLUSIVE");
  if (code == SQLITE_OK) {
    code = ZuSqlExecute(m_db, m_readOnly ? "BEGIN; SELECT count(*) FROM sqlite_master; COMMIT"
                                         : "BEGIN EXCLUSIVE; COMMIT");
  }
  if (code != SQLITE_OK) {
    ZuSqlExecute(m_db, "ROLLBACK");
    return Fail(code, error);
  }
  return true;
}

bool ZuProjectStore::CreateSchema(std::string* error) {
  if (!Begin(error)) return false;
  int code = ZuSqlExecute(m_db, kSchema);
  if (code == SQLITE_OK) {
    code = ZuSqlExecute(m_db, "PRAGMA application_id=1517635149; PRAGMA user_version=1");
  }
  if (code != SQLITE_OK) {
    Rollback();
    return Fail(code, error);
  }
  if (!AppendState(ZuProjectState(), "new project", error)) {
    Rollback();
    return false;
  }
  return Commit(error);
}

bool ZuProjectStore::CheckFormat(std::string* error) {
  ZuSqlStatement id(m_db, "PRAGMA application_id");
  int code = id.Step();
  if (code != SQLITE_ROW) return Fail(code, error);
  if (id.ColumnInt(0) != kApplicationId) {
    return SetError(error, "not a project file (an SQLite database of another kind)");
  }
  ZuSqlStatement version(m_db, "PRAGMA user_version");
  code = version.Step();
  if (code != SQLITE_ROW) return Fail(code, error);
  if (version.ColumnInt(0) != kFormatVersion) {
    return SetError(
        error, "project file of an unknown format version " + std::to_string(version.ColumnInt(0)));
  }
  return true;
}

bool ZuProjectStore::ReadCurrent(std::string* error) {
  ZuSqlStatement current(m_db, "SELECT value FROM meta WHERE key='current_state'");
  const int code = current.Step();
  if (code != SQLITE_ROW)
    return code == SQLITE_DONE ? SetError(error, "project file is damaged") : Fail(code, error);
  m_current = current.ColumnInt(0);
  return true;
}

bool ZuProjectStore::Begin(std::string* error) {
  if (m_readOnly) return SetError(error, "project is open read-only");
  if (m_inTransaction) return SetError(error, "a transaction is already open");
  m_lastError.clear();
  const int code = ZuSqlExecute(m_db, "BEGIN IMMEDIATE");
  if (code != SQLITE_OK) return Fail(code, error);
  m_inTransaction = true;
  m_currentAtBegin = m_current;
  return true;
}

bool ZuProjectStore::Commit(std::string* error) {
  if (!m_inTransaction) return SetError(error, "no transaction is open");
  const int code = ZuSqlExecute(m_db, "COMMIT");
  if (code != SQLITE_OK) {
    Rollback();
    return Fail(code, error);
  }
  m_inTransaction = false;
  return true;
}

void ZuProjectStore::Rollback() {
  if (!m_inTransaction) return;
  ZuSqlExecute(m_db, "ROLLBACK");
  m_inTransaction = false;
  m_current = m_currentAtBegin;
}

int64_t ZuProjectStore::InsertVersion(std::span<const uint8_t> bytes, std::string* error) {
  ZuSqlStatement insert(m_db,
                        "INSERT INTO versions(size, created, bytes) VALUES(?, datetime('now'), ?)");
  insert.Bind(1, static_cast<int64_t>(bytes.size()));
  insert.BindBlob(2, bytes);
  const int code = insert.Step();
  if (code != SQLITE_DONE) {
    Fail(code, error);
    return 0;
  }
  return sqlite3_last_insert_rowid(m_db);
}

bool ZuProjectStore::ReadVersion(int64_t id, std::vector<uint8_t>* bytes,
                                 std::string* error) const {
  sqlite3_blob* blob = nullptr;
  int code = sqlite3_blob_open(m_db, "main", "versions", "bytes", id, 0, &blob);
  if (code != SQLITE_OK) {
    sqlite3_blob_close(blob);
    return Fail(code, error);
  }
  const int size = sqlite3_blob_bytes(blob);
  try {
    bytes->assign(static_cast<size_t>(size), 0);
  } catch (const std::bad_alloc&) {
    sqlite3_blob_close(blob);
    return SetError(error, "out of memory");
  }
  code = size > 0 ? sqlite3_blob_read(blob, bytes->data(), size, 0) : SQLITE_OK;
  sqlite3_blob_close(blob);
  return code == SQLITE_OK || Fail(code, error);
}

bool ZuProjectStore::ExportVersion(int64_t id, const std::string& path, std::string* error) const {
  sqlite3_blob* blob = nullptr;
  int code = sqlite3_blob_open(m_db, "main", "versions", "bytes", id, 0, &blob);
  if (code != SQLITE_OK) {
    sqlite3_blob_close(blob);
    return Fail(code, error);
  }
  std::string openError;
  std::unique_ptr<ZuFileStream> out(
      ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &openError));
  if (!out) {
    sqlite3_blob_close(blob);
    return SetError(error, "cannot write " + path + ": " + openError);
  }
  constexpr int kChunk = 4 << 20;
  std::vector<uint8_t> chunk(kChunk);
  const int size = sqlite3_blob_bytes(blob);
  for (int offset = 0; offset < size && code == SQLITE_OK; offset += kChunk) {
    const int n = std::min(kChunk, size - offset);
    code = sqlite3_blob_read(blob, chunk.data(), n, offset);
    if (code == SQLITE_OK && !out->Write(chunk.data(), static_cast<size_t>(n))) break;
  }
  sqlite3_blob_close(blob);
  if (code != SQLITE_OK) {
    out->Discard();
    return Fail(code, error);
  }
  if (!out->Close()) return SetError(error, "cannot write " + path);
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
  if (code != SQLITE_DONE) return Fail(code, error);
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
    if (code != SQLITE_DONE) return Fail(code, error);
  }
  ZuSqlStatement head(m_db,
                      "INSERT INTO states(label, created, next_uid) VALUES(?, datetime('now'), ?)");
  head.Bind(1, label);
  head.Bind(2, static_cast<int64_t>(state.nextUid));
  int code = head.Step();
  if (code != SQLITE_DONE) return Fail(code, error);
  const int64_t id = sqlite3_last_insert_rowid(m_db);
  for (const ZuProjectState::Resource& resource : state.resources) {
    ZuSqlStatement row(m_db, "INSERT INTO state_resources VALUES(?, ?, ?, ?, ?)");
    row.Bind(1, id);
    row.Bind(2, static_cast<int64_t>(resource.uid));
    row.Bind(3, resource.name);
    row.Bind(4, static_cast<int64_t>(resource.fmr));
    row.Bind(5, resource.version);
    if ((code = row.Step()) != SQLITE_DONE) return Fail(code, error);
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
    if ((code = row.Step()) != SQLITE_DONE) return Fail(code, error);
  }
  return SetCurrentState(id, error);
}

bool ZuProjectStore::SetCurrentState(int64_t id, std::string* error) {
  ZuSqlStatement update(m_db, "UPDATE meta SET value = ? WHERE key = 'current_state'");
  update.Bind(1, id);
  const int code = update.Step();
  if (code != SQLITE_DONE) return Fail(code, error);
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
