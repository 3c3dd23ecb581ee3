#pragma once
// The fixture of the tests that open windows: a machine in memory, and an application that measures
// with the block text engine (TextShape::Blocks) and shows its windows through a headless back end fed from
// a script text, for one test, whose window records and delivered events the test keeps; every form still
// alive at the end is destroyed. A test of another back end gives it to App() in its own SetUp.

#include "tests/support/FixedTextEngine.h"
#include "tests/support/MemoryPlatform.h"

#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/headless/HeadlessBackend.h"
#include "html/HtmlHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vendora::test {

class WindowTest : public ::testing::Test, public BackendObserver {
protected:
    void SetUp() override { UseScript(""); }
    void TearDown() override { App().Shutdown(); }
    Application& App() { return app_; }
    // The host of messages that show no picture: the machine's files and the application's text engine.
    HtmlHost MessageHost() { return HtmlHost{nullptr, {machine_.Files(), app_.Engine(), nullptr}}; }
    // A new headless back end, in place of the one before.
    HeadlessBackend& UseScript(const std::string& script) {
        installed_.reset();
        backend_ = std::make_unique<HeadlessBackend>(InputScript::Parse(script), HeadlessBackend::Options{});
        backend_->SetObserver(this);
        installed_.emplace(app_, *backend_);
        return *backend_;
    }
    void InputDelivered(const std::string& event, int, Form* target) override {
        inputs_.emplace_back(event, target);
    }
    void WindowChanged(const WindowRecord& record) override { records_.push_back(record); }
    std::vector<std::string> RecordKinds() const {
        std::vector<std::string> kinds;
        for (const WindowRecord& record : records_)
            kinds.push_back(record.Kind);
        return kinds;
    }

    std::vector<WindowRecord> records_;
    std::vector<std::pair<std::string, Form*>> inputs_; // each event as written, and the form that took it
    MemoryPlatform machine_; // the machine of the windows: its files, its system colours
    FixedTextEngine engine_{TextShape::Blocks};
    Application app_{engine_, machine_};
    std::unique_ptr<HeadlessBackend> backend_; // a test may give App() another back end over it
    std::optional<UsedBackend> installed_;
};

// The window fixture with one white form of 300 x 200 pixels, owned by the application, for the tests of
// the controls painted on it.
class WhiteFormTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        form_ = new Form(App());
        form_->SetClientSize(300, 200);
        form_->SetColor(clWhite);
    }
    // The form shown and every pending paint done.
    const Bitmap& Painted() {
        form_->Show();
        App().PaintAll();
        return form_->Surface();
    }
    Form* form_ = nullptr;
};

} // namespace vendora::test
