#include "platform/Waker.h"

#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace oryx::platform {

Waker::Waker() : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (m_fd < 0) {
        throw std::runtime_error("cannot create a wake-up descriptor");
    }
}

Waker::~Waker() {
    ::close(m_fd);
}

void Waker::wake() {
    const std::uint64_t one = 1;
    while (::write(m_fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool Waker::clear() {
    std::uint64_t count = 0;
    while (true) {
        const ssize_t n = ::read(m_fd, &count, sizeof count);
        if (n == static_cast<ssize_t>(sizeof count)) {
            return count != 0;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return false;
    }
}

} // namespace oryx::platform
