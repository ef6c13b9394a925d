#include "media/ZuReadAhead.h"

#include <utility>

#include "media/ZuVideoDecoder.h"

ZuReadAhead::ZuReadAhead(ZuVideoDecoder& decoder, int ahead, std::function<void()> afterRead)
    : m_decoder(decoder),
      m_ahead(static_cast<size_t>(ahead > 0 ? ahead : 1)),
      m_afterRead(std::move(afterRead)),
      m_thread([this] { Run(); }) {}

ZuReadAhead::~ZuReadAhead() {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

bool ZuReadAhead::Next(ZuImage& picture, int64_t& time, int64_t& duration) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [this] { return !m_ready.empty() || m_ended; });
  if (m_ready.empty()) {
    if (m_error) {
      std::rethrow_exception(m_error);
    }
    return false;
  }
  Read read = std::move(m_ready.front());
  m_ready.pop_front();
  picture = *read.picture;
  time = read.time;
  duration = read.duration;
  m_spare.push_back(std::move(read.picture));
  lock.unlock();
  m_changed.notify_all();
  return true;
}

std::unique_ptr<ZuImage> ZuReadAhead::TakeRoom() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_changed.wait(lock, [this] { return m_stop || !m_spare.empty() || m_pictures < m_ahead; });
  if (m_stop) {
    return nullptr;
  }
  if (!m_spare.empty()) {
    std::unique_ptr<ZuImage> picture = std::move(m_spare.back());
    m_spare.pop_back();
    return picture;
  }
  ++m_pictures;
  return std::make_unique<ZuImage>(m_decoder.GetWidth(), m_decoder.GetHeight());
}

void ZuReadAhead::Run() {
  try {
    for (;;) {
      Read read;
      read.picture = TakeRoom();
      if (!read.picture || !m_decoder.Next(*read.picture, read.time, read.duration)) {
        break;
      }
      if (m_afterRead) {
        m_afterRead();
      }
      {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_ready.push_back(std::move(read));
      }
      m_changed.notify_all();
    }
  } catch (...) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_error = std::current_exception();
  }
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_ended = true;
  }
  m_changed.notify_all();
}
