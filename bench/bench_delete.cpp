// Deleting frames from a 1080p screen recording, against loading and writing the same
// movie, side by side in one run.
//
// Records a 1920 x 1080 movie of the synthetic demo screen (kFrames frames at 15 fps,
// blocks of at most 100 pictures), once with 32-bit and once with 16-bit
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
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ZuBenchSupport.h"
#include "engine/ZuFMRTavoFile.h"
#include "host/swf/ZuSwfPlaceObject2Tag.h"
#include "host/util/ZuStreamUtil.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

constexpr int kFrames = 6000;  // the 1080p recording of the player benchmark, about 165 MB
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

#define ZU_BENCH(function) \
  BENCHMARK(function)->Arg(32)->Arg(16)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRepetitions)
ZU_BENCH(BM_LoadAndWrite);
ZU_BENCH(BM_Delete);

// What a fresh process of this program measured by ZuBenchPeakMemoryOf does: "start"
// (nothing), "load-write" or "delete" of a movie to a file.
bool ChildWork(const std::vector<std::string>& arguments) {
  if (arguments.size() != 3) return false;
  const std::string& work = arguments[0];
  return work == "start" || (work == "load-write" && LoadAndWrite(arguments[1], arguments[2])) ||
         (work == "delete" && Delete(arguments[1], arguments[2]));
}

}  // namespace

int main(int argc, char** argv) {
  if (ZuBenchIsChild(argc, argv)) return ZuBenchRunChild(argc, argv, ChildWork);
  return ZuBenchMain(argc, argv, "bench_delete", [] {
    const ZuTemporaryFolder folder("zu-bench");
    g_folder = folder.Path();
    for (const int depth : {32, 16}) {
      BenchMovie& movie = g_movies[depth];
      movie.path = Target("demo" + std::to_string(depth) + ".swf");
      ZuBenchRecording recording;
      recording.frameRate = kFrameRate;
      recording.depth = depth;
      ZuBenchDemoRecorder(recording).RecordTo(kFrames, movie.path);
      movie.fileSize = std::filesystem::file_size(movie.path);
      std::printf("%d-bit recording: %d frames of %d x %d, %.1f MB\n", depth, kFrames,
                  recording.width, recording.height, movie.fileSize / 1e6);
      if (!Delete(movie.path, Target("check.swf")) || !HasKeyFrame(Target("check.swf"))) {
        throw std::runtime_error("the cut does not make a key frame");
      }
    }
    const long startPeak = ZuBenchPeakMemoryOf({"start", "-", "-"});
    std::map<int, long> loadPeak;
    std::map<int, long> deletePeak;
    for (const auto& [depth, movie] : g_movies) {
      loadPeak[depth] = ZuBenchPeakMemoryOf({"load-write", movie.path, Target("written.swf")});
      deletePeak[depth] = ZuBenchPeakMemoryOf({"delete", movie.path, Target("deleted.swf")});
    }
    std::printf("peak memory of a process that only starts: %.1f MB\n", startPeak / 1e6);
    ZuBenchMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    int result = 0;
    for (const auto& [depth, movie] : g_movies) {
      const std::string argument = std::to_string(depth);
      const ZuBenchMedianReporter::Times io = reporter.Median("BM_LoadAndWrite/" + argument);
      const ZuBenchMedianReporter::Times cut = reporter.Median("BM_Delete/" + argument);
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
    return result;
  });
}
