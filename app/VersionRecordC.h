#pragma once

#include <map>
#include <optional>
#include <string>

// The program's version information, compiled in and queried by the same string-table paths
// a version resource offers ("\StringFileInfo\040904b0\FileVersion").
class VersionRecordC {
public:
    using StringTableT = std::map<std::string, std::string>;

    VersionRecordC(std::string translation, StringTableT strings);

    // The record this program was built with.
    static const VersionRecordC& Program();

    std::optional<std::string> Query(const std::string& path) const;

private:
    std::string translation_;
    StringTableT strings_;
};
