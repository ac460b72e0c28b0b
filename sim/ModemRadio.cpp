#include "sim/ModemRadio.h"

#include "sim/ModemModel.h"

#include <algorithm>
#include <cstdio>

namespace oryx::sim {
namespace {

constexpr std::string_view kAttention = ":wit2400";
constexpr std::size_t kMaxLine = 32;
constexpr char kNoise[] = "\xF0\xFF";

const std::string kOk = "\r\nOK\r\n>";
const std::string kError = "\r\nERROR\r\n>";
const std::string kLeft = "\r\nOK\r\n";
const std::string kPrompt = "\r\n>";

platform::LineSettings radioLine(std::uint32_t baud) {
    platform::LineSettings line;
    line.baudRate = baud;
    return line;
}

std::string linkNameFor(const ModemRadioOptions& options) {
    return options.linkName.empty() ? "modem-" + std::to_string(options.model) : options.linkName;
}

std::string hexReply(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "\r\n%02X\r\n>", value);
    return text;
}

} // namespace

ModemRadio::ModemRadio(ModemRadioOptions options)
    : m_model(ModemModel::forNumber(options.model)), m_options(std::move(options)),
      m_host(*this, linkNameFor(m_options), radioLine(m_options.baud)),
      m_storedBaud(m_options.baud) {
    m_values = m_model.makerDefaults(kvVariant());
    for (const auto& [parameter, value] : m_options.values) {
        if (m_model.knows(parameter)) {
            m_values[parameter] = value;
        }
    }
    m_stored = m_values;
}

ModemRadio::~ModemRadio() {
    // The host's thread calls into this object; it must end before the members go.
    m_host.stop();
}

void ModemRadio::start() {
    m_host.start();
}

void ModemRadio::stop() {
    m_host.stop();
}

int ModemRadio::model() const {
    return m_model.number();
}

bool ModemRadio::kvVariant() const {
    return m_options.kvVariant && m_model.number() == 2410;
}

std::string ModemRadio::bannerText() const {
    return m_options.banner.empty() ? m_model.defaultBanner(kvVariant()) : m_options.banner;
}

bool ModemRadio::inCommandMode() const {
    std::lock_guard lock(m_mutex);
    return m_commandMode;
}

void ModemRadio::setCommandMode(bool on) {
    std::lock_guard lock(m_mutex);
    m_commandMode = on;
    m_line.clear();
    m_lineTooLong = false;
}

std::optional<unsigned> ModemRadio::value(const std::string& parameter) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_values.find(parameter);
    return found == m_values.end() ? std::nullopt : std::optional(found->second);
}

std::optional<unsigned> ModemRadio::storedValue(const std::string& parameter) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_stored.find(parameter);
    return found == m_stored.end() ? std::nullopt : std::optional(found->second);
}

void ModemRadio::setValue(const std::string& parameter, unsigned value) {
    std::lock_guard lock(m_mutex);
    if (m_model.knows(parameter)) {
        m_values[parameter] = value;
        m_stored[parameter] = value;
    }
}

std::uint32_t ModemRadio::baud() const {
    return m_host.ownLine().baudRate;
}

std::uint32_t ModemRadio::storedBaud() const {
    std::lock_guard lock(m_mutex);
    return m_storedBaud;
}

void ModemRadio::setBaud(std::uint32_t baud) {
    std::lock_guard lock(m_mutex);
    m_storedBaud = baud;
    m_host.setOwnLine(radioLine(baud));
}

void ModemRadio::reconnectCable() {
    std::lock_guard lock(m_mutex);
    m_commandMode = false;
    m_line.clear();
    announce(std::chrono::milliseconds::zero(), m_options.replyDelay);
}

void ModemRadio::powerCycle() {
    std::lock_guard lock(m_mutex);
    m_values = m_stored;
    m_host.setOwnLine(radioLine(m_storedBaud));
    m_commandMode = false;
    m_line.clear();
    m_dataTail.clear();
    announce(std::chrono::milliseconds::zero(), m_options.replyDelay);
}

void ModemRadio::portOpened() {
    std::lock_guard lock(m_mutex);
    if (m_options.bannerOnOpen && !m_commandMode) {
        announce(m_options.noiseDelay, m_options.bannerDelay);
    }
}

void ModemRadio::portClosed() {
    std::lock_guard lock(m_mutex);
    m_line.clear();
    m_lineTooLong = false;
    m_dataTail.clear();
}

