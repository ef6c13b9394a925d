// Adding a large movie to a project and exporting it again, against copying the file.
//
// Writes an uncompressed movie of about 200 MB into a temporary folder (one FileAttributes
// tag, then frames each holding one large bitmap tag of non-repeating bytes), then measures
// in one run, median of 7, the repetitions of all five shuffled together so that a change
// in the machine's load falls on all of them alike:
//   BM_PlainCopy       read(2) / write(2) of the file with a 1 MiB buffer;
//   BM_PlainCopySynced the same followed by fsync(2), as the add's commit syncs;
//   BM_Add             a new project file, the movie added on a new slide (command 116
//                      through the command framework: read, examined, stored, committed);
//   BM_Export          the slide's movie written out to a new file;
//   BM_AddAndExport    the two in one go.
// Prints the ratio of BM_AddAndExport to BM_PlainCopy (the target is at most 2) and to the
// least the work can cost: the add must write and sync every byte once (BM_PlainCopySynced)
// and the export write it once more (BM_PlainCopy). Also prints the peak memory of an add
// in a fresh process, which stays far below the movie's size.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ZuBenchSupport.h"
#include "host/app/IZuCommand.h"
#include "host/app/ZuAnimationResource.h"
#include "host/app/ZuCmdUtils.h"
#include "host/app/ZuHostCommands.h"
#include "host/app/ZuInsertFMRSlidesCommandData.h"
#include "host/app/ZuProject.h"
#include "host/app/ZuSession.h"
#include "host/app/ZuSlideBase.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

constexpr size_t kMovieSize = size_t{200} << 20;
constexpr size_t kBitmapSize = size_t{1} << 20;

constexpr int kRepetitions = 7;

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

// Closes the current project and removes the file, outside the timed part.
void RemoveProject(const std::string& projectPath) {
  GetZuSession()->GetCommandHistory()->Clear();
  GetZuSession()->GetProjectHolder(1, 0)->CloseProject();
  std::filesystem::remove(projectPath);
}

// A new project with the movie on its one slide, made the session's current project.
ZuProject* AddToNewProject(const std::string& movie, const std::string& projectPath) {
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
  info.swfFile = ZuFile(ZuString(std::string_view(movie)));
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

std::string ProjectPath() {
  return g_folder + "/p.fmrproj";
}

std::string CopyPath() {
  return g_folder + "/copy.swf";
}

std::string ExportPath() {
  return g_folder + "/out.swf";
}

// Each benchmark writes new files: the ones an earlier run left are removed before the timed
// part, so that no run pays for dropping the last one's 200 MB.
void BM_PlainCopy(benchmark::State& state) {
  std::filesystem::remove(CopyPath());
  for (auto _ : state) ZuBenchCopyFile(g_movie, CopyPath(), false);
}

void BM_PlainCopySynced(benchmark::State& state) {
  std::filesystem::remove(CopyPath());
  for (auto _ : state) ZuBenchCopyFile(g_movie, CopyPath(), true);
}

void BM_AddAndExport(benchmark::State& state) {
  RemoveProject(ProjectPath());
  std::filesystem::remove(ExportPath());
  for (auto _ : state) Export(*AddToNewProject(g_movie, ProjectPath()), ExportPath());
}

void BM_Add(benchmark::State& state) {
  RemoveProject(ProjectPath());
  for (auto _ : state) AddToNewProject(g_movie, ProjectPath());
}

void BM_Export(benchmark::State& state) {
  RemoveProject(ProjectPath());
  const ZuProject* project = AddToNewProject(g_movie, ProjectPath());
  std::filesystem::remove(ExportPath());
  for (auto _ : state) Export(*project, ExportPath());
}

#define ZU_BENCH(function) \
  BENCHMARK(function)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRepetitions)
ZU_BENCH(BM_PlainCopy);
ZU_BENCH(BM_PlainCopySynced);
ZU_BENCH(BM_AddAndExport);
ZU_BENCH(BM_Add);
ZU_BENCH(BM_Export);

double Ratio(double a, double b) {
  return b > 0 ? a / b : 0.0;
}

void PrintResults(const ZuBenchMedianReporter& reporter, long addPeak) {
  const double copy = reporter.Median("BM_PlainCopy").real;
  const double synced = reporter.Median("BM_PlainCopySynced").real;
  const double add = reporter.Median("BM_Add").real;
  const double exported = reporter.Median("BM_Export").real;
  const double both = reporter.Median("BM_AddAndExport").real;
  const double floor = synced + copy;
  const double size = static_cast<double>(std::filesystem::file_size(g_movie));
  std::printf("\nmedian plain copy          : %8.1f ms\n", copy);
  std::printf("median plain copy + fsync  : %8.1f ms\n", synced);
  std::printf("median add                 : %8.1f ms  (%.2f x copy + fsync)\n", add,
              Ratio(add, synced));
  std::printf("median export              : %8.1f ms  (%.2f x copy)\n", exported,
              Ratio(exported, copy));
  std::printf("median add + export        : %8.1f ms  (%.2f x copy; target <= 2)\n", both,
              Ratio(both, copy));
  std::printf("  against copy + fsync     :              %.2f x\n", Ratio(both, synced));
  std::printf(
      "  against the floor        :              %.2f x  (copy + fsync, then copy: %.1f ms)\n",
      Ratio(both, floor), floor);
  std::printf("peak memory of an add      : %8.1f MB  (%.2f x movie size)\n", addPeak / 1e6,
              addPeak / size);
}

// Shuffles the repetitions of all benchmarks together unless the command line says otherwise.
std::vector<char*> WithInterleaving(int argc, char** argv) {
  static char flag[] = "--benchmark_enable_random_interleaving=true";
  std::vector<char*> arguments(argv, argv + argc);
  arguments.insert(arguments.begin() + 1, flag);  // a later flag of the user's wins
  arguments.push_back(nullptr);
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  if (ZuBenchIsChild(argc, argv)) {
    return ZuBenchRunChild(argc, argv, [](const std::vector<std::string>& arguments) {
      if (arguments.size() != 2) return false;
      AddToNewProject(arguments[0], arguments[1]);
      GetZuSession()->GetProjectHolder(1, 0)->CloseProject();
      return true;
    });
  }
  std::vector<char*> arguments = WithInterleaving(argc, argv);
  return ZuBenchMain(static_cast<int>(arguments.size()) - 1, arguments.data(), "bench_project", [] {
    const ZuTemporaryFolder folder("zu-bench");
    g_folder = folder.Path();
    g_movie = folder.File("movie.swf");
    WriteMovie(g_movie);
    std::printf("movie: %.1f MB\n", static_cast<double>(std::filesystem::file_size(g_movie)) / 1e6);
    ZuBenchCopyFile(g_movie, g_folder + "/copy.swf", false);  // warm the page cache
    const long addPeak = ZuBenchPeakMemoryOf({g_movie, folder.File("peak.fmrproj")});
    std::filesystem::remove(folder.File("peak.fmrproj"));
    ZuBenchMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    GetZuSession()->GetProjectHolder(1, 0)->CloseProject();
    PrintResults(reporter, addPeak);
    return addPeak < 0 ? 1 : 0;
  });
}
