#include "base/Convert.h"

#include "base/Errors.h"

#include <array>
#include <cmath>

namespace vendora {

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i < text.size() && text[i] == '$') {
        ++i;
        if (i == text.size() || text.size() - i > 8)
            return std::nullopt;
        std::uint32_t v = 0;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return std::nullopt;
            v = (v << 4) | static_cast<std::uint32_t>(d);
        }
        const auto s = static_cast<std::int32_t>(v);
        return negative ? static_cast<std::int32_t>(0u - v) : s;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL || v < -2147483648LL)
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

std::int32_t StrToInt(const AnsiString& text) {
    if (const auto v = TryStrToInt(text))
        return *v;
    throw EConvertError::NotAnInteger(text);
}

std::int64_t RoundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-even unless someone changed it.
    const double r = std::nearbyint(value);
    return static_cast<std::int64_t>(r);
}

namespace {

// Roots up to 255: k is the nearest integer to the root of n while k * k - k < n <= k * k + k.
constexpr int TabledRoots = 255 * 255 + 255 + 1;

std::array<std::uint8_t, TabledRoots> MakeRootTable() {
    std::array<std::uint8_t, TabledRoots> roots{};
    int k = 0;
    for (int n = 0; n < TabledRoots; ++n) {
        while (n > k * k + k)
            ++k;
        roots[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(k);
    }
    return roots;
}

} // namespace

int RoundedSquareRoot(int n) {
    if (n < 0 || n >= TabledRoots)
        return static_cast<int>(RoundHalfEven(std::sqrt(static_cast<double>(n))));
    static const std::array<std::uint8_t, TabledRoots> roots = MakeRootTable();
    return roots[static_cast<std::size_t>(n)];
}

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0)
        return -1;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    std::int64_t q = p / c;
    const std::int64_t r = p % c;
    // Halves away from zero: compare twice the remainder with the divisor, in magnitude.
    if (2 * (r < 0 ? -r : r) >= (c < 0 ? -static_cast<std::int64_t>(c) : c))
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    return static_cast<std::int32_t>(q);
}

} // namespace vendora
