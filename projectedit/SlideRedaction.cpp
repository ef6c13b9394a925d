#include "projectedit/SlideRedaction.h"

#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "projectedit/EditError.h"
#include "projectedit/MovieRewriteCommand.h"
#include "projectedit/SlideAccess.h"
#include "projectedit/TimeInMovie.h"
#include "redact/Redaction.h"

namespace {

std::pair<int, int> RangeOf(const std::string& name, const ZuTavoFile& movie,
                            const RedactOptions& options) {
  if (options.frames) {
    return *options.frames;
  }
  if (!options.from || !options.to) {
    throw EditError(name + ": give the range as --from and --to, or as --frames",
                    EditError::Kind::kWrongArgument);
  }
  const unsigned rate = movie.GetFrameRate();
  if (rate == 0) {
    throw EditError(name + ": the movie's frame rate is 0: its frames cannot be timed");
  }
  if (!(*options.from < *options.to)) {
    throw EditError(name + ": the range " + SecondsText(*options.from) + " to " +
                        SecondsText(*options.to) + " is empty: give from before to",
                    EditError::Kind::kWrongArgument);
  }
  return {ZuFrameTime::SecondsToFrames(*options.from, rate) + 1,
          ZuFrameTime::SecondsToFrames(*options.to, rate)};
}

}  // namespace

RedactArea CheckedRedactArea(const std::string& name, const ZuTavoFile& movie,
                             const RedactOptions& options) {
  RedactArea area = options.area;
  std::tie(area.firstFrame, area.lastFrame) = RangeOf(name, movie, options);
  const std::string wrong =
      WhyNotRedactArea(area, static_cast<int>(movie.GetWidth()),
                       static_cast<int>(movie.GetHeight()), movie.GetFrameCount());
  if (!wrong.empty()) {
    throw EditError(name + ": " + wrong, EditError::Kind::kWrongArgument);
  }
  return area;
}

void RedactMovie(const std::string& name, ZuTavoFile& movie, const RedactArea& area) {
  const std::string refused = RedactFrames(movie, area);
  if (!refused.empty()) {
    throw EditError(name + ": cannot redact: " + refused);
  }
}

std::string RedactSlide(const OpenProjectSession& session, const RedactOptions& options) {
  const std::string name = SlideName(session, options.slide);
  RedactArea done;
  RewriteSlideMovie(session, options.slide, "kZuRedactSlideCommand", "redacting the slide failed",
                    [&](ZuTavoFile& movie) {
                      done = CheckedRedactArea(name, movie, options);
                      RedactMovie(name, movie, done);
                    });
  return "filled " + RectangleText(done) + " in frames " + std::to_string(done.firstFrame) +
         " to " + std::to_string(done.lastFrame) + " of slide " + std::to_string(options.slide);
}
