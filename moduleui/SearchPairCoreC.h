#pragma once

#include "moduleui/ModuleTabCoreC.h"

#include <string>
#include <vector>

// The "Search/Pairing" page without its window: in the client role it searches for devices
// in range, pairs the module with the chosen one and shows the current pairing.
class SearchPairCoreC : public ModuleTabCoreC {
public:
    static constexpr const char* kServerRoleLine = ModuleCoreC::kNotClientRoleText;

    SearchPairCoreC(ModuleDialogCoreC* dialog, ControllerT* controller, ModuleViewI& view);

    void OnInitDialog();
    void SetEnabled(bool on) override;
    void SetClientRole(bool flag) override;
    void Read() override;
    void Search();
    void Pair();
    // The user selected a list line (-1: none).
    void OnLineSelected(int index);

    std::string pairedDevice;
    std::vector<ModuleCoreC::DeviceT> foundDevices;
    bool clientRole = false;

    std::vector<std::string> listLines;
    int selectedLine = -1;
    std::string listText;
    bool pageEnabled = false;
    bool searchEnabled = false;
    bool listEnabled = false;
    bool pairEnabled = false;

protected:
    std::string FocusStatus() const override {
        return "Press Search, then select device from\nFound Devices and press Pair to pair "
               "devices.\nPress Disconnect when finished";
    }
    // In the server role the page is shown but switched off: nothing to read or to offer.
    bool TakesInput() const override { return pageEnabled; }

private:
    void RefreshRole();
    void UpdateControls();
    void ClearList();
};
