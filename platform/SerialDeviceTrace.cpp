// The public face of SerialDevice: each operation, and what it did to the line for the wire
// trace. A trace costs nothing here until a sink is installed.
#include "platform/SerialDevice.h"
#include "platform/WireTap.h"

namespace oryx::platform {

namespace {

std::string ending(const SerialError& error) {
    return error.ok() ? std::string("time-out") : error.message;
}

} // namespace

void SerialDevice::traceError(const std::string& what, const SerialError& error) const {
    WireTap::control(portText(), "ERROR", what + ": " + error.message);
}

void SerialDevice::traceOutcome(std::string_view tag, const std::string& detail,
                                const SerialError& error) const {
    if (error.ok()) {
        WireTap::control(portText(), tag, detail);
    } else {
        traceError(std::string(tag) + " " + detail, error);
    }
}

SerialError SerialDevice::open(const std::string& portText) {
    const SerialError error = openPort(portText);
    if (WireTap::active()) {
        if (error.ok()) {
            WireTap::control(portText, "OPEN", portText);
        } else {
            WireTap::control(portText, "ERROR", "open " + portText + ": " + error.message);
        }
    }
    return error;
}

void SerialDevice::close() {
    if (WireTap::active() && isOpen()) {
        WireTap::control(portText(), "CLOSE", {});
    }
    closePort();
}

SerialError SerialDevice::configure(const LineSettings& settings) {
    const SerialError error = applySettings(settings);
    if (WireTap::active()) {
        traceOutcome("SET", WireTap::describe(settings), error);
    }
    return error;
}

SerialError SerialDevice::setDtr(bool on) {
    const SerialError error = switchDtr(on);
    if (WireTap::active()) {
        traceOutcome("DTR", on ? "on" : "off", error);
    }
    return error;
}

SerialError SerialDevice::setRts(bool on) {
    const SerialError error = switchRts(on);
    if (WireTap::active()) {
        traceOutcome("RTS", on ? "on" : "off", error);
    }
    return error;
}

SerialError SerialDevice::purge(bool receive, bool transmit) {
    const SerialError error = purgeQueues(receive, transmit);
    if (WireTap::active()) {
        const std::string queues = std::string(receive ? "rx" : "") +
                                   (receive && transmit ? " " : "") + (transmit ? "tx" : "");
        traceOutcome("PURGE", queues, error);
    }
    return error;
}

IoResult SerialDevice::read(void* buffer, std::size_t size) {
    const IoResult result = readBytes(buffer, size);
    if (WireTap::active()) {
        WireTap::bytes(portText(), WireTap::kRead, buffer, result.count, WireTap::now());
        if (!result.error.ok()) {
            traceError("read", result.error);
        }
    }
    return result;
}

IoResult SerialDevice::write(const void* data, std::size_t size) {
    // Recorded before the bytes go: an answer read on another thread while the write still
    // drains must not come before its command in the trace.
    const bool traced = WireTap::active();
    if (traced) {
        WireTap::bytes(portText(), WireTap::kWritten, data, size, WireTap::now());
    }
    const IoResult result = writeBytes(data, size);
    if (traced && (result.count < size || !result.error.ok())) {
        WireTap::control(portText(), "ERROR",
                         "write: " + std::to_string(result.count) + " of " + std::to_string(size) +
                             " bytes went: " + ending(result.error));
    }
    return result;
}

} // namespace oryx::platform
