#include "projectedit/ProjectExport.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <utility>

#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideCollection.h"
#include "host/image/ZuImage.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFrameTime.h"
#include "host/util/ZuSharedBytes.h"
#include "media/loader/ZuMediaLibrary.h"
#include "projectedit/EditError.h"
#include "projectedit/EditSeconds.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/SlideAccess.h"
#include "projectedit/TimeInMovie.h"

namespace {

constexpr auto kWrong = EditError::Kind::kWrongArgument;

// The chapter of a slide: the name of the movie it shows, without the file extension a movie's
// name usually keeps, on one line; "Slide N" when that leaves nothing.
std::string ChapterName(const ZuSlideBase& slide, int number) {
  std::string name = slide.GetAnimation()->GetResourceName(nullptr).GetUTF8String();
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0 && name.size() - dot == 4 &&
      (name.compare(dot, 4, ".swf") == 0 || name.compare(dot, 4, ".SWF") == 0)) {
    name.erase(dot);
  }
  std::replace_if(
      name.begin(), name.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; }, ' ');
  return name.empty() ? "Slide " + std::to_string(number) : name;
}

void CheckPictureSize(const ProjectExportRequest& request) {
  const auto side = [](int value) { return value >= 1 && value <= ZuImage::kMaxSide; };
  if ((request.width != 0 || request.height != 0) &&
      !(side(request.width) && side(request.height))) {
    throw EditError("the picture size must be a width and a height, each 1 to " +
                        std::to_string(ZuImage::kMaxSide),
                    kWrong);
  }
}

}  // namespace

ProjectExport::ProjectExport(const OpenProjectSession& session,
                             const ProjectExportRequest& request) {
  CheckPictureSize(request);
  m_sequence.width = request.width;
  m_sequence.height = request.height;
  m_sequence.crf = request.crf;
  m_sequence.lossless = request.lossless;
  m_sequence.maxBytes = request.maxBytes;
  m_sequence.overlay = request.overlay;
  if (request.slide) {
    PlanSlide(session, request);
  } else if (request.start || request.end) {
    throw EditError("a start or end time needs a slide to take it in", kWrong);
  } else {
    PlanProject(session);
  }
  int64_t total = 0;
  for (const ZuVideoSegment& segment : m_sequence.segments) {
    total += segment.frames;
  }
  if (total > INT_MAX) {
    throw EditError(session.Path() + ": the video would be too long to export", kWrong);
  }
  m_total = static_cast<int>(total);
}

ProjectExport::~ProjectExport() = default;

const ZuTavoFile& ProjectExport::Movie(const OpenProjectSession& session, int slide) {
  const ZuAnimationResource* resource = session.Slide(slide, "slide")->GetAnimation();
  if (resource == nullptr) {
    throw EditError(SlideName(session, slide) + " shows no movie", kWrong);
  }
  const int64_t version = resource->GetVersionId();
  for (const auto& [known, movie] : m_movies) {
    if (known == version) {
      return *movie;
    }
  }
  ZuSharedBytes bytes;
  std::string error;
  auto movie = std::make_unique<ZuTavoFile>();
  if (!session.Project().ReadVersion(version, &bytes, &error)) {
    throw EditError(SlideName(session, slide) + ": " + error);
  }
  if (movie->LoadFromBytes(std::move(bytes)) != kZuSuccess) {
    throw EditError(SlideName(session, slide) +
                    ": the movie cannot be loaded: " + movie->GetLastError());
  }
  if (movie->GetFrameRate() == 0 || movie->GetFrameCount() == 0) {
    throw EditError(SlideName(session, slide) +
                    ": the movie has no frames at a whole frame rate to export");
  }
  m_movies.emplace_back(version, std::move(movie));
  return *m_movies.back().second;
}

void ProjectExport::PlanSlide(const OpenProjectSession& session,
                              const ProjectExportRequest& request) {
  const int number = *request.slide;
  const ZuTavoFile& movie = Movie(session, number);
  const int rate = movie.GetFrameRate();
  const int frames = movie.GetFrameCount();
  const double start = request.start.value_or(0);
  RequireSeconds("start", start);
  if (request.end) {
    RequireSeconds("end", *request.end);
  }
  const auto [first, last] =
      FramesToPlay(SlideName(session, number), start, request.end, frames, rate);
  ZuVideoSegment segment{&movie, first, last, 0, {}};
  segment.frames = segment.lastFrame - segment.firstFrame + 1;
  m_sequence.frameRate = rate;
  m_sequence.segments.push_back(std::move(segment));
}

void ProjectExport::PlanProject(const OpenProjectSession& session) {
  const ZuSlideCollection* slides = session.Project().GetSlideCollection();
  std::vector<int> shown;
  for (int number = 1; number <= slides->GetCount(); ++number) {
    if (slides->GetNthElement(number - 1)->GetAnimation() == nullptr) {
      m_notes.push_back("slide " + std::to_string(number) + " shows no movie; it is left out");
      continue;
    }
    m_sequence.frameRate =
        std::max<int>(m_sequence.frameRate, Movie(session, number).GetFrameRate());
    shown.push_back(number);
  }
  if (shown.empty()) {
    throw EditError(session.Path() + ": no slide shows a movie to export", kWrong);
  }
  const int rate = m_sequence.frameRate;
  for (int number : shown) {
    const ZuSlideBase& slide = *slides->GetNthElement(number - 1);
    const ZuTavoFile& movie = Movie(session, number);
    const int frames = movie.GetFrameCount();
    const int needed = ZuSegmentFramesNeeded(1, frames, movie.GetFrameRate(), rate);
    const int lasting =
        ZuFrameTime::SecondsToFrames(slide.GetDuration().GetTime().GetValue(), rate);
    m_sequence.segments.push_back(
        {&movie, 1, frames, std::max(needed, lasting), ChapterName(slide, number)});
  }
}

std::string ProjectExport::ChaptersText() const {
  std::string text;
  int64_t start = 0;
  for (const ZuVideoSegment& segment : m_sequence.segments) {
    if (!segment.chapter.empty()) {
      text += ClockText(start / m_sequence.frameRate) + " " + segment.chapter + "\n";
    }
    start += segment.frames;
  }
  return text;
}

ZuExportResult ProjectExport::Run(const std::string& path, const ZuMediaProgress& progress) const {
  return ZuMediaLibrary().exportSequence(m_sequence, path, progress);
}

void ProjectExport::WriteChapters(const std::string& path) const {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << ChaptersText();
  file.close();
  if (!file) {
    std::remove(path.c_str());
    throw EditError(path + ": cannot write the chapters");
  }
}

std::string ChaptersFileOf(const std::string& video) {
  const size_t slash = video.rfind('/');
  const size_t dot = video.rfind('.');
  const bool extension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (extension ? video.substr(0, dot) : video) + ".chapters.txt";
}
