#include "platform/PortNames.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace oryx::platform {
namespace {

TEST(PortNames, NumbersKeepTheirComMeaning) {
    EXPECT_EQ(PortNames::devicePath("1"), "/dev/ttyS0");
    EXPECT_EQ(PortNames::devicePath("10"), "/dev/ttyS9");
    // The other spellings of a COM port name the same device.
    EXPECT_EQ(PortNames::devicePath("COM3"), "/dev/ttyS2");
    EXPECT_EQ(PortNames::devicePath("COM3:"), "/dev/ttyS2");
    EXPECT_EQ(PortNames::devicePath("\\\\.\\COM3"), "/dev/ttyS2");
    // COM0 names no port; it must not wrap around to a huge number.
    EXPECT_EQ(PortNames::devicePath("0"), "");
    EXPECT_EQ(PortNames::devicePath(""), "");
}

TEST(PortNames, OtherTextsAreDeviceNamesOrPaths) {
    EXPECT_EQ(PortNames::devicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(PortNames::devicePath("pts/4"), "/dev/pts/4");
    EXPECT_EQ(PortNames::devicePath("/run/user/1000/oryx-sim/modem-2410"),
              "/run/user/1000/oryx-sim/modem-2410");
    // Case matters as it always did: "com3" is not a COM port.
    EXPECT_EQ(PortNames::devicePath("com3"), "/dev/com3");
    // Too many digits to be a port number: taken as a name, never overflowed.
    EXPECT_EQ(PortNames::devicePath("99999999999999999999"), "/dev/99999999999999999999");
}

TEST(PortNames, MessagesShowComForNumbersAndTheTextOtherwise) {
    EXPECT_EQ(PortNames::displayName("3"), "COM3");
    EXPECT_EQ(PortNames::displayName("COM3:"), "COM3");
    EXPECT_EQ(PortNames::displayName("ttyUSB0"), "ttyUSB0");
    EXPECT_EQ(PortNames::displayName("/tmp/oryx-sim-0/modem-2410"), "/tmp/oryx-sim-0/modem-2410");
}

TEST(PortNames, SortsByStemThenNumber) {
    std::vector<std::string> names{"ttyS10",  "ttyUSB0", "ttyS2", "ttyS1",
                                   "ttyACM0", "rfcomm",  "ttyS",  "ttyS0"};
    std::sort(names.begin(), names.end(), PortNames::comesBefore);
    const std::vector<std::string> expected{"rfcomm", "ttyACM0", "ttyS",   "ttyS0",
                                            "ttyS1",  "ttyS2",   "ttyS10", "ttyUSB0"};
    EXPECT_EQ(names, expected);
}

TEST(PortNames, OrderIsConsistentAcrossStems) {
    // A name whose digits are not at its end has its own stem and sorts after the numbered
    // ones, so the order never goes round in a circle.
    EXPECT_TRUE(PortNames::comesBefore("ttyS2", "ttyS10"));
    EXPECT_TRUE(PortNames::comesBefore("ttyS10", "ttyS1x"));
    EXPECT_TRUE(PortNames::comesBefore("ttyS2", "ttyS1x"));
}

TEST(PortNames, OrderIsStrictForEqualNumbersWithLeadingZeros) {
    EXPECT_FALSE(PortNames::comesBefore("ttyS1", "ttyS1"));
    EXPECT_NE(PortNames::comesBefore("ttyS01", "ttyS1"), PortNames::comesBefore("ttyS1", "ttyS01"));
    // A number longer than any integer still compares by value.
    EXPECT_TRUE(PortNames::comesBefore("x9", "x123456789012345678901234567890"));
}

TEST(PortNames, SamePortComparesDevices) {
    EXPECT_TRUE(PortNames::samePort("1", "ttyS0"));
    EXPECT_TRUE(PortNames::samePort("COM2", "/dev/ttyS1"));
    EXPECT_FALSE(PortNames::samePort("1", "2"));
    EXPECT_FALSE(PortNames::samePort("", ""));
}

} // namespace
} // namespace oryx::platform

namespace oryx::platform {

TEST(PortNamesNetwork, HostAndPortComeOnlyFromWellMadeTexts) {
    struct Case {
        const char* text;
        const char* host;
        const char* port;
    };
    const Case cases[] = {
        {"rfc2217://127.0.0.1:2000", "127.0.0.1", "2000"},
        {"RFC2217://cabinet-4.example:0070/", "cabinet-4.example", "70"},
        {"rfc2217://[::1]:65535", "::1", "65535"},
        {"rfc2217://host:0", nullptr, nullptr},
        {"rfc2217://host:65536", nullptr, nullptr},
        {"rfc2217://:2000", nullptr, nullptr},
        {"rfc2217://::1:2000", nullptr, nullptr},
        {"rfc2217://a,tcp,b:2000", nullptr, nullptr},
        {"rfc2217://a(b):2000", nullptr, nullptr},
        {"ttyUSB0", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const auto address = PortNames::networkAddress(c.text);
        ASSERT_EQ(address.has_value(), c.host != nullptr) << c.text;
        if (address) {
            EXPECT_EQ(address->host, c.host) << c.text;
            EXPECT_EQ(address->port, c.port) << c.text;
        }
    }
    EXPECT_TRUE(PortNames::isNetworkPort("rfc2217://a,b"));
    EXPECT_FALSE(PortNames::isNetworkPort("/dev/ttyS0"));
}

} // namespace oryx::platform
