// oryx-cli modem, run as the real program against simulated radios.
#include "CliProcessC.h"
#include "CliRunS.h"
#include "ScratchDirC.h"
#include "sim/ModemRadio.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using oryx::sim::ModemRadio;
using oryx::sim::ModemRadioOptions;
using Json = nlohmann::json;

bool ShowedMessage(const Json& report, const std::string& text) {
    for (const Json& message : report["messages"]) {
        if (message["text"] == text) {
            return true;
        }
    }
    return false;
}

// The program lets go of the radio with "z>" last; once the simulator has noted it, it has
// acted on it, and every line before it is noted too.
bool LeftCommandMode(ModemRadio& radio) {
    return radio.traffic().waitForWritten("z>\r\n", 5s) && !radio.inCommandMode();
}

bool Wrote(ModemRadio& radio, const std::string& line) {
    const auto lines = radio.traffic().writtenLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class CliModemTest : public ::testing::Test {
protected:
    ModemRadio& StartRadio(ModemRadioOptions options) {
        static int count = 0;
        options.linkName = "cli-test-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
        radios_.push_back(std::make_unique<ModemRadio>(std::move(options)));
        radios_.back()->start();
        return *radios_.back();
    }

    static ModemRadioOptions Radio(int model, std::uint32_t baud) {
        ModemRadioOptions options;
        options.model = model;
        options.baud = baud;
        return options;
    }

    ScratchDirC scratch_;
    std::vector<std::unique_ptr<ModemRadio>> radios_;
};

TEST_F(CliModemTest, ReadSearchesTheRatesReportsTheSettingsAndReleasesTheRadio) {
    ModemRadioOptions options = Radio(2450, 19200);
    options.values = {{"wb", 1}, {"wn", 7}};
    ModemRadio& radio = StartRadio(options);

    const CliRunS run = CliRunS::Of({"modem", "read", "--port", radio.portText(), "--baud",
                                     "115200", "--json", "--event-log", scratch_.file("log.txt")});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.json["status"], "ok");
    EXPECT_EQ(run.json["exitStatus"], 0);
    EXPECT_EQ(run.json["model"], 2450);
    EXPECT_EQ(run.json["baud"], 19200);
    EXPECT_EQ(run.json["device"], "ORYX63B");
    EXPECT_EQ(run.json["mode"], "Base");
    EXPECT_EQ(run.json["link"], 7);
    EXPECT_EQ(run.json["banner"].get<std::string>().rfind("WLK2450", 0), 0u);
    EXPECT_FALSE(run.json.contains("power")) << "power and band belong to --service";
    EXPECT_NE(run.err.find("Waiting for radio at 115200 bps..."), std::string::npos);
    EXPECT_NE(run.err.find("Waiting for radio at 19200 bps..."), std::string::npos);
    EXPECT_NE(run.err.find("Please disconnect, then reconnect the cable to the radio."),
              std::string::npos);
    // Let go the way closing the dialog does: out of command mode, nothing stored.
    EXPECT_TRUE(LeftCommandMode(radio));
    EXPECT_EQ(radio.traffic().writtenLines().back(), "z>");
    EXPECT_FALSE(Wrote(radio, "m>"));
    EXPECT_NE(ScratchDirC::ReadFile(scratch_.file("log.txt")).find("Radio settings read OK."),
              std::string::npos);
}

TEST_F(CliModemTest, WriteAppliesEveryOptionAndTheNextReadSeesIt) {
    ModemRadio& radio = StartRadio(Radio(2410, 115200));

    const CliRunS write =
        CliRunS::Of({"modem", "write", "--port", radio.portText(), "--json", "--service", "--mode",
                     "Base", "--device", "kv7730", "--link", "10", "--set-baud", "19200", "--band",
                     "0a", "--power", "0"});

    ASSERT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(write.json["status"], "ok");
    EXPECT_EQ(write.json["baud"], 19200);
    EXPECT_TRUE(ShowedMessage(write.json, "Settings saved."));
    ASSERT_TRUE(LeftCommandMode(radio)) << "m> comes before z>";
    EXPECT_EQ(radio.storedValue("wb"), 1u);
    EXPECT_EQ(radio.storedValue("wn"), 10u);
    EXPECT_EQ(radio.storedValue("dx"), 4u) << "KV7730 is the 2410 with range 4";
    EXPECT_EQ(radio.storedValue("pe"), 0x0Au);
    EXPECT_EQ(radio.storedValue("wp"), 0u);
    EXPECT_EQ(radio.storedBaud(), 19200u);

    const CliRunS read =
        CliRunS::Of({"modem", "read", "--port", radio.portText(), "--baud", "19200", "--service"});

    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_NE(read.out.find("device: KV7730\n"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("mode: Base\n"), std::string::npos);
    EXPECT_NE(read.out.find("link: 10\n"), std::string::npos);
    EXPECT_NE(read.out.find("baud: 19200\n"), std::string::npos);
    EXPECT_NE(read.out.find("power: 0\n"), std::string::npos);
    EXPECT_NE(read.out.find("band: 0A\n"), std::string::npos);
}

TEST_F(CliModemTest, WriteRefusesADeviceTheModelDoesNotOfferAndChangesNothing) {
    ModemRadio& radio = StartRadio(Radio(2450, 115200));

    const CliRunS run = CliRunS::Of(
        {"modem", "write", "--port", radio.portText(), "--json", "--device", "ORYX62R"});

    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.json["status"], "usage");
    EXPECT_NE(run.json["error"].get<std::string>().find("ORYX63R ORYX63B"), std::string::npos);
    EXPECT_TRUE(LeftCommandMode(radio));
    EXPECT_FALSE(Wrote(radio, "m>"));
    EXPECT_FALSE(Wrote(radio, "wb0"));
}

