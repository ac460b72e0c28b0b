#include "Fwk_Err/FWK_ERR_PanicHandlerRegistryC.h"

#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"

#include <atomic>

namespace ERR {

namespace {

constinit std::atomic<PanicHandlerRegistryC*> g_pRegistry{nullptr};

// Creates the registry on first use and deletes it when the library unloads.
struct RegistryLifetimeS {
    RegistryLifetimeS() { g_pRegistry.store(new PanicHandlerRegistryC); }
    ~RegistryLifetimeS() { delete g_pRegistry.exchange(nullptr); }
};

} // namespace

PanicHandlerRegistryC* PanicHandlerRegistryC::instance() {
    static RegistryLifetimeS s_lifetime;
    return g_pRegistry.load();
}

PanicHandlerRegistryC::~PanicHandlerRegistryC() {
    bool bHandlerLeft = false;
    {
        FWK::TSK::GuardC guard(m_lock);
        bHandlerLeft = m_pHandler != nullptr;
        m_pHandler = nullptr;
    }
    if (bHandlerLeft) {
        assertReport("false", 0, 0, "Fwk_Err\\FWK_ERR_PanicHandlerRegistry", 54);
    }
}

void PanicHandlerRegistryC::registerHandler(SysPanicHandlerI* pHandler) {
    FWK::TSK::GuardC guard(m_lock);
    m_pHandler = pHandler;
}

void PanicHandlerRegistryC::unregisterHandler(SysPanicHandlerI* pHandler) {
    FWK::TSK::GuardC guard(m_lock);
    if (m_pHandler == pHandler) {
        m_pHandler = nullptr;
    }
}

void PanicHandlerRegistryC::panic(const char* pszFormat, long lType, unsigned long ulDetail1,
                                  unsigned long ulDetail2, const char* pszFile, int iLine) {
    FWK::TSK::GuardC guard(m_lock);
    if (m_pHandler != nullptr) {
        m_pHandler->panic(pszFormat, lType, ulDetail1, ulDetail2, pszFile, iLine);
    }
}

void PanicHandlerRegistryC::assertion(const char* pszExpression, unsigned long ulDetail1,
                                      unsigned long ulDetail2, const char* pszFile, int iLine) {
    FWK::TSK::GuardC guard(m_lock);
    if (m_pHandler != nullptr) {
        m_pHandler->assertion(pszExpression, ulDetail1, ulDetail2, pszFile, iLine);
    }
}

void PanicHandlerRegistryC::onStateChange(int32_t lState) {
    FWK::TSK::GuardC guard(m_lock);
    if (m_pHandler != nullptr) {
        m_pHandler->setState(lState);
    }
}

} // namespace ERR
