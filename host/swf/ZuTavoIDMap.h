#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

// A renumbering of character ids, old id to new id, used to move one movie's
// characters into another without collisions.
class ZuTavoIDMap {
 public:
  void Set(uint16_t oldId, uint16_t newId) { m_map[oldId] = newId; }
  // The new id for oldId, or oldId itself when it has no entry.
  uint16_t Map(uint16_t oldId) const;
  bool Contains(uint16_t oldId) const { return m_map.count(oldId) != 0; }
  size_t size() const { return m_map.size(); }

 private:
  std::unordered_map<uint16_t, uint16_t> m_map;
};
