#include "cli/PortRunC.h"

#include "cli/ModemCommandC.h"
#include "cli/ModuleCommandC.h"
#include "cli/PortListC.h"

#include <chrono>
#include <sstream>
#include <thread>

namespace {

// What a run prints with --json is one object on one line.
nlohmann::ordered_json ReportOf(const std::ostringstream& out) {
    return nlohmann::ordered_json::parse(out.str());
}

// Each port writes a file of its own, so that no two threads write one file.
std::vector<std::string> OwnFiles(const std::string& file, const std::vector<std::string>& ports) {
    return file.empty() ? std::vector<std::string>(ports.size())
                        : PortListC::FilesPerPort(file, ports);
}

// A module run that Ctrl-C could not stop is still inside the library with this thread's
// state; the thread stays here until the program ends.
[[noreturn]] void StayForever() {
    while (true) {
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
}

struct PortFilesS {
    std::string eventLog;
    std::string profile;
    std::string trace;
};

template <typename OptionsT>
OptionsT ForPort(const OptionsT& options, const std::string& port, const PortFilesS& files) {
    OptionsT own = options;
    own.port = port;
    own.eventLog = files.eventLog;
    own.saveProfile = files.profile;
    own.trace = files.trace;
    own.json = true;
    return own;
}

template <typename OptionsT>
std::vector<PortFilesS> FilesOf(const OptionsT& options, const std::vector<std::string>& ports) {
    const std::vector<std::string> logs = OwnFiles(options.eventLog, ports);
    const std::vector<std::string> profiles = OwnFiles(options.saveProfile, ports);
    const std::vector<std::string> traces = OwnFiles(options.trace, ports);
    std::vector<PortFilesS> files;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        files.push_back({logs[i], profiles[i], traces[i]});
    }
    return files;
}

// runOne(options, out, err) runs the command of one port with the options given.
template <typename OptionsT, typename RunOneT>
ParallelRunC::PortRunT OnEachPort(const OptionsT& options, const std::vector<std::string>& ports,
                                  RunOneT runOne) {
    return [options, ports, files = FilesOf(options, ports), runOne](std::size_t index,
                                                                     std::ostream& err) {
        const OptionsT own = ForPort(options, ports[index], files[index]);
        std::ostringstream out;
        runOne(own, out, err);
        return ReportOf(out);
    };
}

} // namespace

ParallelRunC::PortRunT PortRunC::Modem(const ModemOptionsS& options,
                                       const std::vector<std::string>& ports,
                                       std::function<bool()> cancelRequested) {
    return OnEachPort(
        options, ports,
        [cancelRequested](const ModemOptionsS& own, std::ostream& out, std::ostream& err) {
            std::istringstream noAnswers;
            ModemCommandC(own, cancelRequested, {noAnswers, out, err, false}).Run();
        });
}

ParallelRunC::PortRunT PortRunC::Module(const ModuleOptionsS& options,
                                        const std::vector<std::string>& ports,
                                        std::function<bool()> cancelRequested) {
    return OnEachPort(
        options, ports,
        [cancelRequested](const ModuleOptionsS& own, std::ostream& out, std::ostream& err) {
            ModuleCommandC command(own, cancelRequested, {out, err, ""});
            command.SetAbandonHandler(StayForever);
            command.Run();
        });
}
