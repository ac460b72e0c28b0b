#include "sim/PtyHost.h"

#include "platform/SimulatorFolder.h"
#include "platform/TtyAttributes.h"
#include "sim/SimulatedDevice.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace oryx::sim {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr std::chrono::milliseconds kRetryWhenFull{10};

// What a UART hears when the far end runs another rate or framing: never a printable
// character, so no garbled text can pass for a command, a banner, a colon or a prompt.
char garble(unsigned char byte) {
    return static_cast<char>(0x80u | ((byte * 0x1Du + 0x35u) & 0x7Fu));
}

std::string garbled(std::string_view bytes) {
    std::string out(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[i] = garble(static_cast<unsigned char>(bytes[i]));
    }
    return out;
}

bool sameLine(const platform::LineSettings& a, const platform::LineSettings& b) {
    return a.baudRate == b.baudRate && a.dataBits == b.dataBits && a.parity == b.parity &&
           a.stopBits == b.stopBits;
}

std::runtime_error failure(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

PtyHost::PtyHost(SimulatedDevice& device, std::string linkName, platform::LineSettings ownLine)
    : m_device(device), m_link(platform::simulatorLinkFolder(), std::move(linkName)),
      m_ownLine(ownLine) {
    m_traffic.setLineSource([this] { return programLine(); });
}

PtyHost::~PtyHost() {
    stop();
}

void PtyHost::start() {
    if (m_thread.joinable()) {
        return;
    }
    m_openWatch = PortOpenWatch::shared();
    createPty();
    const std::string text = m_link.publish(slavePath());
    {
        std::lock_guard lock(m_mutex);
        m_portText = text;
    }
    m_stopping = false;
    m_thread = std::thread([this] { run(); });
}

void PtyHost::stop() {
    if (m_thread.joinable()) {
        m_stopping = true;
        m_waker.wake();
        m_thread.join();
    }
    closePty();
    m_link.remove();
    m_openWatch.reset();
}

void PtyHost::createPty() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    std::array<char, 128> name{};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name.data(), name.size()) != 0) {
        if (master >= 0) {
            ::close(master);
        }
        throw failure("cannot create a pseudo-terminal");
    }
    // The host keeps the slave open for as long as the pty lives, opened before the watch, so
    // that it never opens the port itself while watching: the kernel merges identical events
    // that follow each other, and an opening of our own could swallow the program's.
    const int slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        ::close(master);
        throw failure("cannot open the pseudo-terminal");
    }
    // Until the program configures it, the port runs raw at the radio's own settings, like
    // a port that was last used with this radio.
    platform::TtyAttributes::applyRaw(slave, ownLine());
    try {
        m_watch =
            m_openWatch->add(name.data(), [this](std::uint32_t mask) { noteOpenCloseEvent(mask); });
    } catch (const std::exception&) {
        ::close(slave);
        ::close(master);
        throw;
    }
    m_slave = slave;
    m_openers = 0;
    std::lock_guard lock(m_mutex);
    m_master = master;
    m_slavePath = name.data();
    m_open = false;
}

void PtyHost::closePty() {
    if (m_watch >= 0) {
        m_openWatch->remove(m_watch);
        m_watch = -1;
    }
    if (m_slave >= 0) {
        ::close(m_slave);
        m_slave = -1;
    }
    std::lock_guard lock(m_mutex);
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    m_open = false;
    m_openReported = false;
    m_queue.clear();
    m_openCloseEvents.clear();
    m_stateChanged.notify_all();
}

std::string PtyHost::portText() const {
    std::lock_guard lock(m_mutex);
    return m_portText;
}

std::string PtyHost::slavePath() const {
    std::lock_guard lock(m_mutex);
    return m_slavePath;
}

void PtyHost::setOwnLine(const platform::LineSettings& line) {
    std::lock_guard lock(m_mutex);
    m_ownLine = line;
}

platform::LineSettings PtyHost::ownLine() const {
    std::lock_guard lock(m_mutex);
    return m_ownLine;
}

std::optional<platform::LineSettings> PtyHost::programLine() const {
    std::lock_guard lock(m_mutex);
    platform::LineSettings line;
    if (m_master < 0 || platform::TtyAttributes::read(m_master, line) != 0) {
        return std::nullopt;
    }
    return line;
}

bool PtyHost::lineMatches(const platform::LineSettings& own) const {
    const auto program = programLine();
    return program && sameLine(*program, own);
}

bool PtyHost::portOpen() const {
    std::lock_guard lock(m_mutex);
    return m_openReported;
}

bool PtyHost::waitForPortOpen(bool open, Milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_stateChanged.wait_for(lock, timeout, [&] { return m_openReported == open; });
}

bool PtyHost::isOpenNow() const {
    std::lock_guard lock(m_mutex);
    return m_open;
}

