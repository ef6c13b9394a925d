#pragma once

#include <stdexcept>
#include <string>

// Why video work failed, in one line naming the file or display concerned and the reason.
// Every function of the media library reports failure by throwing it (or std::bad_alloc).
class ZuMediaError : public std::runtime_error {
 public:
  explicit ZuMediaError(const std::string& message) : std::runtime_error(message) {}
};

// Thrown instead when the caller's progress callback asked to stop the work.
class ZuMediaCancelled : public ZuMediaError {
 public:
  explicit ZuMediaCancelled(const std::string& message) : ZuMediaError(message) {}
};
