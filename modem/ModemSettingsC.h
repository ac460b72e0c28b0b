#pragma once

#include <string>

class ModemSessionC;

// Reads the connected radio's settings into the fields and writes the edited ones back,
// including a baud-rate change that the PC side follows.
class ModemSettingsC {
public:
    explicit ModemSettingsC(ModemSessionC& session) : session_(session) {}

    int ReadSettings();
    int SaveSettings();
    // Writes the model's fixed parameters; 1 at the first failure, else 0.
    int WriteFixedParameters();

private:
    // One query; on failure logs, shows the "Error" box with the caption and returns false.
    bool Query(const char* command, int& value, const char* errorLog, const char* caption);
    // One set command; on failure logs the text and returns false.
    bool Set(const std::string& command, const char* errorLog);
    int ChangeBaudRate();

    ModemSessionC& session_;
};
