#include "ModemClient.h"

#include <stdexcept>

namespace oryx::sim::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kMax = platform::CommTimeouts::kMaxDword;

} // namespace

ModemClient::ModemClient(const std::string& portText, std::uint32_t baud) {
    const platform::SerialError opened = m_device.open(portText);
    if (!opened.ok()) {
        throw std::runtime_error(opened.message);
    }
    setBaud(baud);
    m_device.setTimeouts({kMax, 0, 0, 0, 1000});
}

void ModemClient::setBaud(std::uint32_t baud) {
    platform::LineSettings line;
    line.baudRate = baud;
    const platform::SerialError configured = m_device.configure(line);
    if (!configured.ok()) {
        throw std::runtime_error(configured.message);
    }
}

void ModemClient::send(const std::string& bytes) {
    m_device.write(bytes.data(), bytes.size());
}

std::string ModemClient::readUntilQuiet(std::chrono::milliseconds quiet) {
    std::string received;
    char buffer[256];
    while (m_device.waitForInputOrError(quiet) == platform::WaitOutcome::Input) {
        const platform::IoResult result = m_device.read(buffer, sizeof buffer);
        received.append(buffer, result.count);
        if (!result.error.ok()) {
            break;
        }
    }
    return received;
}

std::string ModemClient::readUntilEnd(const std::string& ending,
                                      std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::string received;
    char buffer[256];
    while (!received.ends_with(ending) && Clock::now() < deadline) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (m_device.waitForInputOrError(left) != platform::WaitOutcome::Input) {
            break;
        }
        const platform::IoResult result = m_device.read(buffer, sizeof buffer);
        received.append(buffer, result.count);
    }
    return received;
}

std::string ModemClient::command(const std::string& text) {
    send(text + "\r\n");
    return readUntilEnd(text == "z>" ? "OK\r\n" : "\r\n>", std::chrono::milliseconds(2000));
}

} // namespace oryx::sim::test
