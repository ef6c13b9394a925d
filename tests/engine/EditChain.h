#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/image/ZuImage.h"
#include "host/pointer/ZuPointerTrack.h"

class ZuTavoFile;

// Chains of edits checked against a model of what each frame of every result must show:
// a frame of one of the source movies, its picture and its recorded pointer. The sources are FMR
// movie files of one stage size at 10 frames per second; every file an edit writes joins a pool
// that later edits take from, so that results are edited again, inserted and merged. Free of
// GoogleTest, so that the fuzzer drives the same chains from its input.
namespace edit_chain {

// A rectangle of the stage covered with a colour (0xRRGGBB).
struct Cover {
  int x, y, width, height;
  uint32_t rgb;
};

// A frame of a source movie (frame counted from 1), with the rectangles redactions covered in it,
// in order.
struct FrameRef {
  int source;
  int frame;
  std::vector<Cover> covers = {};
};

// A movie file of the pool and what each of its frames must show.
struct Movie {
  std::string path;
  std::vector<FrameRef> frames;
  int Count() const { return static_cast<int>(frames.size()); }
};

// One edit of a pool movie, its numbers counted in frames:
//   delete: frames a + 1 to a + b go (cut short at the last frame, which stays);
//   insert: pool movie `other` after frame a (at the end: in front of the last frame);
//   split:  at frame a, going on with part b (1 or 2); both parts join the pool;
//   merge:  pool movie `other` appended (b = 2: then `other` once more);
//   tighten: every run of frames that show the previous picture keeps at most a of them;
//   speed:  frames a to b show every step-th frame;
//   redact: frames a to b show the cover.
enum class Kind { kDelete, kInsert, kSplit, kMerge, kTighten, kSpeed, kRedact };
struct Edit {
  Kind kind;
  int a = 0;
  int b = 0;
  int other = 0;
  double step = 0;
  Cover cover = {};
  std::string Describe() const;
};

// Picks a number below its argument (which is at least 1).
using Chooser = std::function<uint32_t(uint32_t)>;

class Chain {
 public:
  // Results go to folder, which the caller keeps.
  explicit Chain(std::string folder) : m_folder(std::move(folder)) {}

  // Adds the movie file at path to the pool as a source; its frames are rendered now. Returns
  // why not ("" on success). Returns the pool index through *index.
  std::string AddSource(const std::string& path, int* index);
  int PoolSize() const { return static_cast<int>(m_pool.size()); }
  int EditsMade() const { return m_edits; }
  const Movie& At(int index) const { return m_pool.at(static_cast<size_t>(index)); }

  // Makes the edit of pool movie `from`, checks every file it writes (an FMR movie whose
  // every frame shows its model's picture, pixel for pixel) and puts the results in the
  // pool; *result is the pool index to go on with. Returns what went wrong, "" when nothing.
  std::string Apply(int from, const Edit& edit, int* result);
  // An edit that pool movie `from` takes (no refusal by design: sizes and frame counts fit).
  Edit Pick(int from, const Chooser& below) const;
  // length edits picked with below, from pool movie `from`; stops at the first failure, which
  // it returns with the chain that led to it.
  std::string Run(int from, int length, const Chooser& below);

  // Called with every file an edit writes, after the checks above (the tests read it with the
  // independent parser).
  std::function<void(const std::string&)> onWritten;

 private:
  std::string Check(const Movie& movie) const;
  // Whether every frame of the movie at path holds its model frame's pointer (position, shape,
  // buttons held).
  std::string CheckPointer(const Movie& movie, const ZuTavoFile& loaded) const;
  // The pointer a frame holds: its source frame's.
  const ZuPointerFrame& PointerOf(const FrameRef& frame) const;
  // Whether the pointer's change from one frame to the next shows on the stage.
  bool PointerMoves(const FrameRef& before, const FrameRef& after) const;
  // What frame shows: its source frame, covered.
  ZuImage Picture(const FrameRef& frame) const;
  // The timing edits: the frames to keep of movie, loaded from in, or why not.
  std::string TimingKeeps(const Movie& in, const ZuTavoFile& movie, const Edit& edit,
                          std::vector<bool>* keep) const;
  std::string NextFile();

  std::string m_folder;
  std::vector<std::vector<ZuImage>> m_sourceFrames;
  std::vector<ZuPointerTrack> m_sourceTracks;
  std::vector<Movie> m_pool;
  int m_files = 0;
  int m_edits = 0;  // edits made by Apply
};

// Records the chains' source movies into folder, 15 screen-like pictures of 21 x 13 each (a
// 32-bit movie of 3-frame blocks, a 16-bit one of 1-frame blocks, one long block, these three
// with a recorded pointer, and the forms above), and adds them to the chain's pool in the order of
// Source. Returns what went wrong.
enum Source { k32, k16, kLongBlock, kColourMapped, kRemovesFirst16, kIdsAgain32, kSources };
std::string AddRecordedSources(Chain& chain, const std::string& folder);

// Rewrites the movie file at path in place into a form the recorder does not write but the
// edits take: every 4- or 5-format bitmap as a colour-mapped one (its pictures must have at
// most 256 colours), the RemoveObject2 run of each clean-up block ahead of its FreeCharacter
// run, or every block's characters (shapes too) freed and numbered from 1 again. Returns why
// not ("" on success).
enum class Form { kColourMapped, kRemovesFirst, kIdsAgain };
std::string RewriteMovie(const std::string& path, Form form);

// The frames (from 2) of movie that open a new key-frame block: those that free characters.
std::vector<int> BlockStarts(const ZuTavoFile& movie);

}  // namespace edit_chain