void PtyHost::send(std::string bytes, Milliseconds delay, bool forThisOpening) {
    {
        std::lock_guard lock(m_mutex);
        const auto due = std::max(Clock::now() + delay + m_faults.extraDelay, m_lastDue);
        m_lastDue = due;
        m_queue.push_back({due, std::move(bytes), m_ownLine, forThisOpening ? m_opening : 0});
    }
    m_waker.wake();
}

void PtyHost::setFaults(const Faults& faults) {
    std::lock_guard lock(m_mutex);
    m_faults = faults;
}

Faults PtyHost::faults() const {
    std::lock_guard lock(m_mutex);
    return m_faults;
}

void PtyHost::unplug() {
    runOnHostThread([this] { pullCable(); });
}

void PtyHost::pullCable() {
    const bool wasOpen = isOpenNow();
    closePty();
    if (wasOpen) {
        m_device.portClosed();
    }
}

bool PtyHost::pluggedIn() const {
    std::lock_guard lock(m_mutex);
    return m_master >= 0;
}

void PtyHost::unplugAfterSteps(std::size_t steps) {
    std::lock_guard lock(m_mutex);
    m_unplugAtStep = steps == 0 ? 0 : m_steps + steps;
}

std::size_t PtyHost::stepsHeard() const {
    std::lock_guard lock(m_mutex);
    return m_steps;
}

// Counts the steps in the bytes; returns how many of them arrive before the cable is pulled,
// nothing when it stays in.
std::optional<std::size_t> PtyHost::bytesBeforeCablePull(std::string_view bytes) {
    std::lock_guard lock(m_mutex);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        m_slashRun = c == '/' ? m_slashRun + 1 : 0;
        const bool endsStep = c == '\r' || m_slashRun == 3;
        if (m_slashRun == 3) {
            m_slashRun = 0;
        }
        if (endsStep && ++m_steps == m_unplugAtStep) {
            m_unplugAtStep = 0;
            return i + 1;
        }
    }
    return std::nullopt;
}

void PtyHost::replug() {
    runOnHostThread([this] {
        if (m_master >= 0) {
            return;
        }
        createPty();
        m_link.retarget(slavePath());
    });
}

void PtyHost::runOnHostThread(const std::function<void()>& task) {
    if (!m_thread.joinable() || std::this_thread::get_id() == m_thread.get_id()) {
        task();
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    auto finished = done->get_future();
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back([task, done] {
            task();
            done->set_value();
        });
    }
    m_waker.wake();
    finished.wait();
}

