#pragma once
// The message ids each script-driven target maps its packets onto (see
// packet_script.h); the seed writer encodes captured packets with the same lists.

#include <cstdint>

namespace krvo::fuzz {

inline constexpr std::uint8_t kGameHandlerIds[] = {1,  2,  3,  5,  17, 18,  19,
                                                   20, 21, 22, 23, 24, 113, 133};
inline constexpr std::uint8_t kRoomHandlerIds[] = {130, 108, 110, 111, 112, 105, 109};
inline constexpr std::uint8_t kServerEngineIds[] = {1, 2, 5, 17, 18, 19, 20, 21, 22, 23, 24, 94};
inline constexpr std::uint8_t kServerRoomIds[] = {1,   2,   17,  18,  19,  20,  21,  22,  23, 24,
                                                  105, 108, 109, 110, 111, 112, 113, 130, 133};

}  // namespace krvo::fuzz
