// The scenarios' own main: each CTest test runs one scenario by its filter, and a filter that selects none
// (a scenario renamed or gone) must fail rather than pass with nothing run. The X connection opens first
// and stays to the end, so that the server never sees its last client leave while Wine starts.

#include "tests/e2e/XScreen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    try {
        vendora::e2e::XScreen::Get();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        std::fprintf(stderr, "no scenario ran: the filter selects none\n");
        return 1;
    }
    return result;
}
