#pragma once

#include "sim/Faults.h"
#include "sim/ModuleCommandTable.h"
#include "sim/ModuleFaults.h"
#include "sim/ModuleRadioOptions.h"
#include "sim/PtyHost.h"
#include "sim/SimulatedDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace oryx::sim {

// A radio module of the ORYX 64/65 family on a pseudo-terminal.
//
// Data mode: every byte is radio data and nothing is answered. The escape "///" switches to
// command mode when the line was silent for the guard time before the first slash and stays
// silent for the guard time after the third; the three slashes come within one guard time.
// The escape itself is not answered.
// Command mode: every byte but LF is echoed as it arrives; a line ends with CR and is
// answered after the reply delay with
//   "AT"                       -> CR LF "OK" CR LF
//   "AT*WORD?"                 -> CR LF "*WORD:" parameters, CR LF "OK" CR LF
//   "AT*WORD=..."              -> CR LF "OK" CR LF once carried out (stored as well when the
//                                 persistent flag is 1)
//   "AT*ADDM"                  -> OK, then data mode
//   "AT*AMRS=...,1,p"          -> OK at the old rate, then the new rate (apply-now)
//   "AT*AMWS=0,0,0,0,1,0"      -> OK, then a restart: stored settings and rate, data mode
//   "AT*AGI=type,length,max"   -> after the inquiry delay, CR LF, one "*AGI:address,class"
//                                 CR LF per device in range (at most max), CR LF "OK" CR LF
//   "AT*AGND=address"          -> after the name delay, CR LF "*AGND:" quoted name, OK
//   "AT&F"                     -> OK; the maker's defaults (the rate changes at the restart)
//   "ATP"                      -> OK; production mode
//   anything else, or a parameter out of count, range or quoting -> CR LF "ERROR" CR LF
class ModuleRadio : private SimulatedDevice {
public:
    using Clock = std::chrono::steady_clock;

    explicit ModuleRadio(ModuleRadioOptions options);
    ~ModuleRadio() override;

    void start();
    void stop();
    std::string portText() const { return m_host.portText(); }
    std::string slavePath() const { return m_host.slavePath(); }
    Traffic& traffic() { return m_host.traffic(); }
    PtyHost& host() { return m_host; }

    bool inCommandMode() const;
    void setCommandMode(bool on);
    bool inProductionMode() const;
    ModuleSettings settings() const;
    ModuleSettings storedSettings() const;
    // The rate the module's serial interface runs at now.
    std::uint32_t baud() const { return m_host.ownLine().baudRate; }
    std::optional<long> ioPin(long pin) const;

    // How many bytes the module has taken in, and a wait for that count: a test that times
    // silence from the moment the module heard something.
    std::size_t bytesHeard() const;
    bool waitForHeard(std::size_t count, std::chrono::milliseconds timeout) const;

    void setFaults(const Faults& faults) { m_host.setFaults(faults); }
    Faults faults() const { return m_host.faults(); }
    void setModuleFaults(const ModuleFaults& faults);
    ModuleFaults moduleFaults() const;
    void unplug() { m_host.unplug(); }
    void replug() { m_host.replug(); }
    bool isPluggedIn() const { return m_host.pluggedIn(); }
    // The cable comes out on the program's `steps`-th step from now (PtyHost).
    void unplugAfterSteps(std::size_t steps) { m_host.unplugAfterSteps(steps); }
    std::size_t stepsHeard() const { return m_host.stepsHeard(); }

private:
    using Entry = ModuleCommandTable::Entry;

    void portOpened() override;
    void portClosed() override;
    void bytesReceived(std::string_view bytes) override;

    bool escapeComplete(Clock::time_point now) const;
    void settleEscape(Clock::time_point now);
    void hearInDataMode(char c, Clock::time_point now);
    void hearInCommandMode(char c);
    void beginLine();
    void enterDataMode();
    void clearLine();

    void answerLine(const std::string& line);
    void carryOut(const ModuleCommand& command);
    void answerPlain(const std::string& word);
    void answerSet(const Entry& entry, const std::vector<ModuleParam>& params);
    void answerInquiry(const std::vector<ModuleParam>& params);
    void answerNameQuery(const std::string& address);
    void writeRemotePeer(const std::vector<ModuleParam>& params);
    void readRemotePeer(const std::vector<ModuleParam>& params);
    void restart();

    void reply(const std::string& text, std::chrono::milliseconds delay = {});
    void flushEcho();

    const ModuleRadioOptions m_options;
    PtyHost m_host;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_heardChanged;
    ModuleSettings m_current;
    ModuleSettings m_stored;
    ModuleFaults m_moduleFaults;
    bool m_commandMode = false;
    bool m_productionMode = false;
    std::map<long, long> m_ioPins;
    std::set<std::string> m_namesFailedOnce;
    std::size_t m_heard = 0;

    Clock::time_point m_lastHeard;
    int m_slashes = 0;
    Clock::time_point m_escapeStart;
    Clock::time_point m_escapeEnd;

    std::string m_line;
    bool m_lineStarted = false;
    bool m_lineTooLong = false;
    std::string m_echo;
    // Per command line: its answers are held back, or go out this much later.
    bool m_holdAnswer = false;
    std::chrono::milliseconds m_answerDelay{0};
    std::string m_held;
};

} // namespace oryx::sim
