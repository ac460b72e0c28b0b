#pragma once

#include "Fwk_Bio/FWK_BIO_ReadConsumerC.h"
#include "Fwk_Bio/FWK_BIO_ReaderC.h"
#include "Fwk_Bio/FWK_BIO_XferProcC.h"

#include <cstdint>

namespace FWK::DBG {
class PerformanceLogC;
}

namespace ORC::CFG {

class OpalDeviceRequestC;

// Turns the bytes the module sends back into the outcome of one request: collects them, drops
// the echo of the command line, waits for the final answer, cuts the parameter block into the
// request's parameters and marks the request handled, which wakes its caller.
//
// The answer is collected into one fixed buffer; consumed bytes are never reused, so a request
// takes at most MAX_RESPONSE bytes in all. Runs on the port's reader thread.
class OpalDeviceProcC : public FWK::BIO::XferProcC<FWK::BIO::ReadConsumerC, FWK::BIO::ReaderC> {
public:
    static constexpr uint16_t MAX_RESPONSE = 2000;

    explicit OpalDeviceProcC(OpalDeviceRequestC* pRequest);
    ~OpalDeviceProcC() override;

    void procReadData(const char* pData, uint32_t ulLength) override;

    // CFG_TIMEOUT until the processing has decided.
    int32_t getResult() const { return m_lResult; }
    // The collected text not yet consumed, NUL-terminated.
    const char* getUnconsumed() const { return m_pszResponse; }
    uint16_t getFillCount() const { return m_unFillCount; }

protected:
    // Bytes beyond the buffer's end are dropped.
    void append(const char* pData, uint32_t ulLength);
    void consume(uint32_t unCount);
    // Position relative to the unconsumed text, or -1. Quote-aware, an occurrence between a
    // double quote and the next one is skipped.
    int32_t find(const char* pszText, bool bQuoteAware) const;
    // The parameter block: from behind the response prefix to the terminator.
    int32_t findResponse(int32_t& rlStart, int32_t& rlEnd);

    OpalDeviceRequestC* m_pRequest;
    int32_t m_lResult;
    uint16_t m_unFillCount;
    char* m_pszResponse;
    char m_szBuffer[MAX_RESPONSE + 1];

private:
    bool holdsInvariant() const;
    bool hasRoomLeft() const;
    void removeEcho();
    void completeAnswer(FWK::DBG::PerformanceLogC& rTrace);
    void cutParameters(FWK::DBG::PerformanceLogC& rTrace);
    // False when the request has no sibling.
    bool forwardToSibling(FWK::DBG::PerformanceLogC& rTrace, const char* pData, uint32_t ulLength);
    void dumpCollected(FWK::DBG::PerformanceLogC& rTrace);
    void dumpRemaining(FWK::DBG::PerformanceLogC& rTrace);
};

} // namespace ORC::CFG
