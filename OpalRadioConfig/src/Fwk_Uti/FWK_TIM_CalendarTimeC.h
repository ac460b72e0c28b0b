#pragma once

#include "Fwk_Uti/FWK_TIM_TimeSystem.h"

#include <cstdint>

namespace FWK::TIM {

class DayCountC;
class WeekTimeC;

// Date and time of day to the hundredth of a second, in one time system.
class CalendarTimeC {
public:
    CalendarTimeC() = default;
    CalendarTimeC(uint16_t unYear, uint8_t unMonth, uint8_t unDay, uint8_t unHour = 0,
                  uint8_t unMinute = 0, uint8_t unSecond = 0, uint8_t unHundredths = 0,
                  TimeSystemT system = TS_LOCAL);

    DayCountC toDayCount() const;
    WeekTimeC toWeekTime() const;
    // Re-expresses this time in another system; false (and unchanged) for an unknown system.
    bool convertTo(int32_t lSystem);

    bool operator==(const CalendarTimeC&) const = default;

    uint16_t m_unYear = 0;
    uint8_t m_unMonth = 0;
    uint8_t m_unDay = 0;
    uint8_t m_unHour = 0;
    uint8_t m_unMinute = 0;
    uint8_t m_unSecond = 0;
    uint8_t m_unHundredths = 0;
    uint8_t m_unWeekday = 0; // 1 Sunday .. 7 Saturday; 0 until computed
    int32_t m_lSystem = TS_LOCAL;
};

} // namespace FWK::TIM
