// Entry of the end-to-end tests: GoogleTest's own flags, then "--kelvane=PATH"
// naming the program under test (by default Kelvane.exe beside this executable).
#include <gtest/gtest.h>

#include "Harness.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    e2e::InitProgramPath(argc, argv);
    return RUN_ALL_TESTS();
}
