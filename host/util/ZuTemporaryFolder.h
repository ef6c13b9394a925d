#pragma once

#include <string>

// A folder of its own: made empty with a unique name inside the temporary folder in use
// ($TMPDIR, /tmp, or the folder an enclosing Use made current), and removed with everything
// in it when the object goes. Path() is empty when the folder could not be made.
//
// While the object lives, the folder is locked (flock), so that a process that was killed
// and could not remove its folder is known by its folder's free lock: making a folder first
// removes the folders of the same prefix that no live process holds (and that have not
// changed for a few seconds, since a folder is locked only just after it is made).
class ZuTemporaryFolder {
 public:
  explicit ZuTemporaryFolder(const std::string& prefix = "fmredit");
  ~ZuTemporaryFolder();
  ZuTemporaryFolder(const ZuTemporaryFolder&) = delete;
  ZuTemporaryFolder& operator=(const ZuTemporaryFolder&) = delete;

  const std::string& Path() const { return m_path; }
  // The path of name inside the folder.
  std::string File(const std::string& name) const { return m_path + "/" + name; }

  // The folder temporary files of the calling thread go to.
  static std::string Current();

  // While it lives, temporary files made on the calling thread go to folder (the process
  // environment is left alone). Scopes nest; each restores the folder in use before it.
  class Use {
   public:
    explicit Use(const std::string& folder);
    ~Use();
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

   private:
    std::string m_previous;
  };

 private:
  static void RemoveAbandoned(const std::string& parent, const std::string& prefix);

  std::string m_path;
  int m_lock = -1;  // the folder, open and locked while the object lives
};