void ModemRadio::announce(std::chrono::milliseconds noiseDelay,
                          std::chrono::milliseconds bannerDelay) {
    const auto noise = static_cast<std::size_t>(std::clamp(m_options.noiseBytes, 0, 2));
    if (noise > 0) {
        m_host.send(std::string(kNoise, noise), noiseDelay, true);
    }
    m_host.send(bannerText(), bannerDelay, true);
}

void ModemRadio::bytesReceived(std::string_view bytes) {
    std::lock_guard lock(m_mutex);
    for (char c : bytes) {
        if (m_commandMode) {
            hearInCommandMode(c);
        } else {
            hearInDataMode(c);
        }
    }
    flushEcho();
}

void ModemRadio::flushEcho() {
    if (!m_echo.empty()) {
        m_host.send(m_echo, std::chrono::milliseconds::zero());
        m_echo.clear();
    }
}

void ModemRadio::hearInDataMode(char c) {
    if (c == '\n') {
        return;
    }
    if (c == '\r') {
        if (m_dataTail == kAttention) {
            m_commandMode = true;
            m_line.clear();
            m_lineTooLong = false;
            reply(kOk);
        }
        m_dataTail.clear();
        return;
    }
    // Only the last characters matter for spotting the attention text in a data stream.
    m_dataTail += c;
    if (m_dataTail.size() > kAttention.size()) {
        m_dataTail.erase(0, m_dataTail.size() - kAttention.size());
    }
}

void ModemRadio::hearInCommandMode(char c) {
    if (c == '\n') {
        return;
    }
    if (c == '\r') {
        const std::string line = m_lineTooLong ? std::string() : m_line;
        const bool tooLong = m_lineTooLong;
        m_line.clear();
        m_lineTooLong = false;
        if (tooLong) {
            reply(kError);
        } else {
            answerLine(line);
        }
        return;
    }
    if (c >= 0x20 && c < 0x7F) {
        m_echo += c;
    }
    if (m_line.size() < kMaxLine) {
        m_line += c;
    } else {
        m_lineTooLong = true;
    }
}

void ModemRadio::answerLine(const std::string& line) {
    if (line.empty()) {
        reply(kPrompt);
    } else if (m_host.faults().answerError) {
        reply(kError);
    } else if (line == "z>") {
        m_commandMode = false;
        reply(kLeft);
    } else if (line == "m>") {
        m_stored = m_values;
        m_storedBaud = m_host.ownLine().baudRate;
        reply(kOk);
    } else if (line == "m0") {
        reply(kOk);
        restoreMakerDefaults();
    } else if (line.size() == 3 && line[2] == '?') {
        answerQuery(line.substr(0, 2));
    } else if (line.size() > 2 && line.starts_with("sd")) {
        answerRateChange(line.substr(2));
    } else if (line.size() > 2) {
        answerSet(line.substr(0, 2), line.substr(2));
    } else {
        reply(kError);
    }
}

void ModemRadio::answerQuery(const std::string& parameter) {
    if (parameter == "sd") {
        const auto code = m_model.codeForRate(m_host.ownLine().baudRate);
        reply(code ? "\r\n" + *code + "\r\n>" : kError);
        return;
    }
    const auto found = m_values.find(parameter);
    reply(found == m_values.end() ? kError : hexReply(found->second));
}

void ModemRadio::answerSet(const std::string& parameter, const std::string& valueText) {
    const auto value = ModemModel::parseDigits(valueText, 16);
    if (!m_model.knows(parameter) || !value || *value > m_model.maxValue(parameter) ||
        m_options.refused.count(parameter) != 0) {
        reply(kError);
        return;
    }
    m_values[parameter] = *value;
    reply(kOk);
}

void ModemRadio::answerRateChange(const std::string& code) {
    const auto rate = m_model.rateForCode(code);
    if (!rate) {
        reply(kError);
        return;
    }
    // The acknowledgement still goes out at the old rate; the host fixed that rate for it
    // when it was queued.
    reply(kOk);
    m_host.setOwnLine(radioLine(*rate));
}

void ModemRadio::restoreMakerDefaults() {
    m_values = m_model.makerDefaults(kvVariant());
    if (const auto rate = m_model.rateAfterReset()) {
        m_host.setOwnLine(radioLine(*rate));
    }
}

void ModemRadio::reply(const std::string& text) {
    flushEcho();
    m_host.send(text, m_options.replyDelay);
}

} // namespace oryx::sim
