#pragma once

#include <string>

namespace oryx::platform {

// Where running simulators publish links to their ports: $XDG_RUNTIME_DIR/oryx-sim, else
// /tmp/oryx-sim-<uid>. The folder is not created here.
std::string simulatorLinkFolder();

// True for a real folder (not a link to one) that this user owns and that nobody else may
// write in: only then are the links in it this user's own simulators. In /tmp anyone could
// have made the folder first and filled it with links to any device.
bool isPrivateFolder(const std::string& folder);

} // namespace oryx::platform
