#include "modem/ModemDiscoveryC.h"
#include "platform/SerialDevice.h"
#include "sim/ModemRadio.h"

#include <gmock/gmock.h>
#include <memory>
#include <unistd.h>

namespace {

using ::testing::ElementsAreArray;
using Lines = std::vector<std::string>;

struct ModemCaseS {
    std::uint32_t radioBaud;
    // The rates the user is asked to reconnect the radio at, in order.
    Lines asked;
};

// Found at the listening rate, and found at a wrong one: the rate walk on the radio's port.
const ModemCaseS kCases[] = {
    {9600, {"9600"}},
    {57600, {"9600", "14400", "19200", "57600"}},
};

class ModemDiscoveryTest : public ::testing::TestWithParam<ModemCaseS> {
protected:
    std::unique_ptr<oryx::sim::ModemRadio> Radio(const std::string& name, std::uint32_t baud) {
        oryx::sim::ModemRadioOptions options;
        options.linkName = "discover-" + std::to_string(::getpid()) + "-" + name;
        options.baud = baud;
        // The banner comes when the user reconnects the cable, not on every opening.
        options.bannerOnOpen = false;
        auto radio = std::make_unique<oryx::sim::ModemRadio>(options);
        radio->start();
        return radio;
    }
};

TEST_P(ModemDiscoveryTest, ListensOnEveryPortThenWalksTheRatesOnTheRadiosAlone) {
    const auto radio = Radio("radio", GetParam().radioBaud);
    const auto quiet = Radio("quiet", 9600);
    const auto held = Radio("held", 9600);
    oryx::platform::SerialDevice holder;
    ASSERT_TRUE(holder.open(held->portText()).ok());

    Lines asked;
    ModemDiscoveryC::OptionsS options;
    options.waitLimitMs = 20000;
    options.askReconnect = [&](const std::string& text, const std::string& baud) {
        EXPECT_EQ(text, DetectWaitHooksS::kReconnectText);
        asked.push_back(baud);
        radio->reconnectCable();
    };
    const auto results = ModemDiscoveryC::Run(
        {quiet->portText(), radio->portText(), held->portText(), "/nonexistent/oryx"}, options);

    EXPECT_THAT(asked, ElementsAreArray(GetParam().asked));
    ASSERT_EQ(results.size(), 4u);
    EXPECT_TRUE(results[1].found);
    EXPECT_EQ(results[1].port, radio->portText());
    EXPECT_EQ(results[1].family, "modem");
    EXPECT_EQ(results[1].model, "ORYX62");
    EXPECT_EQ(results[1].baud, std::to_string(GetParam().radioBaud));
    EXPECT_EQ(results[1].reason, "");
    EXPECT_EQ(radio->traffic().written(), "") << "discovery writes nothing to the radio";
    EXPECT_FALSE(results[0].found || results[2].found || results[3].found);
    EXPECT_EQ(results[0].reason, "no answer");
    EXPECT_EQ(results[2].reason, "busy");
    EXPECT_EQ(results[3].reason, "no such port");
}

INSTANTIATE_TEST_SUITE_P(Rates, ModemDiscoveryTest, ::testing::ValuesIn(kCases));

TEST(ModemDiscoveryLimitTest, NothingHeardWithinTheLimitIsNoAnswer) {
    oryx::sim::ModemRadioOptions radioOptions;
    radioOptions.linkName = "discover-limit-" + std::to_string(::getpid());
    radioOptions.bannerOnOpen = false;
    oryx::sim::ModemRadio radio(radioOptions);
    radio.start();
    int asked = 0;
    ModemDiscoveryC::OptionsS options;
    options.waitLimitMs = 300;
    options.askReconnect = [&](const std::string&, const std::string&) { ++asked; };
    const auto results = ModemDiscoveryC::Run({radio.portText()}, options);
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].found);
    EXPECT_EQ(results[0].reason, "no answer");
}

} // namespace
