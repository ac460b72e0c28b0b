#include "Fwk_Uti/FWK_TIM_WeekTimeC.h"

#include "Fwk_Uti/FWK_TIM_ClockC.h"
#include "Fwk_Uti/FWK_TIM_DayCountC.h"
#include "Fwk_Uti/FWK_TIM_LeapSecondTableC.h"

namespace FWK::TIM {

void WeekTimeC::addMilliseconds(int64_t llMilliseconds) {
    const int64_t llTotal =
        static_cast<int64_t>(m_unWeek) * MS_PER_WEEK + m_ulMilliseconds + llMilliseconds;
    int64_t llWeek = llTotal / MS_PER_WEEK;
    int64_t llMs = llTotal % MS_PER_WEEK;
    if (llMs < 0) {
        llMs += MS_PER_WEEK;
        --llWeek;
    }
    m_unWeek = static_cast<uint16_t>(llWeek);
    m_ulMilliseconds = static_cast<uint32_t>(llMs);
}

DayCountC WeekTimeC::toDayCount() const {
    return DayCountC(m_unWeek * 7.0 + DayCountC::GPS_EPOCH_DAYS +
                         m_ulMilliseconds / 1000.0 / 86400.0,
                     m_lSystem);
}

std::strong_ordering WeekTimeC::operator<=>(const WeekTimeC& rOther) const {
    if (auto order = m_unWeek <=> rOther.m_unWeek; order != 0) {
        return order;
    }
    return m_ulMilliseconds <=> rOther.m_ulMilliseconds;
}

void WeekTimeC::convertToUtc() {
    if (m_lSystem == TS_GPS) {
        *this = LeapSecondTableC::instance().gpsToUtc(*this);
    } else if (m_lSystem == TS_LOCAL) {
        subtractMilliseconds(static_cast<int64_t>(ClockC::localOffsetMinutes()) * 60000);
    }
    m_lSystem = TS_UTC;
}

bool WeekTimeC::convertTo(int32_t lSystem) {
    if (!isKnownTimeSystem(lSystem) || !isKnownTimeSystem(m_lSystem)) {
        return false;
    }
    if (lSystem == m_lSystem) {
        return true;
    }
    convertToUtc();
    if (lSystem == TS_GPS) {
        *this = LeapSecondTableC::instance().utcToGps(*this);
    } else if (lSystem == TS_LOCAL) {
        addMilliseconds(static_cast<int64_t>(ClockC::localOffsetMinutes()) * 60000);
    }
    m_lSystem = lSystem;
    return true;
}

} // namespace FWK::TIM
