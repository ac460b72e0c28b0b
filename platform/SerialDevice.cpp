#include "platform/SerialDevice.h"

#include "platform/NetworkSerialPort.h"
#include "platform/PortNames.h"
#include "platform/ReadTimeoutPlan.h"
#include "platform/TtyAttributes.h"
#include "platform/Waker.h"

#include <algorithm>
#include <array>
#include <asm/termbits.h>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <linux/serial.h>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace oryx::platform {
namespace {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

// A UART that is off by more than this does not talk to the far end reliably.
constexpr double kRateTolerance = 0.03;

bool isGoneErrno(int code) {
    return code == EIO || code == ENXIO || code == ENODEV;
}

Deadline deadlineAfter(Clock::time_point start, std::optional<std::chrono::milliseconds> span) {
    if (!span) {
        return std::nullopt;
    }
    return start + *span;
}

Deadline earlier(Deadline a, Deadline b) {
    if (!a) {
        return b;
    }
    if (!b) {
        return a;
    }
    return std::min(*a, *b);
}

// poll() that never returns before the deadline: a time-out reported here has fully elapsed.
int pollUntil(pollfd* fds, nfds_t count, Deadline deadline) {
    while (true) {
        timespec wait{};
        timespec* waitPtr = nullptr;
        if (deadline) {
            const auto left = *deadline - Clock::now();
            if (left <= Clock::duration::zero()) {
                const int ready = ::poll(fds, count, 0);
                if (ready < 0 && errno == EINTR) {
                    continue;
                }
                return ready;
            }
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            wait.tv_sec = static_cast<time_t>(ns / 1000000000);
            wait.tv_nsec = static_cast<long>(ns % 1000000000);
            waitPtr = &wait;
        }
        const int ready = ::ppoll(fds, count, waitPtr, nullptr);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready == 0 && deadline && Clock::now() < *deadline) {
            continue;
        }
        return ready;
    }
}

bool isHungUp(int fd) {
    pollfd pfd{fd, POLLIN, 0};
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

// What stands at the path when it cannot be a terminal, checked before the open: opening a
// folder or socket fails with an error that would blame the port, and a file or pipe must
// never be written to as if it were a radio. Nothing when it is a character device or cannot be
// examined (the open then says why).
const char* nonTerminalKind(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISCHR(status.st_mode)) {
        return nullptr;
    }
    if (S_ISREG(status.st_mode)) {
        return "a regular file";
    }
    if (S_ISDIR(status.st_mode)) {
        return "a folder";
    }
    if (S_ISSOCK(status.st_mode)) {
        return "a socket";
    }
    if (S_ISFIFO(status.st_mode)) {
        return "a named pipe";
    }
    if (S_ISBLK(status.st_mode)) {
        return "a block device";
    }
    return "not a device";
}

bool rateMatches(std::uint32_t wanted, std::uint32_t actual) {
    return std::fabs(static_cast<double>(actual) - wanted) <= wanted * kRateTolerance;
}

} // namespace

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() {
    close();
}

SerialError SerialDevice::openPort(const std::string& portText) {
    close();
    // Still "no such device" to the callers that go by the code; the words say what to do.
    if (portText.empty()) {
        return {ENOENT, SerialError::kNoPortChosenText};
    }
    if (PortNames::isNetworkPort(portText)) {
        return openNetwork(portText);
    }
    const std::string path = PortNames::devicePath(portText);
    const std::string shown = PortNames::displayName(portText);
    if (path.empty()) {
        return SerialError::fromErrno(ENOENT, shown, portText);
    }
    if (const char* kind = nonTerminalKind(path)) {
        return SerialError::notASerialPort(shown, path, kind);
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return SerialError::fromErrno(errno, shown, path);
    }
    if (!::isatty(fd)) {
        ::close(fd);
        return SerialError::fromErrno(ENOTTY, shown, path);
    }
    // TIOCEXCL keeps other users out but not root; the lock keeps out every program that
    // takes it too (terminal programs do), whoever runs it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return SerialError::fromErrno(error, shown, path);
    }
    ::ioctl(fd, TIOCEXCL);

    std::lock_guard lock(m_mutex);
    m_fd = fd;
    m_portText = portText;
    m_path = path;
    m_counts = {};
    m_driverCounts = true;
    if (!readLineCounts(fd, m_counts) && (errno == ENOTTY || errno == EINVAL)) {
        // A driver without counters (a pty, many USB adapters) never gets them: asking again
        // on every wait would only add a failing call to each byte's way in.
        m_driverCounts = false;
    }
    return {};
}

