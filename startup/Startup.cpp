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

SharedUnits::SharedUnits(Platform& machine, const WindowFactory& createWindows)
    : machine_(machine), comOwed_(machine.CoInitialize()), windows_(createWindows(pictures_)) {}

// The windows go last, with the members.
SharedUnits::~SharedUnits() {
    pictures_.Release();
    if (comOwed_)
        machine_.CoUninitialize();
    ReleaseWaitingWindow();
}

int ShowUncaughtError(DialogBackend& dialogs, const std::exception& error) {
    // Exception::what() is the Windows-1252 text, like Message().
    try {
        ShowApplicationError(dialogs, error.what());
    } catch (const std::exception&) {
        // Piece by piece: nothing to allocate, and no formatting code in the Windows program.
        std::fputs(ApplicationErrorTitle().c_str(), stderr);
        std::fputs(": ", stderr);
        std::fputs(error.what(), stderr);
        std::fputc('\n', stderr);
    }
    return 1;
}

int RunSequence(DialogBackend& dialogs, const std::function<void()>& sequence) {
    try {
        sequence();
        return 0;
    } catch (const InputSourceError&) {
        throw;
    } catch (const std::exception& error) {
        return ShowUncaughtError(dialogs, error);
    }
}

ProgramRun::ProgramRun(Platform& machine, const AnsiString& commandLine)
    : machine_(machine), switches_(ReadSwitches(commandLine)) {
    // /LOG alone, or a silent run without /LOG=, logs to the temporary folder.
    const bool named = switches_.Log && !switches_.Log->empty();
    if (!switches_.Log && !switches_.Silent)
        return;
    const AnsiString path = named ? *switches_.Log : DefaultLogPath(machine_);
    const FileStatus opened = log_.Open(machine_, path);
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
    return [&machine = machine_](PictureCache&) {
        return RunWindows{std::make_unique<SilentDialogs>(machine), std::make_unique<SilentExtractionUi>()};
    };
}

int ProgramRun::End(int code) {
    log_.Line(Ansi("Fin : code de sortie ") + IntToStr(code));
    return code;
}

// A bad switch or an unwritable log: nothing is done.
int ProgramRun::Refuse(DialogBackend& dialogs, const AnsiString& fault, int silentCode) {
    log_.Line(Ansi("Erreur : ") + fault);
    if (switches_.Silent)
        return End(silentCode);
    return End(ShowUncaughtError(dialogs, Exception(fault)));
}

int ProgramRun::ShowUsage(DialogBackend& dialogs) {
    const MessageTexts usage = UsageMessage();
    // No window in a silent run: the usage goes to the log alone.
    if (switches_.Silent)
        log_.Line(Ansi("Aide : ") + PlainText(usage.Text));
    else
        ShowHtmlMessage(dialogs, usage.Title, usage.Text, usage.Buttons, TColor(0));
    return End(0);
}

int ProgramRun::Install(const SharedUnits& units) {
    DialogBackend& dialogs = units.DialogWindows();
    try {
        const InstallerHost host{machine_, dialogs, units.ProgressWindow(), log_};
        const RunOutcome outcome = RunInstaller(switches_, host);
        return End(switches_.Silent ? static_cast<int>(ExitCodeOf(outcome)) : 0);
    } catch (const InputSourceError&) {
        throw;
    } catch (const std::exception& error) {
        const int code = SystemCodeOf(error);
        log_.Line(ApplicationErrorTitle() + " : " + error.what() +
                  (code != 0 ? WindowsCodeText(code) : AnsiString()));
        return End(switches_.Silent ? static_cast<int>(ExitCodeOf(error))
                                    : ShowUncaughtError(dialogs, error));
    }
}

int ProgramRun::Run(const SharedUnits& units) {
    if (earlyExit_)
        return *earlyExit_;
    if (!logFault_.empty())
        return Refuse(units.DialogWindows(), logFault_, static_cast<int>(ExitCode::LogNotWritable));
    if (switches_.Help)
        return ShowUsage(units.DialogWindows());
    if (!switches_.Fault.empty())
        return Refuse(units.DialogWindows(), switches_.Fault, static_cast<int>(ExitCode::CommandLine));
    return Install(units);
}

} // namespace vendora
