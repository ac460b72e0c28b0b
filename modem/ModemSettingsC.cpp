#include "modem/ModemSettingsC.h"

#include "modem/ModemModelsC.h"
#include "modem/ModemSessionC.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string LowerHexDigit(int value) {
    static const char digits[] = "0123456789abcdef";
    return std::string(1, digits[std::clamp(value, 0, 15)]);
}

struct FixedParameterS {
    std::string command;
    const char* errorLog;
};

std::vector<FixedParameterS> FixedParameters(int modelNumber, bool kvVariant, int deviceIndex) {
    switch (modelNumber) {
    case ModemModelsC::kModel2400:
        return {{"pr10", "ERROR: Could not set 'packet delivery attempts'."}};
    case ModemModelsC::kModel2410:
        return {{"pn1", "ERROR: Could not set 'max. remotes'."},
                {kvVariant ? "pw30" : "pw34", "ERROR: Could not set 'max. buffer size'."},
                {"pr10", "ERROR: Could not set 'packet delivery attempts'."},
                {"wu01", "ERROR: Could not set 'Point-To-Point' (service)."},
                {kvVariant ? "dx04" : "dx00", "ERROR: Could not set 'Range'."}};
    case ModemModelsC::kModel2450:
        return {{"pn01", "ERROR: Could not set 'max. remotes'."},
                {"pw2F", "ERROR: Could not set 'max. buffer size'."},
                {"pr10", "ERROR: Could not set 'packet delivery attempts'."},
                {"wu01", "ERROR: Could not set 'Point-To-Point' (service)."},
                {deviceIndex == 0 ? "dm01" : "dm00", "ERROR: Could not set 'Range (dm)'."},
                {deviceIndex == 0 ? "dx0F" : "dx00", "ERROR: Could not set 'Range (dx)'."},
                {"zb01", "ERROR: Could not set the Banner display."},
                {"zc01", "ERROR: Could not set the Escape sequence mode."},
                {"zr00", "ERROR: Could not set the RTS pin."},
                {"zs00", "ERROR: Could not set the Sleep pin."},
                {"ww01", "ERROR: Could not set the DCD line."}};
    default:
        return {};
    }
}

} // namespace

bool ModemSettingsC::Query(const char* command, int& value, const char* errorLog,
                           const char* caption) {
    if (session_.link().RadioCommand(command, value) == RC_OK) {
        return true;
    }
    session_.Log(errorLog);
    session_.view().MessageBox("Error", caption, ModemViewI::ButtonsT::Ok, ModemViewI::IconT::None);
    return false;
}

bool ModemSettingsC::Set(const std::string& command, const char* errorLog) {
    int ignored = 0;
    if (session_.link().RadioCommand(command.c_str(), ignored) == RC_OK) {
        return true;
    }
    session_.Log(errorLog);
    return false;
}

int ModemSettingsC::ReadSettings() {
    ModemSessionC::WaitCursorC wait(session_.view());
    ModemFieldsC& f = session_.fields();
    if (!session_.link().HandleValid()) {
        session_.Log("ERROR: ReadSettings RC_PORT_NOT_OPEN.");
        return RC_PORT_NOT_OPEN;
    }
    f.readBaudIndex = f.baudBox.Selected();
    if (!session_.EnterCommandMode()) {
        return RC_UNDEFINED;
    }

    int value = 0;
    if (!Query("wb?", value, "ERROR: Could not read 'Mode'.", "Mode")) {
        return RC_UNDEFINED;
    }
    f.modeBox.Select(value);
    f.modeIndex = f.readMode = f.deviceIndex = f.readDevice = value;

    if (!Query("wn?", value, "ERROR: Could not read 'Link number'.", "Link number")) {
        return RC_UNDEFINED;
    }
    f.readLink = std::min(value, 15);
    f.linkText = std::to_string(f.readLink);

    if (f.modelNumber == ModemModelsC::kModel2410) {
        if (!Query("dx?", value, "ERROR: Could not read 'Range'.", "Range")) {
            return RC_UNDEFINED;
        }
        if (value == 4) {
            f.kvVariant = true;
            f.deviceIndex = f.readDevice = 2;
        }
    }

    if (f.serviceMode) {
        if (!Query("wp?", value, "ERROR: Could not read 'Transmit power' (service).",
                   "Transmit power")) {
            return RC_UNDEFINED;
        }
        f.power = f.readPower = value;
        if (!Query("pe?", value, "ERROR: Could not read 'Freq. band' (service).",
                   "Frequency band")) {
            return RC_UNDEFINED;
        }
        char band[16];
        std::snprintf(band, sizeof band, "%.2X", static_cast<unsigned>(value));
        f.band = f.readBand = band;
    }

    f.deviceBox.Select(f.deviceIndex);
    f.deviceText = f.deviceBox.SelectedText();
    f.modeText = f.modeBox.SelectedText();
    session_.WriteFieldsToControls();
    session_.view().Beep();
    f.settingsRead = true;
    session_.Log("Radio settings read OK.");
    return RC_OK;
}

