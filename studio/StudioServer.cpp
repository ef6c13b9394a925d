#include "studio/StudioServer.h"

#include <unistd.h>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "commands/IZuFMREditProgressEvent.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSlideBase.h"
#include "host/app/ZuSlideCollection.h"
#include "host/image/ZuImage.h"
#include "projectedit/EditError.h"
#include "projectedit/EditProgress.h"
#include "projectedit/OpenProjectSession.h"
#include "projectedit/ProjectEdits.h"
#include "projectedit/ProjectExport.h"
#include "projectedit/ProjectHistory.h"
#include "projectedit/ProjectSlides.h"
#include "projectedit/SlidePointer.h"
#include "projectedit/SlideRedaction.h"
#include "projectedit/SlideTiming.h"
#include "studio/AccessGuard.h"
#include "studio/BoundedHttpServer.h"
#include "studio/EventStream.h"
#include "studio/ExportRequest.h"
#include "studio/MovieFrames.h"
#include "studio/OverlayRequest.h"
#include "studio/ProjectJson.h"
#include "studio/RequestFields.h"
#include "studio/StillQuery.h"
#include "studio/UploadedMovies.h"
#include "studio/VideoExports.h"

namespace {

using nlohmann::json;

constexpr const char* kLoopback = "127.0.0.1";
// An event stream holds its connection, so only so many are served at once.
constexpr int kMaxEventStreams = 8;
constexpr const char* kPageHeaders[][2] = {
    {"Content-Security-Policy",
     "default-src 'self'; img-src 'self' blob: data:; style-src 'self'; frame-ancestors 'none'"},
    {"X-Content-Type-Options", "nosniff"},
    {"Referrer-Policy", "no-referrer"},
    {"Cache-Control", "no-store"},
};

// A version's frames never change.
constexpr const char* kFrameCaching = "private, max-age=31536000, immutable";

void SendJson(httplib::Response& res, int status, const json& body) {
  res.status = status;
  res.set_content(body.dump(), "application/json");
}

void SendError(httplib::Response& res, int status, const std::string& reason) {
  SendJson(res, status, {{"error", reason}});
}

// Answers without reading the request's body: the connection closes after the answer.
void RefuseUnread(httplib::Response& res, int status, const std::string& reason) {
  res.set_header("Connection", "close");
  BoundedHttpServer::CloseAfterAnswer();
  SendError(res, status, reason);
}

// A request's whole-number path part, or -1.
int64_t PathNumber(const httplib::Request& req, size_t index) {
  try {
    return std::stoll(req.matches[index].str());
  } catch (const std::exception&) {
    return -1;
  }
}

// A download name made only of harmless characters.
std::string SafeFileName(std::string name) {
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') {
      c = '_';
    }
  }
  return name.empty() ? "movie.swf" : name;
}

// Answers with the file's bytes as a download named name; false when it cannot be opened.
// release runs when the answer is done with the file.
bool SendFile(httplib::Response& res, const std::string& path, const std::string& name,
              const std::string& type, const httplib::ContentProviderResourceReleaser& release) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return false;
  }
  std::error_code ignored;
  const size_t size = std::filesystem::file_size(path, ignored);
  res.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
  // The open file stays readable even when it is removed from the folder meanwhile.
  auto shared = std::shared_ptr<FILE>(file, std::fclose);
  res.set_content_provider(
      size, type,
      [shared](size_t offset, size_t length, httplib::DataSink& sink) {
        std::vector<char> buffer(std::min<size_t>(length, size_t{1} << 20));
        if (fseeko(shared.get(), static_cast<off_t>(offset), SEEK_SET) != 0) {
          return false;
        }
        const size_t got = std::fread(buffer.data(), 1, buffer.size(), shared.get());
        return got > 0 && sink.write(buffer.data(), got);
      },
      release);
  return true;
}

