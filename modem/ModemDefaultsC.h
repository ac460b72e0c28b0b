#pragma once

#include "modem/ModemResultC.h"

class ModemSessionC;
class ModemSettingsC;

// Resets the connected radio to the maker's defaults and leaves the dialog disconnected at
// the model's default baud rate.
class ModemDefaultsC {
public:
    ModemDefaultsC(ModemSessionC& session, ModemSettingsC& settings)
        : session_(session), settings_(settings) {}

    // RC_CANCELLED when the user declines, otherwise 0 (failures have been shown); the
    // outcome tells a declined, failed and completed reset apart.
    int RestoreDefaults(ModemOutcomeT& outcome);

private:
    bool SetBand();
    bool Command(const char* command, const char* errorLog);

    ModemSessionC& session_;
    ModemSettingsC& settings_;
};
