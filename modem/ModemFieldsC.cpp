#include "modem/ModemFieldsC.h"

#include "modem/ModemModelsC.h"
#include "platform/PortNames.h"

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
// both stay the box's text when no entry begins with them.
void ModemFieldsC::ShowPortText() {
    const bool typed = portBox.Typed() && portBox.Text() == portText;
    if (!portBox.SelectPrefix(portText) &&
        (typed || oryx::platform::PortNames::isNetworkPort(portText))) {
        portBox.SetText(portText);
    }
}
