#pragma once

#include "Fwk_Err/FWK_ERR_SysPanicHandlerI.h"
#include "Fwk_Tsk/FWK_TSK_CriticalSectionC.h"

#include <boost/noncopyable.hpp>

namespace ERR {

// The process-wide place where a host attaches one panic handler of its own. Reports are
// forwarded to it under the registry's lock; without a handler they go nowhere.
class PanicHandlerRegistryC : public SysPanicHandlerI, private boost::noncopyable {
public:
    // Null once the library is being unloaded.
    static PanicHandlerRegistryC* instance();

    // The handler is not owned; remove it before the library unloads.
    void registerHandler(SysPanicHandlerI* pHandler);
    void unregisterHandler(SysPanicHandlerI* pHandler);

    void panic(const char* pszFormat, long lType, unsigned long ulDetail1, unsigned long ulDetail2,
               const char* pszFile, int iLine) override;
    void assertion(const char* pszExpression, unsigned long ulDetail1, unsigned long ulDetail2,
                   const char* pszFile, int iLine) override;
    void onStateChange(int32_t lState) override;

    PanicHandlerRegistryC() = default;
    ~PanicHandlerRegistryC() override;

private:
    SysPanicHandlerI* m_pHandler = nullptr;
    FWK::TSK::CriticalSectionC m_lock;
};

} // namespace ERR
