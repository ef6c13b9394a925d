#pragma once

#include <vector>

class ZuSlideBase;

// The ordered slide list of a project. It points to the slides; the project owns them.
class ZuSlideCollection {
 public:
  // The slide at index (from 0), or null when there is none.
  ZuSlideBase* GetNthElement(int index) const;
  int GetCount() const { return static_cast<int>(m_slides.size()); }
  // The slide's index, or -1 when it is not in the list.
  int IndexOf(const ZuSlideBase* slide) const;

  // Puts slide at index (clamped to the list), shifting later slides up.
  void Insert(int index, ZuSlideBase* slide);
  // Takes slide out of the list; false when it was not in it.
  bool Remove(const ZuSlideBase* slide);
  void Clear() { m_slides.clear(); }

 private:
  std::vector<ZuSlideBase*> m_slides;
};
