#include "sim/ModemRadio.h"

#include "ModemClient.h"
#include "platform/PortEnumerator.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <unistd.h>

namespace oryx::sim {
namespace {

using std::chrono::milliseconds;
using test::ModemClient;
using Clock = std::chrono::steady_clock;

const milliseconds kQuiet{150};

std::string uniqueLinkName() {
    static std::atomic<int> counter{0};
    return "test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

ModemRadioOptions fastOptions(int model, std::uint32_t baud, bool kv = false) {
    ModemRadioOptions options;
    options.model = model;
    options.kvVariant = kv;
    options.baud = baud;
    options.linkName = uniqueLinkName();
    options.replyDelay = milliseconds(2);
    options.bannerDelay = milliseconds(50);
    options.noiseDelay = milliseconds(20);
    return options;
}

std::unique_ptr<ModemRadio> startRadio(const ModemRadioOptions& options) {
    auto radio = std::make_unique<ModemRadio>(options);
    radio->start();
    return radio;
}

// The banner as the program reads it: from the first upper-case W to the first colon, with
// line ends removed.
std::string parsedBanner(const std::string& received) {
    const auto colon = received.find(':');
    const auto w = received.find('W');
    if (colon == std::string::npos || w == std::string::npos || w > colon) {
        return {};
    }
    std::string banner = received.substr(w, colon - w);
    std::erase_if(banner, [](char c) { return c == '\r' || c == '\n'; });
    return banner;
}

bool allGarbage(const std::string& bytes) {
    return !bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x80;
    });
}

void sendAttention(ModemClient& client) {
    client.send(":wit2400\r\n");
    ASSERT_EQ(client.readUntilEnd("\r\n>", milliseconds(2000)), "\r\nOK\r\n>");
}

// On a fresh opening: the banner first, however late it comes, then the attention text.
void enterCommandMode(ModemClient& client) {
    ASSERT_FALSE(parsedBanner(client.readUntilEnd("ready\r\n", milliseconds(3000))).empty());
    sendAttention(client);
}

struct ModelCase {
    int model;
    bool kv;
    std::vector<std::string> fixedParameters;
    std::vector<std::pair<std::uint32_t, std::string>> rateCodes;
};

const std::vector<std::pair<std::uint32_t, std::string>> k2400Codes{
    {4800, "109"}, {9600, "083"}, {14400, "057"}, {19200, "040"}, {57600, "014"}, {115200, "009"}};
const std::vector<std::pair<std::uint32_t, std::string>> k2410Codes{
    {4800, "2F"}, {9600, "17"}, {14400, "0F"}, {19200, "0B"}, {57600, "03"}, {115200, "01"}};
const std::vector<std::pair<std::uint32_t, std::string>> k2450Codes{
    {4800, "5F"}, {9600, "2F"}, {14400, "1F"}, {19200, "17"}, {57600, "07"}, {115200, "03"}};

class ModemModelTest : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ModemModelTest, BannerFollowsTheOpeningAndNamesTheModel) {
    auto radio = startRadio(fastOptions(GetParam().model, 9600, GetParam().kv));
    ModemClient client(radio->portText(), 9600);
    const std::string banner = parsedBanner(client.readUntilEnd("ready\r\n", milliseconds(3000)));
    ASSERT_GE(banner.size(), 7u) << banner;
    EXPECT_EQ(banner.substr(3, 4), std::to_string(GetParam().model));
}

TEST_P(ModemModelTest, EverySetCommandIsAcknowledgedAndApplied) {
    auto radio = startRadio(fastOptions(GetParam().model, 19200, GetParam().kv));
    ModemClient client(radio->portText(), 19200);
    enterCommandMode(client);
    std::vector<std::string> commands = GetParam().fixedParameters;
    commands.insert(commands.end(), {"wb1", "wn9", "wp0", "pe00"});
    for (const std::string& command : commands) {
        EXPECT_EQ(client.command(command), command + "\r\nOK\r\n>");
        const unsigned expected = std::stoul(command.substr(2), nullptr, 16);
        EXPECT_EQ(radio->value(command.substr(0, 2)), expected) << command;
    }
    EXPECT_EQ(client.command("wn?"), "wn?\r\n09\r\n>");
    EXPECT_EQ(client.command("wb?"), "wb?\r\n01\r\n>");
}

