#include "cli/TerminalModemViewC.h"

#include "cli/TextsC.h"
#include "modem/DetectWaitC.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <istream>
#include <ostream>
#include <thread>

namespace {

// Some texts carry the line end of their log line; a terminal line gets its own.
std::string WithoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

TerminalModemViewC::TerminalModemViewC(bool assumeYes, std::function<bool()> cancelRequested,
                                       std::istream& in, std::ostream& err, bool echoAnswers)
    : assumeYes_(assumeYes), echoAnswers_(echoAnswers),
      cancelRequested_(std::move(cancelRequested)), in_(in), err_(err) {}

ModemViewI::AnswerT TerminalModemViewC::MessageBox(const std::string& text,
                                                   const std::string& caption, ButtonsT buttons,
                                                   IconT) {
    const std::string line = WithoutLineEnd(text);
    messages_.push_back({caption, line});
    const std::string shown = TextsC::ForTerminal(caption.empty() ? line : caption + ": " + line);
    if (buttons == ButtonsT::Ok) {
        err_ << shown << std::endl;
        return AnswerT::Ok;
    }
    return Ask(shown, buttons);
}

ModemViewI::AnswerT TerminalModemViewC::Ask(const std::string& question, ButtonsT buttons) {
    if (assumeYes_) {
        err_ << question << " yes (--yes)" << std::endl;
        return AnswerT::Yes;
    }
    err_ << question << (buttons == ButtonsT::YesNo ? " [y/N] " : " [y/n/C] ") << std::flush;
    return ReadAnswer(buttons);
}

// No answer at all (end of input) declines: the safe choice when nobody is there to ask.
ModemViewI::AnswerT TerminalModemViewC::ReadAnswer(ButtonsT buttons) {
    const AnswerT decline = buttons == ButtonsT::YesNo ? AnswerT::No : AnswerT::Cancel;
    std::string line;
    while (std::getline(in_, line)) {
        const std::string answer = TextsC::Lowered(Trimmed(line));
        if (echoAnswers_) {
            err_ << answer << std::endl;
        }
        if (answer == "y" || answer == "yes") {
            return AnswerT::Yes;
        }
        if (answer == "n" || answer == "no") {
            return AnswerT::No;
        }
        if (answer.empty() || answer == "c" || answer == "cancel") {
            return decline;
        }
        err_ << "Please answer yes or no: " << std::flush;
    }
    err_ << std::endl;
    return decline;
}

bool TerminalModemViewC::RunDetectDialog(const std::string& caption, const DetectRunnerT& wait) {
    err_ << caption << '\n' << DetectWaitHooksS::kReconnectText;
    if (!cancelHintShown_) {
        err_ << " (Ctrl-C cancels)";
        cancelHintShown_ = true;
    }
    err_ << std::endl;
    std::this_thread::sleep_for(std::chrono::milliseconds(DetectWaitC::kStartDelayMs));
    // A Ctrl-C pressed at any time counts, also one pressed before this wait began: a
    // terminal user who asked to stop should not have to ask twice.
    return wait({[](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                 cancelRequested_});
}
