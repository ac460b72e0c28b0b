// oryx-cli against simulated radios served by ser2net on the loopback address, so that every
// rate change has to travel over the network to the radio's port.
#include "CliProcessC.h"
#include "CliRunS.h"
#include "DelayProxyC.h"
#include "Ser2netServerC.h"
#include "sim/ModemRadio.h"
#include "sim/ModuleRadio.h"

#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using oryx::sim::ModemRadio;
using oryx::sim::ModemRadioOptions;
using oryx::sim::ModuleRadio;
using oryx::sim::ModuleRadioOptions;
using Json = nlohmann::json;

std::string LinkName(const char* family) {
    static int count = 0;
    return std::string("remote-") + family + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(++count);
}

class CliRemotePortTest : public ::testing::Test {
protected:
    void Serve(const std::string& portText) {
        server_ = std::make_unique<Ser2netServerC>(portText);
        if (!server_->available()) {
            GTEST_SKIP() << server_->problem();
        }
    }

    ModemRadio& StartModem(std::uint32_t baud, bool bannerOnOpen = true) {
        ModemRadioOptions options;
        options.bannerOnOpen = bannerOnOpen;
        options.model = 2410;
        options.baud = baud;
        options.linkName = LinkName("modem");
        modem_ = std::make_unique<ModemRadio>(std::move(options));
        modem_->start();
        return *modem_;
    }

    ModuleRadio& StartModule(ModuleRadioOptions options) {
        options.linkName = LinkName("module");
        module_ = std::make_unique<ModuleRadio>(std::move(options));
        module_->start();
        return *module_;
    }

    static ModuleRadioOptions QuickModule() {
        ModuleRadioOptions options;
        options.commandMode = true;
        options.replyDelay = 0ms;
        options.inquiryDelay = 20ms;
        options.nameDelay = 10ms;
        return options;
    }

    // A slow link between the program and the server; its port text replaces the server's.
    std::string ThroughSlowLink(std::chrono::milliseconds oneWay) {
        link_ = std::make_unique<DelayProxyC>(server_->port(), oneWay, 20ms);
        EXPECT_TRUE(link_->available()) << link_->problem();
        return link_->portText();
    }

    std::unique_ptr<ModemRadio> modem_;
    std::unique_ptr<ModuleRadio> module_;
    std::unique_ptr<Ser2netServerC> server_;
    std::unique_ptr<DelayProxyC> link_;
};

TEST_F(CliRemotePortTest, ModemDetectionFallsBackAndASaveChangesTheRate) {
    ModemRadio& radio = StartModem(19200);
    Serve(radio.portText());

    const CliRunS read =
        CliRunS::Of({"modem", "read", "--port", server_->portText(), "--baud", "115200", "--json"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.json["model"], 2410);
    EXPECT_EQ(read.json["baud"], 19200);
    EXPECT_NE(read.err.find("Waiting for radio at 115200 bps..."), std::string::npos);

    const CliRunS write = CliRunS::Of({"modem", "write", "--port", server_->portText(), "--baud",
                                       "19200", "--set-baud", "57600", "--json"});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(write.json["baud"], 57600);
    // The run may end before the radio has taken in its last lines; the store comes before
    // leaving command mode, and both must arrive although the connection closed meanwhile.
    ASSERT_TRUE(radio.traffic().waitForWritten("z>\r\n", 5s) && !radio.inCommandMode())
        << radio.traffic().written();
    EXPECT_EQ(radio.storedBaud(), 57600u);
}

TEST_F(CliRemotePortTest, ModuleFallbackReadRateChangeAndSearch) {
    ModuleRadioOptions options = QuickModule();
    options.commandMode = false;
    options.settings.baudCode = 5; // 9600
    options.settings.clientProfile = 0;
    options.devices = {{"00803701AAAA", 7978, "Alpha"}};
    options.storedSettings = options.settings;
    ModuleRadio& module = StartModule(options);
    Serve(module.portText());
    const std::vector<std::string> port = {"--port", server_->portText(), "--json"};
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "module");
        args.insert(args.end(), port.begin(), port.end());
        return CliRunS::Of(args);
    };

    const CliRunS read = run({"read"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.json["moduleBaud"], 9600);
    EXPECT_NE(read.err.find("Connect with 115200 baud failed"), std::string::npos) << read.err;

    const CliRunS write = run({"write", "--baud", "9600", "--name", "Mast 2", "--role", "client",
                               "--module-baud", "57600"});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(module.storedSettings().baudCode, 8) << "57600";

    const CliRunS search = run({"search", "--baud", "57600"});
    ASSERT_EQ(search.status, 0) << search.err;
    EXPECT_EQ(search.json["devices"],
              Json::parse(R"([{"name":"Alpha","address":"00803701AAAA"}])"));
}

