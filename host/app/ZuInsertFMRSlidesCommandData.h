#pragma once

#include <vector>

#include "host/app/ZuInsertSlidesCommandData.h"
#include "host/app/ZuSWFInfo.h"
#include "host/util/ZuString.h"

class ZuAnimationResource;

// Parameters of command 116: the movies to put on new slides, one slide each, and the
// name asked for the resource each becomes (each gets a free name by the rule of
// ZuResourceNames.h: a second movie "demo_2.swf", and so on). Instead of movies, a resource of the
// project may be given: one new slide then shows it.
class ZuInsertFMRSlidesCommandData : public ZuInsertSlidesCommandData {
 public:
  IZuCommandData* Clone() const override { return new ZuInsertFMRSlidesCommandData(*this); }

  ZuErrorCodeEnum SetFMRResourceName(const ZuString& name) {
    m_resourceName = name;
    return kZuSuccess;
  }
  ZuString GetFMRResourceName() const { return m_resourceName; }
  // Keeps what the command needs of info: the file and the picture's size; not the pixels.
  ZuErrorCodeEnum AddFMRSWF(const ZuSWFInfo& info) {
    m_movies.push_back(info);
    m_movies.back().imagePixels = nullptr;
    return kZuSuccess;
  }
  const std::vector<ZuSWFInfo>& GetFMRSWFs() const { return m_movies; }
  ZuErrorCodeEnum SetMarkSlidesAsFMRSlide(int32_t mark) {
    m_markFMR = mark;
    return kZuSuccess;
  }
  int32_t GetMarkSlidesAsFMRSlide() const { return m_markFMR; }
  ZuErrorCodeEnum SetSharedResource(ZuAnimationResource* resource) {
    m_shared = resource;
    return kZuSuccess;
  }
  ZuAnimationResource* GetSharedResource() const { return m_shared; }

 private:
  ZuString m_resourceName;
  std::vector<ZuSWFInfo> m_movies;
  int32_t m_markFMR = 0;
  ZuAnimationResource* m_shared = nullptr;  // not owned
};
