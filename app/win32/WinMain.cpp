// INSTALL.EXE, the Windows program: the real kernel32, shell32, registry and COM calls, GDI text, pictures
// decoded by Windows' imaging component and real windows, around the same start-up, sequence and
// shut-down as the Linux program.
//
// Exit codes: those of installer/ExitCodes.h (a run with windows: 0, or 1 after the error box "Erreur
// d'application"; a silent run, /S: the code of what ended it). A silent run makes no window at all.

#include "base/Cp1252.h"
#include "dialogs/forms/FrameworkDialogs.h"
#include "dialogs/forms/Ubm.h"
#include "gfx/gdi/GdiTextEngine.h"
#include "gfx/wic/WicJpegDecoder.h"
#include "gui/Application.h"
#include "gui/win32/Win32Backend.h"
#include "html/pictures/Pictures.h"
#include "platform/win32/Win32Platform.h"
#include "startup/Startup.h"

#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>

// Last: its macros (DrawText, CreateFile...) must not rename anything declared above.
#include "platform/win32/WindowsApi.h"

namespace {

// The message window, the waiting window and the progress window on real windows. A person's run keeps no
// record; a run under test writes the transcript where VENDORA_UI_TRANSCRIPT says, as the Linux program
// does, so that its scenarios can wait on what the windows were asked.
vendora::RunWindows CreateWindows(vendora::Application& app, const vendora::HtmlHost& host,
                                  vendora::Platform& platform) {
    const char* transcript = std::getenv("VENDORA_UI_TRANSCRIPT");
    auto dialogs = std::make_unique<vendora::FrameworkDialogs>(
        app, host,
        transcript != nullptr && *transcript != '\0' ? vendora::Transcript::Open(transcript) : nullptr);
    auto progress =
        std::make_unique<vendora::FrameworkExtractionUi>(*dialogs, [&platform] { return platform.Now(); });
    dialogs->MessageWindow();
    return {std::move(dialogs), std::move(progress)};
}

int Run(const vendora::AnsiString& commandLine) {
    using namespace vendora;
    const std::unique_ptr<Win32Platform> platform = Win32Platform::Create();
    // The engine outlives the windows that measure and draw with it.
    GdiTextEngine text;
    ProgramRun run(*platform, commandLine);
    if (const std::optional<int> code = run.EarlyExit())
        return *code;
    Application app(text, *platform);
    std::optional<Win32Backend> windows;
    std::optional<UsedBackend> backend;
    if (!run.Silent())
        backend.emplace(app, windows.emplace());
    // The decoder's imaging factory is made once start-up has initialised COM, with the windows, and is
    // released before shut-down uninitialises it.
    std::optional<WicJpegDecoder> decoder;
    const SharedUnits units(*platform, run.Windows([&](PictureCache& pictures) {
        const PictureDecoder& jpeg = decoder.emplace();
        return CreateWindows(app, HtmlHost{&pictures, {platform->Files(), text, &jpeg}}, *platform);
    }));
    const struct DecoderRelease {
        std::optional<WicJpegDecoder>& decoder;
        ~DecoderRelease() { decoder.reset(); }
    } release{decoder};
    return run.Run(units);
}

// An error before the windows exist, or while they go: the system's own box says it, in UTF-16 from the
// Windows-1252 text, whatever the system's code page.
int Fail(const char* text) {
    const std::u16string wide = vendora::AnsiToUtf16(text);
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(wide.c_str()), L"Erreur d'application",
                MB_ICONERROR);
    return 1;
}

} // namespace

// A silent run shows no box, whatever happens.
int Fail(const vendora::AnsiString& commandLine, const char* text) {
    return vendora::ReadSwitches(commandLine).Silent ? 1 : Fail(text);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The whole line as Windows keeps it, program name included: the installer splits it its own way.
    const vendora::AnsiString commandLine = vendora::Win32Platform::CommandLine();
    try {
        return Run(commandLine);
    } catch (const std::exception& error) {
        return Fail(commandLine, error.what());
    } catch (...) {
        return Fail(commandLine, "?");
    }
}
