#pragma once

#include "common/DetectWaitHooksS.h"

#include <QDialog>
#include <functional>
#include <string>

// Asks the user to reconnect the radio's cable and runs a wait, given by its owner, that ends
// when the radio talks or the user cancels. The wait starts 200 ms after the dialog opens.
class ORYX_DetectDlgC : public QDialog {
    Q_OBJECT
public:
    enum ControlId { IDC_TEXT = 1043, IDC_CANCEL = 1028 };

    // Returns true when the radio talked, false when cancelled.
    using WaitT = std::function<bool(const DetectWaitHooksS&)>;

    explicit ORYX_DetectDlgC(QWidget* parent = nullptr);

    std::string title;
    // The wait forgets a Cancel pressed before it starts (the user may press it while the
    // radio is still being plugged); a search started by the user's own click keeps it.
    bool forgetEarlyCancel = true;

    // Replaces the request shown above Cancel (also while the wait runs).
    void SetText(const QString& text);

    // Shows the dialog modally and runs the wait; Accepted when the radio talked.
    int RunWait(WaitT wait);

    bool cancelled() const { return cancelled_; }

protected:
    void reject() override;

private:
    void CreateControls();
    void OnTimer();
    static void PumpEventsFor(int ms);

    WaitT wait_;
    bool cancelled_ = false;
};
