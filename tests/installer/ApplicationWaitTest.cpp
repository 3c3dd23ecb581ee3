#include "installer/ApplicationWait.h"
#include "dialogs/Attente.h"
#include "dialogs/DialogBackend.h"
#include "installer/InstallerTexts.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace vendora;
using vendora::test::MemoryFileSystem;
using vendora::test::MemoryPlatform;

namespace {

// Dialogs of our own: two window messages wait before every attempt, and the waiting window's life is
// logged next to the file system's calls.
class LoggingDialogs : public DialogBackend {
public:
    explicit LoggingDialogs(std::vector<std::string>& log) : log_(log) {}
    int ShowHtmlMessage(const AnsiString&, const AnsiString&, const AnsiString&, TColor) override {
        return 1;
    }
    std::unique_ptr<TAttente> CreateAttente() override {
        ++Created;
        log_.push_back("create");
        return std::make_unique<LoggingAttente>(log_);
    }
    bool ProcessOneMessage() override {
        if (pending_ == 0) {
            pending_ = 2;
            return false;
        }
        --pending_;
        log_.push_back("message");
        return true;
    }
    // Logged beside the attempts, and passes no time.
    void WaitForMessage(int milliseconds) override {
        log_.push_back("wait");
        Pauses.push_back(milliseconds);
    }
    void ShowErrorBox(const AnsiString&, const AnsiString&) override {}
    int Created = 0;
    std::vector<int> Pauses;

private:
    class LoggingAttente : public TAttente {
    public:
        explicit LoggingAttente(std::vector<std::string>& log) : log_(log) {}
        void Show() override {
            log_.push_back("show");
            TAttente::Show();
        }
        void Hide() override {
            log_.push_back("hide");
            TAttente::Hide();
        }

    private:
        std::vector<std::string>& log_;
    };
    std::vector<std::string>& log_;
    int pending_ = 2;
};

class Wait : public ::testing::Test {
protected:
    void SetUp() override {
        platform.Disk.AddFile("C:\\Vendora\\Vendora.EXE", "application");
        platform.Disk.OnCreateFile = [this](int call, const AnsiString&) {
            log.push_back("open");
            return call >= opensAt ? 0 : WinError::SharingViolation;
        };
    }
    void TearDown() override { ReleaseWaitingWindow(); }
    int Count(const std::string& entry) const {
        return static_cast<int>(std::count(log.begin(), log.end(), entry));
    }

    std::vector<std::string> log;
    int opensAt = 1;
    MemoryPlatform platform;
    LoggingDialogs dialogs{log};
};

} // namespace

TEST_F(Wait, FreeExecutableOpensAtOnceWithoutWindow) {
    WaitForApplicationExit(platform, dialogs);
    EXPECT_EQ(log, (std::vector<std::string>{"message", "message", "open"}));
    EXPECT_EQ(platform.Disk.OpenedPaths(), (std::vector<AnsiString>{"c:\\Vendora\\Vendora.EXE"}));
    EXPECT_EQ(WaitingWindow(), nullptr);
}

TEST_F(Wait, MissingExecutableEndsAtThe499thAttemptWithoutWindow) {
    opensAt = 1000000;
    platform.Disk.DeleteFile("C:\\Vendora\\Vendora.EXE");
    WaitForApplicationExit(platform, dialogs);
    EXPECT_EQ(platform.Disk.Opens.size(), 499u);
    EXPECT_EQ(platform.Disk.FileExistsCalls, 1);
    EXPECT_EQ(Count("message"), 2 * 499);
    EXPECT_EQ(dialogs.Created, 0);
}

TEST_F(Wait, LockedExecutableShowsTheWindowAtThe499thAttemptUntilItOpens) {
    opensAt = 700;
    WaitForApplicationExit(platform, dialogs);
    EXPECT_EQ(platform.Disk.Opens.size(), 700u);
    EXPECT_EQ(dialogs.Created, 1);
    // Messages before every attempt; the window comes up right after attempt 499 and goes after the last.
    const auto window = std::find(log.begin(), log.end(), "create");
    ASSERT_NE(window, log.end());
    EXPECT_EQ(std::count(log.begin(), window, "open"), 499);
    EXPECT_EQ(log.back(), "hide");
    EXPECT_EQ(Count("show"), 1);
    EXPECT_EQ(Count("message"), 2 * 700);
    ASSERT_NE(WaitingWindow(), nullptr);
    EXPECT_EQ(WaitingWindow()->Caption(), WaitingCaption());
    EXPECT_EQ(WaitingWindow()->Label1(), WaitingLabelText());
    EXPECT_FALSE(WaitingWindow()->Visible());
}

TEST_F(Wait, WindowComesUpEvenWhenThe499thAttemptSucceeds) {
    opensAt = 499;
    WaitForApplicationExit(platform, dialogs);
    EXPECT_EQ(platform.Disk.Opens.size(), 499u);
    EXPECT_EQ(dialogs.Created, 1);
    const std::vector<std::string> tail(log.end() - 4, log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"open", "create", "show", "hide"}));
}

TEST_F(Wait, SecondWaitReusesTheWindow) {
    opensAt = 600;
    WaitForApplicationExit(platform, dialogs);
    platform.Disk.Opens.clear();
    WaitForApplicationExit(platform, dialogs);
    EXPECT_EQ(dialogs.Created, 1);
    EXPECT_EQ(Count("show"), 2);
    EXPECT_EQ(Count("hide"), 2);
}

TEST_F(Wait, TheSilentAttemptsFollowOneAnotherAndTheAttemptsWithTheWindowUpWaitForAMessageBetween) {
    opensAt = 650;
    WaitForApplicationExit(platform, dialogs);
    const auto window = std::find(log.begin(), log.end(), "show");
    ASSERT_NE(window, log.end());
    // No wait before the window: it still comes up at once.
    EXPECT_EQ(std::count(log.begin(), window, "wait"), 0);
    // From the 499th attempt on, exactly one wait separates two attempts: the loop sleeps, it does not spin.
    std::vector<std::string> attemptsAndWaits;
    for (auto it = log.begin(); it != log.end(); ++it)
        if (*it == "open" || *it == "wait")
            attemptsAndWaits.push_back(*it);
    const std::vector<std::string> tail(attemptsAndWaits.begin() + 498, attemptsAndWaits.end());
    ASSERT_EQ(tail.size(), 2u * (650 - 499) + 1);
    for (std::size_t i = 0; i < tail.size(); ++i)
        EXPECT_EQ(tail[i], i % 2 == 0 ? "open" : "wait") << i;
    // About a tenth of a second each, and the pumping still comes before every attempt.
    EXPECT_EQ(dialogs.Pauses, std::vector<int>(650 - 499, 100));
    EXPECT_EQ(Count("message"), 2 * 650);
}

TEST_F(Wait, NoWaitWhenTheFileOpensOrIsMissingByThe499thAttempt) {
    opensAt = 499;
    WaitForApplicationExit(platform, dialogs);
    EXPECT_EQ(Count("wait"), 0);
    log.clear();
    opensAt = 1000000;
    platform.Disk.Opens.clear();
    platform.Disk.DeleteFile("C:\\Vendora\\Vendora.EXE");
    WaitForApplicationExit(platform, dialogs);
    EXPECT_EQ(Count("wait"), 0);
}
