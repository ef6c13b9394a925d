#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A movie version as the project file keeps it: its bytes, in order, as pieces of stored
// segments (runs of bytes that versions share). An edit's result is mostly its source's bytes
// moved about, so its table is mostly pieces of the source's segments, plus a few pieces of a
// new segment holding what the edit made.
class ZuPieceTable {
 public:
  struct Piece {
    int64_t segment = 0;  // row id in segments
    uint64_t offset = 0;  // in the segment
    uint64_t size = 0;
  };

  const std::vector<Piece>& Pieces() const { return m_pieces; }
  uint64_t Size() const { return m_size; }

  // Adds bytes at the end; joined to the last piece when they follow it in its segment.
  void Append(const Piece& piece);
  // Adds at the end the pieces that hold bytes [from, from + size) of this table's movie,
  // which must lie inside it.
  void AppendRange(const ZuPieceTable& other, uint64_t from, uint64_t size);
  // Sets the segment of the pieces from index first on whose segment is marker (a
  // placeholder for a segment not stored yet).
  void SetSegment(size_t first, int64_t marker, int64_t segment);

  // The table as stored: per piece, the change of segment id, the distance from where the
  // last piece of the same segment ended (zero on a change of segment), and the size, each a
  // variable-length number (the signed ones zigzag-coded). An edit that drops frames all
  // over a movie makes thousands of pieces of one segment a few bytes apart: two or three
  // bytes each.
  std::vector<uint8_t> Encode() const;
  // False, with why, for bytes that are no table of pieces: cut short, a number too large,
  // a segment id below 1 or a piece of no bytes.
  static bool Decode(std::span<const uint8_t> bytes, ZuPieceTable* table, std::string* why);

 private:
  std::vector<Piece> m_pieces;
  std::vector<uint64_t> m_starts;  // where each piece starts in the movie
  uint64_t m_size = 0;
};
