#include "PtyPair.h"

#include <array>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace oryx::platform::test {

PtyPair::PtyPair() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    std::array<char, 128> name{};
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        ::ptsname_r(m_master, name.data(), name.size()) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    m_slavePath = name.data();
}

PtyPair::~PtyPair() {
    closeMaster();
}

void PtyPair::writeFromFarEnd(std::string_view bytes) const {
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_master, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else {
            pollfd pfd{m_master, POLLOUT, 0};
            ::poll(&pfd, 1, 100);
        }
    }
}

std::string PtyPair::readAtFarEnd(int waitMs) const {
    std::string out;
    std::array<char, 4096> buffer{};
    pollfd pfd{m_master, POLLIN, 0};
    while (::poll(&pfd, 1, waitMs) > 0 && (pfd.revents & POLLIN) != 0) {
        const ssize_t n = ::read(m_master, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        out.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return out;
}

void PtyPair::closeMaster() {
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

} // namespace oryx::platform::test
