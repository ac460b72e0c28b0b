#include "sim/PortOpenWatch.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <unistd.h>

namespace oryx::sim {
namespace {

std::runtime_error failure(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

std::shared_ptr<PortOpenWatch> PortOpenWatch::shared() {
    static std::mutex lock;
    static std::weak_ptr<PortOpenWatch> current;
    std::lock_guard guard(lock);
    std::shared_ptr<PortOpenWatch> watch = current.lock();
    if (!watch) {
        watch = std::make_shared<PortOpenWatch>();
        current = watch;
    }
    return watch;
}

PortOpenWatch::PortOpenWatch() {
    m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify < 0) {
        throw failure("cannot watch the simulated ports (inotify instances are limited by "
                      "/proc/sys/fs/inotify/max_user_instances)");
    }
    m_thread = std::thread([this] { run(); });
}

PortOpenWatch::~PortOpenWatch() {
    m_stopping = true;
    m_waker.wake();
    m_thread.join();
    ::close(m_inotify);
}

int PortOpenWatch::add(const std::string& path, Handler handler) {
    std::lock_guard guard(m_mutex);
    const int id = ::inotify_add_watch(m_inotify, path.c_str(), IN_OPEN | IN_CLOSE);
    if (id < 0) {
        throw failure("cannot watch the simulated port (watches are limited by "
                      "/proc/sys/fs/inotify/max_user_watches)");
    }
    m_handlers[id] = std::move(handler);
    return id;
}

void PortOpenWatch::remove(int id) {
    std::lock_guard guard(m_mutex);
    // The kernel may have dropped the watch already, with the pty's file.
    ::inotify_rm_watch(m_inotify, id);
    m_handlers.erase(id);
}

void PortOpenWatch::run() {
    while (!m_stopping) {
        std::array<pollfd, 2> fds{{{m_waker.fd(), POLLIN, 0}, {m_inotify, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            m_waker.clear();
        }
        if ((fds[1].revents & POLLIN) != 0) {
            dispatchEvents();
        }
    }
}

// Handlers run under the lock, so that remove() waits for one that is running.
void PortOpenWatch::dispatchEvents() {
    alignas(inotify_event) std::array<char, 4096> buffer{};
    while (true) {
        const ssize_t n = ::read(m_inotify, buffer.data(), buffer.size());
        if (n <= 0) {
            return;
        }
        std::lock_guard guard(m_mutex);
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto handler = m_handlers.find(event->wd);
            if (handler != m_handlers.end() && (event->mask & (IN_OPEN | IN_CLOSE)) != 0) {
                handler->second(event->mask);
            }
        }
    }
}

} // namespace oryx::sim
