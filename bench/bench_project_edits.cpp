// Editing a long recording kept in a project: how much each edit makes the project file
// grow, and how long it takes against the same edit on a file, side by side in one run.
//
// Records the 1080p demo screen (kFrames frames at 15 fps, 32-bit pictures) and a short
// movie of the frames after it into a temporary folder, then, running the fmredit program
// built with it (each command a process of its own, as a user runs them):
//   add, export   `project add` and `project export` of the recording against a plain copy
//                 and a copy followed by fsync (medians of kRepetitions fresh projects);
//   edits         five `project delete` of 2 s at different places (the five-cut example),
//                 then `split`, `insert` of the short movie and `merge`: the growth of the
//                 project file after each, against the movie's size, and the time of each
//                 delete (median of kRepetitions from the same state) against `fmredit
//                 delete` of the same cut on the slide's movie as a file plus the delete's
//                 commit (storing its result, timed in this process);
//   undo / redo   every edit undone and redone, each in a run of its own: the movie the
//                 slide shows at each state is byte for byte the one exported on the way
//                 forward (the program fails otherwise).
// With ZU_BENCH_OTHER_FMREDIT set to the fmredit of another build (an earlier one, say),
// add, export and the edits are measured for both programs in the same run, side by side.

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/ZuBenchSupport.h"
#include "host/app/ZuMovieFacts.h"
#include "host/app/ZuProjectStore.h"
#include "host/app/ZuSha256.h"
#include "host/util/ZuMappedFile.h"
#include "host/util/ZuTemporaryFolder.h"

