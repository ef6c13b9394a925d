#include "host/swf/ZuFileKind.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>

#include "host/swf/ZuSwfSignature.h"

namespace {

using Family = ZuFileKind::Family;

// A kind known by the bytes found at offset.
struct Signature {
  size_t offset;
  std::string_view bytes;
  Family family;
  const char* name;
};

using namespace std::string_view_literals;

constexpr Signature kSignatures[] = {
    {4, "ftypqt"sv, Family::kVideo, "a QuickTime (MOV) video"},
    {4, "ftyp"sv, Family::kVideo, "an MP4 video"},
    {4, "moov"sv, Family::kVideo, "a QuickTime (MOV) video"},  // old ones open with an atom
    {4, "mdat"sv, Family::kVideo, "a QuickTime (MOV) video"},
    {4, "wide"sv, Family::kVideo, "a QuickTime (MOV) video"},
    {0, "\x1A\x45\xDF\xA3"sv, Family::kVideo, "a Matroska or WebM video"},
    {0, "GIF8"sv, Family::kVideo, "a GIF animation"},
    {0, "YUV4MPEG2"sv, Family::kVideo, "a Y4M video"},
    {0, "OggS"sv, Family::kVideo, "an Ogg video or sound"},
    {0, "\x00\x00\x01\xBA"sv, Family::kVideo, "an MPEG video"},
    {0, "FLV\x01"sv, Family::kVideo, "an FLV video"},
    {8, "AVI "sv, Family::kVideo, "an AVI video"},
    {8, "WAVE"sv, Family::kOther, "a WAV sound"},
    {8, "WEBP"sv, Family::kPicture, "a WebP picture"},
    {0, "\x89PNG"sv, Family::kPicture, "a PNG picture"},
    {0, "\xFF\xD8\xFF"sv, Family::kPicture, "a JPEG picture"},
    {0, "PK\x03\x04"sv, Family::kOther, "a zip archive"},
    {0, "\x1F\x8B"sv, Family::kOther, "a gzip archive"},
    {0, "%PDF"sv, Family::kOther, "a PDF document"},
    {0, "SQLite format 3\0"sv, Family::kOther, "an SQLite database (an fmredit project?)"},
    {0,
     "\x7F"
     "ELF"sv,
     Family::kOther, "a program"},
};

bool Matches(const Signature& signature, std::string_view start) {
  return start.size() >= signature.offset + signature.bytes.size() &&
         start.substr(signature.offset, signature.bytes.size()) == signature.bytes;
}

// Printable ASCII, tabs and line ends, or bytes of UTF-8 sequences (not checked further).
bool LooksLikeText(std::string_view start) {
  return std::all_of(start.begin(), start.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 ? byte != 0x7F : (c == '\t' || c == '\n' || c == '\r');
  });
}

}  // namespace

ZuFileKind ZuFileKind::Of(std::span<const uint8_t> start) {
  const std::string_view text(reinterpret_cast<const char*>(start.data()), start.size());
  if (text.empty()) {
    return {Family::kOther, "an empty file"};
  }
  if (ZuSwfSignature::Opens(text)) {
    return {Family::kSwf, "an SWF movie"};
  }
  for (const Signature& signature : kSignatures) {
    if (Matches(signature, text)) {
      return {signature.family, signature.name};
    }
  }
  if (LooksLikeText(text)) {
    return {Family::kOther, "a text file"};
  }
  return {};
}

ZuFileKind ZuFileKind::OfFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return {};
  }
  uint8_t start[kSniffSize];
  const ssize_t count = read(fd, start, sizeof start);
  close(fd);
  return count < 0 ? ZuFileKind() : Of({start, static_cast<size_t>(count)});
}
