#pragma once

#include "host/app/ZuDBBase.h"

class ZuResourceItem;

// An object that sits in one of a project's collections and may show a resource.
class ZuTavoCollectionItem : public ZuDBBase {
 public:
  using ZuDBBase::ZuDBBase;
  // The resource this item shows, or null. Not owned.
  virtual ZuResourceItem* GetShownResource() const = 0;
};
