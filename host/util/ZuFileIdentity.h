#pragma once

#include <sys/types.h>

#include <string>

// What a path names once symbolic links are followed, so that two paths can be compared
// for whether a write to one would land on the other. An existing file is its device and
// inode. A name with no file yet (a dangling link counts: its target does not exist) is
// the device and inode of the folder the file would be made in, with the name it would
// get there. A path that resolves nowhere (a missing folder, a link loop, standard output)
// is unknown and equal to nothing.
class ZuFileIdentity {
 public:
  static ZuFileIdentity Of(const std::string& path);

  bool IsKnown() const { return m_known; }
  bool operator==(const ZuFileIdentity& other) const;

 private:
  bool m_known = false;
  dev_t m_device = 0;
  ino_t m_inode = 0;
  std::string m_name;  // empty for an existing file
};
