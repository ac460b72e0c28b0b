#include "ORC_PRT_SerialPortC.h"

#include "FWK_DBG_PerformanceLogC.h"
#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Uti/FWK_UTI_UnicodeStringTools.h"
#include "platform/Waker.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <poll.h>
#include <thread>
#include <vector>

namespace ORC::PRT {

namespace {
FWK::DBG::PerformanceLoggableC s_loggable("SerialPortC");

using FWK::DBG::endLine;
using oryx::platform::WaitOutcome;

// Where a code outside the tables is reported.
constexpr const char* ASSERT_SOURCE = "ORC_PRT_SerialPort";

// A read that found nothing queued waits this long before the loop asks again.
constexpr auto EMPTY_READ_PAUSE = std::chrono::milliseconds(20);
// Configured devices are given this long to settle.
constexpr auto CONFIGURE_SETTLE = std::chrono::milliseconds(100);
// An unplugged adapter reports itself gone at once on every poll; without a pause the reader
// would spin a core until the port is closed.
constexpr int DEVICE_GONE_PAUSE_MS = 200;

struct BaudCodeS {
    int32_t lCode;
    uint32_t ulRate;
};
constexpr std::array<BaudCodeS, 6> BAUD_CODES{{{CFG::BAUD_4800, 4800},
                                               {CFG::BAUD_9600, 9600},
                                               {CFG::BAUD_19200, 19200},
                                               {CFG::BAUD_57600, 57600},
                                               {CFG::BAUD_115200, 115200},
                                               {CFG::BAUD_921600, 921600}}};

void reportUnknownCode(int iLine) {
    ERR::assertReportExpression("false", ASSERT_SOURCE, iLine);
}

int dataBitsOfCode(int32_t lCode) {
    switch (lCode) {
    case CFG::DATA_BITS_8:
        return 8;
    case CFG::DATA_BITS_7:
        return 7;
    case CFG::DATA_BITS_6:
        return 6;
    case CFG::DATA_BITS_5:
        return 5;
    default:
        reportUnknownCode(__LINE__);
        return 8;
    }
}

oryx::platform::Parity parityOfCode(int32_t lCode) {
    switch (lCode) {
    case CFG::PARITY_NONE:
        return oryx::platform::Parity::None;
    case CFG::PARITY_ODD:
        return oryx::platform::Parity::Odd;
    case CFG::PARITY_EVEN:
        return oryx::platform::Parity::Even;
    default:
        reportUnknownCode(__LINE__);
        return oryx::platform::Parity::None;
    }
}

oryx::platform::StopBits stopBitsOfCode(int32_t lCode) {
    switch (lCode) {
    case CFG::STOP_BITS_1:
        return oryx::platform::StopBits::One;
    case CFG::STOP_BITS_2:
        return oryx::platform::StopBits::Two;
    default:
        reportUnknownCode(__LINE__);
        return oryx::platform::StopBits::One;
    }
}
} // namespace

SerialPortC::SerialPortC(uint32_t ulReadChunkSize)
    : m_ulReadChunkSize(std::max<uint32_t>(ulReadChunkSize, 1)) {}

SerialPortC::~SerialPortC() {
    Disconnect();
    waitForLateReader();
    closeDevice();
}

uint32_t SerialPortC::rateOfBaudCode(int32_t lCode) {
    for (const BaudCodeS& rEntry : BAUD_CODES) {
        if (rEntry.lCode == lCode) {
            return rEntry.ulRate;
        }
    }
    return 0;
}

int32_t SerialPortC::baudCodeOfRate(uint32_t ulRate) {
    for (const BaudCodeS& rEntry : BAUD_CODES) {
        if (rEntry.ulRate == ulRate) {
            return rEntry.lCode;
        }
    }
    return 0;
}

oryx::platform::LineSettings SerialPortC::lineSettingsFor(const CFG::RS232SettingsS& rCodes,
                                                          oryx::platform::LineSettings line) {
    // A code without a rate asks for 0, which the device refuses.
    line.baudRate = rateOfBaudCode(rCodes.m_lBaudRate);
    line.rtsCtsHandshake = rCodes.m_lFlowControl == CFG::FLOW_RTS_CTS;
    if (!line.rtsCtsHandshake) {
        line.rtsOn = true;
    }
    line.dataBits = dataBitsOfCode(rCodes.m_lDataBits);
    line.parity = parityOfCode(rCodes.m_lParity);
    line.stopBits = stopBitsOfCode(rCodes.m_lStopBits);
    line.dtrOn = rCodes.m_bDtrDsr;
    return line;
}

bool SerialPortC::Connect() {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::Connect");
    if (m_device.isOpen()) {
        Disconnect();
    }
    const std::string strName = narrowPortName();
    for (int i = 0; i < OPEN_ATTEMPTS && !m_device.isOpen(); ++i) {
        const oryx::platform::SerialError error = m_device.open(strName);
        if (!error.ok()) {
            trace << "Open port failed: " << std::hex << error.code << endLine;
            std::this_thread::sleep_for(std::chrono::milliseconds(OPEN_RETRY_PAUSE_MS));
        }
    }
    if (!m_device.isOpen() || !ConfigureComPort()) {
        return false;
    }
    return StartReading();
}

bool SerialPortC::Disconnect() {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::Disconnect");
    // The reader goes first, so that it never polls or reads a descriptor that is closed.
    const bool bStopped = StopReading();
    closeDevice();
    return bStopped;
}

void SerialPortC::closeDevice() {
    std::lock_guard lock(m_deviceLock);
    m_device.close();
}

bool SerialPortC::IsConnected() {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::IsConnected");
    return m_device.isOpen() && isReading();
}

uint32_t SerialPortC::FarEndAllowanceMs() const {
    return static_cast<uint32_t>(m_device.farEndAllowance().count());
}

uint32_t SerialPortC::RoundTripMs() const {
    return static_cast<uint32_t>(m_device.roundTrip().count());
}

void SerialPortC::ConfigureReadWriteBuffers(uint32_t ulInQueueSize, uint32_t ulOutQueueSize) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::ConfigureReadWriteBuffers");
    if (ulInQueueSize == m_ulInQueueSize && ulOutQueueSize == m_ulOutQueueSize) {
        return;
    }
    m_ulInQueueSize = ulInQueueSize;
    m_ulOutQueueSize = ulOutQueueSize;
    if (m_device.isOpen()) {
        Disconnect();
        Connect();
    }
}