namespace {

constexpr int kFrames = 6000;
constexpr int kShortFrames = 150;
constexpr int kRepetitions = 3;

using Clock = std::chrono::steady_clock;

// Runs the fmredit program with the arguments, its output thrown away; the milliseconds it
// took.
double RunFmredit(const std::vector<std::string>& arguments,
                  const std::string& program = ZU_FMREDIT_PROGRAM) {
  std::string command = ZuBenchShellQuoted(program);
  for (const std::string& argument : arguments) {
    command += " " + ZuBenchShellQuoted(argument);
  }
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
  ZuBenchCopyFile(from, to, sync);
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

ZuSharedBytes Map(const std::string& path) {
  ZuSharedBytes bytes;
  std::string error;
  if (!ZuMappedFile::Map(path, bytes, &error)) {
    throw std::runtime_error(path + ": " + error);
  }
  return bytes;
}

std::string Digest(const std::string& path) {
  const ZuSha256::Digest digest = ZuSha256::Of(Map(path).span());
  return {digest.begin(), digest.end()};
}

struct Edit {
  const char* name;
  std::vector<std::string> arguments;  // after "project" NAME PROJECT
  bool timed = false;                  // against the same edit on a file and its commit
};

std::vector<Edit> Edits(const std::string& shortMovie) {
  std::vector<Edit> edits;
  for (int i = 0; i < 5; ++i) {
    const std::string start = std::to_string(40 + 70 * i);
    edits.push_back({"delete", {"--slide", "1", "--start", start, "--length", "2"}, true});
  }
  edits.push_back({"split", {"--slide", "1", "--at", "200"}});
  edits.push_back({"insert", {"--slide", "1", "--at", "100", "--movie", shortMovie}});
  edits.push_back({"merge", {"--slides", "1,2"}});
  return edits;
}

std::vector<std::string> ProjectCommand(const std::string& name, const std::string& project,
                                        const std::vector<std::string>& rest = {}) {
  std::vector<std::string> arguments{"project", name, project};
  arguments.insert(arguments.end(), rest.begin(), rest.end());
  return arguments;
}

// The store's share of a project edit, timed in this process as the edit command does it:
// the edited movie examined and stored as a version beside the one the edit read, a new
// state made current, and the transaction committed to disk.
// before is a copy of the project as it was before the edit; edited, the movie slide 1
// shows after it. The milliseconds it took.
double TimeCommit(const std::string& before, const std::string& edited) {
  std::string error;
  const auto fail = [&error] { return std::runtime_error("timing the commit: " + error); };
  const std::unique_ptr<ZuProjectStore> store =
      ZuProjectStore::Open(before, ZuProjectAccess::kReadWrite, &error);
  ZuProjectState state;
  if (store == nullptr || !store->LoadState(store->GetCurrentStateId(), &state, &error) ||
      state.slides.empty() || !store->Begin(&error)) {
    throw fail();
  }
  const auto shown = std::find_if(state.resources.begin(), state.resources.end(),
                                  [&](const auto& r) { return r.uid == state.slides[0].resource; });
  ZuSharedBytes read;
  if (shown == state.resources.end() || !store->ReadVersion(shown->version, &read, &error)) {
    throw fail();
  }
  const auto start = Clock::now();
  ZuMovieFacts facts;
  if (!ZuMovieFacts::ReadFile(edited, &facts, &error)) {
    throw fail();
  }
  shown->version = store->InsertVersion(facts, &error);
  if (shown->version == 0 || !store->AppendState(state, "delete", &error) ||
      !store->Commit(&error)) {
    throw fail();
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One program's run of the edits on a project of its own holding the movie on its one
// slide: what slide 1 shows before and after each edit (by digest) and the delete times.
struct EditRun {
  std::string label, program, project, exported;
  double startMB = 0.0;
  std::vector<std::string> digests;
  std::vector<double> projectTimes, fileTimes, commitTimes;
};

// Exports the movie slide 1 of the run's project shows and keeps its digest.
void KeepShown(EditRun& run) {
  std::filesystem::remove(run.exported);
  RunFmredit(ProjectCommand("export", run.project, {"--slide", "1", "-o", run.exported}),
             run.program);
  run.digests.push_back(Digest(run.exported));
}

void Restore(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

// Times a delete kRepetitions times on the movie slide 1 showed before it (movieBefore), as
// a file, and its commit on copies of the project as it was (unedited); the result on the
// file must be what the project's slide shows now.
void TimeAgainstFile(EditRun& run, const Edit& edit, const std::string& unedited,
                     const std::string& movieBefore) {
  const std::string fileResult = run.exported + ".cut.swf", scratch = run.project + ".scratch";
  std::vector<std::string> arguments{edit.name, movieBefore, "-o", fileResult};
  arguments.insert(arguments.end(), edit.arguments.begin() + 2,
                   edit.arguments.end());  // without "--slide 1"
  std::vector<double> onFile, commits;
  for (int i = 0; i < kRepetitions; ++i) {
    std::filesystem::remove(fileResult);
    onFile.push_back(RunFmredit(arguments, run.program));
    Restore(unedited, scratch);
    commits.push_back(TimeCommit(scratch, run.exported));
  }
  if (Digest(fileResult) != run.digests.back()) {
    throw std::runtime_error("the edit on a file gives another movie than in the project");
  }
  std::filesystem::remove(fileResult);
  std::filesystem::remove(scratch);
  run.fileTimes.push_back(Median(onFile));
  run.commitTimes.push_back(Median(commits));
  std::printf("; on a file %6.1f ms, its commit %5.1f ms", run.fileTimes.back(),
              run.commitTimes.back());
}

// One edit on the run's project: a timed edit runs kRepetitions times from the same state.
// Prints its time and the project's growth.
void RunEdit(EditRun& run, const Edit& edit, double movieMB) {
  const std::string unedited = run.project + ".before", movieBefore = run.exported + ".before.swf";
  Restore(run.project, unedited);
  Restore(run.exported, movieBefore);
  const double before = FileMB(run.project);
  std::vector<double> times;
  for (int i = 0; i < (edit.timed ? kRepetitions : 1); ++i) {
    if (i > 0) Restore(unedited, run.project);
    times.push_back(
        RunFmredit(ProjectCommand(edit.name, run.project, edit.arguments), run.program));
  }
  const double grown = FileMB(run.project) - before;
  std::printf("  %-11s %-7s %7.1f ms  grew %6.2f MB = %5.2f%% of the movie", run.label.c_str(),
              edit.name, Median(times), grown, 100.0 * grown / movieMB);
  KeepShown(run);
  if (edit.timed) {
    run.projectTimes.push_back(Median(times));
    TimeAgainstFile(run, edit, unedited, movieBefore);
  }
  std::printf("\n");
  std::filesystem::remove(unedited);
  std::filesystem::remove(movieBefore);
  if (run.digests.size() == 6) {
    const double all = FileMB(run.project) - run.startMB;
    std::printf("  %-11s five cuts: the project grew %.2f MB = %.2f%% of the movie (target < 10)\n",
                run.label.c_str(), all, 100.0 * all / movieMB);
  }
}

void PrintDeleteTimes(const EditRun& run) {
  const double project = Median(run.projectTimes), file = Median(run.fileTimes);
  const double commit = Median(run.commitTimes);
  std::printf(
      "  %-11s project delete median %.1f ms, on a file %.1f ms (%.2f x), its commit "
      "%.1f ms: %.2f x (1.2 x on a file + commit) (target <= 1)\n",
      run.label.c_str(), project, file, project / file, commit, project / (1.2 * file + commit));
}

// Undoes every edit and redoes it again, each in a run of its own; throws when slide 1
// shows another movie than on the way forward.
void CheckUndoRedo(const std::vector<std::string>& digests, const std::string& project,
                   const std::string& exported) {
  const auto check = [&](size_t state) {
    std::filesystem::remove(exported);
    RunFmredit(ProjectCommand("export", project, {"--slide", "1", "-o", exported}));
    if (Digest(exported) != digests[state]) {
      throw std::runtime_error("slide 1 differs at state " + std::to_string(state));
    }
  };
  const size_t last = digests.size() - 1;
  for (size_t state = last; state-- > 0;) {
    RunFmredit(ProjectCommand("undo", project));
    check(state);
  }
  for (size_t state = 1; state <= last; ++state) {
    RunFmredit(ProjectCommand("redo", project));
    check(state);
  }
  std::printf("undo and redo of every edit, each in its own run: byte-identical movies\n\n");
}

}  // namespace

int main(int argc, char** argv) {
  return ZuBenchMain(argc, argv, "bench_project_edits", [] {
    std::vector<std::pair<std::string, std::string>> programs{{"this build", ZU_FMREDIT_PROGRAM}};
    if (const char* other = std::getenv("ZU_BENCH_OTHER_FMREDIT")) {
      programs.emplace_back("other build", other);
    }
    const ZuTemporaryFolder folder("zu-bench");
    const std::string movie = folder.File("recording.swf");
    const std::string shortMovie = folder.File("short.swf");
    ZuBenchDemoRecorder recorder{ZuBenchRecording()};
    recorder.RecordTo(kFrames, movie);
    recorder.RecordTo(kShortFrames, shortMovie);
    const double movieMB = FileMB(movie);
    std::printf("recording: %d frames, %.1f MB; short movie %.1f MB\n", kFrames, movieMB,
                FileMB(shortMovie));

    const std::string exported = folder.File("exported.swf");
    std::vector<double> copy, synced;
    std::map<std::string, std::vector<double>> add, exporting;
    for (int i = 0; i < kRepetitions; ++i) {
      copy.push_back(PlainCopy(movie, folder.File("copy.swf"), false));
      synced.push_back(PlainCopy(movie, folder.File("copy.swf"), true));
      for (const auto& [label, program] : programs) {
        const std::string project = folder.File(label + ".fmrproj");
        std::filesystem::remove(project);
        RunFmredit(ProjectCommand("new", project), program);
        add[label].push_back(RunFmredit(ProjectCommand("add", project, {movie}), program));
        std::filesystem::remove(exported);
        exporting[label].push_back(RunFmredit(
            ProjectCommand("export", project, {"--slide", "1", "-o", exported}), program));
        if (Digest(exported) != Digest(movie)) {
          throw std::runtime_error("export differs");
        }
      }
    }
    std::printf("\nmedians of %d: copy %.1f ms, copy + fsync %.1f ms\n", kRepetitions, Median(copy),
                Median(synced));
    for (const auto& [label, program] : programs) {
      std::printf("  %-11s add    %8.1f ms = %.2f x copy + fsync (target <= 1.2)\n", label.c_str(),
                  Median(add[label]), Median(add[label]) / Median(synced));
      std::printf("  %-11s export %8.1f ms = %.2f x copy (target <= 1.5)\n", label.c_str(),
                  Median(exporting[label]), Median(exporting[label]) / Median(copy));
    }

    std::vector<EditRun> runs;
    for (const auto& [label, program] : programs) {
      const std::string project = folder.File(label + ".fmrproj");
      runs.push_back({label, program, project, folder.File(label + ".shown.swf"), FileMB(project)});
      KeepShown(runs.back());
    }
    std::printf("\nedits on the project (%.1f MB after the add), each by every build in turn:\n",
                runs[0].startMB);
    for (const Edit& edit : Edits(shortMovie)) {
      for (EditRun& run : runs) {
        RunEdit(run, edit, movieMB);
      }
    }
    for (const EditRun& run : runs) {
      PrintDeleteTimes(run);
      if (run.digests != runs[0].digests) {
        std::printf("  (%s: the movies differ from this build's)\n", run.label.c_str());
      }
    }
    const std::string& project = runs[0].project;
    CheckUndoRedo(runs[0].digests, project, exported);
    std::fflush(stdout);
    return std::system((ZuBenchShellQuoted(ZU_FMREDIT_PROGRAM) + " project info " +
                        ZuBenchShellQuoted(project))
                           .c_str()) == 0
               ? 0
               : 1;
  });
}
