#include "Fwk_Dbg/FWK_DBG_RecordHeader.h"

#include "FWK_DBG_DbgLevel.h"
#include "Fwk_Tsk/FWK_TSK_TaskManagerC.h"
#include "Fwk_Tsk/FWK_TSK_TaskRecordS.h"
#include "Fwk_Uti/FWK_TIM_ClockC.h"

#include <atomic>
#include <cstdio>
#include <ctime>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace FWK::DBG {

namespace {

struct DateTimeS {
    unsigned short usDay, usMonth, usYear, usHour, usMinute, usSecond, usMilliseconds;
};

DateTimeS toDateTime(time_t seconds, unsigned short usMilliseconds) {
    struct tm parts {};
    gmtime_r(&seconds, &parts);
    return DateTimeS{static_cast<unsigned short>(parts.tm_mday),
                     static_cast<unsigned short>(parts.tm_mon + 1),
                     static_cast<unsigned short>(parts.tm_year + 1900),
                     static_cast<unsigned short>(parts.tm_hour),
                     static_cast<unsigned short>(parts.tm_min),
                     static_cast<unsigned short>(parts.tm_sec),
                     usMilliseconds};
}

timespec systemClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

DateTimeS frameworkUtcNow() {
    const TIM::CalendarTimeC now = TIM::ClockC::nowUtc();
    return DateTimeS{now.m_unDay,
                     now.m_unMonth,
                     now.m_unYear,
                     now.m_unHour,
                     now.m_unMinute,
                     now.m_unSecond,
                     static_cast<unsigned short>(now.m_unHundredths * 10)};
}

DateTimeS systemUtcNow() {
    const timespec now = systemClock();
    return toDateTime(now.tv_sec, static_cast<unsigned short>(now.tv_nsec / 1000000));
}

// A thread keeps its id for life, so it is asked once per thread instead of once per record;
// only the thread that forks lives on in the child, under a new id.
std::atomic<unsigned> g_uiForkGeneration{0};

void onForkInChild() {
    g_uiForkGeneration.fetch_add(1, std::memory_order_relaxed);
}

unsigned threadId() {
    static const int s_iForkHandler = pthread_atfork(nullptr, nullptr, onForkInChild);
    (void)s_iForkHandler;
    thread_local unsigned t_uiGeneration = ~0u;
    thread_local unsigned t_uiThreadId = 0;
    const unsigned uiGeneration = g_uiForkGeneration.load(std::memory_order_relaxed);
    if (t_uiGeneration != uiGeneration) {
        t_uiThreadId = static_cast<unsigned>(gettid());
        t_uiGeneration = uiGeneration;
    }
    return t_uiThreadId;
}

// Like the original platform's thread priority: 0 is normal, higher runs first.
int threadPriority() {
    return -getpriority(PRIO_PROCESS, static_cast<id_t>(threadId()));
}

size_t finish(int iWritten, size_t capacity) {
    if (iWritten < 0) {
        return 0;
    }
    const auto length = static_cast<size_t>(iWritten);
    return length < capacity ? length : capacity - 1;
}

size_t formatFullHeader(int32_t lLevel, const char* pszKey, char* pszBuffer, size_t capacity) {
    const DateTimeS t = frameworkUtcNow();
    const int iPriority = threadPriority();
    // A framework task shows its name; any other thread its operating-system id, padded to the
    // same 20 columns.
    if (const TSK::TaskRecordS* pTask = TSK::TaskManagerC::instance().currentTask()) {
        return finish(
            std::snprintf(pszBuffer, capacity,
                          "[%02hu/%02hu/%04u %02hu:%02hu:%02hu.%03hu UTC] %-20s/%4d %3s %s ",
                          t.usDay, t.usMonth, static_cast<unsigned>(t.usYear), t.usHour, t.usMinute,
                          t.usSecond, t.usMilliseconds, pTask->m_strName.c_str(), iPriority,
                          levelTag(lLevel), pszKey),
            capacity);
    }
    return finish(std::snprintf(pszBuffer, capacity,
                                "[%02hu/%02hu/%04u %02hu:%02hu:%02hu.%03hu UTC] 0x%08x          "
                                "/%4d %3s %s ",
                                t.usDay, t.usMonth, static_cast<unsigned>(t.usYear), t.usHour,
                                t.usMinute, t.usSecond, t.usMilliseconds, threadId(), iPriority,
                                levelTag(lLevel), pszKey),
                  capacity);
}

size_t formatMillisecondsHeader(char* pszBuffer, size_t capacity) {
    const timespec now = systemClock();
    const auto ulMilliseconds = static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                                      static_cast<uint64_t>(now.tv_nsec / 1000000));
    return finish(std::snprintf(pszBuffer, capacity, "%u ", ulMilliseconds), capacity);
}

size_t formatDateTimeHeader(char* pszBuffer, size_t capacity) {
    const DateTimeS t = systemUtcNow();
    return finish(std::snprintf(pszBuffer, capacity,
                                "[%02hu/%02hu/%04hu %02hu:%02hu:%02hu.%03hu UTC] ", t.usDay,
                                t.usMonth, t.usYear, t.usHour, t.usMinute, t.usSecond,
                                t.usMilliseconds),
                  capacity);
}

} // namespace

const char* levelTag(int32_t lLevel) {
    static const char* const s_apszTags[] = {"", "FST", "FER", "FNE", "INF", "WRN", "ERR", "FAT"};
    if (lLevel < DBG_ALL) {
        return s_apszTags[DBG_ALL];
    }
    return s_apszTags[lLevel > DBG_FATAL ? DBG_FATAL : lLevel];
}

size_t formatHeader(int32_t lHeaderType, int32_t lLevel, const char* pszKey, char* pszBuffer,
                    size_t capacity) {
    if (capacity == 0) {
        return 0;
    }
    pszBuffer[0] = '\0';
    switch (lHeaderType) {
    case 1:
        return formatFullHeader(lLevel, pszKey, pszBuffer, capacity);
    case 2:
        return formatMillisecondsHeader(pszBuffer, capacity);
    case 3:
        return formatDateTimeHeader(pszBuffer, capacity);
    default:
        return 0;
    }
}

} // namespace FWK::DBG
