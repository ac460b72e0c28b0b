// oryx-cli module, run as the real program against a simulated radio module.
#include "CliProcessC.h"
#include "CliRunS.h"
#include "UnsendableNameCasesS.h"
#include "sim/ModuleRadio.h"

#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using oryx::sim::ModuleFaults;
using oryx::sim::ModuleRadio;
using oryx::sim::ModuleRadioOptions;
using Json = nlohmann::json;

// With --json a failure's message goes to standard error too, for the person watching.
void ExpectMessageOnStderr(const CliRunS& run) {
    const std::string message = run.json.value("error", "");
    EXPECT_FALSE(message.empty()) << run.out;
    EXPECT_NE(run.err.find("oryx-cli: " + message + "\n"), std::string::npos) << run.err;
}

class CliModuleTest : public ::testing::Test {
protected:
    // A module in command mode answers the first ping, so no guard time is spent.
    ModuleRadio& StartModule(ModuleRadioOptions options = CommandMode()) {
        static int count = 0;
        options.linkName =
            "cli-module-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
        startsInCommandMode_ = options.commandMode;
        module_ = std::make_unique<ModuleRadio>(std::move(options));
        module_->start();
        return *module_;
    }

    static ModuleRadioOptions CommandMode() {
        ModuleRadioOptions options;
        options.commandMode = true;
        options.replyDelay = 0ms;
        options.inquiryDelay = 20ms;
        options.nameDelay = 10ms;
        return options;
    }

    CliRunS Run(std::vector<std::string> args) {
        // Each run leaves the module in data mode; the next need not pay the guard times again.
        if (startsInCommandMode_) {
            module_->setCommandMode(true);
        }
        args.insert(args.begin(), "module");
        args.insert(args.end(), {"--port", module_->portText(), "--json"});
        CliProcessC cli(ORYX_CLI_PATH, args);
        return CliRunS::Finish(cli);
    }

