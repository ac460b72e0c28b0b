#include "platform/WireTraceHub.h"

#include "platform/PortNames.h"
#include "platform/WireTap.h"

#include <algorithm>
#include <cstring>

namespace oryx::platform {

namespace {
// A program that probes every port now and then sees few texts; the bound holds regardless.
constexpr std::size_t kMaxResolved = 64;
} // namespace

WireTraceHub& WireTraceHub::instance() {
    // Never destroyed: a reader thread a cancelled run left behind may still report at exit.
    static auto* hub = new WireTraceHub;
    return *hub;
}

void WireTraceHub::attach(const std::string& portText, std::shared_ptr<WireTraceFile> file) {
    WireTraceHub& hub = instance();
    {
        std::lock_guard lock(hub.m_mutex);
        hub.m_routes.push_back({portText, std::move(file)});
        hub.m_resolved.clear();
    }
    WireTap::install(&WireTraceHub::take);
}

void WireTraceHub::detach(const std::string& portText) {
    WireTraceHub& hub = instance();
    std::shared_ptr<WireTraceFile> last;
    std::lock_guard lock(hub.m_mutex);
    const auto route = std::find_if(hub.m_routes.begin(), hub.m_routes.end(),
                                    [&](const Route& r) { return r.port == portText; });
    if (route != hub.m_routes.end()) {
        last = std::move(route->file);
        hub.m_routes.erase(route);
        hub.m_resolved.clear();
    }
}

void WireTraceHub::take(const char* portText, char kind, const char* data, std::size_t size,
                        std::int64_t microseconds) {
    WireTraceHub& hub = instance();
    std::lock_guard lock(hub.m_mutex);
    if (WireTraceFile* file = hub.fileFor(portText)) {
        file->post(kind, data, size, microseconds);
    }
}

WireTraceFile* WireTraceHub::fileFor(const char* portText) {
    for (const auto& [port, file] : m_resolved) {
        if (port == portText) {
            return file;
        }
    }
    WireTraceFile* found = nullptr;
    WireTraceFile* everyPort = nullptr;
    for (const Route& route : m_routes) {
        if (route.port.empty()) {
            everyPort = route.file.get();
        } else if (route.port == portText || PortNames::samePort(route.port, portText)) {
            found = route.file.get();
            break;
        }
    }
    if (m_resolved.size() >= kMaxResolved) {
        m_resolved.clear();
    }
    m_resolved.emplace_back(portText, found ? found : everyPort);
    return m_resolved.back().second;
}

} // namespace oryx::platform
