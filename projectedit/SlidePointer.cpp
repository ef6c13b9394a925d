#include "projectedit/SlidePointer.h"

#include <utility>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/pointer/ZuPointerTags.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "projectedit/EditError.h"
#include "projectedit/EditSeconds.h"
#include "projectedit/MovieRewriteCommand.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/SlideAccess.h"
#include "projectedit/TimeInMovie.h"

namespace {

// The track of the version the slide shows, read straight from the project: nothing is
// edited. rate gets the movie's frame rate.
ZuPointerTrack ReadTrack(const OpenProjectSession& session, int slide, unsigned* rate) {
  const ZuAnimationResource* resource = FMRSlide(session, slide, "slide")->GetAnimation();
  ZuSharedBytes bytes;
  std::string error;
  ZuTavoFile movie;
  if (!session.Project().ReadVersion(resource->GetVersionId(), &bytes, &error) ||
      movie.LoadFromBytes(std::move(bytes)) != kZuSuccess) {
    throw EditError(SlideName(session, slide) + ": its movie cannot be read: " +
                    (error.empty() ? movie.GetLastError() : error));
  }
  *rate = movie.GetFrameRate();
  return ZuReadPointerTrack(movie);
}

EditError NoTrack(const OpenProjectSession& session, int slide) {
  return EditError(SlideName(session, slide) + " has no recorded pointer or keys",
                   EditError::Kind::kWrongArgument);
}

// Takes the track out of movie, lets change edit it and puts it back.
template <class Change>
void RewriteTrack(const OpenProjectSession& session, int slide, ZuTavoFile& movie,
                  const Change& change) {
  ZuPointerTrack track = ZuTakePointerTrack(movie);
  if (track.Empty()) {
    throw NoTrack(session, slide);
  }
  change(track);
  const std::string refused = ZuPutPointerTrack(movie, track);
  if (!refused.empty()) {
    throw EditError(SlideName(session, slide) + ": " + refused);
  }
}

}  // namespace

SlidePointer ReadSlidePointer(const OpenProjectSession& session, int slide) {
  unsigned rate = 0;
  const ZuPointerTrack track = ReadTrack(session, slide, &rate);
  SlidePointer read;
  read.recorded = !track.Empty();
  read.pointer = track.HasPointer();
  read.settings = track.settings;
  for (size_t frame = 0; frame < track.frames.size(); ++frame) {
    const std::vector<std::string>& keys = track.frames[frame].keys;
    for (size_t index = 0; index < keys.size(); ++index) {
      read.keyPresses.push_back({static_cast<int>(frame) + 1, static_cast<int>(index) + 1,
                                 ZuFrameTime::FramesToSeconds(static_cast<int64_t>(frame), rate),
                                 keys[index]});
    }
  }
  return read;
}

std::string OverlaySettingsText(const ZuOverlaySettings& settings) {
  std::string text = std::string("pointer ") + ZuPointerLookName(settings.pointer);
  if (settings.pointer == ZuPointerLook::kLarge) {
    text += " (" + EditSecondsText(settings.largeScale) + "x)";
  }
  return text + ", clicks " + (settings.clicks ? "on" : "off") + ", keys " +
         (settings.keys ? "on" : "off");
}

ZuOverlaySettings CheckedOverlaySettings(const ZuOverlaySettings& settings,
                                         const ZuOverlayChoice& choice) {
  if (choice.largeScale) {
    const double scale = *choice.largeScale;
    if (!(scale >= ZuOverlaySettings::kMinLargeScale &&
          scale <= ZuOverlaySettings::kMaxLargeScale)) {
      throw EditError("the pointer's scale " + EditSecondsText(scale) + " is not from " +
                          EditSecondsText(ZuOverlaySettings::kMinLargeScale) + " to " +
                          EditSecondsText(ZuOverlaySettings::kMaxLargeScale),
                      EditError::Kind::kWrongArgument);
    }
  }
  return choice.AppliedTo(settings);
}

std::string SetSlideOverlay(const OpenProjectSession& session, int slide,
                            const ZuOverlayChoice& choice) {
  const SlidePointer now = ReadSlidePointer(session, slide);
  if (!now.recorded) {
    throw NoTrack(session, slide);
  }
  const ZuOverlaySettings wanted = CheckedOverlaySettings(now.settings, choice);
  if (wanted != now.settings) {
    RewriteSlideMovie(session, slide, "kZuSetPointerOverlayCommand",
                      "changing the slide's pointer settings failed", [&](ZuTavoFile& movie) {
                        RewriteTrack(session, slide, movie,
                                     [&](ZuPointerTrack& track) { track.settings = wanted; });
                      });
  }
  return "slide " + std::to_string(slide) + ": " + OverlaySettingsText(wanted);
}

std::string RemoveSlideKeyPress(const OpenProjectSession& session, int slide, int frame,
                                int index) {
  const std::string name = SlideName(session, slide);
  std::string removed;
  double seconds = 0;
  RewriteSlideMovie(session, slide, "kZuRemoveKeyPressCommand", "removing the key press failed",
                    [&](ZuTavoFile& movie) {
                      RewriteTrack(session, slide, movie, [&](ZuPointerTrack& track) {
                        const int frames = static_cast<int>(track.frames.size());
                        if (frame < 1 || frame > frames) {
                          throw EditError(name + ": there is no frame " + std::to_string(frame) +
                                              " (the movie has " + std::to_string(frames) + ")",
                                          EditError::Kind::kWrongArgument);
                        }
                        const std::vector<std::string>& keys = track.frames[frame - 1].keys;
                        if (index < 1 || index > static_cast<int>(keys.size())) {
                          throw EditError(name + ": frame " + std::to_string(frame) + " has " +
                                              std::to_string(keys.size()) +
                                              " key presses, no key press " + std::to_string(index),
                                          EditError::Kind::kWrongArgument);
                        }
                        removed = keys[index - 1];
                        seconds = ZuFrameTime::FramesToSeconds(frame - 1, movie.GetFrameRate());
                        ZuRemoveKeyPress(track, frame - 1, index - 1);
                      });
                    });
  return "removed key \"" + removed + "\" at " + SecondsText(seconds) + " (frame " +
         std::to_string(frame) + ") from slide " + std::to_string(slide);
}
