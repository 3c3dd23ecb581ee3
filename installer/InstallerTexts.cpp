#include "installer/InstallerTexts.h"

#include "base/Cp1252.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vendora {

namespace {

struct Row {
    InstallerMessage Message;
    std::string_view Title;
    std::string_view Text; // the prompts' prefix, to which the version text is added
    std::string_view Buttons;
    bool Prompt;
};

constexpr std::string_view YesNo = "Oui#13Non";
constexpr std::string_view Ok = "Ok";
constexpr std::string_view UpdateTitle = "Mise à jour Vendora.exe © morvanel";
constexpr std::string_view InstallTitle = "Installation de Vendora.exe © morvanel";

// The copy failure report breaks its lines with carriage returns rather than markup; the message window
// turns them into paragraphs.
constexpr std::string_view CopyFailureText = "La mise à jour de <B>Vendora.exe © morvanel</B> a échoué\r\r"
                                             "La copie à échoué pour une raison inconnue \r"
                                             "Téléphonez au 04 65 71 12 34";

constexpr std::array<Row, 7> Table = {{
    {InstallerMessage::UpdatePrompt, "Mise à jour de Vendora.exe © morvanel",
     "Mise à jour de <B>Vendora.exe © morvanel</B>.<P>Cette mise à jour va créer le répertoire "
     "\"<B>C:\\Vendora\\MAJ</B>\"<P>puis remplacer l'ancien <B>Vendora.exe</B> par le nouveau.<P><P>"
     "L'ancien sera d'abord renomé \"<B>ex_Vendora.exe</B>\".<P><P><FONT COLOR=#FF SIZE=15>Voulez-vous "
     "lancer la <U>mise à jour</U> de <B>Vendora.exe</B> ?</FONT><P><P>(<I>",
     YesNo, true},
    {InstallerMessage::InstallPrompt, InstallTitle,
     "Installation de <B>Vendora.exe © morvanel</B>.<P>Cette installation va créer le répertoire "
     "\"<B>C:\\Vendora</B>\" et y copier tous les fichiers nécessaires à <B>Vendora.exe</B>.<P><P>Rien "
     "d'autre ne sera copié ailleurs, à l'exception du raccourci sur le bureau.<P><P><FONT COLOR=#FF "
     "SIZE=15>Voulez-vous lancer l'<U>installation</U> de <B>Vendora.exe</B> ?</FONT><P><P>(<I>",
     YesNo, true},
    {InstallerMessage::FontReport, "C:\\Vendora\\Starmath.ttf",
     "La police C:\\Vendora\\Starmath.ttf n'a pas pu être copiée<P><P>Vous devrez le faire \"à la "
     "main\"<P><P><I>Cela n'empêchera pas le logiciel de fonctionner</I>",
     Ok, false},
    {InstallerMessage::BackupFailureReport, UpdateTitle,
     "Mise à jour <B>Vendora.exe © morvanel</B>La mise à jour de <B>Vendora.exe © morvanel</B> a "
     "échoué<P><P>La copie de sauvegarde à échoué pour une raison inconnue <P>Téléphonez au 04 65 71 12 34",
     Ok, false},
    {InstallerMessage::CopyFailureReport, UpdateTitle, CopyFailureText, Ok, false},
    {InstallerMessage::UpdateCompletePrompt, UpdateTitle,
     "La mise à jour de <B>Vendora.exe © morvanel</B> est terminée<P><P><FONT COLOR=#FF "
     "SIZE=15>Voulez-vous lancer <B>Vendora.exe</B> tout de suite ?</FONT><P><P>(<I>",
     YesNo, true},
    {InstallerMessage::InstallCompletePrompt, InstallTitle,
     "L'installation de <B>Vendora.exe © morvanel</B> est terminée<P><P>Cette installation a créé un "
     "raccourci sur le bureau qui vous permetra de le lancer.<P><P><FONT COLOR=#FF SIZE=15>Voulez-vous "
     "lancer <B>Vendora.exe</B> tout de suite ?</FONT><P><P>(<I>",
     YesNo, true},
}};

} // namespace

AnsiString VersionText() {
    return Ansi("Version du Mercredi  2/ 6/2010 16h47");
}

MessageTexts InstallerMessageTexts(InstallerMessage message) {
    for (const Row& row : Table) {
        if (row.Message != message)
            continue;
        AnsiString text = Ansi(row.Text);
        if (row.Prompt)
            text += VersionText() + "</I>)";
        return {Ansi(row.Title), text, Ansi(row.Buttons)};
    }
    return {};
}

AnsiString TargetTooLongText(const AnsiString& archivePath) {
    return Ansi("Le dossier d'installation est trop long : le chemin de l'archive \"") + archivePath +
           Ansi("\" dépasse 255 caractères. Choisissez un dossier au nom plus court ; rien n'a été écrit.");
}

AnsiString PlainText(const AnsiString& markup) {
    AnsiString text = markup;
    ReplaceAll("#13", "\r", text, true);
    ReplaceAll("<P>", "\r", text, false);
    AnsiString plain;
    bool inTag = false;
    for (const char c : text) {
        if (c == '<' && !inTag)
            inTag = true;
        else if (c == '>' && inTag)
            inTag = false;
        else if (!inTag)
            plain += c;
    }
    AnsiString joined;
    std::size_t start = 0;
    while (start <= plain.size()) {
        const std::size_t end = std::min(plain.find('\r', start), plain.size());
        const AnsiString part = TrimSpaces(std::string_view(plain).substr(start, end - start));
        if (!part.empty())
            joined += (joined.empty() ? "" : " / ") + part;
        start = end + 1;
    }
    return joined;
}

AnsiString WaitingCaption() {
    return Ansi("Installateur de Vendora.EXE © Morvanel");
}

AnsiString WaitingLabelText() {
    return Ansi("\rINSTALL.EXE a décelé que Vendora.EXE est en cours d'execution. Pour poursuivre "
                "l'installation vous devez arrêter Vendora.EXE\rSi ce n'était pas le cas interrompez "
                "\"INSTALL.EXE\" en pressant <Ctrl><Alt><Suppr>");
}

} // namespace vendora
