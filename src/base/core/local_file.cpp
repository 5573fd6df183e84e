#include "core/local_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

namespace krvo {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool smallRegularFile(const struct stat& status, std::size_t maxBytes) {
    return S_ISREG(status.st_mode) && status.st_size >= 0 &&
           static_cast<std::uintmax_t>(status.st_size) <= maxBytes;
}

}  // namespace

std::optional<std::string> ReadLocalFile(const std::filesystem::path& path, std::size_t maxBytes) {
    struct stat status {};
    // Opening a FIFO without a writer blocks, opening some devices does
    // something: neither is opened at all.
    if (::stat(path.c_str(), &status) != 0 || !smallRegularFile(status, maxBytes)) {
        return std::nullopt;
    }
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return std::nullopt;
    if (::fstat(file.get(), &status) != 0 || !smallRegularFile(status, maxBytes)) {
        return std::nullopt;
    }
    std::string text;
    text.reserve(static_cast<std::size_t>(status.st_size));
    std::array<char, 16384> chunk{};
    // One byte past the bound is asked for, so that a file growing while it
    // is read is caught too.
    while (text.size() <= maxBytes) {
        const std::size_t wanted = std::min(chunk.size(), maxBytes + 1 - text.size());
        const ssize_t got = ::read(file.get(), chunk.data(), wanted);
        if (got == 0) {
            // What was read is what counts. Kernel files (/proc/self/environ)
            // call themselves regular and empty whatever they hold, and a file
            // that changed while it was read was not read whole.
            if (text.size() != static_cast<std::size_t>(status.st_size)) return std::nullopt;
            return text;
        }
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
    return std::nullopt;
}

}  // namespace krvo
