#include "host/app/ZuSlideCollection.h"

#include <algorithm>

ZuSlideBase* ZuSlideCollection::GetNthElement(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_slides[static_cast<size_t>(index)];
}

int ZuSlideCollection::IndexOf(const ZuSlideBase* slide) const {
  auto found = std::find(m_slides.begin(), m_slides.end(), slide);
  return found == m_slides.end() ? -1 : static_cast<int>(found - m_slides.begin());
}

void ZuSlideCollection::Insert(int index, ZuSlideBase* slide) {
  const int clamped = std::clamp(index, 0, GetCount());
  m_slides.insert(m_slides.begin() + clamped, slide);
}

bool ZuSlideCollection::Remove(const ZuSlideBase* slide) {
  auto found = std::find(m_slides.begin(), m_slides.end(), slide);
  if (found == m_slides.end()) return false;
  m_slides.erase(found);
  return true;
}
