#include "Fwk_Uti/FWK_TIM_DayCountC.h"

#include "Fwk_Uti/FWK_TIM_CalendarTimeC.h"
#include "Fwk_Uti/FWK_TIM_WeekTimeC.h"

#include <cmath>
#include <cstdint>

namespace FWK::TIM {

namespace {
constexpr long long HUNDREDTHS_PER_DAY = 8640000;
constexpr long long MS_PER_DAY = 86400000;

// Julian day number to Gregorian date (the classical algorithm with the Gregorian correction).
void setDateFromWholeDays(double dWholeDays, CalendarTimeC& rTime) {
    const double a = dWholeDays + 2400001.0;
    const double b = std::floor((a - 1867216.25) / 36524.25);
    const double c = a + b - std::floor(b / 4.0) + 1525.0;
    const double d = std::floor((c - 122.1) / 365.25);
    const double e = std::floor(365.25 * d);
    const double f = std::floor((c - e) / 30.6001);
    const double dDay = c - e - std::floor(30.6001 * f);
    const double dMonth = f - 1.0 - 12.0 * std::floor(f / 14.0);
    const double dYear = d - 4715.0 - std::floor((7.0 + dMonth) / 10.0);
    rTime.m_unDay = static_cast<uint8_t>(dDay);
    rTime.m_unMonth = static_cast<uint8_t>(dMonth);
    rTime.m_unYear = static_cast<uint16_t>(dYear);
}
} // namespace

CalendarTimeC DayCountC::toCalendarTime() const {
    CalendarTimeC time;
    time.m_lSystem = m_lSystem;
    if (!(m_dDays > 0.0)) {
        return time;
    }
    double dWholeDays = std::floor(m_dDays);
    long long llHundredths = std::llround((m_dDays - dWholeDays) * HUNDREDTHS_PER_DAY);
    if (llHundredths >= HUNDREDTHS_PER_DAY) { // rounding reached the next midnight
        llHundredths -= HUNDREDTHS_PER_DAY;
        dWholeDays += 1.0;
    }
    setDateFromWholeDays(dWholeDays, time);
    time.m_unHour = static_cast<uint8_t>(llHundredths / 360000);
    time.m_unMinute = static_cast<uint8_t>(llHundredths / 6000 % 60);
    time.m_unSecond = static_cast<uint8_t>(llHundredths / 100 % 60);
    time.m_unHundredths = static_cast<uint8_t>(llHundredths % 100);
    time.m_unWeekday = static_cast<uint8_t>(static_cast<long long>(dWholeDays + 3.0) % 7 + 1);
    return time;
}

WeekTimeC DayCountC::toWeekTime() const {
    const double x = m_dDays - GPS_EPOCH_DAYS;
    long long llWeek = static_cast<long long>(std::floor(x / 7.0));
    long long llMs = std::llround((x - 7.0 * static_cast<double>(llWeek)) * MS_PER_DAY);
    if (llMs >= WeekTimeC::MS_PER_WEEK) { // rounding reached the next week
        llMs -= WeekTimeC::MS_PER_WEEK;
        ++llWeek;
    }
    return WeekTimeC(static_cast<uint16_t>(llWeek), static_cast<uint32_t>(llMs), m_lSystem);
}

} // namespace FWK::TIM