// Passes an edit's progress to every page while it runs.
class ProgressRelay : public IZuFMREditProgressEvent {
 public:
  ProgressRelay(EventStream& events, std::string action)
      : m_events(events), m_action(std::move(action)) {}
  void OnProgress(int percent) override {
    if (percent == m_last) {
      return;
    }
    m_last = percent;
    m_events.Publish("progress", json{{"action", m_action}, {"percent", percent}}.dump());
  }

 private:
  EventStream& m_events;
  std::string m_action;
  int m_last = -1;
};

// A speed-up: the range from and to, played factor times faster or in length seconds.
SpeedOptions SpeedField(const json& request) {
  SpeedOptions speed;
  speed.slide = IntegerField(request, "slide");
  speed.from = SecondsField(request, "from");
  speed.to = SecondsField(request, "to");
  if (request.contains("factor") == request.contains("length")) {
    throw EditError("bad request: give \"factor\" or \"length\", one of them",
                    EditError::Kind::kWrongArgument);
  }
  if (request.contains("factor")) {
    speed.factor = NumberField(request, "factor", "a number");
  } else {
    speed.length = SecondsField(request, "length");
  }
  return speed;
}

}  // namespace

struct StudioServer::Impl {
  Impl(OpenProjectSession& project, Settings settings)
      : project(project),
        settings(std::move(settings)),
        frames(this->settings.workFolder),
        uploads(this->settings.workFolder),
        exports(this->settings.workFolder, events) {}

  void Route();
  httplib::Server::HandlerResponse Guard(const httplib::Request& req, httplib::Response& res);
  void GetProject(httplib::Response& res);
  void GetVersion(const httplib::Request& req, httplib::Response& res);
  void GetFrame(const httplib::Request& req, httplib::Response& res);
  void GetMovieFile(const httplib::Request& req, httplib::Response& res);
  void PostExport(const httplib::Request& req, httplib::Response& res);
  void GetExport(const httplib::Request& req, httplib::Response& res);
  void CancelExport(const httplib::Request& req, httplib::Response& res);
  void GetChapters(const httplib::Request& req, httplib::Response& res);
  void GetStill(const httplib::Request& req, httplib::Response& res);
  void GetPointer(const httplib::Request& req, httplib::Response& res);
  // Answers a slide's request with what answer returns, or 404 for a slide the project does
  // not have, or the refusal's status (EditError).
  template <class Answer>
  void AnswerForSlide(const httplib::Request& req, httplib::Response& res, Answer answer);
  void PostUpload(const httplib::Request& req, httplib::Response& res,
                  const httplib::ContentReader& read);
  void PostEdit(const httplib::Request& req, httplib::Response& res);
  // Runs the change; returns words for the page's status line, or nothing.
  std::string RunEdit(const std::string& action, const json& request);
  void StreamEvents(httplib::Response& res);
  bool IsShownVersion(int64_t version);
  std::string UploadedFile(const json& request, std::string* name);

  OpenProjectSession& project;  // the caller's
  Settings settings;
  std::unique_ptr<AccessGuard> guard;
  int port = 0;
  BoundedHttpServer server{BoundedHttpServer::Limits{}};
  std::mutex session;  // one request at a time uses the host session and the project
  MovieFrames frames;
  UploadedMovies uploads;
  EventStream events;
  VideoExports exports;  // after events, which it reports to
  std::atomic<int> eventStreams{0};
};

StudioServer::StudioServer(OpenProjectSession& project, Settings settings)
    : m_impl(std::make_unique<Impl>(project, std::move(settings))) {}

StudioServer::~StudioServer() {
  Stop();
}

bool StudioServer::Listen(int port, std::string* error) {
  Impl& impl = *m_impl;
  impl.port = impl.server.Bind(kLoopback, port);
  if (impl.port <= 0) {
    *error = "cannot listen on " + std::string(kLoopback) + ":" + std::to_string(port) +
             " (is another server using it? --port 0 picks a free port)";
    return false;
  }
  impl.guard = std::make_unique<AccessGuard>(impl.settings.token, impl.port);
  impl.Route();
  return true;
}

