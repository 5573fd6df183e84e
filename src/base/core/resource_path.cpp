#include "core/resource_path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace krvo {
namespace {

namespace fs = std::filesystem;

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](unsigned char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
           });
}

// The entry of directory whose name equals component ignoring case, or "".
std::string matchIgnoringCase(const fs::path& directory, const std::string& component) {
    std::error_code error;
    if (fs::exists(directory / component, error)) return component;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (equalIgnoringAsciiCase(name, component)) return name;
    }
    return {};
}

std::vector<std::string> componentsOf(std::string_view relativeName) {
    std::vector<std::string> components;
    std::string current;
    for (const char c : relativeName) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) components.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) components.push_back(std::move(current));
    return components;
}

}  // namespace

std::string FindResourceFile(std::string_view base, std::string_view relativeName) {
    const std::vector<std::string> components = componentsOf(relativeName);
    if (components.empty()) return {};
    fs::path path = base.empty() ? fs::path(".") : fs::path(std::string(base));
    for (const std::string& component : components) {
        if (component == "..") return {};
        if (component == ".") continue;
        const std::string found = matchIgnoringCase(path, component);
        if (found.empty()) return {};
        path /= found;
    }
    std::error_code error;
    return fs::is_regular_file(path, error) ? path.string() : std::string();
}

}  // namespace krvo
