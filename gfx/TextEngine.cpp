#include "gfx/TextEngine.h"

#include "base/Installed.h"


namespace vendora {

namespace {
Installed<TextEngine> installed("text engine", "SetTextEngine");
}

TextEngine& Text() {
    return installed.Get();
}

void SetTextEngine(TextEngine* engine) {
    installed.Set(engine);
}

bool HasTextEngine() {
    return installed.Has();
}

} // namespace vendora