TEST_P(ModemModelTest, RateCodesSwitchTheRadioAfterTheAcknowledgement) {
    auto radio = startRadio(fastOptions(GetParam().model, 115200, GetParam().kv));
    ModemClient client(radio->portText(), 115200);
    enterCommandMode(client);
    for (const auto& [rate, code] : GetParam().rateCodes) {
        EXPECT_EQ(client.command("sd" + code), "sd" + code + "\r\nOK\r\n>");
        client.setBaud(rate);
        EXPECT_EQ(client.command("sd?"), "sd?\r\n" + code + "\r\n>") << rate;
        EXPECT_EQ(radio->baud(), rate);
    }
}

TEST_P(ModemModelTest, StoreAndMakerDefaults) {
    auto radio = startRadio(fastOptions(GetParam().model, 19200, GetParam().kv));
    ModemClient client(radio->portText(), 19200);
    enterCommandMode(client);
    client.command("wn5");
    EXPECT_EQ(client.command("m>").substr(0, 2), "m>");
    EXPECT_EQ(radio->storedValue("wn"), 5u);
    client.command("m0");
    EXPECT_EQ(radio->value("wn"), 0u);
    EXPECT_EQ(radio->storedValue("wn"), 5u);
    EXPECT_TRUE(radio->inCommandMode());
}

INSTANTIATE_TEST_SUITE_P(
    Models, ModemModelTest,
    ::testing::Values(ModelCase{2400, false, {"pr10", "wt1"}, k2400Codes},
                      ModelCase{2410, false, {"pn1", "pw34", "pr10", "wu01", "dx00"}, k2410Codes},
                      ModelCase{2410, true, {"pn1", "pw30", "pr10", "wu01", "dx04"}, k2410Codes},
                      ModelCase{2450,
                                false,
                                {"pn01", "pw2F", "pr10", "wu01", "dm01", "dx0F", "zb01", "zc01",
                                 "zr00", "zs00", "ww01"},
                                k2450Codes}),
    [](const ::testing::TestParamInfo<ModelCase>& info) {
        return std::to_string(info.param.model) + (info.param.kv ? "KV7730" : "");
    });

TEST(ModemRadio, KvVariantReadsRange4) {
    auto radio = startRadio(fastOptions(2410, 9600, true));
    ModemClient client(radio->portText(), 9600);
    enterCommandMode(client);
    EXPECT_EQ(client.command("dx?"), "dx?\r\n04\r\n>");
}

TEST(ModemRadio, WrongRateHearsAndSpeaksGarbage) {
    auto radio = startRadio(fastOptions(2410, 9600));
    ModemClient client(radio->portText(), 115200);
    const std::string banner = client.readUntilQuiet(milliseconds(300));
    EXPECT_TRUE(allGarbage(banner));
    client.send(":wit2400\r\n");
    EXPECT_EQ(client.readUntilQuiet(kQuiet), "");
    EXPECT_FALSE(radio->inCommandMode());

    client.setBaud(9600);
    sendAttention(client);
}

TEST(ModemRadio, BannerOnlyWhileNotInCommandMode) {
    auto radio = startRadio(fastOptions(2450, 57600));
    {
        ModemClient client(radio->portText(), 57600);
        enterCommandMode(client);
    }
    ModemClient again(radio->portText(), 57600);
    EXPECT_EQ(again.readUntilQuiet(milliseconds(300)), "");
    EXPECT_EQ(again.command("pe?"), "pe?\r\n0B\r\n>");
}

