#include "ModuleClient.h"

#include <stdexcept>
#include <thread>

namespace oryx::sim::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kAnswerTimeout{3000};

} // namespace

ModuleClient::ModuleClient(ModuleRadio& radio, std::uint32_t baud)
    : m_radio(radio), m_line(radio.portText(), baud), m_expectHeard(radio.bytesHeard()) {}

void ModuleClient::send(const std::string& bytes) {
    m_line.send(bytes);
    m_expectHeard += bytes.size();
}

std::string ModuleClient::command(const std::string& text) {
    send(text + "\r");
    const auto deadline = Clock::now() + kAnswerTimeout;
    std::string received;
    while (!received.ends_with("\r\nOK\r\n") && !received.ends_with("\r\nERROR\r\n") &&
           Clock::now() < deadline) {
        received += m_line.readUntilEnd("\n", kAnswerTimeout);
    }
    return received;
}

bool ModuleClient::waitUntilHeard() {
    return m_radio.waitForHeard(m_expectHeard, kAnswerTimeout);
}

void ModuleClient::escape(std::chrono::milliseconds silence) {
    if (!waitUntilHeard()) {
        throw std::runtime_error("the module did not hear the bytes before the escape");
    }
    std::this_thread::sleep_for(silence);
    send("///");
    if (!waitUntilHeard()) {
        throw std::runtime_error("the module did not hear the escape");
    }
    std::this_thread::sleep_for(silence);
}

} // namespace oryx::sim::test
