#pragma once

#include <string_view>

namespace oryx::sim {

// The radio behind a PtyHost. Every call comes from the host's thread.
class SimulatedDevice {
public:
    virtual ~SimulatedDevice() = default;
    // The program opened the port (first opener) or closed it (last closer).
    virtual void portOpened() = 0;
    virtual void portClosed() = 0;
    // Bytes as the radio hears them: garbled when the program's line settings differ.
    virtual void bytesReceived(std::string_view bytes) = 0;
};

} // namespace oryx::sim
