#pragma once

#include <cstddef>
#include <memory>
#include <string>

class OpenProjectSession;

// The web editor's server: the page's files and a JSON API over the open project, on
// 127.0.0.1 only. Reading goes straight to the project and our player; every change is one
// of the project edits (projectedit/), run one at a time and announced to every open page. What a
// request may reach is the page's folder, the project's slides and movie versions, and the
// movies uploaded to this server: requests name slides, versions and upload numbers, never
// files.
class StudioServer {
 public:
  struct Settings {
    std::string webRoot;     // the page's files
    std::string workFolder;  // private: exported versions and uploads; the caller removes it
    size_t uploadLimit = 0;  // bytes in one request body
    std::string token;       // see AccessGuard
  };

  // project: open for writing, the caller's, outliving the server.
  StudioServer(OpenProjectSession& project, Settings settings);
  ~StudioServer();
  StudioServer(const StudioServer&) = delete;
  StudioServer& operator=(const StudioServer&) = delete;

  // Takes 127.0.0.1:port (0: any free port). False with a reason when it cannot.
  bool Listen(int port, std::string* error);
  // The address to open, with the token.
  std::string Address() const;
  // Serves until Stop, which may be called from any thread.
  void Serve();
  void Stop();

  // The page's folder: share/zufmredit/web beside an installed fmredit, else the source
  // tree's web/. Empty when neither holds the page.
  static std::string FindWebRoot();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
