#pragma once

#include <cstdint>

namespace ERR {

// A host's reaction to assertion and panic reports. A panic handler cannot stop the process
// from ending; it can only record or signal something first.
class SysPanicHandlerI {
public:
    virtual ~SysPanicHandlerI() = default;

    virtual void panic(const char* pszFormat, long lType, unsigned long ulDetail1,
                       unsigned long ulDetail2, const char* pszFile, int iLine) = 0;
    virtual void assertion(const char* pszExpression, unsigned long ulDetail1,
                           unsigned long ulDetail2, const char* pszFile, int iLine) = 0;
    virtual void onStateChange(int32_t /*lState*/) {}

    void setState(int32_t lState) {
        m_lState = lState;
        onStateChange(lState);
    }
    int32_t state() const { return m_lState; }

private:
    int32_t m_lState = 0;
};

} // namespace ERR
