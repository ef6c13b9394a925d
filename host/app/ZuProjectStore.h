#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/app/ZuPieceTable.h"
#include "host/app/ZuProjectState.h"
#include "host/util/ZuSharedBytes.h"

struct sqlite3;
struct ZuMovieFacts;

enum class ZuProjectAccess { kReadWrite, kReadOnly };

// How much room a project's movies take, against keeping each version whole.
struct ZuProjectStorage {
  int64_t fileBytes = 0;      // the project file's size
  int64_t fullCopyBytes = 0;  // what all its movie versions would take as full copies
  int64_t versionCount = 0;
  int64_t historyOnlyVersions = 0;  // versions no slide of the current state shows
};

// The project file (*.fmrproj): one SQLite database holding
//   versions        every movie ever stored, never changed or removed once written, with
//                   its size, its facts (frame count and rate, FMR or not), its table of
//                   pieces (ZuPieceTable), the SHA-256 of each MiB of its bytes, and a seal:
//                   the SHA-256 of its id, size, facts and block digests;
//   segments        runs of stored bytes, each distinct run once (keyed by its SHA-256),
//                   that the versions' pieces refer to;
//   states          one row per top-level command: the project's resources and slides
//                   (state_resources, state_slides) after it, in a linear history, each
//                   sealed by a digest of its rows and of its versions' seals;
//   meta            which state is the current one, and a check number binding it to that
//                   state's seal.
// Undo and redo move the current state along the history; a new state drops the states
// after the current one (they could only have been redone), never the versions.
//
// A version stores only the bytes that are new. Storing one compares its bytes with the
// versions read (or stored) since the transaction began (ZuByteMatcher): what repeats them
// becomes pieces referring to those versions, the rest goes into new segments. An edit reads the
// version it changes and stores its result in one transaction, so the result costs what
// the edit really changed: a key frame made, a few bytes of table per frame dropped. A movie
// added from a file is all new bytes, stored as segments of a few MiB straight from the
// file's mapping. A version's bytes are those of the movie file as it was stored; a
// compressed movie is kept as its compressed bytes.
//
// Reading a version checks its seal first (so a table, facts or digests moved from another
// version, or edited, are damage), then every block against its digest as the pieces are
// read, and an uncompressed movie's header against the stored facts. Damage is reported,
// never read as a movie.
//
// Earlier formats: the first kept each movie whole in versions.bytes, the second in 4 MiB
// rows of version_parts, the third as lists of content-defined chunks in packs. Opening such
// a file for writing upgrades it in one transaction: every version is read (checked as its
// format allows) and stored again as above, the earlier tables are emptied, every state is
// sealed. A reader reads an earlier file as it is.
//
// Writers and readers: a read-write store holds the writer's lock (an flock on the file)
// for its whole life, so one store at a time (in any process) changes a project; another gets
// "project is in use". Readers take no such lock: each of their reads is an SQLite read
// (the current state with its slides and resources in one read transaction), which waits
// while a writer commits and never sees half a commit, and between reads they hold nothing,
// so a writer is never kept waiting longer than one read. What they read stays valid after
// later commits: versions are never changed or removed, and the state a reader loaded is
// kept whole in its memory. A read-only store never writes to the file (except that
// SQLite rolls back what a crashed writer left half done).
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
  // Reads a version whole. The store keeps the last few read (until the transaction ends)
  // so that a version then stored shares their bytes.
  bool ReadVersion(int64_t id, ZuSharedBytes* bytes, std::string* error) const;
  // Writes a version to a file; the file appears only when complete and checked.
  bool ExportVersion(int64_t id, const std::string& path, std::string* error) const;
  // The stored facts of a version (facts->bytes stays empty), checked against its seal.
  // False when the version was stored without them (by the first format), cannot be read or
  // does not match its seal (reading it then says why).
  bool ReadVersionFacts(int64_t id, ZuMovieFacts* facts) const;
  bool ReadStorage(ZuProjectStorage* storage, std::string* error) const;

  int64_t GetCurrentStateId() const { return m_current; }
  // Reads which state is current and loads it, together (one read transaction).
  bool LoadCurrentState(ZuProjectState* state, std::string* error);
  // The state before / after the current one, or 0 when there is none.
  int64_t GetPreviousStateId() const;
  int64_t GetNextStateId() const;
  bool LoadState(int64_t id, ZuProjectState* state, std::string* error) const;
  // Adds state after the current one (dropping the states after it) and makes it current.
  bool AppendState(const ZuProjectState& state, const std::string& label, std::string* error);
  bool SetCurrentState(int64_t id, std::string* error);
  std::vector<ZuProjectStateInfo> ListStates() const;
  // Drops every state but the current one, every version it does not show and every stored
  // byte only those held, then rewrites the file so that no page keeps a dropped byte. Undo
  // has nothing to go back to afterwards. One transaction (then the rewrite); not inside one.
  bool Purge(std::string* error);
  // Why the last failing call failed, in one line; empty when none has failed.
  const std::string& GetLastError() const { return m_lastError; }

 private:
  // Receives a version's bytes in order, piece by piece; false stops the reading.
  using ByteSink = std::function<bool(std::span<const uint8_t>)>;

  ZuProjectStore(sqlite3* db, std::string path, bool readOnly);

  // The one way a failure is reported: message becomes the last error (GetLastError) and goes
  // to error too when it is given. Returns false, for returning.
  bool SetError(std::string* error, const std::string& message) const;
  // SetError with SQLite's description of code.
  bool Fail(int code, std::string* error) const;

  // ZuProjectStore.cpp: the file and its transactions.
  // Takes the writer's lock, or fails with "project is in use".
  bool TakeWriterLock(std::string* error);
  bool ReadCurrent(std::string* error);

  // ZuProjectSchema.cpp: the tables and their upgrades.
  bool CheckFormat(std::string* error);
  bool CreateSchema(std::string* error);
  bool Upgrade(std::string* error);
  bool Compact(std::string* error);

  // ZuProjectVersions.cpp: movie versions.
  struct VersionRow;
  class VersionWriter;
  class VersionReader;
  // A version read or stored in this transaction, which a version stored next may repeat.
  struct Source {
    int64_t id = 0;
    ZuSharedBytes bytes;
    std::vector<uint8_t> blocks;  // its block digests, end to end (none for an earlier format)
  };
  bool ReadVersionRow(int64_t id, VersionRow* row, std::string* error) const;
  // Checks a row of the current format against its seal and decodes its table.
  bool CheckVersionRow(int64_t id, const VersionRow& row, ZuPieceTable* table,
                       std::string* error) const;
  // The table of a version of the current format, its row checked.
  bool ReadVersionTable(int64_t id, ZuPieceTable* table, std::string* error) const;
  // Appends to resolved the pieces of version id's table, each piece of an earlier version
  // replaced by the segment pieces it stands for; earlier keeps the tables resolved so far.
  bool ResolvePieces(int64_t id, const ZuPieceTable& table, ZuPieceTable* resolved,
                     std::map<int64_t, ZuPieceTable>& earlier, std::string* error) const;
  // Stores movie as version id: a new row, or (for the upgrade) in place of the row there.
  bool WriteVersion(int64_t id, const ZuMovieFacts& movie, std::string* error);
  // Hands version id's bytes to sink in order, each piece checked; false on damage or a
  // failed read, with a reason naming the version. target, when given, is room for the
  // whole version, where it is read in place (the pieces handed to sink then lie in it).
  bool ReadVersionBytes(int64_t id, const ByteSink& sink, std::string* error,
                        uint8_t* target = nullptr) const;
  void KeepSource(Source source) const;
  bool Damaged(int64_t id, const std::string& what, std::string* error) const;

  // ZuProjectLegacyVersions.cpp: the versions of earlier formats, read and upgraded.
  class LegacyChunkReader;
  bool ReadLegacyVersion(int64_t id, int64_t size, const ByteSink& sink, std::string* error) const;
  // The bytes of a version stored whole or in parts by the first two formats.
  bool ReadUnchunked(int64_t id, int64_t size, const ByteSink& sink, std::string* error) const;
  // Stores every version of an earlier format again, then empties the earlier tables.
  bool UpgradeVersions(std::string* error);

  // ZuProjectPurge.cpp: dropping what only the history keeps.
  std::vector<int64_t> ShownVersions() const;
  bool StoreShownVersionsAlone(std::string* error);
  bool DropAllButTheCurrentState(std::string* error);
  bool DropUnusedSegments(std::string* error);

  // ZuProjectStates.cpp: the history of states.
  int64_t NeighbourState(const char* sql) const;
  // Reads state id's rows into state, the digest of what they hold into digest and the
  // digest its row keeps into stored (empty when it has none).
  bool ReadState(int64_t id, ZuProjectState* state, std::vector<uint8_t>* digest,
                 std::vector<uint8_t>* stored, std::string* error) const;
  // The digest state id's row keeps; a damaged file when there is none.
  bool StoredStateDigest(int64_t id, std::vector<uint8_t>* digest, std::string* error) const;
  // Whether the pointer to the current state is the one written with it (always true for
  // files of the formats before states were sealed).
  bool CheckCurrent(std::string* error) const;
  // Writes the digest of state id's rows into its row.
  bool SealState(int64_t id, std::string* error);
  // Seals every state and the pointer to the current one: for a file whose states were
  // stored without digests, inside the upgrade's transaction.
  bool SealStates(std::string* error);

  sqlite3* m_db;
  int m_writerLock = -1;  // the descriptor holding a read-write store's flock
  std::string m_path;
  bool m_readOnly;
  int64_t m_format = 0;  // the file's format version (PRAGMA user_version)
  bool m_inTransaction = false;
  int64_t m_current = 0;
  int64_t m_currentAtBegin = 0;  // restored by Rollback
  // The versions read or stored last, newest last, until the transaction ends (a version
  // stored in it may not outlive a rollback).
  mutable std::deque<Source> m_sources;
  mutable std::string m_lastError;
};
