#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/app/ZuKnownChunks.h"
#include "host/app/ZuProjectState.h"

struct sqlite3;
class ZuSharedBytes;
struct ZuMovieFacts;

enum class ZuProjectAccess { kReadWrite, kReadOnly };

// How much room a project's movies take, against keeping each version whole.
struct ZuProjectStorage {
  int64_t fileBytes = 0;      // the project file's size
  int64_t fullCopyBytes = 0;  // what all its movie versions would take as full copies
  int64_t versionCount = 0;
};

// The project file (*.fmrproj): one SQLite database holding
//   versions        every movie ever stored, never changed or removed once written, with
//                   its size and facts (frame count and rate, FMR or not), and the digest
//                   of its list of chunks;
//   version_chunks  each version as the ordered list of the chunks its bytes are cut into
//                   (ZuChunker: boundaries follow the content, so an edit's result shares
//                   every chunk away from the change with the movie it was made from);
//   chunks          each distinct chunk once, keyed by its SHA-256 digest, lying in
//   packs           runs of chunks stored together (a few megabytes each, written straight
//                   from the movie's mapping at the end of the file);
//   states          one row per top-level command: the project's resources and slides
//                   (state_resources, state_slides) after it, in a linear history;
//   meta            which state is the current one.
// Undo and redo move the current state along the history; a new state drops the states
// after the current one (they could only have been redone), never the versions. Every
// chunk comes in with the version that first uses it, in the same transaction, so no
// chunk is ever without a version.
//
// A version's bytes are those of the movie file as it was stored: an uncompressed movie
// is cut as it is; a compressed one is kept as its compressed bytes (its own compression
// would smear any change over the whole file, so versions of it share little). Reading a
// version checks every chunk against its digest and the list against the version's, so
// damage is reported, never read as a movie.
//
// Earlier formats: the first kept each movie whole in versions.bytes, the second in 4 MiB
// rows of version_parts, neither with digests. Opening such a file for writing upgrades it
// in one transaction (its movies stay where they are and are read from there, checked
// against their stored size); a reader reads it as it is.
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
  // Reads a version whole. The store keeps the last one read (until the transaction ends)
  // so that a version then stored shares its chunks without cutting or hashing them again.
  bool ReadVersion(int64_t id, ZuSharedBytes* bytes, std::string* error) const;
  // Writes a version to a file; the file appears only when complete and checked.
  bool ExportVersion(int64_t id, const std::string& path, std::string* error) const;
  // The stored facts of a version (facts->bytes stays empty). False when the version was
  // stored without them (by the first format) or cannot be read.
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
  // Why the last failing call failed, in one line; empty when none has failed.
  const std::string& GetLastError() const { return m_lastError; }

 private:
  // Receives a version's bytes in order, piece by piece; false stops the reading.
  using ByteSink = std::function<bool(std::span<const uint8_t>)>;
  class ChunkWriter;
  class ChunkReader;

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

  // ZuProjectVersions.cpp: movie versions.
  // The byte count of version id, from its row; -1, with the reason in error, when unknown.
  int64_t VersionSize(int64_t id, std::string* error) const;
  // Hands version id's bytes to sink in order, each piece checked; false on damage or a
  // failed read, with a reason naming the version.
  // chunks, when given, receives the version's chunks (none for a version stored whole);
  // target, when given, room for the whole version, where a chunked one is read in place
  // (the pieces handed to sink then lie in it).
  bool ReadVersionBytes(int64_t id, const ByteSink& sink, std::string* error,
                        std::vector<ZuKnownChunks::Chunk>* chunks = nullptr,
                        uint8_t* target = nullptr) const;
  // The bytes of a version stored by an earlier format: whole or in parts.
  bool ReadUnchunked(int64_t id, int64_t size, const ByteSink& sink, std::string* error) const;
  bool Damaged(int64_t id, const std::string& what, std::string* error) const;

  // ZuProjectStates.cpp: the history of states.
  int64_t NeighbourState(const char* sql) const;

  sqlite3* m_db;
  int m_writerLock = -1;  // the descriptor holding a read-write store's flock
  std::string m_path;
  bool m_readOnly;
  int64_t m_format = 0;  // the file's format version (PRAGMA user_version)
  bool m_inTransaction = false;
  int64_t m_current = 0;
  int64_t m_currentAtBegin = 0;  // restored by Rollback
  // The version read last, while the transaction lasts (its chunk ids may not outlive a
  // rollback); null when none.
  mutable std::shared_ptr<const ZuKnownChunks> m_lastRead;
  mutable std::string m_lastError;
};
