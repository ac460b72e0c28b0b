#pragma once

#include "platform/LineSettings.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace oryx::sim {

// A default remote peer: the device the module connects to on its own.
struct ModulePeer {
    std::string address;
    long peerCode = 130;
    long peerFlag = 0;
    std::string name;

    bool operator==(const ModulePeer&) const = default;
};

// Everything the radio module keeps, in its own codes. The module holds one copy in effect
// and one in permanent memory; a reset loads the permanent one.
struct ModuleSettings {
    // Burnt in: neither commands nor the maker's defaults change these.
    std::string address = "0080370A1B2C";
    std::array<std::string, 5> versions{"ORYX 64 module", "firmware 4.2.7", "stack 2.1.0",
                                        "hardware rev C", "build 2026-03-14"};

    std::string name = "ORYX-64";
    long classOfDevice = 7978;
    long serviceProfile = 0;
    std::string serviceName = "Serial Port";
    long connectability = 2;
    long discoverability = 3;
    long multidrop = 0;
    long clientProfile = 255;
    long serverProfile = 0;
    long remotePeers = 0;
    long featureMask = 0;
    long dtrSetting = 1;
    long dsrSetting = 1;
    long powerSave = 1;
    long security = 1;
    std::string pin = "0000";
    std::string ssid = "ORYX";

    // Serial interface codes: baud 4 = 4800 ... 9 = 115200 ... 12 = 921600; data bits
    // 1 = 8 ... 4 = 5; stop bits 1 or 2; parity 1 = none, 2 = odd, 3 = even; flow
    // control 1 = RTS/CTS, 2 = none.
    long baudCode = 9;
    long dataBitsCode = 1;
    long stopBitsCode = 1;
    long parityCode = 1;
    long flowCode = 2;

    // Default remote peers by index.
    std::map<long, ModulePeer> peers;

    bool operator==(const ModuleSettings&) const = default;

    // The maker's defaults for everything but the burnt-in values, which are kept.
    ModuleSettings makerDefaults() const;
    // The line the module's serial interface runs with these settings. A pty always carries
    // 8 data bits without parity, so only the rate and the stop bits take part.
    platform::LineSettings line() const;

    // The module's own rate table; it knows rates the PC side has no code for (7 = 38400).
    static std::optional<std::uint32_t> rateForCode(long code);
    static std::optional<long> codeForRate(std::uint32_t rate);
};

} // namespace oryx::sim
