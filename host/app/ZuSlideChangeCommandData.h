#pragma once

#include "host/app/IZuCommandData.h"
#include "host/util/ZuErrorCode.h"
#include "host/util/ZuString.h"

class ZuSlideBase;

// Parameters of the commands that remove, move or rename a slide (ZuSlideChangeCommand): the
// slide (not owned), the place it moves to (index from 0) and the name it takes; each command
// reads what it needs.
class ZuSlideChangeCommandData : public IZuCommandData {
 public:
  IZuCommandData* Clone() const override { return new ZuSlideChangeCommandData(*this); }
  ZuErrorCodeEnum SetSlide(ZuSlideBase* slide) {
    m_slide = slide;
    return kZuSuccess;
  }
  ZuSlideBase* GetSlide() const { return m_slide; }
  ZuErrorCodeEnum SetPosition(int index) {
    m_position = index;
    return kZuSuccess;
  }
  int GetPosition() const { return m_position; }
  ZuErrorCodeEnum SetName(const ZuString& name) {
    m_name = name;
    return kZuSuccess;
  }
  const ZuString& GetName() const { return m_name; }

 private:
  ZuSlideBase* m_slide = nullptr;
  int m_position = 0;
  ZuString m_name;
};
