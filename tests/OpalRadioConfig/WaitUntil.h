#pragma once

#include <chrono>
#include <functional>
#include <thread>

// True once the condition holds; false when it still does not after the limit. Tests wait
// with this instead of spinning without end, so a fault fails the test instead of hanging it.
inline bool waitUntil(const std::function<bool()>& rCondition,
                      std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!rCondition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}
