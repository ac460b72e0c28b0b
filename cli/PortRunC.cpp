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

std::vector<std::string> EventLogs(const std::string& file, const std::vector<std::string>& ports) {
    return file.empty() ? std::vector<std::string>(ports.size())
                        : PortListC::EventLogsFor(file, ports);
}

// A module run that Ctrl-C could not stop is still inside the library with this thread's
// state; the thread stays here until the program ends.
[[noreturn]] void StayForever() {
    while (true) {
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
}

template <typename OptionsT>
OptionsT ForPort(const OptionsT& options, const std::string& port, const std::string& eventLog) {
    OptionsT own = options;
    own.port = port;
    own.eventLog = eventLog;
    own.json = true;
    return own;
}

// runOne(options, out, err) runs the command of one port with the options given.
template <typename OptionsT, typename RunOneT>
ParallelRunC::PortRunT OnEachPort(const OptionsT& options, const std::vector<std::string>& ports,
                                  RunOneT runOne) {
    return [options, ports, logs = EventLogs(options.eventLog, ports), runOne](std::size_t index,
                                                                               std::ostream& err) {
        const OptionsT own = ForPort(options, ports[index], logs[index]);
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
            ModuleCommandC command(own, cancelRequested, {out, err});
            command.SetAbandonHandler(StayForever);
            command.Run();
        });
}