SerialError SerialDevice::openNetwork(const std::string& portText) {
    SerialError error;
    std::unique_ptr<NetworkSerialPort> port = NetworkSerialPort::connect(portText, error);
    if (!port) {
        return error;
    }
    std::lock_guard lock(m_mutex);
    m_fd = port->readyFd();
    m_network = std::move(port);
    m_portText = portText;
    m_path = portText;
    m_counts = {};
    m_driverCounts = false;
    m_settings = m_network->settings();
    return {};
}

NetworkSerialPort* SerialDevice::network() const {
    std::lock_guard lock(m_mutex);
    return m_network.get();
}

std::chrono::milliseconds SerialDevice::roundTrip() const {
    const NetworkSerialPort* remote = network();
    return remote ? remote->roundTrip() : std::chrono::milliseconds::zero();
}

std::chrono::milliseconds SerialDevice::farEndAllowance() const {
    const NetworkSerialPort* remote = network();
    return remote ? remote->farEndAllowance() : std::chrono::milliseconds::zero();
}

void SerialDevice::closePort() {
    std::unique_ptr<NetworkSerialPort> network;
    std::lock_guard lock(m_mutex);
    if (m_fd < 0) {
        return;
    }
    if (m_network) {
        network = std::move(m_network);
        m_fd = -1;
        return;
    }
    // A pty keeps the exclusive flag after the last close; leaving it set would lock every
    // other user out of the port until the far end goes away.
    ::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

bool SerialDevice::isOpen() const {
    return currentFd() >= 0;
}

std::string SerialDevice::portText() const {
    std::lock_guard lock(m_mutex);
    return m_portText;
}

int SerialDevice::nativeHandle() const {
    return currentFd();
}

int SerialDevice::currentFd() const {
    std::lock_guard lock(m_mutex);
    return m_fd;
}

std::string SerialDevice::shownName() const {
    std::lock_guard lock(m_mutex);
    return PortNames::displayName(m_portText);
}

SerialError SerialDevice::applySettings(const LineSettings& settings) {
    const int fd = currentFd();
    if (fd < 0) {
        return SerialError::invalid("The port is not open.");
    }
    if (settings.baudRate == 0) {
        return SerialError::invalid("A baud rate of 0 cannot be set.");
    }
    if (settings.dataBits < 5 || settings.dataBits > 8) {
        return SerialError::invalid("Data bits must be 5 to 8, not " +
                                    std::to_string(settings.dataBits) + ".");
    }
    if (NetworkSerialPort* remote = network()) {
        SerialError e = remote->configure(settings);
        if (e.ok()) {
            std::lock_guard lock(m_mutex);
            m_settings = settings;
        }
        return e;
    }
    if (const int error = TtyAttributes::applyRaw(fd, settings); error != 0) {
        return errorFor(error);
    }
    LineSettings applied;
    if (TtyAttributes::read(fd, applied) != 0 ||
        !rateMatches(settings.baudRate, applied.baudRate)) {
        return SerialError::invalid("Port " + shownName() + " does not support " +
                                    std::to_string(settings.baudRate) + " bit/s.");
    }
    if (SerialError e = setModemLine(fd, TIOCM_DTR, settings.dtrOn); !e.ok()) {
        return e;
    }
    if (!settings.rtsCtsHandshake) {
        if (SerialError e = setModemLine(fd, TIOCM_RTS, settings.rtsOn); !e.ok()) {
            return e;
        }
    }
    std::lock_guard lock(m_mutex);
    m_settings = settings;
    return {};
}

SerialError SerialDevice::readSettings(LineSettings& settings) const {
    const int fd = currentFd();
    if (fd < 0) {
        return SerialError::invalid("The port is not open.");
    }
    if (NetworkSerialPort* remote = network()) {
        settings = remote->settings();
        return {};
    }
    LineSettings current;
    {
        std::lock_guard lock(m_mutex);
        current = m_settings;
    }
    if (const int error = TtyAttributes::read(fd, current); error != 0) {
        return errorFor(error);
    }
    settings = current;
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) == 0) {
        settings.dtrOn = (lines & TIOCM_DTR) != 0;
        settings.rtsOn = (lines & TIOCM_RTS) != 0;
    }
    return {};
}

