#pragma once

#include "modem/ModemResultC.h"

#include <cstddef>
#include <string>

class ModemLinkC;
class ModemSessionC;
class ModemSettingsC;

// Finds the radio: opens the port at one baud rate after another, waits for the start-up
// banner the radio sends when its cable is reconnected, and takes the model from it.
class ModemDetectionC {
public:
    ModemDetectionC(ModemSessionC& session, ModemSettingsC& settings)
        : session_(session), settings_(settings) {}

    ModemOutcomeT OnDetect();
    void NextBaudRate();
    // 0 when a banner was read, 1 otherwise.
    int ReadBanner();
    // Reads the banner the wait heard coming; false when none came, or only noise.
    static bool ReadBannerFrom(ModemLinkC& link, std::string& banner, int& modelNumber);
    // The banner and its model number from text read up to the banner's ':'; false for
    // noise. The buffer is filtered in place.
    static bool BannerOf(ModemLinkC& link, char* buffer, size_t size, std::string& banner,
                         int& modelNumber);

    static constexpr int kMaxOpenFailures = 5;

private:
    enum class AttemptT { Pending, Success, Failed };
    static std::string CannotOpenText(const ModemLinkC& link, const std::string& portText);
    bool ShowDetectDialog();
    ModemOutcomeT FinishConnect();

    ModemSessionC& session_;
    ModemSettingsC& settings_;
};
