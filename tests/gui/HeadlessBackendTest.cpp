// The back end without a display: the script's language, when its events are taken, clicks by name or
// caption, waits, snapshots and the window records.
#include "base/Cp1252.h"
#include "tests/support/WindowTest.h"

#include "gui/SpeedButton.h"
#include <filesystem>

namespace vendora::test {
namespace {

using HeadlessBackendTest = WindowTest;

TEST(InputScriptTest, ReadsEveryEventAndRejectsMistypedLinesWithTheirPlace) {
    InputScript script = InputScript::Parse("# comment\n\nkey Return\r\nchar  \nchar é\nclick Interrompre\n"
                                            "close\nsnapshot début\nwait Déconcaténation\nmove 12 -3\npress\n"
                                            "release\n",
                                            "s.ui");
    std::vector<std::string> verbs;
    while (auto event = script.Next()) {
        verbs.push_back(event->Verb);
        if (event->Verb == "char" && verbs.size() == 2) {
            EXPECT_EQ(event->Argument, " ");
        }
        if (event->Verb == "move") {
            EXPECT_EQ(event->X, 12);
            EXPECT_EQ(event->Y, -3);
        }
        if (event->Verb == "key") {
            EXPECT_EQ(event->Line, 3);
            EXPECT_EQ(event->Argument, "Return"); // a Windows line end is no part of it
        }
    }
    EXPECT_EQ(verbs, (std::vector<std::string>{"key", "char", "char", "click", "close", "snapshot", "wait",
                                               "move", "press", "release"}));
    for (const char* bad : {"key Nothing", "char ab", "click", "close now", "move 1", "move a b", "jump"}) {
        try {
            InputScript::Parse(std::string("key Return\n") + bad + "\n", "s.ui");
            ADD_FAILURE() << bad;
        } catch (const InputScriptError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("s.ui:2: ", 0), 0u) << error.what();
        }
    }
    EXPECT_THROW(InputScript::Load("/nonexistent/ui.script"), InputScriptError);
}

TEST(InputScriptTest, KeyNamesGiveTheirVirtualKeyAndCharacter) {
    EXPECT_EQ(KeyFromName("Return")->VirtualKey, VirtualKey::Return);
    EXPECT_EQ(KeyFromName("Return")->Character, '\r');
    EXPECT_EQ(KeyFromName("Escape")->Character, 27);
    EXPECT_EQ(KeyFromName("o")->VirtualKey, 'O');
    EXPECT_EQ(KeyFromName("o")->Character, 'o');
    EXPECT_EQ(KeyFromName("F1")->Character, 0);
    EXPECT_FALSE(KeyFromName("F0"));
}

TEST_F(HeadlessBackendTest, EachPumpTakesAtMostOneEventAndAModalLoopTakesThemUntilItEnds) {
    UseScript("wait Fen\nchar a\nchar b\nchar c\nchar d\n");
    Form form(App());
    form.SetCaption("Fenetre");
    std::string typed;
    form.OnKeyPress = [&](Form& f, char& key) {
        typed += key;
        if (key == 'c')
            f.SetModalResult(ModalResult::Ok);
    };
    form.Show();
    App().ProcessMessages();
    EXPECT_EQ(typed, "a");
    App().ProcessMessages();
    EXPECT_EQ(typed, "ab");
    form.Hide();
    EXPECT_EQ(form.ShowModal(), ModalResult::Ok);
    EXPECT_EQ(typed, "abc");
    App().ProcessMessages(); // the waited window is gone: the event stays for a later window
    EXPECT_EQ(typed, "abc");
    EXPECT_FALSE(backend_->Script().AtEnd());
}

TEST_F(HeadlessBackendTest, AKeyTypesItsCharacterAtTheNextMessage) {
    UseScript("wait F\nkey a\n");
    Form form(App());
    form.SetCaption("F");
    std::string seen;
    form.OnKeyDown = [&](Form&, int& key) { seen += "down" + std::to_string(key) + " "; };
    form.OnKeyPress = [&](Form&, char& key) { seen += std::string("press ") + key; };
    form.Show();
    App().ProcessMessages();
    EXPECT_EQ(seen, "down65 ");
    App().ProcessMessages();
    EXPECT_EQ(seen, "down65 press a");
}

TEST_F(HeadlessBackendTest, WaitHoldsTheScriptUntilAWindowWithThatCaptionIsVisible) {
    UseScript("wait Déconcaténation\nchar x\n");
    Form form(App());
    std::string typed;
    form.OnKeyPress = [&](Form&, char& key) { typed += key; };
    form.SetCaption("Autre");
    form.Show();
    App().ProcessMessages();
    EXPECT_EQ(typed, "");
    form.SetCaption(Ansi("Déconcaténation de C:\\Vendora\\Vendora.CTN"));
    App().ProcessMessages();
    EXPECT_EQ(typed, "x");
}

TEST_F(HeadlessBackendTest, WithoutAWaitPumpsLeaveTheEventsToTheNextModalWindow) {
    UseScript("char a\nwait Autre\nchar b\n");
    Form form(App());
    form.SetCaption("Autre");
    std::string typed;
    form.OnKeyPress = [&](Form&, char& key) { typed += key; };
    form.Show();
    App().ProcessMessages();
    App().ProcessMessages();
    EXPECT_EQ(typed, "");
    form.Hide();
    Form modal(App());
    modal.OnKeyPress = [&](Form& f, char& key) {
        typed += key;
        f.SetModalResult(ModalResult::Ok);
    };
    modal.ShowModal();
    EXPECT_EQ(typed, "a");
    // The waited window is hidden: the gate stays shut until it shows again.
    App().ProcessMessages();
    EXPECT_EQ(typed, "a");
    form.Show();
    App().ProcessMessages();
    App().ProcessMessages();
    EXPECT_EQ(typed, "ab");
}

TEST_F(HeadlessBackendTest, AWaitThatAModalWindowCanNeverMeetIsAnError) {
    UseScript("wait Jamais\n");
    Form form(App());
    EXPECT_THROW(form.ShowModal(), InputScriptError);
}

TEST_F(HeadlessBackendTest, ClicksFindControlsByNameOrCaptionAndSkipDisabledWindows) {
    UseScript("wait Progr\nclick Interrompre\nclick B1\nwait Progr\nclick Nulle\n");
    Form back(App());
    back.SetCaption("Progression");
    auto* interrupt = new SpeedButton(&back);
    interrupt->SetParent(&back);
    interrupt->SetCaption("Interrompre");
    interrupt->SetName("SpeedButton1");
    int interrupts = 0;
    interrupt->OnClick = [&](Control&) { ++interrupts; };
    back.Show();
    App().ProcessMessages();
    EXPECT_EQ(interrupts, 1);

    Form modal(App());
    auto* b1 = new SpeedButton(&modal);
    b1->SetParent(&modal);
    b1->SetName("B1");
    b1->SetCaption("&Ok");
    b1->SetBounds(20, 20, 135, 27);
    b1->OnClick = [&](Control&) { modal.SetModalResult(ModalResult::Ok); };
    EXPECT_EQ(modal.ShowModal(), ModalResult::Ok);
    // The observer hears of the clicks with the forms they went to, not of the waits.
    EXPECT_EQ(inputs_, (std::vector<std::pair<std::string, Form*>>{{"click Interrompre", &back},
                                                                   {"click B1", &modal}}));
    EXPECT_THROW(App().ProcessMessages(), InputScriptError);
}

TEST_F(HeadlessBackendTest, SnapshotsPictureEveryVisibleWindowInOrder) {
    InputScript script = InputScript::Parse("snapshot première\nkey Escape\n");
    std::vector<std::pair<std::string, int>> saved;
    HeadlessBackend::Options options;
    options.SnapshotFolder = "/tmp/snaps";
    options.SavePng = [&](const Bitmap& bitmap, const std::string& path) {
        saved.emplace_back(path, bitmap.Width());
    };
    HeadlessBackend snapshots(std::move(script), options);
    const UsedBackend installed(App(), snapshots);
    Form progress(App());
    progress.SetCaption(Ansi("Déconcaténation"));
    progress.SetClientSize(606, 156);
    progress.Show();
    Form message(App());
    message.SetCaption("Question ?");
    message.SetClientSize(481, 100);
    message.OnKeyDown = [](Form& f, int&) { f.SetModalResult(ModalResult::Ok); };
    message.ShowModal();
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[0].first,
              (std::filesystem::path("/tmp/snaps") / "001-modal-D_concat_nation.png").string());
    EXPECT_EQ(saved[0].second, 606);
    EXPECT_EQ(saved[1].first, (std::filesystem::path("/tmp/snaps") / "002-modal-Question.png").string());
    EXPECT_EQ(saved[1].second, 481);
    EXPECT_EQ(saved[2].first,
              (std::filesystem::path("/tmp/snaps") / "003-premi_re-D_concat_nation.png").string());
    EXPECT_EQ(saved[3].first, (std::filesystem::path("/tmp/snaps") / "004-premi_re-Question.png").string());
}

TEST_F(HeadlessBackendTest, RecordsNameTheCaptionAndTheTextsOfVisibleControls) {
    Form form(App());
    form.SetCaption("Titre");
    auto* named = new SpeedButton(&form);
    named->SetParent(&form);
    named->SetName("B1");
    named->SetCaption("&Oui");
    auto* hidden = new SpeedButton(&form);
    hidden->SetParent(&form);
    hidden->SetName("B2");
    hidden->SetCaption("&Non");
    hidden->SetVisible(false);
    form.Show();
    ASSERT_EQ(records_.size(), 1u);
    EXPECT_EQ(records_[0].Kind, "window show");
    EXPECT_EQ(records_[0].Fields,
              (std::vector<std::pair<std::string, AnsiString>>{{"caption", "Titre"}, {"B1", "&Oui"}}));
}

} // namespace
} // namespace vendora::test