TEST(ModemRadio, NoiseComesAloneBeforeTheBanner) {
    ModemRadioOptions options = fastOptions(2410, 9600);
    options.noiseBytes = 2;
    options.noiseDelay = milliseconds(50);
    options.bannerDelay = milliseconds(400);
    auto radio = startRadio(options);
    ModemClient client(radio->portText(), 9600);
    ASSERT_TRUE(radio->traffic().waitForSent("\xF0\xFF", milliseconds(3000)));
    EXPECT_EQ(client.readUntilQuiet(milliseconds(150)).size(), 2u);
    EXPECT_FALSE(parsedBanner(client.readUntilEnd("ready\r\n", milliseconds(3000))).empty());
}

TEST(ModemRadio, RefusedLinesGetTheErrorAnswer) {
    auto radio = startRadio(fastOptions(2400, 9600));
    ModemClient client(radio->portText(), 9600);
    enterCommandMode(client);
    EXPECT_EQ(client.command("xx?"), "xx?\r\nERROR\r\n>");
    EXPECT_EQ(client.command("dx?"), "dx?\r\nERROR\r\n>"); // 2410 and 2450 only
    EXPECT_EQ(client.command("wb7"), "wb7\r\nERROR\r\n>");
    EXPECT_EQ(client.command("wnzz"), "wnzz\r\nERROR\r\n>");
    EXPECT_EQ(client.command("sd17"), "sd17\r\nERROR\r\n>"); // a 2410 code
    EXPECT_EQ(radio->value("wb"), 0u);
    EXPECT_EQ(radio->baud(), 9600u);
    const std::string tooLong(200, 'a');
    EXPECT_TRUE(client.command(tooLong).ends_with("\r\nERROR\r\n>"));
    EXPECT_EQ(client.command(""), "\r\n>");
}

TEST(ModemRadio, LeavingCommandModeEndsTheAnswers) {
    auto radio = startRadio(fastOptions(2410, 9600));
    ModemClient client(radio->portText(), 9600);
    enterCommandMode(client);
    EXPECT_EQ(client.command("z>"), "z>\r\nOK\r\n");
    EXPECT_FALSE(radio->inCommandMode());
    client.send("wb?\r\n");
    EXPECT_EQ(client.readUntilQuiet(kQuiet), "");
}

TEST(ModemRadio, PowerCycleKeepsOnlyStoredSettings) {
    auto radio = startRadio(fastOptions(2410, 9600));
    ModemClient client(radio->portText(), 9600);
    enterCommandMode(client);
    client.command("wn3");
    client.command("sd0B");
    radio->powerCycle();
    EXPECT_EQ(radio->value("wn"), 0u);
    EXPECT_EQ(radio->baud(), 9600u);
    EXPECT_FALSE(radio->inCommandMode());
    EXPECT_FALSE(parsedBanner(client.readUntilEnd("ready\r\n", milliseconds(3000))).empty());
}

// The maker's defaults on a 2400 put it back to 9600 while it stays in command mode; the
// program reopens the port at 9600 and carries on without a new attention text.
TEST(ModemRadio, Model2400DefaultsContinueAt9600AfterReopening) {
    auto radio = startRadio(fastOptions(2400, 19200));
    {
        ModemClient client(radio->portText(), 19200);
        enterCommandMode(client);
        client.send("m0\r\n");
        ASSERT_TRUE(radio->traffic().waitForWritten("m0\r\n", milliseconds(2000)));
    }
    // Like the program: the answer to "m0" may still come in after reopening, so wait and
    // discard the input before the next command.
    ModemClient reopened(radio->portText(), 9600);
    std::this_thread::sleep_for(milliseconds(200));
    reopened.device().purge(true, true);
    EXPECT_EQ(reopened.command("pe1"), "pe1\r\nOK\r\n>");
    EXPECT_EQ(reopened.command("wt1"), "wt1\r\nOK\r\n>");
    EXPECT_EQ(radio->baud(), 9600u);
}

