#include "moduleui/SearchPairCoreC.h"

using namespace ORC::CFG;

SearchPairCoreC::SearchPairCoreC(ModuleDialogCoreC* dialog, ControllerT* controller,
                                 ModuleViewI& view)
    : ModuleTabCoreC(dialog, controller, view) {}

std::string SearchPairCoreC::Describe(const DevNameAddressPairT& device) {
    return std::string(device.m_szName) + " (" + device.m_szAddress + ")";
}

void SearchPairCoreC::OnInitDialog() {
    pairEnabled = false;
    SetEnabled(false);
}

void SearchPairCoreC::SetEnabled(bool on) {
    ModuleTabCoreC::SetEnabled(on);
    RefreshRole();
    UpdateControls();
}

// The role is asked of the module each time the page is switched on.
void SearchPairCoreC::RefreshRole() {
    if (enabled() && CanTalk()) {
        ConnectionProfileT profile = PROFILE_NONE;
        controller_->getDefaultClientProfile(profile);
        SetClientRole(profile == PROFILE_SERIAL_PORT);
    }
}

void SearchPairCoreC::ClearList() {
    listLines.clear();
    selectedLine = -1;
}

void SearchPairCoreC::SetClientRole(bool flag) {
    clientRole = flag;
    ClearList();
    if (!flag) {
        listLines.push_back(kServerRoleLine);
        listText = kServerRoleLine;
    }
    view_.ShowControls();
    UpdateControls();
}

void SearchPairCoreC::UpdateControls() {
    const bool on = enabled() && clientRole;
    pageEnabled = on;
    searchEnabled = on;
    listEnabled = on;
    pairEnabled = on && selectedLine >= 0;
    view_.ShowControls();
}

void SearchPairCoreC::OnLineSelected(int index) {
    selectedLine = index;
    UpdateControls();
}

void SearchPairCoreC::Read() {
    if (!CanTalk()) {
        ReportFailure("Failed to read settings", "Failed to read settings");
        return;
    }
    DevNameAddressPairT device;
    if (controller_->getPairedDevice(device) == CFG_OK) {
        pairedDevice = Describe(device);
        view_.ShowControls();
        ShowStatus("Settings read");
    } else {
        ShowStatus("Device is currently not paired");
    }
}

void SearchPairCoreC::Search() {
    foundDevices.clear();
    ClearList();
    view_.ShowControls();
    ShowStatus("Searching for devices ...");
    view_.SetWaitCursor(true);
    std::vector<DevNameAddressPairT> devices;
    devices.reserve(kSearchCapacity);
    // The controller reports an empty neighbourhood as a failure too, so the list tells what
    // was found. The module is asked once more afterwards: one that vanished mid-search would
    // otherwise pass for an empty or a smaller neighbourhood.
    bool searched = false;
    if (CanTalk()) {
        controller_->searchDevices(devices);
        searched = CanTalk();
    }
    if (searched) {
        foundDevices = devices;
        for (const DevNameAddressPairT& device : foundDevices) {
            listLines.push_back(Describe(device));
        }
        ShowStatus(foundDevices.empty()
                       ? std::string("Search finished, no devices found")
                       : "Search finished, " + std::to_string(foundDevices.size()) +
                             " devices found");
        pairEnabled = !foundDevices.empty();
        view_.ShowControls();
    } else {
        ReportFailure("Failed to search device", "Failed to search devices");
    }
    view_.SetWaitCursor(false);
}

void SearchPairCoreC::Pair() {
    view_.TakeControls();
    pairedDevice.clear();
    const int index = selectedLine;
    bool paired = false;
    if (index >= 0 && static_cast<size_t>(index) < foundDevices.size() && CanTalk() &&
        controller_->pairDevice(foundDevices[index], true) == CFG_OK) {
        paired = true;
        pairedDevice = Describe(foundDevices[index]);
    }
    view_.ShowControls();
    if (paired) {
        ShowStatus("Paired with " + pairedDevice);
    } else {
        ReportFailure("Pairing failed with current selection",
                      "Pairing failed with current selection");
    }
}
