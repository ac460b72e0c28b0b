#include "Fwk_Uti/FWK_TIM_LeapSecondTableC.h"

#include "Fwk_Tsk/FWK_TSK_GuardC.h"

namespace FWK::TIM {

LeapSecondTableC& LeapSecondTableC::instance() {
    static LeapSecondTableC s_table;
    return s_table;
}

void LeapSecondTableC::set(const WeekTimeC& rChangeInstant, int8_t cOffsetBefore,
                           int8_t cOffsetAfter) {
    TSK::GuardC guard(m_lock);
    m_changeInstant = rChangeInstant;
    m_cOffsetBefore = cOffsetBefore;
    m_cOffsetAfter = cOffsetAfter;
}

WeekTimeC LeapSecondTableC::gpsToUtc(const WeekTimeC& rGps) {
    TSK::GuardC guard(m_lock);
    WeekTimeC result = rGps;
    result.m_lSystem = TS_UTC;
    if (m_cOffsetAfter > m_cOffsetBefore) {
        // GPS times inside an inserted leap second all map to the change instant.
        WeekTimeC leapStart = m_changeInstant;
        leapStart.addMilliseconds(m_cOffsetBefore * 1000LL);
        WeekTimeC leapEnd = m_changeInstant;
        leapEnd.addMilliseconds(m_cOffsetAfter * 1000LL);
        if (rGps >= leapStart && rGps < leapEnd) {
            result = m_changeInstant;
            result.m_lSystem = TS_UTC;
            return result;
        }
    }
    const int8_t cOffset = rGps < m_changeInstant ? m_cOffsetBefore : m_cOffsetAfter;
    result.subtractMilliseconds(cOffset * 1000LL);
    return result;
}

WeekTimeC LeapSecondTableC::utcToGps(const WeekTimeC& rUtc) {
    TSK::GuardC guard(m_lock);
    WeekTimeC result = rUtc;
    result.m_lSystem = TS_GPS;
    const int8_t cOffset = rUtc < m_changeInstant ? m_cOffsetBefore : m_cOffsetAfter;
    result.addMilliseconds(cOffset * 1000LL);
    return result;
}

} // namespace FWK::TIM
