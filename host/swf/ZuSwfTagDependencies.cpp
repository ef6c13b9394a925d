// ZuSwfTagSet::BuildDependencyList: the walk from tags to the definitions they need.
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "host/swf/ZuSwfIdFields.h"
#include "host/swf/ZuSwfTagSet.h"

namespace {

// The ids a tag defines: its own, or those an import table brings in.
std::vector<uint16_t> DefinedIds(const ZuSwfTag& tag) {
  ZuSharedBytes body = tag.GetBody();
  ZuSwfIdFields fields;
  bool wellFormed = ZuSwfLocateIds(tag.GetTagType(), body.span(), fields);
  std::vector<uint16_t> ids;
  if (fields.definesCharacter && body.size() >= 2) ids.push_back(tag.GetCharacterId());
  if (wellFormed) {
    for (size_t offset : fields.importedIds) ids.push_back(ZuSwfReadIdAt(body.span(), offset));
  }
  return ids;
}

// The ids a tag refers to (nothing for a malformed body, whose fields are unknown).
std::vector<uint16_t> ReferencedIds(const ZuSwfTag& tag) {
  ZuSharedBytes body = tag.GetBody();
  ZuSwfIdFields fields;
  std::vector<uint16_t> ids;
  if (!ZuSwfLocateIds(tag.GetTagType(), body.span(), fields)) return ids;
  for (size_t offset : fields.references) {
    uint16_t id = ZuSwfReadIdAt(body.span(), offset);
    if (id != 0) ids.push_back(id);
  }
  return ids;
}

}  // namespace

// An id may be defined more than once in a movie (freed, then defined again). The
// definition taken is the one in force where the tags stand: the last one before the
// first of tags that the source holds, or the last in the source when it holds none.
void ZuSwfTagSet::BuildDependencyList(std::list<ZuSwfTag*>& tags, ZuSwfTagSet* source) {
  ZuSwfTagSet& from = source != nullptr ? *source : *this;
  std::set<const ZuSwfTag*> listed(tags.begin(), tags.end());

  // The definitions of the source in force at the anchor, by id.
  std::map<uint16_t, ZuSwfTag*> definitions;
  for (ZuSwfTag* tag : from) {
    if (tag == nullptr) continue;
    if (listed.count(tag) != 0) break;  // the anchor
    for (uint16_t id : DefinedIds(*tag)) {
      if (id != 0) definitions[id] = tag;
    }
  }

  std::set<uint16_t> available;  // defined by the list itself
  std::vector<uint16_t> pending;
  for (const ZuSwfTag* tag : tags) {
    if (tag == nullptr) continue;
    for (uint16_t id : DefinedIds(*tag)) available.insert(id);
    for (uint16_t id : ReferencedIds(*tag)) pending.push_back(id);
  }

  // Follow references through definitions until nothing new is needed.
  std::set<const ZuSwfTag*> needed;
  while (!pending.empty()) {
    uint16_t id = pending.back();
    pending.pop_back();
    if (available.count(id) != 0) continue;
    available.insert(id);
    auto found = definitions.find(id);
    if (found == definitions.end() || !needed.insert(found->second).second) continue;
    for (uint16_t ref : ReferencedIds(*found->second)) pending.push_back(ref);
  }

  // Clones at the front of the list, in the source's order.
  std::list<ZuSwfTag*> added;
  for (ZuSwfTag* tag : from) {
    if (tag != nullptr && needed.count(tag) != 0) added.push_back(tag->Clone());
  }
  tags.splice(tags.begin(), added);
}
