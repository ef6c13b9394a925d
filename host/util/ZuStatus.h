#pragma once

#include <string>

// The result of a host operation that can fail: ok, or a one-line message saying why not,
// with the system's error number when the failure came from the system (0 otherwise).
// A value; the message reads "what: reason" ("clip.swf: No space left on device").
class ZuStatus {
 public:
  // Success.
  ZuStatus() = default;

  // A failure with its own words.
  static ZuStatus Error(std::string message);
  // A failure the system reported: the message is "what: " followed by the system's reason
  // for errorNumber (just the reason when what is empty).
  static ZuStatus FromErrno(int errorNumber, const std::string& what = "");

  bool ok() const { return !m_failed; }
  // The system's error number of a failure that came from the system; 0 otherwise.
  int ErrorNumber() const { return m_errorNumber; }
  // Empty for success.
  const std::string& Message() const { return m_message; }

 private:
  bool m_failed = false;
  int m_errorNumber = 0;
  std::string m_message;
};
