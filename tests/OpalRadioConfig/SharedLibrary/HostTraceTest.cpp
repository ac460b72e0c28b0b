// A host's view of the library: linked against libOpalRadioConfig.so only, with the installed
// headers. It turns diagnostics on with a debug.def and finds its traced call in the log file.
#include "FWK_DBG_PerformanceLogC.h"
#include "ORC_SetupLogger.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace {

FWK::DBG::PerformanceLoggableC s_loggable("HostModule");

void tracedOperation(int iPort) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "HostModule::configure");
    trace << "port " << iPort << FWK::DBG::endLine;
}

std::string readFile(const std::string& strPath) {
    std::ifstream file(strPath);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

std::string makeTempDir() {
    char szTemplate[] = "/tmp/orc_host_XXXXXX";
    return mkdtemp(szTemplate);
}

void writeRecord(FWK::DBG::DbgLogFileC& rLogger, int32_t lLevel, const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    rLogger.write(lLevel, pszFormat, args);
    va_end(args);
}

TEST(SharedLibraryHostTest, DebugDefRoutesScopeTracesIntoTheRingOfLogFiles) {
    const std::string strDir = makeTempDir();
    const std::string strDef = strDir + "/debug.def";
    std::ofstream(strDef) << "# host diagnostics\n"
                          << "LOGT HostModule FINE " << strDir << "/trace.txt 3 7\n";

    EXPECT_EQ(ORC::setupLogger((strDir + "/missing.def").c_str()), 0x200001a);
    ASSERT_EQ(ORC::setupLogger(strDef.c_str()), 0);
    tracedOperation(3);

    const std::string strLog = readFile(strDir + "/trace_01.txt");
    const std::string strHeader =
        R"(\[[0-9/]{10} [0-9:.]{12} UTC\] 0x[0-9a-f]{8}          / [ 0-9-]{3} )";
    EXPECT_THAT(strLog,
                testing::MatchesRegex(strHeader + "INF HostModule START HostModule::configure\n" +
                                      strHeader + "FNE HostModule   port 3\n" + strHeader +
                                      "INF HostModule [0-9]+\\.000 ms HostModule::configure\n"));
    std::filesystem::remove_all(strDir);
}

// Calls every public member of the exported headers that a host can reach, so that a member
// the library does not export fails this program's link.
TEST(SharedLibraryHostTest, EveryPublicMemberOfTheExportedHeadersLinks) {
    using namespace FWK::DBG;
    const std::string strDir = makeTempDir();
    std::ofstream(strDir + "/debug.def") << "LOG HostLogger FINE " << strDir << "/plain.txt\n"
                                         << "LOG HostStream FINE " << strDir << "/stream.txt\n";
    ASSERT_EQ(ORC::setupLogger((strDir + "/debug.def").c_str()), 0);

    DbgLogFileC logger("HostLogger");
    EXPECT_STREQ(logger.name(), "HostLogger");
    EXPECT_FALSE(logger.isEnabled(DBG_FINER));
    EXPECT_TRUE(logger.isEnabled(DBG_FINE));
    EXPECT_EQ(logger.threshold(), DBG_FINE);
    writeRecord(logger, DBG_WARN, "%s %d\n", "written", 7);
    logger.invalidate();
    EXPECT_EQ(logger.threshold(), DBG_UNRESOLVED);
    EXPECT_EQ(readFile(strDir + "/plain.txt"), "written 7\n");

    PerformanceLoggableC loggable("HostStream");
    loggable.inc();
    EXPECT_EQ(loggable.get(), 1);
    loggable.dec();
    {
        PerformanceLogC trace(&loggable, "values", true);
        const std::string strText = "s";
        const signed char szSigned[] = "sc";
        const unsigned char szUnsigned[] = "uc";
        std::stringbuf buffer("sb");
        trace << true << static_cast<short>(-1) << static_cast<unsigned short>(2) << 3 << 4u << 5L
              << 6UL << 0.5f << 1.5 << 2.5L << 'c' << static_cast<signed char>('d')
              << static_cast<unsigned char>('e') << "t" << szSigned << szUnsigned << strText << L"w"
              << &buffer << std::hex << 255 << std::dec;
        trace.width(3) << 9;
        trace.delegateOperator(std::string("|"));
        trace.delegateOperator(L"|");
        trace << static_cast<const void*>(nullptr) << endLine;
        trace.flush();
    }
    EXPECT_THAT(readFile(strDir + "/stream.txt"),
                testing::HasSubstr("1-1234560.51.52.5cdetscucswsbff  9||0\n"));
    std::filesystem::remove_all(strDir);
}

} // namespace
