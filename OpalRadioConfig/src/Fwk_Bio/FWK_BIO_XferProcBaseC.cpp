#include "Fwk_Bio/FWK_BIO_XferProcBaseC.h"

#include "Fwk_Err/FWK_ERR_LockingExceptionC.h"
#include "Fwk_Tsk/FWK_TSK_BinarySemaphoreC.h"
#include "ORC_CFG_Types.h"

namespace FWK::BIO {

XferProcBaseC::XferProcBaseC() : m_pSemaphore(std::make_unique<TSK::BinarySemaphoreC>(false)) {
    if (!m_pSemaphore->isValid()) {
        throw ERR::LockingExceptionC(ERR::LockingExceptionC::LOCK_CREATION_FAILED);
    }
}

XferProcBaseC::~XferProcBaseC() = default;

void XferProcBaseC::signal() {
    if (m_pSemaphore) {
        m_pSemaphore->release();
    }
}

int32_t XferProcBaseC::wait(uint32_t ulTimeoutMs) {
    if (!m_pSemaphore) {
        return ORC::CFG::CFG_NOT_READY;
    }
    return m_pSemaphore->waitFor(ulTimeoutMs) ? ORC::CFG::CFG_OK : ORC::CFG::CFG_TIMEOUT;
}

} // namespace FWK::BIO
