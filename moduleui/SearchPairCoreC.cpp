#include "moduleui/SearchPairCoreC.h"

SearchPairCoreC::SearchPairCoreC(ModuleDialogCoreC* dialog, ControllerT* controller,
                                 ModuleViewI& view)
    : ModuleTabCoreC(dialog, controller, view) {}

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
        SetClientRole(module_->IsClientRole());
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
    ModulePairedS paired;
    paired.result = ModuleCoreC::Failure(ModuleCoreC::kReadFailed);
    if (module_) {
        paired = module_->PairedDevice();
    }
    switch (paired.result.outcome) {
    case ModuleOutcomeT::Done:
        pairedDevice = ModuleCoreC::Describe(paired.device);
        view_.ShowControls();
        ShowStatus(paired.result.text);
        break;
    case ModuleOutcomeT::NotPaired:
        ShowStatus(paired.result.text);
        break;
    default:
        ReportFailure(paired.result);
        break;
    }
}

// The page offers the search only in the client role, which it asked when it was switched on.
void SearchPairCoreC::Search() {
    foundDevices.clear();
    ClearList();
    view_.ShowControls();
    ShowStatus("Searching for devices ...");
    view_.SetWaitCursor(true);
    ModuleSearchS search;
    search.result = {ModuleOutcomeT::Failed, ModuleCoreC::kSearchFailedText,
                     ModuleCoreC::kSearchFailedBox};
    if (module_) {
        view_.Await([&] { search = module_->Search(false); });
    }
    if (search.result.ok()) {
        foundDevices = std::move(search.devices);
        for (const ModuleCoreC::DeviceT& device : foundDevices) {
            listLines.push_back(ModuleCoreC::Describe(device));
        }
        ShowStatus(search.result.text);
        pairEnabled = !foundDevices.empty();
        view_.ShowControls();
    } else {
        ReportFailure(search.result);
    }
    view_.SetWaitCursor(false);
}

void SearchPairCoreC::Pair() {
    view_.TakeControls();
    pairedDevice.clear();
    const int index = selectedLine;
    ModuleResultS result = ModuleCoreC::Failure(ModuleCoreC::kPairFailed);
    if (index >= 0 && static_cast<size_t>(index) < foundDevices.size() && CanTalk()) {
        view_.Await([&] { result = module_->Pair(foundDevices[index]); });
    }
    if (result.ok()) {
        pairedDevice = ModuleCoreC::Describe(foundDevices[index]);
    }
    view_.ShowControls();
    if (result.ok()) {
        ShowStatus(result.text);
    } else {
        ReportFailure(result);
    }
}
