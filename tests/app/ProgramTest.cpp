// The program as main() runs it: the application object is made inside, from argv.
#include "IsolatedSettingsC.h"
#include "ModalDriverC.h"
#include "app/ORYX_CfgAppC.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

ModalDriverC* g_driver = nullptr;

void StopDriver() {
    delete g_driver;
    g_driver = nullptr;
}

// The driver can only start once the program has made its application object, and must go
// with it; Qt forgets its clean-up routines once it has run them.
void StartDriverConfirmingTheSelection() {
    g_driver = new ModalDriverC;
    g_driver->then([](QWidget* modal) { ModalDriverC::Click(modal, "OK"); });
    qAddPostRoutine(StopDriver);
}

TEST(Program, QtsOwnOptionsDoNotTurnTheServiceSwitchOn) {
    qAddPreRoutine(StartDriverConfirmingTheSelection);
    const std::vector<std::pair<std::vector<std::string>, bool>> cases = {
        {{"/Service"}, true},
        {{"/Service", "-platform", "offscreen"}, false},
        {{"-platform", "offscreen", "/Service"}, false},
    };
    for (const auto& [words, serviceMode] : cases) {
        IsolatedSettingsC settings;
        std::vector<bool> created;
        ConfigDialogFactoryC factory;
        factory.Register(ConfigDialogFactoryC::MODEM_FAMILY, [&created](bool service) {
            created.push_back(service);
            return nullptr;
        });
        std::vector<std::string> storage = {"ORYX_Config"};
        storage.insert(storage.end(), words.begin(), words.end());
        std::vector<char*> argv;
        for (std::string& word : storage) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        int argc = static_cast<int>(storage.size());

        EXPECT_EQ(ORYX_CfgAppC::RunProgram(argc, argv.data(), factory), 0);
        EXPECT_EQ(created, std::vector<bool>{serviceMode}) << words.size() << " words";
    }
}

} // namespace