std::string StudioServer::Address() const {
  return "http://" + std::string(kLoopback) + ":" + std::to_string(m_impl->port) +
         "/?token=" + m_impl->settings.token;
}

void StudioServer::Serve() {
  m_impl->server.listen_after_bind();
}

void StudioServer::Stop() {
  m_impl->exports.CancelAll();
  m_impl->uploads.StopImports();
  m_impl->events.Close();
  m_impl->server.Shutdown();
}

std::string StudioServer::FindWebRoot() {
  namespace fs = std::filesystem;
  std::error_code ignored;
  const fs::path program = fs::read_symlink("/proc/self/exe", ignored);
  const fs::path candidates[] = {program.parent_path().parent_path() / ZU_WEB_INSTALL_DIR,
                                 fs::path(ZU_WEB_SOURCE_DIR)};
  for (const fs::path& folder : candidates) {
    if (fs::is_regular_file(folder / "index.html", ignored)) {
      return folder.string();
    }
  }
  return {};
}

void StudioServer::Impl::Route() {
  server.set_payload_max_length(settings.uploadLimit);
  server.set_keep_alive_max_count(10000);
  server.set_pre_routing_handler(
      [this](const httplib::Request& req, httplib::Response& res) { return Guard(req, res); });
  server.set_mount_point("/", settings.webRoot);
  server.set_file_request_handler([](const httplib::Request&, httplib::Response& res) {
    for (const auto& [name, value] : kPageHeaders) {
      res.set_header(name, value);
    }
  });
  server.set_exception_handler(
      [](const httplib::Request&, httplib::Response& res, const std::exception_ptr&) {
        SendError(res, 500, "the server could not answer this request");
      });

  server.Get("/api/project", [this](const auto&, auto& res) { GetProject(res); });
  server.Get(R"(/api/versions/(\d+))",
             [this](const auto& req, auto& res) { GetVersion(req, res); });
  server.Get(R"(/api/versions/(\d+)/frames/(\d+)\.(png|rgba))",
             [this](const auto& req, auto& res) { GetFrame(req, res); });
  server.Get(R"(/api/versions/(\d+)/movie\.swf)",
             [this](const auto& req, auto& res) { GetMovieFile(req, res); });
  server.Post("/api/exports", [this](const auto& req, auto& res) { PostExport(req, res); });
  server.Get(R"(/api/exports/(\d+)/video)",
             [this](const auto& req, auto& res) { GetExport(req, res); });
  server.Post(R"(/api/exports/(\d+)/cancel)",
              [this](const auto& req, auto& res) { CancelExport(req, res); });
  server.Get(R"(/api/exports/(\d+)/chapters\.txt)",
             [this](const auto& req, auto& res) { GetChapters(req, res); });
  server.Post("/api/uploads",
              [this](const httplib::Request& req, httplib::Response& res,
                     const httplib::ContentReader& read) { PostUpload(req, res, read); });
  server.Get(R"(/api/slides/(\d+)/still)",
             [this](const auto& req, auto& res) { GetStill(req, res); });
  server.Get(R"(/api/slides/(\d+)/pointer)",
             [this](const auto& req, auto& res) { GetPointer(req, res); });
  server.Post("/api/edits", [this](const auto& req, auto& res) { PostEdit(req, res); });
  server.Get("/api/events", [this](const auto&, auto& res) { StreamEvents(res); });
}

