#pragma once

#include <cstdint>

// The ids of the four FMR edit commands, under which the component registers them.
enum ZuFMREditCommandId : int32_t {
  kZuFMREditDeleteFramesCommandId = 888,
  kZuFMREditInsertCommandId = 889,
  kZuFMREditSplitCommandId = 890,
  kZuFMREditMergeSlidesCommandId = 901
};

// The event code a command posts when it is redone: one below its id.
constexpr int32_t ZuFMREditRedoEventCode(ZuFMREditCommandId id) {
  return id - 1;
}
