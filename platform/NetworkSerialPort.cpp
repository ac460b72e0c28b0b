#include "platform/NetworkSerialPort.h"

#include "platform/PortNames.h"

#include <gensio/gensio.h>
#include <gensio/gensio_err.h>
#include <gensio/gensio_os_funcs.h>
#include <gensio/sergensio.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <pthread.h>
#include <vector>

namespace oryx::platform {
namespace {

// The gensio event code wakes its waiting thread with this signal.
constexpr int kWakeSignal = SIGUSR1;
// Connecting includes the name look-up; a server that accepts but does not answer the
// COM-port control is told apart by the first query.
constexpr auto kConnectLimit = std::chrono::seconds(10);
constexpr auto kReplyLimit = std::chrono::seconds(3);
constexpr auto kCloseLimit = std::chrono::seconds(2);
// Past this many unread bytes the connection stops reading, so a flood cannot fill memory.
constexpr std::size_t kMaxWaiting = 1 << 20;
constexpr double kRateTolerance = 0.03;

void ignoreSignal(int) {}

// One set of gensio OS functions for the process, made on first use. Only event threads
// wait in gensio; they block the wake signal, which the waits unblock themselves.
gensio_os_funcs* sharedOsFuncs(int& gensioError) {
    static gensio_os_funcs* os = nullptr;
    static int error = 0;
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(kWakeSignal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            struct sigaction quiet {};
            quiet.sa_handler = ignoreSignal;
            ::sigemptyset(&quiet.sa_mask);
            ::sigaction(kWakeSignal, &quiet, nullptr);
        }
        error = gensio_default_os_hnd(kWakeSignal, &os);
    });
    gensioError = error;
    return os;
}

std::string hostAndPort(const PortNames::NetworkAddress& address) {
    return address.host + ":" + address.port;
}

unsigned parityCode(Parity parity) {
    switch (parity) {
    case Parity::Odd:
        return SERGENSIO_PARITY_ODD;
    case Parity::Even:
        return SERGENSIO_PARITY_EVEN;
    default:
        return SERGENSIO_PARITY_NONE;
    }
}

} // namespace

struct NetworkSerialPort::Reply {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<int> error;
    unsigned value = 0;
    Clock::time_point at;

    static void arrived(sergensio*, int err, unsigned value, void* data) {
        auto* holder = static_cast<std::shared_ptr<Reply>*>(data);
        {
            std::lock_guard lock((*holder)->mutex);
            (*holder)->error = err;
            (*holder)->value = value;
            (*holder)->at = Clock::now();
        }
        (*holder)->done.notify_all();
        delete holder;
    }
};

NetworkSerialPort::NetworkSerialPort(std::string portText) : m_portText(std::move(portText)) {}

NetworkSerialPort::~NetworkSerialPort() {
    stopEvents();
}

std::unique_ptr<NetworkSerialPort> NetworkSerialPort::connect(const std::string& portText,
                                                              SerialError& error) {
    const auto address = PortNames::networkAddress(portText);
    if (!address) {
        error = SerialError::invalid("Port " + portText +
                                     " is not a network port: write rfc2217://HOST:PORT, "
                                     "with a port number from 1 to 65535.");
        return nullptr;
    }
    std::unique_ptr<NetworkSerialPort> port(new NetworkSerialPort(portText));
    error = port->open(address->host, address->port);
    if (!error.ok()) {
        return nullptr;
    }
    return port;
}

