// Movie versions in the project file: stored as piece tables over shared segments, read back
// checked against their seals and block digests.

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "host/app/ZuByteMatcher.h"
#include "host/app/ZuChunkDigests.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSha256.h"
#include "host/app/ZuSqlite.h"
#include "host/swf/ZuSwfSignature.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFileStream.h"
#include "host/util/ZuLargeBuffer.h"
#include "host/util/ZuMappedPageReleaser.h"

namespace {

// The bytes each block digest covers. Smaller blocks would say more closely where damage
// lies, at 32 bytes of digest each.
constexpr size_t kBlockSize = size_t{1} << 20;

// How many bytes are hashed at a time beside the thread that stores or reads them; a whole
// number of blocks.
constexpr size_t kBatchSize = 4 * kBlockSize;

// The size of the segments new bytes are gathered into: large enough that a segment costs
// little beyond its bytes, small enough that one is never much memory. A run of new bytes
// this long or longer (a movie added from a file) is stored straight from where it lies.
constexpr size_t kSegmentSize = size_t{4} << 20;

// How many versions read or stored in a transaction a new version is compared with: an
// edit reads one movie (a merge two) and stores one (a split two).
constexpr size_t kSourcesKept = 3;

// The source of pieces whose new bytes wait to be stored: no segment or version has it.
constexpr int64_t kWaitingSegment = 0;

std::span<const uint8_t> DigestSpan(const ZuSha256::Digest& digest) {
  return {digest.data(), digest.size()};
}

// The blocks of bytes[from, to), in order.
std::vector<std::span<const uint8_t>> Blocks(std::span<const uint8_t> bytes, size_t from,
                                             size_t to) {
  std::vector<std::span<const uint8_t>> blocks;
  for (size_t at = from; at < to; at += kBlockSize) {
    blocks.push_back(bytes.subspan(at, std::min(kBlockSize, to - at)));
  }
  return blocks;
}

// What identifies a segment's bytes: the SHA-256 of the SHA-256 of each block's worth of
// them, so that a segment that is a run of whole blocks (a movie added from a file) has it
// from the blocks' digests, hashed once.
ZuSha256::Digest SegmentDigest(std::span<const uint8_t> bytes) {
  ZuSha256 hash;
  for (const std::span<const uint8_t> block : Blocks(bytes, 0, bytes.size())) {
    hash.Update(DigestSpan(ZuSha256::Of(block)));
  }
  return hash.Finish();
}

void UpdateNumber(ZuSha256& hash, int64_t value) {
  uint8_t bytes[8];
  for (uint8_t& byte : bytes) {
    byte = static_cast<uint8_t>(static_cast<uint64_t>(value));
    value = static_cast<int64_t>(static_cast<uint64_t>(value) >> 8);
  }
  hash.Update(bytes);
}

// Reads the frame count and whole frame rate from an uncompressed movie's header; false for
// a compressed movie or one too short to have them.
bool ReadHeaderLength(std::span<const uint8_t> movie, int64_t* frames, int64_t* rate) {
  constexpr size_t kRectangleStart = 8;
  ZuSwfCompression compression = ZuSwfCompression::kZlib;
  if (movie.size() <= kRectangleStart || !ZuSwfSignature::Read(movie, compression) ||
      compression != ZuSwfCompression::kNone) {
    return false;
  }
  // The stage rectangle: 5 bits giving the width of its 4 fields, padded to a whole byte.
  const size_t bits = movie[kRectangleStart] >> 3;
  const size_t at = kRectangleStart + (5 + 4 * bits + 7) / 8;
  if (movie.size() < at + 4) {
    return false;
  }
  *rate = movie[at + 1];  // 8.8 fixed point: the whole part
  *frames = movie[at + 2] | (movie[at + 3] << 8);
  return true;
}

}  // namespace

// A version's row as stored; facts of -1 are unknown (a version of the first format).
struct ZuProjectStore::VersionRow {
  int64_t size = 0;
  int64_t frames = -1;
  int64_t frameRate = -1;
  int64_t fmr = -1;
  bool hasPieces = false;
  std::vector<uint8_t> pieces;
  std::vector<uint8_t> blocks;
  std::vector<uint8_t> seal;

