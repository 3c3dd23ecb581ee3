// The INSTALL program on Linux: the installer run inside the Windows machine emulated under VENDORA_ROOT,
// with its real windows: on the X11 display when DISPLAY is set, else headless (VENDORA_UI_SCRIPT answers
// them, VENDORA_UI_TRANSCRIPT records them, VENDORA_UI_SNAPSHOTS receives pictures of them).
//
// Exit codes: 0 after the sequence, however it ended; 1 after an error it did not catch (shown in the
// error box first), or when the emulated machine cannot be prepared; 2 for a faulty ui script.

#include "app/linux/LinuxWindows.h"
#include "base/Cp1252.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "gfx/jpeg/JpegDecoder.h"
#include "gui/Backend.h"
#include "installer/Installer.h"
#include "platform/WindowsRules.h"
#include "platform/linux/LinuxPlatform.h"
#include "startup/Startup.h"

#include <exception>
#include <iostream>
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
    const Install<Platform> os(*platform);
    const Install<TextEngine> text(TheFreeTypeTextEngine());
    // Pictures named in markup are JPEG files, decoded with libjpeg on this platform.
    const Install<PictureDecoder> decoder(TheJpegDecoder());
    const LinuxWindowBackend windows = CreateLinuxWindowBackend();
    const Install<WindowBackend> backend(*windows.Backend);
    const SharedUnits units([&] { return CreateLinuxWindows(windows); });
    return RunSequence([&] { RunInstaller(commandLine); });
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(CommandLine(argc, argv));
    } catch (const vendora::InputSourceError& error) {
        std::cerr << "INSTALL: ui script: " << error.what() << std::endl;
        return 2;
    } catch (const std::exception& error) {
        // Before start-up there is no window to show it in.
        std::cerr << "INSTALL: " << vendora::AnsiToUtf8(error.what()) << std::endl;
        return 1;
    }
}
