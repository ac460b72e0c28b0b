#pragma once

#include <cstdint>

// Result codes of the modem link and of the operations built on it. They never leave the
// program.
enum ModemResultT : int16_t {
    RC_OK = 0,
    RC_UNDEFINED = 1,
    RC_PORT_SETUP_FAILED = 2,
    RC_PORT_NOT_OPEN = 3,
    RC_NO_CHAR = 4,
    RC_NO_WRITE = 5,
    RC_BUFFER_FULL = 10,
    RC_CANCELLED = 11,
};
