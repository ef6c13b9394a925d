#include "projectedit/SlideTiming.h"

#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/swf/ZuTavoFile.h"
#include "projectedit/EditError.h"
#include "projectedit/EditProgress.h"
#include "projectedit/MovieRewriteCommand.h"
#include "projectedit/MovieTiming.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/SlideAccess.h"
#include "retime/KeptFrames.h"

namespace {

std::string Report(int dropped, const std::string& frames, unsigned rate, int slide,
                   double seconds) {
  return RemovedFramesText(dropped, frames, rate) + " from slide " + std::to_string(slide) +
         ", which now lasts " + LengthText(seconds);
}

// The still frames of one stored version of a movie under one rule.
struct StillFrames {
  std::string project;
  int64_t version = 0;
  StillRule rule;
  int frameCount = 0;
  unsigned frameRate = 0;
  std::vector<bool> still;
};

// The editor asks for the same version's still frames again each time its "max still" control
// moves; a stored version never changes, so the last few answers are kept (per project file,
// version and rule) and only the cheap choice of kept frames is made again.
class StillFramesCache {
 public:
  std::shared_ptr<const StillFrames> Find(const std::string& project, int64_t version,
                                          const StillRule& rule) {
    const std::lock_guard<std::mutex> hold(m_lock);
    for (const auto& entry : m_entries) {
      if (entry->version == version && entry->project == project && entry->rule == rule) {
        return entry;
      }
    }
    return nullptr;
  }
  void Keep(std::shared_ptr<const StillFrames> entry) {
    constexpr size_t kKept = 8;
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_entries.size() == kKept) {
      m_entries.pop_front();
    }
    m_entries.push_back(std::move(entry));
  }

 private:
  std::mutex m_lock;
  std::deque<std::shared_ptr<const StillFrames>> m_entries;
};

// Reads the version's bytes straight from the project (no working copy: nothing is edited)
// and finds its still frames, or takes them from the cache.
std::shared_ptr<const StillFrames> StillFramesOf(const OpenProjectSession& session,
                                                 const std::string& name, int64_t version,
                                                 const StillRule& rule) {
  static StillFramesCache cache;
  if (auto known = cache.Find(session.Path(), version, rule)) {
    return known;
  }
  ZuSharedBytes bytes;
  std::string error;
  ZuTavoFile movie;
  if (!session.Project().ReadVersion(version, &bytes, &error) ||
      movie.LoadFromBytes(std::move(bytes)) != kZuSuccess) {
    throw EditError(
        name + ": its movie cannot be read: " + (error.empty() ? movie.GetLastError() : error));
  }
  auto found = std::make_shared<StillFrames>();
  found->project = session.Path();
  found->version = version;
  found->rule = rule;
  found->frameCount = movie.GetFrameCount();
  found->frameRate = movie.GetFrameRate();
  found->still = CheckedStillFrames(name, movie, rule);
  cache.Keep(found);
  return found;
}

}  // namespace

std::string TightenSlide(const OpenProjectSession& session, const TightenOptions& options) {
  const std::string name = SlideName(session, options.slide);
  int dropped = 0;
  unsigned rate = 0;
  const double seconds =
      RewriteSlideMovie(session, options.slide, "kZuTightenSlideCommand",
                        "tightening the slide failed", [&](ZuTavoFile& movie) {
                          rate = movie.GetFrameRate();
                          dropped = TightenMovie(name, movie, options.maxIdle, options.rule);
                        });
  return Report(dropped, "still frames", rate, options.slide, seconds);
}

std::string SpeedUpSlide(const OpenProjectSession& session, const SpeedOptions& options) {
  const std::string name = SlideName(session, options.slide);
  const SpeedRange range{options.from, options.to, options.factor, options.length};
  int dropped = 0;
  unsigned rate = 0;
  const double seconds = RewriteSlideMovie(session, options.slide, "kZuSpeedUpSlideCommand",
                                           "speeding up the slide failed", [&](ZuTavoFile& movie) {
                                             rate = movie.GetFrameRate();
                                             dropped = SpeedUpMovie(name, movie, range);
                                           });
  return Report(dropped, "frames", rate, options.slide, seconds);
}

SlideStillness FindSlideStillness(const OpenProjectSession& session, int slide,
                                  const StillRule& rule, double maxIdle) {
  const std::string name = SlideName(session, slide);
  const ZuAnimationResource* resource = FMRSlide(session, slide, "slide")->GetAnimation();
  const std::shared_ptr<const StillFrames> frames =
      StillFramesOf(session, name, resource->GetVersionId(), rule);
  SlideStillness stillness;
  stillness.frameCount = frames->frameCount;
  stillness.frameRate = frames->frameRate;
  const int maxStill = MaxStillFrames(maxIdle, stillness.frameRate);
  stillness.stretches = StillStretches(frames->still, 0);
  stillness.framesAfter =
      stillness.frameCount - DroppedCount(TightenKeeps(frames->still, maxStill));
  return stillness;
}
