#pragma once

// What the benchmark programs share: the frame of main, a temporary folder, recordings of
// the 1080p demo screen, a console reporter that keeps the medians, and the peak memory
// of one piece of work done by a fresh process of the program.

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "samples/ZuDemoScene.h"

class ZuTavoFile;

// Runs the body of a benchmark program between benchmark::Initialize and Shutdown. A
// std::exception, or the engine's int exception, thrown by body is printed as
// "<program>: <reason>" and makes the exit code 1; otherwise body's result is returned.
int ZuBenchMain(int argc, char** argv, const char* program, const std::function<int()>& body);

// Settings for a benchmark of a whole operation: each run is one call, timed in milliseconds
// of real time; Repetitions then sets how many runs the median is taken over. Use as
// BENCHMARK(function)->Apply(ZuBenchOneCallPerRun)->Repetitions(n).
void ZuBenchOneCallPerRun(benchmark::internal::Benchmark* benchmark);

// How a demo recording is made: 1080p at 15 fps, key frames at least every 100 pictures.
struct ZuBenchRecording {
  int width = 1920;
  int height = 1080;
  int frameRate = 15;
  int depth = 32;  // 32 or 16 bits a pixel
  int blockFrames = 100;
};

// Records the synthetic demo screen (samples/ZuDemoScene). Each Record call makes a movie
// of its own with a fresh recorder; the screen goes on where the last call stopped.
class ZuBenchDemoRecorder {
 public:
  explicit ZuBenchDemoRecorder(const ZuBenchRecording& recording);

  // The next frames of the screen as a movie. Adds the seconds the recorder spent (drawing
  // the frames not counted) to *recordSeconds when it is not null. Throws
  // std::runtime_error when the recorder fails.
  std::unique_ptr<ZuTavoFile> Record(int frames, double* recordSeconds = nullptr);
  // The same, written to the file at path.
  void RecordTo(int frames, const std::string& path);

 private:
  ZuBenchRecording m_recording;
  ZuDemoScene m_scene;
  ZuImage m_frame;
};

// Copies the file with read(2) and write(2) through a 1 MiB buffer, followed by fsync(2)
// when sync is set: what a plain copy costs. Throws std::runtime_error when it fails.
void ZuBenchCopyFile(const std::string& from, const std::string& to, bool sync);

// Writes movie to the file at path; throws std::runtime_error when it cannot.
void ZuBenchWriteMovie(ZuTavoFile& movie, const std::string& path);

// Prints the runs as the console reporter does and keeps the median real and CPU time of
// each benchmark, in the unit the benchmark reports. Colours only on a terminal, so that
// logs stay readable.
class ZuBenchMedianReporter : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double real = 0.0;
    double cpu = 0.0;
  };

  ZuBenchMedianReporter();
  void ReportRuns(const std::vector<Run>& runs) override;
  // The medians of the benchmark called name, with its argument if it has one
  // ("BM_Delete/32"); zeros when it did not run.
  Times Median(const std::string& name) const;

 private:
  std::map<std::string, Times> m_medians;  // by full run name
};

// Measuring the peak resident memory (VmHWM) of one piece of work in a fresh process of
// this program, which counts the child's own pages only. main first calls
// ZuBenchRunChild; when the program was started as such a child, that does the work and
// gives the exit code, and main returns it at once.
//
// The work gets the arguments that ZuBenchPeakMemoryOf was given and returns whether it
// succeeded; an exception counts as failure.
using ZuBenchChildWork = std::function<bool(const std::vector<std::string>& arguments)>;

// Whether this process is a child started by ZuBenchPeakMemoryOf.
bool ZuBenchIsChild(int argc, char** argv);
// Does the child's work and prints its peak memory; the process's exit code.
int ZuBenchRunChild(int argc, char** argv, const ZuBenchChildWork& work);
// Starts this program again to do the work named by arguments; its peak memory in bytes,
// or -1 when the child failed.
long ZuBenchPeakMemoryOf(const std::vector<std::string>& arguments);

// text quoted for the POSIX shell.
std::string ZuBenchShellQuoted(const std::string& text);
