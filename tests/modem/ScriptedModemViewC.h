#pragma once

#include "modem/ModemViewI.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// A view for driving the modem core without a window: answers questions from a script,
// records every message box, and runs the detect wait at once.
class ScriptedModemViewC : public ModemViewI {
public:
    struct ShownBoxS {
        std::string text;
        std::string caption;
        ButtonsT buttons;
        IconT icon;
    };

    std::deque<AnswerT> answers;
    std::vector<ShownBoxS> boxes;
    std::vector<std::string> detectCaptions;
    bool cancelDetect = false;
    // When set, the detect dialog with this number (counted from 1) is cancelled.
    size_t cancelDetectNumber = 0;
    int beeps = 0;
    int waitCursorDepth = 0;
    int maxWaitCursorDepth = 0;
    std::vector<std::pair<std::string, std::string>> stored;
    // Called as each detect dialog opens, before its wait runs.
    std::function<void()> onDetectDialog;

    AnswerT MessageBox(const std::string& text, const std::string& caption, ButtonsT buttons,
                       IconT icon) override {
        boxes.push_back({text, caption, buttons, icon});
        if (answers.empty()) {
            return buttons == ButtonsT::Ok ? AnswerT::Ok : AnswerT::No;
        }
        AnswerT answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void SetWaitCursor(bool on) override {
        waitCursorDepth += on ? 1 : -1;
        maxWaitCursorDepth = std::max(maxWaitCursorDepth, waitCursorDepth);
    }
    void Beep() override { ++beeps; }
    void TakeControls() override {}
    void ShowControls() override {}
    bool RunDetectDialog(const std::string& caption, const DetectRunnerT& wait) override {
        detectCaptions.push_back(caption);
        if (cancelDetectNumber != 0 && detectCaptions.size() >= cancelDetectNumber) {
            cancelDetect = true;
        }
        if (onDetectDialog) {
            onDetectDialog();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return wait({[](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                     [this] { return cancelDetect; }});
    }
    void StorePortSettings(const std::string& port, const std::string& baud) override {
        stored.emplace_back(port, baud);
    }

    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : boxes) {
            texts.push_back(box.text);
        }
        return texts;
    }
};
