// make_studio_recording: writes the 1080p demo recording the web editor's benchmark opens
// (bench_studio.mjs). Usage: make_studio_recording OUT.swf [FRAMES]
#include <cstdlib>
#include <exception>
#include <iostream>

#include "bench/ZuBenchSupport.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: make_studio_recording OUT.swf [FRAMES]\n";
    return 2;
  }
  const int frames = argc == 3 ? std::atoi(argv[2]) : 6000;
  if (frames < 1 || frames > 16000) {
    std::cerr << "make_studio_recording: FRAMES must be 1 to 16000\n";
    return 2;
  }
  try {
    ZuBenchDemoRecorder(ZuBenchRecording{}).RecordTo(frames, argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "make_studio_recording: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
