// The movie versions of earlier project formats: read as they were stored, and stored again
// in the current form when the file is upgraded.

#include <sqlite3.h>

#include <algorithm>
#include <vector>

#include "host/app/ZuChunkDigests.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSha256.h"
#include "host/app/ZuSqlite.h"
#include "host/util/ZuLargeBuffer.h"

namespace {

// The third format's chunks were never longer than this.
constexpr size_t kLargestChunk = size_t{128} << 10;

// How many bytes of chunks are checked at a time beside the thread that reads them.
constexpr size_t kBatchSize = size_t{4} << 20;

// How much of a version stored whole is read at a time.
constexpr size_t kReadWindow = size_t{1} << 20;

std::span<const uint8_t> DigestSpan(const ZuSha256::Digest& digest) {
  return {digest.data(), digest.size()};
}

}  // namespace

// Reads a version's chunks in batches: each batch is checked against the stored digests
// beside this thread while it is handed on and the next one read. What is handed on is
// checked only afterwards, so a reader keeps nothing it was given when the reading fails.
class ZuProjectStore::LegacyChunkReader {
 public:
  LegacyChunkReader(const ZuProjectStore& store, int64_t id, int64_t size)
      : m_store(store),
        m_id(id),
        m_size(size),
        m_query(store.m_db,
                "SELECT v.position, c.pack, c.offset, c.size, c.digest FROM version_chunks v "
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
    std::vector<uint8_t> own;  // room for a batch and one chunk more
    uint8_t* data = nullptr;
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
    batch.own.resize(kBatchSize + kLargestChunk);
    batch.data = batch.own.data();
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
    if (size <= 0 || static_cast<size_t>(size) > kLargestChunk || size > m_size - m_read) {
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

bool ZuProjectStore::ReadLegacyVersion(int64_t id, int64_t size, const ByteSink& sink,
                                       std::string* error) const {
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
    return LegacyChunkReader(*this, id, size).Read(listDigest, sink, error);
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

bool ZuProjectStore::UpgradeVersions(std::string* error) {
  std::vector<std::pair<int64_t, int64_t>> versions;  // id and size
  {
    ZuSqlStatement query(m_db, "SELECT id, size FROM versions ORDER BY id");
    int code = SQLITE_OK;
    while ((code = query.Step()) == SQLITE_ROW) {
      versions.emplace_back(query.ColumnInt(0), query.ColumnInt(1));
    }
    if (code != SQLITE_DONE) {
      return Fail(code, error);
    }
  }
  for (const auto& [id, size] : versions) {
    if (size < 0) {
      return Damaged(id, "negative size", error);
    }
    std::shared_ptr<uint8_t[]> storage = ZuAllocateLargeBuffer(static_cast<size_t>(size));
    if (storage == nullptr) {
      return SetError(error, "out of memory");
    }
    size_t filled = 0;
    const bool read = ReadLegacyVersion(
        id, size,
        [&](std::span<const uint8_t> piece) {
          std::copy(piece.begin(), piece.end(), storage.get() + filled);
          filled += piece.size();
          return true;
        },
        error);
    if (!read) {
      return false;
    }
    const uint8_t* data = storage.get();
    const ZuSharedBytes bytes(std::move(storage), data, static_cast<size_t>(size));
    ZuMovieFacts movie;
    // The first format kept no facts: they are taken from the movie itself.
    if (!ReadVersionFacts(id, &movie) && !ZuMovieFacts::Examine(bytes, &movie, nullptr)) {
      return Damaged(id, "not an SWF movie", error);
    }
    movie.bytes = bytes;
    if (!WriteVersion(id, movie, error)) {
      return false;
    }
  }
  const int code = ZuSqlExecute(m_db,
                                "DROP TABLE IF EXISTS version_parts; DROP TABLE IF EXISTS "
                                "version_chunks; DROP TABLE IF EXISTS chunks; DROP TABLE IF "
                                "EXISTS packs;");
  return code == SQLITE_OK || Fail(code, error);
}
