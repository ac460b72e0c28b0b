#include "EventLogReaderC.h"

#include "ScratchDirC.h"

#include <regex>

std::vector<std::string> EventLogReaderC::Texts(const std::string& path) {
    static const std::regex stamp(R"(^\d\d/\d\d/\d+ \d+:\d\d:\d\d: )");
    std::vector<std::string> lines;
    const std::string text = ScratchDirC::ReadFile(path);
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(std::regex_replace(text.substr(start, end - start), stamp, ""));
    }
    return lines;
}

std::vector<std::string> EventLogReaderC::TextsWithoutStartBlocks(const std::string& path) {
    const std::vector<std::string> lines = Texts(path);
    const std::string separator(61, '-');
    std::vector<std::string> kept;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i + 2 < lines.size() && lines[i].empty() && lines[i + 1] == separator &&
            lines[i + 2] == "Application started") {
            i += 2;
            continue;
        }
        kept.push_back(lines[i]);
    }
    return kept;
}
