#include "studio/BoundedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Threads for the connections, one each: a new thread starts whenever no idle one is there to
// take a connection, up to a most, and idle ones wait for the next. Threads end only with the
// server. Past the most (or when no thread can start), connections wait for a thread: the
// connections beyond the server's cap are closed at once, so their threads come free soon.
class ThreadPerConnection : public httplib::TaskQueue {
 public:
  explicit ThreadPerConnection(size_t most) : m_most(most) {}

  void enqueue(std::function<void()> job) override {
    std::lock_guard hold(m_lock);
    m_jobs.push_back(std::move(job));
    if (m_jobs.size() > m_waiting && m_threads.size() < m_most) {
      try {
        m_threads.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
        // Served by a thread that comes free.
      }
    }
    m_wake.notify_one();
  }

  void shutdown() override {
    {
      std::lock_guard hold(m_lock);
      m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads) {
      thread.join();
    }
  }

 private:
  void Work() {
    std::unique_lock hold(m_lock);
    for (;;) {
      ++m_waiting;
      m_wake.wait(hold, [this] { return !m_jobs.empty() || m_stopping; });
      --m_waiting;
      if (m_jobs.empty()) {
        return;
      }
      std::function<void()> job = std::move(m_jobs.front());
      m_jobs.pop_front();
      hold.unlock();
      job();
      hold.lock();
    }
  }

  std::mutex m_lock;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_jobs;
  std::vector<std::thread> m_threads;
  size_t m_most;
  size_t m_waiting = 0;
  bool m_stopping = false;
};

// Milliseconds left until the deadline, at least 0, for poll.
int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

bool Polls(int fd, short events, int milliseconds) {
  pollfd entry{fd, events, 0};
  int ready = 0;
  do {
    ready = poll(&entry, 1, milliseconds);
  } while (ready < 0 && errno == EINTR);
  return ready > 0;
}

void AddressOf(int fd, bool peer, std::string& ip, int& port) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  const int got = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length)
                       : getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  char text[INET_ADDRSTRLEN] = {};
  if (got == 0 && address.sin_family == AF_INET &&
      inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) != nullptr) {
    ip = text;
    port = ntohs(address.sin_port);
  }
}

// The bytes the client sends after a refusal are read for this long before the connection
// closes, so that closing does not reset it before the client has read the answer.
constexpr milliseconds kLinger{500};

constexpr const char kRefusal[] =
    "HTTP/1.1 503 Service Unavailable\r\nContent-Type: application/json\r\n"
    "Content-Length: 66\r\nConnection: close\r\n\r\n"
    "{\"error\":\"the server is busy answering other requests; try again\"}";

}  // namespace

// One accepted socket, read through a buffer of its own: the stream httplib reads requests
// from and writes answers to, with the time limits applied to every read and write.
class BoundedHttpServer::Connection : public httplib::Stream {
 public:
  Connection(int fd, const Limits& limits) : m_fd(fd), m_limits(limits) {}

  // Waits up to the idle limit for the next request to begin; false when none comes.
  bool AwaitRequest() {
    if (m_start == m_end && !Polls(m_fd, POLLIN, static_cast<int>(m_limits.idle.count()))) {
      return false;
    }
    m_requestStart = Clock::now();
    m_received = 0;
    return true;
  }

  bool is_readable() const override {
    return m_start < m_end || Polls(m_fd, POLLIN, MillisecondsUntil(ReadDeadline()));
  }

