#pragma once

#include "common/ComboBoxModelC.h"
#include "moduleui/ModuleTabCoreC.h"

#include <string>

// The "Module Settings" page without its window: the module's name, address, serial rate and
// device role, read from the module and written back with their checks.
class BasicSettingsCoreC : public ModuleTabCoreC {
public:
    static constexpr int kNoRole = -1;
    static constexpr int kClientRole = 0;
    static constexpr int kServerRole = 1;
    static constexpr size_t kMaxNameLength = ModuleCoreC::kMaxNameLength;

    BasicSettingsCoreC(ModuleDialogCoreC* dialog, ControllerT* controller, ModuleViewI& view);

    void OnInitDialog();
    void SetEnabled(bool on) override;
    void Read() override;
    void Write() override;

    // Pushes the controls' contents into the fields and back.
    void TakeMembers();
    void ShowMembers();

    std::string localName;
    std::string btAddress;
    std::string moduleBaudText;
    int deviceRole = kNoRole;

    ComboBoxModelC baudBox;
    bool controlsEnabled = false;

protected:
    std::string FocusStatus() const override { return "Read and write module configuration"; }
};
