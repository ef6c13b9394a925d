// Adding a large movie to a project and exporting it again, against copying the file.
//
// Writes an uncompressed movie of about 200 MB into a temporary folder (one FileAttributes
// tag, then frames each holding one large bitmap tag of non-repeating bytes), then measures
// in one run, median of 5:
//   BM_PlainCopy      read(2) / write(2) of the file with a 1 MiB buffer;
//   BM_AddAndExport   a new project file, the movie added on a new slide (command 116 through
//                     the command framework: read, examined, stored, committed), then the
//                     slide's movie written out to a new file;
//   BM_Add, BM_Export the two halves;
//   BM_PlainCopySynced the plain copy followed by fsync(2), as the add's commit syncs.
// Prints the ratio of BM_AddAndExport to BM_PlainCopy; the target is at most 2.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"

namespace {

constexpr size_t kMovieSize = size_t{200} << 20;
constexpr size_t kBitmapSize = size_t{1} << 20;

std::string g_folder;
std::string g_movie;

void Append(std::vector<uint8_t>& out, std::initializer_list<uint8_t> bytes) {
  out.insert(out.end(), bytes);
}

// One tag with a long header.
void AppendLongTag(std::vector<uint8_t>& out, uint16_t code, const std::vector<uint8_t>& body) {
  const uint16_t header = static_cast<uint16_t>(code << 6 | 63);
  const auto size = static_cast<uint32_t>(body.size());
  Append(out, {static_cast<uint8_t>(header), static_cast<uint8_t>(header >> 8),
               static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
               static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)});
  out.insert(out.end(), body.begin(), body.end());
}

void WriteMovie(const std::string& path) {
  std::vector<uint8_t> movie{'F', 'W', 'S', 10, 0, 0, 0, 0};
  // 640 x 480 stage (15-bit rectangle fields), 10 frames a second, frame count patched below.
  Append(movie, {0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00, 0x00, 0x0A, 0x00, 0x00});
  const size_t frameCountAt = movie.size() - 2;
  Append(movie, {0x44, 0x11, 0x08, 0x00, 0x00, 0x00});  // FileAttributes
  uint64_t state = 0x2545F4914F6CDD1Dull;
  std::vector<uint8_t> body(kBitmapSize);
  uint16_t frames = 0;
  while (movie.size() < kMovieSize) {
    for (uint8_t& byte : body) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      byte = static_cast<uint8_t>(state);
    }
    ++frames;
    body[0] = static_cast<uint8_t>(frames);
    body[1] = static_cast<uint8_t>(frames >> 8);
    AppendLongTag(movie, 36, body);  // DefineBitsLossless2
    Append(movie, {0x40, 0x00});     // ShowFrame
  }
  Append(movie, {0x00, 0x00});  // End
  movie[frameCountAt] = static_cast<uint8_t>(frames);
  movie[frameCountAt + 1] = static_cast<uint8_t>(frames >> 8);
  const auto length = static_cast<uint32_t>(movie.size());
  for (int i = 0; i < 4; ++i) movie[4 + i] = static_cast<uint8_t>(length >> (8 * i));
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(movie.data(), 1, movie.size(), file) != movie.size() ||
      std::fclose(file) != 0) {
    throw std::runtime_error("cannot write " + path);
  }
}

void PlainCopy(const std::string& from, const std::string& to, bool sync = false) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (in < 0 || out < 0) throw std::runtime_error("cannot open the files to copy");
  std::vector<uint8_t> buffer(size_t{1} << 20);
  ssize_t got = 0;
  while ((got = read(in, buffer.data(), buffer.size())) > 0) {
    if (write(out, buffer.data(), static_cast<size_t>(got)) != got) {
      throw std::runtime_error("copy write failed");
    }
  }
  if (sync && fsync(out) != 0) throw std::runtime_error("copy sync failed");
  close(in);
  close(out);
}

// Closes the current project and removes the file, outside the timed part.
void RemoveProject(const std::string& projectPath) {
  GetZuSession()->GetCommandHistory()->Clear();
  GetZuSession()->GetProjectHolder(1, 0)->CloseProject();
  std::filesystem::remove(projectPath);
}

