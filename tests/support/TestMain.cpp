// The main function of every test program (tolvane_test links it in place of
// GoogleTest's own): GoogleTest, with the watcher of unexpected modal windows running
// while the tests run (ModalWatcher.h).
#include <gtest/gtest.h>

#include "ModalWatcher.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::StartModalWatcher();
    int result = RUN_ALL_TESTS();
    testsupport::StopModalWatcher();
    return result;
}
