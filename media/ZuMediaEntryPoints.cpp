#include "media/ZuMediaEntryPoints.h"

extern "C" const ZuMediaEntryPoints* ZuGetMediaEntryPoints() {
  static constexpr ZuMediaEntryPoints kEntryPoints{&ZuExportVideo, &ZuImportVideo,
                                                   &ZuCaptureScreen};
  return &kEntryPoints;
}
