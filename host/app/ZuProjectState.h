#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A whole project as the project file keeps it after each top-level command: the resources
// with the version of the bytes each one shows, and the slides in order. Plain values.
struct ZuProjectState {
  struct Resource {
    int32_t uid = 0;
    std::string name;  // UTF-8
    bool fmr = false;
    int64_t version = 0;  // id of the stored bytes
    bool operator==(const Resource&) const = default;
  };
  struct Slide {
    int32_t uid = 0;
    double duration = 0.0;  // seconds
    double minimumDuration = 0.0;
    bool fmr = false;
    int32_t resource = 0;  // uid of the resource shown, 0 for none
    bool operator==(const Slide&) const = default;
  };

  int32_t nextUid = 1;  // the next object id to hand out
  std::vector<Resource> resources;
  std::vector<Slide> slides;  // in slide order

  bool operator==(const ZuProjectState&) const = default;
};

// One entry of a project file's list of states.
struct ZuProjectStateInfo {
  int64_t id = 0;
  std::string label;    // the command that made the state
  std::string created;  // UTC time, "2026-12-05 16:52:53"
  bool current = false;
};
