#pragma once
// The error kinds of the system. Each carries the Windows-1252 text that the error box shows; no code of
// the installer catches them, so the text is what the user reads.

#include "base/Text.h"

#include <exception>

namespace vendora {

class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : message_(std::move(message)) {}
    const AnsiString& Message() const { return message_; }
    // Windows-1252, like Message().
    const char* what() const noexcept override { return message_.c_str(); }

private:
    AnsiString message_;
};

// The I/O error codes of the runtime's own, beyond the system's error codes (platform/Platform.h, WinError),
// which the runtime raises as they are.
namespace IoCode {
inline constexpr int ReadBeyondEnd = 100;
inline constexpr int DiskFull = 101;
} // namespace IoCode

// The runtime's text for an I/O error code: "Fichier introuvable", "Disque plein", "Erreur E/S %d"...
AnsiString InOutErrorText(int code);
// The system's own French description of an error code, as the file-open and file-create errors quote it.
AnsiString SysErrorMessage(int code);

class EInOutError : public Exception {
public:
    explicit EInOutError(int code) : Exception(InOutErrorText(code)), code_(code) {}
    int ErrorCode() const { return code_; }

private:
    int code_;
};

class EStreamError : public Exception {
    using Exception::Exception;
};

// "Impossible de créer le fichier "%s". %s" with the path and the system's reason.
class EFCreateError : public EStreamError {
public:
    EFCreateError(const AnsiString& path, int systemCode);
    int SystemCode() const { return systemCode_; }

private:
    int systemCode_;
};

// "Impossible d'ouvrir le fichier "%s". %s" with the path and the system's reason.
class EFOpenError : public EStreamError {
public:
    EFOpenError(const AnsiString& path, int systemCode);
    int SystemCode() const { return systemCode_; }

private:
    int systemCode_;
};

// "Erreur de lecture du flux"
class EReadError : public EStreamError {
public:
    EReadError();
};

// "Erreur d'écriture dans le flux"
class EWriteError : public EStreamError {
public:
    EWriteError();
};

// "Erreur de vérification d'étendue"
class ERangeError : public Exception {
public:
    ERangeError();
};

// "'%s' n'est pas une valeur entière correcte"
class EConvertError : public Exception {
public:
    using Exception::Exception;
    static EConvertError NotAnInteger(const AnsiString& text);
};

// "Error in compression routine: " followed by the zlib result code.
class ECompressionError : public Exception {
public:
    explicit ECompressionError(int zlibCode);
    // For faults zlib cannot see itself (a size field that disagrees with the stream); the same prefix.
    ECompressionError(int zlibCode, const AnsiString& detail);
    int Code() const { return code_; }

private:
    int code_;
};

// "Unable to create .lnk file"
class EShortcutError : public Exception {
public:
    EShortcutError();
};

} // namespace vendora