SerialError NetworkSerialPort::open(const std::string& host, const std::string& port) {
    const std::string where = hostAndPort({host, port});
    int gensioError = 0;
    m_os = sharedOsFuncs(gensioError);
    if (!m_os) {
        return {EIO, std::string("Network ports are not available: ") +
                         gensio_err_to_str(gensioError) + "."};
    }
    const std::string description = "telnet(rfc2217),tcp," + host + "," + port;
    const int made =
        str_to_gensio(description.c_str(), m_os, &NetworkSerialPort::onEvent, this, &m_io);
    if (made != 0) {
        m_io = nullptr;
        if (made == GE_NOTFOUND || made == GE_UNKNOWN_NAME_ERROR || made == GE_NAME_ERROR ||
            made == GE_NAME_INVALID || made == GE_NAME_SERVER_FAILURE ||
            made == GE_NAME_NET_NOT_UP) {
            return {ENOENT, "Port " + m_portText + ": host " + host + " was not found."};
        }
        return {EINVAL, "Port " + m_portText + ": " + gensio_err_to_str(made) + "."};
    }
    startEvents();
    int opened = gensio_open(m_io, &NetworkSerialPort::onOpened, this);
    if (opened == 0) {
        std::unique_lock lock(m_mutex);
        if (!m_changed.wait_for(lock, kConnectLimit, [this] { return m_openResult.has_value(); })) {
            opened = GE_TIMEDOUT;
        } else {
            opened = *m_openResult;
        }
    }
    if (opened != 0) {
        stopEvents();
        if (opened == GE_CONNREFUSE) {
            return {ECONNREFUSED, "Port " + m_portText + ": " + where +
                                      " refused the connection: is the device server running "
                                      "and serving that port?"};
        }
        if (opened == GE_TIMEDOUT) {
            return {ETIMEDOUT, "Port " + m_portText + ": " + where + " did not answer."};
        }
        if (opened == GE_HOSTDOWN || opened == GE_NOTFOUND) {
            return {EHOSTUNREACH, "Port " + m_portText + ": " + where + " cannot be reached."};
        }
        return {EIO, "Port " + m_portText + ": cannot connect to " + where + ": " +
                         gensio_err_to_str(opened) + "."};
    }
    // Replies to the control come in with the data, so reading starts first. A plain TCP or
    // Telnet server takes the connection too; only the control answers.
    gensio_set_read_callback_enable(m_io, true);
    // Both questions go out at once: over a slow link one round trip, not two.
    const Pending rateAsked = askRate();
    const Pending linesAsked = ask(
        [this](void* reply) {
            return sergensio_dtr(gensio_to_sergensio(m_io), 0, &Reply::arrived, reply);
        },
        "DTR line");
    unsigned rate = 0;
    if (!answer(rateAsked, rate).ok() || rate == 0) {
        stopEvents();
        return {EPROTONOSUPPORT, "Port " + m_portText + ": the server at " + where +
                                     " does not offer serial port control (RFC 2217), so the "
                                     "baud rate cannot be changed; enable it on the server "
                                     "(ser2net: telnet(rfc2217))."};
    }
    m_settings.baudRate = rate;
    m_controlled = true;
    // A served port without modem lines (a pty) answers the question with no state, and
    // would never answer a command to switch one: the replies would then fall out of step.
    unsigned lines = 0;
    m_hasModemLines =
        answer(linesAsked, lines).ok() && (lines == SERGENSIO_DTR_ON || lines == SERGENSIO_DTR_OFF);
    return {};
}

