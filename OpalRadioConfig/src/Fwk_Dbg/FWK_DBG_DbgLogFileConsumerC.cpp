#include "Fwk_Dbg/FWK_DBG_DbgLogFileConsumerC.h"

#include "Fwk_Hal/FWK_HAL_PathMapC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "Fwk_Uti/FWK_TIM_ClockC.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <optional>
#include <unistd.h>

namespace FWK::DBG {

namespace {

constexpr unsigned long MAX_PERIOD_DAYS = 2000000;
constexpr unsigned long MAX_PERIOD = 2000000000;
constexpr double UNIX_EPOCH_DAY_COUNT = 40587.0; // 1 January 1970
constexpr int OPEN_ATTEMPTS = 3;

std::string cut(std::string strText) {
    if (strText.size() > DbgLogFileConsumerC::MAX_NAME_LEN) {
        strText.resize(DbgLogFileConsumerC::MAX_NAME_LEN);
    }
    return strText;
}

double frameworkDayCount() {
    return TIM::ClockC::nowDayCount().m_dDays;
}

long dayOfYear(double dDayCount) {
    const auto seconds = static_cast<time_t>((dDayCount - UNIX_EPOCH_DAY_COUNT) * 86400.0);
    struct tm parts {};
    gmtime_r(&seconds, &parts);
    return parts.tm_yday + 1;
}

size_t nameStart(const std::string& strPath) {
    const size_t separator = strPath.rfind('/');
    return separator == std::string::npos ? 0 : separator + 1;
}

bool fileExists(const std::string& strPath) {
    return access(strPath.c_str(), F_OK) == 0;
}

// The ring number of a file of this consumer: its name is exactly the base name, "_", two digits
// and the extension, with a number from 1 to the ring size. Files of other consumers that share
// the start of the name ("serialport_00.txt" beside "serial.txt") and stray numbers are not ours.
std::optional<long> ringIndexOf(const std::string& strName, const std::string& strBaseName,
                                const std::string& strExtension, long lMaxFiles) {
    const size_t numberAt = strBaseName.size() + 1;
    if (strName.size() != numberAt + 2 + strExtension.size() ||
        strName.compare(0, strBaseName.size(), strBaseName) != 0 || strName[numberAt - 1] != '_' ||
        strName.compare(numberAt + 2, std::string::npos, strExtension) != 0 ||
        std::isdigit(static_cast<unsigned char>(strName[numberAt])) == 0 ||
        std::isdigit(static_cast<unsigned char>(strName[numberAt + 1])) == 0) {
        return std::nullopt;
    }
    const long lIndex = (strName[numberAt] - '0') * 10 + (strName[numberAt + 1] - '0');
    if (lIndex < 1 || lIndex > lMaxFiles) {
        return std::nullopt;
    }
    return lIndex;
}

bool isLater(const timespec& rLeft, const timespec& rRight) {
    return rLeft.tv_sec != rRight.tv_sec ? rLeft.tv_sec > rRight.tv_sec
                                         : rLeft.tv_nsec > rRight.tv_nsec;
}

} // namespace

DbgLogFileConsumerC::DbgLogFileConsumerC(const char* pszFileName, long lMaxFiles,
                                         unsigned long ulPeriodDays, unsigned long ulByteLimit,
                                         int32_t lHeaderType, bool bDayNumbered, ClockT clock)
    : DbgLogConsumerC(lHeaderType), m_strGivenName(cut(pszFileName != nullptr ? pszFileName : "")),
      m_lMaxFiles(std::clamp(lMaxFiles, 1L, MAX_FILES)),
      m_ulPeriod(ulPeriodDays == 0                 ? 0
                 : ulPeriodDays <= MAX_PERIOD_DAYS ? ulPeriodDays * 1000
                                                   : MAX_PERIOD),
      m_bDayNumbered(bDayNumbered), m_ulByteLimit(ulByteLimit),
      m_clock(clock ? std::move(clock) : ClockT(frameworkDayCount)) {
    m_dOpenedAt = m_clock();
    m_strPath = m_strGivenName[0] == '/'
                    ? m_strGivenName
                    : cut(HAL::PathMapC::getDebugPath() + "dbg/log/" + m_strGivenName);
    // Only the folders: a name without extension must stay free for the log file itself.
    HAL::PathMapC::createDirectories(m_strPath.substr(0, nameStart(m_strPath)).c_str());
    const size_t dot = m_strPath.rfind('.');
    if (dot != std::string::npos && dot >= nameStart(m_strPath)) {
        m_strExtension = m_strPath.substr(dot);
        m_strPath.resize(dot);
    }
    chooseFirstFile();
    openStream("a");
}

DbgLogFileConsumerC::~DbgLogFileConsumerC() {
    TSK::GuardC guard(m_lock);
    closeStream();
}

void DbgLogFileConsumerC::chooseFirstFile() {
    m_strBase = m_strPath;
    if (m_bDayNumbered) {
        chooseDayNumberedFile();
    } else if (m_lMaxFiles < 2) {
        m_strPath = m_strBase + m_strExtension;
    } else {
        chooseRingFile();
    }
}

// The first unused number of the current day, counting on from the number in use, so that
// the files of one day sort in the order they were written.
std::string DbgLogFileConsumerC::nextDayNumberedPath() {
    char szDay[16];
    std::snprintf(szDay, sizeof szDay, "%03ld_", dayOfYear(m_clock()));
    const std::string strDayBase = m_strBase + szDay;
    if (strDayBase != m_strDayBase) {
        m_strDayBase = strDayBase;
        m_lDayNumber = 0;
    }
    for (;;) {
        std::string strCandidate = strDayBase + std::to_string(++m_lDayNumber) + m_strExtension;
        if (!fileExists(strCandidate)) {
            return strCandidate;
        }
    }
}

void DbgLogFileConsumerC::chooseDayNumberedFile() {
    m_strPath = nextDayNumberedPath();
}

std::string DbgLogFileConsumerC::ringPath(long lIndex) const {
    char szIndex[16];
    std::snprintf(szIndex, sizeof szIndex, "_%02ld", lIndex);
    return m_strBase + szIndex + m_strExtension;
}

// A restart continues the file of the ring that was written last.
void DbgLogFileConsumerC::chooseRingFile() {
    m_lFileIndex = 1;
    HAL::PathMapI* pPathMap = HAL::PathMapC::getPathMapperInternal();
    HAL::FindHandleT hFind = nullptr;
    HAL::FindEntryS entry;
    const std::string strBaseName = m_strBase.substr(nameStart(m_strBase));
    bool bFound = false;
    timespec newestTime{};
    for (int32_t lStatus = pPathMap->findFirst((m_strBase + "*").c_str(), hFind, entry);
         lStatus == HAL::PATH_OK; lStatus = pPathMap->findNext(hFind, entry)) {
        const std::optional<long> index =
            ringIndexOf(entry.strName, strBaseName, m_strExtension, m_lMaxFiles);
        if (index && (!bFound || isLater(entry.lastWriteTime, newestTime))) {
            bFound = true;
            m_lFileIndex = *index;
            newestTime = entry.lastWriteTime;
        }
    }
    pPathMap->findClose(hFind);
    m_strPath = ringPath(m_lFileIndex);
}

bool DbgLogFileConsumerC::openStream(const char* pszMode) {
    m_pFile = std::fopen(m_strPath.c_str(), pszMode);
    m_ulBytesWritten = 0;
    if (m_pFile == nullptr) {
        return false;
    }
    if (std::fseek(m_pFile, 0, SEEK_END) == 0) {
        const long lSize = std::ftell(m_pFile);
        m_ulBytesWritten = lSize > 0 ? static_cast<unsigned long>(lSize) : 0;
    }
    return true;
}

void DbgLogFileConsumerC::closeStream() {
    if (m_pFile != nullptr) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
}

bool DbgLogFileConsumerC::rotationDue() const {
    if (m_ulByteLimit != 0 && m_ulBytesWritten >= m_ulByteLimit) {
        return true;
    }
    if (m_ulPeriod == 0) {
        return false;
    }
    const double dElapsed = (m_clock() - m_dOpenedAt) * 1000.0;
    return dElapsed > 0.0 && static_cast<unsigned long>(dElapsed) > m_ulPeriod;
}

void DbgLogFileConsumerC::rotate() {
    m_dOpenedAt = m_clock();
    closeStream();
    if (m_bDayNumbered) {
        rotateDayNumbered();
    } else if (m_lMaxFiles < 2) {
        rotateSingleFile();
    } else {
        rotateRing();
    }
    m_ulBytesWritten = 0;
}

bool DbgLogFileConsumerC::rotateRing() {
    for (int iAttempt = 0; iAttempt < OPEN_ATTEMPTS; ++iAttempt) {
        m_lFileIndex = (m_lFileIndex + 1) % (m_lMaxFiles + 1);
        if (m_lFileIndex == 0) {
            m_lFileIndex = 1;
        }
        m_strPath = ringPath(m_lFileIndex);
        if (openStream("w")) {
            return true;
        }
    }
    return false;
}

// A single file keeps one previous generation beside it ("trace_prev.txt"): the records just
// written survive the rotation, and the disk holds at most two files.
bool DbgLogFileConsumerC::rotateSingleFile() {
    std::rename(m_strPath.c_str(), (m_strBase + "_prev" + m_strExtension).c_str());
    for (int iAttempt = 0; iAttempt < OPEN_ATTEMPTS; ++iAttempt) {
        if (openStream("w")) {
            return true;
        }
    }
    return false;
}

// A day-numbered consumer moves on to the next free number of the current day, as a restart
// would, and removes its own older files beyond its ring size (at least one previous file is
// kept), so that nothing just written is lost and the disk use stays bounded.
bool DbgLogFileConsumerC::rotateDayNumbered() {
    m_closedPaths.push_back(m_strPath);
    bool bOpened = false;
    for (int iAttempt = 0; iAttempt < OPEN_ATTEMPTS && !bOpened; ++iAttempt) {
        m_strPath = nextDayNumberedPath();
        bOpened = openStream("w");
    }
    // Removed only after the new name is taken, so that a freed number is not reused at once.
    const size_t keep = static_cast<size_t>(std::max(m_lMaxFiles, 2L) - 1);
    while (m_closedPaths.size() > keep) {
        std::remove(m_closedPaths.front().c_str());
        m_closedPaths.pop_front();
    }
    return bOpened;
}

bool DbgLogFileConsumerC::streamInError() const {
    return std::ferror(m_pFile) != 0 || std::ftell(m_pFile) < 0;
}

bool DbgLogFileConsumerC::reopenForAppend() {
    closeStream();
    return openStream("a") && !streamInError();
}

// Commit mode: the record is on the disk before the lock is released.
bool DbgLogFileConsumerC::writeAndCommit(const char* pszRecord, size_t length) {
    const bool bWritten = std::fwrite(pszRecord, 1, length, m_pFile) == length;
    const bool bFlushed = std::fflush(m_pFile) == 0;
    return bWritten && bFlushed && fdatasync(fileno(m_pFile)) == 0;
}

void DbgLogFileConsumerC::reportWriteError() const {
    std::printf("FWK::DBG::DbgLogMgrC::logWrite ERROR while writing to log (%s)!\n", name());
    std::fflush(stdout);
}

void DbgLogFileConsumerC::logWrite(const char* pszRecord) {
    TSK::GuardC guard(m_lock);
    if (m_pFile == nullptr && !m_bReopenPending) {
        return;
    }
    if (m_pFile != nullptr && rotationDue()) {
        rotate();
        if (m_pFile == nullptr) {
            return;
        }
    }
    // One reopen per record: before writing when the stream is already broken, else after a
    // write that could not be committed (the record is then written again).
    bool bReopened = false;
    if (m_pFile == nullptr || streamInError()) {
        bReopened = true;
        if (!reopenForAppend()) {
            m_bReopenPending = true;
            reportWriteError();
            return;
        }
    }
    const size_t length = std::strlen(pszRecord);
    if (!writeAndCommit(pszRecord, length)) {
        if (bReopened || !reopenForAppend() || !writeAndCommit(pszRecord, length)) {
            m_bReopenPending = true;
            reportWriteError();
            return;
        }
    }
    m_bReopenPending = false;
    m_ulBytesWritten += length;
}

std::string DbgLogFileConsumerC::currentPath() {
    TSK::GuardC guard(m_lock);
    return m_pFile != nullptr ? m_strPath : std::string();
}

void DbgLogFileConsumerC::adoptStreamForTest(FILE* pFile) {
    TSK::GuardC guard(m_lock);
    closeStream();
    m_pFile = pFile;
}

} // namespace FWK::DBG
