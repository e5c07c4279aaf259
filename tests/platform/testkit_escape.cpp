// Linked into every test executable that uses the harness: an exception that
// escaped a message handler fails the test during which it escaped.
#include <gtest/gtest.h>

#include "platform/testkit/harness.h"

namespace {

const bool kInstalled = [] {
  plat::test::SetEscapeReporter(
      [](const std::string& message) { ADD_FAILURE() << "exception escaped a message handler: " << message; });
  return true;
}();

}  // namespace
