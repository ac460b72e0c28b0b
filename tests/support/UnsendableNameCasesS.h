#pragma once

#include <string>
#include <vector>

// Names that cannot travel inside a quoted AT parameter, with the character as the refusal
// names it. The dialog's and the command line's tests both run over them.
struct UnsendableNameCasesS {
    std::string name;
    std::string shown;

    static const std::vector<UnsendableNameCasesS>& All() {
        static const std::vector<UnsendableNameCasesS> cases = {
            {"x\"\rAT&F\r", "\""}, {"x\rAT&F", "\\r"},      {"Bay\n5", "\\n"},
            {"Bay\t5", "\\t"},     {"Bay\x1b[2J", "\\x1b"}, {"Bay 5\x7f", "\\x7f"},
        };
        return cases;
    }

    std::string Refusal() const { return "Local Name cannot contain the character " + shown; }
};
