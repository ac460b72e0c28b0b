#pragma once

#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"
#include "Fwk_Uti/FWK_TIM_WeekTimeC.h"

#include <boost/noncopyable.hpp>
#include <cstdint>

namespace FWK::TIM {

// The GPS-UTC offset before and after one change instant. Process-wide.
class LeapSecondTableC : private boost::noncopyable {
public:
    static LeapSecondTableC& instance();

    WeekTimeC gpsToUtc(const WeekTimeC& rGps);
    WeekTimeC utcToGps(const WeekTimeC& rUtc);

    void set(const WeekTimeC& rChangeInstant, int8_t cOffsetBefore, int8_t cOffsetAfter);

private:
    LeapSecondTableC() = default;

    TSK::CriticalSectionC m_lock;
    WeekTimeC m_changeInstant{0, 0, TS_GPS};
    int8_t m_cOffsetBefore = 15;
    int8_t m_cOffsetAfter = 15;
};

} // namespace FWK::TIM
