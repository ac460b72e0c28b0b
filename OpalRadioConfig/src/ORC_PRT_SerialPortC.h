#pragma once

#include "Fwk_Uti/FWK_UTI_StringC.h"
#include "ORC_CFG_Types.h"
#include "ORC_PRT_PortBaseC.h"
#include "platform/SerialDevice.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace ORC::PRT {

// A COM port: keeps the port name and the line settings in the module's codes, opens and
// configures the device, reads on the reader thread and reconfigures the open device whenever a
// setting changes.
class SerialPortC : public PortBaseC {
public:
    static constexpr uint32_t READ_CHUNK_SIZE = 102400;
    static constexpr uint32_t DEFAULT_QUEUE_SIZE = 4096;
    // Total read and write time-outs: no call on the device blocks a thread longer.
    static constexpr uint32_t IO_TIMEOUT_MS = 200;
    static constexpr int OPEN_ATTEMPTS = 3;
    static constexpr uint32_t OPEN_RETRY_PAUSE_MS = 200;
    // Purge flags; only the receive ones discard anything (see FlushBuffers).
    static constexpr uint16_t PURGE_TXABORT = 0x0001;
    static constexpr uint16_t PURGE_RXABORT = 0x0002;
    static constexpr uint16_t PURGE_TXCLEAR = 0x0004;
    static constexpr uint16_t PURGE_RXCLEAR = 0x0008;

    // A smaller chunk lets tests reach the burst rule on a pty, whose input queue holds far less
    // than a whole chunk.
    explicit SerialPortC(uint32_t ulReadChunkSize = READ_CHUNK_SIZE);
    ~SerialPortC() override;

    bool Connect() override;
    bool Disconnect() override;
    bool IsConnected() override;
    void ConfigureReadWriteBuffers(uint32_t ulInQueueSize, uint32_t ulOutQueueSize) override;
    bool Write(const char* pData, uint32_t ulLength) override;
    void Read() override;

    virtual void FlushBuffers(uint16_t usPurgeFlags);
    virtual void SetBaudrate(uint32_t ulBaudrate);
    virtual void SetPortName(const FWK::UTI::StringC& rName);
    virtual void EnableRtsCts(bool bEnable);
    virtual void EnableDtrDsr(bool bEnable);
    virtual void SetRs232Settings(int32_t lBaudrate, int32_t lDataBits, int32_t lStopBits,
                                  int32_t lParity, int32_t lFlowControl, bool bDtrDsr);
    virtual void GetRs232Settings(CFG::RS232SettingsS& rSettings);
    // What a wait for the module's answer adds to its time-out: the measured round trip and a
    // margin on a network port, 0 on a local one.
    uint32_t FarEndAllowanceMs() const;
    // The measured round trip of a network port's link; 0 on a local one.
    uint32_t RoundTripMs() const;

    // The rate of a baud code, 0 for a code without one; and back, 0 for a rate without a code.
    static uint32_t rateOfBaudCode(int32_t lCode);
    static int32_t baudCodeOfRate(uint32_t ulRate);
    // The line settings that the codes ask for, on top of those in force on the device. Codes
    // outside the tables fall back to 8 data bits, no parity, one stop bit and are reported.
    static oryx::platform::LineSettings lineSettingsFor(const CFG::RS232SettingsS& rCodes,
                                                        oryx::platform::LineSettings line);

private:
    bool ConfigureComPort();
    bool WaitUntilRead();
    bool ReadFromComPort(char* pBuffer, uint32_t& rulLength, bool& rbMoreData);
    bool WriteToComPort(const char* pData, uint32_t ulLength);

    bool openWithRetries();
    void closeDevice();
    void reconfigureIfOpen();
    void pauseAfterDeviceGone();
    std::string narrowPortName() const;
    CFG::RS232SettingsS storedCodes() const;

    FWK::UTI::StringC m_strPortName;
    int32_t m_lBaudrate = CFG::BAUD_115200;
    int32_t m_lDataBits = CFG::DATA_BITS_8;
    int32_t m_lStopBits = CFG::STOP_BITS_1;
    int32_t m_lParity = CFG::PARITY_NONE;
    int32_t m_lFlowControl = CFG::FLOW_NONE;
    bool m_bDtr = false;
    uint32_t m_ulInQueueSize = DEFAULT_QUEUE_SIZE;
    uint32_t m_ulOutQueueSize = DEFAULT_QUEUE_SIZE;
    oryx::platform::SerialDevice m_device;
    const uint32_t m_ulReadChunkSize;

    // Held by the reader for each call on the device and by closeDevice, so that the reader
    // never uses a descriptor that has been closed (and perhaps reused) under it.
    std::mutex m_deviceLock;
    // Reader thread only: the last wait found the device gone.
    bool m_bDeviceGone = false;
};

} // namespace ORC::PRT
