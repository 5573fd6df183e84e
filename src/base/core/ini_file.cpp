#include "core/ini_file.h"

#include "core/local_file.h"

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

std::string lowerName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) c = lowerAscii(c);
    return lower;
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

IniFile::IniFile(std::string_view text) {
    // Keys of a repeated section, and of none, are read past.
    Section* current = nullptr;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (const auto name = sectionName(line)) {
            const auto [section, isNew] = sections_.try_emplace(lowerName(*name));
            current = isNew ? &section->second : nullptr;
            continue;
        }
        if (current == nullptr) continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        current->try_emplace(lowerName(trimmed(line.substr(0, equals))),
                             withoutQuotes(trimmed(line.substr(equals + 1))));
    }
}

IniFile IniFile::load(const std::filesystem::path& path, std::size_t maxBytes) {
    return IniFile(ReadLocalFile(path, maxBytes).value_or(std::string()));
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const auto found = sections_.find(lowerName(section));
    if (found == sections_.end()) return std::nullopt;
    const auto entry = found->second.find(lowerName(key));
    if (entry == found->second.end()) return std::nullopt;
    return entry->second;
}

}  // namespace krvo
