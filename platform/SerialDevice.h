#pragma once

#include "platform/CommTimeouts.h"
#include "platform/LineSettings.h"
#include "platform/QueueStatus.h"
#include "platform/SerialError.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace oryx::platform {

class NetworkSerialPort;
class Waker;

struct IoResult {
    std::size_t count = 0;
    SerialError error;
};

enum class WaitOutcome { Input, LineError, Woken, TimedOut, DeviceGone, NotOpen };

// One serial line opened exclusively, in raw mode: a local tty, or for an rfc2217:// port text
// a port on a device server (NetworkSerialPort), which behaves the same to callers. Reads and
// writes block for as long as the CommTimeouts say and no longer. A reader thread and a writer
// thread may use one device at the same time; open() and close() must not race with a blocked call
// (stop the reader first).
class SerialDevice {
public:
    static constexpr std::chrono::milliseconds kWaitForever{-1};

    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens the device a port text names (see PortNames). A port another program holds does
    // not open (EBUSY).
    SerialError open(const std::string& portText);
    void close();
    bool isOpen() const;
    std::string portText() const;

    // Raw mode with these settings. A rate of 0, or one the device does not take, fails.
    SerialError configure(const LineSettings& settings);
    // The settings in force on the device now.
    SerialError readSettings(LineSettings& settings) const;
    SerialError setDtr(bool on);
    SerialError setRts(bool on);

    void setTimeouts(const CommTimeouts& timeouts);
    CommTimeouts timeouts() const;

    // Fewer bytes than asked with no error means a time-out ended the read.
    IoResult read(void* buffer, std::size_t size);
    // Returns once the bytes have left the program's side, or when the write budget is spent;
    // the count then says how many had gone, and whatever of them was still queued (flow
    // control holding it) is discarded, never sent later.
    IoResult write(const void* data, std::size_t size);

    // Bytes that a read takes at once; nothing when the device cannot tell.
    std::optional<std::size_t> bytesWaiting() const;
    // Bytes waiting both ways and the line errors since the previous call.
    QueueStatus queueStatus();
    // Discards unread input. Writes drain before they return or discard what they left queued,
    // so there is never program output left to discard; the transmit flag does nothing.
    SerialError purge(bool receive, bool transmit);
    // Waits until input is waiting, a line error occurred, the waker was woken or the time is
    // up. kWaitForever waits without a limit (use a waker to end it).
    WaitOutcome waitForInputOrError(std::chrono::milliseconds timeout, Waker* waker = nullptr);

    // The measured round trip of a network port's link; zero for a local port.
    std::chrono::milliseconds roundTrip() const;
    // What every wait for the far end's answer adds to the time-out the radio's protocol
    // gives it: on a network port the link's round trip and a margin for its jitter, on a local
    // port nothing, so local timing stays exactly as the protocol says.
    std::chrono::milliseconds farEndAllowance() const;

    // The tty's descriptor; for a network port one that polls readable while input waits.
    int nativeHandle() const;

    // The driver's running error counters; line errors are the changes between two readings.
    struct LineCounts {
        std::uint64_t frame = 0, parity = 0, overrun = 0, bufferOverrun = 0, brk = 0;
    };
    using LineCountReader = std::function<bool(int fd, LineCounts& counts)>;
    // Replaces the driver query (ptys have no counters); set it before the device is used.
    void setLineCountReader(LineCountReader reader) { m_lineCountReader = std::move(reader); }

private:
    enum class ReadStep { Complete, Waiting, Gone, Failed };

    // The operations themselves; the public ones also report to the wire trace (WireTap).
    SerialError openPort(const std::string& portText);
    void closePort();
    SerialError applySettings(const LineSettings& settings);
    SerialError switchDtr(bool on);
    SerialError switchRts(bool on);
    IoResult readBytes(void* buffer, std::size_t size);
    IoResult writeBytes(const void* data, std::size_t size);
    SerialError purgeQueues(bool receive, bool transmit);
    void traceError(const std::string& what, const SerialError& error) const;
    void traceOutcome(std::string_view tag, const std::string& detail,
                      const SerialError& error) const;

    SerialError openNetwork(const std::string& portText);
    NetworkSerialPort* network() const;
    ReadStep readWithoutWaiting(int fd, unsigned char* bytes, std::size_t size, std::size_t& total,
                                int& error);
    SerialError stepError(ReadStep step, int error) const;
    SerialError errorFor(int code) const;
    int currentFd() const;
    std::string shownName() const;
    SerialError setModemLine(int fd, int bit, bool on);
    static void discardAbandonedOutput(int fd);
    bool readLineCounts(int fd, LineCounts& counts) const;
    std::uint32_t lineErrorsSince(const LineCounts& now) const;
    // The line errors since the last report, which this one then is.
    std::uint32_t takeLineErrors(int fd);

    mutable std::mutex m_mutex;
    int m_fd = -1;
    std::string m_portText;
    std::string m_path;
    CommTimeouts m_timeouts;
    LineSettings m_settings;
    LineCounts m_counts;
    LineCountReader m_lineCountReader;
    std::atomic<bool> m_driverCounts{true};
    std::unique_ptr<NetworkSerialPort> m_network;
};

} // namespace oryx::platform
