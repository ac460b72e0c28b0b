#include "moduleui/ModuleTabCoreC.h"

#include "moduleui/ModuleDialogCoreC.h"

ModuleTabCoreC::ModuleTabCoreC(ModuleDialogCoreC* dialog, ControllerT* controller,
                               ModuleViewI& view)
    : dialog_(dialog), view_(view) {
    if (controller != nullptr) {
        module_.emplace(*controller);
    }
}

void ModuleTabCoreC::SetEnabled(bool on) {
    enabled_ = on;
    view_.TakeControls();
}

void ModuleTabCoreC::OnFocusFromOutside() {
    if (!TakesInput()) {
        return;
    }
    Read();
    ShowStatus(FocusStatus());
}

void ModuleTabCoreC::ShowStatus(const std::string& text) {
    if (dialog_ != nullptr) {
        dialog_->SetStatus(text);
    }
}

bool ModuleTabCoreC::CanTalk() {
    return module_ && module_->Answers();
}

void ModuleTabCoreC::ReportFailure(const std::string& boxText, const std::string& statusText) {
    view_.MessageBox(boxText, kCaption);
    ShowStatus(statusText);
    if (dialog_ != nullptr) {
        dialog_->LogFailure(statusText);
        dialog_->CheckCommandMode();
    }
}
