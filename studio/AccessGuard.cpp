#include "studio/AccessGuard.h"

#include <sys/random.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace {

// Cookies do not tell ports apart: each server names its cookie with its port, so that the
// editors of two servers open in one browser keep their own tokens.
constexpr const char* kCookiePrefix = "fmredit_token_";

// The value of a cookie in a Cookie header, empty when it is not there.
std::string CookieValue(const std::string& cookies, const std::string& name) {
  size_t at = 0;
  while (at < cookies.size()) {
    while (at < cookies.size() && (cookies[at] == ' ' || cookies[at] == ';')) {
      ++at;
    }
    const size_t end = std::min(cookies.find(';', at), cookies.size());
    const std::string pair = cookies.substr(at, end - at);
    const size_t equals = pair.find('=');
    if (equals != std::string::npos && pair.substr(0, equals) == name) {
      return pair.substr(equals + 1);
    }
    at = end;
  }
  return {};
}

bool ChangesState(const std::string& method) {
  return method != "GET" && method != "HEAD" && method != "OPTIONS";
}

}  // namespace

AccessGuard::AccessGuard(std::string token, int port)
    : m_token(std::move(token)), m_port(port), m_cookieName(kCookiePrefix + std::to_string(port)) {}

std::string AccessGuard::NewToken() {
  uint8_t bytes[16];
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    throw std::runtime_error("no random bytes for the access token");
  }
  static const char kHex[] = "0123456789abcdef";
  std::string token;
  for (uint8_t byte : bytes) {
    token += kHex[byte >> 4];
    token += kHex[byte & 15];
  }
  return token;
}

AccessGuard::Decision AccessGuard::Check(const std::string& method, const std::string& host,
                                         const std::string& origin, const std::string& cookies,
                                         const std::string& queryToken) const {
  if (!IsOwnHost(host)) {
    return {421, "the Host header must name 127.0.0.1 or localhost"};
  }
  const bool cookieMatches = MatchesToken(CookieValue(cookies, m_cookieName));
  const bool queryMatches = !queryToken.empty() && MatchesToken(queryToken);
  if (!cookieMatches && !queryMatches) {
    return {403, "a valid access token is needed: open the address fmredit serve printed"};
  }
  if (ChangesState(method) && origin != "http://" + host) {
    return {403, "changes must come from the editor's own page"};
  }
  return {0, "", queryMatches && !cookieMatches};
}

std::string AccessGuard::CookieHeader() const {
  return m_cookieName + "=" + m_token + "; Path=/; HttpOnly; SameSite=Strict";
}

bool AccessGuard::IsOwnHost(const std::string& host) const {
  const std::string port = ":" + std::to_string(m_port);
  return host == "127.0.0.1" + port || host == "localhost" + port;
}

// Compares in time that does not depend on where the strings differ.
bool AccessGuard::MatchesToken(const std::string& candidate) const {
  if (candidate.size() != m_token.size()) {
    return false;
  }
  unsigned difference = 0;
  for (size_t i = 0; i < candidate.size(); ++i) {
    difference |= static_cast<unsigned>(candidate[i] ^ m_token[i]);
  }
  return difference == 0;
}
