// Movie versions in the project file: stored as lists of shared chunks, read back checked.

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "host/app/ZuChunkDigests.h"
#include "host/app/ZuChunker.h"
#include "host/app/ZuKnownChunks.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSha256.h"
#include "host/app/ZuSqlite.h"
#include "host/util/ZuFileStream.h"
#include "host/util/ZuLargeBuffer.h"
#include "host/util/ZuMappedPageReleaser.h"

namespace {

// The average chunk size. Smaller chunks share more between the versions of an edited
// movie; each chunk also costs a row in chunks and one in each version's list. Chosen by
// measuring what the edits of a long recording store (bench/bench_project_chunks). It must
// not change once files exist that use it: chunks cut otherwise would share nothing.
constexpr size_t kAverageChunkSize = size_t{32} << 10;

// The most bytes one pack holds: large enough that a pack costs little beyond its bytes,
// small enough that storing one never holds much memory. The database writes each pack's
// pages once, at the end of the file, where they need no rollback journal.
constexpr size_t kPackSize = size_t{4} << 20;

// How many bytes of chunks are hashed at a time beside the thread that stores or reads them.
constexpr size_t kBatchSize = size_t{4} << 20;

// How much of a version stored whole by an earlier format is read at a time.
constexpr size_t kReadWindow = size_t{1} << 20;

const ZuChunker& Chunker() {
  static const ZuChunker chunker(kAverageChunkSize);
  return chunker;
}

std::span<const uint8_t> DigestSpan(const ZuSha256::Digest& digest) {
  return {digest.data(), digest.size()};
}

}  // namespace

// Cuts a movie into chunks and stores those the project does not hold yet. New chunks that
// follow each other in the movie go into one pack, bound straight from the movie's bytes.
// Where the movie repeats chunks of the version read last, they are taken as they are.
class ZuProjectStore::ChunkWriter {
 public:
  ChunkWriter(const ZuProjectStore& store, const ZuSharedBytes& bytes)
      : m_store(store),
        m_bytes(bytes),
        m_known(store.m_lastRead.get()),
        m_find(store.m_db, "SELECT id FROM chunks WHERE digest = ?"),
        m_pack(store.m_db, "INSERT INTO packs(bytes) VALUES(?)"),
        m_chunk(store.m_db, "INSERT INTO chunks(digest, pack, offset, size) VALUES(?, ?, ?, ?)") {}

  // Every chunk of the movie, in order. Each batch of chunks is hashed beside this thread
  // while the next is cut and the last one stored.
  bool Write(std::string* error) {
    size_t offset = 0;
    Batch batch = CutBatch(offset);
    ZuChunkDigests digests;
    digests.Start(std::move(batch.toHash));
    while (!batch.pieces.empty()) {
      Batch next = CutBatch(offset);
      const std::vector<ZuSha256::Digest> batchDigests = digests.Get();
      digests.Start(std::move(next.toHash));
      size_t at = batch.start;
      size_t hashed = 0;
      for (const Piece& piece : batch.pieces) {
        if (piece.known != nullptr) {
          AddKnown(*piece.known);
        } else if (!Add(at, piece.size, batchDigests[hashed++], error)) {
          return false;
        }
        at += piece.size;
      }
      m_pages.Passed(m_bytes, HasRun() ? m_new[m_runFirst].offset : at);
      batch = std::move(next);
    }
    return FlushRun(error);
  }

  // The chunks' ids in the movie's order.
  std::vector<int64_t> Ids() const {
    std::vector<int64_t> ids;
    ids.reserve(m_list.size());
    for (const int64_t entry : m_list) {
      ids.push_back(entry > 0 ? entry : m_new[static_cast<size_t>(-entry - 1)].id);
    }
    return ids;
  }

  ZuSha256::Digest ListDigest() { return m_listDigest.Finish(); }