TEST_F(CliModemTest, DefaultsAsksFirstAndANoSendsNothing) {
    ModemRadio& radio = StartRadio(Radio(2450, 115200));

    const CliRunS run =
        CliRunS::Of({"modem", "defaults", "--port", radio.portText(), "--json"}, "n\n");

    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.json["status"], "cancelled");
    EXPECT_NE(run.err.find("loose all current settings? [y/N]"), std::string::npos);
    EXPECT_TRUE(LeftCommandMode(radio));
    EXPECT_FALSE(Wrote(radio, "m0"));
}

TEST_F(CliModemTest, DefaultsWithYesLeavesTheRadioAtItsDefaultRateWithTheMakersSettings) {
    ModemRadioOptions options = Radio(2450, 19200);
    options.values = {{"wn", 5}, {"wb", 1}, {"pe", 0}};
    ModemRadio& radio = StartRadio(options);

    const CliRunS run = CliRunS::Of(
        {"modem", "defaults", "--port", radio.portText(), "--baud", "19200", "--yes", "--json"});

    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.json["status"], "ok");
    EXPECT_EQ(run.json["baud"], 115200);
    ASSERT_TRUE(LeftCommandMode(radio));
    EXPECT_EQ(radio.storedBaud(), 115200u);
    EXPECT_EQ(radio.storedValue("wn"), 0u);
    EXPECT_EQ(radio.storedValue("pe"), 0x0Bu);
    EXPECT_EQ(radio.storedValue("wb"), 1u) << "the mode follows the device, here ORYX63B";
}

TEST_F(CliModemTest, APortThatCannotBeOpenedIsStatus3) {
    const CliRunS run =
        CliRunS::Of({"modem", "read", "--port", scratch_.file("no-such-port"), "--json"});

    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.json["status"], "port-unavailable");
    EXPECT_EQ(run.json["exitStatus"], 3);
    EXPECT_TRUE(ShowedMessage(run.json, "Cannot open port."));
    EXPECT_NE(run.err.find("Error: Cannot open port."), std::string::npos);
    EXPECT_NE(run.json["error"].get<std::string>().find("does not exist"), std::string::npos)
        << "the reason follows, so the user knows what to do";
}

// The run goes on without the log; standard error says why once, the JSON object keeps it.
TEST_F(CliModemTest, AnEventLogThatCannotBeWrittenIsOneWarningAndTheRunGoesOn) {
    const struct {
        std::string log;
        std::string reason;
    } cases[] = {
        {"/dev/full", "it is not a regular file"},
        {"/dev/stderr", "it is a symbolic link"},
        {scratch_.file("none/run.log"), "No such file or directory"},
    };
    for (const auto& c : cases) {
        const CliRunS run = CliRunS::Of({"modem", "read", "--port", scratch_.file("no-such-port"),
                                         "--event-log", c.log, "--json"});
        const std::string warning = "Event log " + c.log + " not written (" + c.reason;
        EXPECT_EQ(run.status, 3) << c.log;
        const auto first = run.err.find(warning);
        EXPECT_NE(first, std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(warning, first + 1), std::string::npos) << run.err;
        const Json& messages = run.json["messages"];
        EXPECT_TRUE(std::any_of(messages.begin(), messages.end(), [&](const Json& message) {
            return message["text"].get<std::string>().rfind(warning, 0) == 0;
        })) << run.out;
    }
}

