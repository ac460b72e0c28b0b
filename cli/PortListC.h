#pragma once

#include "cli/PortChoiceS.h"

#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

// The ports of one oryx-cli command: the options that name them, the list file, and the
// names of the files (event logs, profiles) of a run over several ports.
class PortListC {
public:
    // How a command runs on several ports, for the end of each family's help.
    static constexpr const char* kSeveralPortsHelp =
        "\n\nSeveral ports (--port more than once, or --ports-from): each port runs at the same "
        "time on its own. Standard error shows each port's progress on lines of its own, "
        "\"PORT: text\", and on a terminal a live line of the ports done and running. Standard "
        "output has a table, one row per port, or with --json an array of the objects one port "
        "prints, in the order of the ports. The exit status is 0 when every port succeeded, 4 "
        "after Ctrl-C (which cancels every port), otherwise 1; each port's own status is in its "
        "row or object. Questions are not asked (modem defaults needs --yes).";

    // A list of ports for a whole workshop stays far below this (50 000 lines of simulator
    // links are about 2 MiB).
    static constexpr std::size_t kMaxListFileSize = 4 * 1024 * 1024;

    // --port, repeatable, and --ports-from, for a command of either family.
    static void AddOptions(CLI::App& command, PortChoiceS& choice);

    // The port texts of a list file: one a line, blanks around them dropped, blank lines and
    // lines whose first character other than a blank is '#' skipped.
    static std::vector<std::string> ParseLines(std::string_view text);

    // Every port chosen, those of --port first; an error text naming the option when there
    // is none, the list cannot be read, or two texts name the same port (two runs on one
    // port would talk over each other).
    static std::string Collect(const PortChoiceS& choice, std::vector<std::string>& ports);
    // The first two texts that name one port (a link and its device count as one), or empty.
    static std::string SamePortProblem(const std::vector<std::string>& ports);

    // One file per port, for event logs and saved profiles: the port text, made safe for a file
    // name, goes in front of the file's extension ("run.log" and "pts/4" give "run-pts_4.log"); a
    // port whose name comes out like an earlier one's gets a number after it ("run-pts_4-2.log").
    static std::vector<std::string> FilesPerPort(const std::string& file,
                                                 const std::vector<std::string>& ports);

    // The event log and the saved profile of one port, or of any two ports of a run over
    // several, would be one file: the log lines would land in the profile or the profile would
    // replace the log. An error text naming the file, or empty.
    static std::string SameFileProblem(const std::string& eventLog, const std::string& profile,
                                       const std::vector<std::string>& ports, bool several);
};
