#include "FWK_DBG_DbgLogFileC.h"

#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Dbg/FWK_DBG_LogPrintf.h"
#include "Fwk_Dbg/FWK_DBG_MessageFormat.h"
#include "Fwk_Dbg/FWK_DBG_RecordHeader.h"
#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"

#include <cstdio>

namespace FWK::DBG {

struct DbgLogFileC::RoutingCacheS {
    TSK::CriticalSectionC lock;
    ConsumerMapT consumers;
};

namespace {

// Builds header and message into the record buffer. Returns false when the record did not fit;
// it is then cut to the buffer and still ends in a line feed, so the next record starts on a
// line of its own.
bool composeRecord(DbgLogConsumerC& rConsumer, int32_t lLevel, const char* pszKey,
                   const char* pszFormat, va_list args, char (&szTemp)[TEMP_BUFF_LEN]) {
    const size_t headerLength =
        formatHeader(rConsumer.headerType(), lLevel, pszKey, szTemp, TEMP_BUFF_LEN);
    const size_t room = TEMP_BUFF_LEN - headerLength;
    const int iMessageLength = formatMessage(szTemp + headerLength, room, pszFormat, args);
    if (iMessageLength < 0) {
        szTemp[headerLength] = '\0';
        return true;
    }
    if (static_cast<size_t>(iMessageLength) < room) {
        return true;
    }
    szTemp[TEMP_BUFF_LEN - 2] = '\n';
    szTemp[TEMP_BUFF_LEN - 1] = '\0';
    return false;
}

} // namespace

DbgLogFileC::DbgLogFileC(const char* pszName)
    : m_strName(pszName != nullptr ? pszName : ""), m_pCache(std::make_unique<RoutingCacheS>()) {
    if (DbgLogMgrC* pManager = DbgLogMgrC::instance()) {
        pManager->registerLogger(this);
        m_bRegistered = true;
    }
}

DbgLogFileC::DbgLogFileC(const char* pszName, DbgLogMgrC& rManager)
    : m_strName(pszName), m_pCache(std::make_unique<RoutingCacheS>()) {
    rManager.registerLogger(this);
    m_bRegistered = true;
}

DbgLogFileC::~DbgLogFileC() {
    if (!m_bRegistered) {
        return;
    }
    if (DbgLogMgrC* pManager = DbgLogMgrC::instance()) {
        pManager->unregisterLogger(this);
    }
}

bool DbgLogFileC::resolveAndCheck(int32_t lLevel) {
    for (;;) {
        {
            TSK::GuardC guard(m_pCache->lock);
            if (m_lThreshold.load(std::memory_order_relaxed) == DBG_UNRESOLVED) {
                if (DbgLogMgrC* pManager = DbgLogMgrC::instance()) {
                    pManager->resolve(this, m_pCache->consumers, m_lThreshold);
                } else {
                    m_pCache->consumers.clear();
                    m_lThreshold.store(DBG_NO_CONSUMER, std::memory_order_relaxed);
                }
            }
        }
        const int32_t lThreshold = m_lThreshold.load(std::memory_order_relaxed);
        if (lLevel < lThreshold) {
            return false;
        }
        if (lThreshold != DBG_UNRESOLVED) {
            return true;
        }
    }
}

void DbgLogFileC::write(int32_t lLevel, const char* pszFormat, va_list args) {
    bool bAllFitted = true;
    {
        TSK::GuardC guard(m_pCache->lock);
        for (auto it = m_pCache->consumers.rbegin(); it != m_pCache->consumers.rend(); ++it) {
            if (it->first > lLevel) {
                continue;
            }
            char szTemp[TEMP_BUFF_LEN];
            va_list argsForConsumer;
            va_copy(argsForConsumer, args);
            bAllFitted &=
                composeRecord(*it->second, lLevel, name(), pszFormat, argsForConsumer, szTemp);
            va_end(argsForConsumer);
            it->second->logWrite(szTemp);
        }
    }
    // Reported outside the lock: the report itself logs, possibly through this very logger.
    if (!bAllFitted) {
        ERR::assertReport("strlen(szTemp) < TEMP_BUFF_LEN", 0, 0, "Fwk_Dbg\\FWK_DBG_Log", 418);
    }
}

void logPrintf(DbgLogFileC& rLogger, int32_t lLevel, const char* pszFormat, ...) {
    if (!rLogger.isEnabled(lLevel)) {
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    rLogger.write(lLevel, pszFormat, args);
    va_end(args);
}

} // namespace FWK::DBG
