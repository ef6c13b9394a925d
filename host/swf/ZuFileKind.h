#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// What a file is, told from its first bytes: for the messages of a program that was given
// one kind of file and got another ("not an SWF file: an MP4 video"). Known kinds come from
// one table of signatures; text and empty files are told apart too.
struct ZuFileKind {
  enum class Family {
    kUnknown,
    kSwf,      // an SWF movie
    kVideo,    // a video or animation FFmpeg reads (MP4, WebM, GIF ...)
    kPicture,  // a still picture
    kOther,    // an archive, a document, text ...
  };

  // Bytes enough to tell every kind.
  static constexpr size_t kSniffSize = 16;

  // The kind of a file that starts with start (its first kSniffSize bytes, or all of it).
  static ZuFileKind Of(std::span<const uint8_t> start);
  // The kind of the file at path; kUnknown when it cannot be read.
  static ZuFileKind OfFile(const std::string& path);

  Family family = Family::kUnknown;
  const char* name = "";  // "an MP4 video"; empty when unknown
};
