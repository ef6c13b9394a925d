#pragma once

#include <string>

#include "host/util/ZuErrorCode.h"
#include "projectedit/EditError.h"

class ZuTavoFile;

// The movies an engine edit concerned, as its refusal names them.
struct EditedMovies {
  std::string name;                   // the movie edited (a file, or "PROJECT: slide N")
  const ZuTavoFile* movie = nullptr;  // its movie, when loaded
  std::string other;                  // the movie inserted or merged into it, if any
  const ZuTavoFile* otherMovie = nullptr;
  std::string output;        // the file the frame-limit refusal names
  std::string failure;       // what a plain failure says first, naming what failed
  std::string likelyReason;  // said after it when there is no real reason
  std::string after;         // words every message ends with
};

// The error for an engine edit's result other than success: the frame limit names the
// output; a movie that is not FMR is the other movie if there is one, else the edited movie,
// with the FMR test's reason when the movie is at hand; another size compares both; any
// other result gives failure and then the real reason (editError: the engine's, or the
// project store's) or, when there is none, the likely one.
EditError EngineRefusal(ZuErrorCodeEnum result, const EditedMovies& movies,
                        const std::string& editError);

// The one-line refusals of the edits, each with its kind.
// file: the output or project named; after: more words for the end of the message.
EditError FrameLimitError(const std::string& file, const std::string& after = "");
EditError NotFMRError(const std::string& path, const std::string& reason = "");
// other: the movie to insert; movie: the movie it goes into.
EditError SizeMismatchError(const std::string& other, const ZuTavoFile& otherMovie,
                            const std::string& movie, const ZuTavoFile& movieItself);
