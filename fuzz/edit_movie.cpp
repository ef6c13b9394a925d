// Any bytes as an FMR movie, edited by one of the four edits (ZU_FUZZ_EDIT, one target each):
// delete a stretch, insert the movie into itself, split it, merge it with itself.
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

void RunEdit(ZuFMRTavoFile& movie, const uint8_t* data, size_t size,
             const ZuTemporaryFolder& folder) {
  const double at = movie.GetDuration() * 0.4;
  switch (static_cast<Edit>(ZU_FUZZ_EDIT)) {
    case kDelete:
      movie.RemoveFrames(ZuReal(at), ZuReal(at / 2), Path(folder.File("out.swf")));
      break;
    case kInsert: {
      ZuMemoryStream other(std::vector<uint8_t>(data, data + size));
      movie.InsertFMRSWFFile(&other, at, Path(folder.File("out.swf")));
      break;
    }
    case kSplit:
      movie.SplitSWF(ZuReal(at), Path(folder.File("one.swf")), Path(folder.File("two.swf")));
      break;
    case kMerge: {
      std::vector<ZuString> others{movie.GetFileName()};
      movie.MergeSWFs(others, Path(folder.File("out.swf")));
      break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ZuTemporaryFolder folder("fmredit-fuzz");
  static const ZuTemporaryFolder::Use use(folder.Path());
  ZuMemoryStream in(std::vector<uint8_t>(data, data + size));
  try {
    ZuFMRTavoFile movie(&in);
    if (movie.IsValidFMRSWF()) RunEdit(movie, data, size, folder);
  } catch (int) {
    // The engine's refusal of a movie it cannot load or a key frame it cannot render.
  }
  return 0;
}
