#include "modem/ModemFieldsC.h"

#include "modem/ModemModelsC.h"
#include "platform/PortNames.h"

#include <filesystem>

namespace {

bool DeviceExists(const std::string& portText) {
    std::error_code ignored;
    return std::filesystem::exists(oryx::platform::PortNames::devicePath(portText), ignored);
}

} // namespace

ModemFieldsC::ModemFieldsC() {
    baudBox.SetEntries(ModemModelsC::BaudRates());
    std::vector<std::string> links;
    for (int link = 0; link <= ModemModelsC::kMaxLink; ++link) {
        links.push_back(std::to_string(link));
    }
    linkBox.SetEntries(std::move(links));
    modeBox.SetEntries(ModemModelsC::Modes());
}

ComboBoxModelC& ModemFieldsC::box(BoxT which) {
    switch (which) {
    case BoxT::Port:
        return portBox;
    case BoxT::Baud:
        return baudBox;
    case BoxT::Device:
        return deviceBox;
    case BoxT::Link:
        return linkBox;
    case BoxT::Mode:
        break;
    }
    return modeBox;
}

void ModemFieldsC::TakeFromControls() {
    portText = portBox.Text();
    baudText = baudBox.SelectedText();
    deviceText = deviceBox.SelectedText();
    linkText = linkBox.SelectedText();
    modeText = modeBox.SelectedText();
}

void ModemFieldsC::WriteToControls() {
    ShowPortText();
    baudBox.SelectPrefix(baudText);
    deviceBox.SelectPrefix(deviceText);
    linkBox.SelectPrefix(linkText);
    modeBox.SelectPrefix(modeText);
}

// A network port is never listed, and a text the user typed is what the user wants opened:
// both stay the box's text when no entry begins with them. Any other port text no entry
// begins with stays too, marked missing while its device is not there: it is still the
// user's port (closing stores it), and it is chosen again when it is plugged back in.
void ModemFieldsC::ShowPortText() {
    const bool typedByUser = portBox.Typed() && !portBox.Missing() && portBox.Text() == portText;
    if (portBox.SelectPrefix(portText) || portText.empty()) {
        return;
    }
    if (typedByUser || oryx::platform::PortNames::isNetworkPort(portText) ||
        DeviceExists(portText)) {
        portBox.SetText(portText);
    } else {
        portBox.SetMissingText(portText);
    }
}
