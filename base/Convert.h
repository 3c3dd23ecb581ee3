#pragma once
// Number conversions and the rounding rules the system's arithmetic relies on.

#include "base/Text.h"

#include <cstdint>
#include <optional>

namespace vendora {

// Strict integer conversion: an optional sign and decimal digits, or "$" and hexadecimal digits (either
// case). Nothing else is accepted, blanks included. Decimal values must fit 32 bits; up to eight hexadecimal
// digits are taken as the 32-bit pattern they write ("$FFFFFFFF" is -1).
std::optional<std::int32_t> TryStrToInt(std::string_view text);
// As TryStrToInt; a refused text raises EConvertError "'%s' n'est pas une valeur entière correcte".
std::int32_t StrToInt(const AnsiString& text);

// Nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
std::int64_t RoundHalfEven(double value);

// The nearest integer to the square root of n >= 0: the root of an integer is never halfway between two
// integers, so this is RoundHalfEven(sqrt(n)), computed exactly. Up to 65280 it comes from a table made at
// the first call, for the gradient patterns that ask for it pixel after pixel.
int RoundedSquareRoot(int n);

// a * b / c with a 64-bit intermediate, rounded to the nearest integer with halves away from zero; -1 when c
// is 0, as the Windows call does.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// Little-endian 32-bit values of the archive and the shortcut file.
inline std::int32_t ReadLe32(const unsigned char* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}
inline void WriteLe32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

} // namespace vendora