  // The digest that binds the version's id, size and facts to its bytes' block digests.
  ZuSha256::Digest Seal(int64_t id) const {
    ZuSha256 hash;
    static constexpr char kTag[] = "ZuFMREdit movie version";
    hash.Update({reinterpret_cast<const uint8_t*>(kTag), sizeof kTag});
    for (const int64_t number : {id, size, frames, frameRate, fmr}) {
      UpdateNumber(hash, number);
    }
    hash.Update(blocks);
    return hash.Finish();
  }

  bool SealHolds(int64_t id) const {
    const ZuSha256::Digest expected = Seal(id);
    return std::equal(seal.begin(), seal.end(), expected.begin(), expected.end());
  }
};

bool ZuProjectStore::ReadVersionRow(int64_t id, VersionRow* row, std::string* error) const {
  const bool sealed = m_format >= 4;
  ZuSqlStatement query(
      m_db, sealed ? "SELECT size, ifnull(frames, -1), ifnull(frame_rate, -1), ifnull(fmr, -1), "
                     "pieces IS NOT NULL, pieces, blocks, digest FROM versions WHERE id = ?"
            : m_format >= 2
                ? "SELECT size, ifnull(frames, -1), ifnull(frame_rate, -1), ifnull(fmr, -1) "
                  "FROM versions WHERE id = ?"
                : "SELECT size, -1, -1, -1 FROM versions WHERE id = ?");
  query.Bind(1, id);
  const int code = query.Step();
  if (code == SQLITE_DONE) {
    return Damaged(id, "missing", error);
  }
  if (code != SQLITE_ROW) {
    return Fail(code, error);
  }
  *row = VersionRow();
  row->size = query.ColumnInt(0);
  row->frames = query.ColumnInt(1);
  row->frameRate = query.ColumnInt(2);
  row->fmr = query.ColumnInt(3);
  if (sealed) {
    row->hasPieces = query.ColumnInt(4) != 0;
    row->pieces = query.ColumnBlob(5);
    row->blocks = query.ColumnBlob(6);
    row->seal = query.ColumnBlob(7);
  }
  if (row->size < 0) {
    return Damaged(id, "negative size", error);
  }
  return true;
}

bool ZuProjectStore::Damaged(int64_t id, const std::string& what, std::string* error) const {
  return SetError(
      error, "project file is damaged (movie version " + std::to_string(id) + ": " + what + ")");
}

void ZuProjectStore::KeepSource(Source source) const {
  std::erase_if(m_sources, [&](const Source& kept) { return kept.id == source.id; });
  m_sources.push_back(std::move(source));
  if (m_sources.size() > kSourcesKept) {
    m_sources.pop_front();
  }
}

// Stores a movie's bytes: what repeats a source becomes pieces of the source's segments,
// the rest new segments. Walks the movie in batches, hashing each batch's blocks beside this
// thread while it stores the batch's new bytes.
class ZuProjectStore::VersionWriter {
 public:
  VersionWriter(const ZuProjectStore& store, const ZuSharedBytes& bytes)
      : m_store(store),
        m_bytes(bytes),
        m_find(store.m_db, "SELECT id FROM segments WHERE digest = ?"),
        m_insert(store.m_db, "INSERT INTO segments(digest, bytes) VALUES(?, ?)") {}

