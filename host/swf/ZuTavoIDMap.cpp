#include "host/swf/ZuTavoIDMap.h"

uint16_t ZuTavoIDMap::Map(uint16_t oldId) const {
  auto entry = m_map.find(oldId);
  return entry == m_map.end() ? oldId : entry->second;
}