 private:
  struct NewChunk {
    ZuSha256::Digest digest;
    size_t offset = 0;  // in the movie
    size_t size = 0;
    int64_t id = 0;  // once stored
  };

  struct Piece {
    size_t size = 0;
    const ZuKnownChunks::Chunk* known = nullptr;  // when it repeats a chunk read before
  };
  struct Batch {
    size_t start = 0;  // in the movie
    std::vector<Piece> pieces;
    std::vector<std::span<const uint8_t>> toHash;  // the pieces not known, in order
  };

  bool HasRun() const { return m_runFirst < m_new.size(); }

  // The chunks from offset on, about a batch's worth; offset moves past them.
  Batch CutBatch(size_t& offset) {
    Batch batch;
    batch.start = offset;
    while (offset < m_bytes.size() && offset - batch.start < kBatchSize) {
      Piece piece;
      piece.known =
          m_known != nullptr ? m_known->Match(m_bytes.span(), offset, &m_knownHint) : nullptr;
      if (piece.known != nullptr) {
        piece.size = piece.known->size;
      } else {
        piece.size = Chunker().Cut(m_bytes.data() + offset, m_bytes.size() - offset);
        batch.toHash.push_back(m_bytes.span().subspan(offset, piece.size));
      }
      batch.pieces.push_back(piece);
      offset += piece.size;
    }
    return batch;
  }

  void AddKnown(const ZuKnownChunks::Chunk& chunk) {
    m_listDigest.Update(DigestSpan(chunk.digest));
    m_list.push_back(chunk.id);
  }

  bool Add(size_t offset, size_t size, const ZuSha256::Digest& digest, std::string* error) {
    m_listDigest.Update(DigestSpan(digest));
    if (const auto seen = m_seen.find(digest); seen != m_seen.end()) {
      m_list.push_back(-static_cast<int64_t>(seen->second) - 1);
      return true;
    }
    m_find.Reset();
    m_find.BindBlob(1, DigestSpan(digest));
    const int code = m_find.Step();
    if (code == SQLITE_ROW) {
      m_list.push_back(m_find.ColumnInt(0));
      return true;
    }
    if (code != SQLITE_DONE) {
      return m_store.Fail(code, error);
    }
    const bool follows = HasRun() && m_new.back().offset + m_new.back().size == offset &&
                         offset + size - m_new[m_runFirst].offset <= kPackSize;
    if (!follows && !FlushRun(error)) {
      return false;
    }
    m_seen.emplace(digest, m_new.size());
    m_list.push_back(-static_cast<int64_t>(m_new.size()) - 1);
    m_new.push_back({digest, offset, size, 0});
    return true;
  }

  // Stores the run of new chunks not stored yet as one pack.
  bool FlushRun(std::string* error) {
    if (!HasRun()) {
      return true;
    }
    const size_t begin = m_new[m_runFirst].offset;
    const size_t end = m_new.back().offset + m_new.back().size;
    m_pack.Reset();
    m_pack.BindBlob(1, m_bytes.span().subspan(begin, end - begin));
    int code = m_pack.Step();
    if (code != SQLITE_DONE) {
      return m_store.Fail(code, error);
    }
    const int64_t pack = sqlite3_last_insert_rowid(m_store.m_db);
    for (; m_runFirst < m_new.size(); ++m_runFirst) {
      NewChunk& chunk = m_new[m_runFirst];
      m_chunk.Reset();
      m_chunk.BindBlob(1, DigestSpan(chunk.digest));
      m_chunk.Bind(2, pack);
      m_chunk.Bind(3, static_cast<int64_t>(chunk.offset - begin));
      m_chunk.Bind(4, static_cast<int64_t>(chunk.size));
      if ((code = m_chunk.Step()) != SQLITE_DONE) {
        return m_store.Fail(code, error);
      }
      chunk.id = sqlite3_last_insert_rowid(m_store.m_db);
    }
    return true;
  }

