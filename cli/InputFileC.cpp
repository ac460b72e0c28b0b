#include "cli/InputFileC.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

std::string InputFileC::Read(const std::string& path, std::size_t maxSize, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return std::strerror(errno);
    }
    text.assign(maxSize + 1, '\0');
    std::size_t filled = 0;
    std::string error;
    while (filled < text.size()) {
        const ssize_t n = ::read(fd, text.data() + filled, text.size() - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = std::strerror(errno);
            break;
        }
        if (n == 0) {
            break;
        }
        filled += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(filled);
    if (error.empty() && filled > maxSize) {
        error = "larger than " + std::to_string(maxSize / 1024) + " KiB";
    }
    return error;
}
