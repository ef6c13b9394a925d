#pragma once

#include <string>

// Who may use the server. Every request must carry the access token, in the cookie the first
// page load sets (named for the server's port) or as ?token= in the address fmredit prints; its
// Host header must name the loopback address and the server's port (so a page elsewhere cannot
// reach the server through a name it controls); a request that changes something must come from the
// page's own origin.
class AccessGuard {
 public:
  // A decision on one request: status 0 lets it through.
  struct Decision {
    int status = 0;
    std::string reason;
    bool setCookie = false;  // the token came in the address: keep it in a cookie
  };

  AccessGuard(std::string token, int port);

  // 32 hex digits from the system's random source.
  static std::string NewToken();

  Decision Check(const std::string& method, const std::string& host, const std::string& origin,
                 const std::string& cookies, const std::string& queryToken) const;
  // The Set-Cookie header value that keeps the token for the page.
  std::string CookieHeader() const;
  const std::string& Token() const { return m_token; }

 private:
  bool IsOwnHost(const std::string& host) const;
  bool MatchesToken(const std::string& candidate) const;

  std::string m_token;
  int m_port;
  std::string m_cookieName;
};
