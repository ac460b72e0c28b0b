#pragma once

#include "ScratchDirC.h"

#include <regex>
#include <string>
#include <vector>

// An event log file in a scratch folder and its lines without time stamps. The start block
// (blank, separator, "Application started") is left out.
class IsolatedLogC {
public:
    std::string path() const { return dir_.file("ORYX_Log.txt"); }

    std::vector<std::string> texts() const {
        static const std::regex stamp(R"(^\d\d/\d\d/\d+ \d+:\d\d:\d\d: )");
        std::vector<std::string> lines;
        std::string text = ScratchDirC::ReadFile(path());
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = std::regex_replace(text.substr(start, end - start), stamp, "");
            lines.push_back(line);
        }
        // Drop every start block.
        std::vector<std::string> kept;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i + 2 < lines.size() && lines[i].empty() && lines[i + 1] == std::string(61, '-') &&
                lines[i + 2] == "Application started") {
                i += 2;
                continue;
            }
            kept.push_back(lines[i]);
        }
        return kept;
    }

private:
    ScratchDirC dir_;
};
