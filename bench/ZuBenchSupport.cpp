#include "bench/ZuBenchSupport.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "host/swf/ZuTavoFile.h"
#include "host/util/ZuFileStream.h"
#include "recorder/ZuFmrRecorder.h"

namespace {

using Clock = std::chrono::steady_clock;

// The first argument that makes this program a measured child.
constexpr const char* kChildFlag = "--zu-measure";

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::unique_ptr<ZuFmrRecorder> MakeRecorder(const ZuBenchRecording& recording) {
  ZuFmrRecorderOptions options;
  options.width = recording.width;
  options.height = recording.height;
  options.frameRate = recording.frameRate;
  options.depth = recording.depth;
  options.blockPolicy =
      ZuBlockPolicy(recording.blockFrames, ZuBlockPolicy::kDefaultNewBlockFraction);
  std::string error;
  std::unique_ptr<ZuFmrRecorder> recorder = ZuFmrRecorder::Create(options, &error);
  if (!recorder) {
    throw std::runtime_error("recorder: " + error);
  }
  return recorder;
}

// This process's peak resident memory in kilobytes, -1 when it cannot be read.
long OwnPeakMemory() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) {
    return -1;
  }
  char line[256];
  long kilobytes = -1;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) {
      break;
    }
  }
  std::fclose(status);
  return kilobytes;
}

}  // namespace

int ZuBenchMain(int argc, char** argv, const char* program, const std::function<int()>& body) {
  benchmark::Initialize(&argc, argv);
  int result = 1;
  try {
    result = body();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", program, e.what());
  } catch (int) {
    std::fprintf(stderr, "%s: the engine could not go on\n", program);
  }
  benchmark::Shutdown();
  return result;
}

void ZuBenchOneCallPerRun(benchmark::internal::Benchmark* benchmark) {
  benchmark->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
}

ZuBenchDemoRecorder::ZuBenchDemoRecorder(const ZuBenchRecording& recording)
    : m_recording(recording),
      m_scene(recording.width, recording.height),
      m_frame(recording.width, recording.height) {}

std::unique_ptr<ZuTavoFile> ZuBenchDemoRecorder::Record(int frames, double* recordSeconds) {
  std::unique_ptr<ZuFmrRecorder> recorder = MakeRecorder(m_recording);
  double seconds = 0;
  for (int i = 0; i < frames; ++i) {
    m_scene.RenderNextFrame(m_frame);
    const Clock::time_point start = Clock::now();
    if (!recorder->AddFrame(m_frame)) {
      throw std::runtime_error(recorder->GetLastError());
    }
    seconds += SecondsSince(start);
  }
  const Clock::time_point start = Clock::now();
  std::unique_ptr<ZuTavoFile> movie = recorder->Finish();
  seconds += SecondsSince(start);
  if (!movie) {
    throw std::runtime_error(recorder->GetLastError());
  }
  if (recordSeconds != nullptr) {
    *recordSeconds += seconds;
  }
  return movie;
}

void ZuBenchDemoRecorder::RecordTo(int frames, const std::string& path) {
  ZuBenchWriteMovie(*Record(frames), path);
}

void ZuBenchCopyFile(const std::string& from, const std::string& to, bool sync) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (in < 0 || out < 0) {
    throw std::runtime_error("cannot open the files to copy");
  }
  std::vector<uint8_t> buffer(size_t{1} << 20);
  ssize_t got = 0;
  while ((got = read(in, buffer.data(), buffer.size())) > 0) {
    if (write(out, buffer.data(), static_cast<size_t>(got)) != got) {
      throw std::runtime_error("copy write failed");
    }
  }
  if (sync && fsync(out) != 0) {
    throw std::runtime_error("copy sync failed");
  }
  close(in);
  close(out);
}

void ZuBenchWriteMovie(ZuTavoFile& movie, const std::string& path) {
  std::unique_ptr<ZuFileStream> out(ZuFileStream::Open(path, ZuFileStream::Mode::kWrite));
  if (!out || movie.DumpToStream(out.get()) != kZuSuccess || !out->Close()) {
    throw std::runtime_error("cannot write " + path);
  }
}

ZuBenchMedianReporter::ZuBenchMedianReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

void ZuBenchMedianReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.aggregate_name == "median") {
      m_medians[run.run_name.str()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }
  }
  ConsoleReporter::ReportRuns(runs);
}

ZuBenchMedianReporter::Times ZuBenchMedianReporter::Median(const std::string& name) const {
  // The full name goes on after the argument with the run's settings ("/iterations:1").
  for (const auto& [key, times] : m_medians) {
    if (key == name || key.rfind(name + "/", 0) == 0) {
      return times;
    }
  }
  return {};
}

bool ZuBenchIsChild(int argc, char** argv) {
  return argc >= 2 && std::strcmp(argv[1], kChildFlag) == 0;
}

int ZuBenchRunChild(int argc, char** argv, const ZuBenchChildWork& work) {
  const std::vector<std::string> arguments(argv + 2, argv + argc);
  bool ok = false;
  try {
    ok = work(arguments);
  } catch (...) {
  }
  if (!ok) {
    return 1;
  }
  std::printf("%ld\n", OwnPeakMemory());
  return 0;
}

long ZuBenchPeakMemoryOf(const std::vector<std::string>& arguments) {
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  std::string command = ZuBenchShellQuoted(self) + " " + kChildFlag;
  for (const std::string& argument : arguments) {
    command.append(" ").append(ZuBenchShellQuoted(argument));
  }
  std::FILE* child = popen(command.c_str(), "r");
  if (child == nullptr) {
    return -1;
  }
  long kilobytes = -1;
  if (std::fscanf(child, "%ld", &kilobytes) != 1) {
    kilobytes = -1;
  }
  if (pclose(child) != 0 || kilobytes < 0) {
    return -1;
  }
  return kilobytes * 1024L;
}

std::string ZuBenchShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}
