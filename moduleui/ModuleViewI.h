#pragma once

#include <string>

// What a module dialog or page core needs from whoever shows it: a window, or a test.
class ModuleViewI {
public:
    virtual ~ModuleViewI() = default;

    // A message box with an OK button only.
    virtual void MessageBox(const std::string& text, const std::string& caption) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // Pushes any pending edit of the controls into the core's fields.
    virtual void TakeControls() = 0;
    // The core changed its fields or control states: redraw them.
    virtual void ShowControls() = 0;
};

// The module dialog's own needs beyond those of a page.
class ModuleDialogViewI : public ModuleViewI {
public:
    // Gives the input focus to the "Module Settings" page, which then reads the module.
    virtual void FocusSettingsPage() = 0;
    virtual void StorePortSettings(const std::string& portText, const std::string& baudText,
                                   const std::string& flowText) = 0;
};
