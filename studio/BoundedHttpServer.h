#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <list>
#include <mutex>
#include <string>

// An HTTP server that clients which connect and then dawdle cannot stall. Every connection is
// served on a thread of its own, so a page's request never queues behind another connection,
// and the connections that hold a thread without asking anything are bounded in time and
// number:
// - a connection waiting for its next request (or its first) is closed after `idle`;
// - a request must arrive at `minimumRate` bytes a second once `grace` has passed, so one that
//   trickles in a byte at a time is cut off;
// - at most `connections` are open at once. Every client is on 127.0.0.1, so there is no
//   address to count them by: a new connection beyond the cap closes the one that has gone
//   longest without asking anything (idle, or its request still arriving), and is refused
//   with 503 only when every open connection is being answered.
class BoundedHttpServer : public httplib::Server {
 public:
  struct Limits {
    size_t connections = 64;
    std::chrono::milliseconds idle{3000};
    std::chrono::milliseconds grace{3000};
    size_t minimumRate = size_t{64} * 1024;  // bytes a second
    std::chrono::milliseconds stall{5000};   // longest wait for the client to take an answer
  };

  explicit BoundedHttpServer(Limits limits);

  // Takes host:port (0: any free port); the port taken, or -1. Connections waiting to be
  // accepted may queue deep, so that clients reconnecting all at once do not crowd a page's
  // connection out of the queue (a refused one is retried only a second later).
  int Bind(const std::string& host, int port);

  // Closes the connection of the request answered on the calling thread once its answer is
  // sent: for an answer given before the request's body was read, which must not be taken for
  // the next request.
  static void CloseAfterAnswer();

  // Stops listening and closes the connections that wait for a request; connections being
  // answered finish their answer.
  void Shutdown();

 private:
  class Connection;
  // Where a connection is: only waiting and arriving ones may be closed to make room.
  enum class State { kWaiting, kArriving, kAnswering };

  // Serves the requests of one accepted connection, then closes it.
  bool process_and_close_socket(socket_t sock) override;
  // Makes room for the connection; false when every open one is being answered.
  bool Admit(Connection& connection);
  void Leave(Connection& connection);
  void Enter(Connection& connection, State state);

  static thread_local Connection* s_serving;  // the connection the calling thread serves

  Limits m_limits;
  std::mutex m_lock;
  std::list<Connection*> m_open;  // the connections' own threads own them
};