httplib::Server::HandlerResponse StudioServer::Impl::Guard(const httplib::Request& req,
                                                           httplib::Response& res) {
  // Only an upload may be longer than one JSON request or come in chunks, counted as they come.
  const bool chunked =
      req.get_header_value("Transfer-Encoding").find("chunked") != std::string::npos;
  if (req.get_header_value<uint64_t>("Content-Length") > settings.uploadLimit) {
    RefuseUnread(res, 413, "the request is larger than the upload limit (--max-upload)");
    return httplib::Server::HandlerResponse::Handled;
  }
  if (chunked && req.path != "/api/uploads") {
    RefuseUnread(res, 411, "a request to " + req.path + " must say its length");
    return httplib::Server::HandlerResponse::Handled;
  }
  const AccessGuard::Decision decision =
      guard->Check(req.method, req.get_header_value("Host"), req.get_header_value("Origin"),
                   req.get_header_value("Cookie"), req.get_param_value("token"));
  if (decision.status != 0) {
    RefuseUnread(res, decision.status, decision.reason);
    return httplib::Server::HandlerResponse::Handled;
  }
  if (decision.setCookie && req.path == "/") {
    // Keep the token in a cookie and take it out of the address bar.
    res.set_header("Set-Cookie", guard->CookieHeader());
    res.set_redirect("/", 303);
    return httplib::Server::HandlerResponse::Handled;
  }
  return httplib::Server::HandlerResponse::Unhandled;
}

void StudioServer::Impl::GetProject(httplib::Response& res) {
  std::lock_guard hold(session);
  SendJson(res, 200, DescribeProject(project));
}

bool StudioServer::Impl::IsShownVersion(int64_t version) {
  const ZuSlideCollection* slides = project.Project().GetSlideCollection();
  for (int i = 0; i < slides->GetCount(); ++i) {
    const ZuAnimationResource* resource = slides->GetNthElement(i)->GetAnimation();
    if (resource != nullptr && resource->GetVersionId() == version) {
      return true;
    }
  }
  return false;
}

void StudioServer::Impl::GetVersion(const httplib::Request& req, httplib::Response& res) {
  const int64_t version = PathNumber(req, 1);
  std::lock_guard hold(session);
  if (!IsShownVersion(version)) {
    SendError(res, 404, "no slide of the project shows movie version " + std::to_string(version));
    return;
  }
  MovieFrames::Facts facts;
  std::string error;
  if (!frames.Prepare(project.Project(), version, &facts, &error)) {
    SendError(res, 422, "movie version " + std::to_string(version) + ": " + error);
    return;
  }
  SendJson(res, 200,
           {{"version", facts.version},
            {"width", facts.width},
            {"height", facts.height},
            {"frameRate", facts.frameRate},
            {"frames", facts.frameCount},
            {"keyFrames", facts.keyFrames}});
}

// A frame as PNG (scaled to ?width= for the filmstrip), or as raw RGBA rows at full size for
// the viewer: the rows that differ from frame ?after= when that is the one drawn before, with
// the first row and their count in X-Rows.
void StudioServer::Impl::GetFrame(const httplib::Request& req, httplib::Response& res) {
  const int64_t version = PathNumber(req, 1);
  const int64_t frame = PathNumber(req, 2);
  if (frame < 1 || frame > 65535) {
    SendError(res, 404, "no such frame");
    return;
  }
  std::string error;
  if (req.matches[3] == "rgba") {
    const int after = static_cast<int>(std::atol(req.get_param_value("after").c_str()));
    ZuOverlayChoice preview;
    try {
      preview = ReadOverlayQuery(req.params);
    } catch (const EditError& refused) {
      SendError(res, 400, refused.what());
      return;
    }
    MovieFrames::ViewerFrame shown;
    if (!frames.RenderForViewer(version, static_cast<int>(frame), after, preview, &shown, &error)) {
      SendError(res, 404, error);
      return;
    }
    // The page keeps the frames it wants again; the browser's own cache would only copy them.
    res.set_header("Cache-Control", "no-store");
    res.set_header("X-Rows", std::to_string(shown.top) + "," + std::to_string(shown.rows));
    const size_t rowBytes = static_cast<size_t>(shown.picture->GetWidth()) * 4;
    const auto* rows = reinterpret_cast<const char*>(shown.picture->Row(shown.top));
    if (shown.rows == 0) {
      res.set_content(rows, 0, "application/octet-stream");
      return;
    }
    res.set_content_provider(
        rowBytes * shown.rows, "application/octet-stream",
        [picture = shown.picture, rows](size_t offset, size_t length, httplib::DataSink& sink) {
          return sink.write(rows + offset, length);
        });
    return;
  }
  int width = 0;
  if (req.has_param("width")) {
    width =
        static_cast<int>(std::clamp(std::atol(req.get_param_value("width").c_str()), 1L, 4096L));
  }
  std::vector<uint8_t> png;
  if (!frames.RenderPng(version, static_cast<int>(frame), width, &png, &error)) {
    SendError(res, 404, error);
    return;
  }
  res.set_header("Cache-Control", kFrameCaching);
  res.set_content(reinterpret_cast<const char*>(png.data()), png.size(), "image/png");
}