SerialError SerialDevice::switchDtr(bool on) {
    const int fd = currentFd();
    if (fd < 0) {
        return SerialError::invalid("The port is not open.");
    }
    NetworkSerialPort* remote = network();
    SerialError e = remote ? remote->setDtr(on) : setModemLine(fd, TIOCM_DTR, on);
    if (e.ok()) {
        std::lock_guard lock(m_mutex);
        m_settings.dtrOn = on;
    }
    return e;
}

SerialError SerialDevice::switchRts(bool on) {
    const int fd = currentFd();
    if (fd < 0) {
        return SerialError::invalid("The port is not open.");
    }
    NetworkSerialPort* remote = network();
    SerialError e = remote ? remote->setRts(on) : setModemLine(fd, TIOCM_RTS, on);
    if (e.ok()) {
        std::lock_guard lock(m_mutex);
        m_settings.rtsOn = on;
    }
    return e;
}

SerialError SerialDevice::setModemLine(int fd, int bit, bool on) {
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0) {
        return {};
    }
    // A pseudo-terminal has no modem lines; there is nothing to switch.
    if (errno == ENOTTY || errno == EINVAL) {
        return {};
    }
    return errorFor(errno);
}

void SerialDevice::setTimeouts(const CommTimeouts& timeouts) {
    std::lock_guard lock(m_mutex);
    m_timeouts = timeouts;
}

CommTimeouts SerialDevice::timeouts() const {
    std::lock_guard lock(m_mutex);
    return m_timeouts;
}

IoResult SerialDevice::readBytes(void* buffer, std::size_t size) {
    const int fd = currentFd();
    if (fd < 0) {
        return {0, SerialError::invalid("The port is not open.")};
    }
    if (size == 0) {
        return {};
    }
    const auto start = Clock::now();
    const ReadTimeoutPlan plan = ReadTimeoutPlan::forRead(timeouts(), size);
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t total = 0;
    std::size_t wanted = size;
    if (plan.returnWhatIsThere || plan.returnEarlyWithPresentBytes) {
        int error = 0;
        const ReadStep first = readWithoutWaiting(fd, bytes, size, total, error);
        if (first != ReadStep::Waiting || plan.returnWhatIsThere || total > 0) {
            return {total, stepError(first, error)};
        }
        wanted = plan.bytesWanted;
    }
    const Deadline overall = deadlineAfter(start, plan.total);
    Deadline gapEnd;
    while (total < wanted) {
        const std::size_t before = total;
        int error = 0;
        const ReadStep step = readWithoutWaiting(fd, bytes, wanted, total, error);
        if (step == ReadStep::Gone || step == ReadStep::Failed) {
            return {total, stepError(step, error)};
        }
        if (total > before && plan.interval) {
            gapEnd = Clock::now() + *plan.interval;
        }
        if (total == wanted) {
            break;
        }
        pollfd pfd{fd, POLLIN, 0};
        const int ready = pollUntil(&pfd, 1, earlier(overall, gapEnd));
        if (ready == 0) {
            break;
        }
        if (ready < 0) {
            return {total, errorFor(errno)};
        }
    }
    return {total, {}};
}

