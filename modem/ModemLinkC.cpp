#include "modem/ModemLinkC.h"

#include "common/EventLogFileC.h"
#include "platform/SerialDevice.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

using oryx::platform::CommTimeouts;
using oryx::platform::LineSettings;
using oryx::platform::SerialDevice;

// A one-byte read gives up after 110 ms; a read-until-quiet ends 110 ms after the last byte.
constexpr CommTimeouts kLinkTimeouts{100, 10, 100, 10, 100};
constexpr auto kReadConstant = std::chrono::milliseconds(kLinkTimeouts.readTotalConstant);
constexpr auto kFirstReplyByteWait = std::chrono::milliseconds(110);

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string Formatted(const char* format, const char* text, size_t length) {
    char line[ModemLinkC::kBufferSize + 64];
    std::snprintf(line, sizeof line, format, text, static_cast<int>(length));
    return line;
}

} // namespace

ModemLinkC::ModemLinkC(EventLogFileC& log) : log_(log), device_(std::make_unique<SerialDevice>()) {}

ModemLinkC::~ModemLinkC() = default;

bool ModemLinkC::HandleValid() const {
    return device_->isOpen();
}

int ModemLinkC::OpenModemPort(const std::string& portText, const std::string& baudText) {
    if (HandleValid()) {
        CloseModemPort();
    }
    oryx::platform::SerialError opened = device_->open(portText);
    openError_ = opened.code;
    openErrorText_ = opened.message;
    SleepMs(200);
    PurgeQueues();
    if (!opened.ok()) {
        return RC_PORT_SETUP_FAILED;
    }
    LineSettings settings;
    device_->readSettings(settings);
    settings.baudRate = static_cast<uint32_t>(std::strtoul(baudText.c_str(), nullptr, 10));
    settings.dataBits = 8;
    settings.parity = oryx::platform::Parity::None;
    settings.stopBits = oryx::platform::StopBits::One;
    settings.rtsCtsHandshake = false;
    settings.dtrOn = true;
    settings.rtsOn = true;
    if (!device_->configure(settings).ok()) {
        return RC_PORT_SETUP_FAILED;
    }
    device_->setTimeouts(kLinkTimeouts);
    portOpen_ = true;
    return RC_OK;
}

int ModemLinkC::CloseModemPort() {
    device_->close();
    portOpen_ = false;
    return RC_OK;
}

int ModemLinkC::ReadChar(char& byte) {
    if (!HandleValid()) {
        log_.Log("ERROR: ReadChar RC_PORT_NOT_OPEN.");
        return RC_PORT_NOT_OPEN;
    }
    // Every byte read is a wait for the radio; the link's round trip is kept current while
    // the port is in use, so the time-out follows it.
    CommTimeouts timeouts = kLinkTimeouts;
    timeouts.readTotalConstant = static_cast<std::uint32_t>(FarEndWait(kReadConstant).count());
    device_->setTimeouts(timeouts);
    oryx::platform::IoResult result = device_->read(&byte, 1);
    if (!result.error.ok()) {
        log_.Log("ERROR: ReadChar RC_UNDEFINED.");
        return RC_UNDEFINED;
    }
    return result.count == 1 ? RC_OK : RC_NO_CHAR;
}

int ModemLinkC::WriteStr(const char* text) {
    if (!HandleValid()) {
        log_.Log("ERROR: WriteStr RC_PORT_NOT_OPEN.");
        return RC_PORT_NOT_OPEN;
    }
    if (beforeEachWrite_) {
        beforeEachWrite_();
    }
    const size_t length = std::strlen(text);
    oryx::platform::IoResult result = device_->write(text, length);
    if (!result.error.ok()) {
        log_.Log("ERROR: WriteStr RC_UNDEFINED.");
        return RC_UNDEFINED;
    }
    if (result.count < length) {
        log_.Log("ERROR: WriteStr RC_NO_WRITE.");
        return RC_NO_WRITE;
    }
    return RC_OK;
}

void ModemLinkC::PortWrite(char byte) {
    oryx::platform::IoResult result = device_->write(&byte, 1);
    if (!result.error.ok() || result.count != 1) {
        char line[64];
        std::snprintf(line, sizeof line, "ERROR %u: PortWrite failed.",
                      static_cast<unsigned>(result.error.code));
        log_.Log(line);
    }
}

int ModemLinkC::SendLine(const char* text) {
    const int rc = WriteStr(text);
    PortWrite(CR);
    PortWrite(LF);
    return rc;
}

int ModemLinkC::ReadStr(char* buffer, size_t size) {
    if (!HandleValid()) {
        log_.Log("ERROR: ReadStr RC_PORT_NOT_OPEN.");
        return RC_PORT_NOT_OPEN;
    }
    if (size == 0) {
        return RC_BUFFER_FULL;
    }
    size_t stored = 0;
    char byte = 0;
    while (stored < size - 1 && ReadChar(byte) == RC_OK) {
        buffer[stored++] = byte;
    }
    buffer[stored] = '\0';
    if (stored == size - 1) {
        log_.Log("ERROR: ReadStr RC_BUFFER_FULL.");
        return RC_BUFFER_FULL;
    }
    return RC_OK;
}