  const ZuProjectStore& m_store;
  const ZuSharedBytes& m_bytes;
  const ZuKnownChunks* m_known;
  size_t m_knownHint = 0;  // the known chunk expected next
  ZuSqlStatement m_find;
  ZuSqlStatement m_pack;
  ZuSqlStatement m_chunk;
  ZuMappedPageReleaser m_pages;  // a mapped movie never becomes resident whole
  ZuSha256 m_listDigest;
  // Per position in the movie: a stored chunk's id (> 0), or -(index in m_new + 1).
  std::vector<int64_t> m_list;
  std::vector<NewChunk> m_new;                // chunks this version brings, in order
  std::map<ZuSha256::Digest, size_t> m_seen;  // their index in m_new, by digest
  size_t m_runFirst = 0;                      // the first of m_new not stored yet
};

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
  ChunkWriter chunks(*this, movie.bytes);
  bool stored = chunks.Write(error);
  int64_t id = 0;
  if (stored) {
    const ZuSha256::Digest listDigest = chunks.ListDigest();
    ZuSqlStatement row(m_db,
                       "INSERT INTO versions(size, created, bytes, frames, frame_rate, fmr, "
                       "chunk_list) VALUES(?, datetime('now'), x'', ?, ?, ?, ?)");
    row.Bind(1, static_cast<int64_t>(movie.bytes.size()));
    row.Bind(2, static_cast<int64_t>(movie.frameCount));
    row.Bind(3, static_cast<int64_t>(movie.frameRate));
    row.Bind(4, static_cast<int64_t>(movie.fmr));
    row.BindBlob(5, DigestSpan(listDigest));
    code = row.Step();
    stored = code == SQLITE_DONE || Fail(code, error);
    id = stored ? sqlite3_last_insert_rowid(m_db) : 0;
  }
  if (stored) {
    ZuSqlStatement entry(m_db, "INSERT INTO version_chunks VALUES(?, ?, ?)");
    entry.Bind(1, id);
    int64_t position = 0;
    for (const int64_t chunk : chunks.Ids()) {
      entry.Reset();
      entry.Bind(2, position++);
      entry.Bind(3, chunk);
      if ((code = entry.Step()) != SQLITE_DONE) {
        stored = Fail(code, error);
        break;
      }
    }
  }
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

bool ZuProjectStore::Damaged(int64_t id, const std::string& what, std::string* error) const {
  return SetError(
      error, "project file is damaged (movie version " + std::to_string(id) + ": " + what + ")");
}

int64_t ZuProjectStore::VersionSize(int64_t id, std::string* error) const {
  ZuSqlStatement query(m_db, "SELECT size FROM versions WHERE id = ?");
  query.Bind(1, id);
  const int code = query.Step();
  if (code == SQLITE_DONE) {
    Damaged(id, "missing", error);
    return -1;
  }
  if (code != SQLITE_ROW) {
    Fail(code, error);
    return -1;
  }
  const int64_t size = query.ColumnInt(0);
  if (size < 0) {
    Damaged(id, "negative size", error);
    return -1;
  }
  return size;
}

// Reads a version's chunks in batches: each batch is checked against the stored digests
// beside this thread while it is handed on and the next one read. What is handed on is
// checked only afterwards, so a reader keeps nothing it was given when the reading fails.
class ZuProjectStore::ChunkReader {
 public:
  // chunks, when given, receives each chunk read with where it lies in the version; target,
  // when given, room for the whole version, where its bytes are read (and handed on from).
  ChunkReader(const ZuProjectStore& store, int64_t id, int64_t size,
              std::vector<ZuKnownChunks::Chunk>* chunks, uint8_t* target)
      : m_store(store),
        m_id(id),
        m_size(size),
        m_chunks(chunks),
        m_target(target),
        m_query(store.m_db,
                "SELECT v.position, c.pack, c.offset, c.size, c.digest, c.id FROM version_chunks v "
                "LEFT JOIN chunks c ON c.id = v.chunk WHERE v.version = ? ORDER BY v.position"),
        m_pack(store.m_db) {
    m_query.Bind(1, id);
  }

