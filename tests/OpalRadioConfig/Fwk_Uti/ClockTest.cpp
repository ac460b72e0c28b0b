#include "Fwk_Uti/FWK_TIM_CalendarTimeC.h"
#include "Fwk_Uti/FWK_TIM_ClockC.h"
#include "Fwk_Uti/FWK_TIM_DayCountC.h"
#include "Fwk_Uti/FWK_TIM_WeekTimeC.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace FWK::TIM;

namespace {
int daysInMonth(int iYear, int iMonth) {
    static const int DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool bLeap = (iYear % 4 == 0 && iYear % 100 != 0) || iYear % 400 == 0;
    return iMonth == 2 && bLeap ? 29 : DAYS[iMonth - 1];
}

timespec systemTime(int iYear, int iMonth, int iDay, int iHour, int iMinute, int iSecond,
                    long lMilliseconds) {
    tm parts{};
    parts.tm_year = iYear - 1900;
    parts.tm_mon = iMonth - 1;
    parts.tm_mday = iDay;
    parts.tm_hour = iHour;
    parts.tm_min = iMinute;
    parts.tm_sec = iSecond;
    return timespec{timegm(&parts), lMilliseconds * 1000000};
}
} // namespace

TEST(ClockTest, GpsEpochIsDay44244AndWeekZero) {
    const CalendarTimeC epoch(1980, 1, 6, 0, 0, 0, 0, TS_GPS);
    EXPECT_DOUBLE_EQ(44244.0, epoch.toDayCount().m_dDays);
    const WeekTimeC week = epoch.toWeekTime();
    EXPECT_EQ(0, week.m_unWeek);
    EXPECT_EQ(0u, week.m_ulMilliseconds);
    EXPECT_EQ(TS_GPS, week.m_lSystem);
    EXPECT_EQ(1, epoch.toDayCount().toCalendarTime().m_unWeekday); // a Sunday
}

TEST(ClockTest, EveryDayFrom1980To2100RoundTripsAtTheDayEdgesAndInBetween) {
    const uint8_t TIMES[][4] = {{0, 0, 0, 0},     {0, 0, 0, 1},     {12, 0, 30, 50}, {6, 7, 8, 9},
                                {23, 59, 59, 99}, {23, 59, 59, 98}, {17, 31, 4, 55}};
    int iExpectedWeekday = 3; // 1 January 1980 was a Tuesday
    for (int iYear = 1980; iYear <= 2100; ++iYear) {
        for (int iMonth = 1; iMonth <= 12; ++iMonth) {
            for (int iDay = 1; iDay <= daysInMonth(iYear, iMonth); ++iDay) {
                for (const auto& t : TIMES) {
                    CalendarTimeC time(static_cast<uint16_t>(iYear), static_cast<uint8_t>(iMonth),
                                       static_cast<uint8_t>(iDay), t[0], t[1], t[2], t[3], TS_UTC);
                    time.m_unWeekday = static_cast<uint8_t>(iExpectedWeekday);
                    ASSERT_EQ(time, time.toDayCount().toCalendarTime())
                        << iYear << "-" << iMonth << "-" << iDay << " " << int(t[0]) << ":"
                        << int(t[1]) << ":" << int(t[2]) << "." << int(t[3]);
                }
                iExpectedWeekday = iExpectedWeekday % 7 + 1;
            }
        }
    }
}

TEST(ClockTest, EveryHundredthOfOneDayRoundTrips) {
    for (int iHundredths = 0; iHundredths < 8640000; ++iHundredths) {
        const CalendarTimeC time(2000, 2, 29, static_cast<uint8_t>(iHundredths / 360000),
                                 static_cast<uint8_t>(iHundredths / 6000 % 60),
                                 static_cast<uint8_t>(iHundredths / 100 % 60),
                                 static_cast<uint8_t>(iHundredths % 100), TS_UTC);
        const CalendarTimeC back = time.toDayCount().toCalendarTime();
        ASSERT_TRUE(back.m_unHour == time.m_unHour && back.m_unMinute == time.m_unMinute &&
                    back.m_unSecond == time.m_unSecond &&
                    back.m_unHundredths == time.m_unHundredths && back.m_unDay == 29)
            << iHundredths;
    }
}

