// Deleting frames from a 1080p screen recording, against loading and writing the same
// movie, side by side in one run.
//
// Records a 1920 x 1080 movie of the synthetic demo screen (kFrames frames at 15 fps,
// blocks of at most kBlockFrames pictures), once with 32-bit and once with 16-bit
// pictures, into a temporary folder. For each it measures:
//   BM_LoadAndWrite<depth>  ZuFMRTavoFile from the file, then the movie written to a new
//                           file (what every edit costs at least);
//   BM_Delete<depth>        ZuFMRTavoFile from the file, then RemoveFrames of a cut inside
//                           a block, which renders a key frame from the file (checked once
//                           before timing);
// and the peak resident memory of each in a fresh process of its own (this program run
// again), against the file size and against a process that only starts. Prints the
// medians of real and CPU time (the CPU times tell more on a busy machine); the targets
// are delete <= load + write + 150 ms and peak memory <= 1.3 x the file size. The folder
// is removed at the end.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ZuFMRTavoFile.h"
#include "host/image/ZuImage.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/util/ZuFileStream.h"
#include "host/util/ZuStreamUtil.h"
#include "recorder/ZuFmrRecorder.h"
#include "samples/ZuDemoScene.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFrames = 3000;
constexpr int kBlockFrames = 100;
constexpr int kRepetitions = 5;
// The cut: frames kCutStart + 1 to kCutStart + kCutFrames, seconds at 15 fps.
constexpr int kFrameRate = 15;
constexpr int kCutStart = 130;
constexpr int kCutFrames = 45;

struct BenchMovie {
  std::string path;
  size_t fileSize = 0;
};
std::string g_folder;
std::map<int, BenchMovie> g_movies;  // by bit depth

void RecordDemo(int depth, const std::string& path) {
  ZuFmrRecorderOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.frameRate = kFrameRate;
  options.depth = depth;
  options.blockPolicy = ZuBlockPolicy(kBlockFrames, ZuBlockPolicy::kDefaultNewBlockFraction);
  std::string error;
  std::unique_ptr<ZuFmrRecorder> recorder = ZuFmrRecorder::Create(options, &error);
  if (!recorder) throw std::runtime_error("recorder: " + error);
  ZuDemoScene scene(kWidth, kHeight);
  ZuImage frame(kWidth, kHeight);
  for (int i = 0; i < kFrames; ++i) {
    scene.RenderNextFrame(frame);
    if (!recorder->AddFrame(frame)) throw std::runtime_error(recorder->GetLastError());
  }
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  std::unique_ptr<ZuFileStream> out(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite));
  if (!movie || !out || movie->DumpToStream(out.get()) != kZuSuccess || !out->Close()) {
    throw std::runtime_error("cannot record " + path);
  }
}

bool LoadAndWrite(const std::string& from, const std::string& to) {
  ZuFMRTavoFile movie{ZuString(from)};
  std::unique_ptr<IZuStream> out(
      ZuStreamUtil::CreateFileStreamWrite(ZuFile(ZuString(to)), kZuStreamBinaryWrite, 0, 0));
  return out && movie.DumpToStream(out.get()) == kZuSuccess;
}

bool Delete(const std::string& from, const std::string& to) {
  ZuFMRTavoFile movie{ZuString(from)};
  const double start = static_cast<double>(kCutStart) / kFrameRate;
  const double length = static_cast<double>(kCutFrames) / kFrameRate;
  return movie.RemoveFrames(ZuReal(start), ZuReal(length), ZuString(to)) == kZuSuccess;
}

// Whether the movie at path holds a synthesized key frame (a placement at depth 100).
bool HasKeyFrame(const std::string& path) {
  const ZuFMRTavoFile movie{ZuString(path)};
  for (const ZuSwfTag* tag : movie) {
    const auto* place = dynamic_cast<const ZuSwfPlaceObject2Tag*>(tag);
    if (place != nullptr && place->GetDepth() == 100) return true;
  }
  return false;
}

std::string Target(const std::string& name) {
  return g_folder + "/" + name;
}

void BM_LoadAndWrite(benchmark::State& state) {
  const BenchMovie& movie = g_movies.at(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (!LoadAndWrite(movie.path, Target("written.swf")))
      state.SkipWithError("load or write failed");
  }
}

void BM_Delete(benchmark::State& state) {
  const BenchMovie& movie = g_movies.at(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    try {
      if (!Delete(movie.path, Target("deleted.swf"))) state.SkipWithError("delete refused");
    } catch (int) {
      state.SkipWithError("the key frame could not be rendered");
    }
  }
}

#define ZU_BENCH(function)            \
  BENCHMARK(function)                 \
      ->Arg(32)                       \
      ->Arg(16)                       \
      ->Unit(benchmark::kMillisecond) \
      ->UseRealTime()                 \
      ->Iterations(1)                 \
      ->Repetitions(kRepetitions)