void StudioServer::Impl::GetMovieFile(const httplib::Request& req, httplib::Response& res) {
  const std::string path = frames.FileOf(PathNumber(req, 1));
  if (path.empty() || !SendFile(res, path, SafeFileName(req.get_param_value("name")),
                                "application/x-shockwave-flash", nullptr)) {
    SendError(res, 404, "open the slide first: its movie is not ready");
  }
}

void StudioServer::Impl::PostExport(const httplib::Request& req, httplib::Response& res) {
  std::string error;
  int number = 0;
  int frames = 0;
  try {
    const ExportOrder order = ReadExportOrder(req.body);
    std::unique_ptr<ProjectExport> plan;
    {
      std::lock_guard hold(session);
      plan = std::make_unique<ProjectExport>(project, order.request);
    }
    frames = plan->TotalFrames();
    number = exports.Start(std::move(plan), SafeFileName(order.name), order.type, &error);
  } catch (const EditError& refused) {
    const bool wrong = refused.GetKind() == EditError::Kind::kWrongArgument;
    SendError(res, wrong ? 400 : 422, uploads.WithoutFolders(refused.what()));
    return;
  }
  if (number == 0) {
    SendError(res, 409, error);
    return;
  }
  SendJson(res, 202, {{"export", number}, {"frames", frames}});
}

void StudioServer::Impl::CancelExport(const httplib::Request& req, httplib::Response& res) {
  if (!exports.Cancel(static_cast<int>(PathNumber(req, 1)))) {
    SendError(res, 404, "no such export");
    return;
  }
  SendJson(res, 200, json::object());
}

void StudioServer::Impl::GetChapters(const httplib::Request& req, httplib::Response& res) {
  std::string text, name;
  if (!exports.Chapters(static_cast<int>(PathNumber(req, 1)), &text, &name)) {
    SendError(res, 404, "no chapters: export the whole project first");
    return;
  }
  res.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
  res.set_content(text, "text/plain; charset=utf-8");
}

template <class Answer>
void StudioServer::Impl::AnswerForSlide(const httplib::Request& req, httplib::Response& res,
                                        Answer answer) {
  const int64_t slide = PathNumber(req, 1);
  try {
    std::lock_guard hold(session);
    if (slide < 1 || slide > project.Project().GetSlideCollection()->GetCount()) {
      SendError(res, 404, "the project has no slide " + req.matches[1].str());
      return;
    }
    SendJson(res, 200, answer(static_cast<int>(slide)));
  } catch (const EditError& refused) {
    const bool wrong = refused.GetKind() == EditError::Kind::kWrongArgument;
    SendError(res, wrong ? 400 : 422, uploads.WithoutFolders(refused.what()));
  }
}

// The slide's still stretches and its length after tightening, read from the movie's tags.
void StudioServer::Impl::GetStill(const httplib::Request& req, httplib::Response& res) {
  AnswerForSlide(req, res, [&](int slide) {
    const StillQuery query = ReadStillQuery(req.params);
    return DescribeStillness(FindSlideStillness(project, slide, query.rule, query.maxIdle));
  });
}

// The slide's pointer settings and key presses.
void StudioServer::Impl::GetPointer(const httplib::Request& req, httplib::Response& res) {
  AnswerForSlide(req, res,
                 [&](int slide) { return DescribeSlidePointer(ReadSlidePointer(project, slide)); });
}

