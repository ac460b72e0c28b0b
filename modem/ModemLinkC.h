#pragma once

#include "modem/ModemResultC.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class EventLogFileC;
namespace oryx::platform {
class SerialDevice;
}

// The synchronous serial link to a radio modem: small blocking primitives that each report
// a result code and write their own error line to the event log, and RadioCommand, which
// frames one command and decodes the hexadecimal value of the reply. It knows nothing of the
// dialog: whoever opens it names the port, and tells the user when the open fails.
class ModemLinkC {
public:
    static constexpr size_t kBufferSize = 200;
    static constexpr char CR = 13;
    static constexpr char LF = 10;

    struct LineStatusS {
        bool ok = false;        // the query itself worked
        bool lineError = false; // the driver saw a line error (or the device vanished)
        unsigned inQueue = 0;   // bytes waiting to be read
    };

    explicit ModemLinkC(EventLogFileC& log);
    ~ModemLinkC();
    ModemLinkC(const ModemLinkC&) = delete;
    ModemLinkC& operator=(const ModemLinkC&) = delete;

    // RC_PORT_SETUP_FAILED when the device does not open (openError() says why) or refuses the
    // line settings (the handle then stays valid until CloseModemPort).
    int OpenModemPort(const std::string& portText, const std::string& baudText);
    int CloseModemPort();
    int ReadChar(char& byte);
    int WriteStr(const char* text);
    void PortWrite(char byte);
    int ReadStr(char* buffer, size_t size);
    int ReadTerminatedStr(char* buffer, size_t size, char terminator);
    int FilterBuffer(char* buffer, size_t size, char start);
    static int HexToInt(const char* text);
    int RadioCommand(const char* command, int& value);
    // The value of a reply read up to its prompt: the echo of the sent command is dropped, a
    // refusal gives RC_UNDEFINED. The reply is filtered in place.
    int DecodeReply(char* reply, size_t size, const char* sent, int& value);

    // WriteStr followed by CR and LF, the end of every command line; each failing write has
    // logged itself. Returns the result of writing the text.
    int SendLine(const char* text);
    // Called before each text is written, so that whoever waits for a whole exchange (a
    // dialog that keeps painting) gets a look in between its commands.
    void SetBeforeEachWrite(std::function<void()> hook) { beforeEachWrite_ = std::move(hook); }
    // Discards the driver's transmit and receive queues. With synchronous I/O nothing else is
    // pending, so this is also the purge of everything.
    void PurgeQueues();
    // Queries and clears the driver's error state and queue counts.
    LineStatusS ClearCommError();
    // Switches the open port to another baud rate; false when the device refuses it.
    bool SetBaudRate(const std::string& baudText);

    bool HandleValid() const;
    // The measured round trip of a network port's link; zero on a local port.
    std::chrono::milliseconds RoundTrip() const;
    bool modemPortOpen() const { return portOpen_; }
    // The platform's error code of the last open that failed; 0 after an open that worked.
    int openError() const { return openError_; }
    // The platform's sentence for that error; empty after an open that worked.
    const std::string& openErrorText() const { return openErrorText_; }

private:
    bool WaitForFirstReplyByte();
    // A wait for the radio's answer: its time on a local line, plus the link's round trip and
    // margin on a network port.
    std::chrono::milliseconds FarEndWait(std::chrono::milliseconds usual) const;

    EventLogFileC& log_;
    std::unique_ptr<oryx::platform::SerialDevice> device_;
    bool portOpen_ = false;
    int openError_ = 0;
    std::string openErrorText_;
    std::function<void()> beforeEachWrite_;
};
