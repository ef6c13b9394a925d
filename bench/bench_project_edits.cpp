// Editing a long recording kept in a project: how much each edit makes the project file
// grow, and how long it takes against the same edit on a file, side by side in one run.
//
// Records the 1080p demo screen (kFrames frames at 15 fps, 32-bit pictures) and a short
// movie of the frames after it into a temporary folder, then, running the fmredit program
// built with it (each command a process of its own, as a user runs them):
//   chunk sizes   the recording and the result of one 2-second cut, cut into chunks of each
//                 average size tried: the share of the cut movie's bytes that are new;
//   add, export   `project add` and `project export` of the recording against a plain copy
//                 and a copy followed by fsync (medians of kRepetitions fresh projects);
//   edits         five `project delete` of 2 s at different places (the five-cut example),
//                 then `split`, `insert` of the short movie and `merge`: the growth of the
//                 project file after each, against the movie's size, and the time of each
//                 delete against `fmredit delete` of the same cut on a file;
//   undo / redo   every edit undone and redone, each in a run of its own: the movie the
//                 slide shows at each state is byte for byte the one exported on the way
//                 forward (the program fails otherwise).

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ZuBenchSupport.h"
#include "host/app/ZuChunker.h"
#include "host/app/ZuSha256.h"
#include "host/util/ZuMappedFile.h"

