#pragma once

#include "Fwk_Dbg/FWK_DBG_DbgLogConsumerC.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"

#include <boost/make_shared.hpp>

#include <mutex>
#include <string>
#include <vector>

// A consumer that keeps every record it receives, for tests.
class CaptureConsumer : public FWK::DBG::DbgLogConsumerC {
public:
    explicit CaptureConsumer(std::string strName, int32_t lHeaderType = FWK::DBG::HEADER_NONE)
        : DbgLogConsumerC(lHeaderType), m_strName(std::move(strName)) {}

    void logWrite(const char* pszRecord) override {
        std::lock_guard lock(m_mutex);
        m_records.emplace_back(pszRecord);
    }
    const char* name() const override { return m_strName.c_str(); }

    std::vector<std::string> records() {
        std::lock_guard lock(m_mutex);
        return m_records;
    }

    // Registers a new capture consumer with the manager under the given name.
    static boost::shared_ptr<CaptureConsumer> add(const std::string& strName,
                                                  int32_t lHeaderType = FWK::DBG::HEADER_NONE) {
        auto pConsumer = boost::make_shared<CaptureConsumer>(strName, lHeaderType);
        FWK::DBG::DbgLogMgrC::instance()->addConsumer(pConsumer);
        return pConsumer;
    }

private:
    std::string m_strName;
    std::mutex m_mutex;
    std::vector<std::string> m_records;
};
