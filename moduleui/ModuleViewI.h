#pragma once

#include <functional>
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
    // Runs work, a wait of seconds for the module, so that the window stays painted
    // meanwhile; work hands what it shows back through OnViewThread. By default both run at
    // once, on the caller's thread.
    virtual void Await(const std::function<void()>& work) { work(); }
    virtual void OnViewThread(const std::function<void()>& call) { call(); }
};

// The module dialog's own needs beyond those of a page.
class ModuleDialogViewI : public ModuleViewI {
public:
    // Gives the input focus to the "Module Settings" page, which then reads the module.
    virtual void FocusSettingsPage() = 0;
    virtual void StorePortSettings(const std::string& portText, const std::string& baudText,
                                   const std::string& flowText) = 0;
};
