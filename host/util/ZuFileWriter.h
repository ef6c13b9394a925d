#pragma once

#include <memory>
#include <string>

#include "host/util/ZuOutputTarget.h"
#include "host/util/ZuStatus.h"

// The one way a file is written. A regular file (or a name with no file yet) is written as
// a new file in the target's folder under a short hidden name of its own, which takes the
// target's place only on Commit; a writer that goes uncommitted removes it. So a failed
// write leaves the target as it was and nothing beside it. The new file gets the
// permissions the target has, or those any new file gets (0666 less the umask). Links are
// followed as ZuOutputTarget says; a target that is not a regular file (a device, a pipe,
// "-" for standard output) is never replaced: it is written straight, or, for code that
// needs a regular file to write (Staging::kTemporaryFile), it gets the finished file's
// bytes copied into it on Commit. Owns its file descriptor. Not for use by several threads.
class ZuFileWriter {
 public:
  enum class Staging {
    kStraight,       // a target that cannot be replaced gets the writes themselves
    kTemporaryFile,  // ... gets a file in the temporary folder, copied over on Commit
  };

  // Starts writing to target; null, with status saying why, when it cannot.
  static std::unique_ptr<ZuFileWriter> Open(const std::string& target, ZuStatus* status,
                                            Staging staging = Staging::kStraight);
  // Discards what was written unless it was committed.
  ~ZuFileWriter();
  ZuFileWriter(const ZuFileWriter&) = delete;
  ZuFileWriter& operator=(const ZuFileWriter&) = delete;

  // Where the bytes go until Commit, open for writing; -1 after Commit or Discard.
  int Descriptor() const { return m_fd; }
  // The file Descriptor writes, for code that takes a path; the target itself when written
  // straight.
  const std::string& Path() const { return m_path; }
  // Closes the descriptor and puts the file in the target's place. Fails with the system's
  // reason, and then removes the file.
  ZuStatus Commit();
  // Closes and removes the file; the target stays as it was.
  void Discard();

 private:
  static constexpr size_t kCopyChunk = size_t{1} << 20;

  ZuFileWriter(int fd, std::string path, ZuOutputTarget target);
  ZuStatus CopyIntoTarget() const;

  int m_fd;
  std::string m_path;  // the file being written
  ZuOutputTarget m_target;
  bool m_done = false;
};
