#pragma once

#include "ORC_CFG_OpalDeviceControllerC.h"
#include "module/ModuleCoreC.h"
#include "moduleui/ModuleViewI.h"

#include <optional>
#include <string>

class ModuleDialogCoreC;

// What both pages of the module dialog share: their links to the dialog and the controller,
// and the operations through which the dialog switches them on and off.
class ModuleTabCoreC {
public:
    using ControllerT = ORC::CFG::OpalDeviceControllerC;
    static constexpr const char* kCaption = "ORYX Config";

    // dialog and controller may be absent; the page then reports every operation as failed.
    ModuleTabCoreC(ModuleDialogCoreC* dialog, ControllerT* controller, ModuleViewI& view);
    virtual ~ModuleTabCoreC() = default;
    ModuleTabCoreC(const ModuleTabCoreC&) = delete;
    ModuleTabCoreC& operator=(const ModuleTabCoreC&) = delete;

    virtual void SetEnabled(bool on);
    virtual void SetClientRole(bool) {}
    virtual void Read() {}
    virtual void Write() {}
    // The page received the input focus from another window.
    void OnFocusFromOutside();

    void ShowStatus(const std::string& text);

    bool enabled() const { return enabled_; }
    // Controls 1066 and 1067, where the page has them.
    bool readWriteEnabled() const { return enabled_; }

protected:
    virtual std::string FocusStatus() const = 0;
    // Whether the page takes the user's input now; a page that does not reads nothing either.
    virtual bool TakesInput() const { return enabled_; }
    bool CanTalk();
    // A message box, the status line, and a check that the module is still in command mode.
    void ReportFailure(const std::string& boxText, const std::string& statusText);
    void ReportFailure(const ModuleResultS& result) { ReportFailure(result.box, result.text); }

    ModuleDialogCoreC* dialog_;
    // Absent without a controller.
    std::optional<ModuleCoreC> module_;
    ModuleViewI& view_;

private:
    bool enabled_ = false;
};
