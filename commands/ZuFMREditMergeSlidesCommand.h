#pragma once

#include <vector>

#include "commands/ZuFMREditCommandBase.h"
#include "commands/ZuFMREditCommandIds.h"
#include "commands/ZuFMREditMergeSlidesCommandData.h"
#include "host/util/ZuString.h"

// Command 901: appends the movies of the second and following FMR slides, in list order, to
// the movie of the first one. Only the first slide's resource is replaced (and the slides
// showing it get the merged length); the other slides stay as they were.
class ZuFMREditMergeSlidesCommand
    : public ZuFMREditCommandBase<ZuFMREditMergeSlidesCommand, ZuFMREditMergeSlidesCommandData> {
 public:
  static constexpr int32_t kRedoEventCode = ZuFMREditRedoEventCode(kZuFMREditMergeSlidesCommandId);

  ZuFMREditMergeSlidesCommand();

 private:
  // Load the first movie, copy the others, merge, replace. 0 on success; 200 when the frame
  // limit cut the list short (the resource is still replaced); 201 when the first movie is
  // not FMR; 1 or the failing step's code otherwise.
  ZuErrorCodeEnum Edit() override;
  // Saves the movie of each following slide to a temporary file and lists the paths.
  ZuErrorCodeEnum CopyFollowingMovies(std::vector<ZuString>& paths) const;
  // Gives every slide that showed the first resource the merged length.
  void SetMergedDurations();
};
