#include "modem/ModemDefaultsC.h"

#include "modem/ModemModelsC.h"
#include "modem/ModemSessionC.h"
#include "modem/ModemSettingsC.h"

namespace {

struct BaudDefaultS {
    const char* command;
    int index;
};

BaudDefaultS DefaultBaud(int modelNumber, bool kvVariant) {
    switch (modelNumber) {
    case ModemModelsC::kModel2400:
        return {"sd040", 3};
    case ModemModelsC::kModel2410:
        return kvVariant ? BaudDefaultS{"sd0B", 3} : BaudDefaultS{"sd01", 5};
    case ModemModelsC::kModel2450:
        return {"sd03", 5};
    default:
        return {nullptr, -1};
    }
}

} // namespace

bool ModemDefaultsC::Command(const char* command, const char* errorLog) {
    int ignored = 0;
    if (session_.link().RadioCommand(command, ignored) == RC_OK) {
        return true;
    }
    session_.Log(errorLog);
    return false;
}

bool ModemDefaultsC::SetBand() {
    ModemFieldsC& f = session_.fields();
    ModemLinkC& link = session_.link();
    switch (f.modelNumber) {
    case ModemModelsC::kModel2400:
        link.CloseModemPort();
        if (link.OpenModemPort("9600", true) != RC_OK) {
            session_.Log("ERROR: Could not re-open port at 9600. (wit2400)");
            return false;
        }
        return Command("pe1", "ERROR: Could not set 'Band to France'.") &&
               Command("wt1", "ERROR: Could not set 'Channel access mode'.");
    case ModemModelsC::kModel2410:
        return Command(f.kvVariant ? "pe00" : "pe06", "ERROR: Could not set 'Band'.");
    case ModemModelsC::kModel2450:
        return Command("pe0B", "ERROR: Could not set 'Band to France'.");
    default:
        return true;
    }
}

int ModemDefaultsC::RestoreDefaults() {
    ModemFieldsC& f = session_.fields();
    ModemLinkC& link = session_.link();
    ModemViewI& view = session_.view();
    if (view.MessageBox(
            "Reset the radio modem to Altorvia defaults and loose all current settings?",
            ModemSessionC::kAppTitle, ModemViewI::ButtonsT::YesNo,
            ModemViewI::IconT::Exclamation) != ModemViewI::AnswerT::Yes) {
        return RC_CANCELLED;
    }
    session_.Log(f.kvVariant ? "Altorvia KV7730 defaults saved." : "Altorvia defaults saved.");
    ModemSessionC::WaitCursorC wait(view);

    link.SendLine("m0");
    bool ok = SetBand();
    settings_.WriteFixedParameters();
    if (ok) {
        ok = Command(f.deviceIndex == 1 || f.deviceIndex == 2 ? "wb1" : "wb0",
                     "ERROR: Could not set the transceiver mode.");
    }

    const BaudDefaultS baud = DefaultBaud(f.modelNumber, f.kvVariant);
    // Until the default rate is sent the box keeps the rate chosen before the sequence.
    int finalIndex = f.baudBox.Selected();
    if (ok && baud.command != nullptr) {
        finalIndex = baud.index;
        f.baudText = ModemModelsC::BaudRates()[static_cast<size_t>(baud.index)];
        link.SendLine(baud.command);
        session_.WriteFieldsToControls();
        link.CloseModemPort();
        if (link.OpenModemPort(f.baudText, true) != RC_OK) {
            session_.Log("ERROR: Could not re-open port.");
            ok = false;
        }
    }
    if (ok) {
        if (baud.command != nullptr) {
            session_.Log("Baudrate set to " + f.baudText + " with " + baud.command);
        }
        ok = Command("m>", "ERROR: Could not store defaults settings.");
    }
    if (ok) {
        session_.LeaveCommandMode();
        view.Beep();
    } else {
        view.MessageBox("Error. Verify communication line.", ModemSessionC::kAppTitle,
                        ModemViewI::ButtonsT::Ok, ModemViewI::IconT::Stop);
    }

    f.baudBox.Select(finalIndex);
    f.baudText = f.baudBox.SelectedText();
    session_.WriteFieldsToControls();
    f.currentBaud = f.baudText;
    session_.Disconnect();
    return 0;
}
