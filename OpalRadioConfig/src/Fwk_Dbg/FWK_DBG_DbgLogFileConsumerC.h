#pragma once

#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>

namespace FWK::DBG {

// Appends records to a log file and moves on to the next file of a small ring when the current
// one has grown too large or too old. Every record is on the disk before the next one starts.
//
// Ring names: "serial.txt" with three files gives serial_01.txt .. serial_03.txt; a restart
// continues the file written last. Day-numbered consumers (key "nmea") name their files after
// the day of the year and a running number: gps045_1.nmea, gps045_2.nmea, ...
class DbgLogFileConsumerC : public DbgLogConsumerC {
public:
    // The framework time as a day count (days and fraction); replaceable for tests.
    using ClockT = std::function<double()>;

    static constexpr long MAX_FILES = 20;
    static constexpr size_t MAX_NAME_LEN = 260;

    DbgLogFileConsumerC(const char* pszFileName, long lMaxFiles, unsigned long ulPeriodDays,
                        unsigned long ulByteLimit, int32_t lHeaderType, bool bDayNumbered,
                        ClockT clock = {});
    ~DbgLogFileConsumerC() override;

    void logWrite(const char* pszRecord) override;
    const char* name() const override { return m_strGivenName.c_str(); }

    // The file records currently go to; empty when none is open.
    std::string currentPath();
    long maxFiles() const { return m_lMaxFiles; }

    // Replaces the open stream, so that tests can make writing fail.
    void adoptStreamForTest(FILE* pFile);

private:
    void chooseFirstFile();
    std::string nextDayNumberedPath();
    std::string ringPath(long lIndex) const;
    void chooseDayNumberedFile();
    void chooseRingFile();
    bool openStream(const char* pszMode);
    void closeStream();
    bool rotationDue() const;
    void rotate();
    bool rotateRing();
    bool rotateSingleFile();
    bool rotateDayNumbered();
    bool streamInError() const;
    bool writeAndCommit(const char* pszRecord, size_t length);
    bool reopenForAppend();
    void reportWriteError() const;

    std::string m_strGivenName;
    std::string m_strPath; // without extension while names are worked out, then the open file
    std::string m_strExtension;
    long m_lFileIndex = 1;
    long m_lMaxFiles = 1;
    unsigned long m_ulPeriod = 0; // thousandths of a day
    FILE* m_pFile = nullptr;
    double m_dOpenedAt = 0.0;
    bool m_bDayNumbered = false;
    unsigned long m_ulByteLimit = 0;
    unsigned long m_ulBytesWritten = 0;
    bool m_bReopenPending = false;
    std::string m_strBase;    // path without ring number and extension
    std::string m_strDayBase; // day-numbered: base and day of the current file
    long m_lDayNumber = 0;
    std::deque<std::string> m_closedPaths; // day-numbered files this consumer has finished
    ClockT m_clock;
};

} // namespace FWK::DBG
