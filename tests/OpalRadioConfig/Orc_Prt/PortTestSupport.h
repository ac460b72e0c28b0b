#pragma once

#include "Fwk_Bio/FWK_BIO_ReadConsumerC.h"
#include "Fwk_Dbg/CaptureConsumer.h"
#include "ORC_PRT_SerialPortC.h"
#include "PtyPair.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace port_test {

using namespace std::chrono_literals;

// Keeps every chunk it is given; tests wait for what they then assert.
class CollectorC : public FWK::BIO::ReadConsumerC {
public:
    void procReadData(const char* pData, uint32_t ulLength) override {
        std::lock_guard lock(m_mutex);
        m_chunks.emplace_back(pData, ulLength);
        m_strText.append(pData, ulLength);
        m_changed.notify_all();
    }
    bool waitForBytes(std::size_t unCount, std::chrono::milliseconds limit = 5000ms) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_strText.size() >= unCount; });
    }
    std::string text() {
        std::lock_guard lock(m_mutex);
        return m_strText;
    }
    std::vector<std::string> chunks() {
        std::lock_guard lock(m_mutex);
        return m_chunks;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_strText;
    std::vector<std::string> m_chunks;
};

// Opens the reader's start and stop to tests.
class TestPortC : public ORC::PRT::SerialPortC {
public:
    using PortBaseC::StartReading;
    using PortBaseC::StopReading;
    using SerialPortC::SerialPortC;
};

inline FWK::UTI::StringC nameOf(const oryx::platform::test::PtyPair& rPty) {
    return FWK::UTI::StringC(rPty.slavePath());
}

// Routes one logger at the given level to a fresh capture consumer; forgets all rules after.
class LogCaptureC {
public:
    LogCaptureC(const char* pszLogger, int32_t lLevel)
        : m_pConsumer(CaptureConsumer::add(std::string("capture-") + pszLogger)) {
        FWK::DBG::DbgLogMgrC::instance()->configure(pszLogger, lLevel,
                                                    (std::string("capture-") + pszLogger).c_str(),
                                                    1, 0, 0, FWK::DBG::HEADER_NONE);
    }
    ~LogCaptureC() { FWK::DBG::DbgLogMgrC::instance()->removeAllRules(); }

    // Records that contain the text.
    int count(const std::string& strText) {
        int iCount = 0;
        for (const std::string& rRecord : m_pConsumer->records()) {
            iCount += rRecord.find(strText) != std::string::npos ? 1 : 0;
        }
        return iCount;
    }
    bool waitFor(const std::string& strText, std::chrono::milliseconds limit = 5000ms) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (count(strText) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

private:
    boost::shared_ptr<CaptureConsumer> m_pConsumer;
};

} // namespace port_test
