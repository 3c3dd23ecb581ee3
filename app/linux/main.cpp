// The INSTALL program on Linux: the installer run inside the Windows machine emulated under VENDORA_ROOT,
// with its real windows: on the X11 display when DISPLAY is set, else headless (VENDORA_UI_SCRIPT answers
// them, VENDORA_UI_TRANSCRIPT records them, VENDORA_UI_SNAPSHOTS receives pictures of them).
//
// Exit codes: those of installer/ExitCodes.h, as the Windows program's (a run with windows: 0, or 1 after
// the error box; a silent run: the code of what ended it); 1 also when the emulated machine cannot be
// prepared; 125, outside that table, for a faulty ui script (the test harness's fault, not the program's).
// A silent run (/S) opens no display.

#include "app/linux/LinuxWindows.h"
#include "base/Cp1252.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "gfx/jpeg/JpegDecoder.h"
#include "gui/Backend.h"
#include "platform/WindowsRules.h"
#include "platform/linux/LinuxPlatform.h"
#include "startup/Startup.h"

#include <exception>
#include <iostream>
#include <optional>
#include <vector>

namespace {

// The command line as Windows would hand it over: the shell has split it already, so it is joined again
// and the installer splits it its own way.
vendora::AnsiString CommandLine(int argc, char** argv) {
    std::vector<vendora::AnsiString> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(vendora::Utf8ToAnsi(argv[i]));
    return vendora::JoinCommandLine(arguments);
}

int Run(const vendora::AnsiString& commandLine) {
    using namespace vendora;
    const std::unique_ptr<LinuxPlatform> platform = LinuxPlatform::FromEnvironment();
    TextEngine& text = TheFreeTypeTextEngine();
    // Pictures named in markup are JPEG files, decoded with libjpeg on this platform.
    const PictureDecoder& decoder = TheJpegDecoder();
    ProgramRun run(*platform, commandLine);
    if (const std::optional<int> code = run.EarlyExit())
        return *code;
    Application app(text, *platform);
    const LinuxWindowBackend windows = run.Silent() ? LinuxWindowBackend{} : CreateLinuxWindowBackend();
    std::optional<UsedBackend> backend;
    if (windows.Backend)
        backend.emplace(app, *windows.Backend);
    const SharedUnits units(*platform, run.Windows([&](PictureCache& pictures) {
        return CreateLinuxWindows(windows, app, HtmlHost{&pictures, {platform->Files(), text, &decoder}},
                                  *platform);
    }));
    return run.Run(units);
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(CommandLine(argc, argv));
    } catch (const vendora::InputSourceError& error) {
        std::cerr << "INSTALL: ui script: " << error.what() << std::endl;
        return 125;
    } catch (const std::exception& error) {
        // Before start-up there is no window to show it in.
        std::cerr << "INSTALL: " << vendora::AnsiToUtf8(error.what()) << std::endl;
        return 1;
    }
}
