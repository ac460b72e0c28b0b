#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"

#include "Fwk_Dbg/FWK_DBG_DbgLogFileConsumerC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogOutputDebugStringConsumerC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogPrintfConsumerC.h"
#include "Fwk_Hal/FWK_HAL_PathMapC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"

#include <algorithm>
#include <cstring>

namespace FWK::DBG {

namespace {

constinit std::atomic<DbgLogMgrC*> g_pManager{nullptr};

// Creates the manager at its first use (the first logger's construction during static
// initialisation) and deletes it at unload. Being constructed inside the first logger's
// constructor, it is destroyed after every static logger constructed from then on; a logger
// destroyed even later finds no manager and skips unregistering.
struct ManagerLifetimeS {
    ManagerLifetimeS() { g_pManager.store(new DbgLogMgrC); }
    ~ManagerLifetimeS() { delete g_pManager.exchange(nullptr); }
};

} // namespace

DbgLogMgrC* DbgLogMgrC::instance() {
    static ManagerLifetimeS s_lifetime;
    return g_pManager.load();
}

DbgLogMgrC::DbgLogMgrC() : m_pSystemErrorLogger(new DbgLogFileC("SystemErrorLogger", *this)) {}

DbgLogMgrC::~DbgLogMgrC() {
    m_pSystemErrorLogger.reset();
    m_routingTable.clear();
    m_consumers.clear();
}

void DbgLogMgrC::registerLogger(DbgLogFileC* pLogger) {
    TSK::GuardC guard(m_lock);
    m_loggers.push_back(pLogger);
}

void DbgLogMgrC::unregisterLogger(DbgLogFileC* pLogger) {
    TSK::GuardC guard(m_lock);
    std::erase(m_loggers, pLogger);
}

void DbgLogMgrC::invalidateLoggers() {
    TSK::GuardC guard(m_lock);
    for (DbgLogFileC* pLogger : m_loggers) {
        pLogger->invalidate();
    }
}

bool DbgLogMgrC::patternMatches(const std::string& strPattern, const char* pszKey) {
    const size_t star = strPattern.find('*');
    if (star == std::string::npos) {
        return strPattern == pszKey;
    }
    return std::strncmp(pszKey, strPattern.c_str(), star) == 0;
}

void DbgLogMgrC::mergeConsumer(ConsumerMapT& rConsumers, int32_t lLevel,
                               const ConsumerPtrT& pConsumer) {
    for (auto it = rConsumers.begin(); it != rConsumers.end(); ++it) {
        if (it->second == pConsumer) {
            if (it->first <= lLevel) {
                return;
            }
            rConsumers.erase(it);
            break;
        }
    }
    rConsumers.emplace(lLevel, pConsumer);
}

void DbgLogMgrC::resolve(DbgLogFileC* pLogger, ConsumerMapT& rConsumers,
                         std::atomic<int32_t>& rThreshold) {
    rConsumers.clear();
    TSK::GuardC guard(m_lock);
    for (const auto& [strPattern, patternConsumers] : m_routingTable) {
        if (!patternMatches(strPattern, pLogger->name())) {
            continue;
        }
        for (const auto& [lLevel, pConsumer] : patternConsumers) {
            mergeConsumer(rConsumers, lLevel, pConsumer);
        }
    }
    // Stored once, when the answer is complete: other threads read the threshold without the
    // logger's lock, and an interim "no consumer" would make them drop records that both the
    // old and the new rules deliver. Still under the manager lock, so that a rule added
    // meanwhile leaves the logger unresolved.
    rThreshold.store(rConsumers.empty() ? DBG_NO_CONSUMER : rConsumers.begin()->first,
                     std::memory_order_relaxed);
}

ConsumerPtrT DbgLogMgrC::findConsumer(const char* pszName) const {
    for (const ConsumerPtrT& pConsumer : m_consumers) {
        if (std::strcmp(pConsumer->name(), pszName) == 0) {
            return pConsumer;
        }
    }
    return {};
}

namespace {

constexpr uint32_t DEFAULT_ERROR_LOG_KILOBYTES = 50;
constexpr uint32_t DEFAULT_ERROR_LOG_HEADER = HEADER_FULL;

// Size and header of the error log come from the framework's "Configuration" key when there is
// one; this platform has none, so the defaults hold.
uint32_t errorLogSetting(const char16_t* pszValueName, uint32_t ulDefault) {
    uint32_t ulValue = ulDefault;
    UTI::readRegistryValue(nullptr, u"Configuration", pszValueName, &ulValue, sizeof ulValue);
    return ulValue;
}

std::string errorLogPath() {
    return HAL::PathMapC::getSystemPath() + "ErrorLog.txt";
}

} // namespace

std::string DbgLogMgrC::consumerNameOf(const char* pszRuleConsumer) {
    // Every "SystemErrorLogger" rule shares the one error log, which is named after its file:
    // two consumers on the same files would rotate them under each other and lose records.
    const std::string strName =
        std::strcmp(pszRuleConsumer, "SystemErrorLogger") == 0 ? errorLogPath() : pszRuleConsumer;
    return strName.substr(0, DbgLogFileConsumerC::MAX_NAME_LEN);
}

ConsumerPtrT DbgLogMgrC::createConsumer(const char* pszName, const char* pszKeyPattern,
                                        long lFirstNumber, long lSecondNumber,
                                        unsigned long ulByteLimit, int32_t lHeaderType) {
    if (std::strcmp(pszName, "printf") == 0) {
        return ConsumerPtrT(new DbgLogPrintfConsumerC(lHeaderType));
    }
    if (std::strcmp(pszName, "OutputDebugString") == 0) {
        return ConsumerPtrT(new DbgLogOutputDebugStringConsumerC(lHeaderType));
    }
    if (std::strcmp(pszName, "SystemErrorLogger") == 0) {
        const uint32_t ulKilobytes = errorLogSetting(u"ErrorLogSize", DEFAULT_ERROR_LOG_KILOBYTES);
        const auto lErrorLogHeader =
            static_cast<int32_t>(errorLogSetting(u"ErrorLogTimeStamp", DEFAULT_ERROR_LOG_HEADER));
        return ConsumerPtrT(new DbgLogFileConsumerC(errorLogPath().c_str(), 2, 0,
                                                    static_cast<unsigned long>(ulKilobytes) * 1024,
                                                    lErrorLogHeader, false));
    }
    const bool bDayNumbered = std::strcmp(pszKeyPattern, "nmea") == 0;
    return ConsumerPtrT(new DbgLogFileConsumerC(
        pszName, lFirstNumber, lSecondNumber > 0 ? static_cast<unsigned long>(lSecondNumber) : 0,
        ulByteLimit, lHeaderType, bDayNumbered));
}

bool DbgLogMgrC::addConsumer(const ConsumerPtrT& pConsumer) {
    {
        TSK::GuardC guard(m_lock);
        if (!pConsumer || findConsumer(pConsumer->name())) {
            return false;
        }
        m_consumers.push_back(pConsumer);
    }
    add(pConsumer.get());
    return true;
}

DbgLogMgrC::RuleResultT DbgLogMgrC::addRule(const char* pszKeyPattern, int32_t lLevel,
                                            const std::string& strName,
                                            const ConsumerPtrT& pNewConsumer) {
    TSK::GuardC guard(m_lock);
    ConsumerPtrT pConsumer = findConsumer(strName.c_str());
    RuleResultT result = RuleResultT::RoutedToListed;
    if (!pConsumer) {
        if (!pNewConsumer) {
            return RuleResultT::NoConsumer;
        }
        pConsumer = pNewConsumer;
        m_consumers.push_back(pConsumer);
        result = RuleResultT::RoutedToNew;
    }
    mergeConsumer(m_routingTable[pszKeyPattern], lLevel, pConsumer);
    invalidateLoggers();
    return result;
}

void DbgLogMgrC::configure(const char* pszKeyPattern, int32_t lLevel, const char* pszConsumerName,
                           long lFirstNumber, long lSecondNumber, unsigned long ulByteLimit,
                           int32_t lHeaderType) {
    if (pszKeyPattern == nullptr || pszConsumerName == nullptr || *pszConsumerName == '\0') {
        return;
    }
    const std::string strName = consumerNameOf(pszConsumerName);
    if (addRule(pszKeyPattern, lLevel, strName, nullptr) != RuleResultT::NoConsumer) {
        return;
    }
    // The sensor board exists only on the radio's own platform.
    if (std::strcmp(pszConsumerName, "/sensorboard/") == 0) {
        return;
    }
    // Created outside the manager lock: opening a log file may report an assertion, whose
    // logger lock must not be taken after the manager's. Should another thread create the same
    // consumer meanwhile, the rule uses that one and this one is dropped.
    const ConsumerPtrT pNewConsumer = createConsumer(pszConsumerName, pszKeyPattern, lFirstNumber,
                                                     lSecondNumber, ulByteLimit, lHeaderType);
    if (addRule(pszKeyPattern, lLevel, strName, pNewConsumer) == RuleResultT::RoutedToNew) {
        // Outside the lock as well: adding a component may log.
        add(pNewConsumer.get());
    }
}

void DbgLogMgrC::removeAllRules() {
    TSK::GuardC guard(m_lock);
    m_routingTable.clear();
    m_consumers.clear();
    invalidateLoggers();
}

} // namespace FWK::DBG
