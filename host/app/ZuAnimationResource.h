#pragma once

#include <cstdint>

#include "host/app/ZuResourceItem.h"

class IZuStream;
class ZuProject;
class ZuTavoCollectionItem;

// A movie resource. Its content is one stored version of SWF bytes in the project file;
// replacing the movie stores a new version and points the resource at it, so every earlier
// version stays in the file. The project owns the resource.
class ZuAnimationResource : public ZuResourceItem {
 public:
  ZuAnimationResource(int32_t uid, ZuString name, ZuProject* project);

  // 1 when the movie is an FMR screen recording, else 0. error, when given, receives 0.
  int32_t GetResourceFMRSwf(ZuErrorCodeEnum* error) const;
  void SetResourceFMRSwf(bool fmr) { m_fmr = fmr; }
  // A new stream over the stored movie, owned by the caller; null when it cannot be read.
  IZuStream* CreateReadStream(int32_t reserved) const;

  // The slides that show this resource, in slide-list order.
  int32_t GetUserCount() const;
  ZuTavoCollectionItem* GetUser(int32_t index) const;

  int64_t GetVersionId() const { return m_version; }
  void SetVersionId(int64_t version) { m_version = version; }
  ZuProject* GetProject() const { return m_project; }

 private:
  ZuProject* m_project;
  bool m_fmr = false;
  int64_t m_version = 0;  // id of the stored bytes in the project file
};
