#include "platform/rtl/exceptions.h"

#include <cstring>

namespace rtl {

EInOutError::EInOutError(int errorCode) : Exception(SysErrorMessage(errorCode)), ErrorCode(errorCode) {}

void Abort() { throw EAbort(); }

void Assert(bool condition, const std::string& message) {
  if (!condition) throw EAssertionFailed(message);
}

std::string SysErrorMessage(int errorCode) {
  char buf[256];
  // GNU strerror_r may return a static string instead of filling buf.
  const char* text = strerror_r(errorCode, buf, sizeof buf);
  return text ? std::string(text) : std::string("Unknown error");
}

}  // namespace rtl
