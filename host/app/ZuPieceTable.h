#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A movie version as the project file keeps it: its bytes, in order, as pieces of stored
// segments (runs of bytes that versions share) and of earlier versions. An edit's result is
// mostly its source's bytes moved about, so its table is mostly pieces of the source version,
// plus a few pieces of a new segment holding what the edit made. Referring to the version,
// not to the segments it lies in, keeps the table as small as the edit: a version made by
// many edits lies in many small runs of segments, which its next edit need not repeat.
class ZuPieceTable {
 public:
  struct Piece {
    int64_t source = 0;   // a segment's row id (> 0), or minus an earlier version's id (< 0)
    uint64_t offset = 0;  // in the segment or version
    uint64_t size = 0;
  };

  const std::vector<Piece>& Pieces() const { return m_pieces; }
  uint64_t Size() const { return m_size; }

  // Adds bytes at the end; joined to the last piece when they follow it in its source.
  void Append(const Piece& piece);
  // Adds at the end the pieces that hold bytes [from, from + size) of this table's movie,
  // which must lie inside it.
  void AppendRange(const ZuPieceTable& other, uint64_t from, uint64_t size);
  // Sets the source of the pieces from index first on whose source is marker (a
  // placeholder for a segment not stored yet).
  void SetSource(size_t first, int64_t marker, int64_t source);

  // The table as stored: per piece, the change of source, the distance from where the last
  // piece of the same source ended (from zero on a change of source), and the size, each a
  // variable-length number (the signed ones zigzag-coded). An edit that drops frames all
  // over a movie makes thousands of pieces of one source a few bytes apart: three or four
  // bytes each.
  std::vector<uint8_t> Encode() const;
  // False, with why, for bytes that are no table of pieces: cut short, a number too large,
  // a source of 0 or a piece of no bytes.
  static bool Decode(std::span<const uint8_t> bytes, ZuPieceTable* table, std::string* why);

 private:
  std::vector<Piece> m_pieces;
  std::vector<uint64_t> m_starts;  // where each piece starts in the movie
  uint64_t m_size = 0;
};
