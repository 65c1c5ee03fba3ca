// The main function of every test program (tolvane_test links it in place of
// GoogleTest's own): GoogleTest, with the watcher of unexpected modal windows running
// while the tests run (ModalWatcher.h); what it finds fails the running test.
#include <gtest/gtest.h>

#include <stdio.h>

#include "ModalWatcher.h"

namespace {

// On the watcher's thread: GoogleTest takes failures from any thread. The message also
// goes straight to the output, in case the program is ended before GoogleTest's summary.
void FailRunningTest(const std::string& message) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string where = test ? std::string(test->test_suite_name()) + "." + test->name() : "no test";
    fprintf(stderr, "%s: %s\n", where.c_str(), message.c_str());
    fflush(stderr);
    ADD_FAILURE() << message;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::StartModalWatcher(FailRunningTest);
    int result = RUN_ALL_TESTS();
    testsupport::StopModalWatcher();
    return result;
}