ZU_BENCH(BM_LoadAndWrite);
ZU_BENCH(BM_Delete);

// Remembers the median real and CPU time of each benchmark (by name with its argument).
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double real = 0.0;
    double cpu = 0.0;
  };
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name == "median") {
        m_medians[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  Times Median(const std::string& name) const {
    for (const auto& [key, value] : m_medians) {
      if (key.rfind(name, 0) == 0) return value;
    }
    return {};
  }

 private:
  std::map<std::string, Times> m_medians;
};

// The work a fresh process of this program does when started with kChildFlag: it prints
// its own peak resident memory (VmHWM, which covers its own image only, unlike the
// rusage of a forked child, which also counts the pages it was forked with).
constexpr const char* kChildFlag = "--zu-measure";

long OwnPeakMemory() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return -1;
  char line[256];
  long kilobytes = -1;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) break;
  }
  std::fclose(status);
  return kilobytes;
}

int RunChild(const std::string& work, const std::string& from, const std::string& to) {
  bool ok = false;
  try {
    ok = work == "start" || (work == "load-write" && LoadAndWrite(from, to)) ||
         (work == "delete" && Delete(from, to));
  } catch (...) {
  }
  if (!ok) return 1;
  std::printf("%ld\n", OwnPeakMemory());
  return 0;
}

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Peak resident memory, in bytes, of this program run again to do work once; -1 on failure.
long PeakMemoryOf(const std::string& work, const std::string& from, const std::string& to) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command =
      Quoted(self) + " " + kChildFlag + " " + work + " " + Quoted(from) + " " + Quoted(to);
  std::FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) return -1;
  long kilobytes = -1;
  if (std::fscanf(child, "%ld", &kilobytes) != 1) kilobytes = -1;
  if (pclose(child) != 0 || kilobytes < 0) return -1;
  return kilobytes * 1024L;
}

std::string MakeFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zu-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temp folder");
  return pattern;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], kChildFlag) == 0) {
    return RunChild(argv[2], argv[3], argv[4]);
  }
  benchmark::Initialize(&argc, argv);
  g_folder = MakeFolder();
  int result = 0;
  try {
    for (const int depth : {32, 16}) {
      BenchMovie& movie = g_movies[depth];
      movie.path = Target("demo" + std::to_string(depth) + ".swf");
      RecordDemo(depth, movie.path);
      movie.fileSize = std::filesystem::file_size(movie.path);
      std::printf("%d-bit recording: %d frames of %d x %d, %.1f MB\n", depth, kFrames, kWidth,
                  kHeight, movie.fileSize / 1e6);
      if (!Delete(movie.path, Target("check.swf")) || !HasKeyFrame(Target("check.swf"))) {
        throw std::runtime_error("the cut does not make a key frame");
      }
    }
    const long startPeak = PeakMemoryOf("start", "-", "-");
    std::map<int, long> loadPeak;
    std::map<int, long> deletePeak;
    for (const auto& [depth, movie] : g_movies) {
      loadPeak[depth] = PeakMemoryOf("load-write", movie.path, Target("written.swf"));
      deletePeak[depth] = PeakMemoryOf("delete", movie.path, Target("deleted.swf"));
    }
    std::printf("peak memory of a process that only starts: %.1f MB\n", startPeak / 1e6);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [depth, movie] : g_movies) {
      const std::string argument = std::to_string(depth);
      const MedianReporter::Times io =
          reporter.Median(std::string("BM_LoadAndWrite/").append(argument));
      const MedianReporter::Times cut = reporter.Median(std::string("BM_Delete/").append(argument));
      const double size = static_cast<double>(movie.fileSize);
      std::printf("\n%d-bit, %.1f MB file, cut of frames %d to %d:\n", depth, size / 1e6,
                  kCutStart + 1, kCutStart + kCutFrames);
      std::printf("  median load + write : %8.1f ms real, %8.1f ms CPU\n", io.real, io.cpu);
      std::printf("  median delete       : %8.1f ms real, %8.1f ms CPU\n", cut.real, cut.cpu);
      std::printf("  delete - load+write : %8.1f ms real, %8.1f ms CPU (target <= 150)\n",
                  cut.real - io.real, cut.cpu - io.cpu);
      std::printf("  peak load + write   : %8.1f MB  (%.2f x file size)\n", loadPeak[depth] / 1e6,
                  loadPeak[depth] / size);
      std::printf("  peak delete         : %8.1f MB  (%.2f x file size; target <= 1.3)\n",
                  deletePeak[depth] / 1e6, deletePeak[depth] / size);
      if (loadPeak[depth] < 0 || deletePeak[depth] < 0) result = 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_delete: %s\n", e.what());
    result = 1;
  }
  std::error_code ignored;
  std::filesystem::remove_all(g_folder, ignored);
  benchmark::Shutdown();
  return result;
}
