#pragma once

#include <string>

namespace oryx::platform {

// The outcome of a device operation: errno (0 for success) and a sentence the user can act on.
struct SerialError {
    static constexpr const char* kNoPortChosenText =
        "No port chosen: choose one from the list or type its name.";

    int code = 0;
    std::string message;

    bool ok() const { return code == 0; }
    // The device went away under us (adapter unplugged, simulator ended).
    bool deviceGone() const;

    static SerialError none() { return {}; }
    // portName is what the user chose, as shown in messages ("COM1", "ttyUSB0").
    static SerialError fromErrno(int code, const std::string& portName, const std::string& path);
    static SerialError gone(const std::string& portName);
    // ENOTTY, naming what stands at the path instead ("a regular file", "a folder", ...).
    static SerialError notASerialPort(const std::string& portName, const std::string& path,
                                      const std::string& whatItIs);
    static SerialError invalid(const std::string& message);
};

} // namespace oryx::platform
