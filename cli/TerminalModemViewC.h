#pragma once

#include "modem/ModemViewI.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

// The modem core's view on a terminal: message boxes are lines on standard error, questions
// are asked there and answered on standard input (or all answered yes), the detect dialog
// prints its caption and text and waits with a plain sleep between polls.
class TerminalModemViewC : public ModemViewI {
public:
    struct MessageS {
        std::string caption;
        std::string text;
    };

    // Answers typed on a terminal echo themselves; answers fed from a pipe are echoed, so
    // that standard error still reads as a dialogue.
    TerminalModemViewC(bool assumeYes, std::function<bool()> cancelRequested, std::istream& in,
                       std::ostream& err, bool echoAnswers);

    AnswerT MessageBox(const std::string& text, const std::string& caption, ButtonsT buttons,
                       IconT icon) override;
    void SetWaitCursor(bool) override {}
    void Beep() override {}
    void TakeControls() override {}
    void ShowControls() override {}
    bool RunDetectDialog(const std::string& caption, const DetectRunnerT& wait) override;
    void StorePortSettings(const std::string&, const std::string&) override {}

    // Every message box and question shown so far, in order.
    const std::vector<MessageS>& messages() const { return messages_; }

private:
    AnswerT Ask(const std::string& question, ButtonsT buttons);
    AnswerT ReadAnswer(ButtonsT buttons);

    bool assumeYes_;
    bool echoAnswers_;
    std::function<bool()> cancelRequested_;
    std::istream& in_;
    std::ostream& err_;
    std::vector<MessageS> messages_;
    bool cancelHintShown_ = false;
};
