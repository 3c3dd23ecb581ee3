#include "startup/Startup.h"
#include "base/Errors.h"
#include "dialogs/Attente.h"
#include "dialogs/MessageBox.h"
#include "gfx/TextEngine.h"
#include "gui/Application.h"
#include "gui/Backend.h"
#include "html/pictures/Pictures.h"
#include "installer/ApplicationWait.h"
#include "tests/support/FixedTextEngine.h"
#include "tests/support/MemoryPlatform.h"
#include "tests/support/RecordingExtractionUi.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

using namespace vendora;
using vendora::test::MemoryFileSystem;
using vendora::test::MemoryPlatform;

namespace {

// Dialogs of our own that log their life and the error boxes they show.
class LoggingDialogs : public DialogBackend {
public:
    explicit LoggingDialogs(std::vector<std::string>& log) : log_(log) { log_.push_back("message window"); }
    ~LoggingDialogs() override { log_.push_back("message window gone"); }
    int ShowHtmlMessage(const AnsiString& title, const AnsiString&, const AnsiString&, TColor) override {
        log_.push_back("message " + title);
        return 1;
    }
    std::unique_ptr<TAttente> CreateAttente() override { return std::make_unique<TAttente>(); }
    bool ProcessOneMessage() override { return false; }
    void ShowErrorBox(const AnsiString& title, const AnsiString& text) override {
        log_.push_back("error box " + title + ": " + text);
    }

private:
    std::vector<std::string>& log_;
};

class Startup : public ::testing::Test {
protected:
    Startup() { platform.Disk.AddFile("c:\\Vendora\\Vendora.EXE", "application"); }
    WindowFactory Windows() {
        return [this](PictureCache&) {
            return RunWindows{std::make_unique<LoggingDialogs>(platform.Log),
                              std::make_unique<test::RecordingExtractionUi>()};
        };
    }
    MemoryPlatform platform;
};

} // namespace

TEST_F(Startup, ComBeforeTheMessageWindowAndTheReverseAtShutDown) {
    {
        SharedUnits units(platform, Windows());
        EXPECT_EQ(platform.Log, (std::vector<std::string>{"CoInitialize", "message window"}));
        // The sequence is handed the message window start-up made: no second one for its first question.
        ShowHtmlMessage(units.DialogWindows(), "Question", "?", "Oui#13Non", TColor(0));
        EXPECT_EQ(platform.Log.back(), "message Question");
        EXPECT_NE(dynamic_cast<test::RecordingExtractionUi*>(&units.ProgressWindow()), nullptr);
    }
    EXPECT_EQ(platform.Log, (std::vector<std::string>{"CoInitialize", "message window", "message Question",
                                                      "CoUninitialize", "message window gone"}));
}

// A thread whose COM is in another apartment: start-up goes on, and shut-down leaves COM as it found it.
TEST_F(Startup, ComThatCannotStartIsNotUninitialised) {
    platform.ComStarts = false;
    {
        SharedUnits units(platform, Windows());
        EXPECT_EQ(ShowHtmlMessage(units.DialogWindows(), "Question", "?", "Oui#13Non", TColor(0)), 1);
    }
    EXPECT_EQ(platform.Log, (std::vector<std::string>{"CoInitialize", "message window", "message Question",
                                                      "message window gone"}));
}

// Windows that cannot be made end start-up with their error.
TEST_F(Startup, AFailedStartUpRaisesItsError) {
    EXPECT_THROW(
        SharedUnits(platform,
                    [](PictureCache&) -> RunWindows { throw InputSourceError("s.ui:1: unknown event"); }),
        InputSourceError);
}

TEST_F(Startup, ShutDownDestroysTheWaitingWindow) {
    {
        SharedUnits units(platform, Windows());
        WaitForApplicationExit(platform, units.DialogWindows()); // the executable opens at once: no window
        EXPECT_EQ(WaitingWindow(), nullptr);
        platform.Disk.OnCreateFile = [](int call, const AnsiString&) {
            return call > 600 ? 0 : WinError::SharingViolation;
        };
        WaitForApplicationExit(platform, units.DialogWindows());
        ASSERT_NE(WaitingWindow(), nullptr);
        EXPECT_FALSE(WaitingWindow()->Visible());
    }
    EXPECT_EQ(WaitingWindow(), nullptr);
}

TEST_F(Startup, ExitCodesAndTheErrorBox) {
    SharedUnits units(platform, Windows());
    DialogBackend& dialogs = units.DialogWindows();
    EXPECT_EQ(RunSequence(dialogs, [] {}), 0);
    EXPECT_EQ(RunSequence(dialogs, [] { throw EShortcutError(); }), 1);
    EXPECT_EQ(platform.Log.back(), "error box Erreur d'application: Unable to create .lnk file");
    EXPECT_EQ(RunSequence(dialogs, [] { throw ECompressionError(-3); }), 1);
    EXPECT_EQ(platform.Log.back(), "error box Erreur d'application: Error in compression routine: -3");
    EXPECT_EQ(RunSequence(dialogs, [] { throw std::bad_alloc(); }), 1);
    EXPECT_EQ(platform.Log.back(), "error box Erreur d'application: std::bad_alloc");
    // A faulty ui script is the test harness's fault, not the program's: it goes through, unreported.
    const std::size_t reported = platform.Log.size();
    EXPECT_THROW(RunSequence(dialogs, [] { throw InputSourceError("s.ui:1: unknown event"); }),
                 InputSourceError);
    EXPECT_EQ(platform.Log.size(), reported);
}

// Windows asked for input before the program's entry gave their application a back end say so instead of
// answering from a stand-in.
TEST(Application, WithoutABackEndItSaysWhichIsMissing) {
    test::FixedTextEngine engine{test::TextShape::Invisible};
    XpSystemColors colors;
    Application app(engine, colors);
    try {
        app.Backend();
        ADD_FAILURE() << "a back end answered";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "no window back end (UsedBackend)");
    }
}
