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

    // The radio announces itself when the detect dialog opens, as when the user reconnects
    // the cable then. Sent on opening, the banner would race the purge that follows it.
    void StartRadio(oryx::sim::ModemRadioOptions options) {
        const bool banner = options.bannerOnOpen;
        options.bannerOnOpen = false;
        radio = std::make_unique<oryx::sim::ModemRadio>(std::move(options));
        radio->start();
        if (banner) {
            view.onDetectDialog = [this] { radio->reconnectCable(); };
        }
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
    // The commands once the simulator has heard (and acted on) the last one expected.
    std::vector<std::string> CommandsThrough(const std::string& last) const {
        EXPECT_TRUE(radio->traffic().waitForWritten(last + "\r\n", std::chrono::seconds(5)))
            << "the program never sent " << last;
        return Commands();
    }
    void ClearTraffic() { radio->traffic().clear(); }

    int Count(const std::string& text) const {
        auto texts = logDir.texts();
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }
};
