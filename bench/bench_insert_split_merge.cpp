// Inserting, splitting and merging 1080p screen recordings, each against loading and
// writing the movies involved, side by side in one run.
//
// Records the synthetic demo screen at 1920 x 1080 and 15 fps (blocks of at most
// 100 pictures) into a temporary folder, once with 32-bit and once with 16-bit
// pictures: a movie of kFrames frames, and the kOtherFrames frames that follow as a second
// movie. For each depth it measures:
//   BM_InsertIO  load both movies, write both          BM_Insert  insert the second movie
//                                                                 into the first inside a
//                                                                 block (one key frame)
//   BM_SplitIO   load the movie, write it              BM_Split   split it inside a block
//                                                                 (one key frame)
//   BM_MergeIO   load the movie and the second twice, BM_Merge   append the second movie
//                write all three                                  twice (no key frame)
// Each edit loads its movie from the file and writes its result. Prints the medians of real
// and CPU time; the target is edit <= load + write + 150 ms per key frame. The folder is
// removed at the end.

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
#include "host/util/ZuStreamUtil.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

constexpr int kFrames = 6000;  // the 1080p recording of the player benchmark
constexpr int kOtherFrames = 450;
constexpr int kFrameRate = 15;
constexpr int kRepetitions = 5;
// Inside a block: the insertion point and the split's cut, frame 130.
constexpr double kAtSeconds = 130.0 / kFrameRate;

struct BenchMovies {
  std::string movie;
  std::string other;
};
std::string g_folder;
std::map<int, BenchMovies> g_movies;  // by bit depth

std::string Target(const std::string& name) {
  return g_folder + "/" + name;
}

// The movie, then the frames after it as the second movie.
void RecordDemo(int depth, const BenchMovies& paths) {
  ZuBenchRecording recording;
  recording.frameRate = kFrameRate;
  recording.depth = depth;
  ZuBenchDemoRecorder recorder(recording);
  recorder.RecordTo(kFrames, paths.movie);
  recorder.RecordTo(kOtherFrames, paths.other);
}

// Loads each file and writes it to a file of its own: what any edit of them costs at least.
bool LoadAndWrite(const std::vector<std::string>& paths) {
  std::vector<std::unique_ptr<ZuFMRTavoFile>> movies;
  for (const std::string& path : paths) {
    movies.push_back(std::make_unique<ZuFMRTavoFile>(ZuString(path)));
  }
  for (size_t i = 0; i < movies.size(); ++i) {
    std::unique_ptr<IZuStream> out(ZuStreamUtil::CreateFileStreamWrite(
        ZuFile(ZuString(Target("written" + std::to_string(i) + ".swf"))), kZuStreamBinaryWrite, 0,
        0));
    if (!out || movies[i]->DumpToStream(out.get()) != kZuSuccess) return false;
  }
  return true;
}

bool Insert(const BenchMovies& paths) {
  ZuFMRTavoFile movie{ZuString(paths.movie)};
  return movie.InsertFMRSWFFile(ZuString(paths.other), ZuReal(kAtSeconds),
                                ZuString(Target("inserted.swf"))) == kZuSuccess;
}

bool Split(const BenchMovies& paths) {
  ZuFMRTavoFile movie{ZuString(paths.movie)};
  return movie.SplitSWF(ZuReal(kAtSeconds), ZuString(Target("part1.swf")),
                        ZuString(Target("part2.swf"))) == kZuSuccess;
}

bool Merge(const BenchMovies& paths) {
  ZuFMRTavoFile movie{ZuString(paths.movie)};
  std::vector<ZuString> others = {ZuString(paths.other), ZuString(paths.other)};
  return movie.MergeSWFs(others, ZuString(Target("merged.swf"))) == kZuSuccess;
}

// Runs work once per iteration, reporting a refusal or the engine's int exception.
template <typename Work>
void Run(benchmark::State& state, Work work) {
  const BenchMovies& paths = g_movies.at(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    try {
      if (!work(paths)) state.SkipWithError("the edit was refused");
    } catch (int) {
      state.SkipWithError("the engine could not go on");
    }
  }
}

void BM_InsertIO(benchmark::State& state) {
  Run(state, [](const BenchMovies& p) { return LoadAndWrite({p.movie, p.other}); });
}
void BM_Insert(benchmark::State& state) {
  Run(state, Insert);
}
void BM_SplitIO(benchmark::State& state) {
  Run(state, [](const BenchMovies& p) { return LoadAndWrite({p.movie}); });
}
void BM_Split(benchmark::State& state) {
  Run(state, Split);
}
void BM_MergeIO(benchmark::State& state) {
  Run(state, [](const BenchMovies& p) { return LoadAndWrite({p.movie, p.other, p.other}); });
}
void BM_Merge(benchmark::State& state) {
  Run(state, Merge);
}

#define ZU_BENCH(function) \
  BENCHMARK(function)->Arg(32)->Arg(16)->Apply(ZuBenchOneCallPerRun)->Repetitions(kRepetitions)
ZU_BENCH(BM_InsertIO);
ZU_BENCH(BM_Insert);
ZU_BENCH(BM_SplitIO);
ZU_BENCH(BM_Split);
ZU_BENCH(BM_MergeIO);
ZU_BENCH(BM_Merge);

void PrintComparison(const ZuBenchMedianReporter& reporter, int depth) {
  struct Edit {
    const char* name;
    const char* io;
    const char* edit;
    int keyFrames;
  };
  const Edit edits[] = {{"insert", "BM_InsertIO/", "BM_Insert/", 1},
                        {"split", "BM_SplitIO/", "BM_Split/", 1},
                        {"merge", "BM_MergeIO/", "BM_Merge/", 0}};
  const std::string argument = std::to_string(depth);
  std::printf("\n%d-bit movies (%.1f MB and %.1f MB):\n", depth,
              std::filesystem::file_size(g_movies[depth].movie) / 1e6,
              std::filesystem::file_size(g_movies[depth].other) / 1e6);
  for (const Edit& edit : edits) {
    const ZuBenchMedianReporter::Times io = reporter.Median(edit.io + argument);
    const ZuBenchMedianReporter::Times work = reporter.Median(edit.edit + argument);
    std::printf(
        "  %-6s %8.1f ms real, %8.1f ms CPU; load + write %8.1f ms real, %8.1f ms CPU;"
        " difference %7.1f ms real, %7.1f ms CPU (target <= %d)\n",
        edit.name, work.real, work.cpu, io.real, io.cpu, work.real - io.real, work.cpu - io.cpu,
        150 * edit.keyFrames);
  }
}

}  // namespace

int main(int argc, char** argv) {
  return ZuBenchMain(argc, argv, "bench_insert_split_merge", [] {
    const ZuTemporaryFolder folder("zu-bench");
    g_folder = folder.Path();
    for (const int depth : {32, 16}) {
      BenchMovies& movies = g_movies[depth];
      movies.movie = Target("demo" + std::to_string(depth) + ".swf");
      movies.other = Target("next" + std::to_string(depth) + ".swf");
      RecordDemo(depth, movies);
      if (!Insert(movies) || !Split(movies) || !Merge(movies)) {
        throw std::runtime_error("an edit of the recording was refused");
      }
    }
    ZuBenchMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const int depth : {32, 16}) {
      PrintComparison(reporter, depth);
    }
    return 0;
  });
}
