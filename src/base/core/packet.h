#pragma once
// Packets: a one-, two- or three-byte header of message ids, then a GBK text
// body with no length field and no terminator. Bodies are mostly field lists
// joined by the backtick, never quoted.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace krvo {

using Packet = std::vector<std::uint8_t>;

inline constexpr char kFieldSeparator = '`';

// Builds header + GBK(body) into out. Refuses an empty body (out untouched) and a
// header span shorter than headerLength.
bool BuildPacket(std::string_view body, Packet& out, std::uint8_t headerLength,
                 std::span<const std::uint8_t> header);

// A packet made of header bytes only; BuildPacket refuses those.
Packet HeaderPacket(std::initializer_list<std::uint8_t> header);

// Decodes the body from start to the end; empty when start is past the end or
// the last character is cut off.
std::string PacketToString(std::span<const std::uint8_t> packet, std::size_t start);

// Four bytes from index, most significant first, as a signed 32-bit value.
// Returns false and leaves out alone when fewer than four bytes remain.
bool ReadLongBE(std::int32_t& out, std::span<const std::uint8_t> packet, std::size_t index);

// Splits at the backtick, keeping empty fields: "a``b" is three fields. An empty
// text has no fields at all, so a field-count check never mistakes an empty
// body for a one-field message.
std::vector<std::string> SplitFields(std::string_view text, char separator = kFieldSeparator);
std::string JoinFields(std::span<const std::string> fields, char separator = kFieldSeparator);
// Joins fields[first..] again; empty when first is past the end.
std::string JoinFieldsFrom(std::span<const std::string> fields, std::size_t first,
                           char separator = kFieldSeparator);

// The text without the blanks (spaces and tabs unless told) at either end.
std::string_view TrimBlanks(std::string_view text, std::string_view blanks = " \t");

// The leading number of a text: blanks skipped, optional sign, digits, an
// optional fraction and exponent; text that does not start with a number is 0.
double LeadingNumber(std::string_view text);
// The leading number rounded to nearest (ties to even) and clamped to the range.
std::int32_t LeadingInt32(std::string_view text);
std::uint8_t LeadingByte(std::string_view text);

}  // namespace krvo
