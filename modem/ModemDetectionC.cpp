#include "modem/ModemDetectionC.h"

#include "modem/DetectWaitC.h"
#include "modem/ModemModelsC.h"
#include "modem/ModemSessionC.h"
#include "modem/ModemSettingsC.h"
#include "platform/PortNames.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

ModemOutcomeT ModemDetectionC::OnDetect() {
    ModemFieldsC& f = session_.fields();
    ModemLinkC& link = session_.link();
    session_.Log("Button 'Connect' pressed.");
    session_.TakeFieldsFromControls();
    f.currentBaud = f.baudText;

    bool bannerRead = false;
    bool cancelled = false;
    int openFailures = 0;
    while (!cancelled && !bannerRead) {
        if (session_.OpenModemPort(f.currentBaud, false) != RC_OK) {
            link.CloseModemPort();
            if (!link.openErrorText().empty()) {
                session_.Log("ERROR: " + link.openErrorText());
            }
            // A local port may be free a moment later; a device server that is not found,
            // refuses or does not answer will not change its mind at the next rate, and each
            // try could wait out the whole connect limit.
            if (++openFailures >= kMaxOpenFailures ||
                oryx::platform::PortNames::isNetworkPort(f.portText)) {
                session_.Log("ERROR: Cannot open port. OnDetect returns.");
                session_.view().MessageBox(CannotOpenText(link, f.portText), "Error",
                                           ModemViewI::ButtonsT::Ok, ModemViewI::IconT::None);
                f.connected = false;
                return ModemOutcomeT::PortUnavailable;
            }
            session_.Log("ERROR: Could not open port " +
                         oryx::platform::PortNames::displayName(f.portText));
            NextBaudRate();
            continue;
        }
        session_.Log("Port " + oryx::platform::PortNames::displayName(f.portText) + " opened at " +
                     f.baudText);
        if (!ShowDetectDialog()) {
            session_.Log("Tentative connection cancelled.");
            cancelled = true;
            link.CloseModemPort();
            f.connected = false;
        } else if (ReadBanner() != 0) {
            link.CloseModemPort();
            session_.Log("Could't read banner, port closed.");
            NextBaudRate();
        } else {
            bannerRead = true;
        }
    }
    return bannerRead ? FinishConnect() : ModemOutcomeT::Cancelled;
}

// A port text that names a file, a folder or a socket is never going to answer at another
// rate, and a device server fails for reasons of its own (host not found, connection refused,
// no serial port control); the plain message would leave the user guessing why.
std::string ModemDetectionC::CannotOpenText(const ModemLinkC& link, const std::string& portText) {
    std::string text = "Cannot open port.";
    if (link.openError() == ENOTTY ||
        (oryx::platform::PortNames::isNetworkPort(portText) && !link.openErrorText().empty())) {
        text += "\n" + link.openErrorText();
    }
    return text;
}

bool ModemDetectionC::ShowDetectDialog() {
    DetectWaitC wait(session_.link());
    const std::string caption = "Waiting for radio at " + session_.fields().currentBaud + " bps...";
    return session_.view().RunDetectDialog(
        caption, [&wait](const DetectWaitHooksS& hooks) { return wait.Run(hooks); });
}

ModemOutcomeT ModemDetectionC::FinishConnect() {
    ModemFieldsC& f = session_.fields();
    session_.ShowConnectedState();
    f.connected = true;
    if (settings_.ReadSettings() != RC_OK) {
        session_.ShowDisconnectedState();
        session_.link().CloseModemPort();
        f.connected = false;
        session_.Log("ERROR: Settings could not be read.");
        session_.view().MessageBox("Settings could not be read.", "Error", ModemViewI::ButtonsT::Ok,
                                   ModemViewI::IconT::None);
        return ModemOutcomeT::RadioFailed;
    }
    f.connectLabel = ModemFieldsC::kDisconnectLabel;
    session_.view().ShowControls();
    return ModemOutcomeT::Ok;
}

void ModemDetectionC::NextBaudRate() {
    ModemFieldsC& f = session_.fields();
    int next = f.baudBox.Selected() + 1;
    if (next > ModemModelsC::kLastBaudIndex) {
        next = 0;
    }
    f.baudBox.Select(next);
    f.currentBaud = f.baudBox.SelectedText();
    f.baudText = f.currentBaud;
    session_.view().ShowControls();
}

int ModemDetectionC::ReadBanner() {
    ModemFieldsC& f = session_.fields();
    std::string banner;
    int modelNumber = 0;
    if (!ReadBannerFrom(session_.link(), banner, modelNumber)) {
        return 1;
    }
    f.banner = banner;
    session_.WriteFieldsToControls();
    f.modelNumber = modelNumber;
    session_.Log("Banner: " + f.banner);
    return 0;
}

bool ModemDetectionC::ReadBannerFrom(ModemLinkC& link, std::string& banner, int& modelNumber) {
    // The rest of the banner is still on its way when the first bytes end the wait.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    char buffer[ModemLinkC::kBufferSize] = {};
    if (link.ReadTerminatedStr(buffer, sizeof buffer, ':') != RC_OK) {
        return false;
    }
    return BannerOf(link, buffer, sizeof buffer, banner, modelNumber);
}

bool ModemDetectionC::BannerOf(ModemLinkC& link, char* buffer, size_t size, std::string& banner,
                               int& modelNumber) {
    if (link.FilterBuffer(buffer, size, 'W') != 0) {
        return false;
    }
    // Too short to carry a model number: most likely noise at the wrong rate.
    if (std::string(buffer).size() < 7) {
        return false;
    }
    banner = buffer;
    modelNumber = std::atoi(banner.substr(3, 4).c_str());
    return true;
}
