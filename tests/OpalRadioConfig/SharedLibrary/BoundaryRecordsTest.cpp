// The records a host exchanges with the library, compiled as a host compiles them: their sizes,
// field offsets and defaults are part of the binary interface.

#include "ORC_CFG_Types.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

using namespace ORC::CFG;

TEST(BoundaryRecordsTest, LayoutsMatchTheBinaryInterface) {
    EXPECT_EQ(24u, sizeof(RS232SettingsS));
    EXPECT_EQ(0u, offsetof(RS232SettingsS, m_lBaudRate));
    EXPECT_EQ(4u, offsetof(RS232SettingsS, m_lDataBits));
    EXPECT_EQ(8u, offsetof(RS232SettingsS, m_lStopBits));
    EXPECT_EQ(12u, offsetof(RS232SettingsS, m_lParity));
    EXPECT_EQ(16u, offsetof(RS232SettingsS, m_lFlowControl));
    EXPECT_EQ(20u, offsetof(RS232SettingsS, m_bDtrDsr));

    EXPECT_EQ(65u, sizeof(DevNameAddressPairT));
    EXPECT_EQ(0u, offsetof(DevNameAddressPairT, m_szName));
    EXPECT_EQ(17u, offsetof(DevNameAddressPairT, m_szAddress));

    EXPECT_EQ(10000u, sizeof(VersionInformationS));
    const VersionInformationS version{};
    for (int i = 0; i < VersionInformationS::FIELD_COUNT; ++i) {
        EXPECT_EQ(static_cast<std::ptrdiff_t>(i) * 2000,
                  reinterpret_cast<const char*>(version.m_szFields[i]) -
                      reinterpret_cast<const char*>(&version));
    }

    EXPECT_EQ(4u, sizeof(ConnectionProfileT));
    EXPECT_EQ(4u, sizeof(IoPinT));
}

TEST(BoundaryRecordsTest, DefaultsAreTheModulesFactoryLineAndEmptyTexts) {
    const RS232SettingsS settings;
    EXPECT_EQ(9, settings.m_lBaudRate);
    EXPECT_EQ(1, settings.m_lDataBits);
    EXPECT_EQ(1, settings.m_lStopBits);
    EXPECT_EQ(1, settings.m_lParity);
    EXPECT_EQ(2, settings.m_lFlowControl);
    EXPECT_FALSE(settings.m_bDtrDsr);

    const DevNameAddressPairT pair;
    const char zeros[sizeof pair] = {};
    EXPECT_EQ(0, std::memcmp(&pair, zeros, sizeof pair));
}
