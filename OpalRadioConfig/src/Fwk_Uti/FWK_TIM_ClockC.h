#pragma once

#include "Fwk_Uti/FWK_TIM_CalendarTimeC.h"
#include "Fwk_Uti/FWK_TIM_DayCountC.h"
#include "Fwk_Uti/FWK_TIM_WeekTimeC.h"

#include <ctime>

namespace FWK::TIM {

// The framework clock. The operating system's clock is read as GPS time and converted to UTC,
// so the framework's UTC is the system clock minus the GPS-UTC offset, in steps of 10 ms.
class ClockC {
public:
    static WeekTimeC now();
    static DayCountC nowDayCount();
    static CalendarTimeC nowUtc();

    // The operating system's UTC clock itself, to the hundredth.
    static CalendarTimeC systemClock();

    // The framework's UTC for a given reading of the operating system's clock.
    static WeekTimeC fromSystemTime(const timespec& rSystemTime);
    static CalendarTimeC calendarOf(const timespec& rSystemTime);

    // Minutes to add to UTC for local time now.
    static int32_t localOffsetMinutes();
};

} // namespace FWK::TIM