  bool Write(std::string* error) {
    const std::vector<ZuByteMatcher::Run> runs = Match();
    size_t run = 0;
    size_t runStart = 0;  // where runs[run] starts in the movie
    ZuChunkDigests digests;
    for (size_t batch = 0; batch < m_bytes.size(); batch += kBatchSize) {
      const size_t end = std::min(m_bytes.size(), batch + kBatchSize);
      std::vector<const uint8_t*> known = KnownDigests(runs, run, runStart, batch, end);
      std::vector<std::span<const uint8_t>> toHash;
      for (size_t block = 0; block < known.size(); ++block) {
        if (known[block] == nullptr) {
          toHash.push_back(m_bytes.span().subspan(
              batch + block * kBlockSize, std::min(kBlockSize, end - batch - block * kBlockSize)));
        }
      }
      digests.Start(std::move(toHash));
      const ZuByteMatcher::Run& first = runs[run];
      if (first.source < 0 && runStart + first.size >= end && m_waiting.empty()) {
        // All new (a movie added from a file): one segment, its digest made of the blocks'.
        const std::vector<ZuSha256::Digest> hashed = digests.Get();
        if (!StoreBatch(batch, end, known, hashed, error)) {
          return false;
        }
        if (end == runStart + first.size) {
          runStart = end;
          ++run;
        }
        continue;
      }
      for (size_t at = batch; at < end;) {
        const ZuByteMatcher::Run& current = runs[run];
        const size_t take = std::min(end, runStart + current.size) - at;
        const size_t into = at - runStart;
        if (current.source >= 0) {
          const int64_t version = m_store.m_sources[static_cast<size_t>(current.source)].id;
          m_pieces.Append({-version, current.from + into, take});
        } else if (!StoreNew(m_bytes.span().subspan(at, take), error)) {
          digests.Get();
          return false;
        }
        at += take;
        if (at == runStart + current.size) {
          runStart = at;
          ++run;
        }
      }
      AddBlockDigests(known, digests.Get());
      m_pages.Passed(m_bytes, end);
    }
    return StoreWaiting(error);
  }

  const ZuPieceTable& Pieces() const { return m_pieces; }
  const std::vector<uint8_t>& BlockDigests() const { return m_blocks; }

 private:
  // The movie as runs of repeated and new bytes: all new when nothing was read before.
  std::vector<ZuByteMatcher::Run> Match() const {
    if (m_store.m_sources.empty()) {
      return {{-1, 0, m_bytes.size()}};
    }
    std::vector<std::span<const uint8_t>> sources;
    for (const Source& source : m_store.m_sources) {
      sources.push_back(source.bytes.span());
    }
    return ZuByteMatcher(std::move(sources)).Match(m_bytes.span());
  }

  // Adds the batch's block digests: those known, and in their places those hashed.
  void AddBlockDigests(const std::vector<const uint8_t*>& known,
                       const std::vector<ZuSha256::Digest>& hashed) {
    size_t next = 0;
    for (const uint8_t* digest : known) {
      const uint8_t* from = digest != nullptr ? digest : hashed[next++].data();
      m_blocks.insert(m_blocks.end(), from, from + ZuSha256::Digest().size());
    }
  }

  // Stores the batch [batch, end) as a segment of its own, straight from the movie.
  bool StoreBatch(size_t batch, size_t end, const std::vector<const uint8_t*>& known,
                  const std::vector<ZuSha256::Digest>& hashed, std::string* error) {
    const size_t first = m_blocks.size();
    AddBlockDigests(known, hashed);
    int64_t segment = 0;
    if (!StoreSegment(m_bytes.span().subspan(batch, end - batch),
                      ZuSha256::Of({m_blocks.data() + first, m_blocks.size() - first}), &segment,
                      error)) {
      return false;
    }
    m_pieces.Append({segment, 0, end - batch});
    m_pages.Passed(m_bytes, end);
    return true;
  }

  // Per block of the batch [batch, end): the digest a source has for it already, or null. A
  // block that repeats a whole block of a source at the same offset (everything before an
  // edit's first change, after its header) has that block's digest. run and runStart: the
  // run that batch lies in, and where it starts.
  std::vector<const uint8_t*> KnownDigests(const std::vector<ZuByteMatcher::Run>& runs, size_t run,
                                           size_t runStart, size_t batch, size_t end) const {
    std::vector<const uint8_t*> known;
    for (size_t block = batch; block < end; block += kBlockSize) {
      const size_t blockEnd = std::min(end, block + kBlockSize);
      while (runStart + runs[run].size <= block) {
        runStart += runs[run++].size;
      }
      const ZuByteMatcher::Run& current = runs[run];
      const uint8_t* digest = nullptr;
      if (current.source >= 0 && blockEnd <= runStart + current.size &&
          current.from + (block - runStart) == block) {
        const Source& source = m_store.m_sources[static_cast<size_t>(current.source)];
        const size_t index = block / kBlockSize;
        const bool sameEnd = blockEnd - block == kBlockSize || blockEnd == source.bytes.size();
        if (sameEnd && source.blocks.size() >= (index + 1) * ZuSha256::Digest().size()) {
          digest = source.blocks.data() + index * ZuSha256::Digest().size();
        }
      }
      known.push_back(digest);
    }
    return known;
  }