TEST(ModemRadio, TrafficIsRecordedExactly) {
    auto radio = startRadio(fastOptions(2410, 9600));
    ModemClient client(radio->portText(), 9600);
    enterCommandMode(client);
    client.command("wb?");
    EXPECT_EQ(radio->traffic().written(), ":wit2400\r\nwb?\r\n");
    const std::vector<std::string> lines{":wit2400", "wb?"};
    EXPECT_EQ(radio->traffic().writtenLines(), lines);
    // The client may read the answer a moment before the simulator has noted it.
    ASSERT_TRUE(radio->traffic().waitForSent("\r\n00\r\n>", milliseconds(2000)));
    EXPECT_EQ(radio->traffic().sent(), radio->bannerText() + "\r\nOK\r\n>wb?\r\n00\r\n>");
}

TEST(ModemRadioFaults, SilentRadioSaysNothing) {
    auto radio = startRadio(fastOptions(2410, 9600));
    radio->setFaults({.silent = true});
    ModemClient client(radio->portText(), 9600);
    client.send(":wit2400\r\n");
    EXPECT_EQ(client.readUntilQuiet(milliseconds(300)), "");
    EXPECT_FALSE(radio->inCommandMode());
}

TEST(ModemRadioFaults, GarbageAndErrorAnswers) {
    auto radio = startRadio(fastOptions(2410, 9600));
    ModemClient client(radio->portText(), 9600);
    enterCommandMode(client);
    radio->setFaults({.answerError = true});
    EXPECT_EQ(client.command("wb?"), "wb?\r\nERROR\r\n>");
    radio->setFaults({.garbage = true});
    client.send("wb?\r\n");
    EXPECT_TRUE(allGarbage(client.readUntilQuiet(kQuiet)));
}

TEST(ModemRadioFaults, SplitAnswersArriveOneByteAtATime) {
    auto radio = startRadio(fastOptions(2410, 9600));
    ModemClient client(radio->portText(), 9600);
    enterCommandMode(client);
    // The answer to the attention text must be noted before the clear, or it counts as sent
    // whole under the fault.
    ASSERT_TRUE(radio->traffic().waitForSent("\r\nOK\r\n>", milliseconds(2000)));
    radio->traffic().clear();
    radio->setFaults({.splitIntoBytes = true, .byteGap = milliseconds(3)});
    EXPECT_EQ(client.command("wn?"), "wn?\r\n00\r\n>");
    for (const TrafficChunk& chunk : radio->traffic().chunks()) {
        if (chunk.direction == Direction::ToProgram) {
            EXPECT_EQ(chunk.bytes.size(), 1u);
        }
    }
}

TEST(ModemRadioFaults, DelayHoldsBackTheAnswer) {
    auto radio = startRadio(fastOptions(2410, 9600));
    ModemClient client(radio->portText(), 9600);
    enterCommandMode(client);
    radio->setFaults({.extraDelay = milliseconds(300)});
    const auto start = Clock::now();
    client.send("wb?\r\n");
    EXPECT_EQ(client.readUntilEnd("\r\n>", milliseconds(3000)), "wb?\r\n00\r\n>");
    EXPECT_GE(Clock::now() - start, milliseconds(300));
}

TEST(ModemRadioFaults, UnplugAndReplug) {
    auto radio = startRadio(fastOptions(2410, 9600));
    const std::string port = radio->portText();
    {
        ModemClient client(port, 9600);
        enterCommandMode(client);
        radio->unplug();
        EXPECT_TRUE(client.device().queueStatus().error.deviceGone());
        EXPECT_EQ(client.device().waitForInputOrError(milliseconds(1000)),
                  platform::WaitOutcome::DeviceGone);
    }
    EXPECT_FALSE(platform::PortEnumerator::portOpens(port));
    radio->replug();
    ModemClient again(port, 9600);
    EXPECT_EQ(again.command("wn?"), "wn?\r\n00\r\n>");
}

TEST(ModemRadio, PublishedPortIsListedWhileRunning) {
    auto radio = startRadio(fastOptions(2450, 9600));
    const std::string port = radio->portText();
    auto listed = [&] {
        const auto ports = platform::PortEnumerator().listPorts();
        return std::find(ports.begin(), ports.end(), port) != ports.end();
    };
    EXPECT_TRUE(listed());
    radio->stop();
    EXPECT_FALSE(listed());
}

} // namespace
} // namespace oryx::sim