TEST_F(CliModemTest, ControlCharactersFromOutsideAreEscapedOnTheTerminalNotInJson) {
    const std::string port = scratch_.file("\x1b]0;owned\x07");
    const CliRunS text = CliRunS::Of({"modem", "read", "--port", port});
    EXPECT_EQ(text.status, 3);
    EXPECT_EQ(text.err.find('\x1b'), std::string::npos) << text.err;
    EXPECT_NE(text.err.find("\\x1b]0;owned\\x07"), std::string::npos) << text.err;

    const CliRunS json = CliRunS::Of({"modem", "read", "--port", port, "--json"});
    EXPECT_EQ(json.json["port"], port);
}

TEST_F(CliModemTest, AFileAsPortIsRefusedSayingWhatItIsAndKeepsItsBytes) {
    const std::string file = scratch_.file("settings.txt");
    std::ofstream(file) << "kept";
    const CliRunS run = CliRunS::Of({"modem", "read", "--port", file, "--json"});

    EXPECT_EQ(run.status, 3);
    EXPECT_NE(
        run.err.find("Port " + file + " is not a serial port: " + file + " is a regular file."),
        std::string::npos)
        << run.err;
    EXPECT_EQ(ScratchDirC::ReadFile(file), "kept");
}

TEST_F(CliModemTest, ARadioThatFallsSilentAfterItsBannerIsStatus1) {
    ModemRadio& radio = StartRadio(Radio(2450, 115200));
    CliProcessC cli(ORYX_CLI_PATH, {"modem", "read", "--port", radio.portText(), "--json"});
    // The program reads the banner half a second after it arrived; by then nobody answers.
    ASSERT_TRUE(radio.traffic().waitForSent("ready", 10s));
    oryx::sim::Faults silent;
    silent.silent = true;
    radio.setFaults(silent);

    const CliRunS run = CliRunS::Finish(cli);

    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.json["status"], "failed");
    EXPECT_TRUE(ShowedMessage(run.json, "Settings could not be read."));
    EXPECT_FALSE(run.json.contains("link"));
}

TEST_F(CliModemTest, ARadioThatRefusesTheSaveIsStatus1) {
    ModemRadioOptions options = Radio(2450, 115200);
    options.values = {{"wn", 0x0D}};
    ModemRadio& radio = StartRadio(options);
    CliProcessC cli(ORYX_CLI_PATH,
                    {"modem", "write", "--port", radio.portText(), "--link", "3", "--json"});
    // Once the link number has been read, every command is refused.
    ASSERT_TRUE(radio.traffic().waitForSent("\r\n0D\r\n>", 20s));
    oryx::sim::Faults refusing;
    refusing.answerError = true;
    radio.setFaults(refusing);

    const CliRunS run = CliRunS::Finish(cli);

    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(ShowedMessage(run.json, "Error. Settings not saved."));
    EXPECT_FALSE(Wrote(radio, "m>"));
}

TEST_F(CliModemTest, ARateChangeThatDidNotHappenIsStatus1) {
    struct RateCase {
        int model;
        std::string banner;
        std::string setBaud;
        std::string error;
    };
    const std::vector<RateCase> cases = {
        // A 2450 that calls itself a 2410 refuses the 2410's code and stays at 115200.
        {2450, "\r\nWLK2410 radio modem: ready\r\n", "19200", "Settings not saved."},
        {2410, "\r\nWLKX410 radio modem: ready\r\n", "9600",
         "Settings saved, but the baud rate is still 115200: this radio model has no baud-rate "
         "codes."},
    };
    for (const RateCase& c : cases) {
        ModemRadioOptions options = Radio(c.model, 115200);
        options.banner = c.banner;
        ModemRadio& radio = StartRadio(options);

        const CliRunS run = CliRunS::Of({"modem", "write", "--port", radio.portText(), "--json",
                                         "--set-baud", c.setBaud, "--link", "9"});

        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_EQ(run.json["error"], c.error);
        EXPECT_FALSE(ShowedMessage(run.json, "Settings saved."));
        EXPECT_EQ(radio.baud(), 115200u);
    }
}

