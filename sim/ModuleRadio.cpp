#include "sim/ModuleRadio.h"

#include <algorithm>
#include <cctype>

namespace oryx::sim {
namespace {

constexpr std::size_t kMaxLine = 128;
// The parameter of the restart among the six flags of "AMWS".
constexpr std::size_t kRestartFlag = 4;

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string linkNameFor(const ModuleRadioOptions& options) {
    return options.linkName.empty() ? "module" : options.linkName;
}

bool sameAddress(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

std::string answerWith(std::string_view word, const std::string& parameters) {
    return "\r\n*" + std::string(word) + ":" + parameters + kOk;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

ModuleRadio::ModuleRadio(ModuleRadioOptions options)
    : m_options(std::move(options)),
      m_host(*this, linkNameFor(m_options), m_options.settings.line()),
      m_current(m_options.settings), m_stored(m_options.storedSettings),
      m_commandMode(m_options.commandMode), m_lastHeard(Clock::now()) {}

ModuleRadio::~ModuleRadio() {
    // The host's thread calls into this object; it must end before the members go.
    m_host.stop();
}

void ModuleRadio::start() {
    m_host.start();
}

void ModuleRadio::stop() {
    m_host.stop();
}

bool ModuleRadio::inCommandMode() const {
    std::lock_guard lock(m_mutex);
    return m_commandMode || escapeComplete(Clock::now());
}

void ModuleRadio::setCommandMode(bool on) {
    std::lock_guard lock(m_mutex);
    m_commandMode = on;
    m_slashes = 0;
    clearLine();
}

bool ModuleRadio::inProductionMode() const {
    std::lock_guard lock(m_mutex);
    return m_productionMode;
}

ModuleSettings ModuleRadio::settings() const {
    std::lock_guard lock(m_mutex);
    return m_current;
}

ModuleSettings ModuleRadio::storedSettings() const {
    std::lock_guard lock(m_mutex);
    return m_stored;
}

std::optional<long> ModuleRadio::ioPin(long pin) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_ioPins.find(pin);
    return found == m_ioPins.end() ? std::nullopt : std::optional(found->second);
}

std::size_t ModuleRadio::bytesHeard() const {
    std::lock_guard lock(m_mutex);
    return m_heard;
}

bool ModuleRadio::waitForHeard(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_heardChanged.wait_for(lock, timeout, [&] { return m_heard >= count; });
}

void ModuleRadio::setModuleFaults(const ModuleFaults& faults) {
    std::lock_guard lock(m_mutex);
    m_moduleFaults = faults;
}

ModuleFaults ModuleRadio::moduleFaults() const {
    std::lock_guard lock(m_mutex);
    return m_moduleFaults;
}

void ModuleRadio::portOpened() {}

void ModuleRadio::portClosed() {
    std::lock_guard lock(m_mutex);
    clearLine();
    m_held.clear();
}

void ModuleRadio::clearLine() {
    m_line.clear();
    m_lineStarted = false;
    m_lineTooLong = false;
}

void ModuleRadio::bytesReceived(std::string_view bytes) {
    {
        std::lock_guard lock(m_mutex);
        // The bytes of one chunk arrived together: no silence lies between them.
        const auto now = Clock::now();
        for (char c : bytes) {
            settleEscape(now);
            if (m_commandMode) {
                hearInCommandMode(c);
            } else {
                hearInDataMode(c, now);
            }
            m_lastHeard = now;
        }
        flushEcho();
        m_heard += bytes.size();
    }
    m_heardChanged.notify_all();
}

bool ModuleRadio::escapeComplete(Clock::time_point now) const {
    return m_slashes == 3 && now - m_escapeEnd >= m_options.guardTime;
}

// Whatever follows the third slash decides the escape: after the guard time it is the first
// byte of command mode, before it the escape was only data.
void ModuleRadio::settleEscape(Clock::time_point now) {
    if (m_slashes != 3) {
        return;
    }
    if (escapeComplete(now)) {
        m_commandMode = true;
        clearLine();
    }
    m_slashes = 0;
}

void ModuleRadio::hearInDataMode(char c, Clock::time_point now) {
    const bool continues = c == '/' && m_slashes > 0 && now - m_escapeStart < m_options.guardTime;
    if (continues) {
        if (++m_slashes == 3) {
            m_escapeEnd = now;
        }
    } else if (c == '/' && now - m_lastHeard >= m_options.guardTime) {
        m_slashes = 1;
        m_escapeStart = now;
    } else {
        m_slashes = 0;
    }
}

void ModuleRadio::hearInCommandMode(char c) {
    if (c == '\n') {
        return;
    }
    if (!m_lineStarted) {
        beginLine();
    }
    m_echo += c;
    if (c != '\r') {
        if (m_line.size() < kMaxLine) {
            m_line += c;
        } else {
            m_lineTooLong = true;
        }
        return;
    }
    const std::string line = m_line;
    const bool tooLong = m_lineTooLong;
    clearLine();
    if (tooLong) {
        reply(kError);
    } else {
        answerLine(line);
    }
}

// A held answer and stray bytes go out before the first echo of the new line.
void ModuleRadio::beginLine() {
    m_lineStarted = true;
    flushEcho();
    if (!m_held.empty()) {
        m_host.send(m_held, std::chrono::milliseconds::zero());
        m_held.clear();
    }
    if (!m_moduleFaults.strayBytes.empty()) {
        m_host.send(m_moduleFaults.strayBytes, std::chrono::milliseconds::zero());
    }
}

void ModuleRadio::answerLine(const std::string& line) {
    const ModuleCommand command = ModuleCommand::parse(line);
    if (command.form() == ModuleCommand::Form::Empty) {
        flushEcho();
        return;
    }
    if (m_host.faults().answerError) {
        reply(kError);
        return;
    }
    const auto fault = m_moduleFaults.words.find(command.word());
    if (fault != m_moduleFaults.words.end()) {
        switch (fault->second.kind) {
        case ModuleFaults::Kind::Error:
            reply(kError);
            return;
        case ModuleFaults::Kind::NoAnswer:
            flushEcho();
            return;
        case ModuleFaults::Kind::Delay:
            m_answerDelay = fault->second.delay;
            break;
        case ModuleFaults::Kind::Hold:
            m_holdAnswer = true;
            break;
        }
    }
    carryOut(command);
    m_holdAnswer = false;
    m_answerDelay = std::chrono::milliseconds::zero();
}

void ModuleRadio::carryOut(const ModuleCommand& command) {
    using Form = ModuleCommand::Form;
    if (command.form() == Form::Plain) {
        answerPlain(command.word());
        return;
    }
    const Entry* entry = ModuleCommandTable::instance().find(command.word());
    if (entry == nullptr) {
        reply(kError);
    } else if (command.form() == Form::Query && entry->query) {
        reply(answerWith(entry->word, ModuleCommandTable::queryAnswer(*entry, m_current)));
    } else if (command.form() == Form::Action && entry->action) {
        reply(kOk);
        enterDataMode();
    } else if (command.form() == Form::Set && entry->set &&
               ModuleCommandTable::accepts(*entry, command.params())) {
        answerSet(*entry, command.params());
    } else {
        reply(kError);
    }
}

void ModuleRadio::answerPlain(const std::string& word) {
    if (word == "AT") {
        reply(kOk);
    } else if (word == "AT&F") {
        // The serial settings in effect stay until the restart loads the stored ones.
        ModuleSettings defaults = m_current.makerDefaults();
        m_stored = defaults;
        defaults.baudCode = m_current.baudCode;
        defaults.dataBitsCode = m_current.dataBitsCode;
        defaults.stopBitsCode = m_current.stopBitsCode;
        defaults.parityCode = m_current.parityCode;
        defaults.flowCode = m_current.flowCode;
        m_current = defaults;
        reply(kOk);
    } else if (word == "ATP") {
        m_productionMode = true;
        reply(kOk);
    } else {
        reply(kError);
    }
}

void ModuleRadio::answerSet(const Entry& entry, const std::vector<ModuleParam>& params) {
    using Handling = ModuleCommandTable::Handling;
    switch (entry.handling) {
    case Handling::Setting: {
        const bool applyNow = ModuleCommandTable::applySetting(entry, params, m_current, m_stored);
        // The acknowledgement still goes out at the old rate; the host fixed that rate for
        // it when it was queued.
        reply(kOk);
        if (applyNow) {
            m_host.setOwnLine(m_current.line());
        }
        return;
    }
    case Handling::Inquiry:
        answerInquiry(params);
        return;
    case Handling::NameQuery:
        answerNameQuery(params[0].text);
        return;
    case Handling::WriteRemotePeer:
        writeRemotePeer(params);
        return;
    case Handling::ReadRemotePeer:
        readRemotePeer(params);
        return;
    case Handling::WriteSettings:
        reply(kOk);
        if (ModuleCommandTable::number(params[kRestartFlag]) == 1) {
            restart();
        }
        return;
    case Handling::WriteIoPin:
        m_ioPins[ModuleCommandTable::number(params[0])] = ModuleCommandTable::number(params[1]);
        reply(kOk);
        return;
    case Handling::Identity:
    case Handling::DataMode:
        break;
    }
    reply(kError);
}

void ModuleRadio::answerInquiry(const std::vector<ModuleParam>& params) {
    const long type = ModuleCommandTable::number(params[0]);
    const auto most = static_cast<std::size_t>(ModuleCommandTable::number(params[2]));
    std::string lines = "\r\n";
    const std::size_t count = m_moduleFaults.inquiryListsAll
                                  ? m_options.devices.size()
                                  : std::min(most, m_options.devices.size());
    for (std::size_t i = 0; i < count; ++i) {
        const DeviceInRange& device = m_options.devices[i];
        lines += "*AGI:" + device.address + "," + std::to_string(device.classOfDevice);
        if (type >= 3) {
            lines += ",0," + quoted(device.name) + ",0";
        }
        lines += "\r\n";
    }
    reply(lines + kOk, m_options.inquiryDelay);
}

void ModuleRadio::answerNameQuery(const std::string& address) {
    using NameFault = DeviceInRange::NameFault;
    const auto device =
        std::find_if(m_options.devices.begin(), m_options.devices.end(),
                     [&](const DeviceInRange& d) { return sameAddress(d.address, address); });
    if (device == m_options.devices.end()) {
        reply(kError, m_options.nameDelay);
        return;
    }
    switch (device->nameFault) {
    case NameFault::NeverAnswers:
        flushEcho();
        return;
    case NameFault::FailAlways:
        reply(kError, m_options.nameDelay);
        return;
    case NameFault::FailOnce:
        if (m_namesFailedOnce.insert(device->address).second) {
            reply(kError, m_options.nameDelay);
            return;
        }
        break;
    case NameFault::None:
        break;
    }
    reply(answerWith("AGND", quoted(device->name)), m_options.nameDelay);
}

void ModuleRadio::writeRemotePeer(const std::vector<ModuleParam>& params) {
    const long index = ModuleCommandTable::number(params[0]);
    const ModulePeer peer{params[1].text, ModuleCommandTable::number(params[2]),
                          ModuleCommandTable::number(params[3]), params[4].text};
    m_current.peers[index] = peer;
    if (ModuleCommandTable::number(params[5]) == 1) {
        m_stored.peers[index] = peer;
    }
    reply(kOk);
}

void ModuleRadio::readRemotePeer(const std::vector<ModuleParam>& params) {
    const auto found = m_current.peers.find(ModuleCommandTable::number(params[0]));
    if (found == m_current.peers.end()) {
        reply(kError);
        return;
    }
    const ModulePeer& peer = found->second;
    reply(answerWith("ADRDRP", peer.address + "," + std::to_string(peer.peerCode) + "," +
                                   std::to_string(peer.peerFlag) + "," + quoted(peer.name)));
}

void ModuleRadio::restart() {
    m_current = m_stored;
    m_productionMode = false;
    m_host.setOwnLine(m_current.line());
    enterDataMode();
}

void ModuleRadio::enterDataMode() {
    m_commandMode = false;
    m_slashes = 0;
    clearLine();
}

void ModuleRadio::reply(const std::string& text, std::chrono::milliseconds delay) {
    flushEcho();
    if (m_holdAnswer) {
        m_held += text;
        return;
    }
    m_host.send(text, m_options.replyDelay + m_answerDelay + delay);
}

void ModuleRadio::flushEcho() {
    if (!m_echo.empty()) {
        m_host.send(m_echo, std::chrono::milliseconds::zero());
        m_echo.clear();
    }
}

} // namespace oryx::sim
