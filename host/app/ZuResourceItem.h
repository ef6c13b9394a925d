#pragma once

#include "host/app/ZuDBBase.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuString.h"

// A named resource of a project (a movie, a picture). The project owns it.
class ZuResourceItem : public ZuDBBase {
 public:
  ZuResourceItem(int32_t uid, ZuString name) : ZuDBBase(uid), m_name(std::move(name)) {}
  // The resource's name ("intro.swf"). error, when given, receives 0.
  ZuString GetResourceName(ZuErrorCodeEnum* error) const {
    if (error != nullptr) {
      *error = kZuSuccess;
    }
    return m_name;
  }
  void SetResourceName(const ZuString& name) { m_name = name; }

 private:
  ZuString m_name;
};
