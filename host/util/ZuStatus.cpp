#include "host/util/ZuStatus.h"

#include <system_error>
#include <utility>

ZuStatus ZuStatus::Error(std::string message) {
  ZuStatus status;
  status.m_failed = true;
  status.m_message = std::move(message);
  return status;
}

ZuStatus ZuStatus::FromErrno(int errorNumber, const std::string& what) {
  const std::string reason = std::generic_category().message(errorNumber);
  ZuStatus status = Error(what.empty() ? reason : what + ": " + reason);
  status.m_errorNumber = errorNumber;
  return status;
}
