#include "platform/SimulatorFolder.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace oryx::platform {

std::string simulatorLinkFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + "/oryx-sim";
    }
    return "/tmp/oryx-sim-" + std::to_string(::getuid());
}

bool isPrivateFolder(const std::string& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace oryx::platform
