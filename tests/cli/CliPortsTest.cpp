// oryx-cli ports, run as the real program with a simulated radio in a folder of its own.
#include "CliRunS.h"
#include "OwnSimulatorFolderC.h"
#include "ScratchDirC.h"
#include "sim/ModemRadio.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

TEST(CliPortsTest, ListsASimulatorWithWhatIsKnownAsJsonAndAsATable) {
    ScratchDirC scratch;
    OwnSimulatorFolderC folder(scratch.path());
    oryx::sim::ModemRadio radio(oryx::sim::ModemRadioOptions{});
    radio.start();

    const CliRunS json = CliRunS::Of({"ports", "--json"});
    EXPECT_EQ(json.status, 0);
    const nlohmann::json list = nlohmann::json::parse(json.out, nullptr, false);
    ASSERT_TRUE(list.is_array()) << json.out;
    const auto simulator = std::find_if(list.begin(), list.end(), [&](const nlohmann::json& port) {
        return port["port"] == radio.portText();
    });
    ASSERT_NE(simulator, list.end()) << json.out;
    EXPECT_EQ((*simulator)["simulated"], true);
    EXPECT_EQ((*simulator)["driver"], "simulator");
    EXPECT_EQ((*simulator)["opens"], true);
    EXPECT_TRUE((*simulator)["problem"].is_null());
    EXPECT_TRUE((*simulator)["vendorId"].is_null()) << "unknown fields are null";

    const CliRunS table = CliRunS::Of({"ports"});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.out.rfind("PORT ", 0), 0u) << table.out;
    EXPECT_NE(table.out.find(radio.portText()), std::string::npos) << table.out;
}

TEST(CliPortsTest, HelpDocumentsThePortsCommand) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"ports", "--help"}}) {
        const CliRunS help = CliRunS::Of(args);
        EXPECT_EQ(help.status, 0);
        EXPECT_NE(help.out.find("ports"), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("--json"), std::string::npos) << help.out;
    }
}

} // namespace
