#pragma once

#include <memory>
#include <string>

#include "host/util/ZuTemporaryFolder.h"

class OpenProjectSession;
class ZuFMRTavoFile;
class ZuSlideBase;

// What the edits of a project's slides share to reach a slide and its movie.

// A folder of its own for the temporary movies an edit writes (the engine's working copies,
// the edited movie, copies of the movies to merge), where this thread's temporary files go
// while the object lives; removed with everything in it afterwards: by then the project holds
// what it needs of them. When it cannot be made, the usual temporary folder serves.
class PrivateTemporaryFolder {
 public:
  PrivateTemporaryFolder()
      : m_use(m_folder.Path().empty() ? ZuTemporaryFolder::Current() : m_folder.Path()) {}

 private:
  ZuTemporaryFolder m_folder{"fmredit-edit"};
  ZuTemporaryFolder::Use m_use;
};

// "PROJECT: slide N", as the messages name a slide.
std::string SlideName(const OpenProjectSession& session, int number);

// The slide numbered from 1, which must show an FMR movie; throws EditError otherwise
// (option names the number's option when it is out of range).
ZuSlideBase* FMRSlide(const OpenProjectSession& session, int number, const char* option);

// The movie of a slide's resource, loaded; null when it cannot be.
std::unique_ptr<ZuFMRTavoFile> LoadSlideMovie(ZuSlideBase* slide);
