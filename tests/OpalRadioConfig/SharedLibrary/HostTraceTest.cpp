// A host's view of the library: linked against libOpalRadioConfig.so only, with the installed
// headers. It turns diagnostics on with a debug.def and finds its traced call in the log file.
#include "FWK_DBG_PerformanceLogC.h"
#include "ORC_SetupLogger.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

TEST(SharedLibraryHostTest, DebugDefRoutesScopeTracesIntoTheRingOfLogFiles) {
    char szTemplate[] = "/tmp/orc_host_XXXXXX";
    const std::string strDir = mkdtemp(szTemplate);
    const std::string strDef = strDir + "/debug.def";
    std::ofstream(strDef) << "# host diagnostics\n"
                          << "LOGT HostModule FINE " << strDir << "/trace.txt 3 7\n";

    EXPECT_EQ(ORC::setupLogger((strDir + "/missing.def").c_str()), 0x200001a);
    ASSERT_EQ(ORC::setupLogger(strDef.c_str()), 0);
    tracedOperation(3);

    const std::string strLog = readFile(strDir + "/trace_01.txt");
    const std::string strHeader = R"(\[[0-9/]{10} [0-9:.]{12} UTC\] 0x[0-9a-f]{8}          /   0 )";
    EXPECT_THAT(strLog,
                testing::MatchesRegex(strHeader + "INF HostModule START HostModule::configure\n" +
                                      strHeader + "FNE HostModule   port 3\n" + strHeader +
                                      "INF HostModule [0-9]+\\.000 ms HostModule::configure\n"));
    std::filesystem::remove_all(strDir);
}

} // namespace
