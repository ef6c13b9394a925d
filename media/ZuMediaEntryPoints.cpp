#include "media/ZuMediaEntryPoints.h"

extern "C" const ZuMediaEntryPoints* ZuGetMediaEntryPoints() {
  static constexpr ZuMediaEntryPoints kEntryPoints{&ZuExportVideo, &ZuExportSequence,
                                                   &ZuImportVideo, &ZuCaptureScreen};
  return &kEntryPoints;
}
