#pragma once

#include <functional>
#include <string>

class ZuFMRTavoFile;

// How tighten and speed end to end: input loaded as an FMR movie (not written over unless
// inPlace), changed by retime, which returns what it removed in words ("removed 412 still
// frames (27.5 s)"), then written to output; "fmredit: WORDS; the movie now lasts 1:02.4" on
// standard error. A refusal throws with nothing written.
void RetimeMovieFile(const std::string& input, const std::string& output, bool inPlace,
                     const std::function<std::string(ZuFMRTavoFile&)>& retime);
