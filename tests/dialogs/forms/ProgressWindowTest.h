#pragma once
// The fixture of the progress window's tests: the window fixture, and a clock that stands still until the
// test moves it.

#include "dialogs/forms/Progression.h"
#include "tests/support/WindowTest.h"

namespace vendora::test {

class ProgressWindowTest : public WindowTest {
protected:
    TProgression::Clock Clock() {
        return [this] { return now_; };
    }
    double now_ = 45000.25;
};

} // namespace vendora::test
