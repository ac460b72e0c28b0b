#include "modem/ModemSessionC.h"

#include "common/EventLogFileC.h"
#include "modem/ModemModelsC.h"
#include "platform/PortNames.h"

#include <chrono>
#include <thread>

ModemSessionC::ModemSessionC(EventLogFileC& log, ModemViewI& view)
    : log_(log), view_(view), link_(log) {}

void ModemSessionC::Log(const std::string& text) {
    log_.Log(text);
}

int ModemSessionC::OpenModemPort(const std::string& baudText, bool reportErrors) {
    TakeFieldsFromControls();
    const int rc = link_.OpenModemPort(fields_.portText, baudText);
    if (rc == RC_OK) {
        return rc;
    }
    if (!link_.HandleValid()) {
        if (reportErrors) {
            const std::string text = "Couldn't open port " +
                                     oryx::platform::PortNames::displayName(fields_.portText) +
                                     ". rc=" + std::to_string(link_.openError()) + "\r\n";
            log_.Log(text);
            view_.MessageBox(text, "Error", ModemViewI::ButtonsT::Ok, ModemViewI::IconT::None);
        }
        return rc;
    }
    // The device opened but refused the line settings.
    if (reportErrors) {
        view_.MessageBox("Unable to configure the serial port", "Error", ModemViewI::ButtonsT::Ok,
                         ModemViewI::IconT::None);
    }
    log_.Log("Unable to configure the serial port");
    return rc;
}

void ModemSessionC::TakeFieldsFromControls() {
    view_.TakeControls();
    fields_.TakeFromControls();
}

void ModemSessionC::WriteFieldsToControls() {
    fields_.WriteToControls();
    view_.ShowControls();
}

void ModemSessionC::ShowConnectedState() {
    ModemFieldsC& f = fields_;
    f.portBox.SetEnabled(false);
    f.deviceBox.SetEnabled(true);
    f.deviceBox.SetEntries(ModemModelsC::Model(f.modelNumber).devices);
    f.deviceIndex = -1;
    f.linkBox.SetEnabled(true);
    f.modeBox.SetEnabled(true);
    f.saveEnabled = true;
    f.defaultEnabled = true;
    f.readBaudIndex = -1;
    f.readLink = -1;
    f.readMode = -1;
    if (f.serviceMode) {
        f.serviceEnabled = true;
    }
    WriteFieldsToControls();
}

void ModemSessionC::ShowDisconnectedState() {
    ModemFieldsC& f = fields_;
    f.deviceText.clear();
    f.linkText.clear();
    f.modeText.clear();
    f.banner.clear();
    f.deviceIndex = -1;
    f.modeIndex = -1;
    f.deviceBox.Select(-1);
    f.linkBox.Select(-1);
    f.modeBox.Select(-1);
    f.deviceBox.SetEnabled(false);
    f.linkBox.SetEnabled(false);
    f.modeBox.SetEnabled(false);
    f.saveEnabled = false;
    f.defaultEnabled = false;
    f.portBox.SetEnabled(true);
    f.serviceEnabled = false;
    f.kvVariant = false;
    WriteFieldsToControls();
}

void ModemSessionC::Disconnect() {
    ShowDisconnectedState();
    fields_.connectLabel = ModemFieldsC::kConnectLabel;
    link_.CloseModemPort();
    fields_.connected = false;
    view_.ShowControls();
}

bool ModemSessionC::EnterCommandMode() {
    char buffer[ModemLinkC::kBufferSize];
    link_.PurgeQueues();
    if (link_.ReadStr(buffer, sizeof buffer) != RC_OK) {
        return false;
    }
    link_.SendLine(":wit2400");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return link_.ReadStr(buffer, sizeof buffer) == RC_OK;
}

void ModemSessionC::LeaveCommandMode() {
    link_.SendLine("z>");
}
