#include "projectedit/EngineRefusal.h"

#include "engine/ZuFMRTavoFile.h"
#include "host/player/ZuAnimationUtils.h"

namespace {

std::string Pixels(const ZuTavoFile& movie) {
  return std::to_string(movie.GetWidth()) + " x " + std::to_string(movie.GetHeight());
}

// first and then second, joined by ": " when both say something.
std::string Joined(const std::string& first, const std::string& second) {
  return first.empty() || second.empty() ? first + second : first + ": " + second;
}

}  // namespace

EditError EngineRefusal(ZuErrorCodeEnum result, const EditedMovies& movies,
                        const std::string& editError) {
  switch (result) {
    case kZuErrorFrameLimit:
      return FrameLimitError(movies.output, movies.after);
    case kZuErrorNotFMR: {
      const bool other = !movies.other.empty();
      const ZuTavoFile* blamed = other ? movies.otherMovie : movies.movie;
      EditError error = NotFMRError(other ? movies.other : movies.name,
                                    blamed ? ZuAnimationUtils::WhyNotFMRSWF(*blamed) : "");
      return EditError(error.what() + movies.after, error.GetKind());
    }
    case kZuErrorDimensionMismatch:
      if (movies.movie != nullptr && movies.otherMovie != nullptr) {
        return SizeMismatchError(movies.other, *movies.otherMovie, movies.name, *movies.movie);
      }
      return EditError(movies.other + ": the movie to insert has another size" + movies.after,
                       EditError::Kind::kSizeMismatch);
    case kZuErrorWrite:
      // Only the writing failed: the likely reason of a refused edit would mislead.
      return EditError(
          Joined(movies.failure, editError.empty() ? "cannot write the edited movie" : editError) +
          movies.after);
    default:
      return EditError(Joined(movies.failure, editError.empty() ? movies.likelyReason : editError) +
                       movies.after);
  }
}

// The engine refuses a joined movie of m_maxSWFFramesLimit frames or more.
EditError FrameLimitError(const std::string& file, const std::string& after) {
  const int limit = ZuFMRTavoFile::m_maxSWFFramesLimit;
  return EditError(file + ": the result would have " + std::to_string(limit) +
                       " frames or more; a movie may have at most " + std::to_string(limit - 1) +
                       after,
                   EditError::Kind::kFrameLimit);
}

EditError NotFMRError(const std::string& path, const std::string& reason) {
  return EditError(path + ": not a valid FMR movie" + (reason.empty() ? "" : ": " + reason),
                   EditError::Kind::kNotFMR);
}

EditError SizeMismatchError(const std::string& other, const ZuTavoFile& otherMovie,
                            const std::string& movie, const ZuTavoFile& movieItself) {
  return EditError(other + ": the movie to insert is " + Pixels(otherMovie) + " pixels, " + movie +
                       " is " + Pixels(movieItself),
                   EditError::Kind::kSizeMismatch);
}
