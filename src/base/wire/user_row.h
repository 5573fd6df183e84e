#pragma once
// One user's row in the room's user list: 16 fields joined by backticks.

#include <cstddef>

namespace krvo {

inline constexpr std::size_t kUserRowFields = 16;

}  // namespace krvo