TEST(ClockTest, WeekTimeCarriesAndBorrows) {
    WeekTimeC time(5, 10000, TS_GPS);
    time.subtractMilliseconds(15000);
    EXPECT_EQ(4, time.m_unWeek);
    EXPECT_EQ(604795000u, time.m_ulMilliseconds);
    time.addMilliseconds(5000);
    EXPECT_EQ(5, time.m_unWeek);
    EXPECT_EQ(0u, time.m_ulMilliseconds);
    EXPECT_LT(WeekTimeC(4, 604799999, TS_GPS), WeekTimeC(5, 0, TS_UTC));
    EXPECT_EQ(WeekTimeC(4, 1, TS_GPS), WeekTimeC(4, 1, TS_UTC));
}

TEST(ClockTest, DayCountJustBeforeAWeekEndNeverGivesAFullWeekOfMilliseconds) {
    const WeekTimeC week = DayCountC(44244.0 + 7.0 - 1e-10, TS_GPS).toWeekTime();
    EXPECT_EQ(1, week.m_unWeek);
    EXPECT_EQ(0u, week.m_ulMilliseconds);
}

TEST(ClockTest, FrameworkUtcIsTheSystemClockMinus15SecondsInHundredths) {
    const WeekTimeC utc = ClockC::fromSystemTime(systemTime(2024, 3, 1, 12, 0, 30, 123));
    EXPECT_EQ(TS_UTC, utc.m_lSystem);
    const CalendarTimeC time = utc.toDayCount().toCalendarTime();
    EXPECT_EQ(CalendarTimeC(2024, 3, 1, 12, 0, 15, 12, TS_UTC).toDayCount().toCalendarTime(), time);

    // Across midnight and the week boundary (Sunday 00:00:05).
    const CalendarTimeC early =
        ClockC::fromSystemTime(systemTime(2024, 3, 3, 0, 0, 5, 0)).toDayCount().toCalendarTime();
    EXPECT_EQ(2, early.m_unDay);
    EXPECT_EQ(23, early.m_unHour);
    EXPECT_EQ(59, early.m_unMinute);
    EXPECT_EQ(50, early.m_unSecond);
}

TEST(ClockTest, TimeSystemsConvertBothWaysAndRefuseUnknownOnes) {
    CalendarTimeC time(2020, 6, 15, 10, 20, 30, 40, TS_GPS);
    ASSERT_TRUE(time.convertTo(TS_UTC));
    EXPECT_EQ(15, time.m_unSecond);
    EXPECT_EQ(TS_UTC, time.m_lSystem);
    ASSERT_TRUE(time.convertTo(TS_LOCAL));
    ASSERT_TRUE(time.convertTo(TS_GPS));
    EXPECT_EQ(CalendarTimeC(2020, 6, 15, 10, 20, 30, 40, TS_GPS).toDayCount().toCalendarTime(),
              time);
    const CalendarTimeC before = time;
    EXPECT_FALSE(time.convertTo(7));
    EXPECT_EQ(before, time);
}

TEST(ClockTest, LocalOffsetFollowsTheZone) {
    const char* pszOld = std::getenv("TZ");
    const std::string old = pszOld ? pszOld : "";
    setenv("TZ", "UTC-3", 1); // POSIX sign: three hours east of UTC
    tzset();
    EXPECT_EQ(180, ClockC::localOffsetMinutes());
    CalendarTimeC time(2020, 6, 15, 10, 0, 0, 0, TS_UTC);
    ASSERT_TRUE(time.convertTo(TS_LOCAL));
    EXPECT_EQ(13, time.m_unHour);
    if (pszOld) {
        setenv("TZ", old.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(ClockTest, NowAgreesWithTheSystemClock) {
    const CalendarTimeC system = ClockC::systemClock();
    const CalendarTimeC framework = ClockC::nowUtc();
    const double dDiffSeconds =
        (system.toDayCount().m_dDays - framework.toDayCount().m_dDays) * 86400.0;
    EXPECT_NEAR(15.0, dDiffSeconds, 1.0);
    EXPECT_EQ(TS_UTC, framework.m_lSystem);
}
