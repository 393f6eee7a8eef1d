// The main of every test program. With CORVEL_HIGH_ADDRESSES=1 (64-bit builds) the program first makes
// every address the library can be given lie at or above 4 GiB, runs its tests on a thread whose stack is
// up there too, and then checks that it was so: a pointer that the library cut to 32 bits somewhere would
// then crash or fail a check instead of passing by luck.
#include "HighAddresses.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const char* high = std::getenv("CORVEL_HIGH_ADDRESSES");
    if (!high || std::strcmp(high, "1") != 0)
        return RUN_ALL_TESTS();
    return high_addresses::RunAllTestsAbove4GiB();
}
