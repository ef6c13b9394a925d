#pragma once

#include <cstdint>

// An object stored in a project: it has an id that is unique within its project and never
// reused, so that commands and the project file can name it across runs.
class ZuDBBase {
 public:
  explicit ZuDBBase(int32_t uid) : m_uid(uid) {}
  virtual ~ZuDBBase() = default;
  int32_t GetObjectUID() const { return m_uid; }

 private:
  int32_t m_uid;
};