  // Adds new bytes: a long run as segments of its own, straight from the movie; a short one
  // gathered with others into the segment waiting to be stored.
  bool StoreNew(std::span<const uint8_t> bytes, std::string* error) {
    if (m_waiting.empty() && bytes.size() >= kSegmentSize / 4) {
      int64_t segment = 0;
      if (!StoreSegment(bytes, SegmentDigest(bytes), &segment, error)) {
        return false;
      }
      m_pieces.Append({segment, 0, bytes.size()});
      return true;
    }
    if (m_waiting.empty()) {
      m_firstWaiting = m_pieces.Pieces().size();
    }
    m_pieces.Append({kWaitingSegment, m_waiting.size(), bytes.size()});
    m_waiting.insert(m_waiting.end(), bytes.begin(), bytes.end());
    return m_waiting.size() < kSegmentSize || StoreWaiting(error);
  }

  bool StoreWaiting(std::string* error) {
    if (m_waiting.empty()) {
      return true;
    }
    int64_t segment = 0;
    if (!StoreSegment(m_waiting, SegmentDigest(m_waiting), &segment, error)) {
      return false;
    }
    m_pieces.SetSource(m_firstWaiting, kWaitingSegment, segment);
    m_waiting.clear();
    return true;
  }

  // The segment holding exactly bytes, whose digest (SegmentDigest) is digest: one stored
  // before, or a new one.
  bool StoreSegment(std::span<const uint8_t> bytes, const ZuSha256::Digest& digest,
                    int64_t* segment, std::string* error) {
    m_find.Reset();
    m_find.BindBlob(1, DigestSpan(digest));
    int code = m_find.Step();
    if (code == SQLITE_ROW) {
      *segment = m_find.ColumnInt(0);
      return true;
    }
    if (code != SQLITE_DONE) {
      return m_store.Fail(code, error);
    }
    m_insert.Reset();
    m_insert.BindBlob(1, DigestSpan(digest));
    m_insert.BindBlob(2, bytes);
    if ((code = m_insert.Step()) != SQLITE_DONE) {
      return m_store.Fail(code, error);
    }
    *segment = sqlite3_last_insert_rowid(m_store.m_db);
    return true;
  }

  const ZuProjectStore& m_store;
  const ZuSharedBytes& m_bytes;
  ZuSqlStatement m_find;
  ZuSqlStatement m_insert;
  ZuMappedPageReleaser m_pages;  // a mapped movie never becomes resident whole
  ZuPieceTable m_pieces;
  std::vector<uint8_t> m_blocks;   // the block digests, end to end
  std::vector<uint8_t> m_waiting;  // new bytes gathered for the next segment
  size_t m_firstWaiting = 0;       // the first piece that may lie in them
};

bool ZuProjectStore::WriteVersion(int64_t id, const ZuMovieFacts& movie, std::string* error) {
  VersionWriter writer(*this, movie.bytes);
  if (!writer.Write(error)) {
    return false;
  }
  VersionRow row;
  row.size = static_cast<int64_t>(movie.bytes.size());
  row.frames = movie.frameCount;
  row.frameRate = movie.frameRate;
  row.fmr = movie.fmr ? 1 : 0;
  row.pieces = writer.Pieces().Encode();
  row.blocks = writer.BlockDigests();
  const ZuSha256::Digest seal = row.Seal(id);
  // Stored in place of the row of an earlier format (by the upgrade), which keeps its time.
  ZuSqlStatement insert(m_db,
                        "INSERT OR REPLACE INTO versions(id, size, created, bytes, frames, "
                        "frame_rate, fmr, pieces, blocks, digest) VALUES(?1, ?2, "
                        "ifnull((SELECT created FROM versions WHERE id = ?1), datetime('now')), "
                        "x'', ?3, ?4, ?5, ?6, ?7, ?8)");
  insert.Bind(1, id);
  insert.Bind(2, row.size);
  insert.Bind(3, row.frames);
  insert.Bind(4, row.frameRate);
  insert.Bind(5, row.fmr);
  insert.BindBlob(6, row.pieces);
  insert.BindBlob(7, row.blocks);
  insert.BindBlob(8, DigestSpan(seal));
  const int code = insert.Step();
  if (code != SQLITE_DONE) {
    return Fail(code, error);
  }
  KeepSource({id, movie.bytes, writer.BlockDigests()});
  return true;
}

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
  ZuSqlStatement next(m_db, "SELECT ifnull(max(id), 0) + 1 FROM versions");
  code = next.Step();
  const int64_t id = code == SQLITE_ROW ? next.ColumnInt(0) : 0;
  bool stored = (id > 0 || Fail(code, error)) && WriteVersion(id, movie, error);
  if (stored) {
    code = ZuSqlExecute(m_db, "RELEASE store_version");
    stored = code == SQLITE_OK || Fail(code, error);
  }
  if (!stored) {
    // A failed write may have ended the whole transaction already; then these do nothing.
    ZuSqlExecute(m_db, "ROLLBACK TO store_version");
    ZuSqlExecute(m_db, "RELEASE store_version");
    std::erase_if(m_sources, [&](const Source& kept) { return kept.id == id; });
    return 0;
  }
  return id;
}

