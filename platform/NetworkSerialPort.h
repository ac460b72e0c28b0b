#pragma once

#include "platform/LineSettings.h"
#include "platform/RoundTripMeter.h"
#include "platform/SerialError.h"
#include "platform/Waker.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct gensio;
struct gensio_os_funcs;
struct gensio_waiter;

namespace oryx::platform {

// A serial port on a device server, reached over TCP with the Telnet COM-port control
// (RFC 2217): the line settings, the modem lines and purges travel to the server, the bytes
// both ways. One event thread serves the connection; received bytes wait here until read.
// readyFd() is readable while bytes wait or after the connection has ended, so callers poll
// it the way they poll a tty.
class NetworkSerialPort {
public:
    using Clock = std::chrono::steady_clock;

    ~NetworkSerialPort();
    NetworkSerialPort(const NetworkSerialPort&) = delete;
    NetworkSerialPort& operator=(const NetworkSerialPort&) = delete;

    // Connects and checks that the server controls the line; nothing and the reason on failure.
    static std::unique_ptr<NetworkSerialPort> connect(const std::string& portText,
                                                      SerialError& error);

    SerialError configure(const LineSettings& settings);
    LineSettings settings() const;
    SerialError setDtr(bool on);
    SerialError setRts(bool on);
    // Discards what waits here and asks the server to discard its receive buffer.
    SerialError purgeReceive();

    // Takes up to size waiting bytes without blocking.
    std::size_t take(unsigned char* bytes, std::size_t size);
    std::size_t waiting() const;
    bool gone() const;
    int readyFd() const { return m_ready.fd(); }
    // Hands the bytes to the connection, waiting for room until the deadline.
    std::size_t write(const unsigned char* bytes, std::size_t size,
                      std::optional<Clock::time_point> deadline, SerialError& error);

    SerialError goneError() const;

    // The link's round trip from the control exchanges: measured at the open, kept current by
    // every later one.
    std::chrono::milliseconds roundTrip() const;
    // What a wait for the radio's answer adds on this link (the round trip and a margin).
    std::chrono::milliseconds farEndAllowance() const;

private:
    struct Reply;

    explicit NetworkSerialPort(std::string portText);
    SerialError open(const std::string& host, const std::string& port);
    void startEvents();
    void stopEvents();
    // One setting sent to the server; value 0 only asks. The reply carries the value in force.
    using Send = std::function<int(void* replyData)>;
    // A control sent whose answer has not been collected yet.
    struct Pending {
        std::shared_ptr<Reply> reply;
        const char* what;
        Clock::time_point asked;
        SerialError failed;
    };
    Pending ask(const Send& send, const char* what);
    SerialError answer(const Pending& pending, unsigned& applied);
    SerialError setLine(bool dtr, bool on);
    Pending askLine(bool dtr, bool on);
    void waitUntilServerHasAllWritten();
    Pending askRate();
    void markGone();
    void addRoundTrip(Clock::duration sample);

    static int onEvent(gensio* io, void* self, int event, int err, unsigned char* buf,
                       std::size_t* len, const char* const* aux);
    static void onOpened(gensio* io, int err, void* self);

    const std::string m_portText;
    gensio_os_funcs* m_os = nullptr;
    gensio_waiter* m_stop = nullptr;
    gensio* m_io = nullptr;
    std::thread m_events;
    bool m_hasModemLines = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<unsigned char> m_received;
    bool m_readPaused = false;
    bool m_gone = false;
    bool m_writable = true;
    std::optional<int> m_openResult;
    // Set once the server has answered the control, on the thread that opens.
    bool m_controlled = false;
    LineSettings m_settings;
    RoundTripMeter m_roundTrip;
    Waker m_ready;
};

} // namespace oryx::platform
