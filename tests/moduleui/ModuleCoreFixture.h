#pragma once

#include "ScratchDirC.h"
#include "ScriptedModuleViewC.h"
#include "common/EventLogFileC.h"
#include "moduleui/BasicSettingsCoreC.h"
#include "moduleui/ModuleDialogCoreC.h"
#include "moduleui/SearchPairCoreC.h"
#include "sim/ModuleRadio.h"

#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

// The controller the program uses, counting the ports it is asked to create.
class CountingControllerC : public ORC::CFG::OpalDeviceControllerC {
public:
    int createdPorts = 0;
    int32_t createPort(const char* name, ORC::CFG::RS232SettingsS settings) override {
        ++createdPorts;
        return OpalDeviceControllerC::createPort(name, settings);
    }
};

// The module dialog's core with both pages, wired as the dialog wires them, in front of a
// simulated module.
class ModuleCoreFixture : public ::testing::Test {
protected:
    ScratchDirC scratch;
    std::unique_ptr<oryx::sim::ModuleRadio> module;
    CountingControllerC controller;
    ScriptedModuleViewC view;
    ScriptedModuleViewC settingsView;
    ScriptedModuleViewC searchView;
    std::unique_ptr<EventLogFileC> log;
    std::unique_ptr<ModuleDialogCoreC> dialog;
    std::unique_ptr<BasicSettingsCoreC> settings;
    std::unique_ptr<SearchPairCoreC> search;

    // Fast answers; the module starts in command mode unless a test wants the escape.
    static oryx::sim::ModuleRadioOptions FastModule() {
        oryx::sim::ModuleRadioOptions options;
        options.commandMode = true;
        options.replyDelay = std::chrono::milliseconds(0);
        options.inquiryDelay = std::chrono::milliseconds(20);
        options.nameDelay = std::chrono::milliseconds(10);
        return options;
    }

    void StartModule(oryx::sim::ModuleRadioOptions options) {
        static int count = 0;
        options.linkName =
            "ui-module-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
        module = std::make_unique<oryx::sim::ModuleRadio>(std::move(options));
        module->start();
    }

    // Opens the dialog's core on the module's port with this stored rate.
    void OpenDialog(const std::string& storedBaud) {
        log = std::make_unique<EventLogFileC>(scratch.path() + "/ORYX_Log.txt", 500);
        dialog = std::make_unique<ModuleDialogCoreC>(*log, view, controller);
        settings = std::make_unique<BasicSettingsCoreC>(dialog.get(), &controller, settingsView);
        search = std::make_unique<SearchPairCoreC>(dialog.get(), &controller, searchView);
        view.dialog = dialog.get();
        view.onFocusSettingsPage = [this] { settings->OnFocusFromOutside(); };
        settings->OnInitDialog();
        search->OnInitDialog();
        dialog->AddPages(*settings, *search);
        const std::string port = module ? module->portText() : "7";
        dialog->OnInitDialog({port}, port, storedBaud);
    }

    // The AT command lines the program wrote since the last call, without pings and escapes.
    std::vector<std::string> Commands() {
        std::vector<std::string> lines;
        std::string line;
        for (char c : module->traffic().written()) {
            if (c == '\r') {
                if (line.rfind("AT*", 0) == 0) {
                    lines.push_back(line);
                }
                line.clear();
            } else if (c != '/') {
                line += c;
            }
        }
        module->traffic().clear();
        return lines;
    }
};
