#pragma once

#include "ORC_CFG_OpalDeviceControllerC.h"
#include "module/ModuleConnectWatchI.h"
#include "module/ModuleRecordsS.h"

#include <cstddef>
#include <functional>
#include <string>

class EventLogFileC;

// The module family's operations, one per thing a user does, over the library's controller.
// The dialog and the command line are both front ends of this class: they decide what to show
// from the results, and never send anything of their own.
class ModuleCoreC {
public:
    using ControllerT = ORC::CFG::OpalDeviceControllerC;
    using DeviceT = ORC::CFG::DevNameAddressPairT;

    static constexpr std::size_t kMaxNameLength = 15;
    // The list the controller fills is given room for this many records.
    static constexpr std::size_t kSearchCapacity = 20;
    static constexpr const char* kOpenPortLine = "ORYX_64_CfgDlgC::OpenPort";
    static constexpr const char* kClosePortLine = "ORYX_64_CfgDlgC::ClosePort";
    static constexpr const char* kNotClientRoleText = "Search and Pairing only in Client mode!";
    static constexpr const char* kReadFailed = "Failed to read settings";
    static constexpr const char* kWriteFailed = "Failed to write settings";
    static constexpr const char* kPairFailed = "Pairing failed with current selection";
    static constexpr const char* kSearchFailedText = "Failed to search devices";
    static constexpr const char* kSearchFailedBox = "Failed to search device";

    // log: where the connect writes its open and close lines; may be absent.
    explicit ModuleCoreC(ControllerT& controller, EventLogFileC* log = nullptr);

    // Opens the port at firstBaud and escapes to command mode; when the module does not
    // answer, tries the other connect rates in their order.
    ModuleConnectedS Connect(const std::string& port, const std::string& firstBaud,
                             bool flowControl, ModuleConnectWatchI& watch);
    bool EnterCommandMode();
    // After written settings the module is reset, so that it restarts with them; otherwise it
    // is asked for data mode, twice at most.
    void LeaveCommandMode(bool reset);
    void ClosePort();

    // Whether the module still answers in command mode.
    bool Answers();
    bool IsClientRole();

    ModuleReadS Read();
    // Only the name and address: the rest of the read is left unset.
    ModuleReadS ReadName();
    // Every check a write makes before anything is sent.
    static ModuleResultS CheckWrite(const ModuleWriteS& wanted);
    // Role, then name, then the optional rate; each call only while the ones before it
    // succeeded. What was written stays written.
    ModuleWrittenS Write(const ModuleWriteS& wanted);
    // searching: called once the search is about to go out (after the role check).
    ModuleSearchS Search(bool clientRoleOnly, const std::function<void()>& searching = {});
    ModuleResultS Pair(const DeviceT& device);
    ModulePairedS PairedDevice();
    ModuleVersionS Version();

    // The result of an operation that found no module to talk to.
    static ModuleResultS Failure(const char* text) { return {ModuleOutcomeT::Failed, text, text}; }

    // "name (address)", each field read no further than its end.
    static std::string Describe(const DeviceT& device);
    static std::string Name(const DeviceT& device);
    static std::string Address(const DeviceT& device);
    // Empty when text can travel inside a quoted parameter; otherwise the first character
    // that cannot, shown printable ("\"", "\r", "\x1b").
    static std::string UnsendableCharacter(const std::string& text);

private:
    bool TryConnect(const std::string& port, const std::string& baud, bool flowControl,
                    ModuleConnectWatchI& watch);
    int32_t WriteRoleAndName(const ModuleWriteS& wanted);
    void LogLine(const char* line);

    ControllerT& controller_;
    EventLogFileC* log_;
};