    // The simulator hears the last command a moment after the program has ended.
    bool Eventually(const std::function<bool()>& predicate) const {
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (!predicate()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    std::string Written() const { return module_->traffic().written(); }

    std::unique_ptr<ModuleRadio> module_;
    bool startsInCommandMode_ = false;
};

TEST_F(CliModuleTest, ReadFallsBackFrom115200ToAModuleAt9600AndLeavesItInDataMode) {
    ModuleRadioOptions options;
    options.settings.name = "Bay 4";
    options.settings.baudCode = 5;
    options.storedSettings = options.settings;
    ModuleRadio& module = StartModule(options);

    const CliRunS run = Run({"read"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.json["name"], "Bay 4");
    EXPECT_EQ(run.json["address"], "0080370A1B2C");
    EXPECT_EQ(run.json["moduleBaud"], 9600);
    EXPECT_EQ(run.json["role"], "server");
    EXPECT_EQ(run.json["pcBaud"], 9600);
    const auto at115200 = run.err.find("Connect with 115200 baud failed");
    const auto at4800 = run.err.find("Connect with 4800 baud failed");
    ASSERT_NE(at115200, std::string::npos) << run.err;
    ASSERT_NE(at4800, std::string::npos) << run.err;
    EXPECT_LT(at115200, at4800);
    EXPECT_EQ(run.err.find("Connect with 9600"), std::string::npos);
    EXPECT_TRUE(Eventually([&] { return Written().find("AT*ADDM\r") != std::string::npos; }));
    EXPECT_FALSE(module.inCommandMode());
    EXPECT_EQ(Written().find("AT*AMWS"), std::string::npos) << "nothing was written";
}

TEST_F(CliModuleTest, WriteSetsTheRoleAndNameThenResetsTheModule) {
    ModuleRadio& module = StartModule();

    const CliRunS run = Run({"write", "--name", "Bay 5", "--role", "client"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.json["name"], "Bay 5");
    EXPECT_EQ(run.json["role"], "client");
    ASSERT_TRUE(
        Eventually([&] { return Written().find("AT*AMWS=0,0,0,0,1,0\r") != std::string::npos; }));
    const std::string written = Written();
    std::size_t at = 0;
    for (const char* command :
         {"AT*AGCM=1,1\r", "AT*AGDM=1,1\r", "AT*ADDCP=0,1\r", "AT*ADNRP=1,1\r", "AT*ADDSP=255,1\r",
          "AT*AGLN=\"Bay 5\",1\r", "AT*ADWSN=0,\"Bay 5\",1\r", "AT*AMWS=0,0,0,0,1,0\r"}) {
        at = written.find(command, at);
        ASSERT_NE(at, std::string::npos) << command << " missing or out of order in " << written;
    }
    EXPECT_EQ(written.find("AT*ADDM"), std::string::npos) << "the reset replaces data mode";
    EXPECT_EQ(module.storedSettings().name, "Bay 5");
    EXPECT_EQ(module.storedSettings().clientProfile, 0);
}

TEST_F(CliModuleTest, AWriteRefusedHalfWayStopsThereAndDoesNotReset) {
    ModuleRadio& module = StartModule();
    ModuleFaults faults;
    faults.words["AGDM"] = {ModuleFaults::Kind::Error};
    module.setModuleFaults(faults);

    const CliRunS run = Run({"write", "--name", "Bay 5", "--role", "server"});

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.json["status"], "failed");
    EXPECT_EQ(run.json["error"], "Failed to write settings");
    ExpectMessageOnStderr(run);
    ASSERT_TRUE(Eventually([&] { return Written().find("AT*ADDM\r") != std::string::npos; }));
    const std::string written = Written();
    EXPECT_NE(written.find("AT*AGDM=3,1\r"), std::string::npos);
    for (const char* never : {"AT*ADNRP", "AT*AGLN=", "AT*ADWSN", "AT*AMWS"}) {
        EXPECT_EQ(written.find(never), std::string::npos) << never;
    }
}

TEST_F(CliModuleTest, WriteChecksFailBeforeThePortIsOpened) {
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"--role", "client"}, "Settings not written: Local Name is empty"},
        {{"--name", "Bay 5"}, "Settings not written: Device Role not specified"},
        {{"--name", "1234567890123456", "--role", "client"},
         "Local Name is too long (max 15 chars)!"},
        {{"--name", "Bay 5", "--role", "client", "--module-baud", "38400"},
         "Failed to write settings"},
    };
    ModuleRadio& module = StartModule();
    for (const auto& c : cases) {
        std::vector<std::string> args = {"write"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRunS run = Run(args);
        EXPECT_EQ(run.status, 2) << c.error;
        EXPECT_EQ(run.json["error"], c.error);
        ExpectMessageOnStderr(run);
    }
    // Exactly 15 characters is a name, not a check failure.
    const CliRunS run = Run({"write", "--name", "123456789012345", "--role", "client"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(module.bytesHeard(), Written().size());
    EXPECT_EQ(Written().rfind("AT\r", 0), 0u) << "the four refused runs sent nothing";
}

// The name travels quoted: one that would end the quote or start a command of its own is
// refused before the port opens, naming the character.
TEST_F(CliModuleTest, ANameThatCannotTravelQuotedIsAUsageErrorAndNothingIsSent) {
    StartModule();
    for (const UnsendableNameCasesS& c : UnsendableNameCasesS::All()) {
        const CliRunS run = Run({"write", "--name", c.name, "--role", "client"});
        EXPECT_EQ(run.status, 2) << c.shown;
        EXPECT_EQ(run.json["error"], c.Refusal());
        ExpectMessageOnStderr(run);
    }
    EXPECT_EQ(module_->bytesHeard(), 0u);
}

TEST_F(CliModuleTest, SearchListsTheDevicesOfTheClassInInquiryOrderThenPairAndPaired) {
    ModuleRadioOptions options = CommandMode();
    options.settings.clientProfile = 0;
    options.devices = {{"00803701AAAA", 7978, "Alpha"},
                       {"00803701BBBB", 1234, "Other"},
                       {"00803701CCCC", 7978, "Gamma"}};
    StartModule(options);

    const CliRunS search = Run({"search"});
    ASSERT_EQ(search.status, 0) << search.err;
    const Json expected = Json::parse(R"([{"name":"Alpha","address":"00803701AAAA"},
                                         {"name":"Gamma","address":"00803701CCCC"}])");
    EXPECT_EQ(search.json["devices"], expected);

    const CliRunS notPaired = Run({"paired"});
    EXPECT_EQ(notPaired.status, 1);
    EXPECT_EQ(notPaired.json["error"], "Device is currently not paired");
    ExpectMessageOnStderr(notPaired);

    const CliRunS unknown = Run({"pair", "--address", "00803701BBBB"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.json["error"], "Pairing failed with current selection");
    ExpectMessageOnStderr(unknown);

    const CliRunS pair = Run({"pair", "--address", "00803701cccc"});
    ASSERT_EQ(pair.status, 0) << pair.err;
    EXPECT_EQ(pair.json["name"], "Gamma");

    const CliRunS paired = Run({"paired"});
    ASSERT_EQ(paired.status, 0) << paired.err;
    EXPECT_EQ(paired.json["name"], "Gamma");
    EXPECT_EQ(paired.json["address"], "00803701CCCC");
}

TEST_F(CliModuleTest, SearchOutsideTheClientRoleFailsWithoutAnInquiry) {
    StartModule();

    const CliRunS run = Run({"search"});

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.json["error"], "Search and Pairing only in Client mode!");
    ExpectMessageOnStderr(run);
    // operator[] on a const json with a missing key is undefined, so ask for the key.
    EXPECT_FALSE(run.json.contains("devices"));
    EXPECT_EQ(Written().find("AT*AGI"), std::string::npos);
}

TEST_F(CliModuleTest, VersionPrintsTheFiveTextsInOrder) {
    StartModule();

    const CliRunS run = Run({"version"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.json["versions"], Json::parse(R"(["ORYX 64 module", "firmware 4.2.7",
        "stack 2.1.0", "hardware rev C", "build 2026-03-14"])"));
}

TEST_F(CliModuleTest, APortThatCannotBeOpenedIsStatus3) {
    CliProcessC cli(ORYX_CLI_PATH, {"module", "read", "--port", "/nonexistent/port", "--json"});
    const CliRunS run = CliRunS::Finish(cli);

    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.json["error"], "Cannot open port /nonexistent/port! Port /nonexistent/port does "
                                 "not exist (/nonexistent/port).");
    ExpectMessageOnStderr(run);
}

// A module that never answers: each rate costs the escape's two guard times.
TEST_F(CliModuleTest, AModuleSilentAtEveryRateIsStatus5AndCtrlCCancelsTheConnect) {
    ModuleRadioOptions options;
    options.settings.baudCode = 7; // 38400: no rate of the list reaches it
    StartModule(options);

    const CliRunS failed = Run({"read", "--baud", "57600"});
    EXPECT_EQ(failed.status, 5) << failed.err;
    EXPECT_EQ(failed.json["error"], "Connect failed!");
    ExpectMessageOnStderr(failed);
    for (const char* rate : {"57600", "4800", "9600", "19200", "115200"}) {
        EXPECT_NE(failed.err.find("Connect with " + std::string(rate) + " baud failed"),
                  std::string::npos)
            << rate;
    }

    CliProcessC cli(ORYX_CLI_PATH, {"module", "read", "--port", module_->portText(), "--json"});
    ASSERT_TRUE(cli.WaitForError("Connect with 115200 baud failed", 10s)) << cli.err();
    const auto interrupted = std::chrono::steady_clock::now();
    cli.Interrupt();
    const CliRunS run = CliRunS::Finish(cli);
    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.json["status"], "cancelled");
    ExpectMessageOnStderr(run);
    EXPECT_LT(std::chrono::steady_clock::now() - interrupted, 3s);
}

} // namespace
