#pragma once

#include <string>

namespace oryx::platform {

// Where running simulators publish links to their ports: $XDG_RUNTIME_DIR/oryx-sim, else
// /tmp/oryx-sim-<uid>. The folder is not created here.
std::string simulatorLinkFolder();

} // namespace oryx::platform