void SerialPortC::GetRs232Settings(CFG::RS232SettingsS& rSettings) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::GetRs232Settings");
    rSettings = storedCodes();
}

CFG::RS232SettingsS SerialPortC::storedCodes() const {
    CFG::RS232SettingsS codes;
    codes.m_lBaudRate = m_lBaudrate;
    codes.m_lDataBits = m_lDataBits;
    codes.m_lStopBits = m_lStopBits;
    codes.m_lParity = m_lParity;
    codes.m_lFlowControl = m_lFlowControl;
    codes.m_bDtrDsr = m_bDtr;
    return codes;
}

void SerialPortC::SetPortName(const FWK::UTI::StringC& rName) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::SetPortName");
    m_strPortName = rName;
}

std::string SerialPortC::narrowPortName() const {
    return FWK::UTI::toNarrow(std::u16string(m_strPortName.GetString()));
}

bool SerialPortC::WaitUntilRead() {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::WaitUntilRead");
    m_bDeviceGone = false;
    while (isReading()) {
        std::lock_guard lock(m_deviceLock);
        if (!isReading()) {
            break;
        }
        switch (m_device.waitForInputOrError(oryx::platform::SerialDevice::kWaitForever,
                                             &readerWaker())) {
        case WaitOutcome::Input:
            return true;
        case WaitOutcome::LineError:
            // The status query takes the errors as reported; only queued bytes count.
            if (m_device.queueStatus().inQueue > 0) {
                return true;
            }
            break;
        case WaitOutcome::Woken:
        case WaitOutcome::TimedOut:
            break;
        case WaitOutcome::DeviceGone:
        case WaitOutcome::NotOpen:
            m_bDeviceGone = true;
            return false;
        }
    }
    return false;
}

void SerialPortC::pauseAfterDeviceGone() {
    // Ends early when StopReading wakes the reader; the wake stays pending for the next wait.
    pollfd wake{readerWaker().fd(), POLLIN, 0};
    ::poll(&wake, 1, DEVICE_GONE_PAUSE_MS);
}

void SerialPortC::Read() {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::Read");
    std::vector<char> buffer(m_ulReadChunkSize, 0);
    while (isReading()) {
        if (!WaitUntilRead()) {
            if (m_bDeviceGone) {
                pauseAfterDeviceGone();
            }
            continue;
        }
        uint32_t ulRequested = m_ulReadChunkSize;
        uint32_t ulUsed = 0;
        bool bMoreData = false;
        do {
            uint32_t ulLength = ulRequested;
            ReadFromComPort(buffer.data(), ulLength, bMoreData);
            if (ulLength == 0) {
                std::this_thread::sleep_for(EMPTY_READ_PAUSE);
                if (!bMoreData) {
                    break;
                }
                continue;
            }
            deliver(buffer.data(), ulLength);
            ulUsed = std::max(ulUsed, ulLength);
            ulRequested = ulLength;
        } while (bMoreData && isReading());
        std::memset(buffer.data(), 0, ulUsed);
    }
}

