#pragma once

#include "common/DetectWaitHooksS.h"
#include "common/DiscoveredPortS.h"

#include <functional>
#include <string>
#include <vector>

// Finds the radio modem without knowing its port: the radio speaks only when its cable is
// reconnected, so every port listens at once while the user does that once; the port that
// hears something is the radio's, and the rate is then found on that port alone.
class ModemDiscoveryC {
public:
    struct OptionsS {
        std::string firstBaud = "9600"; // rate the ports are opened at while listening
        DetectWaitHooksS wait;          // pumpFor / cancelled, as detection's wait uses them
        // Asked once before listening, and again when the rate walk needs another reconnect;
        // text is what the user is to do (DetectWaitHooksS::kReconnectText), baud the rate now
        // tried.
        std::function<void(const std::string& text, const std::string& baud)> askReconnect;
        // Each wait for the radio ends after this long, as no answer; 0: only a cancel ends it.
        int waitLimitMs = 0;
    };
    // Listens on every port at once for the banner (or any bytes at a wrong rate); the port
    // where bytes arrive is the radio's; then walks the rates on that port alone as detection
    // does. Writes nothing to the radio. One result per port in the order given.
    static std::vector<DiscoveredPortS> Run(const std::vector<std::string>& ports,
                                            const OptionsS& options);

    // The family name of a model number as its device list writes it ("ORYX62" for 2410).
    static std::string FamilyOf(int modelNumber);
};
