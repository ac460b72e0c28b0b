#pragma once

#include "platform/WireTraceFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace oryx::platform {

// Routes what WireTap reports to the trace file of each port: one file per port when a run
// talks to several, or one file for every port. take() is the sink to install, in this code's
// WireTap and in the library's (ORC::setWireTap); attaching a file installs it here.
class WireTraceHub {
public:
    // Port text "" stands for every port without a file of its own.
    static void attach(const std::string& portText, std::shared_ptr<WireTraceFile> file);
    static void detach(const std::string& portText);
    static void take(const char* portText, char kind, const char* data, std::size_t size,
                     std::int64_t microseconds);

private:
    struct Route {
        std::string port;
        std::shared_ptr<WireTraceFile> file;
    };

    static WireTraceHub& instance();
    WireTraceFile* fileFor(const char* portText);

    std::mutex m_mutex;
    std::vector<Route> m_routes;
    // Port texts as devices report them, with the file each was found to belong to (or none),
    // so that the lookup by device path runs once per text.
    std::vector<std::pair<std::string, WireTraceFile*>> m_resolved;
};

} // namespace oryx::platform
