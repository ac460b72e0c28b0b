#include "ControllerRig.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace controller_test {
namespace {

using namespace ORC::CFG;
using NameFault = oryx::sim::DeviceInRange::NameFault;
using oryx::sim::ModuleFaults;

const std::string kInquiry = "AT\rAT*AGI=2,10,15\r";

std::string nameQuery(const std::string& rAddress) {
    return "AT\rAT*AGND=" + rAddress + "\r";
}

std::vector<std::string> namesOf(const std::vector<DevNameAddressPairT>& rDevices) {
    std::vector<std::string> names;
    for (const DevNameAddressPairT& rDevice : rDevices) {
        names.push_back(std::string(rDevice.m_szName) + "@" + rDevice.m_szAddress);
    }
    return names;
}

DevNameAddressPairT earlierFind() {
    DevNameAddressPairT device;
    std::strcpy(device.m_szName, "Earlier");
    std::strcpy(device.m_szAddress, "00A0961F2A99");
    return device;
}

// Only class 7978 is named and listed, in inquiry order, behind what the list held; a name that
// fails once is asked again, one that fails twice leaves its device out.
TEST(Search, ListsNamedDevicesOfTheWantedClass) {
    oryx::sim::ModuleRadioOptions options = fastModule();
    options.devices = {{"00A0961F2A01", 7978, "Tracker one", NameFault::None},
                       {"00A0961F2A02", 1234, "Headset", NameFault::None},
                       {"00A0961F2A03", 7978, "Tracker three", NameFault::FailOnce},
                       {"00A0961F2A04", 7978, "Tracker four", NameFault::FailAlways},
                       {"00A0961F2A05", 7978, "A name of twenty chr", NameFault::None}};
    ControllerRig rig(options);
    std::vector<DevNameAddressPairT> devices = {earlierFind()};
    ASSERT_EQ(rig.controller().searchDevices(devices), CFG_OK);
    EXPECT_EQ(
        namesOf(devices),
        (std::vector<std::string>{"Earlier@00A0961F2A99", "Tracker one@00A0961F2A01",
                                  "Tracker three@00A0961F2A03", "A name of twenty@00A0961F2A05"}));
    EXPECT_EQ(rig.written(), kInquiry + nameQuery("00A0961F2A01") + nameQuery("00A0961F2A03") +
                                 nameQuery("00A0961F2A03") + nameQuery("00A0961F2A04") +
                                 nameQuery("00A0961F2A04") + nameQuery("00A0961F2A05"));
}

TEST(Search, ResultLinesBeyondTheMostAskedForAreDropped) {
    oryx::sim::ModuleRadioOptions options = fastModule();
    for (int i = 0; i < 20; ++i) {
        char szAddress[16];
        std::snprintf(szAddress, sizeof(szAddress), "00A0961F2A%02d", i);
        options.devices.push_back({szAddress, 7978, "Tracker " + std::to_string(i)});
    }
    ControllerRig rig(options);
    ModuleFaults faults;
    faults.inquiryListsAll = true;
    rig.module().setModuleFaults(faults);
    std::vector<DevNameAddressPairT> devices;
    ASSERT_EQ(rig.controller().searchDevices(devices), CFG_OK);
    ASSERT_EQ(devices.size(), 15u);
    EXPECT_STREQ(devices.back().m_szName, "Tracker 14");
}

TEST(Search, AnInquiryWithoutResultsFindsNothing) {
    oryx::sim::ModuleRadioOptions options = fastModule();
    options.devices = {{"00A0961F2A02", 1234, "Headset", NameFault::None}};
    ControllerRig rig(options);
    std::vector<DevNameAddressPairT> devices;
    EXPECT_EQ(rig.controller().searchDevices(devices), CFG_FAILED);
    EXPECT_TRUE(devices.empty());
    devices = {earlierFind()};
    EXPECT_EQ(rig.controller().searchDevices(devices), CFG_OK) << "the list was not empty";
    EXPECT_EQ(devices.size(), 1u);
}

// The name query carries the address as the inquiry reported it, also one longer than the
// record's field (48 and 55 characters; 55 is the most the command line holds).
TEST(Search, TheNameQueryCarriesTheWholeAddress) {
    const std::string strAddress48(48, 'A');
    const std::string strAddress55 = std::string(54, 'B') + "C";
    oryx::sim::ModuleRadioOptions options = fastModule();
    options.devices = {{strAddress48, 7978, "Far one", NameFault::None},
                       {strAddress55, 7978, "Far two", NameFault::None}};
    ControllerRig rig(options);
    std::vector<DevNameAddressPairT> devices;
    rig.controller().searchDevices(devices);
    // This module knows only addresses of 12 digits and refuses both names, so each is asked
    // twice.
    EXPECT_EQ(rig.written(), kInquiry + nameQuery(strAddress48) + nameQuery(strAddress48) +
                                 nameQuery(strAddress55) + nameQuery(strAddress55));
}

// A refused inquiry ends the search at once, and an earlier find does not make it a success.
TEST(Search, ARefusedInquiryFailsAtOnce) {
    oryx::sim::ModuleRadioOptions options = fastModule();
    options.devices = {{"00A0961F2A01", 7978, "Tracker one", NameFault::None}};
    ControllerRig rig(options);
    ModuleFaults faults;
    faults.words["AGI"] = {ModuleFaults::Kind::Error, {}};
    rig.module().setModuleFaults(faults);
    std::vector<DevNameAddressPairT> devices = {earlierFind()};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(rig.controller().searchDevices(devices), CFG_FAILED);
    // Far below the inquiry's 15 s, far above an answer's time on any machine.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(devices.size(), 1u);
    EXPECT_EQ(rig.written(), kInquiry);
}

} // namespace
} // namespace controller_test
