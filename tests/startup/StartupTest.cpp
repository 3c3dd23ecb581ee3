#include "startup/Startup.h"
#include "base/Errors.h"
#include "dialogs/Attente.h"
#include "dialogs/MessageBox.h"
#include "gfx/TextEngine.h"
#include "gui/Application.h"
#include "gui/Backend.h"
#include "html/pictures/Pictures.h"
#include "installer/ApplicationWait.h"
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
        return [this] {
            return RunWindows{std::make_unique<LoggingDialogs>(platform.Log),
                              std::make_unique<test::RecordingExtractionUi>()};
        };
    }
    MemoryPlatform platform;
    const Install<Platform> installed{platform};
};

} // namespace

TEST_F(Startup, ComBeforeTheMessageWindowAndTheReverseAtShutDown) {
    {
        SharedUnits units(Windows());
        EXPECT_EQ(platform.Log, (std::vector<std::string>{"CoInitialize", "message window"}));
        // The sequence finds the message window start-up made: no second one for its first question.
        ShowHtmlMessage("Question", "?", "Oui#13Non", TColor(0));
        EXPECT_EQ(platform.Log.back(), "message Question");
        EXPECT_NE(&CurrentExtractionUi(), nullptr);
    }
    EXPECT_EQ(platform.Log, (std::vector<std::string>{"CoInitialize", "message window", "message Question",
                                                      "CoUninitialize", "message window gone"}));
    EXPECT_FALSE(Installed<DialogBackend>::Has());
}

// A thread whose COM is in another apartment: start-up goes on, and shut-down leaves COM as it found it.
TEST_F(Startup, ComThatCannotStartIsNotUninitialised) {
    platform.ComStarts = false;
    {
        SharedUnits units(Windows());
        EXPECT_EQ(ShowHtmlMessage("Question", "?", "Oui#13Non", TColor(0)), 1);
    }
    EXPECT_EQ(platform.Log, (std::vector<std::string>{"CoInitialize", "message window", "message Question",
                                                      "message window gone"}));
}

// A test that fails between installing a service and the end of its scope leaves nothing installed.
TEST_F(Startup, AFailedStartUpLeavesNoServiceInstalled) {
    EXPECT_THROW(SharedUnits([]() -> RunWindows { throw InputSourceError("s.ui:1: unknown event"); }),
                 InputSourceError);
    EXPECT_FALSE(Installed<PictureCache>::Has());
    EXPECT_FALSE(Installed<DialogBackend>::Has());
    EXPECT_FALSE(Installed<ExtractionUi>::Has());
}

TEST_F(Startup, ShutDownDestroysTheWaitingWindow) {
    {
        SharedUnits units(Windows());
        WaitForApplicationExit(); // the executable opens at once: no window
        EXPECT_EQ(WaitingWindow(), nullptr);
        platform.Disk.OnCreateFile = [](int call, const AnsiString&) {
            return call > 600 ? 0 : WinError::SharingViolation;
        };
        WaitForApplicationExit();
        ASSERT_NE(WaitingWindow(), nullptr);
        EXPECT_FALSE(WaitingWindow()->Visible());
    }
    EXPECT_EQ(WaitingWindow(), nullptr);
}

TEST_F(Startup, ExitCodesAndTheErrorBox) {
    SharedUnits units(Windows());
    EXPECT_EQ(RunSequence([] {}), 0);
    EXPECT_EQ(RunSequence([] { throw EShortcutError(); }), 1);
    EXPECT_EQ(platform.Log.back(), "error box Erreur d'application: Unable to create .lnk file");
    EXPECT_EQ(RunSequence([] { throw ECompressionError(-3); }), 1);
    EXPECT_EQ(platform.Log.back(), "error box Erreur d'application: Error in compression routine: -3");
    EXPECT_EQ(RunSequence([] { throw std::bad_alloc(); }), 1);
    EXPECT_EQ(platform.Log.back(), "error box Erreur d'application: std::bad_alloc");
    // A faulty ui script is the test harness's fault, not the program's: it goes through, unreported.
    const std::size_t reported = platform.Log.size();
    EXPECT_THROW(RunSequence([] { throw InputSourceError("s.ui:1: unknown event"); }), InputSourceError);
    EXPECT_EQ(platform.Log.size(), reported);
}

// What start-up puts in place is there from start-up to shut-down; asked for outside that time, each
// service says which one is missing instead of answering from a stand-in.
TEST_F(Startup, EveryServiceIsNamedWhenItIsAskedForWithoutBeingInstalled) {
    const auto missing = [](const std::function<void()>& call) -> std::string {
        try {
            call();
        } catch (const std::logic_error& error) {
            return error.what();
        }
        return "installed";
    };
    const auto dialogs = [] { Dialogs(); };
    const auto progress = [] { CurrentExtractionUi(); };
    const auto pictures = [] { Installed<PictureCache>::Get(); };
    EXPECT_EQ(missing(dialogs), "no dialog back end installed (Install<DialogBackend>)");
    EXPECT_EQ(missing(progress), "no progress window installed (Install<ExtractionUi>)");
    EXPECT_EQ(missing(pictures), "no picture cache installed (Install<PictureCache>)");
    {
        SharedUnits units(Windows());
        EXPECT_EQ(missing(dialogs), "installed");
        EXPECT_EQ(missing(progress), "installed");
        EXPECT_EQ(missing(pictures), "installed");
    }
    EXPECT_EQ(missing(dialogs), "no dialog back end installed (Install<DialogBackend>)");
    EXPECT_EQ(missing(progress), "no progress window installed (Install<ExtractionUi>)");
    EXPECT_EQ(missing(pictures), "no picture cache installed (Install<PictureCache>)");
    // The program installs the others itself, before start-up.
    EXPECT_EQ(missing([] { Text(); }), "no text engine installed (Install<TextEngine>)");
    EXPECT_EQ(missing([] { Decoder(); }), "no picture decoder installed (Install<PictureDecoder>)");
    EXPECT_EQ(missing([] { App().Backend(); }), "no window back end installed (Install<WindowBackend>)");
}

// An installation lasts as long as its object, and the one it replaced comes back after, also when an
// exception ends its scope.
TEST(Install, PutsTheServiceInPlaceForItsScopeAndTheOneBeforeBack) {
    EXPECT_FALSE(Installed<Platform>::Has());
    EXPECT_THROW(Os().GetSysColor(SysColor::BtnFace), std::logic_error);
    MemoryPlatform outer;
    MemoryPlatform inner;
    inner.SysColors[SysColor::BtnFace] = TColor(0x123456);
    {
        const Install<Platform> first(outer);
        try {
            const Install<Platform> second(inner);
            EXPECT_EQ(&Os(), &inner);
            EXPECT_EQ(Os().GetSysColor(SysColor::BtnFace), TColor(0x123456));
            throw std::runtime_error("a failing test");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(&Os(), &outer);
    }
    EXPECT_FALSE(Installed<Platform>::Has());
    try {
        Os();
        ADD_FAILURE() << "a platform answered";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "no platform installed (Install<Platform>)");
    }
}
