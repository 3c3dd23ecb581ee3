#include "app/linux/LinuxWindows.h"

#include "dialogs/forms/FrameworkDialogs.h"
#include "dialogs/forms/Ubm.h"
#include "gfx/png/Png.h"
#include "gui/headless/HeadlessBackend.h"
#ifdef VENDORA_HAVE_X11
#include "gui/x11/X11Backend.h"
#endif

#include <cstdlib>

namespace vendora {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

LinuxWindowBackend CreateLinuxWindowBackend() {
#ifdef VENDORA_HAVE_X11
    // A script means a scripted run, display or not.
    if (!Environment("DISPLAY").empty() && Environment("VENDORA_UI_SCRIPT").empty()) {
        try {
            return {std::make_unique<X11Backend>(), true};
        } catch (const std::exception&) {
            // no usable display: the run goes on without windows
        }
    }
#endif
    return {HeadlessBackend::FromEnvironment(
                [](const Bitmap& bitmap, const std::string& path) { SavePng(bitmap, path); }),
            false};
}

RunWindows CreateLinuxWindows(const LinuxWindowBackend& windows, Application& app, const HtmlHost& host,
                              Platform& platform) {
    const std::string transcriptPath = Environment("VENDORA_UI_TRANSCRIPT");
    // A person's run keeps a transcript only when asked to; a headless one always does (on stderr unless
    // told where).
    std::unique_ptr<Transcript> transcript =
        windows.OnDisplay && transcriptPath.empty() ? nullptr : Transcript::Open(transcriptPath);
    // Without a display no one could see the error box: it goes to the transcript and stderr only.
    auto dialogs = std::make_unique<FrameworkDialogs>(
        app, host, std::move(transcript),
        windows.OnDisplay ? FrameworkDialogs::ErrorBox::Window : FrameworkDialogs::ErrorBox::RecordOnly);
    auto progress = std::make_unique<FrameworkExtractionUi>(*dialogs, [&platform] { return platform.Now(); });
    dialogs->MessageWindow();
    return {std::move(dialogs), std::move(progress)};
}

} // namespace vendora
