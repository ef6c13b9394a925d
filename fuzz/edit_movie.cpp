// Any bytes as an FMR movie, edited by one of the four edits (ZU_FUZZ_EDIT, one target each):
// delete a stretch, insert the movie into itself, split it, merge it with itself. What a
// successful edit writes must be an FMR movie again.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/util/ZuMemoryStream.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

enum Edit { kDelete, kInsert, kSplit, kMerge };

ZuString Path(const std::string& path) {
  return ZuString(std::string_view(path));
}

// An edit that succeeds must write FMR movies that every edit can take again.
void ExpectFmr(ZuErrorCodeEnum result, const std::vector<std::string>& written) {
  if (result != kZuSuccess) {
    return;
  }
  for (const std::string& path : written) {
    if (!ZuFMRTavoFile(Path(path)).IsValidFMRSWF()) {
      std::fprintf(stderr, "%s: the edit wrote a movie that is not FMR\n", path.c_str());
      std::abort();
    }
  }
}

void RunEdit(ZuFMRTavoFile& movie, const uint8_t* data, size_t size,
             const ZuTemporaryFolder& folder) {
  const double at = movie.GetDuration() * 0.4;
  const std::string out = folder.File("out.swf");
  switch (static_cast<Edit>(ZU_FUZZ_EDIT)) {
    case kDelete:
      ExpectFmr(movie.RemoveFrames(ZuReal(at), ZuReal(at / 2), Path(out)), {out});
      break;
    case kInsert: {
      ZuMemoryStream other(std::vector<uint8_t>(data, data + size));
      ExpectFmr(movie.InsertFMRSWFFile(&other, at, Path(out)), {out});
      break;
    }
    case kSplit: {
      const std::string one = folder.File("one.swf"), two = folder.File("two.swf");
      ExpectFmr(movie.SplitSWF(ZuReal(at), Path(one), Path(two)), {one, two});
      break;
    }
    case kMerge: {
      std::vector<ZuString> others{movie.GetFileName()};
      ExpectFmr(movie.MergeSWFs(others, Path(out)), {out});
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ZuTemporaryFolder folder("fmredit-fuzz");
  // A Use of each input's own: a static one would outlive the thread's folder setting, which
  // the thread's exit destroys first.
  const ZuTemporaryFolder::Use use(folder.Path());
  ZuMemoryStream in(std::vector<uint8_t>(data, data + size));
  try {
    ZuFMRTavoFile movie(&in);
    if (movie.IsValidFMRSWF()) RunEdit(movie, data, size, folder);
  } catch (int) {
    // The engine's refusal of a movie it cannot load or a key frame it cannot render.
  }
  return 0;
}
