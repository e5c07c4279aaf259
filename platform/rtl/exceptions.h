// The exception family of the runtime core. Everything the layer raises
// derives from Exception, so "catch any failure of the class library" is
// `catch (const rtl::Exception&)`.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace rtl {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

#define RTL_EXCEPTION_CLASS(Name, Base) \
  class Name : public Base {            \
   public:                              \
    using Base::Base;                   \
  }

RTL_EXCEPTION_CLASS(EConvertError, Exception);
RTL_EXCEPTION_CLASS(EListError, Exception);
RTL_EXCEPTION_CLASS(EStreamError, Exception);
RTL_EXCEPTION_CLASS(EReadError, EStreamError);
RTL_EXCEPTION_CLASS(EWriteError, EStreamError);
RTL_EXCEPTION_CLASS(EFileStreamError, EStreamError);
RTL_EXCEPTION_CLASS(EFOpenError, EFileStreamError);
RTL_EXCEPTION_CLASS(EFCreateError, EFileStreamError);
RTL_EXCEPTION_CLASS(EIniFileException, Exception);
RTL_EXCEPTION_CLASS(EAssertionFailed, Exception);
RTL_EXCEPTION_CLASS(EInvalidOperation, Exception);
RTL_EXCEPTION_CLASS(EInvalidGraphic, Exception);
RTL_EXCEPTION_CLASS(EOutOfMemory, Exception);
RTL_EXCEPTION_CLASS(EThread, Exception);

// A failed system call; carries the errno value and its text.
class EInOutError : public Exception {
 public:
  EInOutError(int errorCode, std::string message) : Exception(std::move(message)), ErrorCode(errorCode) {}
  explicit EInOutError(int errorCode);  // message from strerror
  int ErrorCode;
};

// The silent exception: unwinds without being reported to the user.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  using Exception::Exception;
};

// Raised in a worker that asks the main thread to run a call after the
// dispatcher was shut down; silent so that nothing is shown at exit.
class EDispatcherShutdown : public EAbort {
 public:
  EDispatcherShutdown() : EAbort("The main thread no longer runs synchronised calls") {}
};

#undef RTL_EXCEPTION_CLASS

[[noreturn]] void Abort();

// Never compiled out: a failed assertion reaches the caller as EAssertionFailed.
void Assert(bool condition, const std::string& message = "Assertion failed");

// The text of an errno value.
std::string SysErrorMessage(int errorCode);

}  // namespace rtl
