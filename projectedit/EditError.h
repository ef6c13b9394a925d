#pragma once

#include <stdexcept>
#include <string>

// The refusal or failure of an edit: a one-line message naming the file (or project and
// slide) concerned and the reason, and what kind of refusal it is, from which a caller
// chooses its answer (the command line its exit code, the web editor its status).
class EditError : public std::runtime_error {
 public:
  enum class Kind {
    kFailure,        // the edit could not be done: bad file, write failure, engine failure
    kWrongArgument,  // a slide number, time or choice the edit does not take
    kFrameLimit,     // the result would pass the frame-count limit
    kNotFMR,         // a movie is not a valid FMR movie
    kSizeMismatch,   // the movie to insert differs in width or height
  };

  explicit EditError(const std::string& message, Kind kind = Kind::kFailure)
      : std::runtime_error(message), m_kind(kind) {}
  Kind GetKind() const { return m_kind; }

 private:
  Kind m_kind;
};
