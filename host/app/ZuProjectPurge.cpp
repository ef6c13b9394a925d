// Dropping what only the history keeps: every state but the current one, the versions it does
// not show, and every stored byte those alone held.

#include <sqlite3.h>

#include <algorithm>
#include <set>

#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuPieceTable.h"
#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSqlite.h"

bool ZuProjectStore::Purge(std::string* error) {
  if (m_readOnly) {
    return SetError(error, "project is open read-only");
  }
  // Whatever a deletion frees is overwritten with zeros at once, and the file is then
  // rewritten whole: no page of it keeps a byte of what was dropped.
  int code = ZuSqlExecute(m_db, "PRAGMA secure_delete=ON");
  if (code != SQLITE_OK) {
    return Fail(code, error);
  }
  if (!Begin(error)) {
    return false;
  }
  if (!StoreShownVersionsAlone(error) || !DropAllButTheCurrentState(error) ||
      !DropUnusedSegments(error) || !Commit(error)) {
    Rollback();
    return false;
  }
  return Compact(error);
}

// The versions the current state shows, in the order they were stored.
std::vector<int64_t> ZuProjectStore::ShownVersions() const {
  std::vector<int64_t> versions;
  ZuSqlStatement query(
      m_db, "SELECT DISTINCT version FROM state_resources WHERE state = ? ORDER BY version");
  query.Bind(1, m_current);
  while (query.Step() == SQLITE_ROW) {
    versions.push_back(query.ColumnInt(0));
  }
  return versions;
}

// Stores each version the current state shows again, in place, from its own bytes: its table
// then refers only to new segments and to shown versions stored again before it. A version's
// seal covers its id, size, facts and bytes, none of which change, so the states' seals hold.
bool ZuProjectStore::StoreShownVersionsAlone(std::string* error) {
  m_sources.clear();
  for (const int64_t id : ShownVersions()) {
    ZuSharedBytes bytes;
    if (!ReadVersion(id, &bytes, error)) {
      return false;
    }
    // Kept as a source by the reading, but its bytes may lie in what is dropped.
    std::erase_if(m_sources, [id](const Source& source) { return source.id == id; });
    ZuMovieFacts movie;
    if (!ReadVersionFacts(id, &movie) && !ZuMovieFacts::Examine(bytes, &movie, error)) {
      return false;
    }
    movie.bytes = bytes;
    if (!WriteVersion(id, movie, error)) {
      return false;
    }
  }
  return true;
}

bool ZuProjectStore::DropAllButTheCurrentState(std::string* error) {
  constexpr const char* kDrops[] = {
      "DELETE FROM state_slides WHERE state <> ?1",
      "DELETE FROM state_resources WHERE state <> ?1",
      "DELETE FROM states WHERE id <> ?1",
      "DELETE FROM versions WHERE id NOT IN (SELECT version FROM state_resources WHERE state = ?1)",
  };
  for (const char* sql : kDrops) {
    ZuSqlStatement drop(m_db, sql);
    drop.Bind(1, m_current);
    const int code = drop.Step();
    if (code != SQLITE_DONE) {
      return Fail(code, error);
    }
  }
  return true;
}

bool ZuProjectStore::DropUnusedSegments(std::string* error) {
  std::set<int64_t> used;
  for (const int64_t id : ShownVersions()) {
    ZuPieceTable table;
    if (!ReadVersionTable(id, &table, error)) {
      return false;
    }
    for (const ZuPieceTable::Piece& piece : table.Pieces()) {
      if (piece.source > 0) {
        used.insert(piece.source);
      }
    }
  }
  std::vector<int64_t> unused;
  ZuSqlStatement all(m_db, "SELECT id FROM segments");
  while (all.Step() == SQLITE_ROW) {
    if (used.count(all.ColumnInt(0)) == 0) {
      unused.push_back(all.ColumnInt(0));
    }
  }
  ZuSqlStatement drop(m_db, "DELETE FROM segments WHERE id = ?");
  for (const int64_t id : unused) {
    drop.Reset();
    drop.Bind(1, id);
    const int code = drop.Step();
    if (code != SQLITE_DONE) {
      return Fail(code, error);
    }
  }
  return true;
}
