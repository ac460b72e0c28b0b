#pragma once

#include "platform/LineSettings.h"

namespace oryx::platform {

// Line settings on a tty descriptor through the kernel's termios2 interface, which takes any
// rate (14400 has no speed constant). Both return 0 or an errno value.
class TtyAttributes {
public:
    // Raw mode (no echo, no line editing, no translation, no software flow control) with the
    // given rate and framing. The modem lines are not touched.
    static int applyRaw(int fd, const LineSettings& settings);
    // Rate, data bits, parity, stop bits and handshake as set now; on a pty master these are
    // the settings its slave was given. DTR and RTS are left as they are in `settings`.
    // A pty always runs 8 data bits without parity, whatever was asked of it.
    static int read(int fd, LineSettings& settings);
};

} // namespace oryx::platform