  bool is_writable() const override {
    if (!Polls(m_fd, POLLOUT, static_cast<int>(m_limits.stall.count()))) {
      return false;
    }
    // Readable with nothing to read is a closed connection.
    char byte = 0;
    return !Polls(m_fd, POLLIN, 0) || recv(m_fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
  }

  ssize_t read(char* data, size_t size) override {
    if (m_start == m_end) {
      if (!is_readable()) {
        return -1;
      }
      const ssize_t got = recv(m_fd, m_buffer, sizeof m_buffer, 0);
      if (got <= 0) {
        return got;
      }
      m_received += static_cast<size_t>(got);
      m_start = 0;
      m_end = static_cast<size_t>(got);
    }
    const size_t taken = std::min(size, m_end - m_start);
    std::memcpy(data, m_buffer + m_start, taken);
    m_start += taken;
    return static_cast<ssize_t>(taken);
  }

  ssize_t write(const char* data, size_t size) override {
    if (!Polls(m_fd, POLLOUT, static_cast<int>(m_limits.stall.count()))) {
      return -1;
    }
    return send(m_fd, data, size, MSG_NOSIGNAL);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    AddressOf(m_fd, true, ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    AddressOf(m_fd, false, ip, port);
  }
  socket_t socket() const override { return m_fd; }

  // Closes the connection once the client has had time to read the answer sent.
  void Close() {
    ::shutdown(m_fd, SHUT_WR);
    const Clock::time_point deadline = Clock::now() + kLinger;
    while (Polls(m_fd, POLLIN, MillisecondsUntil(deadline)) &&
           recv(m_fd, m_buffer, sizeof m_buffer, 0) > 0) {
    }
    close(m_fd);
  }

  State state = State::kWaiting;
  bool closeAfterAnswer = false;
  Clock::time_point since = Clock::now();
  bool listed = false;  // in m_open, where another connection may close it to make room

 private:
  // The request so far must have come at the minimum rate after the grace time.
  Clock::time_point ReadDeadline() const {
    const auto earned = milliseconds(m_received * 1000 / std::max<size_t>(m_limits.minimumRate, 1));
    return m_requestStart + m_limits.grace + earned;
  }

  int m_fd;
  const Limits& m_limits;
  Clock::time_point m_requestStart = Clock::now();
  size_t m_received = 0;
  char m_buffer[16 * 1024];
  size_t m_start = 0;
  size_t m_end = 0;
};

thread_local BoundedHttpServer::Connection* BoundedHttpServer::s_serving = nullptr;

BoundedHttpServer::BoundedHttpServer(Limits limits) : m_limits(limits) {
  // The open connections' threads, and as many again for those closed to make room for them.
  new_task_queue = [most = 2 * limits.connections + 2] { return new ThreadPerConnection(most); };
  set_keep_alive_timeout(std::chrono::duration_cast<std::chrono::seconds>(limits.idle).count());
}

int BoundedHttpServer::Bind(const std::string& host, int port) {
  const int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
  if (bound > 0) {
    ::listen(svr_sock_, SOMAXCONN);
  }
  return bound;
}

void BoundedHttpServer::CloseAfterAnswer() {
  if (s_serving != nullptr) {
    s_serving->closeAfterAnswer = true;
  }
}

void BoundedHttpServer::Shutdown() {
  stop();
  std::lock_guard hold(m_lock);
  for (Connection* connection : m_open) {
    if (connection->state == State::kWaiting) {
      ::shutdown(connection->socket(), SHUT_RDWR);
    }
  }
}

bool BoundedHttpServer::process_and_close_socket(socket_t sock) {
  Connection connection(sock, m_limits);
  s_serving = &connection;
  if (!Admit(connection)) {
    send(sock, kRefusal, sizeof kRefusal - 1, MSG_NOSIGNAL);
  } else {
    for (size_t served = 1; svr_sock_ != INVALID_SOCKET && connection.AwaitRequest(); ++served) {
      Enter(connection, State::kArriving);
      bool closed = false;
      const bool answered =
          process_request(connection, served >= keep_alive_max_count_, closed,
                          [&](httplib::Request&) { Enter(connection, State::kAnswering); });
      if (!answered || closed || connection.closeAfterAnswer || served >= keep_alive_max_count_) {
        break;
      }
      Enter(connection, State::kWaiting);
    }
    Leave(connection);
  }
  s_serving = nullptr;
  connection.Close();
  return true;
}

bool BoundedHttpServer::Admit(Connection& connection) {
  std::lock_guard hold(m_lock);
  if (m_open.size() >= m_limits.connections) {
    // The one that has gone longest without asking anything makes room: waiting ones first.
    auto victim = m_open.end();
    for (auto it = m_open.begin(); it != m_open.end(); ++it) {
      const Connection& open = **it;
      if (open.state == State::kAnswering) {
        continue;
      }
      if (victim == m_open.end() || open.state < (*victim)->state ||
          (open.state == (*victim)->state && open.since < (*victim)->since)) {
        victim = it;
      }
    }
    if (victim == m_open.end()) {
      return false;
    }
    // Its thread finds the connection closed and ends; the socket stays open until then.
    ::shutdown((*victim)->socket(), SHUT_RDWR);
    (*victim)->listed = false;
    m_open.erase(victim);
  }
  connection.listed = true;
  m_open.push_back(&connection);
  return true;
}

void BoundedHttpServer::Enter(Connection& connection, State state) {
  std::lock_guard hold(m_lock);
  connection.state = state;
  connection.since = Clock::now();
}

void BoundedHttpServer::Leave(Connection& connection) {
  std::lock_guard hold(m_lock);
  if (connection.listed) {
    m_open.remove(&connection);
  }
}
