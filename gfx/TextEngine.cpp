#include "gfx/TextEngine.h"

#include <stdexcept>

namespace vendora {

namespace {
TextEngine* current = nullptr;
}

TextEngine& Text() {
    if (current == nullptr)
        throw std::logic_error("no text engine installed");
    return *current;
}

void SetTextEngine(TextEngine* engine) {
    current = engine;
}

bool HasTextEngine() {
    return current != nullptr;
}

} // namespace vendora