// Reads a version's pieces in batches: each batch is checked against the block digests
// beside this thread while it is handed on and the next one read. What is handed on is
// checked only afterwards, so a reader keeps nothing it was given when the reading fails.
class ZuProjectStore::VersionReader {
 public:
  // target, when given, room for the whole version, where its bytes are read (and handed
  // on from).
  VersionReader(const ZuProjectStore& store, int64_t id, const VersionRow& row,
                const ZuPieceTable& pieces, uint8_t* target)
      : m_store(store),
        m_id(id),
        m_row(row),
        m_pieces(pieces),
        m_target(target),
        m_blob(store.m_db) {}

  bool Read(const ByteSink& sink, std::string* error) {
    Batch batches[2];
    if (!Fill(batches[0], error)) {
      return false;
    }
    ZuChunkDigests digests;
    for (int current = 0; batches[current].size > 0; current ^= 1) {
      Batch& batch = batches[current];
      digests.Start(Blocks({batch.data, batch.size}, 0, batch.size));
      const bool handedOn = sink({batch.data, batch.size});
      const bool filled = handedOn && Fill(batches[current ^ 1], error);
      if (!Check(batch, digests.Get(), error) || !handedOn || !filled) {
        return false;
      }
    }
    return true;
  }

 private:
  struct Batch {
    // Room for a batch, without a target: left unfilled, since every byte of it is read
    // into before it is used.
    std::unique_ptr<uint8_t[]> own;
    uint8_t* data = nullptr;
    size_t start = 0;  // in the version
    size_t size = 0;
  };

  // The next batch's bytes; none at the end.
  bool Fill(Batch& batch, std::string* error) {
    batch.start = m_read;
    batch.size = std::min(kBatchSize, static_cast<size_t>(m_row.size) - m_read);
    if (m_target != nullptr) {
      batch.data = m_target + m_read;
    } else {
      if (batch.own == nullptr) {
        batch.own = std::make_unique_for_overwrite<uint8_t[]>(
            std::min(kBatchSize, static_cast<size_t>(m_row.size)));
      }
      batch.data = batch.own.get();
    }
    for (size_t done = 0; done < batch.size;) {
      const ZuPieceTable::Piece& piece = m_pieces.Pieces()[m_piece];
      const size_t take = std::min<uint64_t>(piece.size - m_inPiece, batch.size - done);
      if ((m_inPiece == 0 && !OpenPiece(piece, error)) ||
          !ReadFromSegment(batch.data + done, piece.offset + m_inPiece, take, error)) {
        return false;
      }
      done += take;
      m_inPiece += take;
      if (m_inPiece == piece.size) {
        ++m_piece;
        m_inPiece = 0;
      }
    }
    m_read += batch.size;
    return true;
  }

