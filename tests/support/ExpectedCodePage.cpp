// Linked into the Windows test programs that also run under other code pages: when
// VENDORA_EXPECTED_CODE_PAGE names one, the program fails before its tests unless the system's ANSI code
// page is that one, so that a run meant for Cyrillic names cannot pass in Windows-1252.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/win32/WindowsApi.h"

namespace {

class ExpectedCodePage : public ::testing::Environment {
public:
    void SetUp() override {
        const char* expected = std::getenv("VENDORA_EXPECTED_CODE_PAGE");
        if (expected == nullptr)
            return;
        ASSERT_EQ(std::to_string(::GetACP()), expected) << "the locale did not give the code page asked for";
    }
};

const ::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new ExpectedCodePage);

} // namespace
