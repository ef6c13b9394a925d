#pragma once

#include "host/app/IZuCommandData.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuFile.h"
#include "host/util/ZuString.h"

class ZuAnimationResource;

// Parameters of command 575: the resource to replace (not owned), the file whose bytes
// replace its movie, the name it takes, whether the new movie is an FMR recording, and
// whether the slides showing it take the new movie's length.
class ZuReplaceResourceCommandData : public IZuCommandData {
 public:
  IZuCommandData* Clone() const override { return new ZuReplaceResourceCommandData(*this); }

  ZuErrorCodeEnum SetSourceResource(ZuAnimationResource* resource) {
    m_source = resource;
    return kZuSuccess;
  }
  ZuAnimationResource* GetSourceResource() const { return m_source; }
  ZuErrorCodeEnum SetDestinationImageFile(const ZuFile& file) {
    m_file = file;
    return kZuSuccess;
  }
  ZuFile GetDestinationImageFile() const { return m_file; }
  // An empty name, or one of the same family (ZuResourceNames.h), keeps the resource's name.
  ZuErrorCodeEnum SetDestinationResourceName(const ZuString& name) {
    m_name = name;
    return kZuSuccess;
  }
  ZuString GetDestinationResourceName() const { return m_name; }
  ZuErrorCodeEnum SetFMRSWF(int32_t fmr) {
    m_fmr = fmr;
    return kZuSuccess;
  }
  int32_t GetFMRSWF() const { return m_fmr; }
  ZuErrorCodeEnum SetUpdateSlideTiming(int32_t update) {
    m_updateTiming = update;
    return kZuSuccess;
  }
  int32_t GetUpdateSlideTiming() const { return m_updateTiming; }

 private:
  ZuAnimationResource* m_source = nullptr;
  ZuFile m_file;
  ZuString m_name;
  int32_t m_fmr = 0;
  int32_t m_updateTiming = 0;
};