void NetworkSerialPort::startEvents() {
    m_stop = gensio_os_funcs_alloc_waiter(m_os);
    m_events = std::thread([this] {
        sigset_t blocked;
        ::sigemptyset(&blocked);
        ::sigaddset(&blocked, kWakeSignal);
        ::sigaddset(&blocked, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        gensio_os_funcs_wait(m_os, m_stop, 1, nullptr);
    });
}

// Closing a local port waits for its output to drain; a connection closed while the server
// has not read everything would lose the last command (a radio's store), so the port asks
// the server a question first: the server answers only after it has read what came before.
void NetworkSerialPort::waitUntilServerHasAllWritten() {
    unsigned rate = 0;
    answer(askRate(), rate);
}

// A rate of 0 asks the server for its rate without changing it.
NetworkSerialPort::Pending NetworkSerialPort::askRate() {
    return ask(
        [this](void* reply) {
            return sergensio_baud(gensio_to_sergensio(m_io), 0, &Reply::arrived, reply);
        },
        "rate");
}

void NetworkSerialPort::stopEvents() {
    if (m_io && m_controlled && !gone()) {
        waitUntilServerHasAllWritten();
    }
    if (m_io) {
        auto closed = std::make_shared<Reply>();
        auto* holder = new std::shared_ptr<Reply>(closed);
        const int started = gensio_close(
            m_io, [](gensio*, void* data) { Reply::arrived(nullptr, 0, 0, data); }, holder);
        if (started == 0) {
            std::unique_lock lock(closed->mutex);
            closed->done.wait_for(lock, kCloseLimit, [&] { return closed->error.has_value(); });
        } else {
            delete holder;
        }
        gensio_free(m_io);
        m_io = nullptr;
    }
    if (m_events.joinable()) {
        gensio_os_funcs_wake(m_os, m_stop);
        m_events.join();
    }
    if (m_stop) {
        gensio_os_funcs_free_waiter(m_os, m_stop);
        m_stop = nullptr;
    }
}

NetworkSerialPort::Pending NetworkSerialPort::ask(const Send& send, const char* what) {
    Pending pending{std::make_shared<Reply>(), what, Clock::now(), {}};
    auto* holder = new std::shared_ptr<Reply>(pending.reply);
    if (const int sent = send(holder); sent != 0) {
        delete holder;
        pending.failed = sent == GE_NOTREADY || sent == GE_REMCLOSE
                             ? goneError()
                             : SerialError{EIO, "Port " + m_portText + ": cannot set the " +
                                                    std::string(what) + "."};
    }
    return pending;
}

SerialError NetworkSerialPort::answer(const Pending& pending, unsigned& applied) {
    if (!pending.failed.ok()) {
        return pending.failed;
    }
    Reply& reply = *pending.reply;
    std::unique_lock lock(reply.mutex);
    const auto limit = kReplyLimit + farEndAllowance();
    if (!reply.done.wait_for(lock, limit, [&] { return reply.error.has_value(); })) {
        return gone() ? goneError()
                      : SerialError{ETIMEDOUT, "Port " + m_portText +
                                                   ": the server did not confirm the " +
                                                   pending.what + "."};
    }
    if (*reply.error != 0) {
        return {EIO, "Port " + m_portText + ": the server refused the " + pending.what + ": " +
                         gensio_err_to_str(*reply.error) + "."};
    }
    applied = reply.value;
    addRoundTrip(reply.at - pending.asked);
    return {};
}

// The server answers a control at once, so the time to its answer is the link's round trip.
void NetworkSerialPort::addRoundTrip(Clock::duration sample) {
    std::lock_guard lock(m_mutex);
    m_roundTrip.add(std::chrono::duration_cast<RoundTripMeter::Duration>(sample));
}

std::chrono::milliseconds NetworkSerialPort::roundTrip() const {
    std::lock_guard lock(m_mutex);
    return m_roundTrip.roundTrip();
}

std::chrono::milliseconds NetworkSerialPort::farEndAllowance() const {
    std::lock_guard lock(m_mutex);
    return m_roundTrip.allowance();
}

// Every setting goes out at once and the answers are collected after: over a slow link one
// round trip instead of one per setting. The server applies them in the order sent.
SerialError NetworkSerialPort::configure(const LineSettings& wanted) {
    if (gone()) {
        return goneError();
    }
    sergensio* sio = gensio_to_sergensio(m_io);
    const auto setting = [&](auto call, unsigned value, const char* what) {
        return ask([&](void* reply) { return call(sio, value, &Reply::arrived, reply); }, what);
    };
    const unsigned stop = wanted.stopBits == StopBits::Two ? 2 : 1;
    const unsigned flow =
        wanted.rtsCtsHandshake ? SERGENSIO_FLOWCONTROL_RTS_CTS : SERGENSIO_FLOWCONTROL_NONE;
    std::vector<Pending> asked = {
        setting(sergensio_baud, wanted.baudRate, "baud rate"),
        setting(sergensio_datasize, static_cast<unsigned>(wanted.dataBits), "data bits"),
        setting(sergensio_parity, parityCode(wanted.parity), "parity"),
        setting(sergensio_stopbits, stop, "stop bits"),
        setting(sergensio_flowcontrol, flow, "flow control"),
    };
    if (m_hasModemLines) {
        asked.push_back(askLine(true, wanted.dtrOn));
        if (!wanted.rtsCtsHandshake) {
            asked.push_back(askLine(false, wanted.rtsOn));
        }
    }
    unsigned rate = 0;
    for (std::size_t i = 0; i < asked.size(); ++i) {
        unsigned applied = 0;
        if (SerialError e = answer(asked[i], applied); !e.ok()) {
            return e;
        }
        rate = i == 0 ? applied : rate;
    }
    if (std::fabs(static_cast<double>(rate) - wanted.baudRate) > wanted.baudRate * kRateTolerance) {
        return SerialError::invalid("Port " + m_portText + " does not support " +
                                    std::to_string(wanted.baudRate) + " bit/s.");
    }
    std::lock_guard lock(m_mutex);
    m_settings = wanted;
    return {};
}

LineSettings NetworkSerialPort::settings() const {
    std::lock_guard lock(m_mutex);
    return m_settings;
}

SerialError NetworkSerialPort::setDtr(bool on) {
    SerialError e = setLine(true, on);
    if (e.ok()) {
        std::lock_guard lock(m_mutex);
        m_settings.dtrOn = on;
    }
    return e;
}

SerialError NetworkSerialPort::setRts(bool on) {
    SerialError e = setLine(false, on);
    if (e.ok()) {
        std::lock_guard lock(m_mutex);
        m_settings.rtsOn = on;
    }
    return e;
}

SerialError NetworkSerialPort::setLine(bool dtr, bool on) {
    if (gone()) {
        return goneError();
    }
    if (!m_hasModemLines) {
        return {};
    }
    unsigned applied = 0;
    return answer(askLine(dtr, on), applied);
}

NetworkSerialPort::Pending NetworkSerialPort::askLine(bool dtr, bool on) {
    sergensio* sio = gensio_to_sergensio(m_io);
    const unsigned state = on ? SERGENSIO_DTR_ON : SERGENSIO_DTR_OFF;
    static_assert(SERGENSIO_DTR_ON == SERGENSIO_RTS_ON && SERGENSIO_DTR_OFF == SERGENSIO_RTS_OFF);
    return ask(
        [&](void* reply) {
            return dtr ? sergensio_dtr(sio, state, &Reply::arrived, reply)
                       : sergensio_rts(sio, state, &Reply::arrived, reply);
        },
        dtr ? "DTR line" : "RTS line");
}

SerialError NetworkSerialPort::purgeReceive() {
    if (gone()) {
        return goneError();
    }
    {
        std::lock_guard lock(m_mutex);
        m_received.clear();
        m_ready.clear();
    }
    if (sergensio_flush(gensio_to_sergensio(m_io), SERGENSIO_FLUSH_RCV_BUFFER) != 0) {
        return goneError();
    }
    gensio_set_read_callback_enable(m_io, true);
    return {};
}

std::size_t NetworkSerialPort::take(unsigned char* bytes, std::size_t size) {
    std::size_t count = 0;
    bool resume = false;
    {
        std::lock_guard lock(m_mutex);
        count = std::min(size, m_received.size());
        std::copy_n(m_received.begin(), count, bytes);
        m_received.erase(m_received.begin(), m_received.begin() + static_cast<long>(count));
        if (m_received.empty() && !m_gone) {
            m_ready.clear();
        }
        resume = m_readPaused && m_received.size() < kMaxWaiting / 2;
        if (resume) {
            m_readPaused = false;
        }
    }
    if (resume) {
        gensio_set_read_callback_enable(m_io, true);
    }
    return count;
}

std::size_t NetworkSerialPort::waiting() const {
    std::lock_guard lock(m_mutex);
    return m_received.size();
}

bool NetworkSerialPort::gone() const {
    std::lock_guard lock(m_mutex);
    return m_gone;
}

SerialError NetworkSerialPort::goneError() const {
    return {ENODEV,
            "Port " + m_portText + " has gone away: the connection to the device server was lost."};
}

std::size_t NetworkSerialPort::write(const unsigned char* bytes, std::size_t size,
                                     std::optional<Clock::time_point> deadline,
                                     SerialError& error) {
    std::size_t sent = 0;
    while (sent < size) {
        {
            std::lock_guard lock(m_mutex);
            if (m_gone) {
                error = goneError();
                return sent;
            }
            m_writable = false;
        }
        gensiods count = 0;
        if (gensio_write(m_io, &count, bytes + sent, size - sent, nullptr) != 0) {
            markGone();
            error = goneError();
            return sent;
        }
        sent += count;
        if (sent == size) {
            break;
        }
        gensio_set_write_callback_enable(m_io, true);
        std::unique_lock lock(m_mutex);
        const auto ready = [this] { return m_writable || m_gone; };
        if (deadline) {
            if (!m_changed.wait_until(lock, *deadline, ready)) {
                break;
            }
        } else {
            m_changed.wait(lock, ready);
        }
    }
    return sent;
}

void NetworkSerialPort::markGone() {
    {
        std::lock_guard lock(m_mutex);
        m_gone = true;
        m_ready.wake();
    }
    m_changed.notify_all();
}

void NetworkSerialPort::onOpened(gensio*, int err, void* self) {
    auto* port = static_cast<NetworkSerialPort*>(self);
    {
        std::lock_guard lock(port->m_mutex);
        port->m_openResult = err;
    }
    port->m_changed.notify_all();
}

int NetworkSerialPort::onEvent(gensio* io, void* self, int event, int err, unsigned char* buf,
                               std::size_t* len, const char* const*) {
    auto* port = static_cast<NetworkSerialPort*>(self);
    switch (event) {
    case GENSIO_EVENT_READ: {
        if (err != 0) {
            gensio_set_read_callback_enable(io, false);
            port->markGone();
            return 0;
        }
        bool pause = false;
        {
            std::lock_guard lock(port->m_mutex);
            port->m_received.insert(port->m_received.end(), buf, buf + *len);
            port->m_ready.wake();
            pause = port->m_received.size() >= kMaxWaiting;
            port->m_readPaused = pause;
        }
        if (pause) {
            gensio_set_read_callback_enable(io, false);
        }
        port->m_changed.notify_all();
        return 0;
    }
    case GENSIO_EVENT_WRITE_READY:
        gensio_set_write_callback_enable(io, false);
        {
            std::lock_guard lock(port->m_mutex);
            port->m_writable = true;
        }
        port->m_changed.notify_all();
        return 0;
    default:
        return GE_NOTSUP;
    }
}

} // namespace oryx::platform
