#include "core/packet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/gbk.h"

namespace krvo {

bool BuildPacket(std::string_view body, Packet& out, std::uint8_t headerLength,
                 std::span<const std::uint8_t> header) {
    if (body.empty() || header.size() < headerLength) return false;
    Packet packet(header.begin(), header.begin() + headerLength);
    packet.reserve(headerLength + body.size());
    AppendGbk(body, packet);
    out = std::move(packet);
    return true;
}

Packet HeaderPacket(std::initializer_list<std::uint8_t> header) {
    return Packet(header);
}

std::string PacketToString(std::span<const std::uint8_t> packet, std::size_t start) {
    if (start >= packet.size()) return {};
    return DecodeGbk(packet.subspan(start));
}

bool ReadLongBE(std::int32_t& out, std::span<const std::uint8_t> packet, std::size_t index) {
    if (index >= packet.size() || packet.size() - index < 4) return false;
    const std::uint32_t value = (std::uint32_t{packet[index]} << 24) |
                                (std::uint32_t{packet[index + 1]} << 16) |
                                (std::uint32_t{packet[index + 2]} << 8) | packet[index + 3];
    out = static_cast<std::int32_t>(value);
    return true;
}

std::string_view TrimBlanks(std::string_view text, std::string_view blanks) {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::vector<std::string> SplitFields(std::string_view text, char separator) {
    std::vector<std::string> fields;
    if (text.empty()) return fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            fields.emplace_back(text.substr(start));
            return fields;
        }
        fields.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::string JoinFields(std::span<const std::string> fields, char separator) {
    return JoinFieldsFrom(fields, 0, separator);
}

std::string JoinFieldsFrom(std::span<const std::string> fields, std::size_t first, char separator) {
    std::string out;
    for (std::size_t i = first; i < fields.size(); ++i) {
        if (i > first) out.push_back(separator);
        out += fields[i];
    }
    return out;
}

namespace {

// Whether a number out of the double range is too small rather than too large:
// the power of ten of its first significant digit decides. "0.000...01" without
// an exponent underflows just as "1e-400" does.
bool underflows(std::string_view number) {
    const std::size_t mark = number.find('e');
    std::int64_t exponent = 0;
    if (mark != std::string_view::npos) {
        std::size_t i = mark + 1;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
        // Saturates: only the sign matters beyond the range of a double.
        for (; i < number.size() && exponent < 1'000'000'000; ++i) {
            exponent = exponent * 10 + (number[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    const std::string_view mantissa = number.substr(0, mark);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::string_view whole = mantissa.substr(0, point);
    const std::size_t lead = whole.find_first_not_of("+-0");
    if (lead != std::string_view::npos) {
        return static_cast<std::int64_t>(whole.size() - lead) - 1 + exponent < 0;
    }
    const std::string_view fraction = mantissa.substr(std::min(point + 1, mantissa.size()));
    const std::size_t zeros = fraction.find_first_not_of('0');
    if (zeros == std::string_view::npos) return true;
    return exponent - static_cast<std::int64_t>(zeros) - 1 < 0;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    // Copy just the numeric prefix so forms the wire never uses ("inf", "nan",
    // hex) cannot slip through.
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.push_back(text[i++]);
    auto digits = [&] {
        bool any = false;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            number.push_back(text[i++]);
            any = true;
        }
        return any;
    };
    const bool whole = digits();
    bool fraction = false;
    if (i < text.size() && text[i] == '.') {
        number.push_back(text[i++]);
        fraction = digits();
    }
    if (!whole && !fraction) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent.push_back(text[j++]);
        const std::size_t digitsStart = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') exponent.push_back(text[j++]);
        if (j > digitsStart) number += exponent;
    }
    // from_chars, not strtod: the process locale (set by Qt) must not change
    // what a decimal point is.
    const char* begin = number.data();
    if (*begin == '+') ++begin;
    double value = 0.0;
    const auto result = std::from_chars(begin, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (underflows(number)) return 0.0;
        return number.front() == '-' ? std::numeric_limits<double>::lowest()
                                     : std::numeric_limits<double>::max();
    }
    return result.ec == std::errc() ? value : 0.0;
}

std::int32_t LeadingInt32(std::string_view text) {
    const double rounded = std::nearbyint(LeadingNumber(text));
    if (rounded <= std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (rounded >= std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(rounded);
}

std::uint8_t LeadingByte(std::string_view text) {
    const std::int32_t value = LeadingInt32(text);
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

}  // namespace krvo