  // Opens the segment piece lies in, checking that it holds the piece.
  bool OpenPiece(const ZuPieceTable::Piece& piece, std::string* error) {
    const std::string name = "piece " + std::to_string(m_piece + 1);
    if (piece.source != m_openSegment) {
      const int code = m_blob.Open("segments", "bytes", piece.source);
      if (code != SQLITE_OK) {
        m_openSegment = 0;
        return code == SQLITE_ERROR
                   ? m_store.Damaged(m_id, name + " lies in a missing segment", error)
                   : m_store.Fail(code, error);
      }
      m_openSegment = piece.source;
    }
    const auto size = static_cast<uint64_t>(m_blob.GetSize());
    return (piece.offset <= size && piece.size <= size - piece.offset) ||
           m_store.Damaged(m_id, name + " reaches past the end of its segment", error);
  }

  bool ReadFromSegment(uint8_t* to, uint64_t offset, size_t size, std::string* error) {
    const int code = m_blob.Read(to, static_cast<int>(size), static_cast<int>(offset));
    return code == SQLITE_OK || m_store.Fail(code, error);
  }

  bool Check(const Batch& batch, const std::vector<ZuSha256::Digest>& actual, std::string* error) {
    for (size_t i = 0; i < actual.size(); ++i) {
      const size_t block = batch.start / kBlockSize + i;
      const auto stored = m_row.blocks.begin() + static_cast<ptrdiff_t>(block * actual[i].size());
      if (!std::equal(actual[i].begin(), actual[i].end(), stored)) {
        const size_t first = block * kBlockSize;
        const size_t last = std::min(first + kBlockSize, static_cast<size_t>(m_row.size)) - 1;
        return m_store.Damaged(m_id,
                               "bytes " + std::to_string(first) + " to " + std::to_string(last) +
                                   " do not match their digest",
                               error);
      }
    }
    return true;
  }

  const ZuProjectStore& m_store;
  int64_t m_id;
  const VersionRow& m_row;
  const ZuPieceTable& m_pieces;
  uint8_t* m_target;
  ZuSqlBlobReader m_blob;
  int64_t m_openSegment = 0;
  size_t m_piece = 0;      // the piece read next
  uint64_t m_inPiece = 0;  // how much of it has been read
  size_t m_read = 0;       // bytes of the version read so far
};

bool ZuProjectStore::CheckVersionRow(int64_t id, const VersionRow& row, ZuPieceTable* table,
                                     std::string* error) const {
  if (!row.hasPieces) {
    return Damaged(id, "its table of pieces is missing", error);
  }
  if (!row.SealHolds(id)) {
    return Damaged(id, "its size, facts or digests are not the ones sealed", error);
  }
  const size_t blocks = (static_cast<size_t>(row.size) + kBlockSize - 1) / kBlockSize;
  if (row.blocks.size() != blocks * ZuSha256::Digest().size()) {
    return Damaged(id, "its block digests do not cover its size", error);
  }
  std::string why;
  if (!ZuPieceTable::Decode(row.pieces, table, &why)) {
    return Damaged(id, why, error);
  }
  return table->Size() == static_cast<uint64_t>(row.size) ||
         Damaged(id, "its pieces do not add up to its size", error);
}

bool ZuProjectStore::ReadVersionTable(int64_t id, ZuPieceTable* table, std::string* error) const {
  VersionRow row;
  return ReadVersionRow(id, &row, error) && CheckVersionRow(id, row, table, error);
}

bool ZuProjectStore::ResolvePieces(int64_t id, const ZuPieceTable& table, ZuPieceTable* resolved,
                                   std::map<int64_t, ZuPieceTable>& earlier,
                                   std::string* error) const {
  size_t number = 0;
  for (const ZuPieceTable::Piece& piece : table.Pieces()) {
    ++number;
    if (piece.source > 0) {
      resolved->Append(piece);
      continue;
    }
    const int64_t version = -piece.source;
    const std::string name = "piece " + std::to_string(number);
    // A version refers only to versions stored before it, so the references end.
    if (version >= id) {
      return Damaged(id, name + " refers to a version stored after it", error);
    }
    auto found = earlier.find(version);
    if (found == earlier.end()) {
      ZuPieceTable own;
      ZuPieceTable flat;
      if (!ReadVersionTable(version, &own, error) ||
          !ResolvePieces(version, own, &flat, earlier, error)) {
        return false;
      }
      found = earlier.emplace(version, std::move(flat)).first;
    }
    const uint64_t size = found->second.Size();
    if (piece.offset > size || piece.size > size - piece.offset) {
      return Damaged(id, name + " reaches past the end of version " + std::to_string(version),
                     error);
    }
    resolved->AppendRange(found->second, piece.offset, piece.size);
  }
  return true;
}

