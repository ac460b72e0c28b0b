#include "Fwk_Uti/FWK_TIM_CalendarTimeC.h"

#include "Fwk_Uti/FWK_TIM_DayCountC.h"
#include "Fwk_Uti/FWK_TIM_WeekTimeC.h"

#include <cmath>

namespace FWK::TIM {

CalendarTimeC::CalendarTimeC(uint16_t unYear, uint8_t unMonth, uint8_t unDay, uint8_t unHour,
                             uint8_t unMinute, uint8_t unSecond, uint8_t unHundredths,
                             TimeSystemT system)
    : m_unYear(unYear), m_unMonth(unMonth), m_unDay(unDay), m_unHour(unHour), m_unMinute(unMinute),
      m_unSecond(unSecond), m_unHundredths(unHundredths), m_lSystem(system) {}

DayCountC CalendarTimeC::toDayCount() const {
    // January and February count as months 13 and 14 of the previous year.
    const bool bEarlyMonth = m_unMonth <= 2;
    const long lYear = bEarlyMonth ? m_unYear - 1L : m_unYear;
    const long lMonth = bEarlyMonth ? m_unMonth + 12L : m_unMonth;
    const double dDays = std::floor(365.25 * static_cast<double>(lYear)) +
                         std::floor(30.6001 * static_cast<double>(lMonth + 1)) + m_unDay -
                         679006.0 + static_cast<double>(lYear / 400 - lYear / 100 + 2) +
                         m_unHour / 24.0 + m_unMinute / 1440.0 + m_unSecond / 86400.0 +
                         m_unHundredths / 8640000.0;
    return DayCountC(dDays, m_lSystem);
}

WeekTimeC CalendarTimeC::toWeekTime() const {
    return toDayCount().toWeekTime();
}

bool CalendarTimeC::convertTo(int32_t lSystem) {
    WeekTimeC week = toWeekTime();
    if (!week.convertTo(lSystem)) {
        return false;
    }
    *this = week.toDayCount().toCalendarTime();
    return true;
}

} // namespace FWK::TIM
