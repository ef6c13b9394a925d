// Recording and playing a 1080p screen recording, side by side in one run.
//
// Records a 1920 x 1080 movie of the synthetic demo screen (typing, scrolling, a moving
// pointer), kFrames frames with a key frame at least every kBlockFrames pictures, into a
// temporary folder. Then measures:
//   BM_Record1080p       recording speed: kRecordFrames frames into a fresh recorder
//                        (only AddFrame and Finish are timed, not drawing the frames);
//   BM_RandomFrameFile   one random frame from a fresh player: LoadMovie(path), go to the
//                        frame, take its picture (30 frames, fixed seed);
//   BM_RandomFrameMemory the same with the movie already parsed: LoadMovie(movie);
//   BM_LoadFile          LoadMovie(path) alone, the part of BM_RandomFrameFile that reads
//                        the file;
//   BM_PlayAll           every frame in order, each frame's picture taken.
// and prints the medians against the targets: random frame < 50 ms, playing >= 200 fps,
// recording >= 25 fps. The folder is removed at the end.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFileStream.h"
#include "recorder/ZuFmrRecorder.h"
#include "samples/ZuDemoScene.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFrames = 6000;
constexpr int kBlockFrames = 100;
constexpr int kRecordFrames = 300;
constexpr int kRandomFrames = 30;
constexpr int kRepetitions = 3;

using Clock = std::chrono::steady_clock;

struct BenchState {
  std::string folder;
  std::string movie;
  std::unique_ptr<ZuTavoFile> parsed;
  int frameCount = 0;
  std::vector<int> randomFrames;
};
BenchState g_bench;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::unique_ptr<ZuFmrRecorder> MakeRecorder() {
  ZuFmrRecorderOptions options;
  options.width = kWidth;
  options.height = kHeight;
  options.frameRate = 15;
  options.blockPolicy = ZuBlockPolicy(kBlockFrames, ZuBlockPolicy::kDefaultNewBlockFraction);
  std::string error;
  std::unique_ptr<ZuFmrRecorder> recorder = ZuFmrRecorder::Create(options, &error);
  if (!recorder) throw std::runtime_error("recorder: " + error);
  return recorder;
}

// Records frames of the demo screen; returns the movie and the seconds spent recording
// (drawing the frames not counted).
std::unique_ptr<ZuTavoFile> RecordDemo(int frames, double* recordSeconds) {
  std::unique_ptr<ZuFmrRecorder> recorder = MakeRecorder();
  ZuDemoScene scene(kWidth, kHeight);
  ZuImage frame(kWidth, kHeight);
  double seconds = 0;
  for (int i = 0; i < frames; ++i) {
    scene.RenderNextFrame(frame);
    const Clock::time_point start = Clock::now();
    if (!recorder->AddFrame(frame)) throw std::runtime_error(recorder->GetLastError());
    seconds += Seconds(start);
  }
  const Clock::time_point start = Clock::now();
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  seconds += Seconds(start);
  if (!movie) throw std::runtime_error(recorder->GetLastError());
  *recordSeconds = seconds;
  return movie;
}

void WriteMovie(ZuTavoFile& movie, const std::string& path) {
  std::unique_ptr<ZuFileStream> out(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite));
  if (!out || movie.DumpToStream(out.get()) != kZuSuccess || !out->Close()) {
    throw std::runtime_error("cannot write " + path);
  }
}

void BM_Record1080p(benchmark::State& state) {
  for (auto _ : state) {
    double seconds = 0;
    RecordDemo(kRecordFrames, &seconds);
    state.SetIterationTime(seconds);
    state.counters["fps"] = kRecordFrames / seconds;
  }
}

// Draws frame with a fresh player loaded by load; fails the benchmark on any error.
template <typename Load>
void RenderWithFreshPlayer(benchmark::State& state, int frame, Load load) {
  ZuTavoPlayer player(32);
  if (!load(player)) state.SkipWithError(("load: " + player.GetLastError()).c_str());
  if (!player.GotoFrameAndPlay(frame)) state.SkipWithError("goto failed");
  std::unique_ptr<ZuImage> picture(player.GetCurrentScreenImage());
  if (!picture) state.SkipWithError("no picture");
  benchmark::DoNotOptimize(picture.get());
}

void BM_RandomFrameFile(benchmark::State& state) {
  static int next = 0;
  for (auto _ : state) {
    const int frame = g_bench.randomFrames[next++ % kRandomFrames];
    RenderWithFreshPlayer(state, frame, [](ZuTavoPlayer& player) {
      return player.LoadMovie(ZuString(g_bench.movie.c_str()), 0, 1) != 0;
    });
  }
}