// A new project with the movie on its one slide, made the session's current project.
ZuProject* AddToNewProject(const std::string& projectPath) {
  std::string error;
  std::unique_ptr<ZuProject> owned =
      ZuProject::Create(ZuString(std::string_view(projectPath)), &error);
  if (!owned) throw std::runtime_error(projectPath + ": " + error);
  ZuProject* project = owned.get();
  GetZuSession()->GetCommandHistory()->Clear();
  GetZuSession()->GetProjectHolder(1, 0)->SetCurrentProject(std::move(owned));
  std::unique_ptr<IZuCommand> command(ZuCmdUtils::CreateCommand(kZuCmdInsertFMRSlides));
  auto* data = dynamic_cast<ZuInsertFMRSlidesCommandData*>(command->GetCommandData());
  ZuSWFInfo info;
  info.swfFile = ZuFile(ZuString(std::string_view(g_movie)));
  data->SetProject(project);
  data->SetFMRResourceName("movie.swf");
  data->AddFMRSWF(info);
  if (ZuCmdUtils::ExecuteCommand(command.get(), 1, 0, nullptr) != kZuSuccess) {
    throw std::runtime_error("adding the movie failed: " + project->GetLastError());
  }
  return project;
}

void Export(const ZuProject& project, const std::string& to) {
  std::string error;
  const ZuAnimationResource* resource =
      project.GetSlideCollection()->GetNthElement(0)->GetAnimation();
  if (!project.ExportVersion(resource->GetVersionId(), to, &error)) {
    throw std::runtime_error("export failed: " + error);
  }
}

void BM_PlainCopy(benchmark::State& state) {
  for (auto _ : state) PlainCopy(g_movie, g_folder + "/copy.swf");
}

// The same copy made durable, as the project's commit is: for reference.
void BM_PlainCopySynced(benchmark::State& state) {
  for (auto _ : state) PlainCopy(g_movie, g_folder + "/copy.swf", true);
}

void BM_AddAndExport(benchmark::State& state) {
  RemoveProject(g_folder + "/p.fmrproj");
  for (auto _ : state) Export(*AddToNewProject(g_folder + "/p.fmrproj"), g_folder + "/out.swf");
}

void BM_Add(benchmark::State& state) {
  RemoveProject(g_folder + "/p.fmrproj");
  for (auto _ : state) AddToNewProject(g_folder + "/p.fmrproj");
}

void BM_Export(benchmark::State& state) {
  RemoveProject(g_folder + "/p.fmrproj");
  const ZuProject* project = AddToNewProject(g_folder + "/p.fmrproj");
  for (auto _ : state) Export(*project, g_folder + "/out.swf");
}

#define ZU_BENCH(function) \
  BENCHMARK(function)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5)
ZU_BENCH(BM_PlainCopy);
ZU_BENCH(BM_PlainCopySynced);
ZU_BENCH(BM_AddAndExport);
ZU_BENCH(BM_Add);
ZU_BENCH(BM_Export);

// Keeps the median real time of each benchmark while printing as usual.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name == "median") {
        m_medians[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Median(const std::string& name) const {
    const auto found = m_medians.find(name);
    return found == m_medians.end() ? 0.0 : found->second;
  }

 private:
  std::map<std::string, double> m_medians;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string pattern = (std::filesystem::temp_directory_path() / "zu-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  g_folder = pattern;
  g_movie = g_folder + "/movie.swf";
  int result = 0;
  try {
    WriteMovie(g_movie);
    std::printf("movie: %.1f MB\n", static_cast<double>(std::filesystem::file_size(g_movie)) / 1e6);
    PlainCopy(g_movie, g_folder + "/copy.swf");  // warm the page cache
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double copy = reporter.Median("BM_PlainCopy");
    const double both = reporter.Median("BM_AddAndExport");
    std::printf("\nmedian plain copy    : %8.1f ms\n", copy);
    std::printf("median add + export  : %8.1f ms  (%.2f x copy; target <= 2)\n", both,
                copy > 0 ? both / copy : 0.0);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_project: %s\n", e.what());
    result = 1;
  }
  GetZuSession()->GetProjectHolder(1, 0)->CloseProject();
  std::error_code ignored;
  std::filesystem::remove_all(g_folder, ignored);
  benchmark::Shutdown();
  return result;
}
