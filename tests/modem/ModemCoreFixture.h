#pragma once

#include "IsolatedLogC.h"
#include "ScriptedModemViewC.h"
#include "common/EventLogFileC.h"
#include "modem/ModemDialogCoreC.h"
#include "sim/ModemRadio.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

// A simulated radio on a pty and the modem core connected to it through a scripted view.
class ModemCoreFixture : public ::testing::Test {
protected:
    IsolatedLogC logDir;
    std::unique_ptr<EventLogFileC> log;
    ScriptedModemViewC view;
    std::unique_ptr<oryx::sim::ModemRadio> radio;
    std::unique_ptr<ModemDialogCoreC> core;

    void StartRadio(oryx::sim::ModemRadioOptions options) {
        options.bannerDelay = std::chrono::milliseconds(300);
        radio = std::make_unique<oryx::sim::ModemRadio>(std::move(options));
        radio->start();
    }

    void OpenDialog(const std::string& baud, bool serviceMode = false) {
        log = std::make_unique<EventLogFileC>(logDir.path(), 500);
        core = std::make_unique<ModemDialogCoreC>(*log, view);
        core->OnInitDialog({radio->portText()}, radio->portText(), baud, serviceMode);
    }

    ModemFieldsC& fields() { return core->fields(); }

    void Connect(const std::string& baud, bool serviceMode = false) {
        OpenDialog(baud, serviceMode);
        core->OnConnectButton();
        ASSERT_TRUE(fields().connected) << "boxes: " << view.boxes.size();
    }

    std::vector<std::string> Commands() const { return radio->traffic().writtenLines(); }
    // The commands once the simulator has heard the last one expected.
    std::vector<std::string> CommandsThrough(const std::string& last) const {
        radio->traffic().waitForWritten(last + "\r\n", std::chrono::seconds(2));
        // The radio acts on what it heard a moment after the bytes are recorded.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (last == "z>" && radio->inCommandMode() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return Commands();
    }
    void ClearTraffic() { radio->traffic().clear(); }

    int Count(const std::string& text) const {
        auto texts = logDir.texts();
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }
};
