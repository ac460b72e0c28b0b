#include "ORC_CFG_InquiryResultRequestC.h"

#include "ORC_CFG_RequestLog.h"

namespace ORC::CFG {

namespace {
constexpr InquiryTypeT IT_WITH_DETAILS = 3;
} // namespace

InquiryResultRequestC::InquiryResultRequestC(InquiryTypeT unInquiryType, uint8_t unRemaining)
    : OpalDeviceRequestC("AGI", RF_RESPONSE_ONLY, TIMEOUT_MS), m_unInquiryType(unInquiryType),
      m_unRemaining(unRemaining) {
    if (unInquiryType <= IT_INVALID) {
        reportRequestAssertion("unInquiryType > IT_INVALID", __LINE__);
        return;
    }
    addResponseParam(&m_address);
    addResponseParam(&m_classOfDevice);
    if (unInquiryType >= IT_WITH_DETAILS) {
        addResponseParam(&m_flag);
        addResponseParam(&m_text);
        addResponseParam(&m_number);
    }
}

// Destroys the members behind this one.
InquiryResultRequestC::~InquiryResultRequestC() = default;

OpalDeviceRequestC* InquiryResultRequestC::getSiblingRequest() {
    if (!m_pSibling && m_unRemaining > 0) {
        m_pSibling = std::make_unique<InquiryResultRequestC>(
            m_unInquiryType, static_cast<uint8_t>(m_unRemaining - 1));
    }
    return m_pSibling.get();
}

bool InquiryResultRequestC::isIntermediate() const {
    return true;
}

} // namespace ORC::CFG
