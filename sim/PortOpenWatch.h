#pragma once

#include "platform/Waker.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace oryx::sim {

// Tells the simulated ports of this process when the program opens and closes them: one
// inotify instance and one thread for all of them. A user has few inotify instances (128 by
// default) but many watches, so a fleet of a thousand radios needs one watch each and one
// instance in all.
class PortOpenWatch {
public:
    using Handler = std::function<void(std::uint32_t mask)>;

    // The watch every port of the process shares; it lives while some port holds it.
    // Throws std::runtime_error when no inotify instance is left.
    static std::shared_ptr<PortOpenWatch> shared();

    PortOpenWatch();
    ~PortOpenWatch();
    PortOpenWatch(const PortOpenWatch&) = delete;
    PortOpenWatch& operator=(const PortOpenWatch&) = delete;

    // Calls handler on the watch's thread with the mask of every opening and closing of the
    // file at path, in order; returns the id to remove it with. Throws std::runtime_error.
    int add(const std::string& path, Handler handler);
    // Once it returns, the handler is not running and is never called again.
    void remove(int id);

private:
    void run();
    void dispatchEvents();

    int m_inotify = -1;
    platform::Waker m_waker;
    std::atomic<bool> m_stopping{false};
    std::mutex m_mutex;
    std::map<int, Handler> m_handlers;
    std::thread m_thread;
};

} // namespace oryx::sim
