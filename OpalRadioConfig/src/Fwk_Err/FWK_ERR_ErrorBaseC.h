#pragma once

#include <cstdint>
#include <exception>

namespace ERR {

// Base of the framework's exceptions. An error always carries its code; it carries a message
// text only while the process-wide text switch is on, so that errors stay cheap by default.
class ErrorBaseC : public std::exception {
public:
    static constexpr int MESSAGE_BUFFER_LEN = 240;

    ErrorBaseC(int32_t lCode, const char* pszText);
    ErrorBaseC(const ErrorBaseC& rOther);
    ErrorBaseC& operator=(const ErrorBaseC&) = delete;
    ~ErrorBaseC() override;

    const char* what() const noexcept override;
    int32_t code() const { return m_lCode; }

    void appendText(const char* pszText);
    void appendNumber(unsigned long ulNumber);

    // The switch is read when an error is constructed; nothing in the system turns it on.
    static void setMessageTextEnabled(bool bEnabled);
    static bool isMessageTextEnabled();

private:
    void allocateBufferIfEnabled();

    int32_t m_lCode;
    char* m_pszMessage = nullptr;
    int32_t m_lWritePos = MESSAGE_BUFFER_LEN;
    int32_t m_lReserved = 0;
};

} // namespace ERR