SerialDevice::ReadStep SerialDevice::readWithoutWaiting(int fd, unsigned char* bytes,
                                                        std::size_t size, std::size_t& total,
                                                        int& error) {
    if (NetworkSerialPort* remote = network()) {
        total += remote->take(bytes + total, size - total);
        if (total == size) {
            return ReadStep::Complete;
        }
        return remote->gone() ? ReadStep::Gone : ReadStep::Waiting;
    }
    while (total < size) {
        const ssize_t n = ::read(fd, bytes + total, size - total);
        if (n > 0) {
            total += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0) {
            // End of file is a hang-up; but a tty left with VMIN 0 also reads 0 for "nothing
            // yet", so only the hang-up flag tells them apart.
            return isHungUp(fd) ? ReadStep::Gone : ReadStep::Waiting;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN) {
            return ReadStep::Waiting;
        }
        error = errno;
        return isGoneErrno(errno) ? ReadStep::Gone : ReadStep::Failed;
    }
    return ReadStep::Complete;
}

SerialError SerialDevice::stepError(ReadStep step, int error) const {
    switch (step) {
    case ReadStep::Gone:
        if (NetworkSerialPort* remote = network()) {
            return remote->goneError();
        }
        return SerialError::gone(shownName());
    case ReadStep::Failed:
        return errorFor(error);
    default:
        return {};
    }
}

SerialError SerialDevice::errorFor(int code) const {
    if (isGoneErrno(code)) {
        return SerialError::gone(shownName());
    }
    std::lock_guard lock(m_mutex);
    return SerialError::fromErrno(code, PortNames::displayName(m_portText), m_path);
}

IoResult SerialDevice::writeBytes(const void* data, std::size_t size) {
    const int fd = currentFd();
    if (fd < 0) {
        return {0, SerialError::invalid("The port is not open.")};
    }
    const Deadline deadline =
        deadlineAfter(Clock::now(), ReadTimeoutPlan::writeBudget(timeouts(), size));
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (NetworkSerialPort* remote = network()) {
        SerialError error;
        const std::size_t sent = remote->write(bytes, size, deadline, error);
        return {sent, error};
    }
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::write(fd, bytes + sent, size - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return {sent, errorFor(errno)};
        }
        pollfd pfd{fd, POLLOUT, 0};
        const int ready = pollUntil(&pfd, 1, deadline);
        if (ready == 0) {
            discardAbandonedOutput(fd);
            return {sent, {}};
        }
        if ((pfd.revents & POLLOUT) == 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            return {sent, SerialError::gone(shownName())};
        }
    }
    // Wait until the driver has sent what we queued, within the same budget.
    while (true) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) {
            break;
        }
        if (deadline && Clock::now() >= *deadline) {
            sent -= std::min(sent, static_cast<std::size_t>(queued));
            discardAbandonedOutput(fd);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return {sent, {}};
}

void SerialDevice::discardAbandonedOutput(int fd) {
    // The caller is told this write failed, so none of it may reach the far end later, when
    // flow control lets the queue go.
    ::ioctl(fd, TCFLSH, TCOFLUSH);
}

std::optional<std::size_t> SerialDevice::bytesWaiting() const {
    const int fd = currentFd();
    if (fd < 0) {
        return std::nullopt;
    }
    if (NetworkSerialPort* remote = network()) {
        return remote->waiting();
    }
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(std::max(waiting, 0));
}

QueueStatus SerialDevice::queueStatus() {
    QueueStatus status;
    const int fd = currentFd();
    if (fd < 0) {
        status.error = SerialError::invalid("The port is not open.");
        return status;
    }
    if (NetworkSerialPort* remote = network()) {
        status.inQueue = remote->waiting();
        if (status.inQueue == 0 && remote->gone()) {
            status.error = remote->goneError();
        }
        return status;
    }
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) {
        status.error = errorFor(errno);
        return status;
    }
    status.inQueue = static_cast<std::size_t>(std::max(waiting, 0));
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) == 0) {
        status.outQueue = static_cast<std::size_t>(std::max(queued, 0));
    }
    pollfd pfd{fd, POLLIN, 0};
    if (status.inQueue == 0 && ::poll(&pfd, 1, 0) > 0 &&
        (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        status.error = SerialError::gone(shownName());
        return status;
    }
    status.errors = takeLineErrors(fd);
    return status;
}

