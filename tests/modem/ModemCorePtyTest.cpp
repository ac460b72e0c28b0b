#include "ModemCoreFixture.h"
#include "modem/ModemModelsC.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <thread>

namespace {

using oryx::sim::ModemRadioOptions;
using Lines = std::vector<std::string>;

const Lines kFixed2400 = {"pr10"};
const Lines kFixed2410 = {"pn1", "pw34", "pr10", "wu01", "dx00"};
const Lines kFixed2410Kv = {"pn1", "pw30", "pr10", "wu01", "dx04"};
const Lines kFixed2450Remote = {"pn01", "pw2F", "pr10", "wu01", "dm01", "dx0F",
                                "zb01", "zc01", "zr00", "zs00", "ww01"};

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

struct ModelCase {
    int model;
    bool kv;
    bool service;
    Lines read;
    Lines save; // after changing the link to 10
    Lines defaults;
    std::string defaultBaud;
};

void PrintTo(const ModelCase& c, std::ostream* os) {
    *os << c.model << (c.kv ? " KV7730" : "") << (c.service ? " service" : "");
}

class ModemWireTest : public ModemCoreFixture, public ::testing::WithParamInterface<ModelCase> {};

TEST_P(ModemWireTest, ReadSaveAndDefaultsSendExactlyTheseCommands) {
    const ModelCase& c = GetParam();
    ModemRadioOptions options;
    options.model = c.model;
    options.kvVariant = c.kv;
    options.baud = 19200;
    options.values = {{"wb", 0}, {"wn", 3}, {"wp", 1}, {"pe", 6}};
    StartRadio(options);

    Connect("19200", c.service);
    EXPECT_EQ(Commands(), c.read);
    EXPECT_EQ(Count("Radio settings read OK."), 1);
    EXPECT_EQ(fields().linkText, "3");
    EXPECT_EQ(fields().deviceText, c.kv ? "KV7730" : ModemModelsC::Model(c.model).devices[0]);

    ClearTraffic();
    fields().linkBox.Select(10);
    EXPECT_EQ(core->OnSave(), ModemOutcomeT::Ok);
    EXPECT_EQ(CommandsThrough("z>"), c.save);
    EXPECT_EQ(view.BoxTexts().back(), "Settings saved.");
    EXPECT_FALSE(fields().connected);
    EXPECT_EQ(radio->storedValue("wn"), 10u);

    // Connect again (the radio is in data mode and sends its banner) and restore defaults.
    view.answers = {ModemViewI::AnswerT::Yes};
    core->OnConnectButton();
    ASSERT_TRUE(fields().connected);
    ClearTraffic();
    EXPECT_EQ(core->OnDefault(), ModemOutcomeT::Ok);
    EXPECT_EQ(CommandsThrough("z>"), c.defaults);
    EXPECT_FALSE(fields().connected);
    EXPECT_EQ(fields().baudText, c.defaultBaud);
    EXPECT_EQ(std::to_string(radio->baud()), c.defaultBaud);
    ASSERT_FALSE(view.stored.empty());
    EXPECT_EQ(view.stored.back().second, c.defaultBaud) << "the new rate is stored on close";
}

INSTANTIATE_TEST_SUITE_P(
    Models, ModemWireTest,
    ::testing::Values(
        ModelCase{2400,
                  false,
                  false,
                  {":wit2400", "wb?", "wn?"},
                  Concat({{"wb0", "wna"}, kFixed2400, {"m>", "z>"}}),
                  Concat({{"m0", "pe1", "wt1"}, kFixed2400, {"wb0", "sd040", "m>", "z>"}}),
                  "19200"},
        ModelCase{2410,
                  false,
                  false,
                  {":wit2400", "wb?", "wn?", "dx?"},
                  Concat({{"wb0", "wna"}, kFixed2410, {"m>", "z>"}}),
                  Concat({{"m0", "pe06"}, kFixed2410, {"wb0", "sd01", "m>", "z>"}}),
                  "115200"},
        ModelCase{2410,
                  true,
                  true,
                  {":wit2400", "wb?", "wn?", "dx?", "wp?", "pe?"},
                  Concat({{"wb0", "wna", "pe06", "wp1"}, kFixed2410Kv, {"m>", "z>"}}),
                  Concat({{"m0", "pe00"}, kFixed2410Kv, {"wb1", "sd0B", "m>", "z>"}}),
                  "19200"},
        ModelCase{2450,
                  false,
                  true,
                  {":wit2400", "wb?", "wn?", "wp?", "pe?"},
                  Concat({{"wb0", "wna", "pe06", "wp1"}, kFixed2450Remote, {"m>", "z>"}}),
                  Concat({{"m0", "pe0B"}, kFixed2450Remote, {"wb0", "sd03", "m>", "z>"}}),
                  "115200"}),
    [](const auto& info) {
        return std::to_string(info.param.model) + (info.param.kv ? "KV7730" : "") +
               (info.param.service ? "Service" : "");
    });

class ModemDetectTest : public ModemCoreFixture {};

TEST_F(ModemDetectTest, WalksTheRateListFromTheChosenRateUntilTheBannerReads) {
    ModemRadioOptions options;
    options.model = 2450;
    options.baud = 9600;
    options.noiseBytes = 2;
    StartRadio(options);
    Connect("115200");
    EXPECT_EQ(view.detectCaptions,
              (Lines{"Waiting for radio at 115200 bps...", "Waiting for radio at 4800 bps...",
                     "Waiting for radio at 9600 bps..."}));
    EXPECT_EQ(Count("Could't read banner, port closed."), 2);
    EXPECT_EQ(fields().currentBaud, "9600");
    EXPECT_EQ(fields().modelNumber, 2450);
    EXPECT_EQ(fields().deviceBox.Entries(), (Lines{"ORYX63R", "ORYX63B"}));
    EXPECT_EQ(fields().connectLabel, "Disco&nnect");
    EXPECT_FALSE(fields().portBox.Enabled());
}

TEST_F(ModemDetectTest, BannerTooShortForAModelNumberIsAFailedBanner) {
    ModemRadioOptions options;
    options.baud = 115200;
    options.banner = "\r\nWL24: ready\r\n";
    StartRadio(options);
    view.cancelDetectNumber = 2;
    OpenDialog("115200");
    core->OnConnectButton();
    EXPECT_FALSE(fields().connected);
    EXPECT_EQ(Count("Could't read banner, port closed."), 1);
    EXPECT_EQ(fields().currentBaud, "4800") << "the next rate was tried";
}

// A radio at 115200 whose banner names another model than it is.
ModemRadioOptions WithBanner(int model, const std::string& banner) {
    ModemRadioOptions options;
    options.model = model;
    options.baud = 115200;
    options.banner = banner;
    return options;
}

TEST_F(ModemDetectTest, BannerWithoutDigitsAtTheModelPlaceGivesModelZero) {
    StartRadio(WithBanner(2410, "\r\nWLKX410 radio modem: ready\r\n"));
    Connect("115200");
    EXPECT_EQ(fields().modelNumber, 0);
    EXPECT_EQ(fields().deviceBox.Entries(), (Lines{"ORYX63R", "ORYX63B"}));
    EXPECT_EQ(Count("Banner: WLKX410 radio modem"), 1);

    // A model without baud-rate codes saves everything but the rate.
    ClearTraffic();
    fields().baudBox.Select(1);
    EXPECT_EQ(core->OnSave(), ModemOutcomeT::RadioFailed);
    Lines commands = CommandsThrough("z>");
    EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                            [](const std::string& c) { return c.rfind("sd", 0) == 0; }),
              0);
    EXPECT_EQ(Count("ERROR: No baudrate code for model 0, baudrate not changed."), 1);
    EXPECT_EQ(view.BoxTexts().back(), "Settings saved, but the baud rate is still 115200: this "
                                      "radio model has no baud-rate codes.");
}

