#include "FWK_DBG_PerformanceLoggableC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"

#include <map>
#include <unistd.h>

namespace FWK::DBG {

namespace {

// Nesting depth per operating-system thread, shared by every loggable: a traced call of one
// module nested in a traced call of another indents under it.
struct DepthMapS {
    TSK::CriticalSectionC lock;
    std::map<uint32_t, unsigned short> depths;
};

DepthMapS& depthMap() {
    static DepthMapS* s_pDepthMap = new DepthMapS; // never destroyed: loggables outlive statics
    return *s_pDepthMap;
}

uint32_t currentThreadId() {
    return static_cast<uint32_t>(gettid());
}

// The framework's own loggable, which nothing writes to.
PerformanceLoggableC s_perfLogTest("PerfLogTest");

} // namespace

PerformanceLoggableC::PerformanceLoggableC(const char* pszName) : DbgLogFileC(pszName) {}

PerformanceLoggableC::~PerformanceLoggableC() = default;

void PerformanceLoggableC::inc() {
    DepthMapS& rMap = depthMap();
    TSK::GuardC guard(rMap.lock);
    ++rMap.depths[currentThreadId()];
}

void PerformanceLoggableC::dec() {
    int iReportLine = 0;
    {
        DepthMapS& rMap = depthMap();
        TSK::GuardC guard(rMap.lock);
        const auto it = rMap.depths.find(currentThreadId());
        if (it == rMap.depths.end()) {
            iReportLine = 103;
        } else if (it->second == 0) {
            iReportLine = 108;
        } else {
            --it->second;
        }
    }
    // Reported after the depth lock is released: the report writes to the log files and
    // reaches the host's panic handler, and every trace of every thread needs this lock.
    if (iReportLine != 0) {
        ERR::assertReport("false", 0, 0, "Fwk_Dbg\\fwk_dbg_perflog", iReportLine);
    }
}

unsigned short PerformanceLoggableC::get() {
    DepthMapS& rMap = depthMap();
    TSK::GuardC guard(rMap.lock);
    return rMap.depths[currentThreadId()];
}

} // namespace FWK::DBG
