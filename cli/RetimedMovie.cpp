#include "cli/RetimedMovie.h"

#include <iostream>
#include <memory>

#include "cli/EditedOutput.h"
#include "cli/MovieLoading.h"
#include "engine/ZuFMRTavoFile.h"
#include "projectedit/MovieTiming.h"

void RetimeMovieFile(const std::string& input, const std::string& output, bool inPlace,
                     const std::function<std::string(ZuFMRTavoFile&)>& retime) {
  RefuseWritingOverInputs(output, {input}, inPlace);
  const std::unique_ptr<ZuFMRTavoFile> movie = LoadEditableMovieOrThrow(input);
  const std::string removed = retime(*movie);
  PendingOutput written(output);
  WriteMovieOrThrow(*movie, written.Path());
  written.Commit();
  std::cerr << "fmredit: " << removed << "; the movie now lasts "
            << LengthText(movie->GetDuration().GetValue()) << "\n";
}
