#include "platform/SerialError.h"

#include <cerrno>
#include <cstring>

namespace oryx::platform {

namespace {

// strerror may share one buffer between threads, and ports are opened on several at once.
std::string errorText(int code) {
    char buffer[256] = {};
    // The GNU form returns the text, which need not be the buffer.
    return ::strerror_r(code, buffer, sizeof buffer);
}

} // namespace

bool SerialError::deviceGone() const {
    return code == EIO || code == ENXIO || code == ENODEV;
}

SerialError SerialError::fromErrno(int code, const std::string& portName, const std::string& path) {
    std::string text;
    switch (code) {
    case ENOENT:
        text = "Port " + portName + " does not exist (" + path + ").";
        break;
    case EACCES:
    case EPERM:
        text = "Permission denied on " + path +
               ": add your user to the 'dialout' group (sudo usermod -aG dialout $USER), "
               "then log out and in again.";
        break;
    case EBUSY:
    case EWOULDBLOCK:
        code = EBUSY;
        text = "Port " + portName + " is in use by another program.";
        break;
    case ENOTTY:
        return notASerialPort(portName, path, "not a terminal device");
    case EIO:
    case ENXIO:
    case ENODEV:
        text = "Port " + portName + " has no device behind it (" + path +
               "): was the adapter unplugged?";
        break;
    default:
        text = "Port " + portName + " (" + path + "): " + errorText(code) + ".";
        break;
    }
    return {code, text};
}

SerialError SerialError::gone(const std::string& portName) {
    return {ENODEV, "Port " + portName + " has gone away: was the adapter unplugged?"};
}

SerialError SerialError::notASerialPort(const std::string& portName, const std::string& path,
                                        const std::string& whatItIs) {
    return {ENOTTY,
            "Port " + portName + " is not a serial port: " + path + " is " + whatItIs + "."};
}

SerialError SerialError::invalid(const std::string& message) {
    return {EINVAL, message};
}

} // namespace oryx::platform
