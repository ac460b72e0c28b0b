#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace FWK::DBG {

// One routing rule of a debug configuration file.
struct DbgRuleS {
    int32_t lHeaderType = 0;
    std::string strKey;
    int32_t lLevel = 0;
    std::string strConsumer;
    long lFirstNumber = 1;
    long lSecondNumber = 0;
};

// Reads debug configuration files ("debug.def"). A rule line reads
//   LOG[T|S] <key or prefix*> [level] <consumer or "quoted consumer"> [files [period days]]
// Lines that begin with one of "#;/", a blank or a line end are comments; malformed lines are
// skipped without a report.
class DbgConfigParserC {
public:
    static constexpr size_t LINE_BUFFER_LEN = 256;

    // The rule of one line, or nothing for a comment or a malformed line.
    static std::optional<DbgRuleS> parseLine(const char* pszLine);
    // Adds every rule of the file to the log manager; a file that does not open does nothing.
    // Without a name, the default file of the path map is read.
    static void readFile(const char* pszFileName = nullptr);
};

} // namespace FWK::DBG
