#include "installer/ExitCodes.h"

#include "base/Errors.h"
#include "platform/Platform.h"

#include <array>

namespace vendora {

namespace {

constexpr std::array<ExitCodeRow, 8> Table{{
    {ExitCode::Done, "Vendora installé ou mis à jour"},
    {ExitCode::Error, "une erreur non listée ci-dessous"},
    {ExitCode::CommandLine, "une option de la ligne de commande est incorrecte ; rien n'est fait"},
    {ExitCode::LogNotWritable, "le journal de /LOG= ne peut pas être écrit ; rien n'est fait"},
    {ExitCode::DamagedPayload, "l'archive contenue dans INSTALL.EXE est endommagée ; rien n'est écrit"},
    {ExitCode::StillRunning, "Vendora.EXE tournait encore à la fin de /WAIT= ; rien n'est changé"},
    {ExitCode::DiskFull, "le disque est plein"},
    {ExitCode::AccessDenied, "accès refusé (fichier en lecture seule ou ouvert par un autre programme, "
                             "dossier interdit en écriture)"},
}};

} // namespace

std::span<const ExitCodeRow> ExitCodeTable() {
    return Table;
}

int SystemCodeOf(const std::exception& error) {
    if (const auto* io = dynamic_cast<const EInOutError*>(&error)) {
        if (io->ErrorCode() == IoCode::DiskFull)
            return WinError::DiskFull;
        if (io->ErrorCode() == IoCode::ReadBeyondEnd)
            return WinError::HandleEof;
        return io->ErrorCode();
    }
    if (const auto* create = dynamic_cast<const EFCreateError*>(&error))
        return create->SystemCode();
    if (const auto* open = dynamic_cast<const EFOpenError*>(&error))
        return open->SystemCode();
    return 0;
}

ExitCode ExitCodeOfSystemError(int systemCode) {
    switch (systemCode) {
    case WinError::DiskFull:
    case WinError::HandleDiskFull:
        return ExitCode::DiskFull;
    case WinError::AccessDenied:
    case WinError::WriteProtect:
    case WinError::SharingViolation:
    case WinError::LockViolation:
        return ExitCode::AccessDenied;
    default:
        return ExitCode::Error;
    }
}

ExitCode ExitCodeOf(const std::exception& error) {
    if (dynamic_cast<const EDamagedPayload*>(&error) != nullptr)
        return ExitCode::DamagedPayload;
    return ExitCodeOfSystemError(SystemCodeOf(error));
}

ExitCode ExitCodeOf(const RunOutcome& outcome) {
    switch (outcome.End) {
    case RunEnd::Completed:
        return ExitCode::Done;
    case RunEnd::StillRunning:
        return ExitCode::StillRunning;
    case RunEnd::BackupFailed:
    case RunEnd::ReplacementFailed:
        return ExitCodeOfSystemError(outcome.SystemCode);
    case RunEnd::Declined:
        break;
    }
    return ExitCode::Error;
}

} // namespace vendora