bool ZuProjectStore::ReadVersionBytes(int64_t id, const ByteSink& sink, std::string* error,
                                      uint8_t* target) const {
  VersionRow row;
  if (!ReadVersionRow(id, &row, error)) {
    return false;
  }
  // Only a file of an earlier format, read as it is, holds versions without a table.
  if (!row.hasPieces && m_format < 4) {
    return ReadLegacyVersion(id, row.size, sink, error);
  }
  ZuPieceTable table;
  ZuPieceTable resolved;
  std::map<int64_t, ZuPieceTable> earlier;
  if (!CheckVersionRow(id, row, &table, error) ||
      !ResolvePieces(id, table, &resolved, earlier, error) ||
      !VersionReader(*this, id, row, resolved, target).Read(sink, error)) {
    return false;
  }
  int64_t frames = 0;
  int64_t rate = 0;
  if (row.frames >= 0 && target != nullptr &&
      ReadHeaderLength({target, static_cast<size_t>(row.size)}, &frames, &rate) &&
      (frames != row.frames || rate != row.frameRate)) {
    return Damaged(id, "its movie's length is not the one stored", error);
  }
  return true;
}

bool ZuProjectStore::ReadVersion(int64_t id, ZuSharedBytes* bytes, std::string* error) const {
  VersionRow row;
  if (!ReadVersionRow(id, &row, error)) {
    return false;
  }
  std::shared_ptr<uint8_t[]> storage = ZuAllocateLargeBuffer(static_cast<size_t>(row.size));
  if (storage == nullptr) {
    return SetError(error, "out of memory");
  }
  size_t filled = 0;
  const bool read = ReadVersionBytes(
      id,
      [&](std::span<const uint8_t> piece) {
        if (piece.data() != storage.get() + filled) {  // not read in place
          std::memcpy(storage.get() + filled, piece.data(), piece.size());
        }
        filled += piece.size();
        return true;
      },
      error, storage.get());
  if (!read) {
    return false;
  }
  const uint8_t* data = storage.get();
  *bytes = ZuSharedBytes(std::move(storage), data, static_cast<size_t>(row.size));
  KeepSource({id, *bytes, row.blocks});
  return true;
}

bool ZuProjectStore::ExportVersion(int64_t id, const std::string& path, std::string* error) const {
  VersionRow row;
  if (!ReadVersionRow(id, &row, error)) {
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
  VersionRow row;
  if (!ReadVersionRow(id, &row, nullptr) || row.frames < 0 || row.frames > 65535 ||
      row.frameRate < 0 || row.frameRate > 65535 || row.fmr < 0) {
    return false;
  }
  if (m_format >= 4 && !row.SealHolds(id)) {
    return false;
  }
  *facts = ZuMovieFacts();
  facts->fmr = row.fmr != 0;
  facts->SetLength(static_cast<uint16_t>(row.frames), static_cast<uint16_t>(row.frameRate));
  return true;
}

bool ZuProjectStore::ReadStorage(ZuProjectStorage* storage, std::string* error) const {
  ZuSqlStatement pages(m_db,
                       "SELECT page_count * page_size FROM pragma_page_count(), "
                       "pragma_page_size()");
  ZuSqlStatement versions(m_db,
                          "SELECT total(size), count(*), count(*) FILTER (WHERE id NOT IN "
                          "(SELECT version FROM state_resources WHERE state = ?)) FROM versions");
  versions.Bind(1, m_current);
  int code = pages.Step();
  if (code != SQLITE_ROW || (code = versions.Step()) != SQLITE_ROW) {
    return Fail(code, error);
  }
  storage->fileBytes = pages.ColumnInt(0);
  storage->fullCopyBytes = static_cast<int64_t>(versions.ColumnDouble(0));
  storage->versionCount = versions.ColumnInt(1);
  storage->historyOnlyVersions = versions.ColumnInt(2);
  return true;
}
