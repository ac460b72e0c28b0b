#pragma once

#include "ORC_CFG_InquiryResultRequestC.h"
#include "ORC_CFG_OpalDeviceRequestC.h"

#include <cstdint>
#include <memory>

namespace ORC::CFG {

// The inquiry "AT*AGI=type,length,max\r": the one answer with a variable number of lines. It
// waits for the final "OK", then hands the result lines to a chain of InquiryResultRequestC,
// one member per line, at most max members; the chain lives as long as the inquiry.
class DeviceInquiryRequestC : public OpalDeviceRequestC {
public:
    DeviceInquiryRequestC(const char* pszWord, uint8_t unInquiryLength, InquiryTypeT unInquiryType,
                          uint8_t unMaxDevices, uint32_t ulTimeout);
    ~DeviceInquiryRequestC() override;

    void procReadData(const char* pData, uint32_t ulLength) override;
    // The first member of the chain, created on the first call.
    OpalDeviceRequestC* getSiblingRequest() override;
    void setHandled(bool bHandled) override;

private:
    // Runs the common processing, which hands the result lines down the chain.
    void handOverResults(const char* pData, uint32_t ulLength);

    std::unique_ptr<InquiryResultRequestC> m_pSibling;
    InquiryTypeT m_unInquiryType;
    uint8_t m_unMaxDevices;
    bool m_bResultsReady;
};

} // namespace ORC::CFG
