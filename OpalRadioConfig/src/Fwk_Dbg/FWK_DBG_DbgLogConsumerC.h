#pragma once

#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"
#include "Fwk_Tsk/FWK_TSK_SysComponentContainerC.h"

#include <cstdint>

namespace FWK::DBG {

// Which header precedes the message text in a record.
enum DbgHeaderTypeT : int32_t {
    HEADER_NONE = 0,
    HEADER_FULL = 1,         // date, time, thread, priority, level tag, key
    HEADER_MILLISECONDS = 2, // millisecond counter
    HEADER_DATE_TIME = 3,    // operating-system date and time only
};

// A sink of the log manager. Consumers are shared by every rule and logger that routes to them
// and are found again by name; the manager also holds them as components.
class DbgLogConsumerC : public TSK::SysComponentContainerC {
public:
    explicit DbgLogConsumerC(int32_t lHeaderType = HEADER_FULL) : m_lHeaderType(lHeaderType) {}
    ~DbgLogConsumerC() override = default;

    // One finished record: header and message, normally ending in a line feed.
    virtual void logWrite(const char* pszRecord) = 0;
    virtual const char* name() const = 0;

    void setHeaderType(int32_t lHeaderType);
    int32_t headerType();

protected:
    TSK::CriticalSectionC m_lock;

private:
    int32_t m_lHeaderType;
};

} // namespace FWK::DBG
