// The system's own messages painted with the real fonts, as the message window paints them ("Tahoma" of 13
// pixels on the window, text at (20, 5) within 481 - 40 pixels, white), compared pixel for pixel with the
// reference pictures in tests/html/reference. A change to the renderer, the text engine or a message that
// moves one pixel shows here.
//
// After a deliberate change, look at the new pictures and regenerate them with
//     VENDORA_UPDATE_REFERENCE=1 ctest -R test_html_reference
// then commit tests/html/reference. A failing comparison leaves what it got in the build folder, under
// html-reference-actual/, next to the reference.

#include "base/Cp1252.h"
#include "gfx/Canvas.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "gfx/png/Png.h"
#include "html/DrawHtml.h"
#include "installer/InstallerTexts.h"
#include "tests/support/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vendora {
namespace {

constexpr int ClientWidth = 481;
constexpr int MessageLeft = 20;
constexpr int MessageTop = 5;
constexpr int MessageWidth = ClientWidth - 40;

struct SystemMessage {
    std::string File;
    AnsiString Text;
};

void PrintTo(const SystemMessage& message, std::ostream* out) {
    *out << message.File;
}

std::vector<SystemMessage> AllSystemMessages() {
    const std::vector<std::pair<std::string, InstallerMessage>> installer = {
        {"update-prompt", InstallerMessage::UpdatePrompt},
        {"install-prompt", InstallerMessage::InstallPrompt},
        {"font-report", InstallerMessage::FontReport},
        {"backup-failure-report", InstallerMessage::BackupFailureReport},
        {"copy-failure-report", InstallerMessage::CopyFailureReport},
        {"update-complete-prompt", InstallerMessage::UpdateCompletePrompt},
        {"install-complete-prompt", InstallerMessage::InstallCompletePrompt},
    };
    std::vector<SystemMessage> messages;
    for (const auto& [file, message] : installer)
        messages.push_back({file, InstallerMessageTexts(message).Text});
    // The report the extraction gives when the user asks to interrupt it.
    messages.push_back(
        {"interruption-report",
         Ansi("<BLOCKQUOTE><FONT COLOR=#FF0000><B>L'Interruption est Interdite</FONT></BLOCKQUOTE>"
              "<P><FONT COLOR=#FF SIZE=12>Le traitement va être maintenu</FONT>")});
    return messages;
}

// What the message window does to a text before painting it.
AnsiString AsWindowText(AnsiString text) {
    ReplaceAll("#13", "\r", text, true);
    ReplaceAll("\r", "<P>", text, true);
    return text;
}

int PaintAsTheWindow(Bitmap& surface, TextEngine& engine, const AnsiString& text) {
    // The system's messages show no picture: nothing is read.
    static test::MemoryFileSystem noFiles;
    const HtmlHost host{nullptr, PictureServices{noFiles, engine}};
    // The colours of a machine without its own, as the Linux program shows its windows.
    XpSystemColors colors;
    Canvas canvas(surface, engine, colors);
    canvas.GetFont().Name = "Tahoma";
    canvas.GetFont().SetHeight(-13);
    canvas.GetFont().Color = clWindowText;
    return DrawHtml(canvas, host, MessageLeft, MessageTop, MessageWidth, text, clWhite);
}

std::filesystem::path SourceDir() {
    const char* dir = std::getenv("VENDORA_SOURCE_DIR");
    return dir != nullptr ? dir : VENDORA_SOURCE_DIR_DEFAULT;
}

std::filesystem::path ActualDir() {
    const char* dir = std::getenv("VENDORA_BINARY_DIR");
    return std::filesystem::path(dir != nullptr ? dir : ".") / "html-reference-actual";
}

bool Updating() {
    const char* flag = std::getenv("VENDORA_UPDATE_REFERENCE");
    return flag != nullptr && std::string(flag) == "1";
}

class SystemMessages : public ::testing::TestWithParam<SystemMessage> {
protected:
    static FreeTypeTextEngine& Engine() {
        static FreeTypeTextEngine engine;
        return engine;
    }
};

TEST_P(SystemMessages, PaintAsTheirReferencePicture) {
    const SystemMessage& message = GetParam();
    const AnsiString text = AsWindowText(message.Text);
    // DrawHtml gives the height (a paint on one row finds it); the picture is the text and the window's
    // margin below it.
    Bitmap probe(ClientWidth, 1);
    const int height = PaintAsTheWindow(probe, Engine(), text);
    ASSERT_GT(height, MessageTop);
    Bitmap actual(ClientWidth, height + MessageTop);
    ASSERT_EQ(PaintAsTheWindow(actual, Engine(), text), height);

    const std::filesystem::path reference = SourceDir() / "tests/html/reference" / (message.File + ".png");
    if (Updating()) {
        SavePng(actual, reference.string());
        GTEST_SKIP() << "reference written: " << reference;
    }
    ASSERT_TRUE(std::filesystem::exists(reference))
        << reference << " is missing; VENDORA_UPDATE_REFERENCE=1 writes it";
    const Bitmap expected = LoadPng(reference.string());
    int differing = 0;
    int firstX = -1, firstY = -1;
    if (expected.Width() == actual.Width() && expected.Height() == actual.Height()) {
        for (int y = 0; y < actual.Height(); ++y)
            for (int x = 0; x < actual.Width(); ++x)
                if (expected.Pixel(x, y) != actual.Pixel(x, y) && differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
    }
    const bool same =
        expected.Width() == actual.Width() && expected.Height() == actual.Height() && differing == 0;
    if (!same) {
        std::filesystem::create_directories(ActualDir());
        SavePng(actual, (ActualDir() / (message.File + ".png")).string());
    }
    EXPECT_EQ(actual.Width(), expected.Width()) << "the reference picture is of another width";
    EXPECT_EQ(actual.Height(), expected.Height()) << "the text's height changed";
    EXPECT_EQ(differing, 0) << "first at (" << firstX << ", " << firstY << "); what was painted is in "
                            << ActualDir() / (message.File + ".png");
}

INSTANTIATE_TEST_SUITE_P(Installer, SystemMessages, ::testing::ValuesIn(AllSystemMessages()),
                         [](const ::testing::TestParamInfo<SystemMessage>& info) {
                             std::string name;
                             for (char c : info.param.File)
                                 if (c != '-')
                                     name += c;
                             return name;
                         });

} // namespace
} // namespace vendora
