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

    // What the user must be told about the last successful save beyond "Settings saved.";
    // empty when nothing, and after a save that failed.
    const std::string& saveNotice() const { return saveNotice_; }

private:
    // One query; on failure logs, shows the "Error" box with the caption and returns false.
    bool Query(const char* command, int& value, const char* errorLog, const char* caption);
    // One set command; on failure logs the text and returns false.
    bool Set(const std::string& command, const char* errorLog);
    int WriteSettings();
    int ChangeBaudRate();
    // Refuses a save whose mode or link number the radio could not take; nothing but "z>"
    // reaches the radio then.
    bool RefuseIncompleteSave();
    void Refuse(const char* errorLog, const char* message, const char* caption);

    ModemSessionC& session_;
    std::string saveNotice_;
};