int ModemSettingsC::SaveSettings() {
    ModemSessionC::WaitCursorC wait(session_.view());
    ModemFieldsC& f = session_.fields();
    ModemLinkC& link = session_.link();
    if (!link.HandleValid()) {
        session_.Log("ERROR: SaveSettings RC_PORT_NOT_OPEN.");
        return RC_PORT_NOT_OPEN;
    }
    session_.TakeFieldsFromControls();
    link.PurgeQueues();
    char drain[ModemLinkC::kBufferSize];
    if (link.ReadStr(drain, sizeof drain) != RC_OK) {
        return RC_UNDEFINED;
    }

    f.modeIndex = f.modeBox.Selected();
    if (!Set("wb" + std::to_string(f.modeIndex), "ERROR: Could not set 'Mode'.")) {
        return RC_UNDEFINED;
    }
    if (!Set("wn" + LowerHexDigit(std::atoi(f.linkText.c_str())),
             "ERROR: Could not set 'Link number'.")) {
        return RC_UNDEFINED;
    }
    if (f.currentBaud != f.baudText) {
        if (int rc = ChangeBaudRate(); rc != RC_OK) {
            return rc;
        }
    }
    if (f.serviceMode) {
        if (!Set("pe" + f.band, "ERROR: Could not set 'Freq. band' (service).") ||
            !Set("wp" + std::to_string(f.power),
                 "ERROR: Could not set 'Transmit power' (service).")) {
            return RC_UNDEFINED;
        }
    }
    WriteFixedParameters();
    link.SendLine("m>");
    session_.LeaveCommandMode();
    session_.view().Beep();
    f.settingsRead = false;
    session_.Log("Settings stored OK.");
    return RC_OK;
}

// The radio switches its rate as soon as it has the command, so the PC follows at once and
// then checks that the radio still answers.
int ModemSettingsC::ChangeBaudRate() {
    ModemFieldsC& f = session_.fields();
    ModemLinkC& link = session_.link();
    std::optional<std::string> code =
        ModemModelsC::BaudRateCode(f.modelNumber, f.baudBox.Selected());
    if (!code) {
        session_.Log("ERROR: No baudrate code for model " + std::to_string(f.modelNumber) +
                     ", baudrate not changed.");
        return RC_OK;
    }
    const std::string command = "sd" + *code;
    link.SendLine(command.c_str());
    SleepMs(200);
    session_.Log("Baudrate set to " + f.baudText + " with " + command);
    f.currentBaud = f.baudText;
    if (!link.SetBaudRate(f.baudText)) {
        session_.Log("ERROR: Could not set computer to new baudrate.");
        return RC_PORT_SETUP_FAILED;
    }
    link.PurgeAll();
    SleepMs(200);
    link.PurgeAll();
    link.PortWrite(ModemLinkC::CR);
    SleepMs(200);
    link.SendLine("sd?");
    SleepMs(200);
    char reply[ModemLinkC::kBufferSize];
    if (link.ReadStr(reply, sizeof reply) != RC_OK) {
        session_.Log("ERROR: Could not connect to radio at new baudrate " + f.baudText);
        return RC_UNDEFINED;
    }
    return RC_OK;
}

int ModemSettingsC::WriteFixedParameters() {
    const ModemFieldsC& f = session_.fields();
    for (const FixedParameterS& row : FixedParameters(f.modelNumber, f.kvVariant, f.deviceIndex)) {
        if (!Set(row.command, row.errorLog)) {
            return 1;
        }
    }
    return 0;
}
