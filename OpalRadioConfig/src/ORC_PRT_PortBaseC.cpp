#include "ORC_PRT_PortBaseC.h"

#include "FWK_DBG_PerformanceLogC.h"
#include "Fwk_Bio/FWK_BIO_ReadConsumerC.h"
#include "Fwk_Err/FWK_ERR_LockingExceptionC.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "platform/Waker.h"

#include <stdexcept>
#include <system_error>

namespace ORC::PRT {

namespace {
FWK::DBG::PerformanceLoggableC s_loggable("PortBaseC");

constexpr unsigned long READER_JOIN_TIMEOUT_MS = 2000;

std::unique_ptr<oryx::platform::Waker> createWaker() {
    try {
        return std::make_unique<oryx::platform::Waker>();
    } catch (const std::runtime_error&) {
        throw ERR::LockingExceptionC(ERR::LockingExceptionC::LOCK_CREATION_FAILED);
    }
}
} // namespace

PortBaseC::PortBaseC() : m_pWaker(createWaker()) {
    if (!m_readerEnded.isValid()) {
        throw ERR::LockingExceptionC(ERR::LockingExceptionC::LOCK_CREATION_FAILED);
    }
}

PortBaseC::~PortBaseC() {
    StopReading();
    waitForLateReader();
    FWK::TSK::GuardC guard(m_consumerLock);
    m_pReadConsumer = nullptr;
}

void PortBaseC::ConnectReadConsumer(FWK::BIO::ReadConsumerC* pConsumer) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "PortBaseC::ConnectReadConsumer");
    FWK::TSK::GuardC guard(m_consumerLock);
    m_pReadConsumer = pConsumer;
}

void PortBaseC::ConfigureReadWriteBuffers(uint32_t, uint32_t) {}

void PortBaseC::ReservedHook() {}

unsigned long PortBaseC::DoRead(void* pPort) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "PortBaseC::DoRead");
    if (pPort != nullptr) {
        static_cast<PortBaseC*>(pPort)->Read();
    }
    return 0;
}

void PortBaseC::runReader() {
    DoRead(this);
    m_readerEnded.release();
}

bool PortBaseC::StartReading() {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "PortBaseC::StartReading");
    if (m_hThread.joinable()) {
        return false;
    }
    // A second reader beside a late one would read the same device: the late one goes first.
    waitForLateReader();
    m_pWaker->clear();
    m_readerEnded.waitFor(0);
    m_bReading = true;
    try {
        m_hThread = std::thread(&PortBaseC::runReader, this);
    } catch (const std::system_error& rError) {
        trace << "error in creating read thread: " << std::hex << rError.code().value()
              << FWK::DBG::endLine;
        return false;
    }
    return true;
}

bool PortBaseC::StopReading() {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "PortBaseC::StopReading");
    if (!m_hThread.joinable()) {
        return true;
    }
    m_bReading = false;
    m_pWaker->wake();
    if (m_readerEnded.waitFor(READER_JOIN_TIMEOUT_MS)) {
        m_hThread.join();
        return true;
    }
    trace << "Error terminating read thread: " << std::hex << ETIMEDOUT << FWK::DBG::endLine;
    m_lateReader = std::move(m_hThread);
    return false;
}

void PortBaseC::waitForLateReader() {
    if (m_lateReader.joinable()) {
        m_lateReader.join();
    }
}

void PortBaseC::deliver(const char* pData, uint32_t ulLength) {
    FWK::TSK::GuardC guard(m_consumerLock);
    if (m_pReadConsumer != nullptr) {
        m_pReadConsumer->procReadData(pData, ulLength);
    }
}

} // namespace ORC::PRT