  bool Read(const std::vector<uint8_t>& listDigest, const ByteSink& sink, std::string* error) {
    Batch batches[2];
    if (!Fill(batches[0], error)) {
      return false;
    }
    ZuChunkDigests digests;
    for (int current = 0; !batches[current].sizes.empty(); current ^= 1) {
      Batch& batch = batches[current];
      digests.Start(batch.Chunks());
      const bool handedOn = sink({batch.data, batch.used});
      const bool filled = handedOn && Fill(batches[current ^ 1], error);
      if (!Check(batch, digests.Get(), error) || !handedOn || !filled) {
        return false;
      }
    }
    const ZuSha256::Digest list = m_listDigest.Finish();
    if (m_read != m_size ||
        !std::equal(list.begin(), list.end(), listDigest.begin(), listDigest.end())) {
      return m_store.Damaged(m_id, "its list of chunks is not the one stored", error);
    }
    return true;
  }

 private:
  struct Batch {
    std::vector<uint8_t> own;  // room for a batch and one chunk more, without a target
    uint8_t* data = nullptr;   // where the batch's bytes go: in own or in the target
    size_t used = 0;
    std::vector<size_t> sizes;
    std::vector<std::vector<uint8_t>> stored;  // their digests as stored
    int64_t first = 0;                         // the number of the first, from 1

    std::vector<std::span<const uint8_t>> Chunks() const {
      std::vector<std::span<const uint8_t>> chunks;
      const uint8_t* at = data;
      for (const size_t size : sizes) {
        chunks.emplace_back(at, size);
        at += size;
      }
      return chunks;
    }
  };

  // The next chunks, about a batch's worth; none at the end.
  bool Fill(Batch& batch, std::string* error) {
    if (m_target != nullptr) {
      batch.data = m_target + m_read;  // the checks of each chunk's size keep it inside
    } else {
      batch.own.resize(kBatchSize + Chunker().GetMaximumSize());
      batch.data = batch.own.data();
    }
    batch.used = 0;
    batch.sizes.clear();
    batch.stored.clear();
    batch.first = m_number + 1;
    while (!m_done && batch.used < kBatchSize) {
      const int code = m_query.Step();
      if (code == SQLITE_DONE) {
        m_done = true;
      } else if (code != SQLITE_ROW) {
        return m_store.Fail(code, error);
      } else if (!ReadChunk(batch, error)) {
        return false;
      }
    }
    return ReadRun(batch, error);
  }

  // Reads the chunks gathered into the run, all at once.
  bool ReadRun(Batch& batch, std::string* error) {
    if (m_run.size == 0) {
      return true;
    }
    const int code = m_pack.Read(batch.data + m_run.at, static_cast<int>(m_run.size),
                                 static_cast<int>(m_run.packOffset));
    m_run = Run();
    return code == SQLITE_OK || m_store.Fail(code, error);
  }

