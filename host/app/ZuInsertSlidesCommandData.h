#pragma once

#include "host/app/IZuCommandData.h"
#include "host/util/ZuErrorCode.h"

class ZuProject;

// Parameters shared by the commands that insert slides: the project (not owned), the index
// of the slide after which the new slides go (-1: at the start), and whether the new slides
// override their master slide's layout.
class ZuInsertSlidesCommandData : public IZuCommandData {
 public:
  ZuErrorCodeEnum SetProject(ZuProject* project) {
    m_project = project;
    return kZuSuccess;
  }
  ZuProject* GetProject() const { return m_project; }
  ZuErrorCodeEnum SetInsertPosition(int32_t position) {
    m_position = position;
    return kZuSuccess;
  }
  int32_t GetInsertPosition() const { return m_position; }
  ZuErrorCodeEnum SetMasterSlideOverriden(int32_t overridden) {
    m_masterOverridden = overridden;
    return kZuSuccess;
  }
  int32_t GetMasterSlideOverriden() const { return m_masterOverridden; }

 private:
  ZuProject* m_project = nullptr;
  int32_t m_position = -1;
  int32_t m_masterOverridden = 0;
};
