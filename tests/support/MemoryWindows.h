#pragma once
// A window back end whose windows exist only in memory: nothing is shown and no input ever comes. For the
// tests and benchmarks that lay out or paint forms without a screen.

#include "gui/Backend.h"

#include <memory>

namespace vendora::test {

class MemoryWindow : public NativeWindow {
public:
    void Show() override {}
    void Hide() override {}
    void GeometryChanged() override {}
    void CaptionChanged() override {}
    void Present(const IntRect&) override {}
    void SetEnabled(bool) override {}
};

class MemoryBackend : public WindowBackend {
public:
    std::unique_ptr<NativeWindow> CreateNativeWindow(Form&) override {
        return std::make_unique<MemoryWindow>();
    }
    IntPoint ScreenSize() override { return {1024, 768}; }
    bool DispatchPending() override { return false; }
    bool DispatchNext() override { return false; }
    // No input can ever come, so waiting for it would only lose time.
    void WaitForInput(int) override {}
};

} // namespace vendora::test
