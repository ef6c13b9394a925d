#pragma once

#include <string>
#include <unordered_set>
#include <vector>

// The player's warnings about content it skips: each message is kept once, in the order
// it first came, so a kind of content that appears in every frame warns once.
class ZuWarningLog {
 public:
  void Warn(const std::string& message) {
    if (m_seen.insert(message).second) {
      m_messages.push_back(message);
    }
  }
  const std::vector<std::string>& GetMessages() const { return m_messages; }
  void Clear() {
    m_seen.clear();
    m_messages.clear();
  }

 private:
  std::unordered_set<std::string> m_seen;
  std::vector<std::string> m_messages;
};