// 150 ms each way with 20 ms of jitter: every answer also takes the link's round trip, which
// the waits add to the radio's own answer times, and the run reports it.
TEST_F(CliRemotePortTest, ModuleAndModemWorkOverASlowLink) {
    ModuleRadioOptions options = QuickModule();
    options.commandMode = false; // the escape's guard times must survive the link
    options.settings.baudCode = 5;
    options.settings.clientProfile = 0;
    options.storedSettings = options.settings;
    ModuleRadio& module = StartModule(options);
    Serve(module.portText());
    const std::string port = ThroughSlowLink(150ms);
    const auto expectRoundTrip = [](const CliRunS& run) {
        // At least 130 ms each way; twice the round trip would be 520 ms at least.
        EXPECT_GE(run.json["roundTripMs"], 260) << run.json.dump();
        EXPECT_LT(run.json["roundTripMs"], 520) << run.json.dump();
    };

    const CliRunS read =
        CliRunS::Of({"module", "read", "--port", port, "--baud", "9600", "--json"});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.json["moduleBaud"], 9600);
    expectRoundTrip(read);
    const CliRunS write = CliRunS::Of({"module", "write", "--port", port, "--baud", "9600",
                                       "--name", "Mast 7", "--role", "client", "--json"});
    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(module.storedSettings().name, "Mast 7");

    ModemRadio& radio = StartModem(19200, false);
    Serve(radio.portText());
    const std::string modemPort = ThroughSlowLink(150ms);
    // The cable is reconnected while the program waits, so the banner comes at the tried rate
    // and has the link to cross.
    const auto modemRun = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--port", modemPort, "--baud", "19200", "--json"});
        CliProcessC cli(ORYX_CLI_PATH, args);
        EXPECT_TRUE(cli.WaitForError("Waiting for radio at 19200 bps", 30s)) << cli.err();
        radio.reconnectCable();
        return CliRunS::Finish(cli);
    };
    const CliRunS modemRead = modemRun({"modem", "read"});
    ASSERT_EQ(modemRead.status, 0) << modemRead.err;
    EXPECT_EQ(modemRead.json["model"], 2410);
    expectRoundTrip(modemRead);
    const CliRunS modemWrite = modemRun({"modem", "write", "--set-baud", "57600"});
    ASSERT_EQ(modemWrite.status, 0) << modemWrite.err;
    ASSERT_TRUE(radio.traffic().waitForWritten("z>\r\n", 5s)) << radio.traffic().written();
    EXPECT_EQ(radio.storedBaud(), 57600u);
}

// A dropped connection is a pulled cable: the run ends in an error and the port is gone.
TEST_F(CliRemotePortTest, ADroppedConnectionEndsTheRunWithAnError) {
    struct CaseS {
        const char* family;
        std::vector<std::string> args;
        const char* waitingFor; // what the run has said or the radio heard at the drop
        const char* status;
    };
    // The modem never answers at 115200, so the drop comes while detection waits; the
    // module takes its time over the inquiry, so the drop comes while the search waits (and
    // the search ends when the inquiry's 15 s are up).
    const std::vector<CaseS> cases = {
        {"modem",
         {"modem", "read", "--baud", "115200"},
         "Waiting for radio at 115200 bps",
         "port-unavailable"},
        {"module", {"module", "search"}, "AT*AGI", "failed"},
    };
    for (const CaseS& c : cases) {
        oryx::sim::Traffic* traffic = nullptr;
        if (std::string(c.family) == "modem") {
            traffic = &StartModem(9600).traffic();
            Serve(modem_->portText());
        } else {
            ModuleRadioOptions options = QuickModule();
            options.settings.clientProfile = 0;
            options.inquiryDelay = 30s;
            traffic = &StartModule(options).traffic();
            Serve(module_->portText());
        }
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--port", server_->portText(), "--json"});
        CliProcessC cli(ORYX_CLI_PATH, args);
        const bool modem = std::string(c.family) == "modem";
        ASSERT_TRUE(modem ? cli.WaitForError(c.waitingFor, 20s)
                          : traffic->waitForWritten(c.waitingFor, 20000ms))
            << c.family << cli.err();
        server_->kill();
        const CliRunS run = CliRunS::Finish(cli);
        ASSERT_NE(run.status, -1) << c.family << " did not end within the limit";
        EXPECT_NE(run.status, 0) << c.family << run.err;
        EXPECT_EQ(run.json["status"], c.status) << c.family << run.err;
    }
}

} // namespace
