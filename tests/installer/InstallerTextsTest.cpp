#include "installer/InstallerTexts.h"
#include "base/Cp1252.h"

#include <gtest/gtest.h>

using namespace vendora;

namespace {
const AnsiString Suffix = Ansi("(<I>Version du Mercredi  2/ 6/2010 16h47</I>)");

bool EndsWith(const AnsiString& text, const AnsiString& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
} // namespace

TEST(InstallerTexts, PromptsAskYesNoAndEndWithTheVersion) {
    for (InstallerMessage prompt :
         {InstallerMessage::UpdatePrompt, InstallerMessage::InstallPrompt,
          InstallerMessage::UpdateCompletePrompt, InstallerMessage::InstallCompletePrompt}) {
        const MessageTexts texts = InstallerMessageTexts(prompt);
        EXPECT_TRUE(EndsWith(texts.Text, Suffix)) << texts.Text;
        EXPECT_EQ(texts.Buttons, "Oui#13Non");
    }
    for (InstallerMessage report : {InstallerMessage::FontReport, InstallerMessage::BackupFailureReport,
                                    InstallerMessage::CopyFailureReport}) {
        const MessageTexts texts = InstallerMessageTexts(report);
        EXPECT_FALSE(EndsWith(texts.Text, Suffix));
        EXPECT_EQ(texts.Buttons, "Ok");
    }
}

TEST(InstallerTexts, UpdateAndInstallPromptsByteForByte) {
    const MessageTexts update = InstallerMessageTexts(InstallerMessage::UpdatePrompt);
    EXPECT_EQ(update.Title, "Mise \xe0 jour de Vendora.exe \xa9 morvanel");
    EXPECT_EQ(
        update.Text,
        "Mise \xe0 jour de <B>Vendora.exe \xa9 morvanel</B>.<P>Cette mise \xe0 jour va cr\xe9"
        "er le r\xe9pertoire \"<B>C:\\Vendora\\MAJ</B>\"<P>puis remplacer l'ancien <B>Vendora.exe</B> par "
        "le nouveau.<P><P>L'ancien sera d'abord renom\xe9 \"<B>ex_Vendora.exe</B>\".<P><P><FONT COLOR=#FF "
        "SIZE=15>Voulez-vous lancer la <U>mise \xe0 jour</U> de <B>Vendora.exe</B> ?</FONT><P><P>(<I>"
        "Version du Mercredi  2/ 6/2010 16h47</I>)");
    const MessageTexts install = InstallerMessageTexts(InstallerMessage::InstallPrompt);
    EXPECT_EQ(install.Title, "Installation de Vendora.exe \xa9 morvanel");
    EXPECT_EQ(
        install.Text,
        "Installation de <B>Vendora.exe \xa9 morvanel</B>.<P>Cette installation va cr\xe9"
        "er le r\xe9pertoire \"<B>C:\\Vendora</B>\" et y copier tous les fichiers n\xe9"
        "cessaires \xe0 <B>Vendora.exe</B>.<P><P>Rien d'autre ne sera copi\xe9 ailleurs, \xe0 l'exception "
        "du raccourci sur le bureau.<P><P><FONT COLOR=#FF SIZE=15>Voulez-vous lancer l'<U>installation</U> "
        "de <B>Vendora.exe</B> ?</FONT><P><P>(<I>Version du Mercredi  2/ 6/2010 16h47</I>)");
}

TEST(InstallerTexts, ReportsByteForByte) {
    const MessageTexts font = InstallerMessageTexts(InstallerMessage::FontReport);
    EXPECT_EQ(font.Title, "C:\\Vendora\\Starmath.ttf");
    EXPECT_EQ(font.Text, "La police C:\\Vendora\\Starmath.ttf n'a pas pu \xeatre copi\xe9"
                         "e<P><P>Vous devrez le faire \"\xe0 la main\"<P><P><I>Cela n'emp\xea"
                         "chera pas le logiciel de fonctionner</I>");
    const MessageTexts backup = InstallerMessageTexts(InstallerMessage::BackupFailureReport);
    EXPECT_EQ(backup.Title, "Mise \xe0 jour Vendora.exe \xa9 morvanel");
    EXPECT_EQ(backup.Text,
              "Mise \xe0 jour <B>Vendora.exe \xa9 morvanel</B>La mise \xe0 jour de <B>Vendora.exe "
              "\xa9 morvanel</B> a \xe9"
              "chou\xe9<P><P>La copie de sauvegarde \xe0 \xe9"
              "chou\xe9 pour une raison inconnue <P>T\xe9l\xe9phonez au 04 65 71 12 34");
    const MessageTexts copy = InstallerMessageTexts(InstallerMessage::CopyFailureReport);
    EXPECT_EQ(copy.Title, backup.Title);
    EXPECT_EQ(copy.Text, "La mise \xe0 jour de <B>Vendora.exe \xa9 morvanel</B> a \xe9"
                         "chou\xe9\r\rLa copie \xe0 \xe9"
                         "chou\xe9 pour une raison inconnue \rT\xe9l\xe9phonez au 04 65 71 12 34");
}

TEST(InstallerTexts, CompletionPromptsByteForByte) {
    const MessageTexts update = InstallerMessageTexts(InstallerMessage::UpdateCompletePrompt);
    EXPECT_EQ(update.Title, "Mise \xe0 jour Vendora.exe \xa9 morvanel");
    EXPECT_EQ(update.Text,
              "La mise \xe0 jour de <B>Vendora.exe \xa9 morvanel</B> est termin\xe9"
              "e<P><P><FONT COLOR=#FF SIZE=15>Voulez-vous lancer <B>Vendora.exe</B> tout de suite "
              "?</FONT><P><P>(<I>Version du Mercredi  2/ 6/2010 16h47</I>)");
    const MessageTexts install = InstallerMessageTexts(InstallerMessage::InstallCompletePrompt);
    EXPECT_EQ(install.Title, "Installation de Vendora.exe \xa9 morvanel");
    EXPECT_EQ(install.Text,
              "L'installation de <B>Vendora.exe \xa9 morvanel</B> est termin\xe9"
              "e<P><P>Cette installation a cr\xe9\xe9 un raccourci sur le bureau qui vous permetra "
              "de le lancer.<P><P><FONT COLOR=#FF SIZE=15>Voulez-vous lancer <B>Vendora.exe</B> tout "
              "de suite ?</FONT><P><P>(<I>Version du Mercredi  2/ 6/2010 16h47</I>)");
}

TEST(InstallerTexts, WaitingWindow) {
    EXPECT_EQ(WaitingCaption(), "Installateur de Vendora.EXE \xa9 Morvanel");
    EXPECT_EQ(WaitingLabelText(),
              "\rINSTALL.EXE a d\xe9"
              "cel\xe9 que Vendora.EXE est en cours d'execution. Pour poursuivre l'installation vous devez "
              "arr\xeater Vendora.EXE\rSi ce n'\xe9tait pas le cas interrompez \"INSTALL.EXE\" en pressant "
              "<Ctrl><Alt><Suppr>");
}
