#include "host/image/ZuPngWriterPool.h"

#include <algorithm>
#include <utility>

#include "host/image/ZuPng.h"

ZuPngWriterPool::ZuPngWriterPool(unsigned threads) {
  if (threads == 0) {
    threads = std::max(1u, std::thread::hardware_concurrency());
  }
  // Enough waiting pictures that no worker idles while the caller draws the next one.
  m_maxQueued = 2 * static_cast<size_t>(threads);
  m_workers.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) {
    m_workers.emplace_back([this] { Work(); });
  }
}

ZuPngWriterPool::~ZuPngWriterPool() {
  Stop();
}

bool ZuPngWriterPool::Write(std::unique_ptr<ZuImage> picture, std::string path) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [this] { return m_queue.size() < m_maxQueued || m_failed; });
  if (m_failed) {
    return false;
  }
  m_queue.push_back({std::move(picture), std::move(path)});
  m_changed.notify_all();
  return true;
}

bool ZuPngWriterPool::Finish(std::string* failedPath, std::string* reason) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [this] { return m_queue.empty() && m_busy == 0; });
  if (m_failed) {
    *failedPath = m_failedPath;
    *reason = m_reason;
  }
  return !m_failed;
}

void ZuPngWriterPool::Work() {
  Job job;
  while (TakeJob(job)) {
    std::string reason;
    const bool written = ZuPng::Write(*job.picture, job.path, &reason);
    Done(job, written, reason);
  }
}

bool ZuPngWriterPool::TakeJob(Job& job) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
  if (m_queue.empty()) {
    return false;
  }
  job = std::move(m_queue.front());
  m_queue.pop_front();
  ++m_busy;
  m_changed.notify_all();  // room in the queue
  return true;
}

// After a failure the waiting pictures are dropped: the caller stops at its next Write.
void ZuPngWriterPool::Done(const Job& job, bool written, const std::string& reason) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  --m_busy;
  if (!written && !m_failed) {
    m_failed = true;
    m_failedPath = job.path;
    m_reason = reason;
    m_queue.clear();
  }
  m_changed.notify_all();
}

void ZuPngWriterPool::Stop() {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
    m_changed.notify_all();
  }
  for (std::thread& worker : m_workers) {
    worker.join();
  }
}
