#pragma once

#include "modem/ModemFieldsC.h"
#include "modem/ModemLinkC.h"
#include "modem/ModemViewI.h"

class EventLogFileC;

// The shared working set of the modem operations: the dialog's fields, the serial link,
// the event log and the view, plus the state changes every operation needs.
class ModemSessionC {
public:
    ModemSessionC(EventLogFileC& log, ModemViewI& view);

    ModemFieldsC& fields() { return fields_; }
    const ModemFieldsC& fields() const { return fields_; }
    ModemLinkC& link() { return link_; }
    EventLogFileC& log() { return log_; }
    ModemViewI& view() { return view_; }

    void Log(const std::string& text);
    // Opens the port on screen at the baud rate; on failure logs and, when asked to, tells the
    // user why.
    int OpenModemPort(const std::string& baudText, bool reportErrors);
    void TakeFieldsFromControls();
    void WriteFieldsToControls();

    void ShowConnectedState();
    void ShowDisconnectedState();
    // Shows the disconnected state, relabels the Connect button, closes the port.
    void Disconnect();

    // Drains the line, sends the attention text and drains the radio's answer.
    bool EnterCommandMode();
    void LeaveCommandMode();

    // Shows the wait cursor for the lifetime of the object.
    class WaitCursorC {
    public:
        explicit WaitCursorC(ModemViewI& view) : view_(view) { view_.SetWaitCursor(true); }
        ~WaitCursorC() { view_.SetWaitCursor(false); }
        WaitCursorC(const WaitCursorC&) = delete;
        WaitCursorC& operator=(const WaitCursorC&) = delete;

    private:
        ModemViewI& view_;
    };

    static constexpr const char* kAppTitle = "ORYX Config";

private:
    ModemFieldsC fields_;
    EventLogFileC& log_;
    ModemViewI& view_;
    ModemLinkC link_;
};
