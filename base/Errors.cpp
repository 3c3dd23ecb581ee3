#include "base/Errors.h"

#include "base/Cp1252.h"

#include <initializer_list>

namespace vendora {

namespace {

// Fills the "%s" of a pattern in order; the arguments themselves are never searched.
AnsiString Format(std::string_view utf8Pattern, std::initializer_list<AnsiString> args) {
    const AnsiString pattern = Ansi(utf8Pattern);
    AnsiString out;
    auto arg = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && arg != args.end()) {
            out += *arg++;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace

AnsiString InOutErrorText(int code) {
    switch (code) {
    // The system's own codes (platform/Platform.h names them, WinError) below the runtime's.
    case 2: // file not found
        return Ansi("Fichier introuvable");
    case 3: // path not found
        return Ansi("Nom de fichier incorrect");
    case 4: // too many open files
        return Ansi("Trop de fichiers ouverts");
    case 5: // access denied
        return Ansi("Accès au fichier refusé");
    case IoCode::ReadBeyondEnd:
        return Ansi("Lecture au-delà de la fin de fichier");
    case IoCode::DiskFull:
        return Ansi("Disque plein");
    default:
        return Ansi("Erreur E/S ") + IntToStr(code);
    }
}

AnsiString SysErrorMessage(int code) {
    switch (code) {
    case 2:
        return Ansi("Le fichier spécifié est introuvable.");
    case 3:
        return Ansi("Le chemin d'accès spécifié est introuvable.");
    case 4:
        return Ansi("Le système ne peut pas ouvrir le fichier.");
    case 5:
        return Ansi("Accès refusé.");
    case 32:
        return Ansi("Le processus ne peut pas accéder au fichier car ce fichier est utilisé par un autre "
                    "processus.");
    case 112:
        return Ansi("Espace insuffisant sur le disque.");
    case 123:
        return Ansi("La syntaxe du nom de fichier, de répertoire ou de volume est incorrecte.");
    case 183:
        return Ansi("Impossible de créer un fichier déjà existant.");
    default:
        return Ansi("Erreur système ") + IntToStr(code) + ".";
    }
}

EFCreateError::EFCreateError(const AnsiString& path, int systemCode)
    : EStreamError(Format("Impossible de créer le fichier \"%s\". %s", {path, SysErrorMessage(systemCode)})),
      systemCode_(systemCode) {}

EFOpenError::EFOpenError(const AnsiString& path, int systemCode)
    : EStreamError(Format("Impossible d'ouvrir le fichier \"%s\". %s", {path, SysErrorMessage(systemCode)})),
      systemCode_(systemCode) {}

EReadError::EReadError() : EStreamError(Ansi("Erreur de lecture du flux")) {}

EWriteError::EWriteError() : EStreamError(Ansi("Erreur d'écriture dans le flux")) {}

ERangeError::ERangeError() : Exception(Ansi("Erreur de vérification d'étendue")) {}

EConvertError EConvertError::NotAnInteger(const AnsiString& text) {
    return EConvertError(Format("'%s' n'est pas une valeur entière correcte", {text}));
}

ECompressionError::ECompressionError(int zlibCode)
    : Exception("Error in compression routine: " + IntToStr(zlibCode)), code_(zlibCode) {}

ECompressionError::ECompressionError(int zlibCode, const AnsiString& detail)
    : Exception("Error in compression routine: " + IntToStr(zlibCode) + " (" + detail + ")"),
      code_(zlibCode) {}

EShortcutError::EShortcutError() : Exception("Unable to create .lnk file") {}

} // namespace vendora
