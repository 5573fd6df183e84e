#include "core/ini_file.h"

#include <fstream>
#include <iterator>

namespace krvo {
namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() < 2) return value;
    const char first = value.front();
    if ((first == '"' || first == '\'') && value.back() == first) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The section name of a "[name]" line, or nothing for other lines.
std::optional<std::string_view> sectionName(std::string_view line) {
    if (line.empty() || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    const std::string_view inside =
        close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
    return trimmed(inside);
}

}  // namespace

IniFile IniFile::Load(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return IniFile(std::string());
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return IniFile(std::move(text));
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const std::string_view text = text_;
    bool inSection = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (const auto name = sectionName(line)) {
            // Only the first section of a name counts.
            if (inSection) return std::nullopt;
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        if (!sameName(trimmed(line.substr(0, equals)), key)) continue;
        return std::string(withoutQuotes(trimmed(line.substr(equals + 1))));
    }
    return std::nullopt;
}

}  // namespace krvo
