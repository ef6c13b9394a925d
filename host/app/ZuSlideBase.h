#pragma once

#include "host/app/ZuTavoCollectionItem.h"
#include "host/util/ZuDuration.h"

class ZuProject;
class ZuAnimationResource;

// One slide of a project. The project owns it and keeps it alive until the project closes,
// also while it is out of the slide list (removed by a command that may put it back).
class ZuSlideBase : public ZuTavoCollectionItem {
 public:
  ZuSlideBase(int32_t uid, ZuProject* project);

  // Position in the project's slide list, from 0; -1 while the slide is not in the list.
  int GetIndex() const;
  ZuProject* GetProject() const { return m_project; }

  ZuDuration GetDuration() const { return ZuDuration(m_duration, kZuDurationSeconds); }
  void SetDuration(const ZuDuration& duration) { m_duration = duration.GetTime(); }
  // The least duration the slide's other timed content (captions, audio) needs, in seconds.
  double GetMinimumDuration() const { return m_minimumDuration; }
  void SetMinimumDuration(double seconds) { m_minimumDuration = seconds; }
  // Whether the slide is an FMR slide: it shows a screen recording.
  bool IsMarkedFMR() const { return m_fmr; }
  void SetMarkedFMR(bool fmr) { m_fmr = fmr; }

  ZuResourceItem* GetShownResource() const override;
  ZuAnimationResource* GetAnimation() const { return m_animation; }
  void SetAnimation(ZuAnimationResource* animation) { m_animation = animation; }

 private:
  ZuProject* m_project;
  double m_duration = 0.0;
  double m_minimumDuration = 0.0;
  bool m_fmr = false;
  ZuAnimationResource* m_animation = nullptr;  // owned by the project
};
