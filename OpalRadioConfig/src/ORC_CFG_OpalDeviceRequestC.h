#pragma once

#include "ORC_CFG_OpalDeviceProcC.h"
#include "ORC_CFG_ResponseParamI.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ORC::CFG {

// How a command line is built from the command word.
enum RequestFormT : int32_t {
    RF_RESPONSE_ONLY = 1, // no command line: collects an answer that another request caused
    RF_PLAIN = 2,         // word + CR
    RF_TRANSPARENT = 3,   // the caller's text + CR
    RF_QUERY = 4,         // "AT*" + word + "?" + CR
    RF_SET = 5,           // "AT*" + word + "=", the parameters, CR once closed
    RF_ACTION = 6,        // "AT*" + word + CR
};

// One exchange with the module: the command line to write, the parameters its answer is cut
// into, and (as its own response processor) the collected answer and the result.
//
//   OpalDeviceRequestC request("AGLN", RF_SET, 1000);
//   request.appendString("Radio 7", true);
//   request.appendByte(1);
//   request.closeCommand();                    // "AT*AGLN=\"Radio 7\",1\r"
//
// A request that was misused, or whose parameters did not fit into the command line, stays
// incomplete for good and is never sent.
class OpalDeviceRequestC : public OpalDeviceProcC {
public:
    static constexpr size_t COMMAND_LEN = 65;
    static constexpr size_t NAME_LEN = 7;
    static constexpr size_t PREFIX_LEN = 65;

    // For RF_TRANSPARENT the word is the whole command text.
    OpalDeviceRequestC(const char* pszWord, RequestFormT eForm, uint32_t ulTimeout);
    ~OpalDeviceRequestC() override;

    virtual const char* getCommand() const;
    virtual const char* getName() const;
    virtual const char* getResponse() const;
    // Null when the request has none.
    virtual const char* getResponsePrefix() const;
    virtual const char* getTerminator() const;
    virtual const std::vector<ResponseParamI*>& getResponseParams() const;
    // A request whose answer continues in further requests; may create it on demand.
    virtual OpalDeviceRequestC* getSiblingRequest();
    virtual bool isIntermediate() const;
    virtual uint32_t getTimeout() const;
    // Marking the request handled wakes its caller once the result is decided and every
    // sibling is handled too.
    virtual void setHandled(bool bHandled);

    bool isComplete() const { return m_bComplete; }
    bool isRawForm() const { return m_eForm == RF_PLAIN; }
    bool isHandled() const { return m_bHandled; }
    bool isChainHandled();

    // A text holding a double quote, a byte below 0x20 or 0x7F refuses the request: quoted or
    // not, it would change the command line's meaning on the wire.
    void appendString(const char* pszText, bool bQuoted);
    void appendNumber(int32_t lValue);
    void appendByte(uint8_t unValue);
    void closeCommand();
    // Not owned: the caller keeps the parameter alive as long as the request.
    void addResponseParam(ResponseParamI* pParam);

protected:
    // For a request that decides on its own when to wake its caller.
    void forceHandled(bool bHandled) { m_bHandled = bHandled; }

private:
    void buildTransparent(const char* pszText);
    void buildFromWord(const char* pszWord);
    bool mayAppend(int iLine);
    void appendParameter(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    // Reports the assertion and makes sure the request is never sent.
    void refuse(const char* pszExpression, int iLine);

    std::vector<ResponseParamI*> m_vecParams;
    char m_szCommand[COMMAND_LEN];
    char m_szName[NAME_LEN];
    char m_szResponsePrefix[PREFIX_LEN];
    RequestFormT m_eForm;
    bool m_bComplete;
    bool m_bHandled;
    uint32_t m_ulTimeout;
    // Set by a misuse or a parameter that did not fit: closeCommand can no longer complete the
    // request.
    bool m_bRefused;
};

} // namespace ORC::CFG
