#pragma once

#include <string>
#include <vector>

// Reads an event log back for assertions: its lines without the time stamps.
class EventLogReaderC {
public:
    static std::vector<std::string> Texts(const std::string& path);
    // The same without the start blocks (blank, separator, "Application started").
    static std::vector<std::string> TextsWithoutStartBlocks(const std::string& path);
};
