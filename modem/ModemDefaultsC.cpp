#include "modem/ModemDefaultsC.h"

#include "modem/ModemModelsC.h"
#include "modem/ModemSessionC.h"
#include "modem/ModemSettingsC.h"

#include <optional>
#include <string>

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
    const ModemModelS& model = ModemModelsC::Model(f.modelNumber);
    if (model.bandBaud != nullptr) {
        session_.link().CloseModemPort();
        if (session_.OpenModemPort(model.bandBaud, true) != RC_OK) {
            session_.Log(std::string("ERROR: Could not re-open port at ") + model.bandBaud +
                         ". (wit2400)");
            return false;
        }
    }
    for (const ModemModelS::CommandRowS& row : model.defaultBandRows) {
        if (!Command(row.Text(f.kvVariant, f.deviceIndex), row.errorLog)) {
            return false;
        }
    }
    return true;
}

int ModemDefaultsC::RestoreDefaults(ModemOutcomeT& outcome) {
    ModemFieldsC& f = session_.fields();
    ModemLinkC& link = session_.link();
    ModemViewI& view = session_.view();
    if (view.MessageBox(
            "Reset the radio modem to Altorvia defaults and loose all current settings?",
            ModemSessionC::kAppTitle, ModemViewI::ButtonsT::YesNo,
            ModemViewI::IconT::Exclamation) != ModemViewI::AnswerT::Yes) {
        outcome = ModemOutcomeT::Declined;
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

    const int baudIndex = ModemModelsC::Model(f.modelNumber).DefaultBaudIndex(f.kvVariant);
    const std::optional<std::string> code = ModemModelsC::BaudRateCode(f.modelNumber, baudIndex);
    const std::string baudCommand = code ? "sd" + *code : std::string();
    // Until the default rate is sent the box keeps the rate chosen before the sequence.
    int finalIndex = f.baudBox.Selected();
    if (ok && code) {
        finalIndex = baudIndex;
        f.baudText = ModemModelsC::BaudRates()[static_cast<size_t>(baudIndex)];
        link.SendLine(baudCommand.c_str());
        session_.WriteFieldsToControls();
        link.CloseModemPort();
        if (session_.OpenModemPort(f.baudText, true) != RC_OK) {
            session_.Log("ERROR: Could not re-open port.");
            ok = false;
        }
    }
    if (ok) {
        if (code) {
            session_.Log("Baudrate set to " + f.baudText + " with " + baudCommand);
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
    outcome = ok ? ModemOutcomeT::Ok : ModemOutcomeT::RadioFailed;

    f.baudBox.Select(finalIndex);
    f.baudText = f.baudBox.SelectedText();
    session_.WriteFieldsToControls();
    f.currentBaud = f.baudText;
    session_.Disconnect();
    return 0;
}
