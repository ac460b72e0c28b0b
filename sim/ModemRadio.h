#pragma once

#include "sim/Faults.h"
#include "sim/ModemRadioOptions.h"
#include "sim/PtyHost.h"
#include "sim/SimulatedDevice.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace oryx::sim {

class ModemModel;

// A radio modem of the 2400/2410/2450 models on a pseudo-terminal.
//
// Data mode: it waits for the attention text ":wit2400" + CR and answers "\r\nOK\r\n>".
// Command mode: every character is echoed as it arrives; a line ends with CR (LF is
// ignored) and is answered after the reply delay with
//   a query "xx?"            -> CR LF, two upper-case hex digits, CR LF, ">"
//   a set "xx" + hex value   -> CR LF, "OK", CR LF, ">"  (applied at once)
//   "sd" + rate code         -> the same, then the radio runs at the new rate
//   "m>" stores the settings permanently, "m0" restores the maker's defaults (answered OK)
//   "z>"                     -> CR LF, "OK", CR LF, and back to data mode
//   an empty line            -> CR LF, ">"
//   anything else (unknown parameter, value out of range, bad digits, too long, a set of a
//   parameter the options say it refuses)
//                            -> CR LF, "ERROR", CR LF, ">"
// Settings changed by commands are lost at a power cycle unless stored with "m>".
class ModemRadio : private SimulatedDevice {
public:
    explicit ModemRadio(ModemRadioOptions options);
    ~ModemRadio() override;

    void start();
    void stop();
    std::string portText() const { return m_host.portText(); }
    std::string slavePath() const { return m_host.slavePath(); }
    Traffic& traffic() { return m_host.traffic(); }
    PtyHost& host() { return m_host; }

    int model() const;
    bool kvVariant() const;
    std::string bannerText() const;
    bool inCommandMode() const;
    void setCommandMode(bool on);

    // Current and permanently stored values of a two-letter parameter; nothing when the
    // model does not know it.
    std::optional<unsigned> value(const std::string& parameter) const;
    std::optional<unsigned> storedValue(const std::string& parameter) const;
    void setValue(const std::string& parameter, unsigned value);
    std::uint32_t baud() const;
    std::uint32_t storedBaud() const;
    void setBaud(std::uint32_t baud);

    void setFaults(const Faults& faults) { m_host.setFaults(faults); }
    Faults faults() const { return m_host.faults(); }

    // Sends the banner now (after the noise, if any) and leaves command mode, as when the
    // cable is reconnected.
    void reconnectCable();
    // Restarts: unsaved settings and rate are lost, command mode ends, the banner follows.
    void powerCycle();
    void unplug() { m_host.unplug(); }
    void replug() { m_host.replug(); }

private:
    void portOpened() override;
    void portClosed() override;
    void bytesReceived(std::string_view bytes) override;

    void announce(std::chrono::milliseconds noiseDelay, std::chrono::milliseconds bannerDelay);
    void hearInDataMode(char c);
    void hearInCommandMode(char c);
    void answerLine(const std::string& line);
    void answerQuery(const std::string& parameter);
    void answerSet(const std::string& parameter, const std::string& valueText);
    void answerRateChange(const std::string& code);
    void restoreMakerDefaults();
    void reply(const std::string& text);
    void flushEcho();

    const ModemModel& m_model;
    const ModemRadioOptions m_options;
    PtyHost m_host;

    mutable std::mutex m_mutex;
    std::map<std::string, unsigned> m_values;
    std::map<std::string, unsigned> m_stored;
    std::uint32_t m_storedBaud;
    bool m_commandMode = false;
    std::string m_line;
    bool m_lineTooLong = false;
    std::string m_dataTail;
    std::string m_echo;
};

} // namespace oryx::sim
