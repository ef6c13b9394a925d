// add_test_pointer IN OUT: writes the FMR movie IN again as OUT with a recorded pointer and
// keys (MakePointerTrack's, the pointer shown in frame 3 at 20,20, and the keys "h" and "i"
// typed in frame 3 and "Ctrl+S" in frame 6, no others), for the web editor's tests, whose
// recordings come from fmredit record.

#include <cstdio>
#include <string>

#include "tests/support/MoviePictures.h"
#include "tests/support/PointerTracks.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: add_test_pointer IN OUT\n");
    return 2;
  }
  ZuTavoFile movie;
  std::string error = ReadMovie(argv[1], movie);
  if (error.empty() && movie.GetFrameCount() < 6) {
    error = std::string(argv[1]) + ": fewer than 6 frames";
  }
  if (error.empty()) {
    ZuPointerTrack track =
        MakePointerTrack(movie.GetFrameCount(), static_cast<int>(movie.GetWidth()),
                         static_cast<int>(movie.GetHeight()), 7);
    for (ZuPointerFrame& frame : track.frames) {
      frame.keys.clear();
    }
    track.frames[2].shown = true;
    track.frames[2].x = track.frames[2].y = 20;
    track.frames[2].keys = {"h", "i"};
    track.frames[5].keys = {"Ctrl+S"};
    error = ZuPutPointerTrack(movie, track);
  }
  if (error.empty()) {
    error = WriteMovie(movie, argv[2]);
  }
  if (!error.empty()) {
    std::fprintf(stderr, "add_test_pointer: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
