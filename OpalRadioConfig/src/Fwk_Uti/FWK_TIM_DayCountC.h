#pragma once

#include "Fwk_Uti/FWK_TIM_TimeSystem.h"

namespace FWK::TIM {

class CalendarTimeC;
class WeekTimeC;

// Modified Julian Date: day 0 begins at midnight of 17 November 1858; the fraction is the time
// of day.
class DayCountC {
public:
    static constexpr double GPS_EPOCH_DAYS = 44244.0; // 6 January 1980

    DayCountC() = default;
    DayCountC(double dDays, int32_t lSystem) : m_dDays(dDays), m_lSystem(lSystem) {}

    // Rounded to the nearest hundredth of a second; 0 or less gives an all-zero calendar time.
    CalendarTimeC toCalendarTime() const;
    // Rounded to the nearest millisecond.
    WeekTimeC toWeekTime() const;

    double m_dDays = 0.0;
    int32_t m_lSystem = TS_UTC;
};

} // namespace FWK::TIM