  // The chunk of the query's row, after the checks of where it lies.
  bool ReadChunk(Batch& batch, std::string* error) {
    const std::string chunk = "chunk " + std::to_string(++m_number);
    if (m_query.ColumnInt(0) != m_number - 1) {
      return m_store.Damaged(m_id, chunk + " is missing from its list", error);
    }
    const int64_t pack = m_query.ColumnInt(1);
    const int64_t offset = m_query.ColumnInt(2);
    const int64_t size = m_query.ColumnInt(3);
    std::vector<uint8_t> digest = m_query.ColumnBlob(4);
    if (digest.size() != ZuSha256::Digest().size() || pack <= 0) {
      return m_store.Damaged(m_id, chunk + " is missing", error);
    }
    if (size <= 0 || static_cast<size_t>(size) > Chunker().GetMaximumSize() ||
        size > m_size - m_read) {
      return m_store.Damaged(m_id, chunk + " has a wrong size", error);
    }
    if (pack != m_openPack) {
      if (!ReadRun(batch, error)) {
        return false;
      }
      const int code = m_pack.Open("packs", "bytes", pack);
      if (code != SQLITE_OK) {
        return code == SQLITE_ERROR
                   ? m_store.Damaged(m_id, chunk + " lies in a missing pack", error)
                   : m_store.Fail(code, error);
      }
      m_openPack = pack;
    }
    if (offset < 0 || offset > m_pack.GetSize() - size) {
      return m_store.Damaged(m_id, chunk + " lies outside its pack", error);
    }
    const bool extends = m_run.size > 0 && m_run.at + m_run.size == batch.used &&
                         m_run.packOffset + m_run.size == static_cast<size_t>(offset);
    if (!extends) {
      if (!ReadRun(batch, error)) {
        return false;
      }
      m_run = {static_cast<size_t>(offset), batch.used, 0};
    }
    m_run.size += static_cast<size_t>(size);
    if (m_chunks != nullptr) {
      ZuKnownChunks::Chunk known{
          static_cast<size_t>(m_read), static_cast<size_t>(size), {}, m_query.ColumnInt(5)};
      std::copy(digest.begin(), digest.end(), known.digest.begin());
      m_chunks->push_back(known);
    }
    batch.used += static_cast<size_t>(size);
    batch.sizes.push_back(static_cast<size_t>(size));
    batch.stored.push_back(std::move(digest));
    m_read += size;
    return true;
  }

  bool Check(const Batch& batch, const std::vector<ZuSha256::Digest>& actual, std::string* error) {
    for (size_t i = 0; i < actual.size(); ++i) {
      if (!std::equal(actual[i].begin(), actual[i].end(), batch.stored[i].begin())) {
        return m_store.Damaged(m_id,
                               "chunk " + std::to_string(batch.first + static_cast<int64_t>(i)) +
                                   " does not match its digest",
                               error);
      }
      m_listDigest.Update(DigestSpan(actual[i]));
    }
    return true;
  }

  const ZuProjectStore& m_store;
  int64_t m_id;
  int64_t m_size;
  std::vector<ZuKnownChunks::Chunk>* m_chunks;
  uint8_t* m_target;
  ZuSqlStatement m_query;
  ZuSqlBlobReader m_pack;
  int64_t m_openPack = 0;
  // Chunks that follow each other in the open pack are read with one call: a read of part of
  // a page goes through the database's page cache, which a long pack would overflow.
  struct Run {
    size_t packOffset = 0;
    size_t at = 0;  // in the batch
    size_t size = 0;
  } m_run;
  int64_t m_number = 0;  // chunks read so far
  int64_t m_read = 0;    // their bytes
  bool m_done = false;
  ZuSha256 m_listDigest;
};

bool ZuProjectStore::ReadVersionBytes(int64_t id, const ByteSink& sink, std::string* error,
                                      std::vector<ZuKnownChunks::Chunk>* chunks,
                                      uint8_t* target) const {
  const int64_t size = VersionSize(id, error);
  if (size < 0) {
    return false;
  }
  std::vector<uint8_t> listDigest;
  if (m_format >= 3) {
    ZuSqlStatement query(m_db, "SELECT chunk_list FROM versions WHERE id = ?");
    query.Bind(1, id);
    const int code = query.Step();
    if (code != SQLITE_ROW) {
      return Fail(code, error);
    }
    listDigest = query.ColumnBlob(0);
  }
  if (!listDigest.empty()) {
    return ChunkReader(*this, id, size, chunks, target).Read(listDigest, sink, error);
  }
  return ReadUnchunked(id, size, sink, error);
}

