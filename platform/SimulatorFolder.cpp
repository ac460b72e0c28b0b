#include "platform/SimulatorFolder.h"

#include <cstdlib>
#include <unistd.h>

namespace oryx::platform {

std::string simulatorLinkFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + "/oryx-sim";
    }
    return "/tmp/oryx-sim-" + std::to_string(::getuid());
}

} // namespace oryx::platform
