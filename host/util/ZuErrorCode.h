#pragma once

#include <cstdint>

// The result of nearly every host and engine operation. 0 is success; the other values
// name the few failures that callers treat differently.
enum ZuErrorCodeEnum : int32_t {
  kZuSuccess = 0,
  kZuFailure = 1,                   // any failure: bad argument, missing object, failed step
  kZuErrorFrameLimit = 200,         // the edit would pass the frame-count limit
  kZuErrorNotFMR = 201,             // the movie is not a valid FMR movie
  kZuErrorDimensionMismatch = 202,  // the movie to insert differs in width or height
  kZuErrorWrite = 203               // the result could not be written (a full disk, say)
};
