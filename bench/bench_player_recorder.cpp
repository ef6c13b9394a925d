// Recording and playing a 1080p screen recording, side by side in one run.
//
// Records a 1920 x 1080 movie of the synthetic demo screen (typing, scrolling, a moving
// pointer), kFrames frames with a key frame at least every 100 pictures, into a temporary
// folder. Then measures:
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

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/ZuBenchSupport.h"
#include "host/image/ZuImage.h"
#include "host/player/ZuTavoPlayer.h"
#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

constexpr int kFrames = 6000;
constexpr int kRecordFrames = 300;
constexpr int kRandomFrames = 30;
constexpr int kRepetitions = 3;

using Clock = std::chrono::steady_clock;

struct BenchState {
  std::string movie;
  std::unique_ptr<ZuTavoFile> parsed;
  int frameCount = 0;
  std::vector<int> randomFrames;
};
BenchState g_bench;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The seconds the recorder spends on frames of the demo screen, drawing them not counted.
double RecordSeconds(int frames) {
  double seconds = 0;
  ZuBenchDemoRecorder(ZuBenchRecording()).Record(frames, &seconds);
  return seconds;
}

void BM_Record1080p(benchmark::State& state) {
  for (auto _ : state) {
    const double seconds = RecordSeconds(kRecordFrames);
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
BENCHMARK(BM_RandomFrameFile)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRandomFrames);
BENCHMARK(BM_RandomFrameMemory)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRandomFrames);
BENCHMARK(BM_LoadFile)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRandomFrames);
BENCHMARK(BM_PlayAll)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRepetitions);

void PrepareMovie() {
  const ZuBenchRecording recording;
  std::printf("recording %d frames of %d x %d ...\n", kFrames, recording.width, recording.height);
  std::fflush(stdout);
  double seconds = 0;
  const Clock::time_point start = Clock::now();
  g_bench.parsed = ZuBenchDemoRecorder(recording).Record(kFrames, &seconds);
  std::printf("recorded in %.1f s (%.1f fps recording alone, %.1f s with drawing the frames)\n",
              seconds, kFrames / seconds, Seconds(start));
  ZuBenchWriteMovie(*g_bench.parsed, g_bench.movie);
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
  return ZuBenchMain(argc, argv, "bench_player_recorder", [] {
    const ZuTemporaryFolder folder("zu-bench");
    g_bench.movie = folder.File("recording-1080p.swf");
    PrepareMovie();
    ZuBenchMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double recordMs = reporter.Median("BM_Record1080p").real;
    const double fileMs = reporter.Median("BM_RandomFrameFile").real;
    const double memoryMs = reporter.Median("BM_RandomFrameMemory").real;
    const double loadMs = reporter.Median("BM_LoadFile").real;
    const double playMs = reporter.Median("BM_PlayAll").real;
    std::printf("\nmedian recording speed      : %7.1f fps  (target >= 25)\n",
                recordMs > 0 ? kRecordFrames / (recordMs / 1000) : 0.0);
    std::printf("median random frame, file   : %7.1f ms   (target < 50)\n", fileMs);
    std::printf("median random frame, parsed : %7.1f ms\n", memoryMs);
    std::printf("median loading the file     : %7.1f ms\n", loadMs);
    std::printf("median playing every frame  : %7.1f fps  (target >= 200)\n",
                playMs > 0 ? g_bench.frameCount / (playMs / 1000) : 0.0);
    return 0;
  });
}
