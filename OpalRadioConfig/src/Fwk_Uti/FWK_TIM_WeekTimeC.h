#pragma once

#include "Fwk_Uti/FWK_TIM_TimeSystem.h"

#include <compare>
#include <cstdint>

namespace FWK::TIM {

class DayCountC;

// GPS week number and milliseconds into the week.
class WeekTimeC {
public:
    static constexpr int64_t MS_PER_WEEK = 604800000;

    WeekTimeC() = default;
    WeekTimeC(uint16_t unWeek, uint32_t ulMilliseconds, int32_t lSystem)
        : m_unWeek(unWeek), m_ulMilliseconds(ulMilliseconds), m_lSystem(lSystem) {}

    // Carry into and borrow from the week number.
    void addMilliseconds(int64_t llMilliseconds);
    void subtractMilliseconds(int64_t llMilliseconds) { addMilliseconds(-llMilliseconds); }

    DayCountC toDayCount() const;
    // Re-expresses this time in another system; false (and unchanged) for an unknown system.
    bool convertTo(int32_t lSystem);

    // Weeks first, then milliseconds; the time system takes no part.
    std::strong_ordering operator<=>(const WeekTimeC& rOther) const;
    bool operator==(const WeekTimeC& rOther) const { return (*this <=> rOther) == 0; }

    uint16_t m_unWeek = 0;
    uint32_t m_ulMilliseconds = 0;
    int32_t m_lSystem = TS_GPS;

private:
    void convertToUtc();
};

} // namespace FWK::TIM
