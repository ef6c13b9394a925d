#include "host/swf/ZuSwfTagSet.h"

#include "host/swf/ZuSwfPlaceObject2Tag.h"

ZuSwfTagSet::ZuSwfTagSet(const ZuSwfTagSet& other) {
  for (const ZuSwfTag* tag : other.m_tags) {
    m_tags.push_back(tag != nullptr ? tag->Clone() : nullptr);
  }
}

ZuSwfTagSet& ZuSwfTagSet::operator=(const ZuSwfTagSet& other) {
  if (this != &other) {
    TagList copies;
    for (const ZuSwfTag* tag : other.m_tags) {
      copies.push_back(tag != nullptr ? tag->Clone() : nullptr);
    }
    DestroyAllTags();
    m_tags.swap(copies);
  }
  return *this;
}

ZuSwfTagSet::~ZuSwfTagSet() {
  DestroyAllTags();
}

ZuSwfTagSet::iterator ZuSwfTagSet::FindNthTagOfType(enuTagType type, unsigned n) {
  if (n == 0) {
    return m_tags.end();
  }
  for (auto it = m_tags.begin(); it != m_tags.end(); ++it) {
    if (*it != nullptr && (*it)->GetTagType() == type && --n == 0) {
      return it;
    }
  }
  return m_tags.end();
}

ZuSwfTagSet::iterator ZuSwfTagSet::IncludeTag(ZuSwfTag* tag, iterator pos) {
  const iterator placed = m_tags.insert(pos, tag);
  if (tag != nullptr) {
    OnTagIncluded(tag);
  }
  return placed;
}

void ZuSwfTagSet::IncludeTag(ZuSwfTag* tag, int index) {
  iterator pos = m_tags.end();
  if (index >= 0 && static_cast<size_t>(index) < m_tags.size()) {
    pos = std::next(m_tags.begin(), index);
  }
  IncludeTag(tag, pos);
}

void ZuSwfTagSet::AppendTag(ZuSwfTag* tag) {
  IncludeTag(tag, m_tags.end());
}

void ZuSwfTagSet::InsertTags(iterator pos, TagList::iterator first, TagList::iterator last) {
  for (auto it = first; it != last; ++it) {
    IncludeTag(*it, pos);
  }
}

ZuSwfTagSet::iterator ZuSwfTagSet::EraseTags(iterator first, iterator last) {
  return m_tags.erase(first, last);
}

ZuSwfPlaceObject2Tag* ZuSwfTagSet::PlaceObject(uint16_t characterId, iterator pos,
                                               const ZuString& name, double x, double y,
                                               uint16_t depth,
                                               const std::vector<ZuTavoFilter*>& filters) {
  ZuSwfPlaceObject2Tag* tag =
      ZuSwfPlaceObject2Tag::Create(characterId, depth, x, y, name.GetUTF8String(), filters);
  IncludeTag(tag, pos);
  return tag;
}

void ZuSwfTagSet::DestroyAllTags() {
  for (ZuSwfTag* tag : m_tags) {
    delete tag;
  }
  m_tags.clear();
}

void ZuSwfTagSet::OnTagIncluded(ZuSwfTag* /*tag*/) {}
