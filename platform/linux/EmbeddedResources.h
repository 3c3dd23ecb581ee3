#pragma once
// The program's own resources on Linux: files embedded into the executable at build time (see
// EmbedResource.cmake), each registered under a resource type and an integer id before main runs.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vendora {

// Called by the generated source of each embedded file. The bytes must live as long as the program.
bool RegisterEmbeddedResource(std::string_view type, int id, const std::uint8_t* begin,
                              const std::uint8_t* end);

// The type compares without regard to letter case, as FindResourceA does.
std::optional<std::span<const std::uint8_t>> FindEmbeddedResource(std::string_view type, int id);

} // namespace vendora
