#include "moduleui/BasicSettingsCoreC.h"

#include "module/ModuleBaudC.h"
#include "moduleui/ModuleDialogCoreC.h"

#include <cstdlib>

namespace {

int RoleIndex(ModuleRoleT role) {
    switch (role) {
    case ModuleRoleT::Client:
        return BasicSettingsCoreC::kClientRole;
    case ModuleRoleT::Server:
        return BasicSettingsCoreC::kServerRole;
    case ModuleRoleT::None:
        break;
    }
    return BasicSettingsCoreC::kNoRole;
}

ModuleRoleT RoleOf(int index) {
    switch (index) {
    case BasicSettingsCoreC::kClientRole:
        return ModuleRoleT::Client;
    case BasicSettingsCoreC::kServerRole:
        return ModuleRoleT::Server;
    default:
        return ModuleRoleT::None;
    }
}

} // namespace

BasicSettingsCoreC::BasicSettingsCoreC(ModuleDialogCoreC* dialog, ControllerT* controller,
                                       ModuleViewI& view)
    : ModuleTabCoreC(dialog, controller, view) {}

void BasicSettingsCoreC::OnInitDialog() {
    baudBox.Clear();
    baudBox.SetEntries(ModuleBaudC::ConnectRates());
    SetEnabled(false);
}

void BasicSettingsCoreC::TakeMembers() {
    view_.TakeControls();
    moduleBaudText = baudBox.SelectedText();
}

void BasicSettingsCoreC::ShowMembers() {
    baudBox.SelectPrefixOrKeep(moduleBaudText);
    view_.ShowControls();
}

void BasicSettingsCoreC::SetEnabled(bool on) {
    ModuleTabCoreC::SetEnabled(on);
    moduleBaudText = baudBox.SelectedText();
    controlsEnabled = on;
    ShowMembers();
}

// A read that fails half-way still shows what it read before the failing call.
void BasicSettingsCoreC::Read() {
    ModuleReadS read;
    read.result = ModuleCoreC::Failure(ModuleCoreC::kReadFailed);
    if (module_) {
        read = module_->Read();
    }
    if (read.named) {
        localName = read.name;
        btAddress = read.address;
    }
    if (read.moduleBaud) {
        moduleBaudText = std::to_string(*read.moduleBaud);
    }
    if (read.role) {
        deviceRole = RoleIndex(*read.role);
    }
    if (dialog_ != nullptr) {
        dialog_->SetTabsClientRole(deviceRole == kClientRole);
    }
    if (read.result.ok()) {
        ShowMembers();
        ShowStatus(read.result.text);
    } else {
        ReportFailure(read.result);
    }
}

void BasicSettingsCoreC::Write() {
    TakeMembers();
    ModuleWriteS wanted{localName, RoleOf(deviceRole), std::nullopt};
    if (!moduleBaudText.empty()) {
        wanted.moduleBaud = std::strtoul(moduleBaudText.c_str(), nullptr, 10);
    }
    ModuleWrittenS written;
    written.result = ModuleCoreC::CheckWrite(wanted);
    if (written.result.ok() && module_) {
        view_.Await([&] { written = module_->Write(wanted); });
    } else if (written.result.ok()) {
        written.result = ModuleCoreC::Failure(ModuleCoreC::kWriteFailed);
    }
    if (dialog_ != nullptr && written.roleAndName) {
        dialog_->SetResetOnLeave();
    }
    // The PC side follows at once, so the dialog, the next connection and the stored rate
    // use the new one.
    if (dialog_ != nullptr && written.moduleBaud) {
        dialog_->SetBaudText(moduleBaudText);
    }
    if (written.result.ok()) {
        if (dialog_ != nullptr) {
            dialog_->SetTabsClientRole(deviceRole == kClientRole);
        }
        ShowStatus(written.result.text);
    } else if (written.result.outcome != ModuleOutcomeT::Refused) {
        ReportFailure(written.result);
    } else if (!written.result.box.empty()) {
        view_.MessageBox(written.result.box, kCaption);
    } else {
        ShowStatus(written.result.text);
    }
}
