// Packet text helpers on arbitrary bytes: GBK decoding always gives
// well-formed UTF-8 and survives encoding again; encoding valid UTF-8 and
// decoding it back changes only the characters GBK lacks, each into one "?";
// field splitting and joining are inverse; the leading number agrees with the
// C library's reading of the same prefix.

#include <fuzzer/FuzzedDataProvider.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "core/gbk.h"
#include "core/packet.h"
#include "fuzz_check.h"
#include "utf8_text.h"

namespace {

using krvo::fuzz::CodePoints;
using krvo::fuzz::Require;
using Bytes = std::vector<std::uint8_t>;

void CheckDecode(const Bytes& bytes) {
    const std::string text = krvo::DecodeGbk(bytes);
    Require(CodePoints(text).has_value(), "decoded GBK is well-formed UTF-8");
    Bytes again;
    krvo::AppendGbk(text, again);
    Require(krvo::DecodeGbk(again) == text, "decoded text survives another round trip");
    for (std::size_t start = 0; start <= bytes.size() + 1; start += 1 + bytes.size() / 4) {
        const std::string tail = krvo::PacketToString(bytes, start);
        if (start >= bytes.size()) Require(tail.empty(), "nothing past the end");
    }
}

void CheckEncode(std::string_view utf8) {
    const auto original = CodePoints(utf8);
    if (!original) return;
    Bytes gbk;
    krvo::AppendGbk(utf8, gbk);
    // 0x80 may trail a lead byte, but must never stand where a character starts.
    for (std::size_t i = 0; i<gbk.size(); i += gbk[i]> 127 ? 2 : 1) {
        Require(gbk[i] != 0x80, "no 0x80 as a character's first byte");
        Require(gbk[i] <= 127 || i + 1 < gbk.size(), "no cut-off character");
    }
    const auto decoded = CodePoints(krvo::DecodeGbk(gbk));
    Require(decoded.has_value(), "round trip gives UTF-8");
    Require(decoded->size() == original->size(), "one character out per character in");
    for (std::size_t i = 0; i < decoded->size(); ++i) {
        Require((*decoded)[i] == (*original)[i] || (*decoded)[i] == U'?',
                "characters kept or replaced by ?");
        if ((*original)[i] < 0x80) Require((*decoded)[i] == (*original)[i], "ASCII kept");
    }
}

void CheckFields(const std::string& text, char separator) {
    const auto fields = krvo::SplitFields(text, separator);
    if (text.empty()) {
        Require(fields.empty(), "empty text has no fields");
        return;
    }
    std::size_t separators = 0;
    for (const char c : text) separators += c == separator;
    Require(fields.size() == separators + 1, "fields = separators + 1");
    Require(krvo::JoinFields(fields, separator) == text, "join undoes split");
    const std::size_t first = fields.size() / 2;
    const std::string rest = krvo::JoinFieldsFrom(fields, first, separator);
    Require(text.ends_with(rest), "joined tail is a suffix");
    Require(krvo::JoinFieldsFrom(fields, fields.size() + 3, separator).empty(), "past the end");
}

// The numeric prefix as the wire writes numbers: blanks, sign, digits, fraction, exponent.
std::string NumberPrefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t begin = i;
    auto isDigit = [&](std::size_t at) {
        return at < text.size() && text[at] >= '0' && text[at] <= '9';
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (isDigit(i)) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (isDigit(i)) ++i, ++digits;
    }
    if (digits == 0) return {};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (isDigit(j)) {
            while (isDigit(j)) ++j;
            i = j;
        }
    }
    return std::string(text.substr(begin, i - begin));
}

void CheckNumber(std::string_view text) {
    const double value = krvo::LeadingNumber(text);
    Require(std::isfinite(value), "leading number is finite");
    const std::string prefix = NumberPrefix(text);
    const double expected = prefix.empty() ? 0.0 : std::strtod(prefix.c_str(), nullptr);
    if (std::isinf(expected)) {
        Require(value == (expected > 0 ? DBL_MAX : -DBL_MAX), "overflow clamps to the largest");
    } else {
        // Underflow may come out as zero or as a denormal.
        Require(std::fabs(value - expected) <= DBL_MIN, "leading number as strtod reads it");
    }
    const std::int32_t whole = krvo::LeadingInt32(text);
    const double rounded = std::nearbyint(value);
    if (rounded > INT32_MIN && rounded < INT32_MAX) {
        Require(whole == static_cast<std::int32_t>(rounded), "int32 rounds to nearest");
    }
    const std::uint8_t byte = krvo::LeadingByte(text);
    Require(byte == std::clamp<std::int32_t>(whole, 0, 255), "byte clamps");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const char separator =
        input.ConsumeBool() ? '`' : static_cast<char>(input.ConsumeIntegral<std::uint8_t>());
    const Bytes bytes = input.ConsumeRemainingBytes<std::uint8_t>();
    const std::string text(bytes.begin(), bytes.end());

    CheckDecode(bytes);
    CheckEncode(text);
    CheckFields(text, separator);
    CheckFields(krvo::DecodeGbk(bytes), '`');
    CheckNumber(text);
    std::int32_t value = 0;
    for (std::size_t index = 0; index <= bytes.size() + 4; ++index) {
        const bool read = krvo::ReadLongBE(value, bytes, index);
        Require(read == (index + 4 <= bytes.size()), "long read exactly when 4 bytes remain");
    }
    return 0;
}
