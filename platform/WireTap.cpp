#include "platform/WireTap.h"

#include <atomic>
#include <chrono>

namespace oryx::platform {

namespace {

std::atomic<WireTap::Sink> g_sink{nullptr};
// Marks line up with the bytes: "TX+   " is the widest tag.
constexpr std::size_t kTagWidth = 6;

const char* parityLetter(Parity parity) {
    switch (parity) {
    case Parity::Odd:
        return "O";
    case Parity::Even:
        return "E";
    case Parity::None:
        break;
    }
    return "N";
}

const char* onOff(bool on) {
    return on ? "on" : "off";
}

} // namespace

void WireTap::install(Sink sink) {
    g_sink.store(sink, std::memory_order_release);
}

bool WireTap::active() {
    return g_sink.load(std::memory_order_relaxed) != nullptr;
}

std::int64_t WireTap::now() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void WireTap::bytes(const std::string& portText, char kind, const void* data, std::size_t size,
                    std::int64_t at) {
    if (const Sink sink = g_sink.load(std::memory_order_acquire); sink != nullptr && size > 0) {
        sink(portText.c_str(), kind, static_cast<const char*>(data), size, at);
    }
}

void WireTap::control(const std::string& portText, std::string_view tag,
                      const std::string& detail) {
    if (const Sink sink = g_sink.load(std::memory_order_acquire)) {
        std::string text(tag);
        if (!detail.empty()) {
            text.resize(kTagWidth, ' ');
            text += detail;
        }
        sink(portText.c_str(), kControl, text.data(), text.size(), now());
    }
}

std::string WireTap::describe(const LineSettings& settings) {
    return std::to_string(settings.baudRate) + " " + std::to_string(settings.dataBits) +
           parityLetter(settings.parity) + (settings.stopBits == StopBits::Two ? "2" : "1") +
           " flow=" + (settings.rtsCtsHandshake ? "rts/cts" : "none") +
           " dtr=" + onOff(settings.dtrOn) + " rts=" + onOff(settings.rtsOn);
}

} // namespace oryx::platform
