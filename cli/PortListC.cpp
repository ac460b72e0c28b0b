#include "cli/PortListC.h"

#include "cli/InputFileC.h"

#include "platform/PortNames.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unordered_map>

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Letters, digits, '.', '-' and '_' stay; the rest (the folders' slashes above all) becomes
// '_', so that a port's log lands beside the file that was named and nowhere else.
std::string FileNamePart(const std::string& port) {
    std::string part;
    for (const char c : port.substr(std::min(port.find_first_not_of('/'), port.size()))) {
        const bool keep =
            std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
        part += keep ? c : '_';
    }
    return part;
}

std::string WithSuffix(const std::string& file, const std::string& suffix) {
    const auto folderEnd = file.rfind('/');
    const auto nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
    const auto dot = file.rfind('.');
    // A name that only begins with a dot (".log") has no extension.
    if (dot == std::string::npos || dot <= nameStart) {
        return file + suffix;
    }
    return file.substr(0, dot) + suffix + file.substr(dot);
}

// Equal for two names of one file: the same device and inode where it exists (links, hard
// links, "./" and the like), otherwise the same path once the folders that exist are resolved.
std::string FileIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    }
    std::error_code error;
    const auto resolved = std::filesystem::weakly_canonical(std::filesystem::absolute(path), error);
    return error ? path : resolved.string();
}

} // namespace

void PortListC::AddOptions(CLI::App& command, PortChoiceS& choice) {
    command
        .add_option("--port", choice.ports,
                    "Serial port: a name under /dev (ttyUSB0, pts/4), an absolute path, "
                    "rfc2217://HOST:PORT for a device server, or a number n for COMn "
                    "(= /dev/ttyS(n-1)). Give it more than once to run on "
                    "several ports at the same time")
        ->allow_extra_args(false);
    command.add_option("--ports-from", choice.portsFrom,
                       "File with one port a line (blank lines and # comments are skipped); its "
                       "ports run at the same time, after those of --port");
    command
        .add_option("--jobs", choice.jobs,
                    "With several ports: how many run at once; the others wait for a free "
                    "place before their port is opened")
        ->check(CLI::Range(std::size_t{1}, std::size_t{100000}))
        ->capture_default_str();
}

std::vector<std::string> PortListC::ParseLines(std::string_view text) {
    std::vector<std::string> ports;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trimmed(text.substr(0, end));
        if (!line.empty() && line.front() != '#') {
            ports.emplace_back(line);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return ports;
}

std::string PortListC::Collect(const PortChoiceS& choice, std::vector<std::string>& ports) {
    ports = choice.ports;
    if (!choice.portsFrom.empty()) {
        std::string text;
        if (const std::string problem = InputFileC::Read(choice.portsFrom, kMaxListFileSize, text);
            !problem.empty()) {
            return "--ports-from: cannot read " + choice.portsFrom + ": " + problem;
        }
        const std::vector<std::string> listed = ParseLines(text);
        if (listed.empty()) {
            return "--ports-from: " + choice.portsFrom + " names no port";
        }
        ports.insert(ports.end(), listed.begin(), listed.end());
    }
    if (ports.empty()) {
        return "--port is required";
    }
    return SamePortProblem(ports);
}

// Keyed by the device each text leads to, so that a long list is checked in one pass and a
// link counts as the device it names.
std::string PortListC::SamePortProblem(const std::vector<std::string>& ports) {
    std::unordered_map<std::string, const std::string*> seen;
    for (const std::string& port : ports) {
        const std::string device = oryx::platform::PortNames::portIdentity(port);
        if (device.empty()) {
            continue;
        }
        const auto [earlier, added] = seen.emplace(device, &port);
        if (!added) {
            return "--port: " + *earlier->second + " and " + port + " name the same port";
        }
    }
    return {};
}

std::string PortListC::SameFileProblem(const std::string& eventLog, const std::string& profile,
                                       const std::vector<std::string>& ports, bool several) {
    if (eventLog.empty() || profile.empty()) {
        return {};
    }
    const auto filesOf = [&](const std::string& file) {
        return several ? FilesPerPort(file, ports) : std::vector<std::string>{file};
    };
    std::unordered_map<std::string, std::string> logs;
    for (const std::string& log : filesOf(eventLog)) {
        logs.emplace(FileIdentity(log), log);
    }
    for (const std::string& saved : filesOf(profile)) {
        if (const auto same = logs.find(FileIdentity(saved)); same != logs.end()) {
            return "--save and --event-log name the same file (" + same->second + ")";
        }
    }
    return {};
}

std::vector<std::string> PortListC::FilesPerPort(const std::string& file,
                                                 const std::vector<std::string>& ports) {
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const std::string& port : ports) {
        const std::string base = WithSuffix(file, "-" + FileNamePart(port));
        std::string name = base;
        for (int n = 2; !taken.insert(name).second; ++n) {
            name = WithSuffix(file, "-" + FileNamePart(port) + "-" + std::to_string(n));
        }
        names.push_back(name);
    }
    return names;
}