int ModemLinkC::ReadTerminatedStr(char* buffer, size_t size, char terminator) {
    if (!HandleValid()) {
        log_.Log("ERROR: ReadTerminatedStr RC_PORT_NOT_OPEN.");
        return RC_PORT_NOT_OPEN;
    }
    if (size == 0) {
        return RC_UNDEFINED;
    }
    size_t stored = 0;
    char byte = 0;
    while (ReadChar(byte) == RC_OK && stored < size - 1) {
        if (byte == terminator) {
            buffer[stored] = '\0';
            log_.Log(Formatted("ReadTerminatedStr: %s Len= %d", buffer, std::strlen(buffer)));
            return RC_OK;
        }
        buffer[stored++] = byte;
    }
    buffer[stored] = '\0';
    log_.Log(Formatted("ERROR: ReadTerminatedStr: %s Len= %d", buffer, std::strlen(buffer)));
    return RC_UNDEFINED;
}

int ModemLinkC::FilterBuffer(char* buffer, size_t size, char start) {
    if (size == 0) {
        log_.Log("ERROR: FilterBuffer 1.");
        return 1;
    }
    std::vector<char> copy(buffer, buffer + size);
    size_t from = 0;
    while (from < size && copy[from] != start) {
        ++from;
    }
    if (from == size) {
        log_.Log("ERROR: FilterBuffer 1.");
        return 1;
    }
    size_t to = 0;
    for (; from < size; ++from) {
        const char c = copy[from];
        if (c == '\0') {
            buffer[to] = '\0';
            return 0;
        }
        if (from == size - 1) {
            break;
        }
        if (c != CR && c != LF) {
            buffer[to++] = c;
        }
    }
    buffer[to] = '\0';
    log_.Log("ERROR: FilterBuffer 2.");
    return 1;
}

int ModemLinkC::HexToInt(const char* text) {
    static const char digits[] = "0123456789ABCDEF";
    const size_t length = std::strlen(text);
    unsigned value = 0;
    for (size_t i = 0; i < length; ++i) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        const char* digit = upper != '\0' ? std::strchr(digits, upper) : nullptr;
        if (digit == nullptr) {
            continue;
        }
        value += static_cast<unsigned>(digit - digits);
        if (i + 1 < length) {
            value <<= 4;
        }
    }
    return static_cast<int>(value);
}

int ModemLinkC::RadioCommand(const char* command, int& value) {
    PurgeQueues();
    char drain[kBufferSize];
    if (ReadStr(drain, sizeof drain) != RC_OK) {
        log_.Log("ERROR: RadioCommand error 1");
        return RC_UNDEFINED;
    }
    char send[kBufferSize] = {};
    std::strncpy(send, command, sizeof send - 1);
    SendLine(send);

    char reply[kBufferSize] = {};
    if (!WaitForFirstReplyByte()) {
        log_.Log("ERROR: RadioCommand error 2");
        return RC_UNDEFINED;
    }
    SleepMs(50);
    if (ReadTerminatedStr(reply, sizeof reply, '>') != RC_OK) {
        log_.Log("ERROR: RadioCommand error 2");
        return RC_UNDEFINED;
    }
    return DecodeReply(reply, sizeof reply, send, value);
}

int ModemLinkC::DecodeReply(char* reply, size_t size, const char* sent, int& value) {
    FilterBuffer(reply, size, sent[0]);
    const size_t echoLength = std::strlen(sent);
    const char* answer = std::strlen(reply) >= echoLength ? reply + echoLength : "";
    // A radio that refuses a command says so instead of giving a value; taking "ERROR" as
    // hexadecimal would report a refused setting as done and read a made-up value.
    if (std::strcmp(answer, "ERROR") == 0) {
        log_.Log(std::string("ERROR: RadioCommand ") + sent + " refused by the radio");
        return RC_UNDEFINED;
    }
    value = HexToInt(answer);
    return RC_OK;
}

// A radio that never answers must not hold the dialog forever: the first byte gets the same
// time a one-byte read gets.
bool ModemLinkC::WaitForFirstReplyByte() {
    using oryx::platform::WaitOutcome;
    WaitOutcome outcome = device_->waitForInputOrError(FarEndWait(kFirstReplyByteWait));
    return outcome == WaitOutcome::Input || outcome == WaitOutcome::LineError;
}

std::chrono::milliseconds ModemLinkC::FarEndWait(std::chrono::milliseconds usual) const {
    return usual + device_->farEndAllowance();
}

std::chrono::milliseconds ModemLinkC::RoundTrip() const {
    return device_->roundTrip();
}

void ModemLinkC::PurgeQueues() {
    device_->purge(true, true);
}

ModemLinkC::LineStatusS ModemLinkC::ClearCommError() {
    oryx::platform::QueueStatus status = device_->queueStatus();
    LineStatusS result;
    result.ok = status.error.ok();
    result.lineError = status.errors != 0 || status.error.deviceGone();
    result.inQueue = static_cast<unsigned>(status.inQueue);
    return result;
}

bool ModemLinkC::SetBaudRate(const std::string& baudText) {
    LineSettings settings;
    if (!device_->readSettings(settings).ok()) {
        return false;
    }
    settings.baudRate = static_cast<uint32_t>(std::strtoul(baudText.c_str(), nullptr, 10));
    return device_->configure(settings).ok();
}
