#include "Fwk_Dbg/FWK_DBG_RecordHeader.h"

#include "FWK_DBG_DbgLevel.h"
#include "Fwk_Tsk/FWK_TSK_TaskManagerC.h"
#include "Fwk_Tsk/FWK_TSK_TaskRecordS.h"
#include "Fwk_Uti/FWK_TIM_ClockC.h"

#include <atomic>
#include <cstdio>
#include <cstring>
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

DateTimeS frameworkUtcAt(const timespec& rSystemTime) {
    const TIM::CalendarTimeC utc =
        TIM::ClockC::fromSystemTime(rSystemTime).toDayCount().toCalendarTime();
    return DateTimeS{utc.m_unDay,
                     utc.m_unMonth,
                     utc.m_unYear,
                     utc.m_unHour,
                     utc.m_unMinute,
                     utc.m_unSecond,
                     static_cast<unsigned short>(utc.m_unHundredths * 10)};
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

unsigned forkGeneration() {
    static const int s_iForkHandler = pthread_atfork(nullptr, nullptr, onForkInChild);
    (void)s_iForkHandler;
    return g_uiForkGeneration.load(std::memory_order_relaxed);
}

unsigned threadId() {
    thread_local unsigned t_uiGeneration = ~0u;
    thread_local unsigned t_uiThreadId = 0;
    const unsigned uiGeneration = forkGeneration();
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

// Appends as much of a text as the buffer holds, keeping it terminated, as snprintf cuts.
class BoundedTextC {
public:
    BoundedTextC(char* pszBuffer, size_t capacity) : m_pszBuffer(pszBuffer), m_capacity(capacity) {}
    void append(const char* pszText, size_t length) {
        const size_t room = m_capacity - 1 - m_length;
        const size_t taken = length < room ? length : room;
        std::memcpy(m_pszBuffer + m_length, pszText, taken);
        m_length += taken;
        m_pszBuffer[m_length] = '\0';
    }
    size_t length() const { return m_length; }

private:
    char* m_pszBuffer;
    size_t m_capacity;
    size_t m_length = 0;
};

// What the full header of the thread-id form repeats from record to record, kept per thread:
// the date and time up to the second (converted once per second of the system clock), and the
// thread's id and priority (the priority asked again with each new second). The texts are made
// by the same formats as the header itself, so a record shows exactly what it showed before.
struct FullHeaderCacheS {
    bool bValid;
    unsigned uiGeneration;
    time_t systemSecond;
    char szUpToSecond[48]; // "[dd/mm/yyyy hh:mm:ss."
    size_t unUpToSecondLength;
    char szThread[48]; // " UTC] 0x%08x          /%4d "
    size_t unThreadLength;
};

thread_local FullHeaderCacheS t_headerCache;

void refreshHeaderCache(FullHeaderCacheS& rCache, const timespec& rNow, unsigned uiGeneration) {
    const DateTimeS t = frameworkUtcAt(timespec{rNow.tv_sec, 0});
    rCache.unUpToSecondLength =
        finish(std::snprintf(rCache.szUpToSecond, sizeof(rCache.szUpToSecond),
                             "[%02hu/%02hu/%04u %02hu:%02hu:%02hu.", t.usDay, t.usMonth,
                             static_cast<unsigned>(t.usYear), t.usHour, t.usMinute, t.usSecond),
               sizeof(rCache.szUpToSecond));
    rCache.unThreadLength =
        finish(std::snprintf(rCache.szThread, sizeof(rCache.szThread),
                             " UTC] 0x%08x          /%4d ", threadId(), threadPriority()),
               sizeof(rCache.szThread));
    rCache.systemSecond = rNow.tv_sec;
    rCache.uiGeneration = uiGeneration;
    rCache.bValid = true;
}

size_t formatTaskHeader(const TSK::TaskRecordS& rTask, int32_t lLevel, const char* pszKey,
                        char* pszBuffer, size_t capacity) {
    const DateTimeS t = frameworkUtcAt(systemClock());
    return finish(std::snprintf(pszBuffer, capacity,
                                "[%02hu/%02hu/%04u %02hu:%02hu:%02hu.%03hu UTC] %-20s/%4d %3s %s ",
                                t.usDay, t.usMonth, static_cast<unsigned>(t.usYear), t.usHour,
                                t.usMinute, t.usSecond, t.usMilliseconds, rTask.m_strName.c_str(),
                                threadPriority(), levelTag(lLevel), pszKey),
                  capacity);
}

// The level column: the tag right-aligned in three columns and a space ("%3s ").
const char* levelColumn(int32_t lLevel) {
    static const char* const s_apszColumns[] = {"    ", "FST ", "FER ", "FNE ",
                                                "INF ", "WRN ", "ERR ", "FAT "};
    if (lLevel < DBG_ALL) {
        return s_apszColumns[DBG_ALL];
    }
    return s_apszColumns[lLevel > DBG_FATAL ? DBG_FATAL : lLevel];
}

size_t formatFullHeader(int32_t lLevel, const char* pszKey, char* pszBuffer, size_t capacity) {
    // A framework task shows its name; any other thread its operating-system id, padded to the
    // same 20 columns.
    if (const TSK::TaskRecordS* pTask = TSK::TaskManagerC::instance().currentTask()) {
        return formatTaskHeader(*pTask, lLevel, pszKey, pszBuffer, capacity);
    }
    const timespec now = systemClock();
    FullHeaderCacheS& rCache = t_headerCache;
    const unsigned uiGeneration = forkGeneration();
    if (!rCache.bValid || rCache.systemSecond != now.tv_sec ||
        rCache.uiGeneration != uiGeneration) {
        refreshHeaderCache(rCache, now, uiGeneration);
    }
    // The framework clock counts in hundredths: the millisecond column always ends in 0.
    const auto uiHundredths = static_cast<unsigned>(now.tv_nsec / 10000000);
    const char szMilliseconds[3] = {static_cast<char>('0' + uiHundredths / 10),
                                    static_cast<char>('0' + uiHundredths % 10), '0'};
    BoundedTextC header(pszBuffer, capacity);
    header.append(rCache.szUpToSecond, rCache.unUpToSecondLength);
    header.append(szMilliseconds, sizeof(szMilliseconds));
    header.append(rCache.szThread, rCache.unThreadLength);
    header.append(levelColumn(lLevel), 4);
    header.append(pszKey, std::strlen(pszKey));
    header.append(" ", 1);
    return header.length();
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
