#include "OwnSimulatorFolderC.h"

#include "platform/SimulatorFolder.h"

#include <cstdlib>

OwnSimulatorFolderC::OwnSimulatorFolderC(const std::string& runtimeDir) {
    if (const char* previous = std::getenv("XDG_RUNTIME_DIR")) {
        previous_ = previous;
    }
    ::setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    path_ = oryx::platform::simulatorLinkFolder();
}

OwnSimulatorFolderC::~OwnSimulatorFolderC() {
    if (previous_) {
        ::setenv("XDG_RUNTIME_DIR", previous_->c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}
