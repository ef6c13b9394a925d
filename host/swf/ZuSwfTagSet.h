#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "host/swf/ZuSwfTag.h"
#include "host/swf/ZuTavoFilter.h"

class ZuSwfPlaceObject2Tag;
class ZuSwfTagSet;

// What can take tags in.
class IZuSwfTagHolder {
 public:
  virtual ~IZuSwfTagHolder() = default;
  // Takes ownership of tag and puts it at index (counted from 0; past the end or -1 appends).
  virtual void IncludeTag(ZuSwfTag* tag, int index) = 0;
  // Adds to tags, from source, the definitions that tags depend on (see ZuSwfTagSet).
  virtual void BuildDependencyList(std::list<ZuSwfTag*>& tags, ZuSwfTagSet* source) = 0;
};

// An ordered list of tags that owns them. Positions are iterators of a doubly linked
// list: they stay valid while other positions are inserted or erased. A slot may hold a
// null pointer; operations that walk the list say what they do with one.
class ZuSwfTagSet : public IZuSwfTagHolder {
 public:
  using TagList = std::list<ZuSwfTag*>;
  using iterator = TagList::iterator;
  using const_iterator = TagList::const_iterator;

  ZuSwfTagSet() = default;
  // Copies clone every tag (the bodies are shared, not copied).
  ZuSwfTagSet(const ZuSwfTagSet& other);
  ZuSwfTagSet& operator=(const ZuSwfTagSet& other);
  ~ZuSwfTagSet() override;  // destroys the tags held

  iterator begin() { return m_tags.begin(); }
  iterator end() { return m_tags.end(); }
  const_iterator begin() const { return m_tags.begin(); }
  const_iterator end() const { return m_tags.end(); }
  size_t GetTagCount() const { return m_tags.size(); }

  // The position of the n-th tag of type (counted from 1), or end() when there are fewer.
  iterator FindNthTagOfType(enuTagType type, unsigned n);

  // Inserts tag before pos; the set then owns it. Returns the tag's position.
  iterator IncludeTag(ZuSwfTag* tag, iterator pos);
  void IncludeTag(ZuSwfTag* tag, int index) override;
  void AppendTag(ZuSwfTag* tag);
  // Inserts the pointers of another list's range [first, last) before pos; the set then
  // owns those tags, and the caller empties its own list without destroying them.
  void InsertTags(iterator pos, TagList::iterator first, TagList::iterator last);
  // Unlinks [first, last) and returns the position after it. The tags are not destroyed:
  // they belong to the caller now.
  iterator EraseTags(iterator first, iterator last);
  // Makes a placement of characterId at depth, translated by (x, y) pixels, inserts it
  // before pos and returns it (owned by the set).
  ZuSwfPlaceObject2Tag* PlaceObject(uint16_t characterId, iterator pos, const ZuString& name,
                                    double x, double y, uint16_t depth,
                                    const std::vector<ZuTavoFilter*>& filters);

  // Adds to the front of tags, in source's order, every definition in source (this set
  // when source is null) that the tags refer to, directly or through other definitions,
  // and that tags does not already hold. The added tags are clones owned by the caller.
  void BuildDependencyList(std::list<ZuSwfTag*>& tags, ZuSwfTagSet* source) override;

  // Destroys every tag and empties the list.
  void DestroyAllTags();

 protected:
  // Told of every tag that enters the set.
  virtual void OnTagIncluded(ZuSwfTag* tag);

  TagList m_tags;
};
