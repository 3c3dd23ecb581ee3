#pragma once
// The JPEG pictures of tests/gfx/wic and the .BMP files of their pixels as libjpeg decodes them, compiled
// into the test program.

#include <cstdint>
#include <span>
#include <string_view>

namespace vendora::testing {

// The bytes of the file of that name; std::invalid_argument for a name that is not one of them.
std::span<const std::uint8_t> TestPicture(std::string_view name);

} // namespace vendora::testing
