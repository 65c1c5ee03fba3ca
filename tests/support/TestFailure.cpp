// The failures of the harness's drivers in GoogleTest programs: a failure of the
// running test at the caller's line (TEST_HERE). It is what makes test_support a test
// library; the tools link the harness alone and report on stderr (TOOL_HERE).
#include "DialogDriver.h"

#include <gtest/gtest.h>

namespace testsupport {

void FailTest(const Caller& caller, const std::string& message) {
    ADD_FAILURE_AT(caller.file, caller.line) << message;
}

}  // namespace testsupport
