#include "host/app/ZuProjectStore.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/app/ZuSqlite.h"

namespace {

// How long a statement waits for another connection's lock on the file: a reader for a
// writer's commit, a writer's commit for the readers' statements.
constexpr int kLockWaitMilliseconds = 30000;

constexpr const char* kInUse = "project is in use: another fmredit holds it for changes";

// A failure before there is a store to record it: through error only.
void Report(std::string* error, const std::string& message) {
  if (error != nullptr) {
    *error = message;
  }
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
    if (error != nullptr) {
      *error = ZuSqlDescribe(db, code);
    }
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kLockWaitMilliseconds);
  // Pages are read through a mapping of the file: following a pack's chain of overflow
  // pages then costs no copy of each page, which reading them would (the chain is walked
  // page by page before the pack's bytes are read).
  ZuSqlExecute(db, "PRAGMA mmap_size=1099511627776");
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
  // Closed after the connection: closing any descriptor of the file drops this process's
  // record locks on it, which SQLite's own may be.
  if (m_writerLock >= 0) {
    close(m_writerLock);
  }
}
bool ZuProjectStore::SetError(std::string* error, const std::string& message) const {
  m_lastError = message;
  if (error != nullptr) {
    *error = message;
  }
  return false;
}

std::unique_ptr<ZuProjectStore> ZuProjectStore::Create(const std::string& path,
                                                       std::string* error) {
  if (PathExists(path)) {
    Report(error, "a file already exists there");
    return nullptr;
  }
  sqlite3* db = OpenDatabase(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, error);
  if (db == nullptr) {
    return nullptr;
  }
  std::unique_ptr<ZuProjectStore> store(new ZuProjectStore(db, path, false));
  // Small pages keep a small project small: every table and index takes at least one.
  ZuSqlExecute(db, "PRAGMA page_size=4096");
  if (!store->TakeWriterLock(error) || !store->CreateSchema(error) || !store->Compact(error)) {
    store.reset();
    unlink(path.c_str());
    return nullptr;
  }
  return store;
}

std::unique_ptr<ZuProjectStore> ZuProjectStore::Open(const std::string& path,
                                                     ZuProjectAccess access, std::string* error) {
  if (!PathExists(path)) {
    Report(error, "no such project file");
    return nullptr;
  }
  if (!HasSqliteHeader(path)) {
    Report(error, "not a project file (not an SQLite database)");
    return nullptr;
  }
  const bool readOnly = access == ZuProjectAccess::kReadOnly;
  if (!readOnly && IsWriteProtected(path)) {
    Report(error, "project file is read-only");
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
    Report(error, "project file is read-only");
    return nullptr;
  }
  if ((!readOnly && !store->TakeWriterLock(error)) || !store->CheckFormat(error) ||
      !store->ReadCurrent(error)) {
    return nullptr;
  }
  if (!readOnly && !store->Upgrade(error)) {
    return nullptr;
  }
  return store;
}

bool ZuProjectStore::Fail(int code, std::string* error) const {
  return SetError(error, ZuSqlDescribe(m_db, code));
}

bool ZuProjectStore::TakeWriterLock(std::string* error) {
  m_writerLock = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (m_writerLock < 0) {
    return SetError(error, std::string("cannot open the project file: ") + std::strerror(errno));
  }
  if (flock(m_writerLock, LOCK_EX | LOCK_NB) != 0) {
    return SetError(error, errno == EWOULDBLOCK ? kInUse
                                                : std::string("cannot lock the project file: ") +
                                                      std::strerror(errno));
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
  return CheckCurrent(error);
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
  m_sources.clear();
  const int code = ZuSqlExecute(m_db, "COMMIT");
  if (code != SQLITE_OK) {
    Rollback();
    return Fail(code, error);
  }
  m_inTransaction = false;
  return true;
}

void ZuProjectStore::Rollback() {
  m_sources.clear();
  if (!m_inTransaction) {
    return;
  }
  ZuSqlExecute(m_db, "ROLLBACK");
  m_inTransaction = false;
  m_current = m_currentAtBegin;
}
