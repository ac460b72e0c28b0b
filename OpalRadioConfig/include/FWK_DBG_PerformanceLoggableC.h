#pragma once

#include "FWK_DBG_DbgLogFileC.h"
#include "ORC_Export.h"

namespace FWK::DBG {

// The logger of one module for scope traces. Declare one per module, as a static object:
//
//   static FWK::DBG::PerformanceLoggableC s_loggable("SerialPortC");
//
// It also keeps each thread's nesting depth of traced calls, shared by all loggables, so that
// nested traces form one indented call tree per thread.
class ORC_EXPORT PerformanceLoggableC : public DbgLogFileC {
public:
    explicit PerformanceLoggableC(const char* pszName);
    virtual ~PerformanceLoggableC();

    void inc();
    void dec();
    unsigned short get();
};

} // namespace FWK::DBG
