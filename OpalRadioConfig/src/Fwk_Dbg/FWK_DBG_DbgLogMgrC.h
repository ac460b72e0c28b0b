#pragma once

#include "FWK_DBG_DbgLogFileC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"
#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"
#include "Fwk_Tsk/FWK_TSK_SysComponentContainerC.h"

#include <boost/shared_ptr.hpp>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace FWK::DBG {

using ConsumerPtrT = boost::shared_ptr<DbgLogConsumerC>;
// Level (ascending) to consumer; each consumer at most once.
using ConsumerMapT = std::multimap<int32_t, ConsumerPtrT>;

// The process-wide log manager: the routing table from key patterns to consumers, the consumers
// created by name, and the registered loggers whose caches it invalidates. It also holds its
// consumers as components.
class DbgLogMgrC : public TSK::SysComponentContainerC {
public:
    // Created on first use; null once the library is being unloaded.
    static DbgLogMgrC* instance();

    // Adds one routing rule; creates the consumer when no consumer of that name exists yet.
    void configure(const char* pszKeyPattern, int32_t lLevel, const char* pszConsumerName,
                   long lFirstNumber, long lSecondNumber, unsigned long ulByteLimit,
                   int32_t lHeaderType);

    // Makes a consumer of the caller's known by its name, so that rules can route to it.
    // Returns false when a consumer of that name already exists.
    bool addConsumer(const ConsumerPtrT& pConsumer);

    void registerLogger(DbgLogFileC* pLogger);
    void unregisterLogger(DbgLogFileC* pLogger);

    // Fills a logger's cache from the routing table.
    void resolve(DbgLogFileC* pLogger, ConsumerMapT& rConsumers, std::atomic<int32_t>& rThreshold);
    void invalidateLoggers();

    DbgLogFileC* systemErrorLogger() { return m_pSystemErrorLogger.get(); }

    // Forgets every rule and consumer. Rules otherwise accumulate for the life of the process;
    // this exists for tests that need a clean routing table.
    void removeAllRules();

    // Adding consumer K at level L keeps, for each consumer, the lowest level any rule gives it.
    static void mergeConsumer(ConsumerMapT& rConsumers, int32_t lLevel,
                              const ConsumerPtrT& pConsumer);
    // "*" alone matches every key; "Serial*" every key beginning with "Serial" (text after the
    // first "*" is ignored); a pattern without "*" only the equal key.
    static bool patternMatches(const std::string& strPattern, const char* pszKey);

    DbgLogMgrC();
    ~DbgLogMgrC() override;

private:
    ConsumerPtrT findConsumer(const char* pszName) const;
    // The name under which a rule's consumer is listed.
    static std::string consumerNameOf(const char* pszRuleConsumer);
    // Creates the consumer a rule names, without listing it.
    static ConsumerPtrT createConsumer(const char* pszName, const char* pszKeyPattern,
                                       long lFirstNumber, long lSecondNumber,
                                       unsigned long ulByteLimit, int32_t lHeaderType);
    enum class RuleResultT { NoConsumer, RoutedToListed, RoutedToNew };
    // Routes the pattern to the listed consumer of that name, else to the new consumer, which is
    // then listed. Without either, nothing happens.
    RuleResultT addRule(const char* pszKeyPattern, int32_t lLevel, const std::string& strName,
                        const ConsumerPtrT& pNewConsumer);

    TSK::CriticalSectionC m_lock;
    std::vector<DbgLogFileC*> m_loggers;
    std::vector<ConsumerPtrT> m_consumers;
    std::map<std::string, ConsumerMapT> m_routingTable;
    std::unique_ptr<DbgLogFileC> m_pSystemErrorLogger;
};

} // namespace FWK::DBG
