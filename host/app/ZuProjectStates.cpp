// The history of project states: one row per top-level command, and the current one. Each
// state is sealed by a digest of what it holds, and the pointer to the current state by a
// check of which state that is, so that a changed row is reported as damage, never loaded as
// another project.

#include <sqlite3.h>

#include <bit>
#include <string_view>

#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSha256.h"
#include "host/app/ZuSqlite.h"

namespace {

// The first format whose states and current-state pointer are sealed.
constexpr int64_t kSealedFormat = 4;
constexpr std::string_view kStateTag = "ZuFMREdit project state 1";
constexpr std::string_view kCurrentTag = "ZuFMREdit current state 1";
// What starts each row in a state's digest, so that rows of the two kinds cannot be taken
// for each other.
constexpr uint8_t kResourceRow = 'R';
constexpr uint8_t kSlideRow = 'S';

// A digest of fields: numbers as their 8 bytes, texts and blobs after their length, so
// that no two different lists of fields give the same bytes.
class FieldDigest {
 public:
  void Byte(uint8_t value) { m_sha.Update({&value, 1}); }
  void Int(int64_t value) {
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) {
      bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    }
    m_sha.Update(bytes);
  }
  void Real(double value) { Int(std::bit_cast<int64_t>(value)); }
  void Bytes(std::span<const uint8_t> bytes) {
    Int(static_cast<int64_t>(bytes.size()));
    m_sha.Update(bytes);
  }
  void Text(std::string_view text) {
    Bytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  }
  std::vector<uint8_t> Finish() {
    const ZuSha256::Digest digest = m_sha.Finish();
    return {digest.begin(), digest.end()};
  }

 private:
  ZuSha256 m_sha;
};

// The check kept with the pointer to the current state: 63 bits of a digest of the state's
// id and digest (so that it fits SQLite's signed integers).
int64_t CurrentCheck(int64_t id, const std::vector<uint8_t>& stateDigest) {
  FieldDigest fields;
  fields.Text(kCurrentTag);
  fields.Int(id);
  fields.Bytes(stateDigest);
  const std::vector<uint8_t> digest = fields.Finish();
  uint64_t check = 0;
  for (int i = 0; i < 8; ++i) {
    check = (check << 8) | digest[i];
  }
  return static_cast<int64_t>(check >> 1);
}

// One line for a state whose digest is wrong or missing.
std::string StateDamage(int64_t id, const char* what) {
  return "project file is damaged (state " + std::to_string(id) + " " + what + ")";
}

}  // namespace

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

// The digest covers the label (shown as the step's name in the history) and everything the
// state shows, each resource with the digest of the version it shows, so that pointing a
// resource at another version changes it. It leaves out the time the state was made: that
// only dates the step in the list of states and changes nothing the project shows or exports.
bool ZuProjectStore::ReadState(int64_t id, ZuProjectState* state, std::vector<uint8_t>* digest,
                               std::vector<uint8_t>* stored, std::string* error) const {
  *state = ZuProjectState();
  const bool sealed = m_format >= kSealedFormat;
  ZuSqlStatement head(m_db, sealed ? "SELECT next_uid, label, digest FROM states WHERE id = ?"
                                   : "SELECT next_uid, label, NULL FROM states WHERE id = ?");
  head.Bind(1, id);
  int code = head.Step();
  if (code != SQLITE_ROW) {
    return code == SQLITE_DONE ? SetError(error, "project file is damaged (missing state)")
                               : Fail(code, error);
  }
  FieldDigest fields;
  fields.Text(kStateTag);
  fields.Int(id);
  fields.Text(head.ColumnText(1));
  fields.Int(head.ColumnInt(0));
  state->nextUid = static_cast<int32_t>(head.ColumnInt(0));
  *stored = head.ColumnBlob(2);
  ZuSqlStatement resources(
      m_db, sealed ? "SELECT r.uid, r.name, r.fmr, r.version, v.digest FROM state_resources r "
                     "LEFT JOIN versions v ON v.id = r.version WHERE r.state = ? ORDER BY r.uid"
                   : "SELECT uid, name, fmr, version, NULL FROM state_resources WHERE state = ? "
                     "ORDER BY uid");
  resources.Bind(1, id);
  while ((code = resources.Step()) == SQLITE_ROW) {
    fields.Byte(kResourceRow);
    fields.Int(resources.ColumnInt(0));
    fields.Text(resources.ColumnText(1));
    fields.Int(resources.ColumnInt(2));
    fields.Int(resources.ColumnInt(3));
    fields.Bytes(resources.ColumnBlob(4));
    state->resources.push_back({static_cast<int32_t>(resources.ColumnInt(0)),
                                resources.ColumnText(1), resources.ColumnInt(2) != 0,
                                resources.ColumnInt(3)});
  }
  if (code != SQLITE_DONE) {
    return Fail(code, error);
  }
  ZuSqlStatement slides(m_db,
                        "SELECT uid, position, duration, min_duration, fmr, resource "
                        "FROM state_slides WHERE state = ? ORDER BY position");
  slides.Bind(1, id);
  while ((code = slides.Step()) == SQLITE_ROW) {
    fields.Byte(kSlideRow);
    fields.Int(slides.ColumnInt(0));
    fields.Int(slides.ColumnInt(1));
    fields.Real(slides.ColumnDouble(2));
    fields.Real(slides.ColumnDouble(3));
    fields.Int(slides.ColumnInt(4));
    fields.Int(slides.ColumnInt(5));
    state->slides.push_back({static_cast<int32_t>(slides.ColumnInt(0)), slides.ColumnDouble(2),
                             slides.ColumnDouble(3), slides.ColumnInt(4) != 0,
                             static_cast<int32_t>(slides.ColumnInt(5))});
  }
  if (code != SQLITE_DONE) {
    return Fail(code, error);
  }
  *digest = fields.Finish();
  return true;
}

