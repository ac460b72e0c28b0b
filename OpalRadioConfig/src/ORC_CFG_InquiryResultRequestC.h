#pragma once

#include "ORC_CFG_BasicStringResponseParamC.h"
#include "ORC_CFG_BoolResponseParamC.h"
#include "ORC_CFG_NumberResponseParamC.h"
#include "ORC_CFG_OpalDeviceRequestC.h"

#include <cstdint>
#include <memory>

namespace ORC::CFG {

// The module's inquiry type; 0 is no type.
using InquiryTypeT = uint8_t;
constexpr InquiryTypeT IT_INVALID = 0;

// One result line of an inquiry ("*AGI:address,class..." CR LF). Never sent: it cuts the line it
// is handed and passes the rest of the answer on to the next member of the chain, which it
// creates on demand while the chain may still grow.
class InquiryResultRequestC : public OpalDeviceRequestC {
public:
    static constexpr uint32_t TIMEOUT_MS = 1000;

    // Remaining: how many further members may follow this one.
    InquiryResultRequestC(InquiryTypeT unInquiryType, uint8_t unRemaining);
    ~InquiryResultRequestC() override;

    OpalDeviceRequestC* getSiblingRequest() override;
    bool isIntermediate() const override;

    const BasicStringResponseParamC& getAddress() const { return m_address; }
    const NumberResponseParamC& getClassOfDevice() const { return m_classOfDevice; }

private:
    std::unique_ptr<InquiryResultRequestC> m_pSibling;
    InquiryTypeT m_unInquiryType;
    uint8_t m_unRemaining;
    BasicStringResponseParamC m_address;
    NumberResponseParamC m_classOfDevice;
    BoolResponseParamC m_flag;
    BasicStringResponseParamC m_text;
    NumberResponseParamC m_number;
};

} // namespace ORC::CFG