bool SerialPortC::ReadFromComPort(char* pBuffer, uint32_t& rulLength, bool& rbMoreData) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::ReadFromComPort");
    if (rulLength == 0) {
        return false;
    }
    std::lock_guard lock(m_deviceLock);
    // Only the count of queued bytes matters here; the full status query would cost two more
    // calls on every chunk, and line errors are taken where the wait reports them.
    const std::optional<std::size_t> queued = m_device.bytesWaiting();
    if (!queued) {
        rulLength = 0;
        rbMoreData = false;
        return false;
    }
    const uint32_t ulQueued = static_cast<uint32_t>(std::min<std::size_t>(*queued, UINT32_MAX));
    rbMoreData = rulLength < ulQueued;
    const uint32_t ulWanted = rbMoreData ? rulLength : ulQueued;
    oryx::platform::IoResult result;
    if (ulWanted > 0) {
        result = m_device.read(pBuffer, ulWanted);
    }
    // Bytes that arrived before a failure are still handed on.
    rulLength = static_cast<uint32_t>(result.count);
    if (!result.error.ok()) {
        rbMoreData = false;
    }
    {
        FWK::DBG::PerformanceLogC readTrace(&s_loggable, "ReadFile");
        readTrace << "read " << static_cast<unsigned long>(rulLength) << " bytes." << endLine;
    }
    return rulLength > 0;
}

bool SerialPortC::Write(const char* pData, uint32_t ulLength) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::Write");
    return WriteToComPort(pData, ulLength);
}

bool SerialPortC::WriteToComPort(const char* pData, uint32_t ulLength) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::WriteToComPort");
    if (!m_device.isOpen()) {
        return false;
    }
    {
        FWK::DBG::PerformanceLogC writeTrace(&s_loggable, "WriteFile");
        writeTrace << "writing " << static_cast<unsigned long>(ulLength) << " bytes" << endLine;
    }
    const oryx::platform::IoResult result = m_device.write(pData, ulLength);
    // A command cut short by the write time-out did not reach the module: that is a failure.
    return result.error.ok() && result.count == ulLength;
}

bool SerialPortC::ConfigureComPort() {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::ConfigureComPort");
    oryx::platform::LineSettings line;
    if (!m_device.isOpen() || !m_device.readSettings(line).ok()) {
        return false;
    }
    line = lineSettingsFor(storedCodes(), line);
    if (!m_device.configure(line).ok()) {
        return false;
    }
    // The driver sizes its own queues and the reader polls for input and line errors, so the
    // queue sizes and the event mask need no call here.
    m_device.setTimeouts({0, 0, IO_TIMEOUT_MS, 0, IO_TIMEOUT_MS});
    std::this_thread::sleep_for(CONFIGURE_SETTLE);
    return true;
}

void SerialPortC::reconfigureIfOpen() {
    if (m_device.isOpen()) {
        ConfigureComPort();
    }
}

void SerialPortC::SetBaudrate(uint32_t ulBaudrate) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::SetBaudrate");
    if (const int32_t lCode = baudCodeOfRate(ulBaudrate); lCode != 0) {
        m_lBaudrate = lCode;
    }
    reconfigureIfOpen();
}

void SerialPortC::EnableRtsCts(bool bEnable) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::EnableRtsCts");
    m_lFlowControl = bEnable ? CFG::FLOW_RTS_CTS : CFG::FLOW_NONE;
    reconfigureIfOpen();
}

void SerialPortC::EnableDtrDsr(bool bEnable) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::EnableDtrDsr");
    m_bDtr = bEnable;
    reconfigureIfOpen();
}

void SerialPortC::SetRs232Settings(int32_t lBaudrate, int32_t lDataBits, int32_t lStopBits,
                                   int32_t lParity, int32_t lFlowControl, bool bDtrDsr) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::SetRs232Settings");
    m_lBaudrate = lBaudrate;
    m_lDataBits = lDataBits;
    m_lStopBits = lStopBits;
    m_lParity = lParity;
    m_lFlowControl = lFlowControl;
    m_bDtr = bDtrDsr;
    reconfigureIfOpen();
}

void SerialPortC::FlushBuffers(uint16_t usPurgeFlags) {
    FWK::DBG::PerformanceLogC trace(&s_loggable, "SerialPortC::FlushBuffers");
    if (!m_device.isOpen()) {
        return;
    }
    // Writes return only when their bytes have left the program, so a transmit purge has
    // nothing of ours to discard; flushing the driver's output would drop a command the far end
    // has not taken yet.
    const bool bReceive = (usPurgeFlags & (PURGE_RXABORT | PURGE_RXCLEAR)) != 0;
    const bool bTransmit = (usPurgeFlags & (PURGE_TXABORT | PURGE_TXCLEAR)) != 0;
    if (const oryx::platform::SerialError error = m_device.purge(bReceive, bTransmit);
        !error.ok()) {
        trace << "ORC::PRT::SerialPortC::FlushBuffers: error in PurgeComm: " << std::hex
              << error.code << endLine;
    }
    if (const oryx::platform::QueueStatus status = m_device.queueStatus(); !status.error.ok()) {
        trace << "ORC::PRT::SerialPortC::FlushBuffers: error in ClearCommError: " << std::hex
              << status.error.code << endLine;
    }
}

} // namespace ORC::PRT
