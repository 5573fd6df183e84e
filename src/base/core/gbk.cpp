#include "core/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace krvo {
namespace {

// One conversion descriptor per direction for the life of the program; iconv
// descriptors are not shared across threads, and the program has one thread
// per process that converts (the server and client each have their own).
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; returns how many input bytes were consumed.
    // Stops at the first sequence that cannot be converted.
    std::size_t convert(const char* in, std::size_t inLen, std::string& out) const {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[1024];
        char* inPtr = const_cast<char*>(in);
        std::size_t inLeft = inLen;
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc != static_cast<std::size_t>(-1)) break;
            if (errno != E2BIG) break;
        }
        return inLen - inLeft;
    }

private:
    iconv_t cd_;
};

const Converter& toGbk() {
    static const Converter converter("GBK", "UTF-8");
    return converter;
}

const Converter& fromGbk() {
    static const Converter converter("UTF-8", "GBK");
    return converter;
}

std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

void AppendGbk(std::string_view utf8, std::vector<std::uint8_t>& out) {
    if (isAscii(utf8) || !toGbk().valid()) {
        for (const char c : utf8) {
            const auto byte = static_cast<unsigned char>(c);
            out.push_back(byte < 0x80 ? byte : '?');
        }
        return;
    }
    std::string converted;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        // The converter would write the euro sign as the single byte 0x80, which
        // every reader takes for a lead byte; it is not representable here.
        if (utf8.substr(pos, 3) == "\xE2\x82\xAC") {
            converted.push_back('?');
            pos += 3;
            continue;
        }
        const std::size_t euro = utf8.find("\xE2\x82\xAC", pos);
        const std::size_t end = euro == std::string_view::npos ? utf8.size() : euro;
        pos += toGbk().convert(utf8.data() + pos, end - pos, converted);
        if (pos >= end) continue;
        // Unrepresentable or malformed: one "?" for the whole character.
        converted.push_back('?');
        const std::size_t skip = utf8SequenceLength(static_cast<unsigned char>(utf8[pos]));
        pos += skip < end - pos ? skip : end - pos;
    }
    out.insert(out.end(), converted.begin(), converted.end());
}

std::string DecodeGbk(std::span<const std::uint8_t> bytes) {
    // Walk the pairs first: a cut-off final character empties the whole text.
    // The converter reads 0x80 alone as the euro sign, but here 0x80 is a lead
    // byte like any other; those pairs are cut out and become "?".
    std::vector<std::size_t> euroPairs;
    std::size_t i = 0;
    bool wide = false;
    while (i < bytes.size()) {
        if (bytes[i] > 127) {
            if (i + 1 >= bytes.size()) return {};
            if (bytes[i] == 0x80) euroPairs.push_back(i);
            wide = true;
            i += 2;
        } else {
            i += 1;
        }
    }
    const char* data = reinterpret_cast<const char*>(bytes.data());
    if (!wide || !fromGbk().valid()) {
        std::string out(data, bytes.size());
        if (wide) {
            for (char& c : out) c = static_cast<unsigned char>(c) > 127 ? '?' : c;
        }
        return out;
    }
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    std::size_t pos = 0;
    euroPairs.push_back(bytes.size());
    for (const std::size_t stop : euroPairs) {
        while (pos < stop) {
            pos += fromGbk().convert(data + pos, stop - pos, out);
            if (pos >= stop) break;
            // An undefined pair still spans two bytes, so the rest stays aligned.
            out.push_back('?');
            pos += bytes[pos] > 127 ? 2 : 1;
        }
        if (stop < bytes.size()) {
            out.push_back('?');
            pos = stop + 2;
        }
    }
    return out;
}

}  // namespace krvo
