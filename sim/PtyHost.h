#pragma once

#include "platform/LineSettings.h"
#include "platform/Waker.h"
#include "sim/Faults.h"
#include "sim/PortLink.h"
#include "sim/PortOpenWatch.h"
#include "sim/Traffic.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>

namespace oryx::sim {

class SimulatedDevice;

// Puts a simulated radio behind a pseudo-terminal: owns the master side, publishes the slave
// as a port, notices when the program opens and closes it, compares the line settings the
// program set with the radio's own (a mismatch turns the bytes into garbage both ways),
// applies faults, and records every byte. One thread serves the pty and calls the device.
// A pty always carries 8 data bits without parity, so of the program's settings only the
// rate and the stop bits can differ from the radio's.
class PtyHost {
public:
    using Milliseconds = std::chrono::milliseconds;

    PtyHost(SimulatedDevice& device, std::string linkName, platform::LineSettings ownLine);
    ~PtyHost();
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    // Creates the pty, publishes the link and starts serving. Throws std::runtime_error.
    void start();
    void stop();

    // The text to open the port with: the published link.
    std::string portText() const;
    std::string slavePath() const;

    void setOwnLine(const platform::LineSettings& line);
    platform::LineSettings ownLine() const;
    // The settings the program gave the port; nothing while unplugged.
    std::optional<platform::LineSettings> programLine() const;

    // Whether the program has the port open, as far as the radio has taken it in.
    bool portOpen() const;
    bool waitForPortOpen(bool open, Milliseconds timeout) const;

    // Queues bytes to go out after `delay`, never before bytes queued earlier. Bytes that
    // come due while the port is closed go nowhere, as on a real line. With forThisOpening
    // they are also dropped when the program has closed and reopened the port meanwhile.
    void send(std::string bytes, Milliseconds delay, bool forThisOpening = false);

    void setFaults(const Faults& faults);
    Faults faults() const;
    Traffic& traffic() { return m_traffic; }

    // The device vanishes: the program's open port fails from now on. replug() brings it
    // back under the same port text.
    void unplug();
    void replug();
    bool pluggedIn() const;

    // Pulls the cable once the program has sent `steps` more steps, counted from now: a step
    // ends with each CR and with the third slash of an escape "///". The device hears the
    // step that ends it, but nothing it sends in answer leaves. 0 keeps the cable in.
    void unplugAfterSteps(std::size_t steps);
    // The steps the program has sent since the host started.
    std::size_t stepsHeard() const;

private:
    using Clock = std::chrono::steady_clock;

    struct Outgoing {
        Clock::time_point due;
        std::string bytes;
        platform::LineSettings line;
        std::uint64_t opening = 0;
    };

    void run();
    void runOnHostThread(const std::function<void()>& task);
    void pullCable();
    std::optional<std::size_t> bytesBeforeCablePull(std::string_view bytes);
    void runPendingTasks();
    void createPty();
    void closePty();
    void readFromProgram(bool atClose);
    bool heardAtRightRate(bool atClose);
    bool closeQueued() const;
    void noteOpenCloseEvent(std::uint32_t mask);
    void handleOpenCloseEvents();
    void discardUnreadInput();
    void reportOpenState(bool open);
    bool isOpenNow() const;
    void becomeOpen();
    void becomeClosed();
    void sendDueBytes();
    bool takeDueItem(Outgoing& item);
    std::optional<Clock::time_point> nextDue() const;
    bool lineMatches(const platform::LineSettings& own) const;
    std::size_t pieceLength(const Faults& faults, std::size_t length);
    Milliseconds gapAfterPiece(const Faults& faults);

    SimulatedDevice& m_device;
    PortLink m_link;
    Traffic m_traffic;
    platform::Waker m_waker;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::shared_ptr<PortOpenWatch> m_openWatch;
    int m_watch = -1;
    int m_slave = -1;
    int m_openers = 0;
    // The program's line as last seen while the port was open; the host's thread only.
    std::optional<platform::LineSettings> m_lineWhileOpen;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_stateChanged;
    int m_master = -1;
    std::string m_slavePath;
    std::string m_portText;
    bool m_open = false;
    bool m_openReported = false;
    std::uint64_t m_opening = 0;
    Clock::time_point m_openedAt{};
    platform::LineSettings m_ownLine;
    Faults m_faults;
    std::deque<Outgoing> m_queue;
    Clock::time_point m_lastDue{};
    std::deque<std::function<void()>> m_tasks;
    // Openings and closings of the port, in order, not yet taken in by the host's thread.
    std::deque<std::uint32_t> m_openCloseEvents;
    // Only the host's thread draws from it.
    std::minstd_rand m_random{20261208};
    std::size_t m_steps = 0;
    int m_slashRun = 0;
    std::size_t m_unplugAtStep = 0;
};

} // namespace oryx::sim
