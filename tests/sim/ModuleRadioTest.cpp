#include "sim/ModuleRadio.h"

#include "ModuleClient.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <unistd.h>

namespace oryx::sim {
namespace {

using std::chrono::milliseconds;
using test::ModuleClient;
using Clock = std::chrono::steady_clock;
using NameFault = DeviceInRange::NameFault;

const milliseconds kGuard{100};
const milliseconds kSilence = kGuard + kGuard / 2;
const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

ModuleRadioOptions fastOptions(bool commandMode = true) {
    static std::atomic<int> counter{0};
    ModuleRadioOptions options;
    options.linkName =
        "test-module-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    options.commandMode = commandMode;
    options.guardTime = kGuard;
    options.replyDelay = milliseconds(2);
    options.inquiryDelay = milliseconds(50);
    options.nameDelay = milliseconds(20);
    options.devices = {{"00A0961F2A01", 7978, "Tracker one", NameFault::None},
                       {"00A0961F2A02", 7978, "Tracker two", NameFault::FailOnce},
                       {"00A0961F2A03", 1234, "Headset", NameFault::FailAlways},
                       {"00A0961F2A04", 7978, "Tracker four", NameFault::NeverAnswers}};
    return options;
}

std::unique_ptr<ModuleRadio> startModule(const ModuleRadioOptions& options) {
    auto radio = std::make_unique<ModuleRadio>(options);
    radio->start();
    return radio;
}

// The client may read an answer a moment before the simulator has noted it.
std::string sentOnceNoted(ModuleRadio& radio, const std::string& text) {
    EXPECT_TRUE(radio.traffic().waitForSent(text, milliseconds(3000))) << text;
    return radio.traffic().sent();
}

struct Exchange {
    std::string line;
    std::string answer;
};

void expectAnswers(ModuleClient& client, const std::vector<Exchange>& exchanges) {
    for (const Exchange& exchange : exchanges) {
        EXPECT_EQ(client.command(exchange.line), exchange.line + "\r" + exchange.answer);
    }
}

// The plain terminal of the acceptance check, at the module's own guard time.
TEST(ModuleRadio, TerminalEscapesIntoCommandModeAtTheRealGuardTime) {
    ModuleRadioOptions options = fastOptions(false);
    options.guardTime = milliseconds(1000);
    options.settings.baudCode = 5;
    auto radio = startModule(options);
    ModuleClient client(*radio, 9600);
    client.send("AT\r");
    client.escape(milliseconds(1100));
    EXPECT_TRUE(radio->inCommandMode());
    expectAnswers(client, {{"AT", kOk}, {"AT*AGLN?", "\r\n*AGLN:\"ORYX-64\"" + kOk}});
    // Nothing answered the "AT" of data mode, and the escape itself is not answered.
    const std::string answers = "AT\r" + kOk + "AT*AGLN?\r\r\n*AGLN:\"ORYX-64\"" + kOk;
    EXPECT_EQ(sentOnceNoted(*radio, answers), answers);
}

TEST(ModuleRadio, EscapeCountsOnlyBetweenGuardTimes) {
    auto radio = startModule(fastOptions(false));
    ModuleClient client(*radio, 115200);
    const std::vector<std::vector<std::string>> notEscapes{
        {"x///"}, {"///x"}, {"//"}, {"////"}, {"/", "/", "/"}};
    for (const auto& chunks : notEscapes) {
        for (const std::string& chunk : chunks) {
            ASSERT_TRUE(client.waitUntilHeard());
            std::this_thread::sleep_for(kSilence);
            client.send(chunk);
        }
        ASSERT_TRUE(client.waitUntilHeard());
        std::this_thread::sleep_for(kSilence);
        EXPECT_FALSE(radio->inCommandMode()) << chunks.front();
    }
    client.escape(kSilence);
    EXPECT_TRUE(radio->inCommandMode());
    EXPECT_EQ(radio->traffic().sent(), "");
}

TEST(ModuleRadio, AnswersEveryCommandOrRefusesIt) {
    auto radio = startModule(fastOptions());
    ModuleClient client(*radio, 115200);
    expectAnswers(
        client,
        {
            {"AT", kOk},
            {"AT*AGLN?", "\r\n*AGLN:\"ORYX-64\"" + kOk},
            {"AT*AILBA?", "\r\n*AILBA:0080370A1B2C" + kOk},
            {"AT*AILVI?", "\r\n*AILVI:\"ORYX 64 module\",\"firmware 4.2.7\",\"stack 2.1.0\","
                          "\"hardware rev C\",\"build 2026-03-14\"" +
                              kOk},
            {"AT*ADDCP?", "\r\n*ADDCP:255" + kOk},
            {"AT*ADDSP?", "\r\n*ADDSP:0" + kOk},
            {"AT*AMRS?", "\r\n*AMRS:9,1,1,1,2" + kOk},
            {"AT*AGLN=\"Unit, 7\",1", kOk},
            {"AT*ADWSN=0,\"Unit 7\",1", kOk},
            {"AT*AGLC=7978,1", kOk},
            {"AT*AGCM=1,1", kOk},
            {"AT*AGDM=3,1", kOk},
            {"AT*ADWM=1,0,1", kOk},
            {"AT*ADDCP=0,1", kOk},
            {"AT*ADDSP=255,1", kOk},
            {"AT*ADNRP=1,1", kOk},
            {"AT*AMWFM=1,3,1", kOk},
            {"AT*AMDS=1,2,1", kOk},
            {"AT*AMPM=2,1", kOk},
            {"AT*AGSM=3,1", kOk},
            {"AT*AGFP=\"1234567890123456\",1", kOk},
            {"AT*AGSSID=\"\",1", kOk},
            {"AT*AMWIO=3,1", kOk},
            {"AT*AGLN?", "\r\n*AGLN:\"Unit, 7\"" + kOk},
            {"AT*ADWM?", "\r\n*ADWM:1,0" + kOk},
            {"ATP", kOk},
            // Count, range, kind and quoting are checked; unknown words and forms refused.
            {"AT*AGLN=Unit,1", kError},
            {"AT*AGLN=\"Unit\"", kError},
            {"AT*AGLN=\"Unit\",2", kError},
            {"AT*AGLN=\"Unit\"x,1", kError},
            {"AT*AGLN=\"Unit,1", kError},
            {"AT*AGLN=\"\",1", kError},
            {"AT*AGCM=0,1", kError},
            {"AT*ADDCP=-1,1", kError},
            {"AT*ADDCP=1x,1", kError},
            {"AT*ADWM=1,1,1", kError},
            {"AT*AGFP=\"12345678901234567\",1", kError},
            {"AT*AMRS=3,1,1,1,2,0,0", kError},
            {"AT*AGND=00A0961F2A0", kError},
            {"AT*ADRDRP=0", kError},
            {"AT*AILBA=1", kError},
            {"AT*ADDM?", kError},
            {"AT*XYZ?", kError},
            {"ATZ", kError},
            {"at", kError},
            {std::string(200, 'A'), kError},
        });
    const ModuleSettings stored = radio->storedSettings();
    EXPECT_EQ(stored.name, "Unit, 7");
    EXPECT_EQ(stored.pin, "1234567890123456");
    EXPECT_EQ(stored.featureMask, 3);
    EXPECT_EQ(radio->ioPin(3), 1);
    EXPECT_TRUE(radio->inProductionMode());
}

TEST(ModuleRadio, OnlyPersistentSettingsSurviveARestart) {
    auto radio = startModule(fastOptions());
    ModuleClient client(*radio, 115200);
    expectAnswers(client,
                  {{"AT*AGLN=\"Passing\",0", kOk},
                   {"AT*ADDCP=0,1", kOk},
                   {"AT*ADWDRP=0,00A0961F2A01,130,0,\"Tracker one\",0", kOk},
                   {"AT*ADRDRP=0", "\r\n*ADRDRP:00A0961F2A01,130,0,\"Tracker one\"" + kOk}});
    EXPECT_EQ(radio->settings().name, "Passing");
    EXPECT_EQ(radio->storedSettings().name, "ORYX-64");
    expectAnswers(client, {{"AT*AMWS=0,0,0,0,1,0", kOk}});
    EXPECT_FALSE(radio->inCommandMode());
    client.escape(kSilence);
    expectAnswers(client, {{"AT*AGLN?", "\r\n*AGLN:\"ORYX-64\"" + kOk},
                           {"AT*ADDCP?", "\r\n*ADDCP:0" + kOk},
                           {"AT*ADRDRP=0", kError}});
}

TEST(ModuleRadio, ApplyNowSwitchesAfterTheOkAndARestartLoadsTheStoredRate) {
    auto radio = startModule(fastOptions());
    ModuleClient client(*radio, 115200);
    expectAnswers(client, {{"AT*AMRS=5,1,1,1,2,1,0", kOk}});
    EXPECT_EQ(radio->baud(), 9600u);
    client.line().setBaud(9600);
    expectAnswers(client, {{"AT", kOk}, {"AT*AMRS=6,1,1,1,2,0,1", kOk}});
    EXPECT_EQ(radio->baud(), 9600u);
    sentOnceNoted(*radio, "AT*AMRS=6,1,1,1,2,0,1\r" + kOk);
    const auto chunks = radio->traffic().chunks();
    const auto last = std::find_if(chunks.rbegin(), chunks.rend(), [](const TrafficChunk& c) {
        return c.direction == Direction::ToProgram;
    });
    ASSERT_TRUE(last != chunks.rend() && last->line.has_value());
    EXPECT_EQ(last->line->baudRate, 9600u);

    expectAnswers(client, {{"AT*AMWS=0,0,0,0,1,0", kOk}});
    EXPECT_EQ(radio->baud(), 19200u);
    client.line().setBaud(19200);
    client.escape(kSilence);
    expectAnswers(client, {{"AT*AMRS?", "\r\n*AMRS:6,1,1,1,2" + kOk}});
}

TEST(ModuleRadio, FactoryDefaultsReplaceTheStoredSettings) {
    auto radio = startModule(fastOptions());
    ModuleClient client(*radio, 115200);
    expectAnswers(client, {{"AT*AGLN=\"Mine\",1", kOk},
                           {"AT*AMRS=5,1,1,1,2,0,1", kOk},
                           {"AT*ADWDRP=0,00A0961F2A01,130,0,\"Tracker one\",1", kOk},
                           {"AT&F", kOk}});
    const ModuleSettings defaults = ModuleSettings().makerDefaults();
    EXPECT_EQ(radio->storedSettings(), defaults);
    EXPECT_EQ(radio->settings().name, "ORYX-64");
    EXPECT_EQ(radio->baud(), 115200u);
}

TEST(ModuleRadio, LeavingCommandModeEndsTheAnswers) {
    auto radio = startModule(fastOptions());
    ModuleClient client(*radio, 115200);
    expectAnswers(client, {{"AT*ADDM", kOk}});
    client.send("AT\r");
    client.escape(kSilence);
    expectAnswers(client, {{"AT", kOk}});
    const std::string answers = "AT*ADDM\r" + kOk + "AT\r" + kOk;
    EXPECT_EQ(sentOnceNoted(*radio, answers), answers);
}

TEST(ModuleRadio, InquiryAndNameQueries) {
    auto radio = startModule(fastOptions());
    ModuleClient client(*radio, 115200);
    const auto start = Clock::now();
    expectAnswers(client,
                  {{"AT*AGI=2,10,15", "\r\n*AGI:00A0961F2A01,7978\r\n*AGI:00A0961F2A02,7978\r\n"
                                      "*AGI:00A0961F2A03,1234\r\n*AGI:00A0961F2A04,7978\r\n" +
                                          kOk}});
    EXPECT_GE(Clock::now() - start, milliseconds(50));
    const std::string named = "\r\n*AGND:\"Tracker one\"" + kOk;
    expectAnswers(client,
                  {{"AT*AGI=2,10,1", "\r\n*AGI:00A0961F2A01,7978\r\n" + kOk},
                   {"AT*AGI=3,10,1", "\r\n*AGI:00A0961F2A01,7978,0,\"Tracker one\",0\r\n" + kOk},
                   {"AT*AGND=00a0961f2a01", named},
                   {"AT*AGND=00A0961F2A02", kError},
                   {"AT*AGND=00A0961F2A02", "\r\n*AGND:\"Tracker two\"" + kOk},
                   {"AT*AGND=00A0961F2A03", kError},
                   {"AT*AGND=00A0961F2A03", kError},
                   {"AT*AGND=00A0961F2A09", kError}});
    // A device that never answers: the next command's answer comes straight after the echo.
    client.send("AT*AGND=00A0961F2A04\r");
    EXPECT_EQ(client.command("AT"), "AT*AGND=00A0961F2A04\rAT\r" + kOk);
}

struct FaultCase {
    std::string name;
    std::function<void(ModuleRadio&)> inject;
    std::vector<std::string> lines;
    std::string received;
    milliseconds atLeast{0};
};

class ModuleFaultTest : public ::testing::TestWithParam<FaultCase> {};

ModuleFaults wordFault(const std::string& word, ModuleFaults::Kind kind, milliseconds delay = {}) {
    ModuleFaults faults;
    faults.words[word] = {kind, delay};
    return faults;
}

TEST_P(ModuleFaultTest, ClientSeesTheFault) {
    const FaultCase& fault = GetParam();
    auto radio = startModule(fastOptions());
    fault.inject(*radio);
    ModuleClient client(*radio, 115200);
    const auto start = Clock::now();
    for (const std::string& line : fault.lines) {
        client.send(line + "\r");
    }
    EXPECT_EQ(client.line().readUntilEnd(fault.received, milliseconds(3000)), fault.received);
    EXPECT_GE(Clock::now() - start, fault.atLeast);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ModuleFaultTest,
    ::testing::Values(FaultCase{"ErrorForOneWord",
                                [](ModuleRadio& r) {
                                    r.setModuleFaults(wordFault("AGLN", ModuleFaults::Kind::Error));
                                },
                                {"AT*AGLN?", "AT"},
                                "AT*AGLN?\r" + kError + "AT\r" + kOk},
                      FaultCase{"ErrorForEverything",
                                [](ModuleRadio& r) { r.setFaults({.answerError = true}); },
                                {"AT"},
                                "AT\r" + kError},
                      FaultCase{"NoAnswerForOneWord",
                                [](ModuleRadio& r) {
                                    r.setModuleFaults(
                                        wordFault("AGLN", ModuleFaults::Kind::NoAnswer));
                                },
                                {"AT*AGLN?", "AT"},
                                "AT*AGLN?\rAT\r" + kOk},
                      FaultCase{"DelayForOneWord",
                                [](ModuleRadio& r) {
                                    r.setModuleFaults(wordFault("AT", ModuleFaults::Kind::Delay,
                                                                milliseconds(300)));
                                },
                                {"AT"},
                                "AT\r" + kOk,
                                milliseconds(300)},
                      FaultCase{"StrayBytesBeforeTheEcho",
                                [](ModuleRadio& r) {
                                    ModuleFaults faults;
                                    faults.strayBytes = "\xF0~";
                                    r.setModuleFaults(faults);
                                },
                                {"AT"},
                                "\xF0~AT\r" + kOk}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST(ModuleRadioFaults, HeldAnswerGoesOutOnlyInFrontOfTheNextEcho) {
    auto radio = startModule(fastOptions());
    radio->setModuleFaults(wordFault("AGLN", ModuleFaults::Kind::Hold));
    ModuleClient client(*radio, 115200);
    client.send("AT*AGLN?\r");
    ASSERT_TRUE(client.waitUntilHeard());
    std::this_thread::sleep_for(milliseconds(100));
    // Two answers end in OK: read on to the second.
    client.send("AT\r");
    EXPECT_EQ(client.line().readUntilEnd("AT\r" + kOk, milliseconds(3000)),
              "AT*AGLN?\r\r\n*AGLN:\"ORYX-64\"" + kOk + "AT\r" + kOk);
    sentOnceNoted(*radio, "AT\r" + kOk);
    const auto chunks = radio->traffic().chunks();
    const auto position = [&](Direction direction, const std::string& text) {
        return std::find_if(chunks.begin(), chunks.end(), [&](const TrafficChunk& chunk) {
            return chunk.direction == direction && chunk.bytes.find(text) != std::string::npos;
        });
    };
    EXPECT_LT(position(Direction::FromProgram, "AT\r"), position(Direction::ToProgram, "*AGLN:"));
}

TEST(ModuleRadioFaults, SplitAnswersArriveOneByteAtATime) {
    auto radio = startModule(fastOptions());
    radio->setFaults({.splitIntoBytes = true, .byteGap = milliseconds(1)});
    ModuleClient client(*radio, 115200);
    EXPECT_EQ(client.command("AT*ADDSP?"), "AT*ADDSP?\r\r\n*ADDSP:0" + kOk);
    sentOnceNoted(*radio, "AT*ADDSP?\r\r\n*ADDSP:0" + kOk);
    for (const TrafficChunk& chunk : radio->traffic().chunks()) {
        if (chunk.direction == Direction::ToProgram) {
            EXPECT_EQ(chunk.bytes.size(), 1u);
        }
    }
}

TEST(ModuleRadioFaults, WrongRateHearsAndAnswersGarbage) {
    auto radio = startModule(fastOptions());
    ModuleClient client(*radio, 9600);
    client.send("AT\r");
    const std::string echo = client.line().readUntilQuiet(milliseconds(300));
    EXPECT_EQ(echo.size(), 3u);
    EXPECT_TRUE(std::all_of(echo.begin(), echo.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
    client.line().setBaud(115200);
    // What it heard at the wrong rate is still in its line.
    EXPECT_EQ(client.command(""), "\r" + kError);
}

} // namespace
} // namespace oryx::sim
