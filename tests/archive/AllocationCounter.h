#pragma once
// The bytes operator new has handed out since the program started (never decreasing): the difference
// across a call is what that call allocated, freed or not.

#include <cstddef>

namespace vendora::testing {
std::size_t AllocatedBytes();
} // namespace vendora::testing
