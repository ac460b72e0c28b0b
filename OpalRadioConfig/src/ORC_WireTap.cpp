#include "ORC_WireTap.h"

#include "platform/WireTap.h"

#include <type_traits>

namespace ORC {

// The library holds its own copy of the serial device; the host's tap goes into that copy.
static_assert(std::is_same_v<WireTapT, oryx::platform::WireTap::Sink>);

void setWireTap(WireTapT tap) {
    oryx::platform::WireTap::install(tap);
}

} // namespace ORC