namespace {

constexpr int kFrames = 6000;
constexpr int kShortFrames = 150;
constexpr int kRepetitions = 3;

using Clock = std::chrono::steady_clock;

std::string g_fmredit = ZU_FMREDIT_PROGRAM;

// Runs fmredit with the arguments, its output thrown away; the milliseconds it took.
double RunFmredit(const std::vector<std::string>& arguments) {
  std::string command = ZuBenchShellQuoted(g_fmredit);
  for (const std::string& argument : arguments) command += " " + ZuBenchShellQuoted(argument);
  const auto start = Clock::now();
  if (std::system((command + " >/dev/null").c_str()) != 0) {
    throw std::runtime_error("failed: " + command);
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double FileMB(const std::string& path) {
  return static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

double PlainCopy(const std::string& from, const std::string& to, bool sync) {
  std::filesystem::remove(to);
  const auto start = Clock::now();
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
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

ZuSharedBytes Map(const std::string& path) {
  ZuSharedBytes bytes;
  std::string error;
  if (!ZuMappedFile::Map(path, bytes, &error)) throw std::runtime_error(path + ": " + error);
  return bytes;
}

// The digests of the chunks bytes are cut into, with each chunk's size.
std::vector<std::pair<ZuSha256::Digest, size_t>> ChunkDigests(const ZuSharedBytes& bytes,
                                                              size_t average) {
  const ZuChunker chunker(average);
  std::vector<std::pair<ZuSha256::Digest, size_t>> chunks;
  for (size_t at = 0; at < bytes.size();) {
    const size_t size = chunker.Cut(bytes.data() + at, bytes.size() - at);
    chunks.emplace_back(ZuSha256::Of(bytes.span().subspan(at, size)), size);
    at += size;
  }
  return chunks;
}

void MeasureChunkSizes(const std::string& movie, const std::string& cut) {
  const ZuSharedBytes before = Map(movie);
  const ZuSharedBytes after = Map(cut);
  std::printf("\nchunk sizes, one 2 s cut of the %.1f MB recording:\n",
              static_cast<double>(before.size()) / 1e6);
  for (const size_t average :
       {size_t{8} << 10, size_t{16} << 10, size_t{32} << 10, size_t{64} << 10, size_t{128} << 10}) {
    std::set<ZuSha256::Digest> known;
    for (const auto& chunk : ChunkDigests(before, average)) known.insert(chunk.first);
    const auto chunks = ChunkDigests(after, average);
    size_t fresh = 0;
    for (const auto& [digest, size] : chunks) {
      if (known.count(digest) == 0) fresh += size;
    }
    std::printf("  average %3zu KiB: %6zu chunks, new bytes %7.2f MB = %5.2f%% of the movie\n",
                average >> 10, chunks.size(), static_cast<double>(fresh) / 1e6,
                100.0 * static_cast<double>(fresh) / static_cast<double>(before.size()));
  }
}

std::string Digest(const std::string& path) {
  const ZuSha256::Digest digest = ZuSha256::Of(Map(path).span());
  return {digest.begin(), digest.end()};
}

}  // namespace

int main(int argc, char** argv) {
  return ZuBenchMain(argc, argv, "bench_project_edits", [] {
    const ZuBenchTempFolder folder;
    const std::string movie = folder.File("recording.swf");
    const std::string shortMovie = folder.File("short.swf");
    ZuBenchDemoRecorder recorder{ZuBenchRecording()};
    recorder.RecordTo(kFrames, movie);
    recorder.RecordTo(kShortFrames, shortMovie);
    const double movieMB = FileMB(movie);
    std::printf("recording: %d frames, %.1f MB; short movie %.1f MB\n", kFrames, movieMB,
                FileMB(shortMovie));

    const std::string fileCut = folder.File("cut.swf");
    RunFmredit({"delete", movie, "--start", "60", "--length", "2", "-o", fileCut});
    MeasureChunkSizes(movie, fileCut);

    const std::string project = folder.File("p.fmrproj");
    const std::string exported = folder.File("exported.swf");
    std::vector<double> copy, synced, add, exporting;
    for (int i = 0; i < kRepetitions; ++i) {
      copy.push_back(PlainCopy(movie, folder.File("copy.swf"), false));
      synced.push_back(PlainCopy(movie, folder.File("copy.swf"), true));
      std::filesystem::remove(project);
      RunFmredit({"project", "new", project});
      add.push_back(RunFmredit({"project", "add", project, movie}));
      std::filesystem::remove(exported);
      exporting.push_back(
          RunFmredit({"project", "export", project, "--slide", "1", "-o", exported}));
    }
    if (Digest(exported) != Digest(movie)) throw std::runtime_error("export differs");
    std::printf("\nmedians of %d: copy %.1f ms, copy + fsync %.1f ms\n", kRepetitions, Median(copy),
                Median(synced));
    std::printf("  project add    %8.1f ms = %.2f x copy + fsync (target <= 1.2)\n", Median(add),
                Median(add) / Median(synced));
    std::printf("  project export %8.1f ms = %.2f x copy (target <= 1.5)\n", Median(exporting),
                Median(exporting) / Median(copy));

    struct Edit {
      const char* name;
      std::vector<std::string> arguments;
      std::vector<std::string> onFile;  // the same edit on a file, when timed against it
    };
    std::vector<Edit> edits;
    for (int i = 0; i < 5; ++i) {
      const std::string start = std::to_string(40 + 70 * i);
      edits.push_back(
          {"delete 2 s",
           {"project", "delete", project, "--slide", "1", "--start", start, "--length", "2"},
           {"delete", movie, "--start", start, "--length", "2", "-o", fileCut}});
    }
    edits.push_back({"split", {"project", "split", project, "--slide", "1", "--at", "200"}, {}});
    edits.push_back(
        {"insert short movie",
         {"project", "insert", project, "--slide", "1", "--at", "100", "--movie", shortMovie},
         {}});
    edits.push_back({"merge", {"project", "merge", project, "--slides", "1,2"}, {}});

    std::printf("\nedits on the project (project file %.1f MB after the add):\n", FileMB(project));
    std::vector<std::string> shown{Digest(exported)};
    std::vector<double> projectDeletes, fileDeletes;
    const double startMB = FileMB(project);
    for (const Edit& edit : edits) {
      const double before = FileMB(project);
      const double time = RunFmredit(edit.arguments);
      const double grown = FileMB(project) - before;
      std::printf("  %-20s %8.1f ms  grew %7.2f MB = %5.2f%% of the movie", edit.name, time, grown,
                  100.0 * grown / movieMB);
      if (!edit.onFile.empty()) {
        std::filesystem::remove(fileCut);
        const double onFile = RunFmredit(edit.onFile);
        projectDeletes.push_back(time);
        fileDeletes.push_back(onFile);
        std::printf("; on a file %8.1f ms", onFile);
      }
      std::printf("\n");
      std::filesystem::remove(exported);
      RunFmredit({"project", "export", project, "--slide", "1", "-o", exported});
      shown.push_back(Digest(exported));
      if (shown.size() == 6) {
        std::printf("  five cuts: the project grew %.2f MB = %.2f%% of the movie (target < 10)\n",
                    FileMB(project) - startMB, 100.0 * (FileMB(project) - startMB) / movieMB);
      }
    }
    std::printf("  project delete median %.1f ms, on a file %.1f ms: %.2f x\n",
                Median(projectDeletes), Median(fileDeletes),
                Median(projectDeletes) / Median(fileDeletes));

    const auto check = [&](size_t state) {
      std::filesystem::remove(exported);
      RunFmredit({"project", "export", project, "--slide", "1", "-o", exported});
      if (Digest(exported) != shown[state]) {
        throw std::runtime_error("slide 1 differs at state " + std::to_string(state));
      }
    };
    for (size_t state = edits.size(); state-- > 0;) {
      RunFmredit({"project", "undo", project});
      check(state);
    }
    for (size_t state = 1; state <= edits.size(); ++state) {
      RunFmredit({"project", "redo", project});
      check(state);
    }
    std::printf("undo and redo of every edit, each in its own run: byte-identical movies\n\n");
    std::fflush(stdout);
    return std::system(
               (ZuBenchShellQuoted(g_fmredit) + " project info " + ZuBenchShellQuoted(project))
                   .c_str()) == 0
               ? 0
               : 1;
  });
}
