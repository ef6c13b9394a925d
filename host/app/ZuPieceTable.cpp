#include "host/app/ZuPieceTable.h"

#include <algorithm>

namespace {

void PutNumber(std::vector<uint8_t>& out, uint64_t value) {
  while (value >= 0x80) {
    out.push_back(static_cast<uint8_t>(value | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<uint8_t>(value));
}

uint64_t ZigZag(int64_t value) {
  return (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
}

int64_t UnZigZag(uint64_t value) {
  return static_cast<int64_t>(value >> 1) ^ -static_cast<int64_t>(value & 1);
}

// Reads a number written by PutNumber at bytes[*at]; false when cut short or longer than
// 64 bits.
bool GetNumber(std::span<const uint8_t> bytes, size_t* at, uint64_t* value) {
  *value = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (*at >= bytes.size()) {
      return false;
    }
    const uint8_t byte = bytes[(*at)++];
    *value |= uint64_t{byte & 0x7Fu} << shift;
    if ((byte & 0x80) == 0) {
      return shift < 63 || byte <= 1;
    }
  }
  return false;
}

}  // namespace

void ZuPieceTable::Append(const Piece& piece) {
  if (piece.size == 0) {
    return;
  }
  if (!m_pieces.empty()) {
    Piece& last = m_pieces.back();
    if (last.source == piece.source && last.offset + last.size == piece.offset) {
      last.size += piece.size;
      m_size += piece.size;
      return;
    }
  }
  m_pieces.push_back(piece);
  m_starts.push_back(m_size);
  m_size += piece.size;
}

void ZuPieceTable::AppendRange(const ZuPieceTable& other, uint64_t from, uint64_t size) {
  const auto after = std::upper_bound(other.m_starts.begin(), other.m_starts.end(), from);
  for (size_t i = static_cast<size_t>(after - other.m_starts.begin()) - 1; size > 0; ++i) {
    const Piece& piece = other.m_pieces[i];
    const uint64_t skip = from - other.m_starts[i];
    const uint64_t take = std::min(size, piece.size - skip);
    Append({piece.source, piece.offset + skip, take});
    from += take;
    size -= take;
  }
}

void ZuPieceTable::SetSource(size_t first, int64_t marker, int64_t source) {
  for (size_t i = first; i < m_pieces.size(); ++i) {
    if (m_pieces[i].source == marker) {
      m_pieces[i].source = source;
    }
  }
}

std::vector<uint8_t> ZuPieceTable::Encode() const {
  std::vector<uint8_t> out;
  int64_t source = 0;
  uint64_t end = 0;
  for (const Piece& piece : m_pieces) {
    if (piece.source != source) {
      end = 0;
    }
    PutNumber(out, ZigZag(piece.source - source));
    PutNumber(out, ZigZag(static_cast<int64_t>(piece.offset - end)));
    PutNumber(out, piece.size);
    source = piece.source;
    end = piece.offset + piece.size;
  }
  return out;
}

bool ZuPieceTable::Decode(std::span<const uint8_t> bytes, ZuPieceTable* table, std::string* why) {
  *table = ZuPieceTable();
  int64_t source = 0;
  uint64_t end = 0;
  size_t at = 0;
  while (at < bytes.size()) {
    uint64_t change = 0;
    uint64_t distance = 0;
    uint64_t size = 0;
    if (!GetNumber(bytes, &at, &change) || !GetNumber(bytes, &at, &distance) ||
        !GetNumber(bytes, &at, &size)) {
      *why = "its list of pieces is cut short";
      return false;
    }
    const int64_t next = static_cast<int64_t>(static_cast<uint64_t>(source) +
                                              static_cast<uint64_t>(UnZigZag(change)));
    if (next != source) {
      end = 0;
    }
    const uint64_t offset = end + static_cast<uint64_t>(UnZigZag(distance));
    if (next == 0 || size == 0 || offset > (uint64_t{1} << 40) || size > (uint64_t{1} << 40) ||
        table->m_size + size > (uint64_t{1} << 40)) {
      *why = "piece " + std::to_string(table->m_pieces.size() + 1) + " is out of range";
      return false;
    }
    table->m_pieces.push_back({next, offset, size});
    table->m_starts.push_back(table->m_size);
    table->m_size += size;
    source = next;
    end = offset + size;
  }
  return true;
}