void BM_RandomFrameMemory(benchmark::State& state) {
  static int next = 0;
  for (auto _ : state) {
    const int frame = g_bench.randomFrames[next++ % kRandomFrames];
    RenderWithFreshPlayer(state, frame,
                          [](ZuTavoPlayer& player) { return player.LoadMovie(*g_bench.parsed); });
  }
}

void BM_LoadFile(benchmark::State& state) {
  for (auto _ : state) {
    ZuTavoPlayer player(32);
    if (player.LoadMovie(ZuString(g_bench.movie.c_str()), 0, 1) == 0) {
      state.SkipWithError(("load: " + player.GetLastError()).c_str());
    }
  }
}

void BM_PlayAll(benchmark::State& state) {
  for (auto _ : state) {
    ZuTavoPlayer player(32);
    if (!player.LoadMovie(*g_bench.parsed)) state.SkipWithError("load failed");
    const Clock::time_point start = Clock::now();
    for (int frame = 1; frame <= g_bench.frameCount; ++frame) {
      if (!player.GotoFrameAndPlay(frame)) state.SkipWithError("goto failed");
      std::unique_ptr<ZuImage> picture(player.GetCurrentScreenImage());
      benchmark::DoNotOptimize(picture.get());
    }
    state.counters["fps"] = g_bench.frameCount / Seconds(start);
  }
}

BENCHMARK(BM_Record1080p)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_RandomFrameFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRandomFrames);
BENCHMARK(BM_RandomFrameMemory)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRandomFrames);
BENCHMARK(BM_LoadFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRandomFrames);
BENCHMARK(BM_PlayAll)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRepetitions);

// Remembers the median real time of each benchmark while printing as usual.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  // Colors only on a terminal, so that logs stay readable.
  MedianReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name == "median")
        m_medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Median(const std::string& name) const {
    const auto it = m_medians.find(name);
    return it == m_medians.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> m_medians;
};

std::string MakeFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zu-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temp folder");
  return pattern;
}

void PrepareMovie() {
  std::printf("recording %d frames of %d x %d ...\n", kFrames, kWidth, kHeight);
  std::fflush(stdout);
  double seconds = 0;
  const Clock::time_point start = Clock::now();
  g_bench.parsed = RecordDemo(kFrames, &seconds);
  std::printf("recorded in %.1f s (%.1f fps recording alone, %.1f s with drawing the frames)\n",
              seconds, kFrames / seconds, Seconds(start));
  WriteMovie(*g_bench.parsed, g_bench.movie);
  g_bench.frameCount = g_bench.parsed->GetFrameCount();
  std::printf("movie: %d frames, %.1f MB\n", g_bench.frameCount,
              std::filesystem::file_size(g_bench.movie) / 1e6);
  std::mt19937 random(20261205);
  for (int i = 0; i < kRandomFrames; ++i) {
    g_bench.randomFrames.push_back(1 + static_cast<int>(random() % g_bench.frameCount));
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  int result = 0;
  try {
    g_bench.folder = MakeFolder();
    g_bench.movie = g_bench.folder + "/recording-1080p.swf";
    PrepareMovie();
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double recordMs = reporter.Median("BM_Record1080p");
    const double fileMs = reporter.Median("BM_RandomFrameFile");
    const double memoryMs = reporter.Median("BM_RandomFrameMemory");
    const double loadMs = reporter.Median("BM_LoadFile");
    const double playMs = reporter.Median("BM_PlayAll");
    std::printf("\nmedian recording speed      : %7.1f fps  (target >= 25)\n",
                recordMs > 0 ? kRecordFrames / (recordMs / 1000) : 0.0);
    std::printf("median random frame, file   : %7.1f ms   (target < 50)\n", fileMs);
    std::printf("median random frame, parsed : %7.1f ms\n", memoryMs);
    std::printf("median loading the file     : %7.1f ms\n", loadMs);
    std::printf("median playing every frame  : %7.1f fps  (target >= 200)\n",
                playMs > 0 ? g_bench.frameCount / (playMs / 1000) : 0.0);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_player_recorder: %s\n", e.what());
    result = 1;
  }
  std::error_code ignored;
  if (!g_bench.folder.empty()) std::filesystem::remove_all(g_bench.folder, ignored);
  benchmark::Shutdown();
  return result;
}
