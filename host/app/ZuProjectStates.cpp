// The history of project states: one row per top-level command, and the current one.

#include <sqlite3.h>

#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSqlite.h"

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

bool ZuProjectStore::LoadCurrentState(ZuProjectState* state, std::string* error) {
  // Within a transaction of its own unless one is open, so that a writer's commit cannot
  // come between the reads.
  const bool own = !m_inTransaction;
  if (own) {
    const int code = ZuSqlExecute(m_db, "BEGIN");
    if (code != SQLITE_OK) {
      return Fail(code, error);
    }
  }
  const bool loaded = ReadCurrent(error) && LoadState(m_current, state, error);
  if (own) {
    ZuSqlExecute(m_db, "COMMIT");
  }
  return loaded;
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
