#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/image/ZuImage.h"

// Writes pictures as PNG files (ZuPng::Write) on worker threads, so that a caller drawing
// frames one after another keeps drawing while the frames before are compressed. Few
// pictures wait at a time: Write blocks while the queue is full, so memory stays bounded
// however many frames go through. The pool owns the queued pictures.
class ZuPngWriterPool {
 public:
  // threads: the workers; 0 takes one for each hardware thread.
  explicit ZuPngWriterPool(unsigned threads = 0);
  // Waits for the queued pictures to be written.
  ~ZuPngWriterPool();
  ZuPngWriterPool(const ZuPngWriterPool&) = delete;
  ZuPngWriterPool& operator=(const ZuPngWriterPool&) = delete;

  // Queues picture to be written at path. False, and nothing queued, once a write has
  // failed: there is no use in drawing more.
  bool Write(std::unique_ptr<ZuImage> picture, std::string path);
  // Waits until every queued picture is written. False when one could not be, with the
  // path and the reason of the first failure.
  bool Finish(std::string* failedPath, std::string* reason);

 private:
  struct Job {
    std::unique_ptr<ZuImage> picture;
    std::string path;
  };
  void Work();
  // Waits for a job; false when the pool is stopping and none is left.
  bool TakeJob(Job& job);
  void Done(const Job& job, bool written, const std::string& reason);
  void Stop();

  std::mutex m_mutex;
  std::condition_variable m_changed;  // a job queued or finished, or the pool stopping
  std::deque<Job> m_queue;
  size_t m_maxQueued;
  size_t m_busy = 0;  // jobs taken by workers and not yet done
  bool m_stopping = false;
  bool m_failed = false;  // a write failed; m_failedPath and m_reason tell which and why
  std::string m_failedPath;
  std::string m_reason;
  std::vector<std::thread> m_workers;
};
