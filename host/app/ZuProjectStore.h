#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/app/ZuProjectState.h"

struct sqlite3;
class ZuSharedBytes;
class ZuSqlBlobReader;
struct ZuMovieFacts;

enum class ZuProjectAccess { kReadWrite, kReadOnly };

// The project file (*.fmrproj): one SQLite database holding
//   versions        every movie ever stored, never changed or removed once written, with
//                   its facts (frame count and rate, FMR or not); the bytes lie in
//                   version_parts, in pieces of a few megabytes, so that storing and
//                   exporting stream them and no movie needs to be in memory whole;
//   states          one row per top-level command: the project's resources and slides
//                   (state_resources, state_slides) after it, in a linear history;
//   meta            which state is the current one.
// Undo and redo move the current state along the history; a new state drops the states
// after the current one (they could only have been redone), never the versions.
//
// Files of the first format kept each movie whole in versions.bytes and no facts. Opening
// such a file for writing upgrades it in place (its movies stay where they are and are
// read from there); a reader reads it as it is, and its movies' facts are unknown.
//
// Opening takes the file for the store's whole life: a read-write store locks out every
// other process, a read-only store every writer; the one refused gets "project is in use".
// A failed operation leaves the file as it was and reports one line through error.
class ZuProjectStore {
 public:
  // Makes a new project file with one empty state. Fails when anything exists at path.
  static std::unique_ptr<ZuProjectStore> Create(const std::string& path, std::string* error);
  static std::unique_ptr<ZuProjectStore> Open(const std::string& path, ZuProjectAccess access,
                                              std::string* error);
  ~ZuProjectStore();
  ZuProjectStore(const ZuProjectStore&) = delete;
  ZuProjectStore& operator=(const ZuProjectStore&) = delete;

  const std::string& GetPath() const { return m_path; }
  bool IsReadOnly() const { return m_readOnly; }

  // One transaction: everything between Begin and Commit lands in the file together or not at all.
  bool Begin(std::string* error);
  bool Commit(std::string* error);
  void Rollback();
  bool InTransaction() const { return m_inTransaction; }

  // Stores the movie's bytes and facts as a new version, all or nothing (inside or outside
  // a transaction); its id, or 0 on failure.
  int64_t InsertVersion(const ZuMovieFacts& movie, std::string* error);
  bool ReadVersion(int64_t id, std::vector<uint8_t>* bytes, std::string* error) const;
  // Writes a version to a file; the file appears only when complete.
  bool ExportVersion(int64_t id, const std::string& path, std::string* error) const;
  // The stored facts of a version (facts->bytes stays empty). False when the version was
  // stored without them (by the first format) or cannot be read.
  bool ReadVersionFacts(int64_t id, ZuMovieFacts* facts) const;

  int64_t GetCurrentStateId() const { return m_current; }
  // The state before / after the current one, or 0 when there is none.
  int64_t GetPreviousStateId() const;
  int64_t GetNextStateId() const;
  bool LoadState(int64_t id, ZuProjectState* state, std::string* error) const;
  // Adds state after the current one (dropping the states after it) and makes it current.
  bool AppendState(const ZuProjectState& state, const std::string& label, std::string* error);
  bool SetCurrentState(int64_t id, std::string* error);
  std::vector<ZuProjectStateInfo> ListStates() const;
  // Why the last failing SQLite call failed, in one line; empty when none has failed.
  const std::string& GetLastError() const { return m_lastError; }

 private:
  ZuProjectStore(sqlite3* db, std::string path, bool readOnly);

  bool Fail(int code, std::string* error) const;
  // Makes the connection keep every lock it takes until it closes.
  bool KeepLocks(std::string* error);
  // Takes the file now: for writing (store read-write) or for reading (read-only).
  bool TakeLock(std::string* error);
  bool CheckFormat(std::string* error);
  bool CreateSchema(std::string* error);
  bool Upgrade(std::string* error);
  bool StoreParts(int64_t id, const ZuSharedBytes& bytes, std::string* error);
  // The byte count of version id, from its row; -1, with the reason in error, when unknown.
  int64_t VersionSize(int64_t id, std::string* error) const;
  // Calls read for each piece of version id in order, with the piece open in blob; stops
  // at the first false.
  bool ForEachPiece(int64_t id, ZuSqlBlobReader& blob,
                    const std::function<bool(const ZuSqlBlobReader&)>& read,
                    std::string* error) const;
  bool ReadCurrent(std::string* error);
  int64_t NeighbourState(const char* sql) const;

  sqlite3* m_db;
  std::string m_path;
  bool m_readOnly;
  int64_t m_format = 0;  // the file's format version (PRAGMA user_version)
  bool m_inTransaction = false;
  int64_t m_current = 0;
  int64_t m_currentAtBegin = 0;  // restored by Rollback
  mutable std::string m_lastError;
};