SerialError SerialDevice::purgeQueues(bool receive, bool /*transmit*/) {
    const int fd = currentFd();
    if (fd < 0) {
        return SerialError::invalid("The port is not open.");
    }
    // Flushing the output queue would drop bytes the far end of a pty has not read yet, and
    // on an adapter a command not yet on the wire; writes have drained, and one that ran out of
    // its time has discarded what it left queued, so there is no need.
    if (NetworkSerialPort* remote = network()) {
        return receive ? remote->purgeReceive() : SerialError{};
    }
    if (receive && ::ioctl(fd, TCFLSH, TCIFLUSH) != 0) {
        return errorFor(errno);
    }
    return {};
}

WaitOutcome SerialDevice::waitForInputOrError(std::chrono::milliseconds timeout, Waker* waker) {
    const int fd = currentFd();
    if (fd < 0) {
        return WaitOutcome::NotOpen;
    }
    Deadline deadline;
    if (timeout >= std::chrono::milliseconds::zero()) {
        deadline.emplace(Clock::now() + timeout);
    }
    std::array<pollfd, 2> fds{{{fd, POLLIN, 0}, {waker ? waker->fd() : -1, POLLIN, 0}}};
    while (true) {
        if (takeLineErrors(fd) != 0) {
            return WaitOutcome::LineError;
        }
        const int ready = pollUntil(fds.data(), waker ? 2 : 1, deadline);
        if (ready == 0) {
            return WaitOutcome::TimedOut;
        }
        if (ready < 0) {
            return WaitOutcome::DeviceGone;
        }
        if (waker && (fds[1].revents & POLLIN) != 0) {
            waker->clear();
            return WaitOutcome::Woken;
        }
        if (NetworkSerialPort* remote = network(); remote && (fds[0].revents & POLLIN) != 0) {
            return remote->waiting() > 0 ? WaitOutcome::Input : WaitOutcome::DeviceGone;
        }
        // A hung-up tty also polls readable; it only has input if bytes are still queued.
        const bool hungUp = (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        int waiting = 0;
        if (hungUp && (::ioctl(fd, FIONREAD, &waiting) != 0 || waiting <= 0)) {
            return WaitOutcome::DeviceGone;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            return takeLineErrors(fd) != 0 ? WaitOutcome::LineError : WaitOutcome::Input;
        }
    }
}

bool SerialDevice::readLineCounts(int fd, LineCounts& counts) const {
    if (m_lineCountReader) {
        return m_lineCountReader(fd, counts);
    }
    if (!m_driverCounts) {
        return false;
    }
    serial_icounter_struct icount{};
    if (::ioctl(fd, TIOCGICOUNT, &icount) != 0) {
        return false;
    }
    counts.frame = static_cast<unsigned>(icount.frame);
    counts.parity = static_cast<unsigned>(icount.parity);
    counts.overrun = static_cast<unsigned>(icount.overrun);
    counts.bufferOverrun = static_cast<unsigned>(icount.buf_overrun);
    counts.brk = static_cast<unsigned>(icount.brk);
    return true;
}

std::uint32_t SerialDevice::lineErrorsSince(const LineCounts& now) const {
    std::uint32_t errors = 0;
    if (now.bufferOverrun != m_counts.bufferOverrun) {
        errors |= LineError::kReceiveOverflow;
    }
    if (now.overrun != m_counts.overrun) {
        errors |= LineError::kOverrun;
    }
    if (now.parity != m_counts.parity) {
        errors |= LineError::kParity;
    }
    if (now.frame != m_counts.frame) {
        errors |= LineError::kFraming;
    }
    if (now.brk != m_counts.brk) {
        errors |= LineError::kBreak;
    }
    return errors;
}

std::uint32_t SerialDevice::takeLineErrors(int fd) {
    LineCounts now;
    if (!readLineCounts(fd, now)) {
        return 0;
    }
    std::lock_guard lock(m_mutex);
    const std::uint32_t errors = lineErrorsSince(now);
    m_counts = now;
    return errors;
}

} // namespace oryx::platform
