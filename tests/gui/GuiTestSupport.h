#pragma once
// What the framework's tests share: a text engine of fixed metrics (each character a filled 4 x 9 block in
// a 6-pixel advance, ascent 10, descent 3), installed for the test, and a headless back end fed from a
// script text, whose window records are kept.

#include "gfx/TextEngine.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vendora::test {

class BlockTextEngine : public TextEngine {
public:
    static constexpr int Advance = 6;
    static constexpr int Ascent = 10;
    static constexpr int Descent = 3;
    FontMetrics Metrics(const FontRequest&) override { return {Ascent, Descent}; }
    int TextWidth(const FontRequest&, std::string_view text) override {
        return Advance * static_cast<int>(text.size());
    }
    // A blank draws nothing; any other character a block over columns 1-4 and rows 1-9 of its cell.
    void DrawText(Bitmap& target, const IntRect& clip, int x, int y, const FontRequest&,
                  std::string_view text, TColor color) override {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ') {
                continue;
            }
            int left = x + static_cast<int>(i) * Advance + 1;
            for (int gy = 1; gy <= 9; ++gy) {
                for (int gx = 0; gx < 4; ++gx) {
                    if (clip.Contains(left + gx, y + gy)) {
                        target.SetPixel(left + gx, y + gy, color);
                    }
                }
            }
        }
    }
};

// Installs the block text engine and a headless back end with the given script for one test, whose window
// records and delivered events the test keeps; every form still alive at the end is destroyed.
class GuiTest : public ::testing::Test, public BackendObserver {
protected:
    void SetUp() override {
        SetTextEngine(&engine_);
        UseScript("");
    }
    void TearDown() override {
        App().Shutdown();
        SetTextEngine(nullptr);
    }
    HeadlessBackend& UseScript(const std::string& script) {
        auto backend =
            std::make_unique<HeadlessBackend>(InputScript::Parse(script), HeadlessBackend::Options{});
        backend->SetObserver(this);
        backend_ = backend.get();
        App().SetBackend(std::move(backend));
        return *backend_;
    }
    void InputDelivered(const std::string& event, int, Form* target) override {
        inputs_.emplace_back(event, target);
    }
    void WindowChanged(const WindowRecord& record) override { records_.push_back(record); }
    std::vector<std::string> RecordKinds() const {
        std::vector<std::string> kinds;
        for (const WindowRecord& record : records_) {
            kinds.push_back(record.Kind);
        }
        return kinds;
    }

    BlockTextEngine engine_;
    HeadlessBackend* backend_ = nullptr;
    std::vector<WindowRecord> records_;
    std::vector<std::pair<std::string, Form*>> inputs_; // each event as written, and the form that took it
};

// Counts the pixels of a colour inside a rectangle.
inline int CountPixels(const Bitmap& bitmap, const IntRect& area, TColor color) {
    int count = 0;
    for (int y = area.Top; y < area.Bottom; ++y) {
        for (int x = area.Left; x < area.Right; ++x) {
            count += bitmap.Pixel(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

} // namespace vendora::test