void StudioServer::Impl::GetExport(const httplib::Request& req, httplib::Response& res) {
  std::string path, name, error;
  if (!exports.Take(static_cast<int>(PathNumber(req, 1)), &path, &name, &error)) {
    SendError(res, 404, error);
    return;
  }
  const std::string type = name.substr(name.rfind('.') + 1);
  const std::string media = type == "gif" ? "image/gif" : "video/" + type;
  // Sent once: the file goes when the answer is done with it, sent or not.
  if (!SendFile(res, path, name, media, [path](bool) { std::remove(path.c_str()); })) {
    std::remove(path.c_str());
    SendError(res, 404, "the exported video is gone; export again");
  }
}

// The body goes to the upload's file as it arrives, counted against the limit on the way
// (a chunked body declares no length to refuse beforehand).
void StudioServer::Impl::PostUpload(const httplib::Request& req, httplib::Response& res,
                                    const httplib::ContentReader& read) {
  const std::string name = req.get_param_value("name");
  if (!UploadedMovies::IsName(name)) {
    RefuseUnread(res, 400, "the upload's name is not UTF-8 text");
    return;
  }
  std::string error;
  std::unique_ptr<UploadedMovies::Arrival> arrival = uploads.Receive(name, &error);
  if (!arrival) {
    RefuseUnread(res, 500, error);
    return;
  }
  size_t received = 0;
  const bool whole = read([&](const char* data, size_t size) {
    received += size;
    return received <= settings.uploadLimit && arrival->Write(data, size);
  });
  if (received > settings.uploadLimit) {
    RefuseUnread(res, 413, "the movie is larger than the upload limit (--max-upload)");
    return;
  }
  if (!whole) {
    RefuseUnread(res, arrival->Error().empty() ? 400 : 500,
                 arrival->Error().empty() ? "the upload was cut off" : arrival->Error());
    return;
  }
  const int number = uploads.Keep(std::move(arrival), &error);
  if (number == 0) {
    SendError(res, 422, error);
    return;
  }
  std::string path, kept;
  uploads.Find(number, &path, &kept);
  SendJson(res, 200, {{"upload", number}, {"name", kept}});
}

std::string StudioServer::Impl::UploadedFile(const json& request, std::string* name) {
  std::string path;
  if (!uploads.Find(IntegerField(request, "upload"), &path, name)) {
    throw std::runtime_error("that upload is not on this server any more; upload the movie again");
  }
  return path;
}

std::string StudioServer::Impl::RunEdit(const std::string& action, const json& request) {
  const auto optionalSlide = [&](const char* key) {
    return request.contains(key) ? std::optional<int>(IntegerField(request, key)) : std::nullopt;
  };
  SlideOptions slide;
  EditOptions edit;
  if (action == "minimum" || action == "delete" || action == "split" || action == "insert" ||
      action == "remove" || action == "move" || action == "rename") {
    slide.slide = edit.slide = IntegerField(request, "slide");
  }
  if (action == "add") {
    slide.share = optionalSlide("share");
    if (!slide.share) {
      slide.movie = UploadedFile(request, &slide.name);
    }
    AddSlideToProject(project, slide);
  } else if (action == "minimum") {
    slide.minimum = SecondsField(request, "minimum");
    SetSlideMinimum(project, slide);
  } else if (action == "delete") {
    edit.start = SecondsField(request, "start");
    edit.length = SecondsField(request, "length");
    return DeleteFramesOfSlide(project, edit);
  } else if (action == "split") {
    edit.at = SecondsField(request, "at");
    SplitSlide(project, edit);
  } else if (action == "insert") {
    edit.at = SecondsField(request, "at");
    edit.resourceOf = optionalSlide("resourceOf");
    if (!edit.resourceOf) {
      std::string name;
      edit.movie = UploadedFile(request, &name);
    }
    InsertIntoSlide(project, edit);
  } else if (action == "merge") {
    edit.slides = SlidesField(request, "slides");
    return MergeSlides(project, edit);
  } else if (action == "remove") {
    return RemoveSlide(project, slide);
  } else if (action == "move") {
    slide.position = IntegerField(request, "to");
    return MoveSlide(project, slide);
  } else if (action == "rename") {
    slide.name = TextField(request, "name");
    return RenameSlide(project, slide);
  } else if (action == "tighten") {
    TightenOptions tighten;
    tighten.slide = IntegerField(request, "slide");
    tighten.maxIdle = SecondsField(request, "maxIdle");
    return TightenSlide(project, tighten);
  } else if (action == "speed") {
    return SpeedUpSlide(project, SpeedField(request));
  } else if (action == "redact") {
    return RedactSlide(project, RedactField(request));
  } else if (action == "overlay") {
    return SetSlideOverlay(project, IntegerField(request, "slide"), OverlayField(request));
  } else if (action == "remove-key") {
    return RemoveSlideKeyPress(project, IntegerField(request, "slide"),
                               IntegerField(request, "frame"), IntegerField(request, "index"));
  } else if (action == "purge") {
    return PurgeProjectHistory(project);
  } else if (action == "goto") {
    return GoToProjectState(project, IntegerField(request, "to"));
  } else if (action == "undo" || action == "redo") {
    StepProjectHistory(project, action == "undo");
  } else {
    throw std::invalid_argument("unknown change \"" + action + "\"");
  }
  return "";
}

