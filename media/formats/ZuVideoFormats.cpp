#include "media/formats/ZuVideoFormats.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iterator>

namespace {

// H.264 in 4:2:0 plays everywhere; its lossless form keeps RGB at quantizer 0. Matroska's
// lossless form is FFV1, the archival codec. VP9 codes RGB losslessly as GBR planes. GIF and
// APNG are written by our own writers (the codec names are FFmpeg's decoders of them); APNG
// is always lossless.
constexpr ZuVideoFormat kFormats[] = {
    {".mp4", "mp4", "libx264", AV_PIX_FMT_YUV420P, "libx264rgb", AV_PIX_FMT_RGB24, 23, false},
    {".mov", "mov", "libx264", AV_PIX_FMT_YUV420P, "libx264rgb", AV_PIX_FMT_RGB24, 23, false},
    {".mkv", "matroska", "libx264", AV_PIX_FMT_YUV420P, "ffv1", AV_PIX_FMT_BGR0, 23, false},
    {".webm", "webm", "libvpx-vp9", AV_PIX_FMT_YUV420P, "libvpx-vp9", AV_PIX_FMT_GBRP, 32, false},
    {".gif", "gif", "gif", AV_PIX_FMT_PAL8, nullptr, AV_PIX_FMT_NONE, -1, true},
    {".apng", "apng", "apng", AV_PIX_FMT_RGBA, "apng", AV_PIX_FMT_RGBA, -1, true},
};

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

const ZuVideoFormat* ZuFindVideoFormat(const std::string& path) {
  const std::string extension = LowerExtension(path);
  const auto found = std::find_if(std::begin(kFormats), std::end(kFormats),
                                  [&](const ZuVideoFormat& f) { return extension == f.extension; });
  return found == std::end(kFormats) ? nullptr : &*found;
}

std::string ZuVideoExtensions() {
  std::string list;
  for (const ZuVideoFormat& format : kFormats) {
    list += list.empty() ? "" : ", ";
    list += format.extension;
  }
  return list;
}

bool ZuIsVideoPath(const std::string& path) {
  return ZuFindVideoFormat(path) != nullptr;
}
