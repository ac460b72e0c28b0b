#include "Fwk_Uti/FWK_TIM_ClockC.h"

#include "Fwk_Uti/FWK_TIM_LeapSecondTableC.h"

namespace FWK::TIM {

namespace {
timespec readSystemClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}
} // namespace

CalendarTimeC ClockC::calendarOf(const timespec& rSystemTime) {
    tm parts{};
    gmtime_r(&rSystemTime.tv_sec, &parts);
    CalendarTimeC time(static_cast<uint16_t>(parts.tm_year + 1900),
                       static_cast<uint8_t>(parts.tm_mon + 1), static_cast<uint8_t>(parts.tm_mday),
                       static_cast<uint8_t>(parts.tm_hour), static_cast<uint8_t>(parts.tm_min),
                       static_cast<uint8_t>(parts.tm_sec),
                       static_cast<uint8_t>(rSystemTime.tv_nsec / 10000000), TS_UTC);
    time.m_unWeekday = static_cast<uint8_t>(parts.tm_wday + 1);
    return time;
}

WeekTimeC ClockC::fromSystemTime(const timespec& rSystemTime) {
    CalendarTimeC reading = calendarOf(rSystemTime);
    reading.m_lSystem = TS_GPS;
    return LeapSecondTableC::instance().gpsToUtc(reading.toWeekTime());
}

WeekTimeC ClockC::now() {
    return fromSystemTime(readSystemClock());
}

DayCountC ClockC::nowDayCount() {
    return now().toDayCount();
}

CalendarTimeC ClockC::nowUtc() {
    return nowDayCount().toCalendarTime();
}

CalendarTimeC ClockC::systemClock() {
    return calendarOf(readSystemClock());
}

int32_t ClockC::localOffsetMinutes() {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return static_cast<int32_t>(local.tm_gmtoff / 60);
}

} // namespace FWK::TIM
