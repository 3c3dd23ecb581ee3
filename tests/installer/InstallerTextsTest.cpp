// What a person reads in the installer's messages: each laid out as the message window lays it out (441
// pixels wide from 20), with a fixed-width stand-in for the window's font, and read back word by word in
// reading order, with what stands out (bold, blue, italics). The pixels themselves are the reference
// pictures' business.
#include "installer/InstallerTexts.h"

#include "base/Cp1252.h"
#include "gfx/Canvas.h"
#include "html/DrawHtml.h"
#include "html/pictures/Pictures.h"
#include "tests/support/FixedTextEngine.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <sstream>

namespace vendora {
namespace {

constexpr int Left = 20;
constexpr int Width = 441;

struct Reading {
    std::string All;                // every word, one blank between words and " | " between lines (UTF-8)
    std::string Bold, Blue, Italic; // the words drawn so, one blank between them
    bool Fits = true;               // every word within the window's width
    bool MarkupShows = false;       // a word holding '<' or '>'
};

void Append(std::string& to, const std::string& word, const char* separator = " ") {
    to += (to.empty() ? "" : separator) + word;
}

Reading Read(const AnsiString& text) {
    test::MemoryPlatform machine;
    PictureCache pictures;
    test::FixedTextEngine engine(test::TextShape::Invisible);
    Bitmap surface(Left * 2 + Width, 800);
    Canvas canvas(surface, engine, machine);
    DrawHtml(canvas, HtmlHost{&pictures, PictureServices{machine.Files(), engine}}, Left, 5, Width, text,
             clWhite);

    // Every run, blanks included, so that a word split across runs (a bold name and its full stop) reads
    // as one.
    std::vector<test::DrawnText> runs = engine.Drawn;
    std::stable_sort(runs.begin(), runs.end(),
                     [](const auto& a, const auto& b) { return a.Y != b.Y ? a.Y < b.Y : a.X < b.X; });
    Reading reading;
    std::string line;
    const auto endLine = [&] {
        std::istringstream words(line);
        std::string joined;
        for (std::string word; words >> word;)
            Append(joined, word);
        if (!joined.empty())
            Append(reading.All, joined, " | ");
        line.clear();
    };
    const int advance = engine.Shape.Advance;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const test::DrawnText& run = runs[i];
        if (i > 0 && run.Y != runs[i - 1].Y)
            endLine();
        const std::string text = AnsiToUtf8(run.Text);
        line += text;
        const std::size_t inked = run.Text.find_last_not_of(' ') + 1; // the blank after a word may overhang
        // An italic run starts a pixel early, where its slant leans back.
        const int start = run.Font.Italic ? Left - 1 : Left;
        reading.Fits =
            reading.Fits && run.X >= start && run.X + advance * static_cast<int>(inked) <= Left + Width;
        reading.MarkupShows = reading.MarkupShows || text.find_first_of("<>") != std::string::npos;
        std::istringstream words(text);
        for (std::string word; words >> word;) {
            if (run.Font.Bold)
                Append(reading.Bold, word);
            if (run.Color == clBlue)
                Append(reading.Blue, word);
            if (run.Font.Italic)
                Append(reading.Italic, word);
        }
    }
    endLine();
    return reading;
}

const InstallerMessage Prompts[] = {InstallerMessage::UpdatePrompt, InstallerMessage::InstallPrompt,
                                    InstallerMessage::UpdateCompletePrompt,
                                    InstallerMessage::InstallCompletePrompt};
const InstallerMessage Reports[] = {InstallerMessage::FontReport, InstallerMessage::BackupFailureReport,
                                    InstallerMessage::CopyFailureReport};

TEST(InstallerTexts, NoMarkupShowsAndEveryWordFitsTheWindow) {
    for (const std::span<const InstallerMessage> group :
         {std::span<const InstallerMessage>(Prompts), std::span<const InstallerMessage>(Reports)}) {
        for (InstallerMessage message : group) {
            const Reading reading = Read(InstallerMessageTexts(message).Text);
            EXPECT_FALSE(reading.All.empty());
            EXPECT_FALSE(reading.MarkupShows) << reading.All;
            EXPECT_TRUE(reading.Fits) << reading.All;
        }
    }
}

TEST(InstallerTexts, PromptsAskInBlueForYesOrNoAndEndWithTheVersionInItalics) {
    const std::string version = "Version du Mercredi 2/ 6/2010 16h47";
    for (InstallerMessage prompt : Prompts) {
        const MessageTexts texts = InstallerMessageTexts(prompt);
        const Reading reading = Read(texts.Text);
        EXPECT_EQ(reading.Blue.rfind("Voulez-vous lancer ", 0), 0u) << reading.Blue;
        EXPECT_EQ(reading.Blue.back(), '?') << reading.Blue;
        EXPECT_TRUE(reading.All.ends_with(" | (" + version + ")")) << reading.All;
        EXPECT_EQ(reading.Italic, version);
        EXPECT_EQ(texts.Buttons, "Oui#13Non");
    }
    for (InstallerMessage report : Reports) {
        const Reading reading = Read(InstallerMessageTexts(report).Text);
        EXPECT_EQ(reading.Blue, "");
        EXPECT_EQ(reading.All.find("Version"), std::string::npos) << reading.All;
        EXPECT_EQ(InstallerMessageTexts(report).Buttons, "Ok");
    }
}

TEST(InstallerTexts, EachMessageSaysWhatHappensAndWhere) {
    const Reading update = Read(InstallerMessageTexts(InstallerMessage::UpdatePrompt).Text);
    EXPECT_NE(update.All.find("va créer le répertoire \"C:\\Vendora\\MAJ\""), std::string::npos)
        << update.All;
    EXPECT_NE(update.Bold.find("ex_Vendora.exe"), std::string::npos) << update.Bold;
    EXPECT_NE(update.Blue.find("mise à jour"), std::string::npos) << update.Blue;

    const Reading install = Read(InstallerMessageTexts(InstallerMessage::InstallPrompt).Text);
    EXPECT_NE(install.Bold.find("C:\\Vendora"), std::string::npos) << install.Bold;
    EXPECT_NE(install.All.find("à l'exception du raccourci sur le"), std::string::npos) << install.All;
    EXPECT_NE(install.Blue.find("installation"), std::string::npos) << install.Blue;

    const Reading done = Read(InstallerMessageTexts(InstallerMessage::InstallCompletePrompt).Text);
    EXPECT_EQ(done.Blue, "Voulez-vous lancer Vendora.exe tout de suite ?");

    const Reading font = Read(InstallerMessageTexts(InstallerMessage::FontReport).Text);
    EXPECT_EQ(InstallerMessageTexts(InstallerMessage::FontReport).Title, "C:\\Vendora\\Starmath.ttf");
    EXPECT_EQ(font.All.rfind("La police C:\\Vendora\\Starmath.ttf n'a pas pu être copiée | ", 0), 0u)
        << font.All;
    EXPECT_EQ(font.Italic, "Cela n'empêchera pas le logiciel de fonctionner");

    for (InstallerMessage failure :
         {InstallerMessage::BackupFailureReport, InstallerMessage::CopyFailureReport}) {
        const Reading reading = Read(InstallerMessageTexts(failure).Text);
        EXPECT_NE(reading.All.find("a échoué"), std::string::npos) << reading.All;
        EXPECT_NE(reading.All.find("pour une raison inconnue"), std::string::npos) << reading.All;
        EXPECT_TRUE(reading.All.ends_with("Téléphonez au 04 65 71 12 34")) << reading.All;
    }
}

} // namespace
} // namespace vendora
