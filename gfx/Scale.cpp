#include "gfx/Scale.h"

namespace vendora {

std::optional<int> ParseDpi(std::string_view text) {
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < Scale::MinDpi || value > Scale::MaxDpi)
        return std::nullopt;
    return value;
}

} // namespace vendora
