#include "Fwk_Uti/FWK_TIM_TimeZoneC.h"
#include "Fwk_Uti/FWK_UTI_ArchiveC.h"

#include <gtest/gtest.h>

#include <string>

using namespace FWK::TIM;
using FWK::UTI::ArchiveC;

TEST(TimeZoneTest, KeyTableLookup) {
    EXPECT_EQ(35, TimeZoneC::indexOf(u"UTC"));
    EXPECT_EQ(0, TimeZoneC::indexOf(u"Dateline Standard Time"));
    EXPECT_EQ(100, TimeZoneC::indexOf(u"Tonga Standard Time"));
    EXPECT_EQ(43, TimeZoneC::indexOf(u"W. Europe Standard Time"));
    EXPECT_EQ(-1, TimeZoneC::indexOf(u"utc"));
    EXPECT_EQ(-1, TimeZoneC::indexOf(u"Mars Standard Time"));
    EXPECT_EQ(nullptr, TimeZoneC::keyName(101));
    for (int i = 0; i < TimeZoneC::KEY_COUNT; ++i) {
        EXPECT_EQ(i, TimeZoneC::indexOf(TimeZoneC::keyName(i)));
    }
}

TEST(TimeZoneTest, SystemZoneNamesMapToWindowsKeys) {
    std::u16string key;
    ASSERT_EQ(0, TimeZoneC::windowsKeyNameOf(u"Europe/Berlin", key));
    EXPECT_EQ(u"W. Europe Standard Time", key);
    ASSERT_EQ(0, TimeZoneC::windowsKeyNameOf(u"Etc/UTC", key));
    EXPECT_EQ(35, TimeZoneC::indexOf(key.c_str()));
    EXPECT_EQ(TimeZoneC::RESULT_FAILED, TimeZoneC::windowsKeyNameOf(u"Nowhere/Atlantis", key));
}

TEST(TimeZoneTest, ArchiveRoundTripAndVersionCheck) {
    TimeZoneC zone;
    zone.loadCurrent();
    ArchiveC archive;
    ASSERT_EQ(0, zone.writeTo(archive));
    TimeZoneC read;
    ASSERT_EQ(0, read.readFrom(archive));
    EXPECT_EQ(zone.index(), read.index());
    EXPECT_EQ(std::u16string(zone.standardName()), read.standardName());
    EXPECT_EQ(std::u16string(zone.daylightName()), read.daylightName());

    ArchiveC future;
    future.beginGroup("TimeZoneC");
    future.writeNumber("MainVersion", 2);
    future.writeNumber("SubVersion", 0);
    future.writeNumber("TimeZone", 5);
    TimeZoneC untouched;
    EXPECT_EQ(TimeZoneC::RESULT_FAILED, untouched.readFrom(future));
    EXPECT_EQ(-1, untouched.index());
}

TEST(TimeZoneTest, OverflowFailsInBothDirectionsWithoutChangingTheZone) {
    TimeZoneC zone;
    ArchiveC tooSmall(3);
    EXPECT_EQ(TimeZoneC::RESULT_FAILED, zone.writeTo(tooSmall));

    ArchiveC truncated;
    truncated.beginGroup("TimeZoneC");
    truncated.writeNumber("MainVersion", 1);
    truncated.writeNumber("SubVersion", 0);
    truncated.writeNumber("TimeZone", 35);
    TimeZoneC read;
    EXPECT_EQ(TimeZoneC::RESULT_FAILED, read.readFrom(truncated));
    EXPECT_EQ(-1, read.index());
}
