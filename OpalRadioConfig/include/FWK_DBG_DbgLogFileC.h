#pragma once

#include "FWK_DBG_DbgLevel.h"
#include "ORC_Export.h"

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>

namespace FWK::DBG {

class DbgLogMgrC;

// A named logger. It asks the log manager once which consumers it feeds and caches the answer,
// so that a record nobody receives costs one comparison. Hosts see it as the base of the exported
// PerformanceLoggableC, so it is exported whole: every public member, and the inline isEnabled
// with what it calls, links against the shared library. It needs no headers beyond the standard
// library's.
class ORC_EXPORT DbgLogFileC {
public:
    explicit DbgLogFileC(const char* pszName);
    ~DbgLogFileC();
    DbgLogFileC(const DbgLogFileC&) = delete;
    DbgLogFileC& operator=(const DbgLogFileC&) = delete;

    const char* name() const { return m_strName.c_str(); }

    // True when a record of this level would reach at least one consumer.
    bool isEnabled(int32_t lLevel) {
        const int32_t lThreshold = m_lThreshold.load(std::memory_order_relaxed);
        if (lLevel < lThreshold) {
            return false;
        }
        if (lThreshold != DBG_UNRESOLVED) {
            return true;
        }
        return resolveAndCheck(lLevel);
    }

    // Formats one record per receiving consumer and delivers it. Call after isEnabled.
    void write(int32_t lLevel, const char* pszFormat, va_list args);

    // Forgets the cached routing; the next isEnabled asks the manager again.
    void invalidate() { m_lThreshold.store(DBG_UNRESOLVED, std::memory_order_relaxed); }
    int32_t threshold() const { return m_lThreshold.load(std::memory_order_relaxed); }

private:
    friend class DbgLogMgrC;
    struct RoutingCacheS;

    // The manager's own logger registers with the manager under construction.
    DbgLogFileC(const char* pszName, DbgLogMgrC& rManager);

    bool resolveAndCheck(int32_t lLevel);

    std::string m_strName;
    std::atomic<int32_t> m_lThreshold{DBG_UNRESOLVED};
    std::unique_ptr<RoutingCacheS> m_pCache;
    bool m_bRegistered = false;
};

} // namespace FWK::DBG
