// oryx-cli discover, run as the real program against simulated radios of both families.
#include "CliProcessC.h"
#include "CliRunS.h"
#include "common/DetectWaitHooksS.h"
#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <gmock/gmock.h>
#include <memory>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;
using ::testing::ContainsRegex;

std::string LinkName(const std::string& what) {
    return "cli-discover-" + std::to_string(::getpid()) + "-" + what;
}

std::unique_ptr<oryx::sim::ModuleRadio> Module(const std::string& name, long baudCode,
                                               bool commandMode, bool silent = false) {
    oryx::sim::ModuleRadioOptions options;
    options.linkName = LinkName(name);
    options.settings.baudCode = baudCode;
    options.settings.name = name;
    options.storedSettings = options.settings;
    options.commandMode = commandMode;
    options.replyDelay = 0ms;
    auto module = std::make_unique<oryx::sim::ModuleRadio>(options);
    module->setFaults({.silent = silent});
    module->start();
    return module;
}

std::unique_ptr<oryx::sim::ModemRadio> Modem(const std::string& name) {
    oryx::sim::ModemRadioOptions options;
    options.linkName = LinkName(name);
    options.baud = 9600;
    // It speaks when the user reconnects its cable, not on every opening.
    options.bannerOnOpen = false;
    auto modem = std::make_unique<oryx::sim::ModemRadio>(options);
    modem->start();
    return modem;
}

TEST(CliDiscoverTest, FindsTwoModulesAtTheirRatesOnDifferentPortsInOneRun) {
    const auto slow = Module("AT-9600", 5, false);
    const auto fast = Module("AT-57600", 8, true);
    const auto silent = Module("SILENT", 9, false, true);
    const CliRunS run =
        CliRunS::Of({"discover", "--family", "module", "--json", "--port", slow->portText(),
                     "--port", silent->portText(), "--port", fast->portText()});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.json["status"], "found");
    EXPECT_EQ(
        run.json["found"],
        Json::parse(
            R"([{"port":")" + slow->portText() +
            R"(","family":"module","name":"AT-9600","address":"0080370A1B2C","baud":9600},)"
            R"({"port":")" +
            fast->portText() +
            R"(","family":"module","name":"AT-57600","address":"0080370A1B2C","baud":57600}])"))
        << run.out;
    EXPECT_EQ(run.json["notFound"], Json::parse(R"([{"port":")" + silent->portText() +
                                                R"(","family":"module","reason":"no answer"}])"));
    EXPECT_FALSE(slow->inCommandMode()) << "found in data mode, left in data mode";
    EXPECT_TRUE(fast->inCommandMode()) << "found in command mode, left there";
}

TEST(CliDiscoverTest, FindsTheModemAfterOneReconnect) {
    const auto quiet = Modem("quiet");
    const auto radio = Modem("radio");
    CliProcessC cli(ORYX_CLI_PATH, {"discover", "--family", "modem", "--port", quiet->portText(),
                                    "--port", radio->portText(), "--wait", "30"});
    ASSERT_TRUE(cli.WaitForError(DetectWaitHooksS::kReconnectText, 20s)) << cli.err();
    radio->reconnectCable();
    const CliRunS run = CliRunS::Finish(cli);

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, ContainsRegex(radio->portText() + " +modem +ORYX62 +- +9600\n"));
    EXPECT_THAT(run.out, ContainsRegex(quiet->portText() + " +no answer\n"));
    const auto asked = run.err.find(DetectWaitHooksS::kReconnectText);
    EXPECT_EQ(run.err.find(DetectWaitHooksS::kReconnectText, asked + 1), std::string::npos)
        << "asked once: " << run.err;
    EXPECT_EQ(radio->traffic().written(), "");
}

TEST(CliDiscoverTest, AllLooksForTheModemOnlyWhereNoModuleAnswered) {
    const auto module = Module("AT-115200", 9, true);
    const auto radio = Modem("all-radio");
    CliProcessC cli(ORYX_CLI_PATH, {"discover", "--json", "--port", radio->portText(), "--port",
                                    module->portText(), "--wait", "30"});
    ASSERT_TRUE(cli.WaitForError(DetectWaitHooksS::kReconnectText, 40s)) << cli.err();
    EXPECT_THAT(cli.err(), ::testing::HasSubstr("Listening for the modem on 1 port at 9600"));
    radio->reconnectCable();
    const CliRunS run = CliRunS::Finish(cli);

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.json["found"],
        Json::parse(
            R"([{"port":")" + radio->portText() +
            R"(","family":"modem","model":"ORYX62","baud":9600},)"
            R"({"port":")" +
            module->portText() +
            R"(","family":"module","name":"AT-115200","address":"0080370A1B2C","baud":115200}])"))
        << run.out;
    EXPECT_TRUE(run.json["notFound"].empty());
}

TEST(CliDiscoverTest, NoRadioFoundExitsWithOne) {
    const auto quiet = Modem("nothing");
    const CliRunS run = CliRunS::Of(
        {"discover", "--family", "modem", "--json", "--wait", "1", "--port", quiet->portText()});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.json["status"], "none found");
    EXPECT_TRUE(run.json["found"].empty());
    EXPECT_EQ(run.json["notFound"][0]["reason"], "no answer");
}

} // namespace
