#include "installer/Usage.h"

#include "base/Cp1252.h"
#include "installer/ExitCodes.h"
#include "installer/Switches.h"

namespace vendora {

MessageTexts UsageMessage() {
    AnsiString text = Ansi(
        "<B>INSTALL.EXE</B> [/S] [/LOG=fichier] [/WAIT=secondes] [/D=dossier]<P><P>"
        "<B>/S</B> installe ou met à jour sans fenêtre ni question ; Vendora n'est pas lancé à la fin.<P>"
        "<B>/D=dossier</B> le dossier d'installation (C:\\Vendora sans /D=) ; en dernier, il peut contenir "
        "des espaces.<P>"
        "<B>/LOG=fichier</B> le journal de l'installation, en UTF-8 ; avec /S sans /LOG=, il va dans "
        "%TEMP%\\Vendora-install.log.<P>"
        "<B>/WAIT=secondes</B> l'attente d'une mise à jour silencieuse pour que Vendora.EXE se ferme (");
    text += IntToStr(DefaultWaitSeconds) + Ansi(" par défaut) ; ensuite rien n'est changé.<P>");
    text += Ansi("<B>/?</B> cette aide.<P><P><B>Codes de sortie avec /S</B> (sans /S : 0, ou 1 après "
                 "une erreur)<P>");
    for (const ExitCodeRow& row : ExitCodeTable())
        text += IntToStr(static_cast<int>(row.Code)) + " : " + Ansi(row.Meaning) + "<P>";
    return {WaitingCaption(), text, "Ok"};
}

} // namespace vendora