void StudioServer::Impl::PostEdit(const httplib::Request& req, httplib::Response& res) {
  const json request = json::parse(req.body, nullptr, false);
  if (!request.is_object() || !request.contains("action") || !request["action"].is_string()) {
    SendError(res, 400, "the request must be a JSON object naming an action");
    return;
  }
  const std::string action = request["action"].get<std::string>();
  std::lock_guard hold(session);
  const int64_t state = project.Project().GetStateId();
  // A page that has not seen the latest change must not make one on top of it blindly.
  if (request.contains("state") && request["state"] != state) {
    SendJson(res, 409,
             {{"error", "the project was changed from another page; look again and retry"},
              {"project", DescribeProject(project)}});
    return;
  }
  ProgressRelay relay(events, action);
  SetEditProgressSink(&relay);
  int status = 200;
  std::string reason, message;
  try {
    message = RunEdit(action, request);
  } catch (const json::exception& error) {
    status = 400;
    reason = std::string("bad request: ") + error.what();
  } catch (const EditError& error) {
    status = error.GetKind() == EditError::Kind::kWrongArgument ? 400 : 422;
    reason = uploads.WithoutFolders(error.what());
  } catch (const std::exception& error) {
    status = 422;
    reason = uploads.WithoutFolders(error.what());
  }
  SetEditProgressSink(nullptr);
  json answer = {{"project", DescribeProject(project)}};
  if (status != 200) {
    answer["error"] = reason;
  } else if (!message.empty()) {
    answer["message"] = uploads.WithoutFolders(message);
  }
  events.Publish("changed", json{{"state", project.Project().GetStateId()}}.dump());
  SendJson(res, status, answer);
}

void StudioServer::Impl::StreamEvents(httplib::Response& res) {
  if (++eventStreams > kMaxEventStreams) {
    --eventStreams;
    SendError(res, 503, "too many pages are open on this server; close some and reload");
    return;
  }
  res.set_header("Cache-Control", "no-store");
  const uint64_t start = events.Newest();
  res.set_chunked_content_provider(
      "text/event-stream",
      [this, position = start](size_t, httplib::DataSink& sink) mutable {
        if (events.IsClosed() || !sink.is_writable()) {
          return false;
        }
        if (std::optional<EventStream::Event> event = events.Next(position)) {
          position = event->id;
          const std::string text = EventStream::Format(*event);
          return sink.write(text.data(), text.size());
        }
        // Nothing new: a comment line keeps the connection alive and finds closed ones.
        return sink.write(":\n\n", 3);
      },
      [this](bool) { --eventStreams; });
}