bool ZuProjectStore::ReadUnchunked(int64_t id, int64_t size, const ByteSink& sink,
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
  const bool whole = parts.empty();  // stored whole by the first format, or an empty movie
  if (whole) {
    parts.push_back(id);
  }
  ZuSqlBlobReader blob(m_db);
  std::vector<uint8_t> window(
      std::min(kReadWindow, static_cast<size_t>(std::max<int64_t>(size, 1))));
  int64_t read = 0;
  for (const int64_t part : parts) {
    int code =
        whole ? blob.Open("versions", "bytes", part) : blob.Open("version_parts", "bytes", part);
    if (code != SQLITE_OK) {
      return Fail(code, error);
    }
    const int count = blob.GetSize();
    if (count > size - read) {
      return Damaged(id, "its stored size does not match its bytes", error);
    }
    const int step = static_cast<int>(window.size());
    for (int offset = 0; offset < count; offset += step) {
      const int n = std::min(step, count - offset);
      if ((code = blob.Read(window.data(), n, offset)) != SQLITE_OK) {
        return Fail(code, error);
      }
      if (!sink({window.data(), static_cast<size_t>(n)})) {
        return false;
      }
    }
    read += count;
  }
  return read == size || Damaged(id, "its stored size does not match its bytes", error);
}

bool ZuProjectStore::ReadVersion(int64_t id, ZuSharedBytes* bytes, std::string* error) const {
  const int64_t size = VersionSize(id, error);
  if (size < 0) {
    return false;
  }
  std::shared_ptr<uint8_t[]> storage = ZuAllocateLargeBuffer(static_cast<size_t>(size));
  if (storage == nullptr) {
    return SetError(error, "out of memory");
  }
  size_t filled = 0;
  std::vector<ZuKnownChunks::Chunk> chunks;
  const bool read = ReadVersionBytes(
      id,
      [&](std::span<const uint8_t> piece) {
        if (piece.data() != storage.get() + filled) {  // not read in place
          std::memcpy(storage.get() + filled, piece.data(), piece.size());
        }
        filled += piece.size();
        return true;
      },
      error, &chunks, storage.get());
  if (!read) {
    return false;
  }
  const uint8_t* data = storage.get();
  *bytes = ZuSharedBytes(std::move(storage), data, static_cast<size_t>(size));
  if (!chunks.empty()) {
    m_lastRead = std::make_shared<const ZuKnownChunks>(*bytes, std::move(chunks));
  }
  return true;
}

bool ZuProjectStore::ExportVersion(int64_t id, const std::string& path, std::string* error) const {
  if (VersionSize(id, error) < 0) {
    return false;
  }
  std::string openError;
  std::unique_ptr<ZuFileStream> out(
      ZuFileStream::Open(path, ZuFileStream::Mode::kWrite, &openError));
  if (!out) {
    return SetError(error, "cannot write " + path + ": " + openError);
  }
  const auto write = [&](std::span<const uint8_t> piece) {
    return out->Write(piece.data(), piece.size()) ||
           SetError(error, "cannot write " + path + ": " + std::strerror(out->GetErrorNumber()));
  };
  if (!ReadVersionBytes(id, write, error)) {
    out->Discard();
    return false;
  }
  if (!out->Close()) {
    return SetError(error, "cannot write " + path + ": " + std::strerror(out->GetErrorNumber()));
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

bool ZuProjectStore::ReadStorage(ZuProjectStorage* storage, std::string* error) const {
  ZuSqlStatement pages(m_db,
                       "SELECT page_count * page_size FROM pragma_page_count(), "
                       "pragma_page_size()");
  ZuSqlStatement versions(m_db, "SELECT total(size), count(*) FROM versions");
  int code = pages.Step();
  if (code != SQLITE_ROW || (code = versions.Step()) != SQLITE_ROW) {
    return Fail(code, error);
  }
  storage->fileBytes = pages.ColumnInt(0);
  storage->fullCopyBytes = static_cast<int64_t>(versions.ColumnDouble(0));
  storage->versionCount = versions.ColumnInt(1);
  return true;
}
