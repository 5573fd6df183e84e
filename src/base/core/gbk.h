#pragma once
// Packet bodies travel in GBK (code page 936); the program keeps text as UTF-8
// and converts only at the packet boundary.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace krvo {

// Appends the GBK bytes of utf8 to out. A character GBK cannot represent, and any
// malformed UTF-8 sequence, becomes "?" (0x3F).
void AppendGbk(std::string_view utf8, std::vector<std::uint8_t>& out);

// Decodes GBK bytes to UTF-8. Every byte above 127 is a lead byte and takes the
// byte after it, whatever that is; a pair GBK does not define becomes "?".
// A dangling lead byte at the end makes the whole result empty, as the packet
// reader has always treated a cut-off character.
std::string DecodeGbk(std::span<const std::uint8_t> bytes);

}  // namespace krvo