TEST_F(ModemDetectTest, AFileAsPortIsRefusedWithWhatItIsAndKeepsItsBytes) {
    const std::string file =
        ::testing::TempDir() + "/modem-file-port-" + std::to_string(::getpid());
    std::ofstream(file) << "kept";
    log = std::make_unique<EventLogFileC>(logDir.path(), 500);
    core = std::make_unique<ModemDialogCoreC>(*log, view);
    core->OnInitDialog({file}, file, "19200", false);
    EXPECT_EQ(core->OnConnectButton(), ModemOutcomeT::PortUnavailable);
    const std::string reason =
        "Port " + file + " is not a serial port: " + file + " is a regular file.";
    EXPECT_EQ(view.BoxTexts(), Lines{"Cannot open port.\n" + reason});
    EXPECT_EQ(Count("ERROR: " + reason), 5);
    std::ifstream kept(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
    std::remove(file.c_str());
}

TEST_F(ModemDetectTest, AMissingPortEndsAfterFiveOpenFailures) {
    log = std::make_unique<EventLogFileC>(logDir.path(), 500);
    core = std::make_unique<ModemDialogCoreC>(*log, view);
    core->OnInitDialog({"/nonexistent/oryx"}, "/nonexistent/oryx", "19200", false);
    EXPECT_EQ(core->OnConnectButton(), ModemOutcomeT::PortUnavailable);
    EXPECT_FALSE(fields().connected);
    EXPECT_EQ(view.BoxTexts(), Lines{"Cannot open port."});
    EXPECT_EQ(Count("ERROR: Could not open port /nonexistent/oryx"), 4);
    EXPECT_EQ(Count("ERROR: Cannot open port. OnDetect returns."), 1);
    EXPECT_EQ(fields().baudText, "9600") << "each failure advanced the rate: 19200 -> ... -> 9600";
}

TEST_F(ModemDetectTest, CancelLeavesTheDialogDisconnected) {
    ModemRadioOptions options;
    options.bannerOnOpen = false;
    StartRadio(options);
    view.cancelDetect = true;
    OpenDialog("115200");
    EXPECT_EQ(core->OnConnectButton(), ModemOutcomeT::Cancelled);
    EXPECT_FALSE(fields().connected);
    EXPECT_EQ(Count("Tentative connection cancelled."), 1);
    EXPECT_EQ(fields().connectLabel, "Co&nnect");
    EXPECT_FALSE(core->session().link().HandleValid());
}

TEST_F(ModemDetectTest, SilentRadioAfterTheBannerFailsTheSettingsRead) {
    ModemRadioOptions options;
    StartRadio(options);
    OpenDialog("115200");
    // The banner comes, then the radio stops answering.
    view.onDetectDialog = [this] {
        radio->reconnectCable();
        ASSERT_TRUE(radio->traffic().waitForSent(radio->bannerText(), std::chrono::seconds(5)));
        radio->setFaults({.silent = true});
    };
    EXPECT_EQ(core->OnConnectButton(), ModemOutcomeT::RadioFailed);
    EXPECT_FALSE(fields().connected);
    EXPECT_EQ(Count("ERROR: Settings could not be read."), 1);
    EXPECT_EQ(view.BoxTexts(), (Lines{"Error", "Settings could not be read."}));
    EXPECT_EQ(view.boxes[0].caption, "Mode");
}

class ModemCloseTest : public ModemCoreFixture {
protected:
    void SetUp() override {
        ModemRadioOptions options;
        options.baud = 115200;
        StartRadio(options);
        Connect("115200");
        ClearTraffic();
    }
};

TEST_F(ModemCloseTest, UnchangedSettingsCloseWithoutAQuestion) {
    EXPECT_EQ(core->PrepareClose(), 0);
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(CommandsThrough("z>"), Lines{"z>"});
    EXPECT_FALSE(core->session().link().HandleValid());
    EXPECT_EQ(view.stored.back(), std::make_pair(radio->portText(), std::string("115200")));
}

TEST_F(ModemCloseTest, ChangedSettingsAskAndCancelKeepsTheConnection) {
    fields().linkBox.Select(7);
    view.answers = {ModemViewI::AnswerT::Cancel};
    EXPECT_EQ(core->PrepareClose(), RC_CANCELLED);
    EXPECT_EQ(view.boxes.back().caption, "Unsaved Settings");
    EXPECT_TRUE(fields().connected);
    EXPECT_TRUE(Commands().empty());

    view.answers = {ModemViewI::AnswerT::No};
    EXPECT_EQ(core->PrepareClose(), 0);
    EXPECT_EQ(CommandsThrough("z>"), Lines{"z>"});
    EXPECT_EQ(radio->value("wn"), radio->storedValue("wn")) << "nothing written";
}

TEST_F(ModemCloseTest, NewBaudRateAndDisconnectWithNoChangesOnlyThePreference) {
    fields().baudBox.Select(3);
    view.answers = {ModemViewI::AnswerT::No};
    core->OnConnectButton();
    EXPECT_FALSE(fields().connected);
    EXPECT_EQ(CommandsThrough("z>"), Lines{"z>"});
    EXPECT_EQ(radio->baud(), 115200u);
    EXPECT_EQ(core->PrepareClose(), 0);
    EXPECT_EQ(view.stored.back().second, "19200");
}

TEST_F(ModemCloseTest, SavingANewBaudRateSwitchesRadioAndPc) {
    fields().baudBox.Select(3);
    view.answers = {ModemViewI::AnswerT::Yes};
    core->OnConnectButton();
    Lines commands = CommandsThrough("z>");
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(commands[2], "sd0B");
    EXPECT_EQ(radio->storedBaud(), 19200u);
    EXPECT_EQ(fields().currentBaud, "19200");
    EXPECT_EQ(Count("Baudrate set to 19200 with sd0B"), 1);
    EXPECT_EQ(view.BoxTexts().back(), "Settings saved.");
}

TEST_F(ModemCloseTest, DeclinedDefaultsSendNothing) {
    view.answers = {ModemViewI::AnswerT::No};
    EXPECT_EQ(core->OnDefault(), ModemOutcomeT::Declined);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(fields().connected);
}

class ModemSaveTest : public ModemCoreFixture {
protected:
    bool Wrote(const std::string& line) const {
        const Lines commands = Commands();
        return std::find(commands.begin(), commands.end(), line) != commands.end();
    }
};

TEST_F(ModemSaveTest, ARateChangeTheRadioDoesNotConfirmFailsTheSave) {
    // A 2450 that calls itself a 2410 refuses the 2410's codes and stays at its rate.
    StartRadio(WithBanner(2450, "\r\nWLK2410 radio modem: ready\r\n"));
    Connect("115200");
    ClearTraffic();
    fields().baudBox.Select(3);
    EXPECT_EQ(core->OnSave(), ModemOutcomeT::RadioFailed);
    ASSERT_TRUE(radio->traffic().waitForWritten("sd?\r\n", std::chrono::seconds(2)));
    EXPECT_EQ(radio->baud(), 115200u);
    EXPECT_EQ(Count("ERROR: Could not connect to radio at new baudrate 19200"), 1);
    EXPECT_EQ(Count("Settings stored OK."), 0);
    EXPECT_EQ(view.BoxTexts().back(), "Error. Settings not saved.");
    EXPECT_FALSE(Wrote("m>")) << "nothing may be stored at a rate the radio never confirmed";
}

struct ReadCase {
    std::string name;
    std::map<std::string, unsigned> values;
    int mode;
    std::string device;
    std::string link;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ModemOutOfRangeReadTest : public ModemCoreFixture,
                                public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ModemOutOfRangeReadTest, ValuesNoBoxOffersAreBoundedOrLeftEmpty) {
    ModemRadioOptions options;
    options.values = GetParam().values;
    StartRadio(options);
    Connect("115200");
    EXPECT_EQ(fields().modeBox.Selected(), GetParam().mode);
    EXPECT_EQ(fields().modeIndex, GetParam().mode);
    EXPECT_EQ(fields().deviceText, GetParam().device);
    EXPECT_EQ(fields().linkText, GetParam().link);
    EXPECT_EQ(fields().linkBox.SelectedText(), GetParam().link);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ModemOutOfRangeReadTest,
    ::testing::Values(
        ReadCase{"ModeTwoIsNoKv7730", {{"wb", 2}, {"wn", 3}}, -1, "", "3"},
        ReadCase{"LongLinkIsTheLargest", {{"wb", 1}, {"wn", 0xFFFFFFFF}}, 1, "ORYX62B", "15"}),
    [](const auto& info) { return info.param.name; });

TEST_F(ModemSaveTest, ASaveWithoutModeOrLinkIsRefusedAndOnlyLeavesCommandMode) {
    struct RefusalCase {
        std::function<void(ModemFieldsC&)> clear;
        std::string message;
        std::string caption;
        std::string log;
    };
    const std::vector<RefusalCase> cases = {
        {[](ModemFieldsC& f) { f.modeBox.Select(-1); }, "Select a 'Mode' before saving.", "Mode",
         "ERROR: No 'Mode' selected, settings not saved."},
        {[](ModemFieldsC& f) { f.linkBox.Select(-1); }, "Select a 'Link number' before saving.",
         "Link number", "ERROR: No 'Link number' selected, settings not saved."},
    };
    ModemRadioOptions options;
    StartRadio(options);
    OpenDialog("115200");
    for (const RefusalCase& c : cases) {
        view.boxes.clear();
        core->OnConnectButton();
        ASSERT_TRUE(fields().connected);
        ClearTraffic();
        c.clear(fields());
        core->OnSave();
        EXPECT_EQ(CommandsThrough("z>"), Lines{"z>"}) << c.caption;
        ASSERT_EQ(view.boxes.size(), 2u) << c.caption;
        EXPECT_EQ(view.boxes[0].text, c.message);
        EXPECT_EQ(view.boxes[0].caption, c.caption);
        EXPECT_EQ(view.boxes[1].text, "Error. Settings not saved.");
        EXPECT_EQ(Count(c.log), 1);
        EXPECT_FALSE(fields().connected);
    }
}

class ModemLinkPtyTest : public ModemCoreFixture {
protected:
    void SetUp() override {
        ModemRadioOptions options;
        options.bannerOnOpen = false;
        options.baud = 9600;
        StartRadio(options);
        OpenDialog("9600");
        ASSERT_EQ(link().OpenModemPort(radio->portText(), "9600"), RC_OK);
        ASSERT_TRUE(radio->host().waitForPortOpen(true, std::chrono::seconds(2)));
    }
    ModemLinkC& link() { return core->session().link(); }
    // Bytes the simulator wrote reach the program's input queue a moment later.
    bool Queued(unsigned count) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (link().ClearCommError().inQueue < count) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
};

TEST_F(ModemLinkPtyTest, ReadStrStopsAtTheBufferAndLeavesTheRestQueued) {
    radio->host().send(std::string(250, 'x'), std::chrono::milliseconds(0));
    ASSERT_TRUE(Queued(250)) << "queued: " << link().ClearCommError().inQueue;
    char buffer[ModemLinkC::kBufferSize];
    EXPECT_EQ(link().ReadStr(buffer, sizeof buffer), RC_BUFFER_FULL);
    EXPECT_EQ(std::string(buffer), std::string(199, 'x'));
    EXPECT_EQ(link().ClearCommError().inQueue, 51u);
    EXPECT_EQ(Count("ERROR: ReadStr RC_BUFFER_FULL."), 1);
}

TEST_F(ModemLinkPtyTest, QuietLineGivesAnEmptyTextAfterOneReadTimeout) {
    char buffer[ModemLinkC::kBufferSize];
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link().ReadStr(buffer, sizeof buffer), RC_OK);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_STREQ(buffer, "");

    radio->host().send(">rest", std::chrono::milliseconds(0));
    ASSERT_TRUE(Queued(5));
    EXPECT_EQ(link().ReadTerminatedStr(buffer, sizeof buffer, '>'), RC_OK);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(Count("ReadTerminatedStr:  Len= 0"), 1);
}

TEST_F(ModemLinkPtyTest, RadioCommandDecodesTheEchoedReply) {
    radio->setCommandMode(true);
    radio->setValue("wb", 1);
    radio->setValue("wn", 0x0c);
    int value = -1;
    EXPECT_EQ(link().RadioCommand("wb?", value), RC_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(link().RadioCommand("wn?", value), RC_OK);
    EXPECT_EQ(value, 12);

    oryx::sim::Faults faults;
    faults.answerError = true;
    radio->setFaults(faults);
    EXPECT_EQ(link().RadioCommand("wn5", value), RC_UNDEFINED) << "a refusal is no success";
    EXPECT_EQ(Count("ERROR: RadioCommand wn5 refused by the radio"), 1);

    faults.answerError = false;
    faults.silent = true;
    radio->setFaults(faults);
    EXPECT_EQ(link().RadioCommand("wb?", value), RC_UNDEFINED);
    EXPECT_EQ(Count("ERROR: RadioCommand error 2"), 1);
}

} // namespace
