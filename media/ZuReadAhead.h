#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/image/ZuImage.h"

class ZuVideoDecoder;

// Reads a decoder's pictures on a thread of its own, a few pictures ahead of whoever takes
// them. The screen grabber takes a picture when its frame is due only if it is asked in
// time; read on the thread that also records, one slow picture to record (a key frame, a
// busy machine) delays the next grab, and the movie repeats a frame for it. Read ahead, the
// grabs stay on time as long as recording keeps up on average.
//
// The decoder is used by the reading thread alone until the reader is destroyed, which
// stops the thread after the picture it is reading (or waiting for room to keep it).
class ZuReadAhead {
 public:
  // Starts reading from decoder, keeping at most `ahead` pictures not yet taken. afterRead,
  // when given, runs on the reading thread just after each picture is read, before it can
  // be taken (what goes with a grab is sampled at its time).
  ZuReadAhead(ZuVideoDecoder& decoder, int ahead, std::function<void()> afterRead = {});
  ~ZuReadAhead();
  ZuReadAhead(const ZuReadAhead&) = delete;
  ZuReadAhead& operator=(const ZuReadAhead&) = delete;

  // Waits for the next picture and copies it into picture (the decoder's size), with its
  // time and duration as the decoder gave them. False at the end of the input. Throws what
  // the reading thread caught from the decoder.
  bool Next(ZuImage& picture, int64_t& time, int64_t& duration);

 private:
  struct Read {
    std::unique_ptr<ZuImage> picture;
    int64_t time = 0;
    int64_t duration = 0;
  };

  void Run();
  // The picture to read the next one into: a spare one, or a new one while fewer than
  // `ahead` exist. Null once stopped.
  std::unique_ptr<ZuImage> TakeRoom();

  ZuVideoDecoder& m_decoder;
  const size_t m_ahead;
  const std::function<void()> m_afterRead;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<Read> m_ready;                       // read, not taken yet, oldest first
  std::vector<std::unique_ptr<ZuImage>> m_spare;  // taken, to be read into again
  size_t m_pictures = 0;                          // pictures made so far
  bool m_stop = false;
  bool m_ended = false;
  std::exception_ptr m_error;
  std::thread m_thread;  // last: it starts once everything above is set up
};
