#include "app/linux/LinuxWindows.h"

#include "dialogs/forms/FrameworkDialogs.h"
#include "dialogs/forms/Ubm.h"
#include "gfx/freetype/FreeTypeTextEngine.h"
#include "gfx/png/Png.h"
#include "gui/Application.h"
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

LinuxWindowSet CreateLinuxWindows() {
    InstallFreeTypeTextEngine();
    std::string transcriptPath = Environment("VENDORA_UI_TRANSCRIPT");
    std::unique_ptr<Transcript> transcript;
    bool onDisplay = false;
#ifdef VENDORA_HAVE_X11
    // A script means a scripted run, display or not.
    if (!Environment("DISPLAY").empty() && Environment("VENDORA_UI_SCRIPT").empty()) {
        try {
            App().SetBackend(std::make_unique<X11Backend>());
            onDisplay = true;
        } catch (const std::exception&) {
            onDisplay = false; // no usable display: the run goes on without windows
        }
    }
#endif
    if (onDisplay) {
        if (!transcriptPath.empty())
            transcript = Transcript::Open(transcriptPath);
    } else {
        App().SetBackend(HeadlessBackend::FromEnvironment(
            [](const Bitmap& bitmap, const std::string& path) { SavePng(bitmap, path); }));
        transcript = Transcript::Open(transcriptPath);
    }
    // Without a display no one could see the error box: it goes to the transcript and stderr only.
    auto dialogs = std::make_unique<FrameworkDialogs>(std::move(transcript),
                                                      onDisplay ? FrameworkDialogs::ErrorBox::Window
                                                                : FrameworkDialogs::ErrorBox::RecordOnly);
    auto progress = std::make_unique<FrameworkExtractionUi>(dialogs->Log());
    CreateMessageWindow();
    return {std::move(dialogs), std::move(progress)};
}

} // namespace vendora
