#include "modem/ModemSettingsC.h"

#include "modem/ModemModelsC.h"
#include "modem/ModemSessionC.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

namespace {

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

constexpr unsigned kMaxLink = 15;

std::string LowerHexDigit(unsigned value) {
    static const char digits[] = "0123456789abcdef";
    return std::string(1, digits[std::min(value, kMaxLink)]);
}

// The link text as a link number, or nothing when it is no decimal number the Link box offers.
std::optional<unsigned> LinkNumber(const std::string& text) {
    if (text.empty() || text.size() > 2 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const unsigned link = static_cast<unsigned>(std::stoul(text));
    return link <= kMaxLink ? std::optional<unsigned>(link) : std::nullopt;
}

std::string WithoutLeadingZeros(std::string text) {
    const size_t first = text.find_first_not_of('0');
    text.erase(0, first == std::string::npos ? text.size() : first);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The radio answers "sd?" with the echo, then its rate code before the prompt. Only that code
// proves the radio is listening at the new rate; garbage or silence at a wrong rate does not.
bool AnswerCarriesCode(const std::string& reply, const std::string& code) {
    const size_t echo = reply.rfind("sd?");
    const size_t from = echo == std::string::npos ? 0 : echo + 3;
    // The prompt that answered the lone CR may stand before it when the echo is missing.
    const size_t start = reply.find_first_not_of("\r\n>", from);
    if (start == std::string::npos) {
        return false;
    }
    const size_t end = reply.find_first_of("\r\n>", start);
    const std::string answer =
        reply.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return !answer.empty() && WithoutLeadingZeros(answer) == WithoutLeadingZeros(code);
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
    // A mode the box does not offer is no mode: keeping it would later be written back as
    // "wb-1", and on a 2410 it would pass for the KV7730 device.
    const int mode = value == 0 || value == 1 ? value : -1;
    f.modeBox.Select(mode);
    f.modeIndex = f.readMode = f.deviceIndex = f.readDevice = mode;

    if (!Query("wn?", value, "ERROR: Could not read 'Link number'.", "Link number")) {
        return RC_UNDEFINED;
    }
    // A long reply sets the top bit; read as unsigned it is simply too large.
    f.readLink = static_cast<int>(std::min(static_cast<unsigned>(value), kMaxLink));
    f.linkText = std::to_string(f.readLink);

    if (ModemModelsC::Model(f.modelNumber).readsRange) {
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
    const int rc = WriteSettings();
    if (rc != RC_OK) {
        // A notice speaks of a save that went through; this one did not.
        saveNotice_.clear();
    }
    return rc;
}

int ModemSettingsC::WriteSettings() {
    ModemSessionC::WaitCursorC wait(session_.view());
    ModemFieldsC& f = session_.fields();
    ModemLinkC& link = session_.link();
    if (!link.HandleValid()) {
        session_.Log("ERROR: SaveSettings RC_PORT_NOT_OPEN.");
        return RC_PORT_NOT_OPEN;
    }
    saveNotice_.clear();
    session_.TakeFieldsFromControls();
    if (RefuseIncompleteSave()) {
        return RC_UNDEFINED;
    }
    link.PurgeQueues();
    char drain[ModemLinkC::kBufferSize];
    if (link.ReadStr(drain, sizeof drain) != RC_OK) {
        return RC_UNDEFINED;
    }

    f.modeIndex = f.modeBox.Selected();
    if (!Set("wb" + std::to_string(f.modeIndex), "ERROR: Could not set 'Mode'.")) {
        return RC_UNDEFINED;
    }
    if (!Set("wn" + LowerHexDigit(*LinkNumber(f.linkText)),
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
    // A fixed parameter the radio refuses does not spoil the save, but a store command that
    // never reached the radio (the cable pulled meanwhile) leaves nothing saved.
    if (link.SendLine("m>") != RC_OK) {
        session_.Log("ERROR: Settings could not be stored.");
        return RC_UNDEFINED;
    }
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
        saveNotice_ = "Settings saved, but the baud rate is still " + f.currentBaud +
                      ": this radio model has no baud-rate codes.";
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
    link.PurgeQueues();
    SleepMs(200);
    link.PurgeQueues();
    link.PortWrite(ModemLinkC::CR);
    SleepMs(200);
    link.SendLine("sd?");
    SleepMs(200);
    char reply[ModemLinkC::kBufferSize];
    if (link.ReadStr(reply, sizeof reply) != RC_OK || !AnswerCarriesCode(reply, *code)) {
        session_.Log("ERROR: Could not connect to radio at new baudrate " + f.baudText);
        return RC_UNDEFINED;
    }
    return RC_OK;
}

bool ModemSettingsC::RefuseIncompleteSave() {
    const ModemFieldsC& f = session_.fields();
    if (f.modeBox.Selected() < 0) {
        Refuse("ERROR: No 'Mode' selected, settings not saved.", "Select a 'Mode' before saving.",
               "Mode");
        return true;
    }
    if (!LinkNumber(f.linkText)) {
        Refuse("ERROR: No 'Link number' selected, settings not saved.",
               "Select a 'Link number' before saving.", "Link number");
        return true;
    }
    return false;
}

void ModemSettingsC::Refuse(const char* errorLog, const char* message, const char* caption) {
    session_.Log(errorLog);
    session_.view().MessageBox(message, caption, ModemViewI::ButtonsT::Ok, ModemViewI::IconT::None);
    session_.LeaveCommandMode();
}

int ModemSettingsC::WriteFixedParameters() {
    const ModemFieldsC& f = session_.fields();
    for (const ModemModelS::CommandRowS& row :
         ModemModelsC::Model(f.modelNumber).fixedParameterRows) {
        if (!Set(row.Text(f.kvVariant, f.deviceIndex), row.errorLog)) {
            return 1;
        }
    }
    return 0;
}
