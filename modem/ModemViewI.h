#pragma once

#include "common/DetectWaitHooksS.h"

#include <functional>
#include <string>

// Everything the modem core needs from whoever shows it to the user: a dialog, a test or
// the command line.
class ModemViewI {
public:
    enum class ButtonsT { Ok, YesNo, YesNoCancel };
    enum class IconT { None, Information, Question, Exclamation, Stop };
    enum class AnswerT { Ok, Yes, No, Cancel };

    // Runs the wait with the view's event pump and cancel flag; true when bytes arrived.
    using DetectRunnerT = std::function<bool(const DetectWaitHooksS&)>;

    virtual ~ModemViewI() = default;

    virtual AnswerT MessageBox(const std::string& text, const std::string& caption,
                               ButtonsT buttons, IconT icon) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    virtual void Beep() = 0;

    // The user's selections are in the core's box models already; this asks the view to
    // push any pending edit into them (a view that updates them at once does nothing).
    virtual void TakeControls() = 0;
    // The core changed its fields, boxes or control states: redraw them.
    virtual void ShowControls() = 0;

    // Shows the detect dialog with this caption; 200 ms after it opens it runs the wait.
    // Returns true for OK (bytes or a line error), false for Cancel.
    virtual bool RunDetectDialog(const std::string& caption, const DetectRunnerT& wait) = 0;

    // Stores the port and baud-rate texts as the preferred ones.
    virtual void StorePortSettings(const std::string& portText, const std::string& baudText) = 0;
};