void PtyHost::runPendingTasks() {
    while (true) {
        std::function<void()> task;
        {
            std::lock_guard lock(m_mutex);
            if (m_tasks.empty()) {
                return;
            }
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
}

std::optional<PtyHost::Clock::time_point> PtyHost::nextDue() const {
    std::lock_guard lock(m_mutex);
    if (m_queue.empty()) {
        return std::nullopt;
    }
    return m_queue.front().due;
}

void PtyHost::run() {
    while (!m_stopping) {
        runPendingTasks();
        int master = -1;
        bool open = false;
        {
            std::lock_guard lock(m_mutex);
            master = m_master;
            open = m_open;
        }
        // The master is only read while the program has the port open; the open watch
        // reports the opening and wakes this thread.
        std::array<pollfd, 2> fds{{{m_waker.fd(), POLLIN, 0}, {open ? master : -1, POLLIN, 0}}};
        timespec wait{};
        timespec* waitPtr = nullptr;
        if (const auto due = nextDue()) {
            const auto left = std::max(*due - Clock::now(), Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            wait = {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
            waitPtr = &wait;
        }
        if (::ppoll(fds.data(), fds.size(), waitPtr, nullptr) < 0 && errno != EINTR) {
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            m_waker.clear();
        }
        if (fds[1].revents != 0) {
            readFromProgram(closeQueued());
        }
        handleOpenCloseEvents();
        sendDueBytes();
    }
}

// Bytes still unread when the program closed the port were sent at the line it had set while
// the port was open. A device server may put the port back to its own settings as it closes,
// without waiting for a pty to be read, so the line in force now no longer tells.
bool PtyHost::heardAtRightRate(bool atClose) {
    const std::optional<platform::LineSettings> now = programLine();
    if (!atClose || !m_lineWhileOpen) {
        m_lineWhileOpen = now;
    }
    const std::optional<platform::LineSettings>& sent = atClose ? m_lineWhileOpen : now;
    return sent && sameLine(*sent, ownLine());
}

bool PtyHost::closeQueued() const {
    std::lock_guard lock(m_mutex);
    return std::any_of(m_openCloseEvents.begin(), m_openCloseEvents.end(),
                       [](std::uint32_t mask) { return (mask & IN_CLOSE) != 0; });
}

void PtyHost::readFromProgram(bool atClose) {
    int master = -1;
    {
        std::lock_guard lock(m_mutex);
        master = m_master;
    }
    std::array<char, kReadChunk> buffer{};
    while (master >= 0) {
        const ssize_t n = ::read(master, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        // Judge the rate first: by the time the bytes are noted the program may have moved on.
        const bool heardRight = heardAtRightRate(atClose);
        const std::string_view all(buffer.data(), static_cast<std::size_t>(n));
        const std::optional<std::size_t> pullAfter = bytesBeforeCablePull(all);
        const std::string_view bytes = all.substr(0, pullAfter.value_or(all.size()));
        // The device hears the bytes before they are noted: whoever waits on the traffic log
        // then finds the device has already acted on them.
        if (!faults().silent) {
            m_device.bytesReceived(heardRight ? std::string(bytes) : garbled(bytes));
        }
        m_traffic.record(Direction::FromProgram, bytes);
        if (pullAfter) {
            pullCable();
            return;
        }
    }
}

// On the open watch's thread.
void PtyHost::noteOpenCloseEvent(std::uint32_t mask) {
    {
        std::lock_guard lock(m_mutex);
        m_openCloseEvents.push_back(mask);
    }
    m_waker.wake();
}

// Every opening and closing the watch reports is the program's: the host never opens the port.
void PtyHost::handleOpenCloseEvents() {
    std::deque<std::uint32_t> events;
    {
        std::lock_guard lock(m_mutex);
        events.swap(m_openCloseEvents);
    }
    for (const std::uint32_t mask : events) {
        if ((mask & IN_OPEN) != 0) {
            if (++m_openers == 1) {
                becomeOpen();
            }
        } else if ((mask & IN_CLOSE) != 0) {
            if (m_openers > 0 && --m_openers == 0) {
                readFromProgram(true);
                becomeClosed();
                discardUnreadInput();
            }
        }
    }
}

// A serial driver forgets received bytes when the port is closed for the last time; a pty
// keeps them for the next opener, who would read the end of the previous session.
void PtyHost::discardUnreadInput() {
    if (m_slave >= 0) {
        ::ioctl(m_slave, TCFLSH, TCIFLUSH);
    }
}

// Observers learn of a change only once the device has reacted to it.
void PtyHost::becomeOpen() {
    m_lineWhileOpen.reset();
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_openedAt = Clock::now();
        ++m_opening;
    }
    m_device.portOpened();
    reportOpenState(true);
}

void PtyHost::becomeClosed() {
    {
        std::lock_guard lock(m_mutex);
        m_open = false;
    }
    m_device.portClosed();
    reportOpenState(false);
}

void PtyHost::reportOpenState(bool open) {
    {
        std::lock_guard lock(m_mutex);
        m_openReported = open;
    }
    m_stateChanged.notify_all();
}

bool PtyHost::takeDueItem(Outgoing& item) {
    std::lock_guard lock(m_mutex);
    if (m_queue.empty() || m_queue.front().due > Clock::now()) {
        return false;
    }
    item = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

std::size_t PtyHost::pieceLength(const Faults& faults, std::size_t length) {
    if (faults.splitIntoBytes || length <= 1) {
        return std::min<std::size_t>(length, 1);
    }
    if (faults.randomChunks) {
        return std::uniform_int_distribution<std::size_t>(1, length)(m_random);
    }
    return length;
}

PtyHost::Milliseconds PtyHost::gapAfterPiece(const Faults& faults) {
    if (faults.splitIntoBytes) {
        return faults.byteGap;
    }
    return Milliseconds(std::uniform_int_distribution<long>(0, faults.chunkGap.count())(m_random));
}

void PtyHost::sendDueBytes() {
    Outgoing item;
    while (takeDueItem(item)) {
        int master = -1;
        Faults faults;
        {
            std::lock_guard lock(m_mutex);
            // Due before the opening was noticed counts as due while closed, however late this
            // thread gets to it.
            const bool stale =
                (item.opening != 0 && item.opening != m_opening) || item.due < m_openedAt;
            if (!m_open || stale) {
                continue;
            }
            master = m_master;
            faults = m_faults;
        }
        if (faults.silent || item.bytes.empty()) {
            continue;
        }
        std::string now = item.bytes;
        if (const std::size_t piece = pieceLength(faults, now.size()); piece < now.size()) {
            Outgoing rest = item;
            rest.bytes.erase(0, piece);
            rest.due = Clock::now() + gapAfterPiece(faults);
            now.resize(piece);
            std::lock_guard lock(m_mutex);
            m_queue.push_front(std::move(rest));
        }
        const std::string wire = faults.garbage || !lineMatches(item.line) ? garbled(now) : now;
        const ssize_t n = ::write(master, wire.data(), wire.size());
        const std::size_t written = n > 0 ? static_cast<std::size_t>(n) : 0;
        m_traffic.record(Direction::ToProgram, std::string_view(wire).substr(0, written));
        if (written < wire.size() && (n >= 0 || errno == EAGAIN || errno == EINTR)) {
            // The program is not reading and the pty is full: try again shortly.
            item.bytes = now.substr(written);
            item.due = Clock::now() + kRetryWhenFull;
            std::lock_guard lock(m_mutex);
            m_queue.push_front(std::move(item));
            return;
        }
    }
}

} // namespace oryx::sim
