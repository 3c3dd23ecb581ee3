#include "startup/Startup.h"

#include "base/Cp1252.h"
#include "base/Errors.h"
#include "dialogs/ErrorBox.h"
#include "dialogs/MessageBox.h"
#include "dialogs/SilentDialogs.h"
#include "gui/Backend.h"
#include "installer/ApplicationWait.h"
#include "installer/ExitCodes.h"
#include "installer/Installer.h"
#include "installer/Usage.h"
#include "platform/Platform.h"

#include <cstdio>

namespace vendora {

SharedUnits::SharedUnits(const WindowFactory& createWindows)
    : comOwed_(Os().CoInitialize()), picturesInstalled_(pictures_), windows_(createWindows()),
      dialogsInstalled_(*windows_.Dialogs), progressInstalled_(*windows_.Progress) {}

// The windows go last, with the members, once the installations of their interfaces are undone.
SharedUnits::~SharedUnits() {
    pictures_.Release();
    if (comOwed_)
        Os().CoUninitialize();
    ReleaseWaitingWindow();
}

int ShowUncaughtError(const std::exception& error) {
    // Exception::what() is the Windows-1252 text, like Message().
    try {
        ShowApplicationError(Dialogs(), error.what());
    } catch (const std::exception&) {
        // Piece by piece: nothing to allocate, and no formatting code in the Windows program.
        std::fputs(ApplicationErrorTitle().c_str(), stderr);
        std::fputs(": ", stderr);
        std::fputs(error.what(), stderr);
        std::fputc('\n', stderr);
    }
    return 1;
}

int RunSequence(const std::function<void()>& sequence) {
    try {
        sequence();
        return 0;
    } catch (const InputSourceError&) {
        throw;
    } catch (const std::exception& error) {
        return ShowUncaughtError(error);
    }
}

ProgramRun::ProgramRun(const AnsiString& commandLine) : switches_(ReadSwitches(commandLine)) {
    // /LOG alone, or a silent run without /LOG=, logs to the temporary folder.
    const bool named = switches_.Log && !switches_.Log->empty();
    if (!switches_.Log && !switches_.Silent)
        return;
    const AnsiString path = named ? *switches_.Log : DefaultLogPath(Os());
    const FileStatus opened = log_.Open(Os().Files(), path, [] { return Os().Now(); });
    if (!opened && switches_.Log) {
        const int error = opened.Error();
        logFault_ = Ansi("Le journal ") + path + Ansi(" ne peut pas être écrit : ") + SysErrorMessage(error) +
                    WindowsCodeText(error);
        // A silent run says it by its code alone, before start-up; a run with windows, in the error box.
        if (switches_.Silent)
            earlyExit_ = static_cast<int>(ExitCode::LogNotWritable);
    }
    log_.Line(Ansi("Ligne de commande : ") + commandLine);
    log_.Line(switches_.Silent ? Ansi("Mode : silencieux (/S), toute question acceptée")
                               : Ansi("Mode : avec fenêtres"));
}

WindowFactory ProgramRun::Windows(const WindowFactory& forPeople) const {
    if (!switches_.Silent)
        return forPeople;
    return [] {
        return RunWindows{std::make_unique<SilentDialogs>(Os()), std::make_unique<SilentExtractionUi>()};
    };
}

int ProgramRun::End(int code) {
    log_.Line(Ansi("Fin : code de sortie ") + IntToStr(code));
    return code;
}

// A bad switch or an unwritable log: nothing is done.
int ProgramRun::Refuse(const AnsiString& fault, int silentCode) {
    log_.Line(Ansi("Erreur : ") + fault);
    if (switches_.Silent)
        return End(silentCode);
    return End(ShowUncaughtError(Exception(fault)));
}

int ProgramRun::ShowUsage() {
    const MessageTexts usage = UsageMessage();
    // No window in a silent run: the usage goes to the log alone.
    if (switches_.Silent)
        log_.Line(Ansi("Aide : ") + PlainText(usage.Text));
    else
        ShowHtmlMessage(Dialogs(), usage.Title, usage.Text, usage.Buttons, TColor(0));
    return End(0);
}

int ProgramRun::Install() {
    try {
        const RunOutcome outcome = RunInstaller(switches_, log_);
        return End(switches_.Silent ? static_cast<int>(ExitCodeOf(outcome)) : 0);
    } catch (const InputSourceError&) {
        throw;
    } catch (const std::exception& error) {
        const int code = SystemCodeOf(error);
        log_.Line(ApplicationErrorTitle() + " : " + error.what() +
                  (code != 0 ? WindowsCodeText(code) : AnsiString()));
        return End(switches_.Silent ? static_cast<int>(ExitCodeOf(error)) : ShowUncaughtError(error));
    }
}

int ProgramRun::Run() {
    if (earlyExit_)
        return *earlyExit_;
    if (!logFault_.empty())
        return Refuse(logFault_, static_cast<int>(ExitCode::LogNotWritable));
    if (switches_.Help)
        return ShowUsage();
    if (!switches_.Fault.empty())
        return Refuse(switches_.Fault, static_cast<int>(ExitCode::CommandLine));
    return Install();
}

} // namespace vendora