TEST_F(CliModemTest, CtrlCWhileWaitingForTheRadioIsStatus4) {
    ModemRadioOptions options = Radio(2450, 115200);
    options.bannerOnOpen = false;
    ModemRadio& radio = StartRadio(options);
    CliProcessC cli(ORYX_CLI_PATH,
                    {"modem", "write", "--port", radio.portText(), "--json", "--link", "3"});
    ASSERT_TRUE(cli.WaitForError("Waiting for radio at 115200 bps...", 10s)) << cli.err();
    // Pressed before the poll loop began: a terminal user must not have to press it twice.
    cli.Interrupt();
    const auto interrupted = std::chrono::steady_clock::now();

    const CliRunS run = CliRunS::Finish(cli);

    EXPECT_EQ(run.status, 4);
    EXPECT_EQ(run.json["status"], "cancelled");
    EXPECT_LT(std::chrono::steady_clock::now() - interrupted, 2s);
    EXPECT_TRUE(radio.traffic().written().empty());
    EXPECT_EQ(run.err.find("Waiting for radio at 4800"), std::string::npos);
}

// With --json the reason stays on standard error too, as the text output has it; over several
// ports each port's reason comes as a line of its own behind the port.
TEST_F(CliModemTest, EveryFailureIsOnStandardErrorAlsoWithJson) {
    struct FailureCase {
        int model; // 0: no radio, the port does not exist
        std::string banner;
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string error;
        bool several;
    };
    const std::string missingProfile = scratch_.file("none.json");
    const std::vector<FailureCase> cases = {
        {2450,
         "",
         {"modem", "write", "--device", "ORYX62R"},
         "",
         2,
         "Device ORYX62R is not offered for model 2450; choose one of: ORYX63R ORYX63B",
         true},
        {0, "", {"modem", "apply", missingProfile}, "", 2, missingProfile, true},
        {0, "", {"modem", "read"}, "", 3, "Cannot open port ", true},
        // A model without rate codes keeps its rate.
        {2410,
         "\r\nWLKX410 radio modem: ready\r\n",
         {"modem", "write", "--set-baud", "9600"},
         "",
         1,
         "Settings saved, but the baud rate is still 115200",
         true},
        {2450, "", {"modem", "defaults"}, "n\n", 4, "Defaults not restored: declined.", false},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.error);
        std::string port = scratch_.file("no-such-port");
        if (c.model != 0) {
            ModemRadioOptions options = Radio(c.model, 115200);
            if (!c.banner.empty()) {
                options.banner = c.banner;
            }
            port = StartRadio(options).portText();
        }
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--port", port, "--json"});

        const CliRunS single = CliRunS::Of(args, c.input);

        EXPECT_EQ(single.status, c.status) << single.err;
        const std::string error = single.json.value("error", "");
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_NE(single.err.find("oryx-cli: " + error + "\n"), std::string::npos) << single.err;
        if (!c.several) {
            continue;
        }
        const std::string absent = scratch_.file("absent-port");
        args.insert(args.end(), {"--port", absent});

        const CliRunS several = CliRunS::Of(args, c.input);

        ASSERT_EQ(several.json.size(), 2u) << several.out;
        EXPECT_EQ(several.json[0]["error"], error);
        for (const std::string& each : {port, absent}) {
            const std::string own = several.json[each == port ? 0 : 1].value("error", "");
            EXPECT_NE(several.err.find(each + ": oryx-cli: " + own + "\n"), std::string::npos)
                << several.err;
        }
    }
}

TEST_F(CliModemTest, UsageErrorsAreStatus2AndStillOneJsonObject) {
    const std::vector<std::vector<std::string>> wrong = {
        {"modem", "read", "--json"},
        {"modem", "write", "--port", "x", "--link", "16", "--json"},
        {"modem", "write", "--port", "x", "--band", "0B", "--json"},
        {"modem", "write", "--port", "x", "--service", "--band", "B", "--json"},
        {"modem", "read", "--port", "x", "--baud", "1200", "--json"},
        {"modem", "--json"},
        {"modem", "read", "--port", "x", "--save", "run.log", "--event-log", "./run.log", "--json"},
        {"modem", "read", "--port", "x", "--port", "y", "--save", "r.log", "--event-log", "r.log",
         "--json"},
    };
    for (const auto& args : wrong) {
        const CliRunS run = CliRunS::Of(args);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_EQ(run.json["status"], "usage") << run.out;
    }
}

TEST_F(CliModemTest, HelpDocumentsEveryCommandAndOption) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"modem", "--help"}}) {
        const CliRunS run = CliRunS::Of(args);
        EXPECT_EQ(run.status, 0);
        for (const char* word : {"read", "write", "defaults", "--port", "--baud", "--json",
                                 "--event-log", "--service", "--mode", "--device", "--link",
                                 "--set-baud", "--band", "--power", "--yes", "Exit status"}) {
            EXPECT_NE(run.out.find(word), std::string::npos) << args[0] << " lacks " << word;
        }
    }
}

} // namespace
