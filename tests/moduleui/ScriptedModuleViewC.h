#pragma once

#include "moduleui/ModuleDialogCoreC.h"
#include "moduleui/ModuleViewI.h"

#include <functional>
#include <string>
#include <vector>

// A view for driving the module dialog's core and pages without a window: records every
// message box, every new status text and what would be stored.
class ScriptedModuleViewC : public ModuleDialogViewI {
public:
    std::vector<std::string> boxes;
    std::vector<std::string> statuses;
    std::vector<std::vector<std::string>> stored;
    int waitCursorDepth = 0;
    std::function<void()> onFocusSettingsPage;
    const ModuleDialogCoreC* dialog = nullptr;

    void MessageBox(const std::string& text, const std::string& caption) override {
        boxes.push_back(caption + ": " + text);
    }
    void SetWaitCursor(bool on) override { waitCursorDepth += on ? 1 : -1; }
    void TakeControls() override {}
    void ShowControls() override {
        if (dialog != nullptr && !dialog->status.empty() &&
            (statuses.empty() || statuses.back() != dialog->status)) {
            statuses.push_back(dialog->status);
        }
    }
    void FocusSettingsPage() override {
        if (onFocusSettingsPage) {
            onFocusSettingsPage();
        }
    }
    void StorePortSettings(const std::string& port, const std::string& baud,
                           const std::string& flow) override {
        stored.push_back({port, baud, flow});
    }
};