bool ZuProjectStore::LoadState(int64_t id, ZuProjectState* state, std::string* error) const {
  std::vector<uint8_t> digest;
  std::vector<uint8_t> stored;
  if (!ReadState(id, state, &digest, &stored, error)) {
    return false;
  }
  // Files of earlier formats have no digests; they are only ever read.
  if (m_format < kSealedFormat || stored == digest) {
    return true;
  }
  *state = ZuProjectState();
  return SetError(error,
                  StateDamage(id, stored.empty() ? "has no digest" : "does not match its digest"));
}

bool ZuProjectStore::StoredStateDigest(int64_t id, std::vector<uint8_t>* digest,
                                       std::string* error) const {
  ZuSqlStatement query(m_db, "SELECT digest FROM states WHERE id = ?");
  query.Bind(1, id);
  const int code = query.Step();
  if (code != SQLITE_ROW) {
    return code == SQLITE_DONE ? SetError(error, "project file is damaged (missing state)")
                               : Fail(code, error);
  }
  *digest = query.ColumnBlob(0);
  return !digest->empty() || SetError(error, StateDamage(id, "has no digest"));
}

bool ZuProjectStore::CheckCurrent(std::string* error) const {
  if (m_format < kSealedFormat) {
    return true;
  }
  std::vector<uint8_t> digest;
  if (!StoredStateDigest(m_current, &digest, error)) {
    return false;
  }
  ZuSqlStatement check(m_db, "SELECT value FROM meta WHERE key = 'current_check'");
  const int code = check.Step();
  if (code != SQLITE_ROW && code != SQLITE_DONE) {
    return Fail(code, error);
  }
  return (code == SQLITE_ROW && check.ColumnInt(0) == CurrentCheck(m_current, digest)) ||
         SetError(error, "project file is damaged (the current state is not the one recorded)");
}

bool ZuProjectStore::SealState(int64_t id, std::string* error) {
  ZuProjectState state;
  std::vector<uint8_t> digest;
  std::vector<uint8_t> stored;
  if (!ReadState(id, &state, &digest, &stored, error)) {
    return false;
  }
  ZuSqlStatement update(m_db, "UPDATE states SET digest = ? WHERE id = ?");
  update.BindBlob(1, digest);
  update.Bind(2, id);
  const int code = update.Step();
  return code == SQLITE_DONE || Fail(code, error);
}

bool ZuProjectStore::SealStates(std::string* error) {
  std::vector<int64_t> ids;
  ZuSqlStatement query(m_db, "SELECT id FROM states ORDER BY id");
  int code = 0;
  while ((code = query.Step()) == SQLITE_ROW) {
    ids.push_back(query.ColumnInt(0));
  }
  if (code != SQLITE_DONE) {
    return Fail(code, error);
  }
  for (const int64_t id : ids) {
    if (!SealState(id, error)) {
      return false;
    }
  }
  // A new project has no state yet: its first one seals the pointer when it becomes current.
  return ids.empty() || SetCurrentState(m_current, error);
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
  // Sealed as read back, so that the digest is of the rows as they lie in the file.
  return SealState(id, error) && SetCurrentState(id, error);
}

bool ZuProjectStore::SetCurrentState(int64_t id, std::string* error) {
  std::vector<uint8_t> digest;
  if (!StoredStateDigest(id, &digest, error)) {
    return false;
  }
  ZuSqlStatement update(m_db, "UPDATE meta SET value = ? WHERE key = 'current_state'");
  update.Bind(1, id);
  ZuSqlStatement check(m_db, "INSERT OR REPLACE INTO meta VALUES('current_check', ?)");
  check.Bind(1, CurrentCheck(id, digest));
  for (ZuSqlStatement* write : {&update, &check}) {
    const int code = write->Step();
    if (code != SQLITE_DONE) {
      return Fail(code, error);
    }
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
